// The settings table: declaration and re-declaration, lookups ignoring case, typed getters, and
// the conversions between a row's type and text.

#include <gtest/gtest.h>

#include "common/errors.h"
#include "driver_object/base_object.h"
#include "driver_object/settings_table.h"
#include "platform/locale.h"
#include "support/test_object.h"

namespace pirell {
namespace {

using testing::TTestObject;

class SettingsTableTest : public ::testing::Test {
 protected:
  SettingsTableTest() {
    object->AddSetting("PortName", dtString, Variant("USB001"), false, "Порт", "Printer port");
    object->AddSetting("PrintWidth", dtNumber, Variant(58), false, "Ширина", "mm");
    object->AddSetting("DebugLogEnabled", dtBoolean, Variant(false), false, "Журнал", "");
    object->AddSetting("Model", dtString, Variant("2824"), true, "Модель", "read only");
    object->AddSetting("Порог", dtNumber, Variant::Double(1.5), false, "Порог", "");
  }

  std::shared_ptr<TTestObject> object = CreateObject<TTestObject>();
};

TEST_F(SettingsTableTest, RowsKeepDeclarationOrderAndIndexLookupIsBounded) {
  ASSERT_EQ(object->SettingsCount(), 5);
  EXPECT_EQ(object->GetSettingItem(0)->ID, "PortName");
  EXPECT_EQ(object->GetSettingItem(4)->ID, "Порог");
  EXPECT_EQ(object->GetSettingItem(-1), nullptr);
  EXPECT_EQ(object->GetSettingItem(object->SettingsCount()), nullptr);
  const TBaseObject& constant = *object;
  EXPECT_EQ(constant.GetSettingItem(5), nullptr);
  EXPECT_EQ(constant.GetSettingItem(1)->Name, "Ширина");
}

TEST_F(SettingsTableTest, RedeclaringARowChangesValueDefaultFlagAndHelpOnly) {
  object->AddSetting("portname", dtNumber, Variant("LPT1"), true, "Другое имя", "new help");
  ASSERT_EQ(object->SettingsCount(), 5);
  const TSettingStruct* row = object->FindSetting("PORTNAME");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->ID, "PortName");
  EXPECT_EQ(row->ValueType, dtString);
  EXPECT_EQ(row->Name, "Порт");
  EXPECT_EQ(row->Value.ToString(), "LPT1");
  EXPECT_EQ(row->Default.ToString(), "LPT1");
  EXPECT_TRUE(row->ReadOnly);
  EXPECT_EQ(row->Description, "new help");
}

TEST_F(SettingsTableTest, IdentifiersMatchIgnoringCaseCyrillicIncluded) {
  EXPECT_EQ(object->GetSettingValueStr("portNAME"), "USB001");
  EXPECT_DOUBLE_EQ(object->GetSettingValueDbl("ПОРОГ"), 1.5);
  EXPECT_EQ(object->FindSetting("Port"), nullptr);
}

TEST_F(SettingsTableTest, MissingRowsReadAsEmpty) {
  EXPECT_TRUE(object->GetSettingValue("Nothing").IsEmpty());
  EXPECT_TRUE(object->GetSettingValue("Nothing", true).IsEmpty());
  EXPECT_EQ(object->GetSettingValueInt("Nothing"), 0);
  EXPECT_EQ(object->GetSettingValueStr("Nothing"), "");
  EXPECT_FALSE(object->GetSettingValueBool("Nothing"));
  EXPECT_EQ(object->GetSettingValueCurr("Nothing"), 0);
  EXPECT_EQ(object->GetSettingValueDate("Nothing"), 0.0);
  EXPECT_FALSE(object->GetSettingReadOnly("Nothing"));
  object->SetSettingValue("Nothing", Variant(1));  // no row, no error
  EXPECT_EQ(object->SettingsCount(), 5);
}

TEST_F(SettingsTableTest, ValuesChangeButDefaultsStay) {
  object->SetSettingValue("PrintWidth", Variant(5));
  EXPECT_EQ(object->GetSettingValue("PrintWidth", true).ToInt(), 58);
  EXPECT_EQ(object->GetSettingValueInt("PrintWidth"), 5);
  object->SetSettingValue("Model", Variant("2844"));  // read-only is informational
  EXPECT_TRUE(object->GetSettingReadOnly("model"));
  EXPECT_EQ(object->GetSettingValueStr("Model"), "2844");
  object->SetAllSettingsDefault();
  EXPECT_EQ(object->GetSettingValueInt("PrintWidth"), 58);
  EXPECT_EQ(object->GetSettingValueStr("Model"), "2824");
}

TEST_F(SettingsTableTest, StoredValuesKeepTheirTypeAndConvertOnRead) {
  object->SetSettingValue("PrintWidth", Variant("58"));
  EXPECT_EQ(object->GetSettingValue("PrintWidth").Type(), varOleStr);
  EXPECT_EQ(object->GetSettingValueInt("PrintWidth"), 58);
  object->SetSettingValue("PrintWidth", Variant("wide"));
  EXPECT_THROW(object->GetSettingValueInt("PrintWidth"), ConversionError);
  object->SetSettingValue("DebugLogEnabled", Variant("TRUE"));
  EXPECT_TRUE(object->GetSettingValueBool("DebugLogEnabled"));
  object->SetSettingValue("Порог", Variant::Double(2.5));
  EXPECT_EQ(object->GetSettingValueCurr("Порог"), 25000);
  object->SetSettingValue("Порог", Variant::Date(42067.25));
  EXPECT_DOUBLE_EQ(object->GetSettingValueDate("Порог"), 42067.25);
  EXPECT_DOUBLE_EQ(object->GetSettingValueDbl("Порог"), 42067.25);
}

TEST(SettingValueTextTest, DataTypeNames) {
  EXPECT_EQ(DataTypeName(dtNumber), "Number");
  EXPECT_EQ(DataTypeName(dtString), "String");
  EXPECT_EQ(DataTypeName(dtDateTime), "Date");
  EXPECT_EQ(DataTypeName(dtBoolean), "Boolean");
  EXPECT_EQ(DataTypeName(4), "");
  EXPECT_EQ(DataTypeName(-1), "");
}

TEST(SettingValueTextTest, TextsBecomeValuesOfTheRowsType) {
  platform::LocaleFormat format;
  format.decimal_separator = ",";
  format.short_date_format = "dd.MM.yyyy";
  platform::ScopedUserLocale locale(format);

  Variant number = TextToSettingValue(dtNumber, "12,5");
  EXPECT_EQ(number.Type(), varDouble);
  EXPECT_EQ(number.ToDouble(), 12.5);
  EXPECT_EQ(TextToSettingValue(dtNumber, "40").Type(), varDouble);
  EXPECT_EQ(TextToSettingValue(dtNumber, "12.5").ToDouble(), 0.0);  // not this locale's form
  Variant bad = TextToSettingValue(dtNumber, "abc");
  EXPECT_EQ(bad.Type(), varDouble);
  EXPECT_EQ(bad.ToDouble(), 0.0);

  EXPECT_EQ(TextToSettingValue(dtString, "12,5").Type(), varOleStr);

  Variant date = TextToSettingValue(dtDateTime, "04.03.2015");
  EXPECT_EQ(date.Type(), varDate);
  EXPECT_EQ(date.RawDouble(), 42067.0);
  Variant not_a_date = TextToSettingValue(dtDateTime, "abc");
  EXPECT_EQ(not_a_date.Type(), varOleStr);
  EXPECT_EQ(not_a_date.ToString(), "abc");

  EXPECT_TRUE(TextToSettingValue(dtBoolean, "TRUE").ToBool());
  EXPECT_TRUE(TextToSettingValue(dtBoolean, "true").ToBool());
  EXPECT_EQ(TextToSettingValue(dtBoolean, "True").Type(), varBoolean);
  EXPECT_FALSE(TextToSettingValue(dtBoolean, "1").ToBool());
  EXPECT_FALSE(TextToSettingValue(dtBoolean, "").ToBool());
}

}  // namespace
}  // namespace pirell
