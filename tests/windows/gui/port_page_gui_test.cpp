// The port page of the settings window through its Win32 view: the chooser of the selected port
// type, its drawn entries, the background probe's repaint, and what OK saves.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "label_printer/driver.h"
#include "settings_ui/port_manager_settings.h"
#include "settings_ui/windows/port_manager_settings_view.h"
#include "settings_ui/windows/settings_window_view.h"
#include "support/fake_device_io.h"
#include "support/fake_port_discovery.h"
#include "support/fake_port_opener.h"
#include "windows/gui/ui_script.h"

namespace pirell {
namespace {

using test::UiScript;
namespace window_ids = win32::settings_window_ids;
namespace port_ids = win32::port_settings_ids;

class PortPageGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver = CreateObject<TDriver>(device_io);
    platform::UsbPrinterRecord printer;
    printer.interface_path = "\\\\?\\usb#vid_0a5f&pid_0001#label";
    printer.location = "USB001";
    printer.description = "Label printer";
    printer.enabled = true;
    discovery.usb_printers = {printer};
    opener.SetFree({"LPT2", "COM2"});
    discovery.serial_map = {"COM2"};
    discovery.print_queues = {{"Labels", "", true}};
  }

  TPageClasses PortPage() {
    return {[this](TfrmCommonSettings& owner, TBaseDevice& device) {
      auto page =
          TfrmBaseSettings::Create<TfrmPortManagerSettings>(owner, device, discovery, opener);
      port_page = page.get();
      return std::unique_ptr<TfrmBaseSettings>(std::move(page));
    }};
  }

  testing::FakeDeviceIo device_io;
  testing::FakePortDiscovery discovery;
  testing::FakePortOpener opener;
  std::shared_ptr<TDriver> driver;
  TfrmPortManagerSettings* port_page = nullptr;
};

void Choose(UiScript& ui, HWND combo, int index) {
  ui.Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
  ui.Command(combo, CBN_SELCHANGE);
}

TEST_F(PortPageGuiTest, TheStoredParallelPortIsProbedThenAUsbPrinterIsChosenAndSaved) {
  driver->SetSettingValue("PortType", Variant(1));
  driver->SetSettingValue("PortName", Variant("LPT2"));
  win32::SettingsWindowView view(*driver, PortPage());
  ASSERT_TRUE(view.Create());
  ASSERT_NE(port_page, nullptr);
  bool lpt_shown_first = false;
  bool usb_shown_after = false;
  bool lpt_probed_free = false;
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    HWND lpt = ui.Find(window, port_ids::kLptPorts);
    HWND usb = ui.Find(window, port_ids::kUsbPorts);
    lpt_shown_first = IsWindowVisible(lpt) && !IsWindowVisible(usb);
    // The page is the first tab, on screen: the probe finds LPT2 free.
    lpt_probed_free = ui.WaitUntil(
        [&] {
          const auto ports = port_page->cbbLPTPorts.PortArray();
          for (const auto& port : ports)
            if (port.PortName == "LPT2") return port.PortState == port_chooser::TPortState::psFree;
          return false;
        },
        "the probe of LPT2");
    Choose(ui, ui.Find(window, port_ids::kPortType), 0);
    usb_shown_after = IsWindowVisible(usb) && !IsWindowVisible(lpt);
    Choose(ui, usb, 0);
    HWND ok = ui.Find(window, window_ids::kOk);
    ui.Send(window, WM_COMMAND, MAKEWPARAM(window_ids::kOk, BN_CLICKED),
            reinterpret_cast<LPARAM>(ok));
  });
  EXPECT_EQ(view.ShowModal(), mrOk);
  for (const std::string& failure : script.Finish()) ADD_FAILURE() << failure;
  EXPECT_TRUE(lpt_shown_first);
  EXPECT_TRUE(lpt_probed_free);
  EXPECT_TRUE(usb_shown_after);
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 0);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "\\\\?\\usb#vid_0a5f&pid_0001#label");
}

void Type(UiScript& ui, HWND edit, const wchar_t* text) {
  ui.Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

TEST_F(PortPageGuiTest, EachTypeShowsItsControlsAndASerialPortIsSavedWithItsLineSettings) {
  driver->SetSettingValue("PortType", Variant(3));
  driver->SetSettingValue("PortName", Variant("10.0.0.5:9101"));
  win32::SettingsWindowView view(*driver, PortPage());
  ASSERT_TRUE(view.Create());
  std::wstring address_read;
  std::wstring chosen_file;
  std::vector<std::wstring> shown;  // the visible field of each type, in item order
  UiScript script([&](UiScript& ui) {
    HWND window = ui.WaitForWindow(L"Настройки");
    if (window == nullptr) return;
    HWND type = ui.Find(window, port_ids::kPortType);
    HWND address = ui.Find(window, port_ids::kAddress);
    address_read = test::TextOf(address);
    const int fields[] = {port_ids::kUsbPorts,     port_ids::kLptPorts,   port_ids::kComPorts,
                          port_ids::kLineSettings, port_ids::kAddress,    port_ids::kFilePath,
                          port_ids::kBrowse,       port_ids::kPrintQueues};
    for (int item = 0; item < 6; ++item) {
      Choose(ui, type, item);
      std::wstring visible;
      for (int id : fields)
        if (IsWindowVisible(ui.Find(window, id))) visible += std::to_wstring(id) + L" ";
      shown.push_back(visible);
    }

    // The file dialog: the chosen name comes back into the path field.
    Choose(ui, type, 4);
    HWND browse = ui.Find(window, port_ids::kBrowse);
    PostMessageW(GetParent(browse), WM_COMMAND, MAKEWPARAM(port_ids::kBrowse, BN_CLICKED),
                 reinterpret_cast<LPARAM>(browse));
    if (HWND dialog = ui.WaitForWindow(L"Файл для заданий печати")) {
      // The file name box of the dialog (cmb13, or edt1 in the older layout).
      HWND name = FindWindowExW(dialog, nullptr, nullptr, nullptr);
      for (int id : {0x47c, 0x480})
        if (HWND found = GetDlgItem(dialog, id)) name = found;
      Type(ui, name, L"C:\\labels-out.prn");
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
      ui.WaitUntil([&] { return IsWindow(dialog) == FALSE || !IsWindowVisible(dialog); },
                   "the file dialog to close");
      ui.WaitUntil([&] { return IsWindowEnabled(window) != FALSE; }, "the settings window");
      chosen_file = test::TextOf(ui.Find(window, port_ids::kFilePath));
    }

    Choose(ui, type, 2);
    Choose(ui, ui.Find(window, port_ids::kComPorts), 0);
    Type(ui, ui.Find(window, port_ids::kLineSettings), L"19200,E,7,1");
    HWND ok = ui.Find(window, window_ids::kOk);
    ui.Send(window, WM_COMMAND, MAKEWPARAM(window_ids::kOk, BN_CLICKED),
            reinterpret_cast<LPARAM>(ok));
  });
  EXPECT_EQ(view.ShowModal(), mrOk);
  for (const std::string& failure : script.Finish()) ADD_FAILURE() << failure;
  EXPECT_EQ(address_read, L"10.0.0.5:9101");
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"401 ", L"402 ", L"403 404 ", L"405 ", L"406 407 ",
                                              L"408 "}));
  EXPECT_EQ(chosen_file, L"C:\\labels-out.prn");
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 2);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "COM2:19200,E,7,1");
}

}  // namespace
}  // namespace pirell
