#pragma once

// Modal showing of a window made with CreateWindowExW: the thread's other windows are disabled,
// and the thread's messages run (with Tab, Enter and Esc handled as in a dialog) until the
// window has a modal result or is gone.

#include <windows.h>

#include <functional>

namespace pirell::win32 {

// Results of a modal window, as the dialog box results of the system.
enum class ModalResult { None = 0, Ok = IDOK, Cancel = IDCANCEL };

// Shows `window`, runs the loop until `finished()` answers true or the window is destroyed, then
// hides it and enables the windows it disabled. `before_dispatch`, when given, sees each message
// first and answers true when it has handled it (keys the window treats itself, such as F1).
// A WM_QUIT that arrives ends the loop and is posted again for the outer loop.
void RunModal(HWND window, const std::function<bool()>& finished,
              const std::function<bool(MSG&)>& before_dispatch = {});

}  // namespace pirell::win32
