// The settings window: hosting pages, reading and saving them, closing with OK or Cancel, the
// additional functions (reset, device test, settings list, actions) and the help popups.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "driver_object/device_info.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "settings_ui/common_settings_form.h"
#include "settings_ui/main_settings_form.h"
#include "settings_ui/settings_list_form.h"
#include "support/settings_ui_fixture.h"
#include "support/test_device.h"

namespace pirell {
namespace {

// A page that logs its contract calls as "name:call" and writes "PrintGap" when it saves.
class RecordingPage : public TfrmBaseSettings {
 public:
  RecordingPage(TfrmCommonSettings& owner, TBaseDevice& device, std::vector<std::string>* log,
                std::string name, bool veto, int width, int height)
      : TfrmBaseSettings(owner, device), log_(log), name_(std::move(name)), veto_(veto) {
    Caption = name_;
    ClientWidth = width;
    ClientHeight = height;
  }
  void OnCreateFrm() override {
    TfrmBaseSettings::OnCreateFrm();
    Log("create");
  }
  void OnReadSettings() override {
    TfrmBaseSettings::OnReadSettings();
    Log("read");
    gap = FDeviceManager.GetSettingValueInt("PrintGap");
  }
  void OnSaveSettings(bool& allow_close) override {
    TfrmBaseSettings::OnSaveSettings(allow_close);
    Log("may save");
    if (veto_) allow_close = false;
  }
  void OnSaveSettings() override {
    TfrmBaseSettings::OnSaveSettings();
    Log("save");
    FDeviceManager.SetSettingValue("PrintGap", Variant::Integer(gap));
  }
  void OnNotify(const std::string& msg, const std::string& data) override {
    TfrmBaseSettings::OnNotify(msg, data);
    Log("notify " + msg + " " + data);
  }

  int gap = 0;

 private:
  void Log(const std::string& call) { log_->push_back(name_ + ":" + call); }
  std::vector<std::string>* log_;
  std::string name_;
  bool veto_;
};

class SettingsWindowTest : public testing::SettingsUiTest {
 protected:
  TPageClass Recording(const std::string& name, bool veto = false, int width = 100,
                       int height = 100) {
    return [this, name, veto, width, height](TfrmCommonSettings& owner, TBaseDevice& device) {
      return TfrmBaseSettings::Create<RecordingPage>(owner, device, &log, name, veto, width,
                                                     height);
    };
  }
  RecordingPage& Page(TfrmCommonSettings& window, std::size_t i) {
    return static_cast<RecordingPage&>(*window.Pages().at(i));
  }
  std::vector<std::string> log;
};

TEST_F(SettingsWindowTest, WindowWithoutPagesShowsOnlyTheInformationTab) {
  TfrmCommonSettings window(*driver, {}, ui);
  EXPECT_EQ(window.Caption, "Настройки");
  EXPECT_EQ(window.pcPages.Tabs, std::vector<std::string>{"Информация"});
  EXPECT_EQ(window.pcPages.TabIndex, 0);
  EXPECT_FALSE(window.miReset.Visible);
  EXPECT_FALSE(window.miReset.Enabled);
  EXPECT_TRUE(window.miDeviceTest.Visible);
  EXPECT_TRUE(window.ActionItems.empty());
}

TEST_F(SettingsWindowTest, PagesGetATabEachBeforeTheInformationTab) {
  TfrmCommonSettings window(*driver, {PageClassOf<TfrmMainSettings>(), Recording("Интерфейс")}, ui);
  EXPECT_EQ(window.pcPages.Tabs, (std::vector<std::string>{"Принтер", "Интерфейс", "Информация"}));
  EXPECT_EQ(window.pcPages.TabIndex, 0);
  EXPECT_TRUE(window.miReset.Visible);
  EXPECT_EQ(window.Pages().at(1)->OwnerFrm(), &window);
  // Each page was made, then all were read once.
  EXPECT_EQ(log, (std::vector<std::string>{"Интерфейс:create", "Интерфейс:read"}));

  const TDeviceInfoStruct& info = driver->DeviceInfo();
  EXPECT_EQ(window.lbModelName.Caption, info.ModelName);
  EXPECT_EQ(window.lbDiverVersion.Caption, info.GetVersion());
  ASSERT_EQ(window.InfoRows.size(), 6u);
  EXPECT_EQ(window.InfoRows[0].Caption, "Тип:");
  EXPECT_EQ(window.InfoRows[0].Value, EquipmentTypeDisplayName("LabelPrinter"));
  EXPECT_EQ(window.InfoRows[4].Value, "Драйвер принтеров этикеток (прямая печать в порт)");
  EXPECT_EQ(window.InfoRows[5].Caption, "Контактная информация:");
  EXPECT_EQ(window.InfoRows[5].Value, info.GetContactinfo());
  EXPECT_EQ(window.pcPages.Hint, "Настройка параметров и подробная информация о драйвере");
}

TEST_F(SettingsWindowTest, WindowGrowsToItsLargestPageAndNeverShrinks) {
  ui.metrics = {2, 3, 20};
  TfrmCommonSettings window(*driver,
                            {Recording("A", false, 600, 500), Recording("B", false, 50, 50)}, ui);
  EXPECT_EQ(window.ClientWidth, 600 + 2 * 2 + 2 * 3);
  EXPECT_EQ(window.ClientHeight, 500 + 36 + 53 + 20 + 2 * 3);

  TfrmCommonSettings small(*driver, {Recording("C", false, 10, 10)}, ui);
  EXPECT_GE(small.ClientWidth, TfrmCommonSettings::kMinWidth - 16);
}

TEST_F(SettingsWindowTest, AddingPagesLaterReadsThemAndKeepsInformationLast) {
  TfrmCommonSettings window(*driver, {}, ui);
  window.AddPages({Recording("A"), Recording("B")});
  EXPECT_EQ(window.pcPages.Tabs, (std::vector<std::string>{"A", "B", "Информация"}));
  EXPECT_EQ(window.pcPages.TabIndex, 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "B:read"), 1);

  window.Pages().at(0)->NotifyOwner("port", "LPT1");
  EXPECT_EQ(log.back(), "B:notify port LPT1");
  EXPECT_EQ(log.at(log.size() - 2), "A:notify port LPT1");
}

TEST_F(SettingsWindowTest, OkSavesEveryPageOnceInOrderAndCloses) {
  TfrmCommonSettings window(*driver, {Recording("A"), Recording("B")}, ui);
  log.clear();
  Page(window, 1).gap = 11;
  window.btnOKClick();
  window.FormClose();
  EXPECT_EQ(window.ModalResult, mrOk);
  EXPECT_EQ(log, (std::vector<std::string>{"A:may save", "A:save", "B:may save", "B:save"}));
  EXPECT_EQ(driver->GetSettingValueInt("PrintGap"), 11);
}

TEST_F(SettingsWindowTest, VetoKeepsTheWindowOpenAndStopsSaving) {
  TfrmCommonSettings window(*driver, {Recording("A"), Recording("B", true), Recording("C")}, ui);
  log.clear();
  window.btnOKClick();
  window.FormClose();
  EXPECT_EQ(window.ModalResult, mrNone);
  EXPECT_EQ(log, (std::vector<std::string>{"A:may save", "A:save", "B:may save"}));
}

TEST_F(SettingsWindowTest, ResetThenCancelKeepsTheDefaults) {
  driver->SetSettingValue("PrintGap", Variant::Integer(9));
  TfrmCommonSettings window(*driver, {Recording("A")}, ui);
  EXPECT_EQ(Page(window, 0).gap, 9);
  window.miReset.OnClick();
  EXPECT_EQ(Page(window, 0).gap, 2);  // the page was read again
  window.btnCancelClick();
  window.FormClose();
  EXPECT_EQ(driver->GetSettingValueInt("PrintGap"), 2);
}

TEST_F(SettingsWindowTest, SettingsListOkThenCancelBringsBackTheValuesFromBefore) {
  const auto before = TableValues();
  ui.settings_list = [](TBaseDevice& device) {
    TfrmSettingsList list(device);
    list.btnDefaultClick();
    device.SetSettingValue("PrintGap", Variant::Integer(6));
    list.btnOKClick();
    return list.ModalResult == mrOk;
  };
  driver->SetSettingValue("DefaultTimeOut", Variant::Integer(33));
  const auto before_list = TableValues();
  TfrmCommonSettings window(*driver, {Recording("A")}, ui);
  window.miSettingsList.OnClick();
  EXPECT_EQ(ui.settings_list_calls, 1);
  EXPECT_EQ(Page(window, 0).gap, 6);  // pages read what the list left
  EXPECT_EQ(driver->GetSettingValueInt("DefaultTimeOut"), 120);

  window.btnCancelClick();
  window.FormClose();
  EXPECT_EQ(TableValues(), before_list);
  EXPECT_NE(TableValues(), before);
}

TEST_F(SettingsWindowTest, SettingsListCancelRestoresAtOnce) {
  ui.settings_list = [](TBaseDevice& device) {
    device.SetSettingValue("PrintGap", Variant::Integer(6));
    return false;
  };
  const auto before = TableValues();
  TfrmCommonSettings window(*driver, {Recording("A")}, ui);
  log.clear();
  window.miSettingsListClick();
  EXPECT_EQ(TableValues(), before);
  EXPECT_TRUE(log.empty());  // pages are not read again
}

TEST_F(SettingsWindowTest, OkAfterTheSettingsListKeepsTheSavedValuesForLaterWindows) {
  ui.settings_list = [](TBaseDevice& device) {
    device.SetSettingValue("DefaultTimeOut", Variant::Integer(44));
    return true;
  };
  {
    TfrmCommonSettings window(*driver, {Recording("A")}, ui);
    window.miSettingsListClick();
    window.btnOKClick();
    window.FormClose();
  }
  // A later window closed with Cancel must not bring back values from before the first one.
  TfrmCommonSettings second(*driver, {Recording("A")}, ui);
  second.btnCancelClick();
  second.FormClose();
  EXPECT_EQ(driver->GetSettingValueInt("DefaultTimeOut"), 44);
}

TEST_F(SettingsWindowTest, DeviceTestLeavesTheTableAsBeforeAndTheDeviceDisabled) {
  const auto before = TableValues();
  TfrmCommonSettings window(*driver, {PageClassOf<TfrmMainSettings>()}, ui);
  auto& printer = static_cast<TfrmMainSettings&>(*window.Pages().at(0));
  printer.edtPrintGap.Text = "4";
  window.miDeviceTest.OnClick();
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_NE(device_io.received.find("U\n"), std::string::npos);  // the printer's test command
  EXPECT_FALSE(driver->Enabled());
  EXPECT_EQ(TableValues(), before);
  EXPECT_EQ(ui.wait_cursor_depth, 0);
  EXPECT_EQ(ui.wait_cursor_max_depth, 1);
}

TEST_F(SettingsWindowTest, FailedDeviceTestShowsWhyAndLeavesTheTableAsBefore) {
  device_io.open_error = 2;
  const auto before = TableValues();
  TfrmCommonSettings window(*driver, {PageClassOf<TfrmMainSettings>()}, ui);
  window.miDeviceTestClick();
  ASSERT_EQ(ui.errors.size(), 1u);
  std::string description;
  EXPECT_NE(driver->Enable(description), 0);
  EXPECT_EQ(ui.errors[0], description);
  driver->Disable();
  EXPECT_FALSE(driver->Enabled());
  EXPECT_EQ(TableValues(), before);
  EXPECT_EQ(ui.wait_cursor_at_call.back(), 0);  // the box comes after the normal cursor
}

TEST_F(SettingsWindowTest, DeviceTestWithAVetoingPageDoesNotEnableTheDevice) {
  const auto before = TableValues();
  TfrmCommonSettings window(*driver, {Recording("A", true)}, ui);
  window.miDeviceTestClick();
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Не удалось записать текущие настройки"});
  EXPECT_TRUE(device_io.events.empty());
  EXPECT_EQ(TableValues(), before);
}

TEST_F(SettingsWindowTest, DeviceTestKeepsTheSettingsListSnapshotForCancel) {
  ui.settings_list = [](TBaseDevice& device) {
    device.SetSettingValue("DefaultTimeOut", Variant::Integer(44));
    return true;
  };
  TfrmCommonSettings window(*driver, {Recording("A")}, ui);
  window.miSettingsListClick();
  window.miDeviceTestClick();
  EXPECT_EQ(driver->GetSettingValueInt("DefaultTimeOut"), 44);
  window.btnCancelClick();
  window.FormClose();
  EXPECT_EQ(driver->GetSettingValueInt("DefaultTimeOut"), 120);
}

TEST_F(SettingsWindowTest, HelpPopupsShowTheFixedTextsAtThePopupPosition) {
  TfrmCommonSettings window(*driver, {}, ui);
  // x = -5, y = 20 packed as two signed 16-bit words.
  EXPECT_TRUE(window.FormHelp(HELP_SETPOPUP_POS, (20u << 16) | 0xFFFBu));
  EXPECT_TRUE(window.FormHelp(HELP_CONTEXTPOPUP, window.btnOK.HelpContext));
  ASSERT_EQ(ui.popups.size(), 1u);
  EXPECT_EQ(ui.popups[0].text, "Сохранить настройки и закрыть окно");
  EXPECT_EQ(ui.popups[0].pos, (TPoint{-5, 20}));

  window.FormHelp(HELP_CONTEXTPOPUP, window.btnCancel.HelpContext);
  EXPECT_EQ(ui.popups.back().text, "Закрыть окно без сохранения настроек");
  window.FormHelp(HELP_CONTEXTPOPUP, window.btnSetDefault.HelpContext);
  EXPECT_EQ(ui.popups.back().text,
            "Дополнительные функции: \r\n - Установка параметров в значегие по умолчанию\r\n"
            " - Тест работоспособности устройства\r\n - Отображение полного списка настроек\r\n"
            " - Справка");
  EXPECT_EQ(TfrmCommonSettings::GetHelpByID(1003),
            "Настройка параметров и подробная информация о драйвере");

  // Unknown contexts, contexts of the help file without one, 0 and other commands: nothing.
  const auto shown = ui.popups.size();
  window.FormHelp(HELP_CONTEXTPOPUP, 1004);
  window.FormHelp(HELP_CONTEXTPOPUP, 12);
  window.FormHelp(HELP_CONTEXTPOPUP, 0);
  EXPECT_TRUE(window.FormHelp(1, 1001));
  EXPECT_EQ(ui.popups.size(), shown);
}

TEST_F(SettingsWindowTest, PageAreaHelpShowsTheHintOfTheControlAtItsCorner) {
  TfrmCommonSettings window(*driver, {}, ui);
  ui.control_hint = "Сохранить и закрыть";
  ui.control_pos = {300, 410};
  window.FormHelp(HELP_CONTEXTPOPUP, window.pcPages.HelpContext);
  ASSERT_EQ(ui.popups.size(), 1u);
  EXPECT_EQ(ui.popups[0].text, "Сохранить и закрыть");
  EXPECT_EQ(ui.popups[0].pos, (TPoint{300, 410}));

  ui.control_hint.reset();
  TPoint pos{1, 1};
  ui.mouse_pos = {7, 8};
  EXPECT_EQ(window.GetControlHintByPos(pos), "");
  EXPECT_EQ(pos, (TPoint{7, 8}));
  window.FormHelp(HELP_CONTEXTPOPUP, 10000);
  EXPECT_EQ(ui.popups.size(), 1u);
}

TEST_F(SettingsWindowTest, HelpFileBesideTheModuleEnablesHelpAndTopicPopups) {
  TfrmCommonSettings without(*driver, {}, ui);
  EXPECT_FALSE(without.HelpEnabled());
  EXPECT_FALSE(without.miHelp.Visible);
  without.miHelpClick();
  EXPECT_TRUE(ui.help_files.empty());

  const std::string help_file = without.HelpFile();
  EXPECT_EQ(help_file, platform::IncludeTrailingPathDelimiter(
                           platform::ExtractFileDir(platform::ModuleFileName())) +
                           "help.chm");
  if (platform::FileExists(help_file)) GTEST_SKIP() << "a help file is already there";
  platform::ReplaceFileAtomically(help_file, "chm");
  struct Remove {
    std::string path;
    ~Remove() { std::remove(path.c_str()); }
  } remove{help_file};

  TfrmCommonSettings with(*driver, {}, ui);
  EXPECT_TRUE(with.miHelp.Visible);
  with.miHelp.OnClick();
  EXPECT_EQ(ui.help_files, std::vector<std::string>{help_file});
  with.FormHelp(HELP_CONTEXTPOPUP, 12);
  ASSERT_EQ(ui.popups.size(), 1u);
  EXPECT_EQ(ui.popups[0].topics_url, help_file + "::/popups.txt");
  EXPECT_EQ(ui.popups[0].topic_id, 12);
}

TEST_F(SettingsWindowTest, LogoOpensTheDevelopersAddressWithTheHourglass) {
  TfrmCommonSettings window(*driver, {}, ui);
  window.imgLogoClick();
  EXPECT_EQ(ui.web_addresses, std::vector<std::string>{driver->DeviceInfo().CI_www});
  EXPECT_EQ(ui.wait_cursor_at_call.back(), 1);
  EXPECT_EQ(ui.wait_cursor_depth, 0);
}

// A device that offers two additional actions; the second fails.
class DeviceWithActions : public testing::TTestDevice {
 public:
  void CreateSettings() override {
    TTestDevice::CreateSettings();
    FAdditionalActions = {{"Feed", "Прогон этикетки"}, {"Cut", "Отрезать"}};
  }
  ResultCode RunAdditionalAction(const std::string& id, std::string& description) override {
    ran.push_back(id);
    if (id == "Cut") description = "нож не установлен";
    return id == "Cut" ? rc::NotSupported : rc::Ok;
  }
  std::vector<std::string> ran;
};

TEST_F(SettingsWindowTest, AdditionalActionsFollowTheFixedItems) {
  auto device = CreateObject<DeviceWithActions>();
  TfrmCommonSettings window(*device, {}, ui);
  const auto items = window.mAdditionaly();
  ASSERT_EQ(items.size(), 8u);
  EXPECT_EQ(items[0]->Caption, "Установить значения по-умолчанию");
  EXPECT_EQ(items[2]->Caption, "Показать полный список настроек");
  EXPECT_TRUE(items[3]->IsSeparator());
  EXPECT_EQ(items[4]->Caption, "Справка");
  EXPECT_TRUE(items[5]->IsSeparator());
  EXPECT_EQ(items[6]->Caption, "Прогон этикетки");
  EXPECT_EQ(items[7]->ImageIndex, 1);

  items[6]->OnClick();
  EXPECT_TRUE(ui.errors.empty());
  items[7]->OnClick();
  EXPECT_EQ(ui.errors, std::vector<std::string>{"нож не установлен"});
  window.ActionItemClick(2);
  window.ActionItemClick(-1);
  EXPECT_EQ(device->ran, (std::vector<std::string>{"Feed", "Cut"}));
}

}  // namespace
}  // namespace pirell

namespace pirell {
namespace {

TEST_F(SettingsWindowTest, PageRunsTheDeviceWithItsValuesAndTakesThemBack) {
  TfrmCommonSettings window(*driver, {PageClassOf<TfrmMainSettings>()}, ui);
  auto& page = static_cast<TfrmMainSettings&>(*window.Pages().at(0));
  page.edtPrintGap.Text = "5";
  page.edtPrintWidth.Text = "70";

  // Only the named settings are snapshotted, but the whole page is written.
  ASSERT_EQ(page.EnableDevice(std::vector<std::string>{"PrintGap"}), rc::Ok);
  EXPECT_TRUE(driver->Enabled());
  ASSERT_NE(driver->Device(), nullptr);
  EXPECT_EQ(driver->Device()->PrintParams().Gap, 5);
  EXPECT_EQ(ui.wait_cursor_depth, 1);
  page.DisableDevice();
  EXPECT_FALSE(driver->Enabled());
  EXPECT_EQ(driver->GetSettingValueInt("PrintGap"), 2);
  EXPECT_EQ(driver->GetSettingValueInt("PrintWidth"), 70);
  EXPECT_EQ(ui.wait_cursor_depth, 0);
}

TEST_F(SettingsWindowTest, PageDeviceActionKeepsTheSettingsListSnapshotForCancel) {
  ui.settings_list = [](TBaseDevice& device) {
    device.SetSettingValue("DefaultTimeOut", Variant::Integer(44));
    return true;
  };
  TfrmCommonSettings window(*driver, {PageClassOf<TfrmMainSettings>()}, ui);
  window.miSettingsListClick();
  static_cast<TfrmMainSettings&>(*window.Pages().at(0)).btnInitializeClick();
  EXPECT_EQ(ui.informations, std::vector<std::string>{"Нет ошибок"});
  window.btnCancelClick();
  window.FormClose();
  EXPECT_EQ(driver->GetSettingValueInt("DefaultTimeOut"), 120);
}

}  // namespace
}  // namespace pirell
