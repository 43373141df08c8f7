// Shell services for tests: records every target opened and answers the
// browser question from a field.
#pragma once

#include "platform/ShellServices.h"

#include <string>
#include <vector>

class RecordingShellServices final : public ShellServices {
 public:
  // Installs itself for its lifetime.
  RecordingShellServices() { SetShellServices(this); }
  ~RecordingShellServices() override { SetShellServices(nullptr); }
  RecordingShellServices(const RecordingShellServices&) = delete;
  RecordingShellServices& operator=(const RecordingShellServices&) = delete;

  std::vector<std::string> opened;  // targets handed to OpenDocument
  bool openResult = true;           // what OpenDocument answers
  std::string browserCommand;       // what DefaultBrowserCommand answers
  int browserQueries = 0;

  bool OpenDocument(const std::string& target) override {
    opened.push_back(target);
    return openResult;
  }
  std::string DefaultBrowserCommand() override {
    ++browserQueries;
    return browserCommand;
  }
};
