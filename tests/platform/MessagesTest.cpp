#include "platform/Messages.h"
#include "platform/Timer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <vector>

TEST(WindowMessages, PostedMessagesWaitForTheLoopAndSentOnesReturnAtOnce) {
  std::vector<UINT> received;
  TWindowHandle window([&](TMessage& m) {
    received.push_back(m.Msg);
    m.Result = static_cast<LRESULT>(m.WParam + m.LParam);
  });
  EXPECT_TRUE(PostMessage(window.Handle(), 1001, 0, 0));
  EXPECT_TRUE(PostMessage(window.Handle(), 1002, 0, 0));
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(SendMessage(window.Handle(), 1003, 40, 2), 42);
  ProcessMessages();
  EXPECT_EQ(received, (std::vector<UINT>{1003, 1001, 1002}));
}

TEST(WindowMessages, DeadHandlesAreRefusedAndQueuedMessagesDropped) {
  int calls = 0;
  auto window = std::make_unique<TWindowHandle>([&](TMessage&) { ++calls; });
  const HWND handle = window->Handle();
  EXPECT_TRUE(PostMessage(handle, 1006, 0, 0));
  window.reset();
  ProcessMessages();
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_FALSE(PostMessage(handle, 1006, 0, 0));
  EXPECT_EQ(SendMessage(handle, 1006, 0, 0), 0);
  EXPECT_FALSE(PostMessage(0, 1006, 0, 0));
  TWindowHandle second([](TMessage&) {});
  EXPECT_NE(second.Handle(), handle);  // handles are never reused
}

TEST(WindowMessages, MessagesPostedByAHandlerFollowThoseAlreadyQueued) {
  std::vector<WPARAM> received;
  HWND self = 0;
  TWindowHandle window([&](TMessage& m) {
    received.push_back(m.WParam);
    if (m.WParam == 1) PostMessage(self, 1002, 9, 0);
  });
  self = window.Handle();
  PostMessage(self, 1002, 1, 0);
  PostMessage(self, 1002, 2, 0);
  for (int i = 0; i < 5 && received.size() < 3; ++i) ProcessMessages();
  EXPECT_EQ(received, (std::vector<WPARAM>{1, 2, 9}));
}

TEST(WindowMessages, AHandlerThatKeepsPostingCannotStallProcessing) {
  int received = 0;
  HWND self = 0;
  TWindowHandle window([&](TMessage&) {
    ++received;
    PostMessage(self, 1002, 0, 0);  // a request that always asks again
  });
  self = window.Handle();
  PostMessage(self, 1002, 0, 0);
  ProcessMessages();  // must return although the handler never stops posting
  const int afterFirst = received;
  EXPECT_GE(afterFirst, 1);
  ProcessMessages();
  EXPECT_GT(received, afterFirst);
}

TEST(WindowMessages, AReceiverMayUnregisterItselfWhileHandling) {
  std::unique_ptr<TWindowHandle> window;
  int calls = 0;
  window = std::make_unique<TWindowHandle>([&](TMessage&) {
    ++calls;
    window.reset();
  });
  SendMessage(window->Handle(), 1001, 0, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(window, nullptr);
}

TEST(Timers, TickOnlyWhenEnabledWithAPositiveIntervalAndAHandler) {
  TTimer timer;
  int ticks = 0;
  timer.SetInterval(0);
  timer.SetOnTimer([&] { ++ticks; });
  EXPECT_FALSE(timer.IsTicking());
  timer.SetInterval(-5);
  EXPECT_FALSE(timer.IsTicking());
  timer.SetInterval(5);
  EXPECT_TRUE(timer.IsTicking());
  QElapsedTimer clock;  // only a bound on waiting for the ticks
  clock.start();
  while (ticks < 2 && clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  EXPECT_GE(ticks, 2);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.IsTicking());
}

TEST(WindowMessages, AHoldKeepsPostedMessagesQueuedUntilItEnds) {
  std::vector<UINT> received;
  TWindowHandle window([&](TMessage& m) { received.push_back(m.Msg); });
  for (int round = 0; round < 100 && PendingMessageCount() > 0; ++round) ProcessMessages();  // earlier tests' leftovers
  {
    TMessageDeliveryHold hold;
    EXPECT_TRUE(TMessageDeliveryHold::Active());
    PostMessage(window.Handle(), 1002, 0, 0);
    PostMessage(window.Handle(), 1006, 0, 0);
    ProcessMessages();
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(PendingMessageCount(), 2);
    // Sent messages are not held.
    SendMessage(window.Handle(), 1003, 0, 0);
    EXPECT_EQ(received, (std::vector<UINT>{1003}));
  }
  EXPECT_FALSE(TMessageDeliveryHold::Active());
  QCoreApplication::processEvents();
  EXPECT_EQ(received, (std::vector<UINT>{1003, 1002, 1006}));
}

TEST(Timers, AHoldSkipsTicksWhichComeBackWhenItEnds) {
  TTimer timer;
  int ticks = 0;
  timer.SetInterval(1);
  timer.SetOnTimer([&] { ++ticks; });
  QElapsedTimer clock;  // only a bound on waiting for the ticks
  {
    TTimerTickHold hold;
    clock.start();
    while (clock.elapsed() < 30) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(timer.IsTicking());
  }
  clock.restart();
  while (ticks < 1 && clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  EXPECT_GE(ticks, 1);
}
