#include "platform/Messages.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <deque>
#include <memory>
#include <unordered_map>

namespace {

struct PostedMessage {
  HWND handle;
  TMessage message;
};

struct MessageState {
  std::unordered_map<HWND, std::shared_ptr<TWndMethod>> receivers;
  std::deque<PostedMessage> queue;
  HWND nextHandle = 1;
  bool drainScheduled = false;
  int holds = 0;
};

MessageState& State() {
  static MessageState state;
  return state;
}

std::shared_ptr<TWndMethod> ReceiverOf(HWND handle) {
  auto& receivers = State().receivers;
  const auto found = receivers.find(handle);
  return found == receivers.end() ? nullptr : found->second;
}

// Delivers the messages that are queued now; messages posted by the handlers
// wait for the next round so that a handler that keeps posting cannot starve
// the event loop.
void DeliverQueued() {
  auto& state = State();
  state.drainScheduled = false;
  if (state.holds > 0) return;  // delivered when the hold ends
  std::size_t count = state.queue.size();
  while (count-- > 0 && !state.queue.empty()) {
    PostedMessage posted = state.queue.front();
    state.queue.pop_front();
    if (const auto receiver = ReceiverOf(posted.handle)) (*receiver)(posted.message);
  }
}

void ScheduleDelivery() {
  auto& state = State();
  if (state.drainScheduled || state.holds > 0) return;
  if (QCoreApplication* app = QCoreApplication::instance()) {
    state.drainScheduled = true;
    QMetaObject::invokeMethod(
        app,
        [] {
          DeliverQueued();
          if (!State().queue.empty()) ScheduleDelivery();
        },
        Qt::QueuedConnection);
  }
}

}  // namespace

TMessageDeliveryHold::TMessageDeliveryHold() { ++State().holds; }

TMessageDeliveryHold::~TMessageDeliveryHold() {
  auto& state = State();
  if (--state.holds == 0 && !state.queue.empty()) ScheduleDelivery();
}

bool TMessageDeliveryHold::Active() { return State().holds > 0; }

HWND AllocateHWnd(TWndMethod method) {
  auto& state = State();
  const HWND handle = state.nextHandle++;
  state.receivers[handle] = std::make_shared<TWndMethod>(std::move(method));
  return handle;
}

void DeallocateHWnd(HWND handle) { State().receivers.erase(handle); }

bool IsWindow(HWND handle) { return handle != 0 && State().receivers.count(handle) != 0; }

bool PostMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(handle)) return false;
  State().queue.push_back({handle, TMessage{msg, wParam, lParam, 0}});
  ScheduleDelivery();
  return true;
}

LRESULT SendMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto receiver = ReceiverOf(handle);
  if (!receiver) return 0;
  TMessage message{msg, wParam, lParam, 0};
  (*receiver)(message);  // the shared pointer keeps the method alive if it unregisters itself
  return message.Result;
}

void ProcessMessages() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
  DeliverQueued();
  if (!State().queue.empty()) ScheduleDelivery();
}

int PendingMessageCount() { return static_cast<int>(State().queue.size()); }
