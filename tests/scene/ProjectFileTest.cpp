#include "scene/ProjectFile.h"

#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace {

std::string Save(TAnimatedScene& scene, int version) {
  SaveVersion = version;
  TMemoryStream stream;
  scene.SaveToStream(stream, 0, 1024);
  return StreamBytes(stream);
}

TEST(ProjectRoundTrip, Experiment) {
  FormatVersionsGuard guard;
  ScriptedUiServices ui;
  for (int version : {16, 8, 4}) {
    TAnimatedScene scene;
    FillRichScene(scene);
    scene.SetBackground(true, 0, "", 0, 0, 0, nullptr);
    const std::string first = Save(scene, version);
    TAnimatedScene loaded;
    TMemoryStream in;
    LoadBytes(in, first);
    loaded.LoadFromStream(in);
    EXPECT_EQ(loaded.Failed, 0);
    const std::string second = Save(loaded, version);
    EXPECT_EQ(first.size(), second.size()) << version;
    if (first != second) {
      for (std::size_t i = 0; i < std::min(first.size(), second.size()); ++i)
        if (first[i] != second[i]) {
          std::string a, b;
          for (std::size_t k = i - std::min<std::size_t>(i, 24); k < std::min(first.size(), i + 24); ++k) { a += std::to_string((unsigned char)first[k]) + " "; b += std::to_string((unsigned char)second[k]) + " "; }
          ADD_FAILURE() << "differ at " << i << " of " << first.size() << "\n" << a << "\n" << b; break; }
    }
    EXPECT_TRUE(ui.messages.empty());
  }
}

}  // namespace
