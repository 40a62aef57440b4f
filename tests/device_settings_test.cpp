// The device's settings as the host exchanges them ("GetSettings", "SetSettings"), the common and
// optional rows, the typed accessors and the settings snapshot.

#include <gtest/gtest.h>

#include <algorithm>

#include "device/base_device.h"
#include "support/host_calls.h"
#include "support/test_device.h"

namespace pirell {
namespace {

using testing::CallPublic;
using testing::TTestDevice;

class DeviceSettingsTest : public ::testing::Test {
 protected:
  // The "GetSettings" table of the device.
  VariantArray SettingsTable() {
    const auto call = CallPublic(*device, "GetSettings");
    EXPECT_TRUE(call.result.ToBool());
    return call.out_data.Array().At({0}).Array();
  }

  // "SetSettings" with a 7-column table holding (ID, Value) pairs.
  testing::PublicCall SetSettings(const std::vector<std::pair<Variant, Variant>>& rows) {
    VariantArray table = VariantArray::Table(7, static_cast<std::int32_t>(rows.size()));
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(rows.size()); ++i) {
      table.At({0, i}) = rows[static_cast<std::size_t>(i)].first;
      table.At({1, i}) = rows[static_cast<std::size_t>(i)].second;
    }
    return CallPublic(*device, "SetSettings", VariantArray::Vector({Variant(std::move(table))}));
  }

  std::shared_ptr<TTestDevice> device = CreateObject<TTestDevice>();
};

TEST_F(DeviceSettingsTest, GetSettingsReportsTheCommonRowsAsASevenColumnTable) {
  const VariantArray table = SettingsTable();
  ASSERT_EQ(table.Dims(), 2);
  EXPECT_EQ(table.Lower(0), 0);
  EXPECT_EQ(table.Upper(0), 6);
  EXPECT_EQ(table.Lower(1), 0);
  ASSERT_EQ(table.Upper(1), 2);

  EXPECT_EQ(table.At({0, 0}).ToString(), "DefaultTimeOut");
  EXPECT_EQ(table.At({1, 0}).ToInt(), 120);
  EXPECT_EQ(table.At({2, 0}).ToString(), "Number");
  EXPECT_EQ(table.At({3, 0}).ToInt(), 120);
  EXPECT_EQ(table.At({4, 0}).Type(), varBoolean);
  EXPECT_FALSE(table.At({4, 0}).ToBool());
  EXPECT_EQ(table.At({5, 0}).ToString(), "Таймаут по умолчанию");
  EXPECT_EQ(table.At({6, 0}).ToString(),
            "Таймаут по умолчанию. Используется в случае, если при вызове метода параметр "
            "Timeout равен 0");

  EXPECT_EQ(table.At({0, 1}).ToString(), "EventLogEnabled");
  EXPECT_EQ(table.At({2, 1}).ToString(), "Boolean");
  EXPECT_EQ(table.At({1, 1}).Type(), varBoolean);
  EXPECT_FALSE(table.At({1, 1}).ToBool());
  EXPECT_EQ(table.At({5, 1}).ToString(), "Журнал событий");

  EXPECT_EQ(table.At({0, 2}).ToString(), "DebugLogEnabled");
  EXPECT_EQ(table.At({5, 2}).ToString(), "Отладочный лог");
  EXPECT_EQ(table.At({6, 2}).ToString(), "Если равно True, ведется отладочный лог");
}

TEST_F(DeviceSettingsTest, GetSettingsFedBackToSetSettingsChangesNothing) {
  device->SetSettingValue("DefaultTimeOut", Variant("45"));
  device->SetSettingValue("DebugLogEnabled", Variant(true));
  const VariantArray before = SettingsTable();
  const auto set =
      CallPublic(*device, "SetSettings", VariantArray::Vector({Variant(VariantArray(before))}));
  EXPECT_TRUE(set.result.ToBool());
  const VariantArray after = SettingsTable();
  ASSERT_EQ(after.Size(), before.Size());
  for (std::int32_t i = 0; i <= before.Upper(1); ++i) {
    EXPECT_EQ(after.At({1, i}).Type(), before.At({1, i}).Type()) << i;
    EXPECT_EQ(after.At({1, i}).ToString(), before.At({1, i}).ToString()) << i;
  }
  EXPECT_EQ(device->GetSettingValue("DefaultTimeOut").Type(), varOleStr);
}

TEST_F(DeviceSettingsTest, SetSettingsMatchesIdsIgnoringCaseAndSkipsUnknownOnes) {
  const auto set = SetSettings({{Variant("defaulttimeout"), Variant(30)},
                                {Variant("NoSuchSetting"), Variant(1)},
                                {Variant("DEBUGLOGENABLED"), Variant(true)}});
  EXPECT_TRUE(set.result.ToBool());
  EXPECT_EQ(device->DefaultTimeOut(), 30);
  EXPECT_TRUE(device->GetSettingValueBool("DebugLogEnabled"));
  EXPECT_EQ(device->SettingsCount(), 3);
  EXPECT_EQ(device->events.back(), "OnSettingsChanged");
}

TEST_F(DeviceSettingsTest, SetSettingsDoesNotEnforceReadOnlyOrType) {
  device->FindSetting("EventLogEnabled")->ReadOnly = true;
  SetSettings({{Variant("EventLogEnabled"), Variant("True")}});
  EXPECT_EQ(device->GetSettingValue("EventLogEnabled").Type(), varOleStr);
  EXPECT_TRUE(device->EventLogEnabled());
}

TEST_F(DeviceSettingsTest, SetSettingsWithoutAnArrayIsABadParameter) {
  const auto call = CallPublic(*device, "SetSettings", Variant(5));
  EXPECT_FALSE(call.result.ToBool());
  EXPECT_EQ(call.Code(), rc::BadParameters);
  EXPECT_EQ(call.Message(), "Ошибка входных параметров команды");
  EXPECT_EQ(device->events.back(), "CreateObjects");  // OnSettingsChanged did not run
}

TEST_F(DeviceSettingsTest, SetSettingsWithAnUnreadableTableFailsAndChangesNothing) {
  // Element 0 is not a two-dimensional table.
  const auto flat = CallPublic(*device, "SetSettings",
                               VariantArray::Vector({Variant(VariantArray::Vector({Variant(1)}))}));
  EXPECT_EQ(flat.Code(), rc::Unknown);
  EXPECT_FALSE(flat.Message().empty());

  // The second row's ID cannot be read as text: the first row must not change either.
  const auto mixed = SetSettings({{Variant("DefaultTimeOut"), Variant(5)},
                                  {Variant(VariantArray::Vector({Variant(1)})), Variant(1)}});
  EXPECT_EQ(mixed.Code(), rc::Unknown);
  EXPECT_EQ(device->DefaultTimeOut(), 120);
}

TEST_F(DeviceSettingsTest, TypedAccessorsReadAndWriteTheCommonRows) {
  device->SetDefaultTimeOut(15);
  EXPECT_EQ(device->GetSettingValue("DefaultTimeOut").Type(), varInteger);
  EXPECT_EQ(device->DefaultTimeOut(), 15);
  device->SetEventLogEnabled(true);
  EXPECT_EQ(device->GetSettingValue("EventLogEnabled").Type(), varBoolean);
  EXPECT_TRUE(device->EventLogEnabled());
  EXPECT_EQ(device->FindSetting("defaulttimeout"), device->GetSetting(0));
  EXPECT_EQ(device->GetSetting(3), nullptr);
  EXPECT_EQ(device->GetSetting(-1), nullptr);
  EXPECT_EQ(device->AddActionsCount(), 0);
  EXPECT_EQ(device->GetAddAction(0), nullptr);
}

TEST_F(DeviceSettingsTest, SerialAndLineControlRowsFollowTheCommonOnes) {
  auto serial = CreateObject<TTestDevice>(TTestDevice::Options{false, true});
  const char* ids[] = {"DefaultTimeOut", "EventLogEnabled", "DebugLogEnabled", "PortNumber",
                       "Baud",           "DataBits",        "StopBits",        "Parity",
                       "IsOpen",         "FlowControl",     "ControlDTR",      "ControlRTS",
                       "TimeOutWrite"};
  ASSERT_EQ(serial->SettingsCount(), 13);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(serial->GetSetting(i)->ID, ids[i]);
  EXPECT_EQ(serial->GetSettingValueInt("Baud"), 9600);
  EXPECT_EQ(serial->GetSettingValueInt("DataBits"), 8);
  EXPECT_TRUE(serial->GetSettingValueBool("IsOpen"));
  EXPECT_EQ(serial->GetSettingValueInt("FlowControl"), 2);
  EXPECT_EQ(serial->GetSettingValueInt("TimeOutWrite"), 10);
  EXPECT_EQ(serial->FindSetting("Parity")->Description,
            "Четность (Parity)\r\nДопустимые значения: 0 - \"Отсутствует (None)\", 1 - Нечетный "
            "(Odd), 2 - Четный (Even), 3 - Метка (Mark), 4 - Пробел (Space)");
  EXPECT_EQ(serial->FindSetting("FlowControl")->Name, "Управление потоком данны");
  EXPECT_EQ(serial->FindSetting("Baud")->ValueType, dtNumber);
  for (int i = 0; i < 13; ++i) EXPECT_FALSE(serial->GetSetting(i)->ReadOnly) << ids[i];
}

TEST_F(DeviceSettingsTest, RestoreSettingsUndoesChangesSinceTheSnapshot) {
  device->StoreSettings();
  ASSERT_EQ(device->BufSettings().size(), 3u);
  device->SetDefaultTimeOut(1);
  device->SetSettingValue("DebugLogEnabled", Variant(true));
  device->FindSetting("DefaultTimeOut")->Default = Variant(7);
  device->RestoreSettings();
  EXPECT_EQ(device->DefaultTimeOut(), 120);
  EXPECT_FALSE(device->GetSettingValueBool("DebugLogEnabled"));
  // Only values come back.
  EXPECT_EQ(device->FindSetting("DefaultTimeOut")->Default.ToInt(), 7);
  EXPECT_TRUE(device->BufSettings().empty());

  // An empty snapshot restores nothing.
  device->SetDefaultTimeOut(2);
  device->RestoreSettings();
  EXPECT_EQ(device->DefaultTimeOut(), 2);
}

TEST_F(DeviceSettingsTest, SnapshotOfChosenIdsSkipsThoseWithoutARow) {
  device->StoreSettings({"DebugLogEnabled", "Missing"});
  ASSERT_EQ(device->BufSettings().size(), 2u);
  EXPECT_TRUE(device->BufSettings()[1].Value.IsEmpty());
  device->SetSettingValue("DebugLogEnabled", Variant(true));
  device->SetDefaultTimeOut(3);
  device->RestoreSettings();
  EXPECT_FALSE(device->GetSettingValueBool("DebugLogEnabled"));
  EXPECT_EQ(device->DefaultTimeOut(), 3);
  EXPECT_EQ(device->SettingsCount(), 3);
  EXPECT_EQ(std::count(device->events.begin(), device->events.end(), "OnSettingsChanged"), 0);
}

TEST_F(DeviceSettingsTest, AStoreReplacesThePreviousSnapshot) {
  device->StoreSettings();
  device->SetDefaultTimeOut(9);
  device->StoreSettings({"DefaultTimeOut"});
  device->SetDefaultTimeOut(10);
  device->RestoreSettings();
  EXPECT_EQ(device->DefaultTimeOut(), 9);
}

}  // namespace
}  // namespace pirell
