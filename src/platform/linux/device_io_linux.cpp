#include "platform/linux/device_io_linux.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/lp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <charconv>
#include <memory>

#include "platform/files.h"
#include "platform/linux/fd_device.h"
#include "platform/linux/print_queue_cups.h"

namespace pirell::platform {
namespace linux_devices {
namespace {

// Character device majors of the two printer drivers that answer LPGETSTATUS.
constexpr unsigned kParallelPrinterMajor = 6;  // lp
constexpr unsigned kUsbMajor = 180;            // usbmisc; usblp holds minors 0..15
constexpr unsigned kUsbPrinterMinors = 16;

// The status bits the printer port tests.
constexpr std::uint8_t kPaperEmpty = 0x04;
constexpr std::uint8_t kOffLine = 0x08;
constexpr std::uint8_t kBusy = 0x40;

// A printer device node; the two printer drivers also report the printer's status lines.
class PrinterNode : public FdDevice {
 public:
  PrinterNode(int fd, bool answers_status, bool usb_printer)
      : FdDevice(fd, FdKind::kDevice), answers_status_(answers_status), usb_printer_(usb_printer) {}

  std::optional<std::uint8_t> Status() override {
    if (!answers_status_) return std::nullopt;
    int lp_status = 0;
    if (::ioctl(fd(), LPGETSTATUS, &lp_status) != 0) return std::nullopt;
    return ParallelStatusFromLp(lp_status, usb_printer_);
  }

 private:
  bool answers_status_;
  bool usb_printer_;
};

}  // namespace

std::string DevicePath(std::string_view name) {
  if (name.size() > 3) {
    const std::string_view prefix = name.substr(0, 3);
    const std::string_view digits = name.substr(3);
    const bool lpt = (prefix[0] == 'L' || prefix[0] == 'l') &&
                     (prefix[1] == 'P' || prefix[1] == 'p') &&
                     (prefix[2] == 'T' || prefix[2] == 't');
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (lpt && ec == std::errc() && end == digits.data() + digits.size() && number >= 1) {
      return "/dev/lp" + std::to_string(number - 1);
    }
  }
  return std::string(name);
}

// lp and usblp both answer with the printer's status lines (lp.h):
//   LP_POUTPA  set   -> paper empty. A printer out of paper usually also drops SELECT, raises
//                       ERROR and BUSY; those follow from the paper and are not reported, so the
//                       user learns about the paper.
//   LP_PSELECD clear -> off line.
//   LP_PERRORP clear -> off line: the line is active low; the printer reports an error and is
//                       not ready.
//   LP_PBUSY   clear -> busy: lp inverts the line, so a set bit means ready. The USB printer
//                       class defines no busy bit (usblp leaves it 0), so USB printers never
//                       report busy.
// Power off and not connected have no line of their own; such printers read as off line, which
// gives the same "not ready" answer as power off.
std::uint8_t ParallelStatusFromLp(int lp_status, bool usb_printer) {
  if (lp_status & LP_POUTPA) return kPaperEmpty;
  std::uint8_t status = 0;
  if (!(lp_status & LP_PSELECD) || !(lp_status & LP_PERRORP)) status |= kOffLine;
  if (!usb_printer && !(lp_status & LP_PBUSY)) status |= kBusy;
  return status;
}

namespace {

// Opens a printer device node and nothing else: no name ever creates a file.
DeviceOpenResult OpenPrinterNode(const std::string& name, DeviceOpenMode mode) {
  const std::string path = DevicePath(name);
  if (path.empty()) return DeviceOpenResult::Failed(ENOENT);

  // Opening never waits for the printer (O_NONBLOCK also keeps lp from refusing a printer
  // that is out of paper at open time); a terminal never becomes the controlling one.
  const int common = O_NOCTTY | O_CLOEXEC | O_NONBLOCK;
  int opened = ::open(path.c_str(), O_RDWR | common);
  if (opened < 0 && (errno == EACCES || errno == EROFS)) {
    // Printer nodes are often writable only.
    opened = ::open(path.c_str(), O_WRONLY | common);
  }
  if (opened < 0) return DeviceOpenResult::Failed(errno);
  UniqueFd fd(opened);

  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return DeviceOpenResult::Failed(errno);
  if (!S_ISCHR(st.st_mode)) return DeviceOpenResult::Refused(OpenRefusal::kNotADevice);

  // Another opener of the same device: exclusive excludes everybody, shared excludes only an
  // exclusive holder.
  const int lock = mode == DeviceOpenMode::kExclusive ? LOCK_EX : LOCK_SH;
  if (::flock(fd.get(), lock | LOCK_NB) != 0)
    return DeviceOpenResult::Failed(errno == EWOULDBLOCK ? EBUSY : errno);

  // LPGETSTATUS is an old-style ioctl number that other drivers may read differently: only
  // the two printer drivers are asked.
  const unsigned dev_major = major(st.st_rdev);
  const bool usb_printer = dev_major == kUsbMajor && minor(st.st_rdev) < kUsbPrinterMinors;
  const bool answers_status = usb_printer || dev_major == kParallelPrinterMajor;
  return DeviceOpenResult::Opened(
      std::make_unique<PrinterNode>(fd.release(), answers_status, usb_printer));
}

class LinuxDeviceIo : public DeviceIo {
 public:
  DeviceOpenResult Open(const std::string& name, DeviceOpenMode mode) override {
    return OpenPrinterNode(name, mode);
  }
  DeviceOpenResult OpenSerial(const std::string& port, const SerialLine& line) override {
    return OpenSerialPort(port, line);
  }
  DeviceOpenResult Connect(const std::string& host, std::uint16_t port,
                           std::uint32_t timeout_ms) override {
    return ConnectTcp(host, port, timeout_ms);
  }
  DeviceOpenResult OpenFile(const std::string& path) override { return OpenAppendFile(path); }
  PrintQueueOpenResult OpenPrintQueue(const std::string& name) override {
    return linux_cups::OpenQueue(name);
  }
  std::string ErrorMessage(int code) override { return SystemErrorMessage(code); }
};

}  // namespace
}  // namespace linux_devices

DeviceIo& SystemDeviceIo() {
  static linux_devices::LinuxDeviceIo io;
  return io;
}

}  // namespace pirell::platform
