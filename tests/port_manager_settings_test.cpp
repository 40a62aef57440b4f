// The port page: port type and port chosen from the settings, shown, probed and saved, for each
// port type; the syntax of serial and network port names.

#include "settings_ui/port_manager_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
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
    machine.serial_map = {"COM1", "COM3"};
    machine.print_queues = {{"Labels", "Склад, 2 этаж", true}, {"Office", "", false}};
    machine.usb_printers = {
        {kZebraPath, "Port_#0001.Hub_#0004", "Zebra LP2844", true},
        {kDisabledPath, "Port_#0002.Hub_#0004", "TSC TTP-244 Plus", false},
    };
    ports.SetFree({"LPT1", "COM3"});
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
  // OK is refused: the window stays open, the user is told why and the table keeps its port.
  void ExpectOkRefused(TfrmCommonSettings& window, const std::string& reason_part) {
    const std::vector<std::string> before = TableValues();
    const std::size_t errors = ui.errors.size();
    window.btnOKClick();
    window.FormClose();
    EXPECT_EQ(window.ModalResult, mrNone);
    ASSERT_EQ(ui.errors.size(), errors + 1);
    EXPECT_NE(ui.errors.back().find(reason_part), std::string::npos) << ui.errors.back();
    EXPECT_EQ(TableValues(), before);
  }
  static void ChooseType(TfrmPortManagerSettings& page, int item) {
    page.cbbPortType.SetItemIndex(item);
    page.cbbPortTypeChange();
  }

  FakePortDiscovery machine;
  FakePortOpener ports;
  RepaintCounter repaints;
};

TEST_F(PortPageTest, OffersEveryPortType) {
  Store(0, kZebraPath);
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(window->pcPages.Tabs, (std::vector<std::string>{"Интерфейс", "Информация"}));
  EXPECT_EQ(page.cbbPortType.Caption, "Тип порта:");
  EXPECT_EQ(page.cbbPortType.Items,
            (std::vector<std::string>{"USB порт", "LPT порт", "COM порт", "Сеть (TCP/IP)", "Файл",
                                      "Очередь печати"}));
  EXPECT_EQ(page.pgcSettings.Tabs,
            (std::vector<std::string>{"Порт:", "Порт:", "Порт:", "Адрес:", "Файл:", "Очередь:"}));
  EXPECT_EQ(page.edtLineSettings.Caption, "Параметры:");
  EXPECT_EQ(page.cbbUSBPrinters.PortType(), TPortType::ptUSB);
  EXPECT_FALSE(page.cbbUSBPrinters.CheckPortsOnCreate());
  EXPECT_EQ(page.cbbLPTPorts.PortType(), TPortType::ptLPT);
  EXPECT_TRUE(page.cbbLPTPorts.CheckPortsOnCreate());
  EXPECT_EQ(page.cbbUSBPrinters.ItemCount(), 2);
  EXPECT_EQ(page.cbbLPTPorts.Items(), std::vector<std::string>{"LPT1"});
  EXPECT_EQ(page.cbbCOMPorts.Items(), (std::vector<std::string>{"COM1", "COM3"}));
  EXPECT_EQ(page.cbbPrintQueues.Items(), (std::vector<std::string>{"Labels", "Office"}));
  // One sheet at a time, with the controls on it.
  for (int item = TfrmPortManagerSettings::kUsbItem; item <= TfrmPortManagerSettings::kQueueItem;
       ++item) {
    ChooseType(page, item);
    EXPECT_EQ(page.pgcSettings.TabIndex, item);
    const std::vector<bool> sheets = {page.tsUSB.Visible,  page.tsLPT.Visible,
                                      page.tsCOM.Visible,  page.tsIP.Visible,
                                      page.tsFile.Visible, page.tsQueue.Visible};
    EXPECT_EQ(std::count(sheets.begin(), sheets.end(), true), 1) << item;
    EXPECT_TRUE(sheets[static_cast<std::size_t>(item)]) << item;
  }
  ChooseType(page, TfrmPortManagerSettings::kFileItem);
  EXPECT_TRUE(page.edtFilePath.Visible && page.btnBrowse.Visible && !page.edtLineSettings.Visible);
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
  for (const int stored : {6, 100, -1}) {
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

TEST_F(PortPageTest, ASerialPortIsProbedAndItsLineSettingsAreSavedAsTyped) {
  Store(2, "COM3:19200,e,7,1,X");
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  Page(*window).cbbCOMPorts.SetOnRepaint([this] { repaints(); });
  EXPECT_TRUE(page.tsCOM.Visible);
  EXPECT_TRUE(page.edtLineSettings.Visible);
  EXPECT_EQ(page.cbbCOMPorts.PortNumber(), 3);
  EXPECT_EQ(page.edtLineSettings.Text, "19200,e,7,1,X");
  page.SetShowing(true);
  repaints.WaitFor(2);
  page.cbbCOMPorts.StopCheck();
  EXPECT_EQ(page.cbbCOMPorts.DrawItem(0, {})->Fill, kRedFill);    // COM1 held
  EXPECT_EQ(page.cbbCOMPorts.DrawItem(1, {})->Fill, kGreenFill);  // COM3 free
  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "COM3:19200,e,7,1,X");

  // No line settings: the bare port, which opens with 9600,N,8,1.
  Store(2, "COM1");
  const auto second = OpenWindow();
  EXPECT_EQ(Page(*second).edtLineSettings.Text, "");
  Page(*second).cbbCOMPorts.SetItemIndex(1);
  CloseWithOk(*second);
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 2);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "COM3");
}

TEST_F(PortPageTest, ASerialPortWithoutANumberOrWithBadLineSettingsIsNotSaved) {
  Store(2, "/dev/ttyUSB0:9600");
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(page.cbbCOMPorts.ItemIndex(), -1);
  EXPECT_EQ(page.edtLineSettings.Text, "9600");
  ExpectOkRefused(*window, "Не выбран COM порт");

  page.cbbCOMPorts.SetPortNumber(7);
  for (const char* bad : {"9601,N,8,1", "9600,N,9", "9600,N,8,1,R", " 9600", "9600,N,8,1,N,1"}) {
    page.edtLineSettings.Text = bad;
    ExpectOkRefused(*window, std::string("Неверные параметры порта «") + bad + "»");
  }
  page.edtLineSettings.Text = "4800,o,8,2,n";
  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "COM7:4800,o,8,2,n");
}

TEST_F(PortPageTest, ANetworkPrintersAddressIsCheckedAndSavedAsTyped) {
  Store(3, "[fe80::1]:9101");
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_TRUE(page.tsIP.Visible && page.edtAddress.Visible);
  EXPECT_EQ(page.edtAddress.Text, "[fe80::1]:9101");
  for (const char* bad : {"", "printer:0", "printer:70000", "[fe80::1", "my printer", "[]:9100"}) {
    page.edtAddress.Text = bad;
    ExpectOkRefused(*window, std::string("Неверный адрес принтера «") + bad + "»");
  }
  page.edtAddress.Text = "printer.local";
  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueInt("PortType"), 3);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "printer.local");

  // Read again as another type (a reset to the defaults): nothing of the address stays.
  Store(0, kZebraPath);
  window->ReadPages();
  EXPECT_EQ(page.edtAddress.Text, "");
  EXPECT_FALSE(page.edtAddress.Visible);
}

TEST_F(PortPageTest, AFileIsTypedOrChosenInTheFileDialog) {
#ifdef _WIN32
  const std::string stored = R"(C:\Labels\out.prn)";
  const std::string chosen = R"(\\server\share\labels.prn)";
#else
  const std::string stored = "/srv/labels/out.prn";
  const std::string chosen = "/home/shop/labels.prn";
#endif
  Store(4, stored);
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_EQ(page.edtFilePath.Text, stored);
  page.btnBrowseClick();  // cancelled
  EXPECT_EQ(page.edtFilePath.Text, stored);
  ui.output_file = chosen;
  page.btnBrowseClick();
  EXPECT_EQ(ui.file_dialogs, (std::vector<std::string>{stored, stored}));
  EXPECT_EQ(page.edtFilePath.Text, chosen);
  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), chosen);

  // A relative path would land wherever the host program runs.
  for (const char* bad : {"", "labels.prn", "jobs/labels.prn"}) {
    page.edtFilePath.Text = bad;
    ExpectOkRefused(*window, "Нужен полный путь к файлу");
  }
}

TEST_F(PortPageTest, PrintQueuesComeFromThePrintServerAndAStoredOneIsKept) {
  Store(5, "Office");
  const auto window = OpenWindow();
  TfrmPortManagerSettings& page = Page(*window);
  EXPECT_TRUE(page.tsQueue.Visible);
  EXPECT_EQ(page.cbbPrintQueues.ItemIndex(), 1);
  EXPECT_EQ(page.cbbPrintQueues.DrawItem(0, {})->Text, "Labels (Склад, 2 этаж) — по умолчанию");
  EXPECT_EQ(page.cbbPrintQueues.DrawItem(1, {})->Text, "Office");
  EXPECT_EQ(page.cbbPrintQueues.DrawItem(1, {})->Fill, kGreenFill);
  EXPECT_EQ(page.cbbPrintQueues.PortNumber(), -1);
  page.SetShowing(true);
  EXPECT_FALSE(page.cbbPrintQueues.IsChecking());
  EXPECT_TRUE(ports.Tried().empty());
  page.cbbPrintQueues.SetItemIndex(0);
  CloseWithOk(*window);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "Labels");

  // A queue the server does not list (another server's, or gone) is shown grey and kept.
  Store(5, "Labels@printserver");
  const auto second = OpenWindow();
  TfrmPortManagerSettings& kept = Page(*second);
  ASSERT_EQ(kept.cbbPrintQueues.ItemCount(), 3);
  EXPECT_EQ(kept.cbbPrintQueues.ItemIndex(), 2);
  EXPECT_EQ(kept.cbbPrintQueues.DrawItem(2, {})->Text, "Labels@printserver");
  EXPECT_EQ(kept.cbbPrintQueues.DrawItem(2, {})->Fill, kGreyFill);
  CloseWithOk(*second);
  EXPECT_EQ(driver->GetSettingValueStr("PortName"), "Labels@printserver");

  // Read again after a reset to the defaults: the queue is no longer chosen.
  Store(0, "");
  second->ReadPages();
  EXPECT_EQ(kept.cbbPrintQueues.ItemIndex(), -1);
  EXPECT_EQ(kept.cbbUSBPrinters.ItemIndex(), -1);

  // No print server: nothing to choose, and OK says so.
  machine.print_queues.clear();
  Store(5, "");
  const auto third = OpenWindow();
  EXPECT_EQ(Page(*third).cbbPrintQueues.ItemCount(), 0);
  ExpectOkRefused(*third, "Не выбрана очередь печати");
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
