#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver_object/variant.h"

namespace pirell {

// The host's equipment manager: a late-bound object of the host that the device calls by name.
// It wraps the variant the device keeps (empty when no host object is held) and passes the
// arguments in the order, kinds and by-reference forms the host expects. Every string argument
// is a wide string and the first one is always the device ID.
//
// Without a host object every call but WriteLog raises an Error "Менеджер оборудования
// недоступен" before anything is sent. An error raised by the host passes through unchanged.
class TEquipmentManager {
 public:
  explicit TEquipmentManager(const Variant& host) : host_(host) {}

  // True when the variant holds a host object to call.
  static bool IsHostObject(const Variant& value);
  bool Assigned() const { return IsHostObject(host_); }

  // The property's value, or the empty text when the host answers false.
  std::string GetAppProperty(const std::string& device_id, const std::string& name);
  bool DataEvent(const std::string& device_id, const std::string& event, const std::string& data,
                 const Variant& ext_data);
  bool ErrorEvent(const std::string& device_id, const std::string& error_name,
                  const std::string& description, const Variant& ext_data);
  bool TaskState(const std::string& device_id, std::int32_t percent,
                 const std::string& description);
  // Sends nothing and answers false without a host object.
  bool WriteLog(const std::string& device_id, const std::string& name, const std::string& text,
                std::int32_t event_type);
  std::int32_t MessageDlg(const std::string& device_id, const std::string& text,
                          std::int32_t msg_type, std::int32_t buttons, std::int32_t timeout);
  std::string InputDataDlg(const std::string& device_id, const std::string& caption,
                           const std::string& default_data, const std::string& description,
                           const std::string& mask, bool password, std::int32_t timeout);

 private:
  // Raises the "unavailable" error when no host object is held.
  void RequireHost() const;
  Variant Call(std::string_view name, std::vector<Variant>& args);

  const Variant& host_;
};

}  // namespace pirell
