// The port page: port type and port chosen from the settings, shown, probed and saved.

#include "settings_ui/port_manager_settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings_ui/common_settings_form.h"
#include "settings_ui/main_settings_form.h"
#include "settings_ui/settings_window_runner.h"
#include "support/fake_port_discovery.h"
#include "support/fake_port_opener.h"
#include "support/settings_ui_fixture.h"

namespace pirell {
namespace {

using port_chooser::TColorRGB;
using port_chooser::TPortState;
using port_chooser::TPortType;
using testing::CallPublic;
using testing::FakePortDiscovery;
using testing::FakePortOpener;
using testing::PublicCall;
using testing::RepaintCounter;

constexpr TColorRGB kGreenFill{0, 208, 0};
constexpr TColorRGB kRedFill{208, 0, 0};
constexpr TColorRGB kGreyFill{208, 208, 208};

const std::string kZebraPath =
    R"(\\?\usb#vid_0a5f&pid_000a#41a081100542#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})";
const std::string kDisabledPath =
    R"(\\?\usb#vid_1203&pid_0230#5&2c5f3a7&0&2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})";

class PortPageTest : public testing::SettingsUiTest {
 protected:
  void SetUp() override {
    SettingsUiTest::SetUp();
    machine.parallel_map = {R"(\DosDevices\LPT1)"};
    machine.usb_printers = {
        {kZebraPath, "Port_#0001.Hub_#0004", "Zebra LP2844", true},
        {kDisabledPath, "Port_#0002.Hub_#0004", "TSC TTP-244 Plus", false},
    };
    ports.SetFree({"LPT1"});
  }

  void Store(int port_type, const std::string& port_name) {
    driver->SetSettingValue("PortType", Variant::Integer(port_type));
    driver->SetSettingValue("PortName", Variant(port_name));
  }

  // The settings window with the port page alone; the page reads the settings as it opens.
  std::unique_ptr<TfrmCommonSettings> OpenWindow() {
    TPageClass port_page = [this](TfrmCommonSettings& owner, TBaseDevice& device) {
      return TfrmBaseSettings::Create<TfrmPortManagerSettings>(owner, device, machine, ports);
    };
    auto window = std::make_unique<TfrmCommonSettings>(*driver, TPageClasses{port_page}, ui);
    Page(*window).cbbLPTPorts.SetOnRepaint([this] { repaints(); });
    return window;
  }
  static TfrmPortManagerSettings& Page(TfrmCommonSettings& window) {
    return static_cast<TfrmPortManagerSettings&>(*window.Pages().at(0));
  }
  void CloseWithOk(TfrmCommonSettings& window) {
    window.btnOKClick();
    window.FormClose();
    ASSERT_EQ(window.ModalResult, mrOk);
  }

  FakePortDiscovery machine;
  FakePortOpener ports;
  RepaintCounter repaints;
};

TEST_F(PortPageTest, OffersUsbPrintersAndParallelPorts) {
  Store(0, kZebraPath);
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(window->pcPages.Tabs, (std::vector<std::string>{"Интерфейс", "Информация"}));
  EXPECT_EQ(page.cbbPortType.Caption, "Тип порта:");
  EXPECT_EQ(page.cbbPortType.Items, (std::vector<std::string>{"USB порт", "LPT порт"}));
  EXPECT_EQ(page.tsUSB.Caption, "Порт:");
  EXPECT_EQ(page.tsLPT.Caption, "Порт:");
  EXPECT_EQ(page.cbbUSBPrinters.PortType(), TPortType::ptUSB);
  EXPECT_FALSE(page.cbbUSBPrinters.CheckPortsOnCreate());
  EXPECT_EQ(page.cbbLPTPorts.PortType(), TPortType::ptLPT);
  EXPECT_TRUE(page.cbbLPTPorts.CheckPortsOnCreate());
  EXPECT_EQ(page.cbbUSBPrinters.ItemCount(), 2);
  EXPECT_EQ(page.cbbLPTPorts.Items(), std::vector<std::string>{"LPT1"});
}

TEST_F(PortPageTest, AStoredParallelPortTheMachineLacksIsAppendedGreyThenProbedBusy) {
  Store(1, "LPT2");
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(page.cbbPortType.ItemIndex, 1);
  EXPECT_EQ(page.pgcSettings.TabIndex, 1);
  EXPECT_TRUE(page.tsLPT.Visible);
  EXPECT_FALSE(page.tsUSB.Visible);
  ASSERT_EQ(page.cbbLPTPorts.ItemCount(), 2);
  EXPECT_EQ(page.cbbLPTPorts.ItemIndex(), 1);
  EXPECT_EQ(page.cbbLPTPorts.DrawItem(1, {})->Text, "LPT2");
  EXPECT_EQ(page.cbbLPTPorts.DrawItem(1, {})->Fill, kGreyFill);
  // Nothing is probed before the page is on the screen.
  EXPECT_FALSE(page.cbbLPTPorts.IsChecking());

  page.SetShowing(true);
  repaints.WaitFor(2);
  page.cbbLPTPorts.StopCheck();
  EXPECT_EQ(page.cbbLPTPorts.DrawItem(0, {})->Fill, kGreenFill);
  EXPECT_EQ(page.cbbLPTPorts.DrawItem(1, {})->Fill, kRedFill);

  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 1);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "LPT2");
}

TEST_F(PortPageTest, AStoredUsbPathTheMachineLacksIsAppendedAndKept) {
  const std::string gone =
      R"(\\?\usb#vid_0a5f&pid_00ff#gone#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})";
  Store(0, gone);
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(page.cbbPortType.ItemIndex, 0);
  EXPECT_TRUE(page.tsUSB.Visible);
  ASSERT_EQ(page.cbbUSBPrinters.ItemCount(), 3);
  EXPECT_EQ(page.cbbUSBPrinters.ItemIndex(), 2);
  const auto drawn = page.cbbUSBPrinters.DrawItem(2, {});
  EXPECT_EQ(drawn->Text, "USB2");
  EXPECT_EQ(drawn->Fill, kGreyFill);

  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 0);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), gone);
}

TEST_F(PortPageTest, UsbPrintersShowTheirStateAndAreNeverProbed) {
  Store(0, kDisabledPath);
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(page.cbbUSBPrinters.ItemIndex(), 1);
  EXPECT_EQ(page.cbbUSBPrinters.DrawItem(0, {})->Fill, kGreenFill);
  EXPECT_EQ(page.cbbUSBPrinters.DrawItem(1, {})->Fill, kRedFill);
  page.SetShowing(true);
  EXPECT_TRUE(page.cbbUSBPrinters.Showing());
  EXPECT_FALSE(page.cbbUSBPrinters.IsChecking());
  EXPECT_FALSE(page.cbbLPTPorts.Showing());
  EXPECT_FALSE(page.cbbLPTPorts.IsChecking());

  // The user picks the other printer.
  page.cbbUSBPrinters.SetItemIndex(0);
  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), kZebraPath);
}

TEST_F(PortPageTest, PortTypesBeyondTheListShowUsbAndAreSavedAsUsb) {
  for (const int stored : {2, 3, 4, -1}) {
    Store(stored, kZebraPath);
    const auto window = OpenWindow();
    TfrmPortManagerSettings& page = Page(*window);
    EXPECT_EQ(page.cbbPortType.ItemIndex, 0) << stored;
    EXPECT_TRUE(page.tsUSB.Visible) << stored;
    EXPECT_EQ(page.cbbUSBPrinters.ItemIndex(), 0) << stored;
    CloseWithOk(*window);
    EXPECT_EQ(driver->GetSettingValueInt("PortType"), 0) << stored;
    EXPECT_EQ(driver->GetSettingValueStr("PortName"), kZebraPath) << stored;
  }
}

TEST_F(PortPageTest, ParallelPortWithNothingChosenIsSavedAsLptMinusOne) {
  // A user who switches from USB to LPT without picking a port.
  Store(0, kZebraPath);
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  page.cbbPortType.SetItemIndex(1);
  page.cbbPortTypeChange();
  EXPECT_EQ(page.cbbLPTPorts.ItemIndex(), -1);
  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 1);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "LPT-1");
}

TEST_F(PortPageTest, TheStoredParallelNumberIsReadAfterTheLetters) {
  machine.parallel_map = {R"(\DosDevices\LPT1)", R"(\DosDevices\LPT2)", R"(\DosDevices\LPT3)"};
  struct Case {
    std::string stored;
    int selected_number;  // -1: nothing selected
  };
  for (const Case& c : {Case{"LPT3", 3}, Case{"LPT", 1}, Case{"LPTx", 1}, Case{"LPT0", -1},
                        Case{"LPT-1", -1}, Case{"LPT 2", 2}, Case{"LPT1234", 123}}) {
    Store(1, c.stored);
    const auto window = OpenWindow();
    EXPECT_EQ(Page(*window).cbbLPTPorts.PortNumber(), c.selected_number) << c.stored;
  }
}

TEST_F(PortPageTest, SwitchingToParallelPortsOnScreenProbesThemEachTime) {
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  page.SetShowing(true);
  EXPECT_FALSE(page.cbbLPTPorts.IsChecking());

  page.cbbPortType.SetItemIndex(1);
  page.cbbPortTypeChange();
  EXPECT_TRUE(page.tsLPT.Visible);
  EXPECT_FALSE(page.tsUSB.Visible);
  repaints.WaitFor(1);
  EXPECT_EQ(page.cbbLPTPorts.DrawItem(0, {})->Fill, kGreenFill);

  page.cbbPortType.SetItemIndex(0);
  page.cbbPortTypeChange();
  EXPECT_FALSE(page.cbbLPTPorts.Showing());
  page.cbbPortType.SetItemIndex(1);
  page.cbbPortTypeChange();
  repaints.WaitFor(2);
  page.cbbLPTPorts.StopCheck();
  EXPECT_EQ(ports.Tried(), (std::vector<std::string>{"LPT1", "LPT1"}));
}

TEST_F(PortPageTest, RereadingTheSettingsDuringAProbeAppendsSafely) {
  machine.parallel_map = {R"(\DosDevices\LPT1)", R"(\DosDevices\LPT2)"};
  Store(1, "LPT1");
  ports.Block("LPT2");
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  page.SetShowing(true);
  ports.WaitUntilTried("LPT2");

  // The settings change under the open window (the full settings list closed with OK) and the
  // pages read them again while the probe waits on LPT2.
  Store(1, "LPT7");
  window->ReadPages();
  ports.Release("LPT2");
  repaints.WaitFor(2);
  page.cbbLPTPorts.StopCheck();

  EXPECT_EQ(page.cbbLPTPorts.PortNumber(), 7);
  const port_chooser::TPortArray entries = page.cbbLPTPorts.PortArray();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].PortState, TPortState::psFree);
  EXPECT_EQ(entries[1].PortState, TPortState::psBusy);
  EXPECT_EQ(entries[2].PortState, TPortState::psUnknown);
}

TEST_F(PortPageTest, ARemoteSessionOffersLpt1ToLpt4) {
  machine.remote_session = true;
  Store(1, "LPT4");
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(page.cbbLPTPorts.Items(), (std::vector<std::string>{"LPT1", "LPT2", "LPT3", "LPT4"}));
  EXPECT_EQ(page.cbbLPTPorts.ItemIndex(), 3);
}

TEST_F(PortPageTest, ClosingTheWindowStopsARunningProbe) {
  machine.remote_session = true;
  Store(1, "LPT1");
  ports.Block("LPT2");
  auto window = OpenWindow();
  Page(*window).SetShowing(true);
  ports.WaitUntilTried("LPT2");
  ports.Release("LPT2");
  window.reset();
  const std::vector<std::string> tried = ports.Tried();
  ASSERT_GE(tried.size(), 2u);
  EXPECT_EQ(tried[1], "LPT2");
}

TEST_F(PortPageTest, TheDriversSettingsDialogShowsThePortPageSecond) {
  std::vector<std::string> tabs;
  std::string port_page_caption;
  ScopedSettingsWindowRunner runner([&](TBaseDevice& device, const TPageClasses& pages) {
    TfrmCommonSettings window(device, pages, ui);
    tabs = window.pcPages.Tabs;
    auto& port_page = dynamic_cast<TfrmPortManagerSettings&>(*window.Pages().at(1));
    port_page.cbbPortType.SetItemIndex(1);
    port_page.cbbPortTypeChange();
    port_page.cbbLPTPorts.SetPortNumber(3);
    window.btnOKClick();
    window.FormClose();
    return window.ModalResult == mrOk;
  });
  PublicCall show = CallPublic(*driver, "ShowSettingsDlg");
  EXPECT_TRUE(show.result.ToBool()) << show.Message();
  EXPECT_EQ(tabs, (std::vector<std::string>{"Принтер", "Интерфейс", "Информация"}));
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 1);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "LPT3");
}

}  // namespace
}  // namespace pirell
