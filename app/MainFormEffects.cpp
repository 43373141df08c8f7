// The effect and transform commands of the main window: the twenty effects
// through the effects dialog, flips, rotations and resizing of a sprite's
// frames. The model work (and its one undo entry per command) is in
// app/core/SpriteTransforms; here the commands find their sprite and frame,
// run the dialogs and refresh the window.
#include "app/MainFormU.h"
#include "app/MainFormPages.h"
#include "app/MainFormPlayback.h"
#include "app/MainFormActions.h"

#include "app/AnimationWindowU.h"
#include "app/core/SpriteTransforms.h"
#include "controls/Bitmpbtn.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "dialogs/EffectsFormU.h"
#include "dialogs/RotationFormU.h"
#include "dialogs/StretchFormU.h"
#include "dialogs/core/EffectFrames.h"
#include "platform/ModalForms.h"
#include "platform/qtui/Application.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QAction>
#include <QCheckBox>

#include <exception>

namespace {

// Runs a command; what it raises is shown in the error box, as a menu click
// would show it, also when the command was started from code.
void RunShowingErrors(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& error) {
    TApplication::ShowException(error);
  }
}

// The frame's position in its sprite; -1 when it is not one of its frames.
int IndexOfFrame(TSprite& sprite, const TFrame* frame) {
  for (int i = 0; i < sprite.FrameCount(); ++i)
    if (&sprite.Frame(i) == frame) return i;
  return -1;
}

int IndexOfSpriteIn(const TAnimatedScene& scene, const TSprite* sprite) {
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (&scene.Sprite(i) == sprite) return i;
  return -1;
}

}  // namespace

void TMainForm::FormCreateEffects() {
  for (int index = 0; index < static_cast<int>(Commands().EffectCommands.size()); ++index)
    Commands().SetCommandHandler(Commands().EffectCommands[index], [this, index] { RunShowingErrors([this, index] { ApplyEffect(index); }); });
  const auto connect = [this](QAction* command, void (TMainForm::*execute)()) {
    Commands().SetCommandHandler(command, [this, execute] { RunShowingErrors([this, execute] { (this->*execute)(); }); });
  };
  connect(Commands().Sprite_Flip_Hor, &TMainForm::Sprite_Flip_HorExecute);
  connect(Commands().Sprite_Flip_Vert, &TMainForm::Sprite_Flip_VertExecute);
  Commands().SetCommandHandler(Commands().Effects_90Clockwise, [this] { RunShowingErrors([this] { RotateFrames(90); }); });
  Commands().SetCommandHandler(Commands().Effects_90CounterClockwise, [this] { RunShowingErrors([this] { RotateFrames(-90); }); });
  Commands().SetCommandHandler(Commands().Effects_180Rotation, [this] { RunShowingErrors([this] { RotateFrames(180); }); });
  connect(Commands().Effects_CustomRotation, &TMainForm::Effects_CustomRotationExecute);
  connect(Commands().Effects_Resize, &TMainForm::Effects_ResizeExecute);
  connect(Commands().Edit_Copy, &TMainForm::Edit_CopyExecute);
  connect(Commands().Edit_Cut, &TMainForm::Edit_CutExecute);
  connect(Commands().Edit_Paste, &TMainForm::Edit_Paste1Execute);
  connect(Commands().Edit_PasteAsNewSprite, &TMainForm::Edit_PasteAsNewSpriteExecute);
  connect(Commands().Scene_SceneImageCopy, &TMainForm::Scene_SceneImageCopyExecute);
  connect(Commands().Scene_SceneImageCopyTo, &TMainForm::Scene_SceneImageCopyToExecute);
  connect(Commands().Scene_BackgroundCopy, &TMainForm::Scene_BackgroundCopyExecute);
  connect(Commands().Scene_BackgroundCopyTo, &TMainForm::Scene_BackgroundCopyToExecute);
  connect(Commands().Frame_CopyAsBMP, &TMainForm::Frame_CopyAsBMPExecute);
  connect(Commands().Frame_CopyAsBMP_To, &TMainForm::Frame_CopyAsBMP_ToExecute);

  StretchForm = new TStretchForm(this);
  SaveBmpDialog.filter = "Bitmap (*.bmp)|*.bmp";
  SaveBmpDialog.defaultExt = "bmp";
  // The paste commands follow what the clipboard holds from the start.
  WMDrawClipboard();
}

// ---- Effects --------------------------------------------------------------------------------------

void TMainForm::ApplyEffect(int effectIndex) {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr || sprite->FrameCount() == 0) return;
  const int frameIndex = IndexOfFrame(*sprite, frame);
  if (frameIndex < 0) return;
  Playback().Movie_StopExecute();
  // A 3D text edit still waiting for its pause is drawn first: the effect
  // works on the picture the text has now, and no later tick draws the text
  // over the effect's result.
  if (Text3DChangePending()) {
    SkipNext3DRender = false;
    Timer_3D_ChangedTimer();
  }

  TEffectsForm form(this);
  form.SourceFrame = frame;
  form.NextFrame = frameIndex + 1 < sprite->FrameCount() ? &sprite->Frame(frameIndex + 1) : nullptr;
  form.PresetEffect(effectIndex);
  form.AutoCreateCheckBox->setChecked(UserSettings().AutocreateEffect);
  const TModalResult answer = ShowModal(form);
  UserSettings().AutocreateEffect = form.AutoCreateCheckBox->isChecked();
  if (answer != mrOk) return;

  // The results are the caller's from here on: the dialog keeps none of them.
  const TFrameList results = form.TakeResults();
  {
    // The tree and the scene show the sprite as it now is, also when
    // inserting the results failed part-way (one Undo gives it back whole).
    struct TShowSprite {
      TMainForm& form;
      TSprite* sprite;
      ~TShowSprite() {
        try {
          form.RefreshCommandStates();
          form.RebuildAnimationTree();
          form.SelectTreeNode(IndexOfSpriteIn(*form.CurrentScene(), sprite), 2);
          form.RequestSceneRecompute();
        } catch (const std::exception&) {
          // The first failure is the one reported.
        }
      }
    } show{*this, sprite};
    const TBusyCursor busy;
    ApplyEffectResults(*sprite, frameIndex, form.EffectKind(), results, EffectListText(form.EffectKind()));
    // A 3D text tick due now would draw over the result.
    SkipNext3DRender = true;
  }
}

// ---- Flips, rotations and resizing ----------------------------------------------------------------------

namespace {

// After a frame loop (also a failed one): the progress hidden, the frame
// page and the scene show the new pictures.
template <typename Work>
void RunFrameLoop(TMainForm& form, Work&& work) {
  struct Finish {
    TMainForm& form;
    ~Finish() {
      form.ShowProgress(1, 1);
      form.FramePages().LoadFramePage();
      form.RequestSceneRecompute();
    }
  } finish{form};
  const TBusyCursor busy;
  work([&form](int position, int total) { form.ShowProgress(position, total); });
}

}  // namespace

void TMainForm::Sprite_Flip_HorExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  RunFrameLoop(*this, [sprite](const TProgressCallback& progress) { FlipSpriteFrames(*sprite, true, progress); });
}

void TMainForm::Sprite_Flip_VertExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  RunFrameLoop(*this, [sprite](const TProgressCallback& progress) { FlipSpriteFrames(*sprite, false, progress); });
}

void TMainForm::RotateFrames(double angle) {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  RotateFrameByAngle(false, angle, 0, RotationPaperColor(*frame));
}

void TMainForm::RotateFrameByAngle(bool onlyCurrentFrame, double angle, int direction, TColor color) {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr) return;
  // The frame selected in the tree is the one "only the current frame" means.
  sprite->SetCurrentFrameIndex(IndexOfFrame(*sprite, frame));
  RunFrameLoop(*this, [&](const TProgressCallback& progress) {
    ::RotateFrameByAngle(*sprite, onlyCurrentFrame, angle, direction, color, progress);
  });
}

void TMainForm::Effects_CustomRotationExecute() {
  TFrame* frame = CurrentFrame();
  if (CurrentSprite() == nullptr || frame == nullptr) return;
  TRotationForm form(this);
  form.ButtonPaperColor->SetButtonColor(RotationPaperColor(*frame));
  if (ShowModal(form) != mrOk) return;
  RotateFrameByAngle(form.CheckBoxOnlyCurrentFrame->isChecked(), form.SpinAngle->Value(),
                     form.RadioDirection->ItemIndex(), form.ButtonPaperColor->ButtonColor());
}

void TMainForm::Effects_ResizeExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  const TBitmap& first = sprite->Frame(0).Picture;
  StretchForm->BaseWidth = StretchForm->WidthValue = first.Width();
  StretchForm->BaseHeight = StretchForm->HeightValue = first.Height();
  StretchForm->TypeOfResizeRadio->SetItemIndex(UserSettings().TypeOfResize);
  if (ShowModal(*StretchForm) != mrOk) return;
  UserSettings().TypeOfResize = StretchForm->TypeOfResizeRadio->ItemIndex();
  const int width = StretchForm->WidthValue;
  const int height = StretchForm->HeightValue;
  const int typeOfResize = UserSettings().TypeOfResize;
  RunFrameLoop(*this, [&](const TProgressCallback& progress) {
    ResizeSpriteFrames(*sprite, width, height, typeOfResize, progress);
  });
}
