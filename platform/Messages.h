// Window handles and messages in place of the Windows message queue. A handle
// is an integer that a receiver registers (0 means none). PostMessage queues
// in order and the event loop delivers later (dropped when the receiver is
// gone by then); SendMessage calls the receiver at once.
#pragma once

#include <cstdint>
#include <functional>

using HWND = std::uint32_t;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

using TWndMethod = std::function<void(TMessage&)>;

// The editor's private messages (decimal, below the platform's user range).
constexpr UINT WM_LOADPROGRESS = 1001;      // (index, last index) while sprites or frames load; (1, 1) when done
constexpr UINT WM_RECOMPUTESCENE = 1002;    // recompute and redraw the current step
constexpr UINT WM_IMAGEPROGRESS = 1003;     // (position, total) of GIF reading/writing or palette creation
constexpr UINT WM_ITEMADDED = 1003;         // posted by the main window to itself: a sprite or frame was added
constexpr UINT WM_STEPCHANGED = 1006;       // a playback step was shown
constexpr UINT WM_MOTIONSTEPADDED = 1007;   // a motion step was added

// Clipboard-viewer chain messages.
constexpr UINT WM_CHANGECBCHAIN = 0x030D;
constexpr UINT WM_DRAWCLIPBOARD = 0x0308;

// Registers a receiver and returns its new handle (never reused).
HWND AllocateHWnd(TWndMethod method);
// Unregisters a handle; messages posted to it are dropped from now on.
void DeallocateHWnd(HWND handle);
bool IsWindow(HWND handle);

// Queues a message; false when the handle is 0 or not registered.
bool PostMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls the receiver at once and returns its result; 0 for a dead handle.
LRESULT SendMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);

// Delivers the messages posted so far (and lets Qt process its pending events).
void ProcessMessages();
// Number of posted messages not yet delivered.
int PendingMessageCount();

// While one of these exists, posted messages stay queued instead of being
// delivered; they are delivered in order once the last hold ends. Used while
// a long operation lets the event loop run, so that no posted work starts in
// the middle of it. SendMessage is not held.
class TMessageDeliveryHold {
 public:
  TMessageDeliveryHold();
  ~TMessageDeliveryHold();
  TMessageDeliveryHold(const TMessageDeliveryHold&) = delete;
  TMessageDeliveryHold& operator=(const TMessageDeliveryHold&) = delete;
  static bool Active();
};

// Owns a registered handle for the lifetime of an object.
class TWindowHandle {
 public:
  explicit TWindowHandle(TWndMethod method) : handle_(AllocateHWnd(std::move(method))) {}
  ~TWindowHandle() { DeallocateHWnd(handle_); }
  TWindowHandle(const TWindowHandle&) = delete;
  TWindowHandle& operator=(const TWindowHandle&) = delete;
  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};
