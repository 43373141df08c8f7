// Helpers of the document window tests: a bare MDI area that hosts the
// windows (the main window comes later), a host that records what the
// documents tell it, scripted answers and forms, project files written by our
// own writer, and a mouse and keyboard driven through the window system.
#pragma once

#include "app/AnimationWindowU.h"
#include "app/PlainDocumentHost.h"
#include "controls/Image.h"
#include "controls/MyCntrl.h"
#include "imaging/utils.h"
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QWindow>

#include <functional>
#include <string>
#include <vector>

// Qt's strings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

// The host's notices, as the main window would receive them.
class RecordingHost : public TPlainDocumentHost {
 public:
  std::vector<std::pair<int, int>> progress;
  std::vector<std::pair<WPARAM, LPARAM>> steps;
  std::vector<std::string> recentFiles;
  std::vector<std::pair<std::vector<std::string>, TPoint>> drops;
  std::vector<std::pair<std::string, int>> exports;
  std::vector<std::pair<int, int>> sceneSizes;
  std::vector<int> loopCounts;
  std::string statusText;
  int deleteCommands = 0;
  int recomputeRequests = 0;
  int motionPageRefreshes = 0;
  int shapePageRefreshes = 0;
  int treeRebuilds = 0;

  void ShowProgress(int done, int total) override { progress.emplace_back(done, total); }
  void StepChanged(WPARAM w, LPARAM l) override { steps.emplace_back(w, l); }
  void AddRecentFile(const std::string& name) override { recentFiles.push_back(name); }
  void DropFiles(const std::vector<std::string>& names, TPoint at, bool) override { drops.emplace_back(names, at); }
  void ExportAnimation(const std::string& name, int format) override { exports.emplace_back(name, format); }
  void ShowSceneSize(int w, int h) override { sceneSizes.emplace_back(w, h); }
  void ShowLoopCount(int loops) override { loopCounts.push_back(loops); }
  void ShowStatusText(int panel, const std::string& text) override {
    if (panel == 1) statusText = text;
  }
  void Sprite_DeleteExecute() override { ++deleteCommands; }
  void RequestSceneRecompute() override {
    ++recomputeRequests;
    TPlainDocumentHost::RequestSceneRecompute();
  }
  void RefreshMotionPage() override { ++motionPageRefreshes; }
  void RefreshShapePage() override { ++shapePageRefreshes; }
  void RebuildAnimationTree() override { ++treeRebuilds; }
};

// The records of an undo log, oldest first.
inline std::vector<std::string> UndoCaptions(TUndo& undo) {
  std::vector<std::string> captions;
  std::int64_t at = undo.LastRecordPosition();
  const std::uint8_t* log = undo.Log().Memory();
  if (undo.Empty()) return captions;
  for (;;) {
    const std::uint8_t length = log[at + TUndo::kCaptionAt];
    captions.insert(captions.begin(), std::string(reinterpret_cast<const char*>(log + at + TUndo::kCaptionAt + 1), length));
    if (at == 0) break;
    std::int32_t previous = 0;
    std::memcpy(&previous, log + at + TUndo::kPreviousAt, 4);
    at = previous;
  }
  return captions;
}

// The scene as its project bytes (no preview), for comparing scenes exactly.
inline std::string ProjectBytes(TAnimatedScene& scene) {
  const std::uint8_t preview = scene.WritePreview;
  scene.WritePreview = 0;
  TMemoryStream stream;
  scene.SaveToStream(stream, 0, 1024);
  scene.WritePreview = preview;
  return StreamBytes(stream);
}

// A 24-bit picture frame of one colour.
inline TFrame& AddPictureFrame(TSprite& sprite, int width, int height, TColor color) {
  TBitmap picture;
  MakeSolid(picture, width, height, color);
  TFrame& frame = *sprite.AddFrame();
  frame.SetPicture(picture, false, clWhite, -1, -1);
  frame.Kind = fkPicture;
  return frame;
}

class DocumentWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CancelFlag = 0;
    area.resize(800, 600);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
  }

  void TearDown() override {
    // Documents left open close without asking.
    for (QMdiSubWindow* window : area.subWindowList())
      if (auto* document = qobject_cast<TAnimationWindow*>(window)) document->SetModified(false);
    area.closeAllSubWindows();
    Settle();
    SaveVersion = kNewestFormatVersion;
    ReadVersion = kNewestFormatVersion;
    CancelFlag = 0;
  }

  // Delivers posted messages (recompute requests, steps) and deferred deletes.
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      ProcessMessages();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }

  TAnimationWindow* NewWindow() {
    auto* window = new TAnimationWindow(host, &area);
    area.setActiveSubWindow(window);
    window->ResizeTimerTimer();
    Settle();
    return window;
  }

  // A project file written by the scene's own writer, with its trailer.
  std::string WriteProject(const std::string& name, const std::function<void(TAnimatedScene&)>& fill) {
    const TUndoRecordingPause pause;
    TAnimatedScene scene;
    scene.Width = 200;
    scene.Height = 100;
    scene.StepCount = 20;
    scene.Timer().SetInterval(67);
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppCentered, nullptr);
    fill(scene);
    const std::string path = dir.File(name);
    {
      TFileStream file(path, fmCreate);
      scene.SaveToStream(file, 0, 1024);
    }
    EXPECT_TRUE(StampFileChecksum(path));
    return path;
  }

  // One sprite "Red" of a 20 x 10 red picture held at (30, 20), shown at every step.
  std::string WriteOneSpriteProject(const std::string& name) {
    return WriteProject(name, [](TAnimatedScene& scene) {
      int index = 0;
      TSprite& sprite = *scene.AddSprite(index);
      sprite.Name = "Red";
      AddPictureFrame(sprite, 20, 10, clRed);
      sprite.Motion().AddStepWith(HoldAt(30, 20), &sprite);
    });
  }

  TAnimationWindow* OpenWindow(const std::string& path) {
    TAnimationWindow* window = NewWindow();
    window->LoadFromFile(path);
    Settle();
    return window;
  }

  // ---- Mouse and keys through the window system, in a widget's coordinates ----
  QPoint InArea(QWidget* widget, QPoint p) const { return widget->mapTo(area.window(), p); }
  void Move(QWidget* widget, QPoint p) { QTest::mouseMove(area.windowHandle(), InArea(widget, p)); }
  void Press(QWidget* widget, QPoint p) {
    QTest::mousePress(area.windowHandle(), Qt::LeftButton, {}, InArea(widget, p));
  }
  void Release(QWidget* widget, QPoint p) {
    QTest::mouseRelease(area.windowHandle(), Qt::LeftButton, {}, InArea(widget, p));
  }
  // Hovers at the start, presses, moves by the offset and releases there
  // (the points are taken before the widget moves).
  void Drag(QWidget* widget, QPoint from, QPoint offset) {
    const QPoint start = InArea(widget, from);
    QTest::mouseMove(area.windowHandle(), start);
    QTest::mousePress(area.windowHandle(), Qt::LeftButton, {}, start);
    QTest::mouseMove(area.windowHandle(), start + offset);
    QTest::mouseRelease(area.windowHandle(), Qt::LeftButton, {}, start + offset);
    Settle();
  }
  void Click(QWidget* widget, QPoint p) {
    Move(widget, p);
    Press(widget, p);
    Release(widget, p);
    Settle();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(area.windowHandle(), key, modifiers);
    Settle();
  }

  // The point of the scene (x, y) in the canvas frame's coordinates.
  static QPoint OnCanvas(TAnimationWindow& window, int x, int y) {
    return QPoint(x + window.PanelAnimation->BoxLeft() - window.PanelAnimation->Left(),
                  y + window.PanelAnimation->BoxTop() - window.PanelAnimation->Top());
  }
  // The middle of the sprite selection box's inner box, in its coordinates.
  static QPoint BoxMiddle(TSelectionBox& box) {
    return QPoint(box.BoxLeft() - box.Left() + box.BoxWidth() / 2, box.BoxTop() - box.Top() + box.BoxHeight() / 2);
  }

  ScriptedUiServices ui;
  ScriptedModalRunner forms;
  TempDir dir;
  RecordingHost host;
  QMdiArea area;
};
