// Helpers of the scene tree tests: the real main window, projects written by
// our own writer and opened through File_Open, and clicks and keys on the
// tree shown.
#pragma once

#include "tests/app/DocumentWindowFixture.h"
#include "tests/support/FindChild.h"
#include "tests/app/MainFormFixture.h"
#include "tests/support/MotionSteps.h"

#include "app/AnimationWindowU.h"
#include "platform/Graphics.h"
#include "scene/Frame.h"
#include "scene/Painters.h"

#include <QAction>
#include <QDockWidget>
#include <QMdiArea>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

class MainFormTreeTest : public MainFormTest {
 protected:
  ~MainFormTreeTest() override {
    if (form_ != nullptr) {
      for (QMdiSubWindow* window : Child<QMdiArea>(*form_, "MdiArea")->subWindowList())
        if (auto* document = qobject_cast<TAnimationWindow*>(window)) document->SetModified(false);
      Child<QMdiArea>(*form_, "MdiArea")->closeAllSubWindows();
      Settle();
    }
  }

  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      ProcessMessages();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }

  TMainForm& StartShown() {
    TMainForm& form = Start();
    form.resize(900, 700);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    Settle();
    return form;
  }

  // A project of three sprites A, B, C (list order) on a 70 ms scene of
  // steps steps: A a picture frame; B a rectangle and an ellipse frame, a
  // motion and two intervals; C a line frame and a text frame.
  std::string WriteThreeSprites(const std::string& name, int steps = 20) {
    const TUndoRecordingPause pause;
    TAnimatedScene scene;
    scene.Width = 200;
    scene.Height = 100;
    scene.StepCount = steps;
    scene.Timer().SetInterval(70);
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppCentered, nullptr);
    int index = 0;
    TSprite& a = *scene.AddSprite(index);
    a.Name = "A";
    TFrame& picture = AddPictureFrame(a, 4, 3, clRed);
    picture.FileName = "/pictures/sunny day.bmp";
    a.Motion().AddStepWith(HoldAt(10, 10), &a);
    TSprite& b = *scene.AddSprite(index);
    b.Name = "B";
    b.AddShape(fkRectangle, 30, 20, TShapeParams{}, false, 0);
    b.AddShape(fkEllipse, 24, 12, TShapeParams{}, false, 0);
    b.Motion().AddStepWith(HoldAt(40, 20), &b);
    b.AddInterval(1, 5);
    b.AddInterval(8, 12);
    TSprite& c = *scene.AddSprite(index);
    c.Name = "C";
    c.AddLine({2, 1}, {12, 6}, clWhite, 2, clRed, true);
    TFrame& text = *c.AddFrame();
    text.Kind = fkText;
    text.Text = "Hello";
    const std::string path = data_.File(name);
    {
      TFileStream file(path, fmCreate);
      scene.SaveToStream(file, 0, 1024);
    }
    EXPECT_TRUE(StampFileChecksum(path));
    return path;
  }

  // Opens a project through the File Open command with the chooser answered.
  TAnimationWindow* OpenThroughCommand(const std::string& path) {
    FileDialogResult chosen;
    chosen.fileName = path;
    ui_.fileAnswers.push_back(chosen);
    Command(Form(), "File_Open")->trigger();
    Settle();
    return Editor(Form()).ActiveAnimationWindow();
  }

  QTreeWidget& Tree() { return *Editor(Form()).Tree().ShownTree(); }
  QTreeWidgetItem* Root() { return Tree().topLevelItem(0); }
  // The children's captions of a node.
  // A frame's picture as text, pixel by pixel, to compare pictures.
  static std::string PictureBytes(TBitmap& picture) {
    RestoreFrameImage(picture);
    std::string bytes;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) bytes += std::to_string(picture.Pixel(x, y)) + ",";
    return bytes;
  }
  static std::vector<std::string> Captions(QTreeWidgetItem* node) {
    std::vector<std::string> captions;
    for (int i = 0; i < node->childCount(); ++i) captions.push_back(node->child(i)->text(0).toStdString());
    return captions;
  }
  static std::vector<int> Kinds(QTreeWidgetItem* node) {
    std::vector<int> kinds;
    for (int i = 0; i < node->childCount(); ++i) kinds.push_back(TTreeArea::NodeKind(node->child(i)));
    return kinds;
  }
  // The node of a path of captions below the root ("B", "Ellipse").
  QTreeWidgetItem* Node(std::initializer_list<const char*> path) {
    QTreeWidgetItem* node = Root();
    for (const char* caption : path) {
      QTreeWidgetItem* found = nullptr;
      for (int i = 0; node != nullptr && i < node->childCount(); ++i)
        if (node->child(i)->text(0) == caption) found = node->child(i);
      node = found;
    }
    return node;
  }
  // A click on a node, as the user selects it.
  void ClickNode(QTreeWidgetItem* node) {
    ASSERT_NE(node, nullptr);
    QTreeWidget& tree = Tree();
    tree.scrollToItem(node);
    const QRect rect = tree.visualItemRect(node);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rect.center());
    Settle();
  }
  // Ctrl plus a key on the main window (the commands' shortcuts).
  void CtrlKey(Qt::Key key) {
    Form().activateWindow();
    QTest::keyClick(&Form(), key, Qt::ControlModifier);
    Settle();
  }
  int Page() { return Child<QStackedWidget>(Form(), "Notebook_Properties")->currentIndex(); }
};
