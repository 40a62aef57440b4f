#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/device_io.h"
#include "support/scripted_clock.h"

namespace pirell::testing {

// What one write call of a fake device does.
struct FakeWrite {
  // How many bytes the device takes at most.
  std::size_t max_bytes = std::numeric_limits<std::size_t>::max();
  // Non-zero: the call fails with this system error code (after taking `max_bytes`, if any).
  int error = 0;
  // Fake milliseconds the call lasts.
  std::uint32_t takes_ms = 0;
};

// Printer devices that exist only in memory, with scripted status bytes and write results, on
// an optional scripted clock.
class FakeDeviceIo : public platform::DeviceIo {
 public:
  explicit FakeDeviceIo(ScriptedClock* clock = nullptr) : clock_(clock) {}

  platform::DeviceOpenResult Open(const std::string& name, platform::DeviceOpenMode mode) override;
  platform::DeviceOpenResult OpenSerial(const std::string& port,
                                        const platform::SerialLine& line) override;
  platform::DeviceOpenResult Connect(const std::string& host, std::uint16_t port,
                                     std::uint32_t timeout_ms) override;
  platform::DeviceOpenResult OpenFile(const std::string& path) override;
  platform::PrintQueueOpenResult OpenPrintQueue(const std::string& name) override;
  std::string ErrorMessage(int code) override { return "system error " + std::to_string(code); }

  // Script. Each status query and each write takes the next step; the last step repeats.
  int open_error = 0;  // non-zero: every open (device, serial, connection, file) fails with it
  // Print queues: a non-empty reason makes opening fail with it; a job is refused, fails its
  // writes or is not taken when the matching reason is non-empty.
  std::string queue_missing_reason;
  bool queue_not_accepting = false;
  std::string job_start_reason;
  std::string job_write_reason;
  std::string job_finish_reason;
  std::vector<std::optional<std::uint8_t>> status;  // empty or nullopt: no status to report
  std::vector<FakeWrite> writes;                    // empty: every write takes everything
  bool supports_write_timeout = true;
  // A write that fails has lost the connection (a network printer hung up).
  bool lost_on_error = false;
  // The printer disappears (is unplugged) once `total_received` reaches this count: the write
  // that crosses the mark takes the bytes up to it and fails, every later write fails with
  // `gone_error`, the status reads `gone_status`, and opening fails with `gone_error`. Resetting
  // it brings the printer back.
  std::optional<std::size_t> gone_after_bytes;
  int gone_error = 1167;
  std::optional<std::uint8_t> gone_status;
  bool Gone() const { return gone_after_bytes && total_received >= *gone_after_bytes; }

  // Record.
  // "open NAME shared|exclusive", "serial PORT BAUD,P,D,S,FLOW", "connect HOST PORT",
  // "file PATH", "queue NAME", "job TITLE", "job write N", "job finish", "job cancel",
  // "write N", "flush", "close"
  std::vector<std::string> events;
  std::string received;
  std::size_t total_received = 0;  // every byte ever taken (`received` may be cleared)
  int open_devices = 0;
  int status_calls = 0;
  int write_calls = 0;
  int flush_calls = 0;
  std::optional<std::uint32_t> write_timeout;

 private:
  friend class FakeDevice;
  friend class FakePrintJob;
  platform::DeviceOpenResult OpenFake(std::string event);
  std::optional<std::uint8_t> NextStatus();
  platform::DeviceWriteResult NextWrite(std::string_view bytes);

  ScriptedClock* clock_;
  std::size_t status_step_ = 0;
  std::size_t write_step_ = 0;
};

}  // namespace pirell::testing
