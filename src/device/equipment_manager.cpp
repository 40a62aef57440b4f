#include "device/equipment_manager.h"

#include <vector>

#include "common/errors.h"
#include "driver_object/late_bound.h"

namespace pirell {
namespace {

constexpr char kUnavailable[] = "Менеджер оборудования недоступен";

// A by-reference argument of the given base type pointing at the caller's variant.
Variant RefTo(Variant& target, std::uint16_t ref_type = varVariant) {
  return Variant::Ref(&target, ref_type);
}

}  // namespace

bool TEquipmentManager::IsHostObject(const Variant& value) {
  const Variant& held = value.Deref();
  return held.Type() == varDispatch && held.Object() != nullptr;
}

void TEquipmentManager::RequireHost() const {
  if (!Assigned()) throw Error(kUnavailable);
}

Variant TEquipmentManager::Call(std::string_view name, std::vector<Variant>& args) {
  // Our own reference: the host may make the device drop its object while the call runs.
  const std::shared_ptr<LateBoundObject> host = host_.Deref().Object();
  if (host == nullptr) throw Error(kUnavailable);
  return CallByName(*host, name, args);
}

std::string TEquipmentManager::GetAppProperty(const std::string& device_id,
                                              const std::string& name) {
  RequireHost();
  Variant id = Variant::OleStr(device_id);
  Variant property = Variant::OleStr(name);
  Variant value = Variant::OleStr("");
  std::vector<Variant> args{RefTo(id, varOleStr), RefTo(property, varOleStr), RefTo(value)};
  const Variant answer = Call("GetAppProperty", args);
  if (!answer.ToBool()) return {};
  return value.ToString();
}

bool TEquipmentManager::DataEvent(const std::string& device_id, const std::string& event,
                                  const std::string& data, const Variant& ext_data) {
  RequireHost();
  Variant extra = ext_data;
  std::vector<Variant> args{Variant::OleStr(device_id), Variant::OleStr(event),
                            Variant::OleStr(data), RefTo(extra)};
  return Call("DataEvent", args).ToBool();
}

bool TEquipmentManager::ErrorEvent(const std::string& device_id, const std::string& error_name,
                                   const std::string& description, const Variant& ext_data) {
  RequireHost();
  Variant extra = ext_data;
  std::vector<Variant> args{Variant::OleStr(device_id), Variant::OleStr(error_name),
                            Variant::OleStr(description), RefTo(extra)};
  return Call("ErrorEvent", args).ToBool();
}

bool TEquipmentManager::TaskState(const std::string& device_id, std::int32_t percent,
                                  const std::string& description) {
  RequireHost();
  Variant percent_value = Variant::Integer(percent);
  std::vector<Variant> args{Variant::OleStr(device_id), RefTo(percent_value, varInteger),
                            Variant::OleStr(description)};
  return Call("TaskState", args).ToBool();
}

bool TEquipmentManager::WriteLog(const std::string& device_id, const std::string& name,
                                 const std::string& text, std::int32_t event_type) {
  if (!Assigned()) return false;
  Variant type_value = Variant::Integer(event_type);
  std::vector<Variant> args{Variant::OleStr(device_id), Variant::OleStr(name),
                            Variant::OleStr(text), RefTo(type_value, varInteger)};
  return Call("WriteLog", args).ToBool();
}

std::int32_t TEquipmentManager::MessageDlg(const std::string& device_id, const std::string& text,
                                           std::int32_t msg_type, std::int32_t buttons,
                                           std::int32_t timeout) {
  RequireHost();
  Variant type_value = Variant::Integer(msg_type);
  Variant buttons_value = Variant::Integer(buttons);
  Variant timeout_value = Variant::Integer(timeout);
  std::vector<Variant> args{Variant::OleStr(device_id), Variant::OleStr(text),
                            RefTo(type_value, varInteger), RefTo(buttons_value, varInteger),
                            RefTo(timeout_value, varInteger)};
  return Call("MessageDlg", args).ToInt();
}

std::string TEquipmentManager::InputDataDlg(const std::string& device_id,
                                            const std::string& caption,
                                            const std::string& default_data,
                                            const std::string& description, const std::string& mask,
                                            bool password, std::int32_t timeout) {
  RequireHost();
  Variant timeout_value = Variant::Integer(timeout);
  std::vector<Variant> args{Variant::OleStr(device_id),      Variant::OleStr(caption),
                            Variant::OleStr(default_data),   Variant::OleStr(description),
                            Variant::OleStr(mask),           Variant::Boolean(password),
                            RefTo(timeout_value, varInteger)};
  return Call("InputDataDlg", args).ToString();
}

}  // namespace pirell
