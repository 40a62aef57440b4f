#include "ports/printer_port.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "common/module_strings.h"
#include "platform/time_source.h"
#include "ports/message_pump.h"
#include "ports/port_open_failure.h"

namespace pirell {
namespace {

// Parallel status bits the printer reports.
constexpr std::uint8_t kPaperEmpty = 0x04;
constexpr std::uint8_t kOffLine = 0x08;
constexpr std::uint8_t kPowerOff = 0x10;
constexpr std::uint8_t kNotConnected = 0x20;
constexpr std::uint8_t kBusy = 0x40;

// The fault a status byte reports, most serious first; 0 when the printer is ready.
ResultCode StatusFault(std::uint8_t status, std::string& detail) {
  if (status & kPowerOff) return rc::NotReady;
  if (status & kNotConnected) {
    detail = "Принтер не подключен";
    return rc::Unknown;
  }
  if (status & kBusy) return rc::Busy;
  if (status & kOffLine) return rc::NotReady;
  if (status & kPaperEmpty) {
    detail = "Нет бумаги";
    return rc::Unknown;
  }
  return rc::Ok;
}

}  // namespace

TPrinterPort::TPrinterPort(platform::DeviceIo& device_io) : FDeviceIo(device_io) {}

TPrinterPort::~TPrinterPort() {
  ClosePort();
}

ResultCode TPrinterPort::OpenPort() {
  FLastErrorDescription.clear();
  if (FPortHandle) return rc::Ok;
  const auto mode = FInterfaceType == itLPT ? platform::DeviceOpenMode::kExclusive
                                            : platform::DeviceOpenMode::kSharedRead;
  return Attach(FDeviceIo.Open(FPortName, mode));
}

ResultCode TPrinterPort::Attach(platform::DeviceOpenResult opened) {
  FLastErrorDescription.clear();
  if (!opened.device) {
    FLastErrorDescription = OpenFailureText(FDeviceIo, opened, FPortName);
    return rc::PortUnavailable;
  }
  FPortHandle = std::move(opened.device);
  // Devices without a write timeout are fine as they are.
  FPortHandle->SetWriteTimeout(kDeviceWriteTimeout);
  return rc::Ok;
}

std::optional<std::uint8_t> TPrinterPort::GetPortStatus() {
  // The query may serve messages while it waits; the device stays until it answers.
  const std::shared_ptr<platform::Device> device = FPortHandle;
  return device->Status();
}

ResultCode TPrinterPort::SendToPort(const std::string& Data) {
  FLastErrorDescription.clear();
  if (!FPortHandle) return rc::PortUnavailable;

  platform::TimeSource& clock = platform::Time();
  const std::size_t total = Data.size();
  std::size_t sent = 0;
  // The timeout counts from the last sign of life: the start, bytes that moved, or a change of
  // the printer's status. Elapsed time in unsigned 32-bit arithmetic survives the tick wrapping.
  std::uint32_t last_activity = clock.TickCount();
  auto idle = [&] { return static_cast<std::uint32_t>(clock.TickCount() - last_activity); };
  std::uint8_t last_status = 0xFF;
  bool first = true;
  ResultCode result = rc::Ok;

  while (sent < total && idle() < FWriteTimeOut) {
    FLastErrorDescription.clear();
    // Messages served while waiting may have closed the port under the send.
    if (!FPortHandle) {
      result = rc::PortUnavailable;
      break;
    }
    // The status is only worth reading once a write has been tried.
    if (!first) {
      if (const std::optional<std::uint8_t> status = GetPortStatus()) {
        if (*status != last_status) {
          last_activity = clock.TickCount();
          last_status = *status;
        }
        // A clean status also forgets the failure of an earlier write.
        result = StatusFault(*status, FLastErrorDescription);
        if (result != rc::Ok) {
          DelayWithMessages(kFaultRetryDelay);
          continue;
        }
      }
    }

    const std::string_view rest = std::string_view(Data).substr(sent);
    const std::shared_ptr<platform::Device> device = FPortHandle;
    const platform::DeviceWriteResult written = device->Write(rest);
    const std::size_t moved = std::min(written.written, rest.size());
    sent += moved;
    first = false;
    if (!written.ok && written.lost) {
      // The printer hung up: the rest of the job has nowhere to go.
      FLastErrorDescription =
          PortDetail(StringId::PortConnectionLost, FDeviceIo.ErrorMessage(written.error));
      return rc::PortUnavailable;
    }
    if (!written.ok) {
      result = rc::Unknown;
      FLastErrorDescription = FDeviceIo.ErrorMessage(written.error);
    }
    if (moved > 0) last_activity = clock.TickCount();

    if (sent < total && FTaskState) {
      const auto percent = static_cast<std::int32_t>(
          std::lround(static_cast<double>(sent) / (static_cast<double>(total) + 0.1) * 100.0));
      if (!FTaskState(percent, "Выполнение задания")) break;
    }
    // A device that took nothing is given a moment, serving messages, instead of being asked
    // again at full speed until the timeout.
    if (moved == 0 && sent < total) DelayWithMessages(kFaultRetryDelay);
  }

  if (sent == total) {
    // Faults seen on the way no longer matter once everything went out.
    FLastErrorDescription.clear();
    return rc::Ok;
  }
  return result != rc::Ok ? result : rc::NoAnswer;
}

void TPrinterPort::FlushPort() {
  if (FPortHandle) FPortHandle->Flush();
}

void TPrinterPort::ClosePort() {
  if (!FPortHandle) return;
  FPortHandle->Flush();
  FPortHandle.reset();
}

}  // namespace pirell
