#include "controls/PopupModalLoop.h"
#include "controls/PopupWindow.h"

#include "tests/controls/ControlTestHelpers.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

class PopupWindowTest : public testing::Test {
 protected:
  PopupWindowTest() {
    system.screen = {800, 600};
    owner.setGeometry(100, 100, 300, 200);
    ActivateWindow(owner);
    popup->resize(136, 173);
    QObject::connect(popup, &TPopupWindow::Closed, [this] { ++closed; });
  }
  FakeSystemValues system;
  QWidget owner;
  TPopupWindow* popup = new TPopupWindow(&owner);
  int closed = 0;
};

}  // namespace

// ---- Placement ----

TEST_F(PopupWindowTest, AnchorIsTheScreenPositionOfTheControlsCentre) {
  QWidget window;
  window.setGeometry(500, 300, 200, 100);
  QWidget button(&window);
  button.setGeometry(0, 0, 60, 20);
  window.show();
  ASSERT_EQ(button.mapToGlobal(QPoint(0, 0)), QPoint(500, 300));
  EXPECT_EQ(TPopupWindow::AnchorOf(&button), QPoint(530, 310));
  popup->PopupAt(&button);
  EXPECT_EQ(popup->pos(), QPoint(530, 310));
}

TEST_F(PopupWindowTest, StaysOnTheDesktop) {
  const QSize size(136, 173);
  EXPECT_EQ(TPopupWindow::KeptOnDesktop(QPoint(10, 20), size), QPoint(10, 20));
  EXPECT_EQ(TPopupWindow::KeptOnDesktop(QPoint(664, 427), size), QPoint(664, 427)) << "touching the edges fits";
  EXPECT_EQ(TPopupWindow::KeptOnDesktop(QPoint(700, 500), size), QPoint(664, 427));
  EXPECT_EQ(TPopupWindow::KeptOnDesktop(QPoint(-40, -5), size), QPoint(0, 0));
  system.screen = {100, 100};
  EXPECT_EQ(TPopupWindow::KeptOnDesktop(QPoint(50, 50), size), QPoint(0, 0)) << "a pop-up larger than the desktop";
}

// ---- Closing ----

TEST_F(PopupWindowTest, EscClosesOnce) {
  popup->ShowAt(QPoint(10, 10));
  EXPECT_TRUE(popup->IsOpen());
  EXPECT_TRUE(popup->isVisible());
  QTest::keyClick(popup, Qt::Key_Escape);
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(closed, 1);
  popup->ClosePopup();
  QTest::keyClick(popup, Qt::Key_Escape);
  EXPECT_EQ(closed, 1) << "closing a closed pop-up does nothing";
}

TEST_F(PopupWindowTest, AnotherWindowsActivationClosesItOnce) {
  popup->ShowAt(QPoint(10, 10));
  QCoreApplication::processEvents();
  ASSERT_TRUE(popup->isActiveWindow());
  QWidget other;
  other.setGeometry(400, 400, 50, 50);
  ActivateWindow(other);
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(closed, 1);
}

TEST_F(PopupWindowTest, ShownAgainWhileStillTheActiveWindowItClosesOnTheNextDeactivation) {
  // A pop-up with a focused child, closed by Esc during its modal wait, is
  // left the application's active window though hidden (the offscreen
  // platform keeps its focus and no other window takes it).
  QPushButton child(QStringLiteral("&Ok"), popup);
  popup->ShowAt(QPoint(10, 10));
  QTimer::singleShot(0, popup, [this] { QTest::keyClick(popup, Qt::Key_Escape); });
  ASSERT_TRUE(RunPopupModal(*popup, &owner));
  ASSERT_EQ(QApplication::activeWindow(), popup);
  ASSERT_FALSE(popup->isVisible());

  popup->ShowAt(QPoint(10, 10));
  QWidget other;
  other.setGeometry(400, 400, 50, 50);
  ActivateWindow(other);
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_EQ(closed, 2);
}

TEST_F(PopupWindowTest, TheDeactivationInsideHideDoesNotAskAgain) {
  int requests = 0;
  popup->OnCloseRequest = [&](QObject* sender) {
    EXPECT_EQ(sender, popup);
    ++requests;
    popup->ClosePopup();
  };
  popup->ShowAt(QPoint(10, 10));
  QCoreApplication::processEvents();
  ASSERT_TRUE(popup->isActiveWindow());
  QTest::keyClick(popup, Qt::Key_Escape);
  EXPECT_EQ(requests, 1);
  EXPECT_EQ(closed, 1);
}

TEST_F(PopupWindowTest, ARequestLeavesTheClosingToTheHandler) {
  int requests = 0;
  popup->OnCloseRequest = [&](QObject*) { ++requests; };
  popup->ShowAt(QPoint(10, 10));
  QTest::keyClick(popup, Qt::Key_Escape);
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(popup->IsOpen());
  popup->close();
  EXPECT_EQ(requests, 2) << "a close from the window system is a request too";
  EXPECT_TRUE(popup->isVisible());
}

TEST_F(PopupWindowTest, ADeactivationBeforeAnyActivationIsIgnored) {
  popup->ShowAt(QPoint(10, 10));
  ASSERT_FALSE(popup->isActiveWindow());
  QEvent change(QEvent::ActivationChange);
  QCoreApplication::sendEvent(popup, &change);
  EXPECT_TRUE(popup->IsOpen());
  EXPECT_EQ(closed, 0);
}

TEST_F(PopupWindowTest, HiddenOnPurposeItIgnoresDeactivationUntilShownAgain) {
  popup->ShowAt(QPoint(10, 10));
  QCoreApplication::processEvents();
  popup->HideOnPurpose();
  EXPECT_FALSE(popup->isVisible());
  EXPECT_TRUE(popup->IsOpen());
  EXPECT_TRUE(popup->HiddenOnPurpose());
  QWidget dialog;
  dialog.setGeometry(300, 300, 50, 50);
  ActivateWindow(dialog);
  dialog.hide();
  EXPECT_TRUE(popup->IsOpen());
  EXPECT_EQ(closed, 0);

  popup->ShowAgain();
  QCoreApplication::processEvents();
  EXPECT_TRUE(popup->isVisible());
  EXPECT_TRUE(popup->isActiveWindow());
  ActivateWindow(owner);
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_EQ(closed, 1);
}

TEST_F(PopupWindowTest, ShownAgainRightAfterHidingItIsActiveAgain) {
  popup->ShowAt(QPoint(10, 10));
  QCoreApplication::processEvents();
  ASSERT_TRUE(popup->isActiveWindow());
  popup->HideOnPurpose();
  popup->ShowAgain();
  QCoreApplication::processEvents();
  EXPECT_TRUE(popup->isActiveWindow());
  QTest::keyClick(popup, Qt::Key_Escape);
  EXPECT_EQ(closed, 1);
}

TEST_F(PopupWindowTest, ClosingWhileHiddenOnPurposeEndsIt) {
  popup->ShowAt(QPoint(10, 10));
  popup->HideOnPurpose();
  popup->ClosePopup();
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_FALSE(popup->HiddenOnPurpose());
  EXPECT_EQ(closed, 1);
  popup->ShowAgain();
  EXPECT_FALSE(popup->isVisible()) << "a closed pop-up is not shown again";
}

// ---- The modal wait ----

TEST_F(PopupWindowTest, ModalWaitEndsWhenThePopupCloses) {
  popup->ShowAt(QPoint(10, 10));
  QTimer::singleShot(0, popup, [this] { QTest::keyClick(popup, Qt::Key_Escape); });
  EXPECT_TRUE(RunPopupModal(*popup, &owner));
  EXPECT_EQ(closed, 1);
}

TEST_F(PopupWindowTest, ModalWaitOnAClosedPopupReturnsAtOnce) { EXPECT_FALSE(RunPopupModal(*popup, &owner)); }

TEST_F(PopupWindowTest, ModalWaitEndsFalseWhenTheOwnerIsDestroyed) {
  auto ownerWindow = std::make_unique<QWidget>();
  QPointer<TPopupWindow> child = new TPopupWindow(ownerWindow.get());
  child->ShowAt(QPoint(10, 10));
  QTimer::singleShot(0, [&ownerWindow] { ownerWindow.reset(); });
  EXPECT_FALSE(RunPopupModal(*child, ownerWindow.get()));
  EXPECT_TRUE(child.isNull());
}

TEST_F(PopupWindowTest, ModalWaitEndsFalseWhenTheOwnerGoesButThePopupStays) {
  auto other = std::make_unique<QObject>();
  popup->ShowAt(QPoint(10, 10));
  QTimer::singleShot(0, [&other] { other.reset(); });
  EXPECT_FALSE(RunPopupModal(*popup, other.get()));
  EXPECT_TRUE(popup->IsOpen());
}

TEST_F(PopupWindowTest, ModalWaitEndsFalseWhenThePopupIsDestroyed) {
  QPointer<TPopupWindow> alive = popup;
  popup->ShowAt(QPoint(10, 10));
  QTimer::singleShot(0, [this] { delete popup; });
  EXPECT_FALSE(RunPopupModal(*popup, &owner));
  EXPECT_TRUE(alive.isNull());
}
