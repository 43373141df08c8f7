// The effect and transform commands of the main window: the twenty effects
// through the effects dialog, flips, rotations and resizing of a sprite's
// frames. The model work (and its one undo entry per command) is in
// app/core/SpriteTransforms; here the commands find their sprite and frame,
// run the dialogs and refresh the window.
#include "app/MainFormEffects.h"

#include "app/MainFormU.h"
#include "app/MainFormPages.h"
#include "app/MainFormPlayback.h"
#include "app/MainFormActions.h"
#include "app/MainFormTree.h"
#include "app/MainForm3DText.h"

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

void TEffectsArea::FormCreateEffects() {
  for (int index = 0; index < static_cast<int>(Commands().EffectCommands.size()); ++index)
    Commands().SetCommandHandler(Commands().EffectCommands[index], [this, index] { RunShowingErrors([this, index] { ApplyEffect(index); }); });
  const auto connect = [this](QAction* command, void (TEffectsArea::*execute)()) {
    Commands().SetCommandHandler(command, [this, execute] { RunShowingErrors([this, execute] { (this->*execute)(); }); });
  };
  connect(Commands().Sprite_Flip_Hor, &TEffectsArea::Sprite_Flip_HorExecute);
  connect(Commands().Sprite_Flip_Vert, &TEffectsArea::Sprite_Flip_VertExecute);
  Commands().SetCommandHandler(Commands().Effects_90Clockwise, [this] { RunShowingErrors([this] { RotateFrames(90); }); });
  Commands().SetCommandHandler(Commands().Effects_90CounterClockwise, [this] { RunShowingErrors([this] { RotateFrames(-90); }); });
  Commands().SetCommandHandler(Commands().Effects_180Rotation, [this] { RunShowingErrors([this] { RotateFrames(180); }); });
  connect(Commands().Effects_CustomRotation, &TEffectsArea::Effects_CustomRotationExecute);
  connect(Commands().Effects_Resize, &TEffectsArea::Effects_ResizeExecute);
  connect(Commands().Edit_Copy, &TEffectsArea::Edit_CopyExecute);
  connect(Commands().Edit_Cut, &TEffectsArea::Edit_CutExecute);
  connect(Commands().Edit_Paste, &TEffectsArea::Edit_Paste1Execute);
  connect(Commands().Edit_PasteAsNewSprite, &TEffectsArea::Edit_PasteAsNewSpriteExecute);
  connect(Commands().Scene_SceneImageCopy, &TEffectsArea::Scene_SceneImageCopyExecute);
  connect(Commands().Scene_SceneImageCopyTo, &TEffectsArea::Scene_SceneImageCopyToExecute);
  connect(Commands().Scene_BackgroundCopy, &TEffectsArea::Scene_BackgroundCopyExecute);
  connect(Commands().Scene_BackgroundCopyTo, &TEffectsArea::Scene_BackgroundCopyToExecute);
  connect(Commands().Frame_CopyAsBMP, &TEffectsArea::Frame_CopyAsBMPExecute);
  connect(Commands().Frame_CopyAsBMP_To, &TEffectsArea::Frame_CopyAsBMP_ToExecute);

  stretchForm_ = new TStretchForm(&Window());
  saveBmpDialog_.filter = "Bitmap (*.bmp)|*.bmp";
  saveBmpDialog_.defaultExt = "bmp";
  // The paste commands follow what the clipboard holds from the start.
  Editor().WMDrawClipboard();
}

// ---- Effects --------------------------------------------------------------------------------------

void TEffectsArea::ApplyEffect(int effectIndex) {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr || sprite->FrameCount() == 0) return;
  const int frameIndex = IndexOfFrame(*sprite, frame);
  if (frameIndex < 0) return;
  Playback().Movie_StopExecute();
  // A 3D text edit still waiting for its pause is drawn first: the effect
  // works on the picture the text has now, and no later tick draws the text
  // over the effect's result.
  if (Text3DEditor().Text3DChangePending()) {
    Text3DEditor().SetSkipNext3DRender(false);
    Text3DEditor().Timer_3D_ChangedTimer();
  }

  TEffectsForm form(&Window());
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
      TMainFormContext& editor;
      TSprite* sprite;
      ~TShowSprite() {
        try {
          editor.RefreshCommandStates();
          editor.Tree().RebuildAnimationTree();
          editor.Tree().SelectTreeNode(IndexOfSpriteIn(*editor.CurrentScene(), sprite), 2);
          editor.RequestSceneRecompute();
        } catch (const std::exception&) {
          // The first failure is the one reported.
        }
      }
    } show{Editor(), sprite};
    const TBusyCursor busy;
    ApplyEffectResults(*sprite, frameIndex, form.EffectKind(), results, EffectListText(form.EffectKind()));
    // A 3D text tick due now would draw over the result.
    Text3DEditor().SetSkipNext3DRender(true);
  }
}

// ---- Flips, rotations and resizing ----------------------------------------------------------------------

// After the loop (also a failed one): the progress hidden, the frame page
// and the scene show the new pictures.
void TEffectsArea::RunFrameLoop(const std::function<void(const TProgressCallback&)>& work) {
  struct Finish {
    TMainFormContext& editor;
    ~Finish() {
      editor.ShowProgress(1, 1);
      editor.FramePages().LoadFramePage();
      editor.RequestSceneRecompute();
    }
  } finish{Editor()};
  const TBusyCursor busy;
  work([this](int position, int total) { ShowProgress(position, total); });
}

void TEffectsArea::Sprite_Flip_HorExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  RunFrameLoop([sprite](const TProgressCallback& progress) { FlipSpriteFrames(*sprite, true, progress); });
}

void TEffectsArea::Sprite_Flip_VertExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  RunFrameLoop([sprite](const TProgressCallback& progress) { FlipSpriteFrames(*sprite, false, progress); });
}

void TEffectsArea::RotateFrames(double angle) {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  RotateFrameByAngle(false, angle, 0, RotationPaperColor(*frame));
}

void TEffectsArea::RotateFrameByAngle(bool onlyCurrentFrame, double angle, int direction, TColor color) {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr) return;
  // The frame selected in the tree is the one "only the current frame" means.
  sprite->SetCurrentFrameIndex(IndexOfFrame(*sprite, frame));
  RunFrameLoop([&](const TProgressCallback& progress) {
    ::RotateFrameByAngle(*sprite, onlyCurrentFrame, angle, direction, color, progress);
  });
}

void TEffectsArea::Effects_CustomRotationExecute() {
  TFrame* frame = CurrentFrame();
  if (CurrentSprite() == nullptr || frame == nullptr) return;
  TRotationForm form(&Window());
  form.ButtonPaperColor->SetButtonColor(RotationPaperColor(*frame));
  if (ShowModal(form) != mrOk) return;
  RotateFrameByAngle(form.CheckBoxOnlyCurrentFrame->isChecked(), form.SpinAngle->Value(),
                     form.RadioDirection->ItemIndex(), form.ButtonPaperColor->ButtonColor());
}

void TEffectsArea::Effects_ResizeExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  const TBitmap& first = sprite->Frame(0).Picture;
  stretchForm_->BaseWidth = stretchForm_->WidthValue = first.Width();
  stretchForm_->BaseHeight = stretchForm_->HeightValue = first.Height();
  stretchForm_->TypeOfResizeRadio->SetItemIndex(UserSettings().TypeOfResize);
  if (ShowModal(*stretchForm_) != mrOk) return;
  UserSettings().TypeOfResize = stretchForm_->TypeOfResizeRadio->ItemIndex();
  const int width = stretchForm_->WidthValue;
  const int height = stretchForm_->HeightValue;
  const int typeOfResize = UserSettings().TypeOfResize;
  RunFrameLoop([&](const TProgressCallback& progress) {
    ResizeSpriteFrames(*sprite, width, height, typeOfResize, progress);
  });
}
