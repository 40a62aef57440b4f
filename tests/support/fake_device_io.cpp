#include "support/fake_device_io.h"

#include <algorithm>
#include <memory>

namespace pirell::testing {

class FakeDevice : public platform::Device {
 public:
  explicit FakeDevice(FakeDeviceIo& io) : io_(io) { ++io_.open_devices; }
  ~FakeDevice() override {
    --io_.open_devices;
    io_.events.push_back("close");
  }

  platform::DeviceWriteResult Write(std::string_view bytes) override {
    return io_.NextWrite(bytes);
  }
  std::optional<std::uint8_t> Status() override { return io_.NextStatus(); }
  bool SetWriteTimeout(std::uint32_t ms) override {
    if (!io_.supports_write_timeout) return false;
    io_.write_timeout = ms;
    return true;
  }
  bool Flush() override {
    ++io_.flush_calls;
    io_.events.push_back("flush");
    return true;
  }

 private:
  FakeDeviceIo& io_;
};

platform::DeviceOpenResult FakeDeviceIo::Open(const std::string& name,
                                              platform::DeviceOpenMode mode) {
  const bool exclusive = mode == platform::DeviceOpenMode::kExclusive;
  events.push_back("open " + name + (exclusive ? " exclusive" : " shared"));
  if (open_error != 0) return {nullptr, open_error};
  if (Gone()) return {nullptr, gone_error};
  return {std::make_unique<FakeDevice>(*this), 0};
}

std::optional<std::uint8_t> FakeDeviceIo::NextStatus() {
  ++status_calls;
  if (Gone()) return gone_status;
  if (status.empty()) return std::nullopt;
  const std::optional<std::uint8_t> value = status[std::min(status_step_, status.size() - 1)];
  ++status_step_;
  return value;
}

platform::DeviceWriteResult FakeDeviceIo::NextWrite(std::string_view bytes) {
  ++write_calls;
  const FakeWrite step =
      writes.empty() ? FakeWrite{} : writes[std::min(write_step_, writes.size() - 1)];
  ++write_step_;
  if (clock_) clock_->Advance(step.takes_ms);
  std::size_t taken = std::min(step.max_bytes, bytes.size());
  int error = step.error;
  if (gone_after_bytes) {
    const std::size_t room =
        total_received >= *gone_after_bytes ? 0 : *gone_after_bytes - total_received;
    if (taken > room || (room == 0 && !bytes.empty())) {
      taken = room;
      error = gone_error;
    }
  }
  received.append(bytes.substr(0, taken));
  total_received += taken;
  events.push_back("write " + std::to_string(taken));
  return {error == 0, taken, error};
}

}  // namespace pirell::testing
