#pragma once

#include <functional>
#include <string>

#include "driver_object/late_bound.h"

namespace pirell::cli {

// The host's equipment manager as this command-line host provides it: it answers the
// application properties the driver asks for and prints the driver's events and log lines.
class CliEquipmentManager : public LateBoundObject {
 public:
  CliEquipmentManager(std::string devices_folder, std::string models_folder, std::string language,
                      bool verbose);

  HResult GetIDsOfNames(std::string_view name, DispId& id) override;
  HResult Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args, Variant* result,
                 ExceptionInfo* exception) override;

  // Receives the description of every "TaskState" (a job's progress); none by default.
  void SetTaskStateListener(std::function<void(const std::string&)> listener) {
    task_state_listener_ = std::move(listener);
  }

 private:
  Variant GetAppProperty(ArgumentBlock& args);

  std::string devices_folder_;
  std::string models_folder_;
  std::string language_;
  bool verbose_;
  std::function<void(const std::string&)> task_state_listener_;
};

}  // namespace pirell::cli
