// The full settings list: row texts, editing values in place with commit and cancel, resetting
// rows, and where the in-place editor goes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/base_device.h"
#include "platform/locale.h"
#include "settings_ui/settings_list_form.h"
#include "support/settings_ui_fixture.h"
#include "support/test_device.h"

namespace pirell {
namespace {

class SettingsListTest : public testing::SettingsUiTest {
 protected:
  void SetUp() override {
    SettingsUiTest::SetUp();
    list = std::make_unique<TfrmSettingsList>(*driver);
    list->OnRowChanged = [this](int index) { redrawn.push_back(index); };
    list->OnFocus = [this](const TControlModel& control) { focused.push_back(&control); };
  }

  int RowOf(const std::string& id) const {
    for (int i = 0; i < driver->SettingsCount(); ++i)
      if (driver->GetSettingItem(i)->ID == id) return i;
    ADD_FAILURE() << "no row " << id;
    return -1;
  }
  // The user clicks a row: the list selects it, then reports the change.
  void Select(int row) {
    list->lvSettings.ItemIndex = row;
    list->lvSettingsChange(row);
  }
  void Edit(const std::string& id, const std::string& text) {
    Select(RowOf(id));
    list->lvSettingsKeyDown(TKey::F2);
    ASSERT_TRUE(list->Editing());
    list->edEdit.Text = text;
  }
  const Variant& Value(const std::string& id) const { return driver->FindSetting(id)->Value; }

  std::unique_ptr<TfrmSettingsList> list;
  std::vector<int> redrawn;
  std::vector<const TControlModel*> focused;
};

TEST_F(SettingsListTest, ListsEveryRowWithItsValueAndDefault) {
  EXPECT_EQ(list->Caption, "Список настроек");
  EXPECT_EQ(list->lvSettings.RowCount, driver->SettingsCount());
  ASSERT_EQ(list->lvSettings.Columns.size(), 3u);
  EXPECT_EQ(list->lvSettings.Columns[1].Caption, "Значение");
  EXPECT_EQ(list->lvSettings.Columns[2].Width, 90);
  driver->SetSettingValue("PrintWidth", Variant::Integer(72));
  const auto texts = list->RowTexts(RowOf("PrintWidth"));
  EXPECT_EQ(texts[0], "Ширина печати");
  EXPECT_EQ(texts[1], "72");
  EXPECT_EQ(texts[2], "58");
  EXPECT_EQ(list->RowTexts(driver->SettingsCount())[0], "");
  // A value that has no text (an array the host stored) shows empty instead of failing.
  driver->SetSettingValue("PortName", Variant(VariantArray::Vector({Variant(1)})));
  EXPECT_EQ(list->RowTexts(RowOf("PortName"))[1], "");
}

TEST_F(SettingsListTest, NumberTextIsReadInTheUserLocale) {
  platform::LocaleFormat comma;
  comma.decimal_separator = ",";
  platform::ScopedUserLocale locale(comma);

  Edit("PrintWidth", "12,5");
  list->EditorKeyDown(TKey::Enter);
  EXPECT_FALSE(list->Editing());
  EXPECT_EQ(Value("PrintWidth").BaseType(), varDouble);
  EXPECT_DOUBLE_EQ(Value("PrintWidth").ToDouble(), 12.5);
  EXPECT_EQ(redrawn.back(), RowOf("PrintWidth"));
  EXPECT_EQ(focused.back(), &list->lvSettings);

  Edit("PrintHeight", "abc");
  list->EditorExit();
  EXPECT_DOUBLE_EQ(Value("PrintHeight").ToDouble(), 0.0);
}

TEST_F(SettingsListTest, EscapeInTheEditorLeavesTheRowUnchanged) {
  Edit("PrintGap", "9");
  redrawn.clear();
  list->EditorKeyDown(TKey::Escape);
  EXPECT_FALSE(list->Editing());
  EXPECT_EQ(Value("PrintGap").ToInt(), 2);
  EXPECT_TRUE(redrawn.empty());
  EXPECT_EQ(focused.back(), &list->lvSettings);
  // Escape in the list with no editor open changes nothing either.
  list->lvSettingsKeyDown(TKey::Escape);
  EXPECT_EQ(Value("PrintGap").ToInt(), 2);
}

TEST_F(SettingsListTest, ClickingAnotherRowCommitsTheOpenEditToTheEditedRow) {
  Edit("PrintGap", "5");
  const int other = RowOf("PrintHeight");
  Select(other);
  EXPECT_FALSE(list->Editing());
  EXPECT_EQ(Value("PrintGap").ToInt(), 5);
  EXPECT_EQ(Value("PrintHeight").ToInt(), 40);
  EXPECT_EQ(list->stStatus.Caption, "Высота области печати");
}

TEST_F(SettingsListTest, BooleanRowsAreEditedWithAFalseTrueList) {
  driver->SetSettingValue("DebugLogEnabled", Variant::Boolean(true));
  Select(RowOf("DebugLogEnabled"));
  list->lvSettingsDblClick();
  ASSERT_EQ(list->EditControl(), &list->cbEdit);
  EXPECT_TRUE(list->cbEdit.Visible);
  EXPECT_FALSE(list->edEdit.Visible);
  EXPECT_EQ(list->cbEdit.Items, (std::vector<std::string>{"False", "True"}));
  EXPECT_EQ(list->cbEdit.ItemIndex, 1);
  list->cbEdit.SetItemIndex(0);
  list->EditorKeyDown(TKey::Enter);
  EXPECT_EQ(Value("DebugLogEnabled").BaseType(), varBoolean);
  EXPECT_FALSE(Value("DebugLogEnabled").ToBool());

  // The next row that is not Boolean goes back to the edit field.
  Edit("PrintGap", "3");
  EXPECT_EQ(list->EditControl(), &list->edEdit);
  EXPECT_FALSE(list->cbEdit.Visible);
}

TEST_F(SettingsListTest, EditorCoversTheValueCellOfTheSelectedRow) {
  list->ItemDisplayRect = [](int) { return TRect{4, 40, 370, 57}; };
  Edit("PrintGap", "2");
  const TRect bounds = list->edEdit.BoundsRect;
  EXPECT_EQ(bounds.Left, 190 + 4 + 3);
  EXPECT_EQ(bounds.Top, 40);
  EXPECT_EQ(bounds.Height(), 17 + 7);
  EXPECT_EQ(bounds.Width(), 90);
  EXPECT_EQ(focused.back(), &list->edEdit);
}

TEST_F(SettingsListTest, EditingNeedsASelectedRowAndOpensOnce) {
  list->miEditClick();
  EXPECT_FALSE(list->Editing());
  Edit("PrintGap", "7");
  // Enter, F2 or the menu while editing does not restart the edit and lose the typed text.
  list->lvSettingsKeyDown(TKey::Enter);
  list->miEditClick();
  EXPECT_EQ(list->edEdit.Text, "7");
  list->EditorKeyDown(TKey::Enter);
  EXPECT_EQ(Value("PrintGap").ToInt(), 7);
  // Enter in the hidden editor opens it again.
  list->EditorKeyDown(TKey::Enter);
  EXPECT_TRUE(list->Editing());
  EXPECT_EQ(list->edEdit.Text, "7");
}

TEST_F(SettingsListTest, DefaultsResetOneRowOrEveryRowReadOnlyIncluded) {
  driver->SetSettingValue("PrintWidth", Variant::Integer(100));  // read-only row
  driver->SetSettingValue("PrintGap", Variant::Integer(9));      // read-only row
  driver->SetSettingValue("DefaultTimeOut", Variant::Integer(5));

  Select(RowOf("PrintWidth"));
  list->miDefault.OnClick();
  EXPECT_EQ(Value("PrintWidth").ToInt(), 58);
  EXPECT_EQ(Value("PrintGap").ToInt(), 9);
  EXPECT_EQ(redrawn.back(), RowOf("PrintWidth"));

  list->btnDefaultClick();
  EXPECT_EQ(Value("PrintGap").ToInt(), 2);
  EXPECT_EQ(Value("DefaultTimeOut").ToInt(), 120);
  EXPECT_EQ(Value("PortName").ToString(), "");
  EXPECT_EQ(redrawn.back(), -1);
}

TEST_F(SettingsListTest, OkAndCancelOnlyClose) {
  Edit("PrintGap", "4");
  list->EditorKeyDown(TKey::Enter);
  list->btnCancelClick();
  EXPECT_EQ(list->ModalResult, mrCancel);
  EXPECT_EQ(Value("PrintGap").ToInt(), 4);
  list->btnOKClick();
  EXPECT_EQ(list->ModalResult, mrOk);
}

TEST_F(SettingsListTest, HelpOfAControlIsItsHelpTextElseItsHintElseTheSelectedRow) {
  EXPECT_EQ(list->ControlHelp(list->btnOK), "Сохранить настройки и закрыть окно");
  EXPECT_EQ(list->ControlHelp(list->btnCancel), "Закрыть окно без сохранения настроек");
  EXPECT_EQ(list->ControlHelp(list->btnDefault), "Установить все значения по-умолчанию");
  EXPECT_EQ(list->ControlHelp(list->lvSettings), "");
  Edit("PrintWidth", "60");
  EXPECT_EQ(list->ControlHelp(list->lvSettings), "Ширина области печати");
  EXPECT_EQ(list->ControlHelp(list->edEdit), "Ширина области печати");
  EXPECT_EQ(list->ControlHelp(list->stStatus), "");
}

// A device with a date row.
class DatedDevice : public testing::TTestDevice {
 public:
  void CreateSettings() override {
    TTestDevice::CreateSettings();
    AddSetting("LastService", dtDateTime, Variant::Date(0), false, "Обслуживание", "");
  }
};

TEST(SettingsListDateTest, DateRowKeepsTextThatIsNotADate) {
  platform::LocaleFormat dots;
  platform::ScopedUserLocale locale(dots);
  auto device = CreateObject<DatedDevice>();
  TfrmSettingsList list(*device);
  const int row = device->SettingsCount() - 1;
  list.lvSettings.ItemIndex = row;

  list.StartEdit();
  list.edEdit.Text = "на следующей неделе";
  list.FinishEdit(false);
  EXPECT_EQ(device->GetSetting(row)->Value.BaseType(), varOleStr);
  EXPECT_EQ(device->GetSetting(row)->Value.ToString(), "на следующей неделе");

  list.StartEdit();
  list.edEdit.Text = "01.02.2024";
  list.FinishEdit(false);
  EXPECT_EQ(device->GetSetting(row)->Value.BaseType(), varDate);
  EXPECT_EQ(list.RowTexts(row)[1], "01.02.2024");
}

}  // namespace
}  // namespace pirell
