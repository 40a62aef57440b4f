#pragma once

// Drives the windows of the test's thread from a helper thread, the way a user would, while the
// test's thread sits in a modal window's message loop. Every wait has a time-out; whatever the
// script leaves open is closed at the end, so a broken window fails the test instead of hanging.

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pirell::test {

class UiScript {
 public:
  using Steps = std::function<void(UiScript& ui)>;

  // Starts `steps` at once; the windows it looks for belong to the calling thread.
  explicit UiScript(Steps steps);
  // Waits for the steps, then closes what they left open.
  ~UiScript();
  UiScript(const UiScript&) = delete;
  UiScript& operator=(const UiScript&) = delete;

  // A visible, enabled top-level window of the test's thread with `caption`; null (and a
  // failure) when none appears in time.
  HWND WaitForWindow(const std::wstring& caption, DWORD timeout_ms = 10000);
  // Waits until `condition` holds; false (and a failure naming `what`) on time-out.
  bool WaitUntil(const std::function<bool()>& condition, const std::string& what,
                 DWORD timeout_ms = 10000);
  // The first descendant of `root` with the control ID `id` (null and a failure when none).
  HWND Find(HWND root, int id);
  // A message processed by the window's thread; gives up after a time-out.
  LRESULT Send(HWND window, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
  // The notification `code` of `control` to its parent, as the control sends it.
  void Command(HWND control, int code);
  void Fail(const std::string& why);

  // Waits for the steps to end; the failures they recorded.
  std::vector<std::string> Finish();

 private:
  void CloseLeftovers();

  DWORD ui_thread_;
  std::mutex mutex_;
  std::vector<std::string> failures_;
  std::thread thread_;
  bool finished_ = false;
};

// The text of a window.
std::wstring TextOf(HWND window);

}  // namespace pirell::test
