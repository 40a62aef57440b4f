#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "driver_object/variant.h"
#include "label_printer/driver.h"
#include "platform/time_source.h"
#include "support/fake_device_io.h"
#include "support/fake_equipment_manager.h"
#include "support/fake_time_source.h"
#include "support/temp_dir.h"

namespace pirell::fuzz {

// A template with one field of every kind, bound to the sources "Name", "Price", "Code" and
// "Logo" (a picture embedded in the template).
std::string SessionTemplate();

// What the host got back from a public method.
struct HostAnswer {
  bool ok = false;
  std::int32_t code = 0;
  std::string message;
};

// A real driver as a host drives it, on a fake printer device and a clock that does not take
// real time. Calls go only through the late-bound interface, by method name.
class DriverSession {
 public:
  DriverSession();
  ~DriverSession();

  // "Init" and "Open" as device "LP1", whose folder is inside the session's own folder.
  void Open();
  // Calls a public method with InData, OutData and TimeOut, each by reference, as a host does.
  // A call that the dispatcher refuses as a whole (a COM failure) aborts: a public method must
  // always answer.
  HostAnswer Call(std::string_view method, Variant in_data);
  TDriver& Driver() { return *driver_; }
  testing::FakeDeviceIo& DeviceIo() { return device_io_; }
  const std::string& Folder() const { return folder_.path(); }

 private:
  testing::TempDir folder_;
  testing::FakeTimeSource clock_;
  platform::ScopedTimeSource clock_scope_{clock_};
  testing::FakeDeviceIo device_io_;
  std::shared_ptr<testing::FakeEquipmentManager> host_;
  std::shared_ptr<TDriver> driver_;
};

// Stops the program with a message: a fuzz target found a broken promise.
[[noreturn]] void Fail(const std::string& what);

}  // namespace pirell::fuzz
