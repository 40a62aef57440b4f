#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "driver_object/late_bound.h"
#include "driver_object/result_codes.h"
#include "host_cli/settings_store.h"

namespace pirell::cli {

class CliEquipmentManager;

// What a public host method answered: true, or false with its result code and message.
struct CallResult {
  bool ok = false;
  Variant out_data;
  ResultCode code = 0;
  std::string message;
};

// One working session with the driver, as the host platform runs it: create the driver by its
// ProgID, "Init" it with the equipment manager, "Open" it under the device ID, hand it the
// stored settings, call public methods by name, and "Close" it at the end.
class HostSession {
 public:
  // `device_folder` holds the driver's template file and the host's copy of the settings; its
  // last path component is the device ID.
  HostSession(const std::string& device_folder, bool verbose);
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Calls a public method with InData, which it passes on without a copy; OutData starts empty;
  // TimeOut is 0.
  CallResult Call(std::string_view method, Variant in_data);

  // The settings table as the driver reports it ("GetSettings": 7 columns by n rows).
  Variant SettingsTable();
  // Sets rows by ID ("SetSettings") for this session only.
  CallResult ApplySettings(const StoredSettings& changes);
  // Sets rows by ID ("SetSettings") and stores the driver's whole table for the next session.
  CallResult ChangeSettings(const StoredSettings& changes);

  const std::string& CapturePath() const { return capture_path_; }
  // Receives the driver's progress reports ("TaskState" descriptions).
  void SetTaskStateListener(std::function<void(const std::string&)> listener);

 private:
  void ApplyStoredSettings();
  void StoreDriverSettings();
  Variant CallPrivate(std::string_view method, Variant first);

  std::string device_folder_;
  std::string settings_path_;
  std::string capture_path_;
  // The capture file stands in for the printer (no port name chosen), and the "PortType" the
  // user had before it did.
  bool stand_in_ = false;
  Variant users_port_type_ = Variant::Integer(0);
  std::shared_ptr<CliEquipmentManager> manager_;
  std::shared_ptr<LateBoundObject> driver_;
};

// "ID=VALUE" -> (ID, text value).
StoredSettings ParseAssignments(const std::vector<std::string>& assignments);

}  // namespace pirell::cli
