// Keeps every question and message from the user for its lifetime: the
// silent services (which answer each question with its default and show
// nothing) stand in for the services in use, which come back at the end.
// For readers that report failure through their result and must not show a
// box of their own, such as the gallery listing files while it is open: a
// message box there would take the activation from the pop-up and close it.
#pragma once

#include "platform/UiServices.h"

class TSilentUi {
 public:
  TSilentUi() : previous_(Ui()) { SetUiServices(nullptr); }
  ~TSilentUi() { SetUiServices(&previous_); }
  TSilentUi(const TSilentUi&) = delete;
  TSilentUi& operator=(const TSilentUi&) = delete;

 private:
  UiServices& previous_;
};
