#include "driver_object/base_object.h"
#include "platform/locale.h"

namespace pirell {

void TBaseObject::AddSetting(const std::string& id, TDataType value_type, const Variant& value,
                             bool read_only, const std::string& name,
                             const std::string& description) {
  // A derived class may declare a base row again to change its default, read-only flag and help
  // text; the identifier, type and display name stay as first declared.
  if (TSettingStruct* row = FindSetting(id)) {
    row->Value = value;
    row->Default = value;
    row->ReadOnly = read_only;
    row->Description = description;
    return;
  }
  TSettingStruct row;
  row.ID = id;
  row.Value = value;
  row.ValueType = value_type;
  row.Default = value;
  row.ReadOnly = read_only;
  row.Name = name;
  row.Description = description;
  FSettingList.push_back(std::move(row));
}

TSettingStruct* TBaseObject::FindSetting(std::string_view id) {
  for (TSettingStruct& row : FSettingList) {
    if (platform::SameText(row.ID, id)) return &row;
  }
  return nullptr;
}

const TSettingStruct* TBaseObject::FindSetting(std::string_view id) const {
  return const_cast<TBaseObject*>(this)->FindSetting(id);
}

Variant TBaseObject::GetSettingValue(std::string_view id, bool default_value) const {
  const TSettingStruct* row = FindSetting(id);
  if (!row) return Variant();
  return default_value ? row->Default : row->Value;
}

bool TBaseObject::GetSettingValueBool(std::string_view id) const {
  return GetSettingValue(id).ToBool();
}

std::int32_t TBaseObject::GetSettingValueInt(std::string_view id) const {
  return GetSettingValue(id).ToInt();
}

std::int64_t TBaseObject::GetSettingValueCurr(std::string_view id) const {
  return GetSettingValue(id).ToCurrency();
}

double TBaseObject::GetSettingValueDbl(std::string_view id) const {
  return GetSettingValue(id).ToDouble();
}

std::string TBaseObject::GetSettingValueStr(std::string_view id) const {
  return GetSettingValue(id).ToString();
}

double TBaseObject::GetSettingValueDate(std::string_view id) const {
  // Read as a day number with fraction, exactly as the double getter does.
  return GetSettingValue(id).ToDouble();
}

bool TBaseObject::GetSettingReadOnly(std::string_view id) const {
  const TSettingStruct* row = FindSetting(id);
  return row && row->ReadOnly;
}

void TBaseObject::SetSettingValue(std::string_view id, const Variant& value) {
  if (TSettingStruct* row = FindSetting(id)) row->Value = value;
}

void TBaseObject::SetAllSettingsDefault() {
  for (TSettingStruct& row : FSettingList) row.Value = row.Default;
}

TSettingStruct* TBaseObject::GetSettingItem(int index) {
  if (index < 0 || index >= SettingsCount()) return nullptr;
  return &FSettingList[static_cast<std::size_t>(index)];
}

const TSettingStruct* TBaseObject::GetSettingItem(int index) const {
  return const_cast<TBaseObject*>(this)->GetSettingItem(index);
}

}  // namespace pirell
