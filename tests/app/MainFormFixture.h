// The real main window in a private world: its own registry, data folder and
// program folder, a scripted user (message boxes, notes, modal forms), the
// shell's openings recorded and system values that a test sets.
#pragma once

#include "app/MainFormU.h"
#include "app/MainFormActions.h"
#include "app/MainFormFiles.h"
#include "app/MainFormLayout.h"
#include "app/MainFormMotion.h"
#include "app/MainFormMotionPanel.h"
#include "app/MainFormPages.h"
#include "app/MainFormPlayback.h"
#include "app/MainFormShapes.h"
#include "app/MainFormSettings.h"
#include "app/MainFormTree.h"
#include "app/MainFormGalleries.h"
#include "app/MainFormEffects.h"
#include "app/MainForm3DText.h"
#include "platform/Registry.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/FindChild.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

// Each test's clock starts where its name picks, so the ids the window makes
// (a random number plus the clock's low 32 bits) lie on both sides of zero,
// below it or across the 32-bit wrap; the same on every run.
inline std::uint64_t ClockStartOfThisTest() {
  constexpr std::uint64_t kStarts[] = {0x7FFFFF00, 0x80000000, 0xFFFFFF00, 0x1'7FFFFF00};
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "";
  return kStarts[std::hash<std::string>{}(name) % std::size(kStarts)];
}

// The window as its areas see it: the editing state and the areas, which a
// test reaches as the areas do.
inline TMainFormContext& Editor(TMainForm& form) { return form; }

class MainFormTest : public testing::Test {
 protected:
  MainFormTest() {
    system_.programFolder = program_.Path() + "/";
    system_.micros = ClockStartOfThisTest();
  }
  ~MainFormTest() override { form_.reset(); }

  // Creates the window (FormCreate) and shows it (FormShow).
  TMainForm& Create() {
    form_ = std::make_unique<TMainForm>();
    return *form_;
  }
  // The deferred start's one-second timer is stopped, so a slow run never meets
  // the start-up template wizard mid-test; tests of the deferred start call its tick.
  TMainForm& Start() {
    ShowWithDeferredStart();
    form_->TimerStart.SetEnabled(false);
    return *form_;
  }
  TMainForm& ShowWithDeferredStart() {
    Create();
    form_->show();
    return *form_;
  }
  TMainForm& Form() { return *form_; }

  // The settings key's values, as text.
  std::shared_ptr<TRegistryStore> Store() { return DefaultRegistryStore(); }
  std::optional<std::string> Setting(const std::string& name, const std::string& section = "") {
    const std::string path = std::string(kSettingsKey) + (section.empty() ? "" : "\\" + section);
    return Store()->ReadValue(HKEY_CURRENT_USER, path, name);
  }
  void PutSetting(const std::string& name, const std::string& value) {
    Store()->CreateKey(HKEY_CURRENT_USER, kSettingsKey);
    Store()->WriteValue(HKEY_CURRENT_USER, kSettingsKey, name, value);
  }

  TempDir registry_;
  TempDir data_;
  TempDir program_;
  ScopedEnvironment environment_{{{"GC_REGISTRY_DIR", registry_.Path()}, {"XDG_DATA_HOME", data_.Path()}}};
  FakeSystemValues system_;
  ScriptedUiServices ui_;
  ScriptedModalRunner forms_;
  RecordingShellServices shell_;
  std::unique_ptr<TMainForm> form_;
};
