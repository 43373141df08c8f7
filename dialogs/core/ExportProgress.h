// What a long export step tells the window that shows it: the label of the
// step and how far it is. The export wizard shows both on its progress page
// and lets pending events run, so that Esc and Cancel can set the cancel flag.
#pragma once

#include <string>

class TExportProgress {
 public:
  virtual ~TExportProgress() = default;
  // The step now running ("Creating Frames...", "Calculating Palette...", ...).
  virtual void ShowLabel(const std::string& text) = 0;
  // done of total; done = 0 shows the progress page, done = total ends it.
  virtual void SetProgress(int done, int total) = 0;
};

// Reports to progress when there is one.
inline void ReportLabel(TExportProgress* progress, const std::string& text) {
  if (progress != nullptr) progress->ShowLabel(text);
}
inline void ReportProgress(TExportProgress* progress, int done, int total) {
  if (progress != nullptr) progress->SetProgress(done, total);
}
