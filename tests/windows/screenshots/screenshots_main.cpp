// Opens each settings window on a driver with its default settings and saves pictures of it:
//   pirell_screenshots OUTPUT_FOLDER
// settings-printer.png, settings-port.png, settings-port-serial.png and settings-port-file.png
// (when the driver has a port page: USB, then the serial and the File types), settings-info.png,
// settings-menu.png (the additional-functions menu opened) and settings-list.png.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "capture.h"
#include "driver_object/base_object.h"
#include "label_printer/driver.h"
#include "png_file.h"
#include "settings_ui/main_settings_form.h"
#include "settings_ui/port_manager_settings.h"
#include "settings_ui/windows/port_manager_settings_view.h"
#include "settings_ui/windows/settings_list_view.h"
#include "settings_ui/windows/settings_window_view.h"

namespace pirell::screenshots {
namespace {

namespace window_ids = win32::settings_window_ids;

// Lets the windows paint.
void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  } while (GetTickCount() - start < ms);
}

bool Save(const std::wstring& folder, const wchar_t* name, const RgbImage& image) {
  const std::wstring path = folder + L"\\" + name;
  const bool ok = image.width > 0 && WritePngFile(path, image);
  std::fwprintf(stdout, L"%ls %ls (%dx%d, %d colours)\n", ok ? L"saved" : L"FAILED", path.c_str(),
                image.width, image.height, DistinctColours(image));
  return ok;
}

void SelectTab(win32::SettingsWindowView& view, int index) {
  HWND window = view.Handle();
  HWND tabs = GetDlgItem(window, window_ids::kPages);
  SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  NMHDR header{tabs, static_cast<UINT_PTR>(window_ids::kPages), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(window, WM_NOTIFY, window_ids::kPages, reinterpret_cast<LPARAM>(&header));
  Pump(400);
}

// Chooses a port type on the port page, as a user does.
void SelectPortType(win32::SettingsWindowView& view, int item) {
  HWND page = view.PagePanel(1);
  HWND type = page != nullptr ? GetDlgItem(page, win32::port_settings_ids::kPortType) : nullptr;
  if (type == nullptr) return;
  SendMessageW(type, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  SendMessageW(GetParent(type), WM_COMMAND,
               MAKEWPARAM(win32::port_settings_ids::kPortType, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(type));
  Pump(400);
}

// The menu is captured from a timer that runs inside the menu's own loop.
struct MenuCapture {
  HWND window = nullptr;
  RgbImage image;
};
MenuCapture* g_menu_capture = nullptr;

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM param) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (IsWindowVisible(window) && std::wstring(class_name) == L"#32768") {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK CaptureMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND menu = nullptr;
  EnumWindows(&FindMenuWindow, reinterpret_cast<LPARAM>(&menu));
  if (g_menu_capture != nullptr && menu != nullptr) {
    // The window and its open menu together: a window-sized picture grown to hold the menu.
    RECT window_rect{}, menu_rect{}, both{};
    GetWindowRect(g_menu_capture->window, &window_rect);
    GetWindowRect(menu, &menu_rect);
    UnionRect(&both, &window_rect, &menu_rect);
    g_menu_capture->image = CaptureScreenRect(both);
  }
  EndMenu();
}

int Run(const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  auto driver = CreateObject<TDriver>();
  int failures = 0;
  {
    // The driver's own pages, in its order.
    win32::SettingsWindowView view(
        *driver, {PageClassOf<TfrmMainSettings>(), PageClassOf<TfrmPortManagerSettings>()});
    if (!view.Create()) return 1;
    ShowWindow(view.Handle(), SW_SHOW);
    SetForegroundWindow(view.Handle());
    Pump(600);
    const int tabs = static_cast<int>(view.Form().pcPages.Tabs.size());
    SelectTab(view, 0);
    failures += !Save(folder, L"settings-printer.png", CaptureWindow(view.Handle()));
    if (tabs == 3) {
      SelectTab(view, 1);
      failures += !Save(folder, L"settings-port.png", CaptureWindow(view.Handle()));
      SelectPortType(view, TfrmPortManagerSettings::kComItem);
      failures += !Save(folder, L"settings-port-serial.png", CaptureWindow(view.Handle()));
      SelectPortType(view, TfrmPortManagerSettings::kFileItem);
      failures += !Save(folder, L"settings-port-file.png", CaptureWindow(view.Handle()));
      SelectPortType(view, TfrmPortManagerSettings::kUsbItem);
    }
    SelectTab(view, tabs - 1);
    failures += !Save(folder, L"settings-info.png", CaptureWindow(view.Handle()));

    SelectTab(view, 0);
    MenuCapture menu_capture{view.Handle(), {}};
    g_menu_capture = &menu_capture;
    SetTimer(nullptr, 0, 600, &CaptureMenu);
    view.OpenMenu();
    g_menu_capture = nullptr;
    failures += !Save(folder, L"settings-menu.png", menu_capture.image);
    ShowWindow(view.Handle(), SW_HIDE);
  }
  {
    win32::Win32SettingsUiServices list_services;
    win32::SettingsListView list(*driver, list_services);
    if (!list.Create()) return 1;
    ShowWindow(list.Handle(), SW_SHOW);
    SetForegroundWindow(list.Handle());
    HWND list_view = GetDlgItem(list.Handle(), win32::settings_list_ids::kList);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_view, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    SetFocus(list_view);
    Pump(600);
    failures += !Save(folder, L"settings-list.png", CaptureWindow(list.Handle()));
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace pirell::screenshots

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 2) {
    std::fwprintf(stderr, L"usage: pirell_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  LocalFree(argv);
  return pirell::screenshots::Run(folder);
}
