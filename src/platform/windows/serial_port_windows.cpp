#include <windows.h>

#include <charconv>
#include <memory>

#include "platform/windows/device_io_windows.h"
#include "platform/windows/overlapped_io.h"
#include "platform/windows/wide.h"

namespace pirell::platform::windows_io {
namespace {

constexpr std::uint8_t kNotConnected = 0x20;
constexpr std::uint8_t kBusy = 0x40;
constexpr std::uint32_t kDefaultWriteTimeoutMs = 20000;
// How often a closing port looks whether its output has gone out.
constexpr DWORD kDrainPollMs = 10;
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

bool IsComName(const std::string& port) {
  unsigned number = 0;
  const char* digits = port.data() + 3;
  const char* end = port.data() + port.size();
  if (port.size() < 4 || port.compare(0, 3, "COM") != 0) return false;
  const auto [stop, ec] = std::from_chars(digits, end, number);
  return ec == std::errc() && stop == end && number >= 1;
}

BYTE Parity(SerialParity parity) {
  switch (parity) {
    case SerialParity::kEven:
      return EVENPARITY;
    case SerialParity::kOdd:
      return ODDPARITY;
    case SerialParity::kMark:
      return MARKPARITY;
    case SerialParity::kSpace:
      return SPACEPARITY;
    case SerialParity::kNone:
      break;
  }
  return NOPARITY;
}

// The line as the printer wants it; the printer's side of the handshake is watched on CTS
// (hardware) or in XOFF/XON characters, and DTR and RTS stay raised so the printer sees a
// computer on the line.
void SetLine(DCB& dcb, const SerialLine& line) {
  dcb.BaudRate = line.baud;
  dcb.ByteSize = static_cast<BYTE>(line.data_bits);
  dcb.Parity = Parity(line.parity);
  dcb.StopBits = line.stop_bits == 2 ? TWOSTOPBITS : ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = line.parity != SerialParity::kNone;
  const bool hardware = line.flow == SerialFlowControl::kHardware;
  dcb.fOutxCtsFlow = hardware;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = hardware ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = line.flow == SerialFlowControl::kXonXoff;
  dcb.fInX = FALSE;
  dcb.XonChar = kXon;
  dcb.XoffChar = kXoff;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
}

class SerialDevice : public Device {
 public:
  SerialDevice(HANDLE handle, bool hardware_flow)
      : handle_(handle), hardware_flow_(hardware_flow) {}

  // Output the printer has not taken when the write timeout is over is dropped, so closing never
  // waits longer.
  ~SerialDevice() override {
    const DWORD start = GetTickCount();
    COMSTAT state{};
    DWORD errors = 0;
    while (ClearCommError(handle_.get(), &errors, &state) && state.cbOutQue > 0 &&
           GetTickCount() - start < write_timeout_ms_) {
      Sleep(kDrainPollMs);
    }
    if (state.cbOutQue > 0) PurgeComm(handle_.get(), PURGE_TXABORT | PURGE_TXCLEAR);
  }

  DeviceWriteResult Write(std::string_view bytes) override {
    return WriteOverlapped(handle_.get(), bytes, write_timeout_ms_, false);
  }

  // With hardware flow control the handshake lines tell whether a printer is on the cable and
  // whether it can take data: both down is no printer, CTS down alone a full buffer.
  std::optional<std::uint8_t> Status() override {
    DWORD lines = 0;
    if (!hardware_flow_ || !GetCommModemStatus(handle_.get(), &lines)) return std::nullopt;
    const bool cts = lines & MS_CTS_ON;
    const bool dsr = lines & MS_DSR_ON;
    if (!cts && !dsr) return kNotConnected;
    return cts ? 0 : kBusy;
  }

  bool SetWriteTimeout(std::uint32_t ms) override {
    write_timeout_ms_ = ms;
    return true;
  }

  // FlushFileBuffers would wait for a stopped printer without a bound.
  bool Flush() override { return false; }

 private:
  KernelHandle handle_;
  bool hardware_flow_;
  std::uint32_t write_timeout_ms_ = kDefaultWriteTimeoutMs;
};

}  // namespace

DeviceOpenResult OpenSerialPort(const std::string& port, const SerialLine& line) {
  if (!IsComName(port)) return DeviceOpenResult::Refused(OpenRefusal::kNoSuchPort);
  const std::wstring path = L"\\\\.\\" + Widen(port);
  KernelHandle handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!handle.valid()) return DeviceOpenResult::Failed(static_cast<int>(GetLastError()));
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle.get(), &dcb))
    return DeviceOpenResult::Failed(static_cast<int>(GetLastError()));
  SetLine(dcb, line);
  if (!SetCommState(handle.get(), &dcb))
    return DeviceOpenResult::Failed(static_cast<int>(GetLastError()));
  // Reads return at once; the overlapped wait bounds the writes, the comm timeout as well.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutConstant = kDefaultWriteTimeoutMs;
  if (!SetCommTimeouts(handle.get(), &timeouts))
    return DeviceOpenResult::Failed(static_cast<int>(GetLastError()));
  return DeviceOpenResult::Opened(
      std::make_unique<SerialDevice>(handle.release(), line.flow == SerialFlowControl::kHardware));
}

}  // namespace pirell::platform::windows_io
