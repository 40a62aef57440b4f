#include "settings_ui/windows/modal_loop.h"

#include <vector>

namespace pirell::win32 {
namespace {

// Disables the thread's other enabled top-level windows for the life of the object, as a modal
// dialog does to its owner, and enables them again afterwards.
class ThreadWindowsDisabler {
 public:
  explicit ThreadWindowsDisabler(HWND modal) : modal_(modal) {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
  }
  ~ThreadWindowsDisabler() { Restore(); }
  void Restore() {
    for (HWND window : disabled_)
      if (IsWindow(window)) EnableWindow(window, TRUE);
    disabled_.clear();
  }
  ThreadWindowsDisabler(const ThreadWindowsDisabler&) = delete;
  ThreadWindowsDisabler& operator=(const ThreadWindowsDisabler&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM self_param) {
    auto* self = reinterpret_cast<ThreadWindowsDisabler*>(self_param);
    if (window != self->modal_ && IsWindowVisible(window) && IsWindowEnabled(window))
      self->disabled_.push_back(window);
    return TRUE;
  }

  HWND modal_;
  std::vector<HWND> disabled_;
};

}  // namespace

void RunModal(HWND window, const std::function<bool()>& finished,
              const std::function<bool(MSG&)>& before_dispatch) {
  if (!IsWindow(window)) return;
  ThreadWindowsDisabler disabler(window);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  while (IsWindow(window) && !finished()) {
    MSG msg;
    // Not GetMessage: a message sent from another thread (or a timer procedure) may close the
    // window while GetMessage goes on waiting for a posted one. PeekMessage handles the sent
    // messages and returns, so the result is looked at after each of them.
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (finished()) break;
      MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (before_dispatch && before_dispatch(msg)) continue;
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The owner must be enabled before the modal window hides, or the system activates another
  // program's window.
  disabler.Restore();
  if (IsWindow(window)) ShowWindow(window, SW_HIDE);
}

}  // namespace pirell::win32
