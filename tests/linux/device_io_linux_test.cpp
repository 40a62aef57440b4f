#include <errno.h>
#include <fcntl.h>
#include <linux/lp.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/device_io.h"
#include "platform/files.h"
#include "platform/linux/device_io_linux.h"
#include "ports/port_manager.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using platform::linux_devices::ParallelStatusFromLp;
using platform::linux_devices::ResolveDeviceName;
using testing::TempDir;

// A pseudo-terminal in raw mode: the driver writes to its device node, the test reads what
// arrived on the other side.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    termios raw{};
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);
    device_ = ptsname(master_);
  }
  ~PseudoTerminal() {
    if (master_ >= 0) close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& device() const { return device_; }
  // Everything that has arrived so far.
  std::string Received() {
    std::string bytes;
    char buffer[4096];
    pollfd ready{master_, POLLIN, 0};
    while (poll(&ready, 1, 0) > 0) {
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
  }

 private:
  int master_ = -1;
  std::string device_;
};

std::string FileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(LinuxDeviceNamesTest, ParallelPortsAreTheirPrinterNodes) {
  EXPECT_EQ(ResolveDeviceName("LPT1").path, "/dev/lp0");
  EXPECT_TRUE(ResolveDeviceName("LPT1").device_node);
  EXPECT_EQ(ResolveDeviceName("lpt3").path, "/dev/lp2");
  EXPECT_EQ(ResolveDeviceName("LPT12").path, "/dev/lp11");
  // Not a port number: just a name.
  EXPECT_EQ(ResolveDeviceName("LPT0").path, "LPT0");
  EXPECT_EQ(ResolveDeviceName("LPT1x").path, "LPT1x");
  EXPECT_EQ(ResolveDeviceName("LPT").path, "LPT");
}

TEST(LinuxDeviceNamesTest, PathsIntoDevAreDevicesEvenThroughLinks) {
  TempDir folder;
  EXPECT_TRUE(ResolveDeviceName("/dev/usb/lp0").device_node);
  EXPECT_TRUE(ResolveDeviceName("/tmp/../dev/usb/lp0").device_node);
  std::filesystem::create_symlink("/dev", folder.File("devices"));
  EXPECT_TRUE(ResolveDeviceName(folder.File("devices") + "/usb/lp7").device_node);
  // Everything else stands in for a printer.
  EXPECT_FALSE(ResolveDeviceName(folder.File("job.prn")).device_node);
  EXPECT_FALSE(ResolveDeviceName("job.prn").device_node);
  EXPECT_FALSE(ResolveDeviceName("/device/lp0").device_node);
  EXPECT_EQ(ResolveDeviceName("").path, "");
}

TEST(LinuxPrinterStatusTest, ParallelLinesMapToTheTestedBits) {
  const int ready = LP_PBUSY | LP_PSELECD | LP_PERRORP;
  EXPECT_EQ(ParallelStatusFromLp(ready, false), 0x00);
  EXPECT_EQ(ParallelStatusFromLp(ready | LP_PACK, false), 0x00);
  EXPECT_EQ(ParallelStatusFromLp(ready & ~LP_PBUSY, false), 0x40);
  EXPECT_EQ(ParallelStatusFromLp(ready & ~LP_PSELECD, false), 0x08);
  EXPECT_EQ(ParallelStatusFromLp(ready & ~LP_PERRORP, false), 0x08);
  EXPECT_EQ(ParallelStatusFromLp((ready & ~LP_PSELECD) & ~LP_PBUSY, false), 0x48);
  // Out of paper the printer also drops SELECT and raises ERROR and BUSY: only the paper counts.
  EXPECT_EQ(ParallelStatusFromLp(LP_POUTPA, false), 0x04);
  EXPECT_EQ(ParallelStatusFromLp(ready | LP_POUTPA, false), 0x04);
}

TEST(LinuxPrinterStatusTest, UsbPrintersHaveNoBusyLine) {
  const int ready = LP_PSELECD | LP_PERRORP;
  EXPECT_EQ(ParallelStatusFromLp(ready, true), 0x00);
  EXPECT_EQ(ParallelStatusFromLp(LP_PERRORP, true), 0x08);
  EXPECT_EQ(ParallelStatusFromLp(LP_PSELECD, true), 0x08);
  EXPECT_EQ(ParallelStatusFromLp(LP_POUTPA | LP_PERRORP, true), 0x04);
}

TEST(LinuxPortManagerTest, WritesAJobToATerminalDevice) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  TPortManager manager;
  manager.SetPortType(TPortType::ptUSB);
  manager.SetPortName(terminal.device());
  ASSERT_EQ(manager.OpenPort(), rc::Ok) << manager.LastErrorDescription();
  const std::string job("N\r\nA10,10,0,1,1,1,N,\"\xD6\xE5\xED\xE0\"\r\nP1\r\n");
  EXPECT_EQ(manager.WriteToPort(job), rc::Ok);
  manager.FlushBuffer();
  manager.ClosePort();
  EXPECT_EQ(terminal.Received(), job);
}

TEST(LinuxPortManagerTest, ExclusivePortCannotBeOpenedTwice) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  TPortManager first;
  TPortManager second;
  for (TPortManager* manager : {&first, &second}) {
    manager->SetPortType(TPortType::ptLPT);
    manager->SetPortName(terminal.device());
  }
  ASSERT_EQ(first.OpenPort(), rc::Ok);
  EXPECT_EQ(second.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(second.LastErrorDescription(), platform::SystemErrorMessage(EBUSY));
  // A shared opener is kept out too.
  second.SetPortType(TPortType::ptUSB);
  EXPECT_EQ(second.OpenPort(), rc::PortUnavailable);
  first.ClosePort();
  second.SetPortType(TPortType::ptLPT);
  EXPECT_EQ(second.OpenPort(), rc::Ok);
}

TEST(LinuxPortManagerTest, SharedOpenersMayMeet) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  TPortManager first;
  TPortManager second;
  first.SetPortName(terminal.device());
  second.SetPortName(terminal.device());
  ASSERT_EQ(first.OpenPort(), rc::Ok);
  EXPECT_EQ(second.OpenPort(), rc::Ok);
  // But nobody gets it exclusively meanwhile.
  second.SetPortType(TPortType::ptLPT);
  EXPECT_EQ(second.OpenPort(), rc::PortUnavailable);
}

TEST(LinuxPortManagerTest, MissingDeviceIsRefusedAndNotCreated) {
  const std::string missing = "/dev/pirell-missing-printer-" + std::to_string(getpid());
  for (TPortType type : {TPortType::ptUSB, TPortType::ptLPT}) {
    TPortManager manager;
    manager.SetPortType(type);
    manager.SetPortName(missing);
    EXPECT_EQ(manager.OpenPort(), rc::PortUnavailable);
    EXPECT_EQ(manager.LastErrorDescription(), platform::SystemErrorMessage(ENOENT));
    EXPECT_FALSE(std::filesystem::exists(missing));
    // Clean up after a failure.
    std::error_code ignored;
    std::filesystem::remove(missing, ignored);
  }
}

TEST(LinuxPortManagerTest, CaptureFileIsCreatedAndEmptiedAtEachOpen) {
  TempDir folder;
  const std::string capture = folder.File("job.prn");
  TPortManager manager;
  manager.SetPortName(capture);
  ASSERT_EQ(manager.OpenPort(), rc::Ok) << manager.LastErrorDescription();
  EXPECT_EQ(manager.WriteToPort("first job"), rc::Ok);
  manager.ClosePort();
  EXPECT_EQ(FileContent(capture), "first job");

  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(FileContent(capture), "");
  EXPECT_EQ(manager.WriteToPort("2nd"), rc::Ok);
  manager.ClosePort();
  EXPECT_EQ(FileContent(capture), "2nd");
}

TEST(LinuxPortManagerTest, BusyCaptureFileKeepsItsContent) {
  TempDir folder;
  const std::string capture = folder.File("job.prn");
  TPortManager holder;
  holder.SetPortType(TPortType::ptLPT);
  holder.SetPortName(capture);
  ASSERT_EQ(holder.OpenPort(), rc::Ok);
  ASSERT_EQ(holder.WriteToPort("in progress"), rc::Ok);
  TPortManager intruder;
  intruder.SetPortName(capture);
  EXPECT_EQ(intruder.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(FileContent(capture), "in progress");
}

TEST(LinuxPortManagerTest, CaptureFileInAMissingFolderIsRefused) {
  TempDir folder;
  TPortManager manager;
  manager.SetPortName(folder.File("no-such-folder/job.prn"));
  EXPECT_EQ(manager.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(manager.LastErrorDescription(), platform::SystemErrorMessage(ENOENT));
}

TEST(LinuxPortManagerTest, WritesIntoAFifo) {
  TempDir folder;
  const std::string fifo = folder.File("printer.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  TPortManager manager;
  manager.SetPortType(TPortType::ptLPT);
  manager.SetPortName(fifo);
  ASSERT_EQ(manager.OpenPort(), rc::Ok) << manager.LastErrorDescription();
  EXPECT_EQ(manager.WriteToPort("N\r\nP1\r\n"), rc::Ok);
  manager.ClosePort();
  char buffer[64] = {};
  EXPECT_EQ(read(reader, buffer, sizeof buffer), 7);
  EXPECT_EQ(std::string(buffer, 7), "N\r\nP1\r\n");
  close(reader);
}

TEST(LinuxDeviceIoTest, FullDeviceReportsTheBytesItTook) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  platform::DeviceOpenResult opened =
      platform::SystemDeviceIo().Open(terminal.device(), platform::DeviceOpenMode::kExclusive);
  ASSERT_TRUE(opened.device) << opened.error;
  // No waiting: a device that takes nothing now gives back control at once.
  ASSERT_TRUE(opened.device->SetWriteTimeout(0));
  const std::string big(1 << 20, 'x');
  const platform::DeviceWriteResult first = opened.device->Write(big);
  EXPECT_TRUE(first.ok);
  EXPECT_GT(first.written, 0u);
  EXPECT_LT(first.written, big.size());
  const platform::DeviceWriteResult second = opened.device->Write(big);
  EXPECT_TRUE(second.ok);
  EXPECT_EQ(second.written, 0u);
  EXPECT_EQ(terminal.Received().size(), first.written);
}

TEST(LinuxDeviceIoTest, OnlyPrinterDriversAreAskedForStatus) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  platform::DeviceOpenResult opened =
      platform::SystemDeviceIo().Open(terminal.device(), platform::DeviceOpenMode::kSharedRead);
  ASSERT_TRUE(opened.device);
  EXPECT_FALSE(opened.device->Status().has_value());
  // A terminal keeps no buffer to flush.
  EXPECT_FALSE(opened.device->Flush());
}

}  // namespace
}  // namespace pirell
