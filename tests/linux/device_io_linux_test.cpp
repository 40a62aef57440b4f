// The Linux device layer through the port manager, grouped by port type: USB and parallel
// printer nodes, files standing in for a printer, serial lines (a pseudo-terminal plays the
// printer).

#include <errno.h>
#include <fcntl.h>
#include <linux/lp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using platform::linux_devices::DevicePath;
using platform::linux_devices::ParallelStatusFromLp;
using testing::PseudoTerminal;
using testing::TempDir;

std::string FileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

// A port manager of one type and name.
struct Port {
  Port(TPortType type, const std::string& name) {
    manager.SetPortType(type);
    manager.SetPortName(name);
  }
  // Opens, writes the job and closes, as a print job does: the first failing code.
  ResultCode Print(const std::string& job) {
    ResultCode code = manager.OpenPort();
    if (code == rc::Ok) code = manager.WriteToPort(job);
    const ResultCode closed = manager.ClosePort();
    return code != rc::Ok ? code : closed;
  }
  // Opens and closes at once, as enabling and the health check do.
  ResultCode Check() {
    const ResultCode code = manager.OpenPort();
    manager.ClosePort();
    return code;
  }
  const std::string& Detail() const { return manager.LastErrorDescription(); }
  TPortManager manager;
};

// Runs in a fresh folder as the current folder, so that a relative name that became a file
// would show up there.
class InFreshFolder {
 public:
  InFreshFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder_.path());
  }
  ~InFreshFolder() { std::filesystem::current_path(previous_); }
  bool Empty() const { return std::filesystem::is_empty(folder_.path()); }

 private:
  TempDir folder_;
  std::filesystem::path previous_;
};

const std::string kJob("N\r\nA10,10,0,1,1,1,N,\"\xD6\xE5\xED\xE0\"\r\nP1\r\n");

TEST(LinuxDeviceNamesTest, ParallelPortsAreTheirPrinterNodes) {
  EXPECT_EQ(DevicePath("LPT1"), "/dev/lp0");
  EXPECT_EQ(DevicePath("lpt3"), "/dev/lp2");
  EXPECT_EQ(DevicePath("LPT12"), "/dev/lp11");
  // Not a port number: the name itself, which the parallel port refuses before opening.
  EXPECT_EQ(DevicePath("LPT0"), "LPT0");
  EXPECT_EQ(DevicePath("LPT1x"), "LPT1x");
  EXPECT_EQ(DevicePath("/dev/usb/lp0"), "/dev/usb/lp0");
  EXPECT_EQ(DevicePath(""), "");
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

// ---- USB and parallel ports: device nodes only -----------------------------------------------

TEST(LinuxPortManagerTest, WritesAJobToATerminalDevice) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  Port usb(TPortType::ptUSB, terminal.device());
  ASSERT_EQ(usb.Print(kJob), rc::Ok) << usb.Detail();
  EXPECT_EQ(terminal.Received(), kJob);
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
    Port port(type, missing);
    EXPECT_EQ(port.Check(), rc::PortUnavailable);
    EXPECT_EQ(port.Detail(), platform::SystemErrorMessage(ENOENT));
    EXPECT_FALSE(Exists(missing));
    // Clean up after a failure.
    std::error_code ignored;
    std::filesystem::remove(missing, ignored);
  }
}

// A USB or parallel name that is a file, a FIFO or a relative name is no printer: refused, and
// neither created nor emptied.
TEST(LinuxPortManagerTest, NamesThatAreNoDeviceAreRefusedAndLeftAlone) {
  TempDir folder;
  const std::string file = folder.File("job.prn");
  WriteFile(file, "kept");
  const std::string fifo = folder.File("printer.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  for (TPortType type : {TPortType::ptUSB, TPortType::ptLPT}) {
    for (const std::string& name : {file, fifo}) {
      Port port(type, name);
      EXPECT_EQ(port.Print(kJob), rc::PortUnavailable) << name;
      EXPECT_EQ(port.Detail(), "Это не устройство принтера: " + name);
    }
  }
  EXPECT_EQ(FileContent(file), "kept");
  char buffer[8];
  EXPECT_LE(read(reader, buffer, sizeof buffer), 0);
  close(reader);

  InFreshFolder current;
  for (const char* name : {"LPT-1", "LPT0", "LPTx", "printer"}) {
    Port parallel(TPortType::ptLPT, name);
    EXPECT_EQ(parallel.Check(), rc::PortUnavailable) << name;
    EXPECT_EQ(parallel.Detail(), std::string("Неверное имя параллельного порта (нужно LPT1, "
                                             "LPT2...): ") +
                                     name);
    Port usb(TPortType::ptUSB, name);
    EXPECT_EQ(usb.Print(kJob), rc::PortUnavailable) << name;
    EXPECT_EQ(usb.Detail(), platform::SystemErrorMessage(ENOENT));
  }
  EXPECT_TRUE(current.Empty());
}

// ---- File: every job appended, nothing else touched ------------------------------------------

TEST(LinuxFilePortTest, JobsAreAppendedAndChecksLeaveTheFileAsItIs) {
  TempDir folder;
  const std::string capture = folder.File("capture.prn");
  Port file(TPortType::ptFile, capture);
  // Created when missing, in an existing folder.
  ASSERT_EQ(file.Print("first job;"), rc::Ok) << file.Detail();
  EXPECT_EQ(FileContent(capture), "first job;");
  // Enabling and the health check open and close the port: the file keeps every job.
  EXPECT_EQ(file.Check(), rc::Ok);
  EXPECT_EQ(FileContent(capture), "first job;");
  ASSERT_EQ(file.Print("second job"), rc::Ok);
  EXPECT_EQ(FileContent(capture), "first job;second job");
  EXPECT_EQ(file.manager.LastErrorDescription(), "");
}

TEST(LinuxFilePortTest, BusyMissingFolderAndRelativePathAreRefused) {
  TempDir folder;
  const std::string capture = folder.File("job.prn");
  Port holder(TPortType::ptFile, capture);
  ASSERT_EQ(holder.manager.OpenPort(), rc::Ok);
  ASSERT_EQ(holder.manager.WriteToPort("in progress"), rc::Ok);
  Port intruder(TPortType::ptFile, capture);
  EXPECT_EQ(intruder.Print("intruder"), rc::PortUnavailable);
  EXPECT_EQ(intruder.Detail(), platform::SystemErrorMessage(EBUSY));
  holder.manager.ClosePort();
  EXPECT_EQ(FileContent(capture), "in progress");

  Port nowhere(TPortType::ptFile, folder.File("no-such-folder/job.prn"));
  EXPECT_EQ(nowhere.Check(), rc::PortUnavailable);
  EXPECT_EQ(nowhere.Detail(), platform::SystemErrorMessage(ENOENT));

  InFreshFolder current;
  Port relative(TPortType::ptFile, "job.prn");
  EXPECT_EQ(relative.Print(kJob), rc::PortUnavailable);
  EXPECT_EQ(relative.Detail(), "Нужен полный путь к файлу: job.prn");
  EXPECT_TRUE(current.Empty());
}

// Nothing is ever created in /dev: not by its name, not through ".." and not through a link to
// it or into it, dangling or not.
TEST(LinuxFilePortTest, LinksAndTheDeviceFolderAreRefused) {
  TempDir folder;
  const std::string in_dev = "/dev/pirell-capture-" + std::to_string(getpid());
  std::filesystem::create_symlink("/dev", folder.File("devices"));
  std::filesystem::create_symlink(in_dev, folder.File("dangling-into-dev"));
  std::filesystem::create_symlink(folder.File("elsewhere"), folder.File("dangling"));
  std::filesystem::create_symlink("/dev/null", folder.File("null"));
  WriteFile(folder.File("target"), "kept");
  std::filesystem::create_symlink(folder.File("target"), folder.File("link-to-file"));

  const std::string device_folder = "Файл вывода не может быть в папке устройств /dev: ";
  const std::string link = "Файл вывода не может быть символической ссылкой: ";
  const struct {
    std::string path;
    std::string detail;
  } cases[] = {
      {in_dev, device_folder + in_dev},
      {"/tmp/../dev/" + in_dev.substr(5), device_folder + "/tmp/../dev/" + in_dev.substr(5)},
      {folder.File("devices") + in_dev.substr(4),
       device_folder + folder.File("devices") + in_dev.substr(4)},
      {"/dev/null", device_folder + "/dev/null"},
      {folder.File("dangling-into-dev"), link + folder.File("dangling-into-dev")},
      {folder.File("dangling"), link + folder.File("dangling")},
      {folder.File("null"), link + folder.File("null")},
      {folder.File("link-to-file"), link + folder.File("link-to-file")},
  };
  for (const auto& [path, detail] : cases) {
    Port file(TPortType::ptFile, path);
    EXPECT_EQ(file.Print(kJob), rc::PortUnavailable) << path;
    EXPECT_EQ(file.Detail(), detail);
  }
  EXPECT_FALSE(Exists(in_dev));
  EXPECT_FALSE(Exists(folder.File("elsewhere")));
  EXPECT_EQ(FileContent(folder.File("target")), "kept");
  std::error_code ignored;
  std::filesystem::remove(in_dev, ignored);
}

TEST(LinuxFilePortTest, FifosSocketsAndFoldersAreRefused) {
  TempDir folder;
  const std::string fifo = folder.File("printer.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Nobody reads the FIFO: an open for writing would fail on its own, a blocking one would
  // hang; it is never opened.
  const std::string socket_path = folder.File("printer.socket");
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  socket_path.copy(address.sun_path, socket_path.size());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  for (const std::string& path : {fifo, socket_path, folder.path()}) {
    Port file(TPortType::ptFile, path);
    EXPECT_EQ(file.Print(kJob), rc::PortUnavailable) << path;
    EXPECT_EQ(file.Detail(), "Это не обычный файл (устройство, канал, сокет или папка): " + path);
  }
  close(listener);
}

// ---- Serial lines: a pseudo-terminal stands in for the printer -------------------------------

TEST(LinuxSerialPortTest, WritesTheJobWithTheLineSettingsOfTheName) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  // A pseudo-terminal keeps the speed, the stop bits and the flow control it is given; it always
  // has 8 data bits and no parity (ConfigureTermios below shows those).
  Port serial(TPortType::ptCOM, terminal.device() + ":19200,e,7,2");
  ASSERT_EQ(serial.manager.OpenPort(), rc::Ok) << serial.Detail();
  const termios line = terminal.Line();
  EXPECT_EQ(cfgetospeed(&line), B19200);
  EXPECT_TRUE(line.c_cflag & CSTOPB);
  EXPECT_TRUE(line.c_cflag & CRTSCTS);
  EXPECT_FALSE(line.c_iflag & IXON);
  // The bytes go out exactly as written.
  EXPECT_FALSE(line.c_oflag & OPOST);
  ASSERT_EQ(serial.manager.WriteToPort(kJob), rc::Ok);
  EXPECT_EQ(serial.manager.ClosePort(), rc::Ok);
  EXPECT_EQ(terminal.Received(), kJob);
}

TEST(LinuxSerialPortTest, DefaultsAndFlowControlChoices) {
  PseudoTerminal terminal;
  ASSERT_FALSE(terminal.device().empty());
  const struct {
    std::string suffix;
    bool hardware;
    bool xon_xoff;
  } cases[] = {{"", true, false}, {":9600,N,8,1,X", false, true}, {":9600,N,8,1,N", false, false}};
  for (const auto& [suffix, hardware, xon_xoff] : cases) {
    Port serial(TPortType::ptCOM, terminal.device() + suffix);
    ASSERT_EQ(serial.manager.OpenPort(), rc::Ok) << suffix << ": " << serial.Detail();
    const termios line = terminal.Line();
    EXPECT_EQ(cfgetospeed(&line), B9600) << suffix;
    EXPECT_FALSE(line.c_cflag & CSTOPB) << suffix;
    EXPECT_EQ((line.c_cflag & CRTSCTS) != 0, hardware) << suffix;
    EXPECT_EQ((line.c_iflag & IXON) != 0, xon_xoff) << suffix;
    serial.manager.ClosePort();
  }
}

TEST(LinuxSerialPortTest, ParityAndDataBitsBecomeTermiosFlags) {
  using platform::SerialParity;
  const struct {
    SerialParity parity;
    int data_bits;
    tcflag_t expected;
  } cases[] = {
      {SerialParity::kNone, 8, CS8},
      {SerialParity::kEven, 7, CS7 | PARENB},
      {SerialParity::kOdd, 8, CS8 | PARENB | PARODD},
      {SerialParity::kMark, 7, CS7 | PARENB | PARODD | CMSPAR},
      {SerialParity::kSpace, 8, CS8 | PARENB | CMSPAR},
  };
  for (const auto& [parity, data_bits, expected] : cases) {
    termios line{};
    line.c_cflag = PARENB | PARODD | CMSPAR | CS5;
    platform::SerialLine settings;
    settings.parity = parity;
    settings.data_bits = data_bits;
    settings.baud = 4800;
    ASSERT_TRUE(platform::linux_devices::ConfigureTermios(line, settings));
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR), expected);
    EXPECT_TRUE(line.c_cflag & CLOCAL);
    EXPECT_EQ(cfgetospeed(&line), B4800);
  }
  termios line{};
  platform::SerialLine unsupported;
  unsupported.baud = 14400;
  EXPECT_FALSE(platform::linux_devices::ConfigureTermios(line, unsupported));
}

TEST(LinuxSerialPortTest, MalformedNamesAndMissingPortsAreRefused) {
  InFreshFolder current;
  const std::string bad = "Неверное имя последовательного порта (нужно COM1 или COM1:9600,N,8,1)";
  for (const char* name : {"", "COM0", "COM", "ttyS0", "COM1:9601", "COM1:9600,Q", "COM1:9600,N,9",
                           "COM1:9600,N,8,3", "COM1:9600,N,8,1,Z", "COM1:9600,N,8,1,N,1"}) {
    Port serial(TPortType::ptCOM, name);
    EXPECT_EQ(serial.Print(kJob), rc::PortUnavailable) << name;
    EXPECT_EQ(serial.Detail(), *name ? bad + ": " + name : bad);
  }
  Port absent(TPortType::ptCOM, "COM250");
  EXPECT_EQ(absent.Check(), rc::PortUnavailable);
  EXPECT_EQ(absent.Detail(), "Нет такого последовательного порта: COM250");
  const std::string missing = "/dev/pirell-missing-serial-" + std::to_string(getpid());
  Port gone(TPortType::ptCOM, missing + ":9600");
  EXPECT_EQ(gone.Check(), rc::PortUnavailable);
  EXPECT_EQ(gone.Detail(), platform::SystemErrorMessage(ENOENT));
  EXPECT_FALSE(Exists(missing));
  EXPECT_TRUE(current.Empty());
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
  // The pseudo-terminal passes bytes on to its reader side in the background, so a second write
  // may find some room again; it too takes only what fits.
  const platform::DeviceWriteResult second = opened.device->Write(big);
  EXPECT_TRUE(second.ok);
  EXPECT_LT(second.written, big.size());
  const std::size_t taken = first.written + second.written;
  std::string received;
  for (int attempt = 0; attempt < 20 && received.size() < taken; ++attempt)
    received += terminal.Received(100);
  EXPECT_EQ(received.size(), taken);
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
