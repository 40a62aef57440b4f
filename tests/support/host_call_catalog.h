#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "driver_object/late_bound.h"
#include "platform/device_io.h"

namespace pirell::testing {

// What a host call of the catalog is expected to answer.
enum class HostCallExpect {
  kTrue,     // the call succeeds
  kFailure,  // a public call answers false with a code and message; a private one false or an
             // exception; an unknown name is refused
  kAny,      // either, as long as a failure is reported in one of those forms
};

// One host call: a method with its arguments as the host passes them.
struct HostCallCase {
  std::string method;
  bool is_private = false;
  std::vector<Variant> params;  // private form: the arguments
  Variant in_data;              // public form: InData
  Variant time_out = Variant::Integer(0);
  HostCallExpect expect = HostCallExpect::kAny;
};

// What the host saw.
struct HostCallOutcome {
  HResult status = 0;
  bool is_private = false;
  bool answered_true = false;
  std::int32_t code = 0;  // a public failure's code
  std::string message;    // a public failure's message or a private call's exception text
  // True when the call answered in a form its expectation allows; `why` says what was wrong.
  bool AsExpected(HostCallExpect expect, std::string& why) const;
};

// Every host method of the driver, public and private, each with valid arguments and with
// invalid ones, in an order that a session can repeat any number of times: Init, Open, the
// settings, an upload, Enable, printing, the other methods, Disable, Close. The valid calls use
// `host` as the equipment manager, `device_id` (whose folder in the host's devices folder should
// exist, or the template file goes beside the module), and a template with a printer-font text, a
// text in a chosen font, a barcode, a line, a box and an embedded picture.
std::vector<HostCallCase> EveryHostCall(const std::shared_ptr<LateBoundObject>& host,
                                        const std::string& device_id);

// Makes the call the way a host does (the name resolved first, every argument by reference).
HostCallOutcome RunHostCall(LateBoundObject& object, const HostCallCase& call);

// An equipment manager that answers "GetAppProperty" from a fixed folder and true to everything
// else, keeping no record, so that a long run holds no growing state of its own.
class QuietEquipmentManager : public LateBoundObject {
 public:
  explicit QuietEquipmentManager(std::string devices_folder)
      : devices_folder_(std::move(devices_folder)) {}
  HResult GetIDsOfNames(std::string_view name, DispId& id) override;
  HResult Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args, Variant* result,
                 ExceptionInfo* exception) override;

 private:
  std::string devices_folder_;
};

// A printer that takes every byte and keeps none of them: only their count, and the writes'.
class NullDeviceIo : public platform::DeviceIo {
 public:
  platform::DeviceOpenResult Open(const std::string& name, platform::DeviceOpenMode mode) override;
  platform::DeviceOpenResult OpenSerial(const std::string&, const platform::SerialLine&) override {
    return Open("", platform::DeviceOpenMode::kExclusive);
  }
  platform::DeviceOpenResult Connect(const std::string&, std::uint16_t, std::uint32_t) override {
    return Open("", platform::DeviceOpenMode::kExclusive);
  }
  platform::DeviceOpenResult OpenFile(const std::string&) override {
    return Open("", platform::DeviceOpenMode::kExclusive);
  }
  // No print server.
  platform::PrintQueueOpenResult OpenPrintQueue(const std::string&) override {
    platform::PrintQueueOpenResult none;
    none.reason = "no print server";
    return none;
  }
  std::string ErrorMessage(int code) override { return "error " + std::to_string(code); }
  std::uint64_t bytes = 0;
  std::uint64_t writes = 0;
  int open_devices = 0;
  // Runs after every write, when set.
  std::function<void()> after_write;
};

}  // namespace pirell::testing
