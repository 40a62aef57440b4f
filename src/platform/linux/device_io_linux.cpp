#include "platform/linux/device_io_linux.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/lp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>
#include <utility>

#include "platform/device_io.h"
#include "platform/files.h"

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

bool UnderDev(const std::filesystem::path& path) {
  const std::string text = path.generic_string();
  return text == "/dev" || text.starts_with("/dev/");
}

}  // namespace

DeviceTarget ResolveDeviceName(std::string_view name) {
  if (name.size() > 3) {
    const std::string_view prefix = name.substr(0, 3);
    const std::string_view digits = name.substr(3);
    const bool lpt = (prefix[0] == 'L' || prefix[0] == 'l') &&
                     (prefix[1] == 'P' || prefix[1] == 'p') &&
                     (prefix[2] == 'T' || prefix[2] == 't');
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (lpt && ec == std::errc() && end == digits.data() + digits.size() && number >= 1) {
      return {"/dev/lp" + std::to_string(number - 1), true};
    }
  }
  if (name.empty()) return {};

  // A path that leads into /dev, by its letters or through links, is a device node.
  std::error_code ec;
  const std::filesystem::path given(name);
  const std::filesystem::path absolute = std::filesystem::absolute(given, ec).lexically_normal();
  bool device_node = !ec && UnderDev(absolute);
  if (!device_node) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(given, ec);
    device_node = !ec && UnderDev(resolved);
  }
  return {std::string(name), device_node};
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

}  // namespace linux_devices

namespace {

using linux_devices::DeviceTarget;

// How long a write may wait for the device until SetWriteTimeout says otherwise.
constexpr std::uint32_t kDefaultWriteTimeoutMs = 20000;
// Retry step for a device that says it is ready and then refuses the bytes.
constexpr std::uint32_t kRefusedRetryMs = 10;

std::uint64_t MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

void SleepMs(std::uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

// Owns a file descriptor until released.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

class LinuxDevice : public Device {
 public:
  LinuxDevice(int fd, bool regular_file, bool answers_status, bool usb_printer)
      : fd_(fd),
        regular_file_(regular_file),
        answers_status_(answers_status),
        usb_printer_(usb_printer) {}
  ~LinuxDevice() override { ::close(fd_); }
  LinuxDevice(const LinuxDevice&) = delete;
  LinuxDevice& operator=(const LinuxDevice&) = delete;

  // The device is non-blocking: a write takes what the device accepts now, waiting for it to
  // become writable up to the write timeout, so a stalled printer never holds the thread longer.
  DeviceWriteResult Write(std::string_view bytes) override {
    if (bytes.empty()) return {};
    const std::uint64_t deadline = MonotonicMs() + write_timeout_ms_;
    bool ready_but_refused = false;
    for (;;) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n >= 0) return {true, static_cast<std::size_t>(n), 0};
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return {false, 0, errno};
      const std::uint64_t now = MonotonicMs();
      if (now >= deadline) return {};
      const auto remaining = static_cast<std::uint32_t>(deadline - now);
      if (ready_but_refused) {
        // Drivers without a poll operation always look writable.
        SleepMs(std::min(remaining, kRefusedRetryMs));
        continue;
      }
      pollfd waiting{fd_, POLLOUT, 0};
      const int ready = ::poll(&waiting, 1, static_cast<int>(remaining));
      if (ready < 0 && errno != EINTR) return {false, 0, errno};
      ready_but_refused = ready > 0;
    }
  }

  std::optional<std::uint8_t> Status() override {
    if (!answers_status_) return std::nullopt;
    int lp_status = 0;
    if (::ioctl(fd_, LPGETSTATUS, &lp_status) != 0) return std::nullopt;
    return linux_devices::ParallelStatusFromLp(lp_status, usb_printer_);
  }

  bool SetWriteTimeout(std::uint32_t ms) override {
    write_timeout_ms_ = ms;
    return true;
  }

  // The printer drivers keep no buffer that a flush could push. A capture file holds the bytes
  // as soon as they are written; syncing it to disk after every label would make a long job
  // wait on the disk instead of the driver.
  bool Flush() override { return regular_file_; }

 private:
  int fd_;
  bool regular_file_;
  bool answers_status_;
  bool usb_printer_;
  std::uint32_t write_timeout_ms_ = kDefaultWriteTimeoutMs;
};

class LinuxDeviceIo : public DeviceIo {
 public:
  DeviceOpenResult Open(const std::string& name, DeviceOpenMode mode) override {
    const DeviceTarget target = linux_devices::ResolveDeviceName(name);
    if (target.path.empty()) return {nullptr, ENOENT};

    // Opening never waits for the printer (O_NONBLOCK also keeps lp from refusing a printer
    // that is out of paper at open time); a terminal never becomes the controlling one.
    const int common = O_NOCTTY | O_CLOEXEC | O_NONBLOCK | (target.device_node ? 0 : O_CREAT);
    int opened = ::open(target.path.c_str(), O_RDWR | common, 0644);
    if (opened < 0 && (errno == EACCES || errno == EROFS)) {
      // Printer nodes are often writable only.
      opened = ::open(target.path.c_str(), O_WRONLY | common, 0644);
    }
    if (opened < 0) return {nullptr, errno};
    UniqueFd fd(opened);

    // Another opener of the same device: exclusive excludes everybody, shared excludes only an
    // exclusive holder.
    const int lock = mode == DeviceOpenMode::kExclusive ? LOCK_EX : LOCK_SH;
    if (::flock(fd.get(), lock | LOCK_NB) != 0)
      return {nullptr, errno == EWOULDBLOCK ? EBUSY : errno};

    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return {nullptr, errno};
    const bool regular_file = S_ISREG(st.st_mode);
    // Emptied only once the lock is held, so a busy capture file keeps its contents.
    if (!target.device_node && regular_file && ::ftruncate(fd.get(), 0) != 0)
      return {nullptr, errno};

    // LPGETSTATUS is an old-style ioctl number that other drivers may read differently: only
    // the two printer drivers are asked.
    bool answers_status = false;
    bool usb_printer = false;
    if (S_ISCHR(st.st_mode)) {
      const unsigned dev_major = major(st.st_rdev);
      usb_printer = dev_major == linux_devices::kUsbMajor &&
                    minor(st.st_rdev) < linux_devices::kUsbPrinterMinors;
      answers_status = usb_printer || dev_major == linux_devices::kParallelPrinterMajor;
    }
    return {std::make_unique<LinuxDevice>(fd.release(), regular_file, answers_status, usb_printer),
            0};
  }

  std::string ErrorMessage(int code) override { return SystemErrorMessage(code); }
};

}  // namespace

DeviceIo& SystemDeviceIo() {
  static LinuxDeviceIo io;
  return io;
}

}  // namespace pirell::platform
