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

namespace {

std::string LineText(const platform::SerialLine& line) {
  static constexpr char kParity[] = {'N', 'E', 'O', 'M', 'S'};
  static constexpr char kFlow[] = {'H', 'X', 'N'};
  return std::to_string(line.baud) + "," + kParity[static_cast<int>(line.parity)] + "," +
         std::to_string(line.data_bits) + "," + std::to_string(line.stop_bits) + "," +
         kFlow[static_cast<int>(line.flow)];
}

}  // namespace

class FakePrintJob : public platform::PrintJob {
 public:
  explicit FakePrintJob(FakeDeviceIo& io) : io_(io) {}
  ~FakePrintJob() override {
    if (!finished_) io_.events.push_back("job cancel");
  }
  bool Write(std::string_view bytes, std::string& reason) override {
    io_.events.push_back("job write " + std::to_string(bytes.size()));
    reason = io_.job_write_reason;
    if (!reason.empty()) return false;
    io_.received.append(bytes);
    io_.total_received += bytes.size();
    return true;
  }
  bool Finish(std::string& reason) override {
    io_.events.push_back("job finish");
    reason = io_.job_finish_reason;
    finished_ = reason.empty();
    return finished_;
  }

 private:
  FakeDeviceIo& io_;
  bool finished_ = false;
};

class FakePrintQueue : public platform::PrintQueue {
 public:
  explicit FakePrintQueue(FakeDeviceIo& io) : io_(io) {}
  std::unique_ptr<platform::PrintJob> StartJob(const std::string& title,
                                               std::string& reason) override {
    io_.events.push_back("job " + title);
    reason = io_.job_start_reason;
    if (!reason.empty()) return nullptr;
    return std::make_unique<FakePrintJob>(io_);
  }

 private:
  FakeDeviceIo& io_;
};

platform::DeviceOpenResult FakeDeviceIo::OpenFake(std::string event) {
  events.push_back(std::move(event));
  if (open_error != 0) return platform::DeviceOpenResult::Failed(open_error);
  if (Gone()) return platform::DeviceOpenResult::Failed(gone_error);
  return platform::DeviceOpenResult::Opened(std::make_unique<FakeDevice>(*this));
}

platform::DeviceOpenResult FakeDeviceIo::Open(const std::string& name,
                                              platform::DeviceOpenMode mode) {
  const bool exclusive = mode == platform::DeviceOpenMode::kExclusive;
  return OpenFake("open " + name + (exclusive ? " exclusive" : " shared"));
}

platform::DeviceOpenResult FakeDeviceIo::OpenSerial(const std::string& port,
                                                    const platform::SerialLine& line) {
  return OpenFake("serial " + port + " " + LineText(line));
}

platform::DeviceOpenResult FakeDeviceIo::Connect(const std::string& host, std::uint16_t port,
                                                 std::uint32_t) {
  return OpenFake("connect " + host + " " + std::to_string(port));
}

platform::DeviceOpenResult FakeDeviceIo::OpenFile(const std::string& path) {
  return OpenFake("file " + path);
}

platform::PrintQueueOpenResult FakeDeviceIo::OpenPrintQueue(const std::string& name) {
  events.push_back("queue " + name);
  platform::PrintQueueOpenResult result;
  result.reason = queue_missing_reason;
  result.not_accepting = queue_not_accepting;
  if (result.reason.empty() && !result.not_accepting)
    result.queue = std::make_unique<FakePrintQueue>(*this);
  return result;
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
  return {error == 0, taken, error, error != 0 && lost_on_error};
}

}  // namespace pirell::testing
