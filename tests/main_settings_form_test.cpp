// The printer page: its lists from the printer registry, reading and saving the printer
// settings, and initialising the printer with the values on the page.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/locale.h"
#include "rendering/printer_registry.h"
#include "settings_ui/common_settings_form.h"
#include "settings_ui/main_settings_form.h"
#include "support/settings_ui_fixture.h"

namespace pirell {
namespace {

class PrinterPageTest : public testing::SettingsUiTest {
 protected:
  TfrmMainSettings& Open() {
    window = std::make_unique<TfrmCommonSettings>(
        *driver, TPageClasses{PageClassOf<TfrmMainSettings>()}, ui);
    return static_cast<TfrmMainSettings&>(*window->Pages().at(0));
  }
  std::int32_t Setting(const char* id) const { return driver->GetSettingValueInt(id); }

  std::unique_ptr<TfrmCommonSettings> window;
};

TEST_F(PrinterPageTest, ListsTheRegisteredPrinterAndItsSpeedsAndDarkness) {
  platform::ScopedUserLocale locale{platform::LocaleFormat{}};
  TfrmMainSettings& page = Open();
  EXPECT_EQ(page.Caption, "Принтер");
  // Every registered type, EPL2 first: the ZPL II and TSPL types come after it.
  EXPECT_EQ(page.cbbPrinterType.Items,
            (std::vector<std::string>{"ZEBRA (EPL2 lang.)", "ZPL II", "TSPL"}));
  EXPECT_EQ(page.cbbPrinterType.ItemIndex, 0);
  EXPECT_EQ(page.cbbPrinterModel.Items, (std::vector<std::string>{"2824, 2844", "EPL2, 300 dpi"}));
  EXPECT_EQ(page.cbbPrinterModel.ItemIndex, 0);
  EXPECT_EQ(page.cbbPrintSpeed.Items,
            (std::vector<std::string>{"1.50 IPS", "2.00 IPS", "2.50 IPS", "3.50 IPS"}));
  ASSERT_EQ(page.cbbDarkness.Count(), 16);
  EXPECT_EQ(page.cbbDarkness.Caption, "Насыщенность (0–15):");
  EXPECT_EQ(page.cbbDarkness.Items.front(), "0");
  EXPECT_EQ(page.cbbDarkness.Items.back(), "15");
  EXPECT_EQ(page.cbbPrintMode.Items, (std::vector<std::string>{"Термопечать", "Термотрансферный"}));
}

TEST_F(PrinterPageTest, SpeedsUseTheUsersDecimalSeparator) {
  platform::LocaleFormat comma;
  comma.decimal_separator = ",";
  platform::ScopedUserLocale locale(comma);
  TfrmMainSettings& page = Open();
  EXPECT_EQ(page.cbbPrintSpeed.Items.front(), "1,50 IPS");
  EXPECT_EQ(page.cbbPrintSpeed.Items.back(), "3,50 IPS");
}

TEST_F(PrinterPageTest, DefaultsAreShownAndSavedBackUnchanged) {
  TfrmMainSettings& page = Open();
  EXPECT_EQ(page.cbbPrintSpeed.SelectedText().substr(0, 1), "3");
  EXPECT_EQ(page.cbbPrintSpeed.ItemIndex, 3);
  EXPECT_EQ(page.cbbDarkness.Text, "7");
  EXPECT_EQ(page.cbbPrintMode.ItemIndex, 0);
  EXPECT_EQ(page.edtPrintWidth.Text, "58");
  EXPECT_EQ(page.edtPrintHeight.Text, "40");
  EXPECT_EQ(page.edtPrintGap.Text, "2");

  window->btnOKClick();
  window->FormClose();
  EXPECT_EQ(Setting("PrintSpeed"), 4);
  EXPECT_EQ(Setting("PrintDarkness"), 7);
  EXPECT_EQ(Setting("PrintWidth"), 58);
  EXPECT_EQ(Setting("PrinterModel"), 0);
  // Every value the page writes is an integer.
  EXPECT_EQ(driver->GetSettingValue("PrintGap").BaseType(), varInteger);
  EXPECT_EQ(driver->GetSettingValue("PrinterType").BaseType(), varInteger);
}

TEST_F(PrinterPageTest, SavedSpeedIsThePrintersCodeNotThePosition) {
  TfrmMainSettings& page = Open();
  page.cbbPrintSpeed.SetItemIndex(1);  // 2.00 IPS
  page.cbbPrintMode.SetItemIndex(1);
  page.OnSaveSettings();
  EXPECT_EQ(Setting("PrintSpeed"), 2);
  EXPECT_EQ(Setting("PrintMode"), 1);

  // Read back, the code selects its entry again.
  page.OnReadSettings();
  EXPECT_EQ(page.cbbPrintSpeed.ItemIndex, 1);
  EXPECT_EQ(page.cbbPrintMode.ItemIndex, 1);
}

TEST_F(PrinterPageTest, TheModelIsSavedAndReadByItsPositionInTheRegistry) {
  TfrmMainSettings& page = Open();
  // Every model of every type: choosing it saves its registry position and its type's.
  for (std::size_t position = 0; position < PrinterModels().size(); ++position) {
    const TPrinterModel& model = PrinterModels()[position];
    SCOPED_TRACE(model.Name);
    int type = 0;
    while (&PrinterTypes()[static_cast<std::size_t>(type)] != model.PrinterType) ++type;
    page.cbbPrinterType.SetItemIndex(type);
    page.cbbPrinterTypeChange();
    const auto item =
        std::find(page.cbbPrinterModel.Items.begin(), page.cbbPrinterModel.Items.end(), model.Name);
    ASSERT_NE(item, page.cbbPrinterModel.Items.end());
    page.cbbPrinterModel.SetItemIndex(static_cast<int>(item - page.cbbPrinterModel.Items.begin()));
    page.cbbPrinterModelChange();
    page.OnSaveSettings();
    EXPECT_EQ(Setting("PrinterModel"), static_cast<int>(position));
    EXPECT_EQ(Setting("PrinterType"), type);
    EXPECT_EQ(page.cbbDarkness.Count(), model.ModelProps.MaxDarkness + 1);
    // Read back with a "PrinterType" that does not match, the model shows under its own type.
    driver->SetSettingValue("PrinterType", Variant::Integer(0));
    page.OnReadSettings();
    EXPECT_EQ(page.cbbPrinterType.ItemIndex, type);
    EXPECT_EQ(page.cbbPrinterModel.SelectedText(), model.Name);
  }
}

TEST_F(PrinterPageTest, StoredValuesOutsideTheListsSelectSensibleItems) {
  driver->SetSettingValue("PrinterType", Variant::Integer(5));
  driver->SetSettingValue("PrintSpeed", Variant::Integer(9));
  driver->SetSettingValue("PrintMode", Variant::Integer(7));
  TfrmMainSettings& page = Open();
  EXPECT_EQ(page.cbbPrinterType.ItemIndex, 0);
  EXPECT_EQ(page.cbbPrintSpeed.ItemIndex, 3);  // an unknown code: the last speed
  EXPECT_EQ(page.cbbPrintMode.ItemIndex, 1);

  driver->SetSettingValue("PrinterType", Variant::Integer(-1));
  driver->SetSettingValue("PrinterModel", Variant::Integer(99));
  page.OnReadSettings();
  EXPECT_EQ(page.cbbPrinterType.ItemIndex, 0);
  EXPECT_EQ(page.cbbPrinterModel.ItemIndex, 0);
}

TEST_F(PrinterPageTest, NoModelLeavesTheModelListsEmptyAndSavesMinusOne) {
  driver->SetSettingValue("PrinterModel", Variant::Integer(-1));
  TfrmMainSettings& page = Open();
  EXPECT_EQ(page.cbbPrinterModel.ItemIndex, -1);
  EXPECT_EQ(page.cbbPrintSpeed.Count(), 0);
  EXPECT_EQ(page.cbbDarkness.Count(), 0);
  page.OnSaveSettings();
  EXPECT_EQ(Setting("PrinterModel"), -1);
  EXPECT_EQ(Setting("PrintSpeed"), -1);

  // Choosing the model again brings its lists back with the model's default darkness.
  page.cbbPrinterModel.SetItemIndex(0);
  page.cbbPrinterModelChange();
  EXPECT_EQ(page.cbbPrintSpeed.Count(), 4);
  EXPECT_EQ(page.cbbPrintSpeed.ItemIndex, 3);
  EXPECT_EQ(page.cbbDarkness.Text, "7");
}

TEST_F(PrinterPageTest, TextsThatAreNotNumbersSaveTheFallbacks) {
  TfrmMainSettings& page = Open();
  page.edtPrintWidth.Text = "широко";
  page.edtPrintHeight.Text = "4x";
  page.edtPrintGap.Text = "";
  page.cbbDarkness.Text = "";
  page.OnSaveSettings();
  EXPECT_EQ(Setting("PrintWidth"), 58);
  EXPECT_EQ(Setting("PrintHeight"), 40);
  EXPECT_EQ(Setting("PrintGap"), 0);
  EXPECT_EQ(Setting("PrintDarkness"), 7);

  page.edtPrintWidth.Text = "99999999999";  // beyond 32 bits
  page.cbbDarkness.Text = "30";             // beyond the model's maximum: kept as typed
  page.OnSaveSettings();
  EXPECT_EQ(Setting("PrintWidth"), 58);
  EXPECT_EQ(Setting("PrintDarkness"), 30);
}

TEST_F(PrinterPageTest, StoredTextThatIsNotANumberStillOpensThePage) {
  driver->SetSettingValue("PrintWidth", Variant("широко"));
  TfrmMainSettings& page = Open();
  EXPECT_EQ(page.edtPrintWidth.Text, "58");
}

TEST_F(PrinterPageTest, InitialisingADisconnectedPrinterShowsTheCodesText) {
  device_io.open_error = 2;
  TfrmMainSettings& page = Open();
  const auto before = TableValues();
  page.edtPrintGap.Text = "5";
  page.btnInitializeClick();
  ASSERT_EQ(ui.errors.size(), 1u);
  std::string description;
  const ResultCode code = driver->Enable(description);
  ASSERT_NE(code, rc::Ok);
  EXPECT_EQ(ui.errors[0], driver->GetDriverResultDescription(code));
  EXPECT_TRUE(ui.informations.empty());
  driver->Disable();
  EXPECT_EQ(TableValues(), before);
  EXPECT_EQ(ui.wait_cursor_at_call.back(), 0);
}

TEST_F(PrinterPageTest, InitialisingUsesThePageWithoutCommittingIt) {
  TfrmMainSettings& page = Open();
  const auto before = TableValues();
  page.cbbPrintSpeed.SetItemIndex(0);
  page.btnInitializeClick();
  EXPECT_EQ(ui.informations, std::vector<std::string>{"Нет ошибок"});
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_NE(device_io.received.find("I8,C,001"), std::string::npos) << device_io.received;
  EXPECT_FALSE(driver->Enabled());
  EXPECT_EQ(TableValues(), before);
  EXPECT_EQ(ui.wait_cursor_depth, 0);
}

}  // namespace
}  // namespace pirell
