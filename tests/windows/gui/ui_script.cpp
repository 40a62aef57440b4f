#include "windows/gui/ui_script.h"

#include <commctrl.h>

#include <chrono>

namespace pirell::test {
namespace {

struct Search {
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (IsWindowVisible(window) && IsWindowEnabled(window) && TextOf(window) == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct IdSearch {
  int id;
  HWND found = nullptr;
};

BOOL CALLBACK MatchId(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<IdSearch*>(param);
  if (GetDlgCtrlID(window) == search->id) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible window other than a tooltip (the virtual screen's mouse may rest on a control).
bool Shown(HWND window) {
  wchar_t class_name[32] = {};
  GetClassNameW(window, class_name, 32);
  return IsWindowVisible(window) && lstrcmpiW(class_name, TOOLTIPS_CLASSW) != 0;
}

BOOL CALLBACK CloseVisible(HWND window, LPARAM) {
  if (Shown(window)) PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

BOOL CALLBACK CountVisible(HWND window, LPARAM param) {
  if (Shown(window)) ++*reinterpret_cast<int*>(param);
  return TRUE;
}

}  // namespace

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  // Not GetWindowText: it does not ask a window of another thread for its text.
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return text;
}

UiScript::UiScript(Steps steps) : ui_thread_(GetCurrentThreadId()) {
  thread_ = std::thread([this, steps = std::move(steps)] {
    try {
      steps(*this);
    } catch (const std::exception& error) {
      Fail(std::string("the script failed: ") + error.what());
    }
    CloseLeftovers();
  });
}

UiScript::~UiScript() {
  Finish();
}

std::vector<std::string> UiScript::Finish() {
  if (!finished_) {
    // The modal loops have returned when the test's thread gets here; the helper may still be
    // closing what is left.
    if (thread_.joinable()) thread_.join();
    finished_ = true;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return failures_;
}

void UiScript::Fail(const std::string& why) {
  std::lock_guard<std::mutex> lock(mutex_);
  failures_.push_back(why);
}

bool UiScript::WaitUntil(const std::function<bool()>& condition, const std::string& what,
                         DWORD timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      Fail("timed out waiting for " + what);
      return false;
    }
    Sleep(20);
  }
  return true;
}

HWND UiScript::WaitForWindow(const std::wstring& caption, DWORD timeout_ms) {
  Search search{caption};
  WaitUntil(
      [&] {
        search.found = nullptr;
        EnumThreadWindows(ui_thread_, &MatchCaption, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      "a window", timeout_ms);
  return search.found;
}

HWND UiScript::Find(HWND root, int id) {
  IdSearch search{id};
  if (root != nullptr) EnumChildWindows(root, &MatchId, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) Fail("no control with ID " + std::to_string(id));
  return search.found;
}

LRESULT UiScript::Send(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, msg, wparam, lparam, SMTO_NORMAL, 10000, &result))
    Fail("message " + std::to_string(msg) + " was not processed in time");
  return static_cast<LRESULT>(result);
}

void UiScript::Command(HWND control, int code) {
  Send(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
       reinterpret_cast<LPARAM>(control));
}

void UiScript::CloseLeftovers() {
  auto visible_windows = [this] {
    int visible = 0;
    EnumThreadWindows(ui_thread_, &CountVisible, reinterpret_cast<LPARAM>(&visible));
    return visible;
  };
  // The last step's window closes on the test's thread a moment later.
  for (int wait = 0; wait < 50 && visible_windows() > 0; ++wait) Sleep(100);
  if (visible_windows() == 0) return;
  Fail("the script left a window open");
  for (int attempt = 0; attempt < 100 && visible_windows() > 0; ++attempt) {
    EnumThreadWindows(ui_thread_, &CloseVisible, 0);
    Sleep(100);
  }
}

}  // namespace pirell::test
