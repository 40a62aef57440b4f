#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "platform/linux/device_io_linux.h"
#include "platform/linux/fd_device.h"
#include "platform/linux/port_discovery_linux.h"
#include "platform/linux/port_opener_linux.h"

namespace pirell::platform::linux_devices {
namespace {

constexpr std::uint8_t kNotConnected = 0x20;
constexpr std::uint8_t kBusy = 0x40;
// How often a closing port looks whether its output has gone out.
constexpr std::uint32_t kDrainPollMs = 10;

std::optional<speed_t> Speed(std::uint32_t baud) {
  static constexpr std::array<std::pair<std::uint32_t, speed_t>, 11> kSpeeds = {{
      {300, B300},
      {600, B600},
      {1200, B1200},
      {2400, B2400},
      {4800, B4800},
      {9600, B9600},
      {19200, B19200},
      {38400, B38400},
      {57600, B57600},
      {115200, B115200},
      {230400, B230400},
  }};
  for (const auto& [rate, speed] : kSpeeds) {
    if (rate == baud) return speed;
  }
  return std::nullopt;
}

}  // namespace

// Raw output: the printer gets the bytes exactly as written, without any translation.
bool ConfigureTermios(termios& tio, const SerialLine& line) {
  const std::optional<speed_t> speed = Speed(line.baud);
  if (!speed) return false;
  cfmakeraw(&tio);
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  // Printers do not drive the carrier line.
  tio.c_cflag |= CREAD | CLOCAL | (line.data_bits == 7 ? CS7 : CS8);
  switch (line.parity) {
    case SerialParity::kNone:
      break;
    case SerialParity::kEven:
      tio.c_cflag |= PARENB;
      break;
    case SerialParity::kOdd:
      tio.c_cflag |= PARENB | PARODD;
      break;
    case SerialParity::kMark:
      tio.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case SerialParity::kSpace:
      tio.c_cflag |= PARENB | CMSPAR;
      break;
  }
  if (line.stop_bits == 2) tio.c_cflag |= CSTOPB;
  if (line.flow == SerialFlowControl::kHardware) tio.c_cflag |= CRTSCTS;
  if (line.flow == SerialFlowControl::kXonXoff) tio.c_iflag |= IXON;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  return cfsetospeed(&tio, *speed) == 0 && cfsetispeed(&tio, *speed) == 0;
}

namespace {

class SerialDevice : public FdDevice {
 public:
  SerialDevice(int fd, bool hardware_flow)
      : FdDevice(fd, FdKind::kDevice), hardware_flow_(hardware_flow) {}

  // Closing a terminal waits for its output to drain, for as long as the driver likes (30 s on
  // a serial port): the wait is bounded by the write timeout, and what the printer did not take
  // by then is dropped.
  ~SerialDevice() override {
    const std::uint64_t deadline = MonotonicMs() + write_timeout_ms();
    int pending = 0;
    while (::ioctl(fd(), TIOCOUTQ, &pending) == 0 && pending > 0 && MonotonicMs() < deadline) {
      SleepMs(kDrainPollMs);
    }
    if (pending > 0) ::tcflush(fd(), TCOFLUSH);
  }

  // With hardware flow control the handshake lines tell whether a printer is on the cable and
  // whether it can take data: both down is no printer, CTS down alone a full buffer.
  std::optional<std::uint8_t> Status() override {
    if (!hardware_flow_) return std::nullopt;
    int lines = 0;
    if (::ioctl(fd(), TIOCMGET, &lines) != 0) return std::nullopt;
    const bool cts = lines & TIOCM_CTS;
    const bool dsr = lines & TIOCM_DSR;
    if (!cts && !dsr) return kNotConnected;
    return cts ? 0 : kBusy;
  }

 private:
  bool hardware_flow_;
};

std::string SerialNode(const std::string& port) {
  if (port.starts_with('/')) return port;
  return linux_ports::PortDeviceNode(
      port, linux_discovery::ListPortDevices(linux_discovery::SystemUdevSource()));
}

}  // namespace

DeviceOpenResult OpenSerialPort(const std::string& port, const SerialLine& line) {
  const std::string node = SerialNode(port);
  if (node.empty()) return DeviceOpenResult::Refused(OpenRefusal::kNoSuchPort);
  // Non-blocking so that neither the modem lines nor a stopped printer make anything wait; a
  // terminal never becomes the controlling one.
  const int opened = ::open(node.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (opened < 0) return DeviceOpenResult::Failed(errno);
  UniqueFd fd(opened);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return DeviceOpenResult::Failed(errno);
  if (!S_ISCHR(st.st_mode) || !::isatty(fd.get()))
    return DeviceOpenResult::Refused(OpenRefusal::kNotADevice);
  // The same lock as the port probe and the printer port take.
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
    return DeviceOpenResult::Failed(errno == EWOULDBLOCK ? EBUSY : errno);

  termios tio{};
  if (::tcgetattr(fd.get(), &tio) != 0) return DeviceOpenResult::Failed(errno);
  if (!ConfigureTermios(tio, line)) return DeviceOpenResult::Failed(EINVAL);
  if (::tcsetattr(fd.get(), TCSANOW, &tio) != 0) return DeviceOpenResult::Failed(errno);
  // tcsetattr succeeds when any of the settings took; the speed is the one a driver may refuse.
  termios applied{};
  if (::tcgetattr(fd.get(), &applied) != 0) return DeviceOpenResult::Failed(errno);
  if (cfgetospeed(&applied) != cfgetospeed(&tio)) return DeviceOpenResult::Failed(EINVAL);
  return DeviceOpenResult::Opened(
      std::make_unique<SerialDevice>(fd.release(), line.flow == SerialFlowControl::kHardware));
}

}  // namespace pirell::platform::linux_devices
