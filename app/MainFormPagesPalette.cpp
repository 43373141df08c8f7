// The scene's colour table: the colour-table editor opened from the frame
// page on the palette of the scene's first 8-bit picture, and the edited
// colours given to every frame and to the background picture.
#include "app/MainFormPages.h"
#include "app/MainFormU.h"

#include "app/AnimationWindowU.h"
#include "dialogs/EditPaletteFormU.h"
#include "dialogs/core/ColorTable.h"
#include "imaging/utils.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/ModalForms.h"
#include "platform/qtui/Application.h"
#include "scene/Frame.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"
#include "scene/UndoRecorder.h"

#include <QCheckBox>

#include <exception>

namespace {

bool HasEightBitPalette(const TBitmap& bitmap) {
  return bitmap.PixelFormat() == pf8bit && !bitmap.Palette().Entries().empty();
}

// The palette of the first frame that passes the test and has an 8-bit
// picture with a palette; the pictures looked at are released again.
std::optional<TPalette> FirstFramePalette(TAnimatedScene& scene, bool (*wanted)(const TFrame&)) {
  for (int s = 0; s < scene.SpriteCount(); ++s) {
    TSprite& sprite = scene.Sprite(s);
    for (int f = 0; f < sprite.FrameCount(); ++f) {
      TFrame& frame = sprite.Frame(f);
      if (!wanted(frame)) continue;
      frame.Picture.RestoreImage();
      std::optional<TPalette> palette;
      if (HasEightBitPalette(frame.Picture)) palette = CopyPalette(frame.Picture.Palette());
      frame.Picture.SaveAndRelease();
      if (palette) return palette;
    }
  }
  return std::nullopt;
}

// The frame's picture with the colours at the same indices; the frame keeps
// its transparency and rebuilds its image.
void RecolorFrame(TFrame& frame, const std::vector<TColor>& colors) {
  frame.Picture.RestoreImage();
  if (frame.Picture.Width() > 0 && frame.Picture.Height() > 0) {
    const std::unique_ptr<TMinGDIBitmap> recolored = WithTableColors(frame.Picture, colors);
    frame.SetPicture(*recolored, frame.Transparent(), frame.TransparentColor(), -1, -1);
  }
  frame.Picture.SaveAndRelease();
  frame.DisplayImage.SaveAndRelease();
}

}  // namespace

TPalette TFramePagesArea::FindScenePalette() {
  if (CurrentScene() == nullptr) return {};
  TAnimatedScene& scene = *CurrentScene();
  if (auto palette = FirstFramePalette(scene, [](const TFrame& frame) { return frame.Kind == fkPicture; }))
    return *palette;
  if (auto palette = FirstFramePalette(scene, [](const TFrame&) { return true; })) return *palette;
  if (!scene.BackgroundFile.empty() && HasEightBitPalette(scene.BackgroundPicture))
    return CopyPalette(scene.BackgroundPicture.Palette());
  return {};
}

void TFramePagesArea::EditPaletteButtonClick() {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (CurrentScene() == nullptr || window == nullptr) return;
  TAnimatedScene& scene = *CurrentScene();
  TEditPaletteForm form(&Window());
  form.Palette = FindScenePalette();
  form.SetToAllCheckBox->hide();
  if (ShowModal(form) != mrOk) return;
  // Without a scene palette there are no entries the edits belong to.
  const int count = static_cast<int>(form.Palette.Entries().size());
  if (count == 0) return;
  std::vector<TColor> colors;
  for (int i = 0; i < count && i < 256; ++i) colors.push_back(ColorOf(form.Table().palPalEntry[static_cast<std::size_t>(i)]));

  // Playback resumes, the cursor comes back and the scene is redrawn also
  // when a conversion fails half-way.
  struct TFinish {
    TMainFormContext& editor;
    TAnimationWindow& window;
    ~TFinish() {
      window.ResumePlayback();
      editor.RequestSceneRecompute();
      editor.RefreshCommandStates();
    }
  };
  const TBusyCursor busy;
  window->StopPlayback();
  const TFinish finish{Editor(), *window};
  RecordUndo(urkSceneSettings, "Change Palette", false, 0, 0, uokWholeScene,
             [&scene](TStream& stream) { scene.SaveUncompressed(stream); });
  try {
    const TUndoRecordingPause pause;
    ShowProgress(0, 1);
    const int sprites = scene.SpriteCount();
    for (int s = 0; s < sprites && CancelFlag == 0; ++s) {
      TSprite& sprite = scene.Sprite(s);
      for (int f = 0; f < sprite.FrameCount() && CancelFlag == 0; ++f) RecolorFrame(sprite.Frame(f), colors);
      ShowProgress(s + 1, sprites);
    }
    if (CancelFlag == 0 && !scene.BackgroundFile.empty() && scene.BackgroundPicture.Width() > 0 &&
        scene.BackgroundPicture.Height() > 0) {
      const std::unique_ptr<TMinGDIBitmap> background = WithTableColors(scene.BackgroundPicture, colors);
      scene.SetBackground(true, scene.BackgroundMode, scene.BackgroundFile, scene.StartColor, scene.FinishColor,
                          scene.PicturePlacement, background.get());
    }
  } catch (const std::exception& error) {
    TApplication::ShowException(error);
  }
  ShowProgress(1, 1);
}
