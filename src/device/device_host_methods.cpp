// The host methods every device offers: "Init", "Open" and "Close" in the private call form, the
// others in the public one.

#include <utility>

#include "common/errors.h"
#include "device/base_device.h"
#include "platform/files.h"

namespace pirell {
namespace {

// Element `index` of the host's argument array, or null when the array does not have it.
Variant* ParamAt(VariantArray& params, std::int32_t index) {
  if (params.Dims() != 1 || index < params.Lower(0) || index > params.Upper(0)) return nullptr;
  return &params.At({index});
}

// The private methods report their outcome in element 1 as well as in their result.
Variant PrivateResult(VariantArray& params, ResultCode code, const std::string& description) {
  if (Variant* text = ParamAt(params, 1))
    *text = Variant::OleStr(ResultCodeText(code, description));
  return Variant::Boolean(code == rc::Ok);
}

}  // namespace

void TBaseDevice::RegisterMethods() {
  using namespace std::placeholders;
  AddPrivateMethod("Init", [this](VariantArray& params) { return HostInit(params); });
  AddPrivateMethod("Open", [this](VariantArray& params) { return HostOpen(params); });
  AddPrivateMethod("Close", [this](VariantArray& params) { return HostClose(params); });
  AddPublicMethod("ShowSettingsDlg",
                  std::bind(&TBaseDevice::HostShowSettingsDlg, this, _1, _2, _3, _4));
  AddPublicMethod("GetDeviceInfo",
                  std::bind(&TBaseDevice::HostGetDeviceInfo, this, _1, _2, _3, _4));
  // Virtual: a device class that overrides these is the one called.
  AddPublicMethod("Enable", std::bind(&TBaseDevice::HostEnable, this, _1, _2, _3, _4));
  AddPublicMethod("Disable", std::bind(&TBaseDevice::HostDisable, this, _1, _2, _3, _4));
  AddPublicMethod("GetSettings", std::bind(&TBaseDevice::HostGetSettings, this, _1, _2, _3, _4));
  AddPublicMethod("SetSettings", std::bind(&TBaseDevice::HostSetSettings, this, _1, _2, _3, _4));
  AddPublicMethod("CheckHealth", std::bind(&TBaseDevice::HostCheckHealth, this, _1, _2, _3, _4));
}

Variant TBaseDevice::HostInit(VariantArray& params) {
  FEqManager = Variant();
  std::string description;
  ResultCode code = rc::BadParameters;
  const Variant* host = ParamAt(params, 0);
  if (host != nullptr && TEquipmentManager::IsHostObject(*host)) {
    FEqManager = host->Deref();
    code = OnInit(description);
  }
  Variant result = PrivateResult(params, code, description);
  if (code == rc::Ok) {
    FDeviceState = dsInited;
    FModelsFolder = platform::IncludeTrailingPathDelimiter(
        EquipmentManager().GetAppProperty(FDeviceID, "ModelsFolder"));
    FLanguage = EquipmentManager().GetAppProperty(FDeviceID, "Language");
  }
  return result;
}

Variant TBaseDevice::HostOpen(VariantArray& params) {
  FDeviceID.clear();
  std::string description;
  ResultCode code = rc::BadParameters;
  const Variant* id = ParamAt(params, 0);
  if (id != nullptr && id->Deref().IsText()) {
    FDeviceID = CutToShortString(id->Deref().ToString());
    FDeviceFolder = GetDeviceFolder();
    code = OnOpen(description);
  }
  return PrivateResult(params, code, description);
}

Variant TBaseDevice::HostClose(VariantArray&) {
  OnClosing();
  FDeviceID.clear();
  FEqManager = Variant();
  OnClosed();
  return Variant::Boolean(true);
}

ResultCode TBaseDevice::HostShowSettingsDlg(const Variant&, Variant&, std::int32_t, std::string&) {
  if (!FDeviceInfo.IsSettingsDlgExist) return rc::NotSupported;
  return ShowSettings() ? rc::Ok : rc::CancelledByUser;
}

ResultCode TBaseDevice::HostGetDeviceInfo(const Variant&, Variant& out_data, std::int32_t,
                                          std::string&) {
  const TDeviceInfoStruct& info = FDeviceInfo;
  out_data = VariantArray::Vector({
      Variant::OleStr(info.TypeName),
      Variant::OleStr(info.ModelID),
      Variant::OleStr(info.ModelName),
      Variant::Integer(info.MajorVersion),
      Variant::Integer(info.MinorVersion),
      Variant::Integer(info.BuildVersion),
      Variant::OleStr(info.ProcessorName),
      Variant::Integer(info.ProcessorType),
      Variant::Boolean(info.IsSettingsDlgExist),
      Variant::OleStr(info.Description),
      Variant::OleStr(info.DeveloperName),
      Variant::OleStr(info.CI_email),
      Variant::OleStr(info.CI_www),
      Variant::OleStr(info.CI_Phones),
      Variant::OleStr(info.CI_address),
  });
  return rc::Ok;
}

ResultCode TBaseDevice::HostGetSettings(const Variant&, Variant& out_data, std::int32_t,
                                        std::string&) {
  const int count = SettingsCount();
  VariantArray table = VariantArray::Table(7, count);
  for (int i = 0; i < count; ++i) {
    const TSettingStruct& row = *GetSettingItem(i);
    table.At({0, i}) = Variant::OleStr(row.ID);
    table.At({1, i}) = row.Value;
    table.At({2, i}) = Variant::OleStr(DataTypeName(row.ValueType));
    table.At({3, i}) = row.Default;
    table.At({4, i}) = Variant::Boolean(row.ReadOnly);
    table.At({5, i}) = Variant::OleStr(row.Name);
    table.At({6, i}) = Variant::OleStr(row.Description);
  }
  out_data = VariantArray::Vector({Variant(std::move(table))});
  return rc::Ok;
}

ResultCode TBaseDevice::HostSetSettings(const Variant& in_data, Variant&, std::int32_t,
                                        std::string&) {
  const Variant& input = in_data.Deref();
  if (!input.IsArray()) return rc::BadParameters;
  const Variant& element = input.Array().At({0}).Deref();
  if (!element.IsArray() || element.Array().Dims() != 2)
    throw Error("Таблица настроек должна быть двумерным массивом");
  const VariantArray& table = element.Array();
  // The whole table is read before any row changes, so a table that cannot be read changes
  // nothing.
  std::vector<std::pair<TSettingStruct*, Variant>> changes;
  for (std::int32_t i = table.Lower(1); i <= table.Upper(1); ++i) {
    const std::string id = CutToShortString(table.At({0, i}).Deref().ToString());
    if (TSettingStruct* row = FindSetting(id))
      changes.emplace_back(row, table.At({1, i}).ResolvedCopy());
  }
  for (auto& [row, value] : changes) row->Value = std::move(value);
  OnSettingsChanged();
  return rc::Ok;
}

ResultCode TBaseDevice::HostCheckHealth(const Variant&, Variant&, std::int32_t,
                                        std::string& description) {
  return DoCheckHealth(description);
}

}  // namespace pirell
