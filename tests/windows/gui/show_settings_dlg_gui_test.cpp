// "ShowSettingsDlg" on a driver that a host created by its ProgID from the registered pirell.dll:
// the real settings window opens, and its OK or Cancel is the method's answer.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>

#include "platform/windows/com_ptr.h"
#include "settings_ui/windows/main_settings_view.h"
#include "settings_ui/windows/settings_window_view.h"
#include "support/com_test_support.h"
#include "windows/gui/ui_script.h"

namespace pirell {
namespace {

using platform::ComPtr;
using test::UiScript;
namespace window_ids = win32::settings_window_ids;
namespace page_ids = win32::main_settings_ids;

std::wstring DllBesideThisProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path);
  dll.erase(dll.find_last_of(L"\\/") + 1);
  return dll + L"pirell.dll";
}

// Registers the driver DLL for the test's lifetime, as its installer would.
class RegisteredDriverDll {
 public:
  RegisteredDriverDll() : module_(LoadLibraryW(DllBesideThisProgram().c_str())) {
    if (module_ == nullptr) return;
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "DllRegisterServer")));
    registered_ = entry != nullptr && SUCCEEDED(entry());
  }
  ~RegisteredDriverDll() {
    if (registered_) {
      auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
          reinterpret_cast<void (*)()>(GetProcAddress(module_, "DllUnregisterServer")));
      if (entry != nullptr) entry();
    }
    if (module_ != nullptr) FreeLibrary(module_);
  }
  RegisteredDriverDll(const RegisteredDriverDll&) = delete;
  RegisteredDriverDll& operator=(const RegisteredDriverDll&) = delete;
  bool Registered() const { return registered_; }

 private:
  HMODULE module_;
  bool registered_ = false;
};

struct HostAnswer {
  bool ok = false;
  LONG code = -1;
};

// Calls ShowSettingsDlg(InData, OutData, TimeOut) by name, as a host does.
HostAnswer CallShowSettingsDlg(IDispatch& driver) {
  HostAnswer answer;
  OLECHAR name[] = L"ShowSettingsDlg";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  if (FAILED(driver.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return answer;
  VARIANT out_data;
  VariantInit(&out_data);
  VARIANT args[3];
  for (VARIANT& arg : args) VariantInit(&arg);
  args[0].vt = VT_I4;  // TimeOut (arguments go in reverse order)
  args[0].lVal = 0;
  args[1].vt = VT_BYREF | VT_VARIANT;  // OutData
  args[1].pvarVal = &out_data;
  DISPPARAMS params{args, nullptr, 3, 0};  // InData stays empty
  VARIANT result;
  VariantInit(&result);
  if (FAILED(driver.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                           nullptr, nullptr)))
    return answer;
  answer.ok = result.vt == VT_BOOL && result.boolVal == VARIANT_TRUE;
  answer.code = answer.ok ? 0 : -1;
  // A false answer carries the result code as the first element of OutData.
  if (!answer.ok && (out_data.vt & VT_ARRAY) && out_data.parray != nullptr) {
    LONG index = 0;
    VARIANT first;
    VariantInit(&first);
    if (SUCCEEDED(SafeArrayGetElement(out_data.parray, &index, &first)) &&
        SUCCEEDED(VariantChangeType(&first, &first, 0, VT_I4)))
      answer.code = first.lVal;
    VariantClear(&first);
  }
  VariantClear(&out_data);
  VariantClear(&result);
  return answer;
}

// The captions of the window's tabs, joined by "|".
std::wstring TabCaptions(UiScript& ui, HWND window) {
  HWND tabs = ui.Find(window, window_ids::kPages);
  std::wstring captions;
  const auto count = static_cast<int>(ui.Send(tabs, TCM_GETITEMCOUNT));
  for (int i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ui.Send(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    captions += std::wstring(text) + L"|";
  }
  return captions;
}

// Reads the speed the page shows, changes it, and presses OK (or Cancel).
void ChangeSpeedAndClose(UiScript& ui, int new_speed_item, int button, int& shown_speed_item) {
  HWND window = ui.WaitForWindow(L"Настройки");
  if (window == nullptr) return;
  if (TabCaptions(ui, window) != L"Принтер|Интерфейс|Информация|")
    ui.Fail("the driver's window has other tabs than the printer, port and information tabs");
  HWND speed = ui.Find(window, page_ids::kPrintSpeed);
  shown_speed_item = static_cast<int>(ui.Send(speed, CB_GETCURSEL));
  ui.Send(speed, CB_SETCURSEL, static_cast<WPARAM>(new_speed_item));
  ui.Command(speed, CBN_SELCHANGE);
  HWND pressed = ui.Find(window, button);
  ui.Send(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(pressed));
}

TEST(ShowSettingsDlgGuiTest, ADriverCreatedByProgIdShowsTheWindowAndAnswersItsButton) {
  test::ComApartment apartment;
  RegisteredDriverDll dll;
  ASSERT_TRUE(dll.Registered());
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"KestroEq.Pirell", &clsid), S_OK);
  ComPtr<IDispatch> driver;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(driver.Put())),
            S_OK);

  // OK with 2.00 IPS (item 1) instead of the default 3.50 IPS (item 3): answered 0.
  int first_shown = -1;
  {
    UiScript script(
        [&](UiScript& ui) { ChangeSpeedAndClose(ui, 1, window_ids::kOk, first_shown); });
    const HostAnswer answer = CallShowSettingsDlg(*driver.Get());
    for (const std::string& failure : script.Finish()) ADD_FAILURE() << failure;
    EXPECT_TRUE(answer.ok);
    EXPECT_EQ(answer.code, 0);
  }
  // Cancel after choosing 1.50 IPS: answered 201, and the saved speed stays.
  int second_shown = -1;
  {
    UiScript script(
        [&](UiScript& ui) { ChangeSpeedAndClose(ui, 0, window_ids::kCancel, second_shown); });
    const HostAnswer answer = CallShowSettingsDlg(*driver.Get());
    for (const std::string& failure : script.Finish()) ADD_FAILURE() << failure;
    EXPECT_FALSE(answer.ok);
    EXPECT_EQ(answer.code, 201);
  }
  int third_shown = -1;
  {
    UiScript script(
        [&](UiScript& ui) { ChangeSpeedAndClose(ui, 0, window_ids::kCancel, third_shown); });
    CallShowSettingsDlg(*driver.Get());
    for (const std::string& failure : script.Finish()) ADD_FAILURE() << failure;
  }
  EXPECT_EQ(first_shown, 3);
  EXPECT_EQ(second_shown, 1);
  EXPECT_EQ(third_shown, 1);
}

}  // namespace
}  // namespace pirell
