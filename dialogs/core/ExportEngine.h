// The work of the export wizard without its window: rendering the chosen
// steps of a scene into export frames at the output size, the GIF pipeline
// (reduction, palette, assembly, size estimate), and writing the result as a
// GIF, a series of BMP or JPEG files, or an AVI video. The scene is stepped
// and put back as it was; its content never changes.
//
// The wizard is a thin window over one engine, made when the wizard opens:
//   TExportEngine engine(scene, settings);   // settings: the main window's
//   engine.SetExportName(name);              // extension chooses the format
//   engine.Progress = page; engine.ProgressWindow = handle;
//   engine.RequestSceneRecompute = ...;
//   - Next on the first page of a JPEG export: CreateFrames().
//   - Next on the reductions page of a GIF export: BuildGifFrames(false);
//     the frames page edits Frames() (through TExportFrameList) and its
//     "Recalculate" runs BuildGifFrames(true).
//   - Finish: Finish() writes the output as the format asks, from the
//     edited frames for GIF and JPEG, rendering the scene for BMP and AVI.
// Every output replaces its file only when complete. The program-wide cancel
// flag stops any of them; a step that cannot be composed, and a file that
// cannot be written, end them with an exception whose message is shown.
#pragma once

#include "dialogs/core/ExportSettings.h"
#include "dialogs/core/FrameReduction.h"
#include "dialogs/core/GifAssembly.h"
#include "imaging/CreatePaletteU.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TAnimatedScene;
class TExportProgress;
class TGifFile;
class TStream;

// Raised when the GIF pipeline could not build a GIF.
extern const char* const SCannotCreateGifFile;  // "Cannot create GIF file"

enum class TExportOutcome {
  Done,
  Cancelled,      // the cancel flag stopped it
  NothingWritten  // no frames, or frames that cannot be written (the reason was shown)
};

// Seconds spent in each stage since the times were last cleared.
struct TExportStageTimes {
  double Render = 0;    // composing the steps
  double Resample = 0;  // scaling them to the output size
  double Optimize = 0;  // cropping, keying and dropping frames
  double Palette = 0;   // palette creation and colour reduction
  double Encode = 0;    // GIF assembly, LZW coding and writing
  double Readback = 0;  // frames taken back from the GIF images
  double Total() const { return Render + Resample + Optimize + Palette + Encode + Readback; }
};

// The size of the GIF the frames make, with the texts the frames page shows.
struct TGifSizeEstimate {
  TExportOutcome Outcome = TExportOutcome::Done;
  std::int64_t Bytes = 0;
  std::string SizeText;    // "###,###.0 " of kilobytes
  std::string ChangeText;  // change since the last estimate
  std::string TimeText;    // download time at 28.8K
};

// The JPEG page's preview: the first frame encoded at the chosen quality.
struct TJpegEstimate {
  std::int64_t Bytes = 0;
  std::string SizeText;
  std::string TimeText;
  std::unique_ptr<TBitmap> Preview;  // the encoded frame decoded again
};

class TExportEngine {
 public:
  TExportEngine(TAnimatedScene& scene, TExportSettings& settings);
  ~TExportEngine();
  TExportEngine(const TExportEngine&) = delete;
  TExportEngine& operator=(const TExportEngine&) = delete;

  TAnimatedScene& Scene() { return scene_; }
  TExportSettings& Settings() { return settings_; }
  TSetOfBitmaps& Frames() { return frames_; }
  TExportComposition& Composition() { return composition_; }

  // ---- What is exported ----
  // Takes the name whose extension chooses the format (".gif" appended when
  // it has none). A BMP export, and a JPEG export of the whole animation,
  // start with one frame: whole animation is switched off.
  void SetExportName(const std::string& name);
  const std::string& ExportName() const { return exportName_; }
  TExportFormat Format() const { return format_; }
  // Whole animation: every step from 1; otherwise the chosen interval.
  void SetWholeAnimation(bool whole);
  // The first step exported (1 for the whole animation, else the chosen
  // first step within 1..number of steps).
  int FirstStep() const;
  // The number of steps exported (every step for the whole animation, else
  // the chosen number within 1..number of steps).
  int StepsToExport() const;
  // The output size; the scene's size until set.
  int OutputWidth = 0;
  int OutputHeight = 0;

  // ---- Collaborators ----
  // Receives the progress messages of the GIF writer and palette creation.
  HWND ProgressWindow = 0;
  TExportProgress* Progress = nullptr;
  // Called after the scene was put back (the main window recomputes it).
  std::function<void()> RequestSceneRecompute;

  // ---- Rendering ----
  // Renders steps FirstStep() .. FirstStep() + StepsToExport() - 1 into the
  // frame list at the output size (one frame per step, delay = step time /
  // 10). Stops at the next step when the cancel flag is set, keeping the
  // frames made so far.
  void CreateFrames();
  // Renders one step at the output size into picture (previews).
  void PreviewStep(int step, TBitmap& picture);
  void PreviewFirstStep(TBitmap& picture) { PreviewStep(FirstStep(), picture); }
  void PreviewLastStep(TBitmap& picture) { PreviewStep(FirstStep() + StepsToExport() - 1, picture); }

  // ---- GIF ----
  // The GIF pipeline: unless recalculateOnly, renders the frames, reduces
  // each as it comes (cropped, keyed and dropped against what a viewer shows
  // after the frames kept before it), reduces their colours to the chosen
  // palette and takes back the images of the GIF as frames; then measures
  // the GIF the frames make, keeping its coded images for Finish. Raises
  // SCannotCreateGifFile when no GIF could be built.
  TGifSizeEstimate BuildGifFrames(bool recalculateOnly);
  // The GIF of the current frames (colour tables as the palette choice
  // says, the scene's loop count and comment); nothing without frames.
  std::unique_ptr<TGifFile> CreateGifFile();
  // The palette kind 7 uses; all zero until one is loaded.
  TMaxLogPalette CustomPalette;
  // Reads a palette file into a 256-entry palette (version $300).
  static TMaxLogPalette ReadPaletteFile(const std::string& fileName);
  // The frame the player shows (follows the reduction pass).
  int CurrentPlayerFrame = 0;
  // The size of the last estimate (0 before the first).
  double PreviousGifSize = 0;

  // ---- Writing ----
  // The wizard's Finish: writes the output of the chosen format under the
  // export name's base (the file of each name is replaced only when it is
  // complete). Done; Cancelled by the cancel flag (nothing half written is
  // left); NothingWritten without frames, or for a GIF whose frames are not
  // all 8-bit (the message was shown: the wizard stays on the frames page
  // with the edits kept).
  TExportOutcome Finish();
  // base.gif from the current frames, each image written as it is made;
  // images whose pixels the last estimate coded are not coded again.
  TExportOutcome SaveGif();
  // Renders the frames and writes base.bmp, or base_001.bmp onwards.
  TExportOutcome ExportBmpSeries();
  // Writes the current frames as base.jpg, or base_001.jpg onwards, at quality 101 - factor.
  TExportOutcome ExportJpegSeries();
  // Renders the steps straight into base.avi (key frames at the step rate).
  TExportOutcome ExportAvi();
  // The first frame as a JPEG at the chosen quality; nothing without frames.
  std::optional<TJpegEstimate> CalculateJpegSize();

  TExportStageTimes Times;

 private:
  class SceneSession;
  // The size of the frames at the output size.
  TSize FrameSize() const;
  void PrepareFirstStep();
  void RenderStep(bool first);
  void ScaleInto(const TBitmap& composed, TBitmap& scaled, double sx, double sy);
  // Renders the steps one by one at the output size and hands each frame on.
  void RenderSteps(const std::function<void(std::unique_ptr<TSetOfBitmapsItem>)>& take);
  // Renders, reduces and palette-reduces the frames; false when cancelled.
  bool CreateReducedFrames();
  void ApplySceneTransparency(TSetOfBitmapsItem& item) const;
  TGifAssemblyOptions GifOptions() const;
  // The GIF the frames are taken back from, and the images writing them makes.
  struct TReadback {
    std::unique_ptr<TGifAssembler> assembler;
    std::unique_ptr<TWrittenImagePlanner> planner;
  };
  // Replaces a final frame by the picture of its GIF image (the next image
  // of the readback, made with the first frame), coded once.
  void TakeFrameFromGif(TSetOfBitmapsItem& item, TReadback& readback);
  // Writes the GIF of the frames image by image; false when cancelled.
  bool WriteGif(TStream& stream);
  TGifSizeEstimate MeasureGif();
  std::string Base() const { return ExportBaseName(exportName_); }

  TAnimatedScene& scene_;
  TExportSettings& settings_;
  TSetOfBitmaps frames_;
  TExportComposition composition_;
  // The coded images of the last estimate, for the GIF that finishing writes.
  TCodedImageCache codedImages_;
  std::string exportName_;
  TExportFormat format_ = efGif;
};
