// The Windows device layer through the port manager, grouped by port type: USB and parallel
// names opened as they always were, with writes bounded by the write timeout; files standing in
// for a printer; serial ports (a COM port of the Wine prefix linked to a pseudo-terminal, set up
// by tests/windows/serial_port_pty.sh); the spooler.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "device/base_device.h"
#include "platform/device_io.h"
#include "platform/files.h"
#include "platform/port_discovery.h"
#include "platform/windows/wide.h"
#include "ports/port_manager.h"
#include "support/temp_dir.h"
#include "support/test_device.h"

namespace pirell {
namespace {

using testing::TempDir;

const std::string kJob("N\r\nA10,10,0,1,1,1,N,\"\xD6\xE5\xED\xE0\"\r\nP1\r\n");

std::string FileContent(const std::string& path) {
  std::ifstream in(platform::Widen(path).c_str(), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(platform::Widen(path).c_str(), std::ios::binary) << content;
}

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
  const std::string& Detail() const { return manager.LastErrorDescription(); }
  TPortManager manager;
};

// ---- USB and parallel ports: their names open as they always did -----------------------------

// A file stands in for the printer interface: it answers no status query and no comm timeouts,
// so the port writes it as a device without status. What it held before is kept: jobs are
// added at its end.
TEST(WindowsPortManagerTest, UsbPortOpensAlwaysAndAppendsTheJob) {
  TempDir folder;
  const std::string target = folder.File("usb-printer");
  Port usb(TPortType::ptUSB, target);
  ASSERT_EQ(usb.Print(kJob), rc::Ok) << usb.Detail();
  EXPECT_EQ(FileContent(target), kJob);
  ASSERT_EQ(usb.manager.OpenPort(), rc::Ok);
  usb.manager.ClosePort();
  ASSERT_EQ(usb.Print("P2\r\n"), rc::Ok) << usb.Detail();
  EXPECT_EQ(FileContent(target), kJob + "P2\r\n");
}

TEST(WindowsPortManagerTest, ParallelPortMustExist) {
  TempDir folder;
  Port parallel(TPortType::ptLPT, folder.File("LPT9-missing"));
  EXPECT_EQ(parallel.manager.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(parallel.Detail(), platform::SystemErrorMessage(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(std::filesystem::exists(folder.File("LPT9-missing")));
}

TEST(WindowsPortManagerTest, ParallelPortIsExclusive) {
  TempDir folder;
  const std::string target = folder.File("parallel");
  WriteFile(target, "x");
  TPortManager first;
  TPortManager second;
  for (TPortManager* manager : {&first, &second}) {
    manager->SetPortType(TPortType::ptLPT);
    manager->SetPortName(target);
  }
  ASSERT_EQ(first.OpenPort(), rc::Ok) << first.LastErrorDescription();
  EXPECT_EQ(second.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(second.LastErrorDescription(), platform::SystemErrorMessage(ERROR_SHARING_VIOLATION));
  first.ClosePort();
  EXPECT_EQ(second.OpenPort(), rc::Ok);
  second.ClosePort();
  EXPECT_EQ(FileContent(target), "x");
}

// "LPT-1" (what the port page saves when no port is chosen) would otherwise reach a file of the
// current folder.
TEST(WindowsPortManagerTest, ParallelNamesThatAreNoPortAreRefused) {
  TempDir folder;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(platform::Widen(folder.path()));
  WriteFile("LPT-1", "kept");
  for (const char* name : {"LPT-1", "LPT0", "printer"}) {
    Port parallel(TPortType::ptLPT, name);
    EXPECT_EQ(parallel.Print(kJob), rc::PortUnavailable) << name;
    EXPECT_EQ(parallel.Detail(),
              std::string("Неверное имя параллельного порта (нужно LPT1, LPT2...): ") + name);
  }
  EXPECT_EQ(FileContent("LPT-1"), "kept");
  EXPECT_FALSE(std::filesystem::exists("LPT0"));
  std::filesystem::current_path(previous);
}

// A device whose driver ignores the comm timeouts (a pipe that nobody reads stands in) gives
// back control at the write timeout, and the thread's messages are served while it waits.
TEST(WindowsDeviceIoTest, WriteIsBoundedByTheTimeoutAndServesMessages) {
  const std::wstring pipe_name =
      L"\\\\.\\pipe\\pirell-printer-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeW(pipe_name.c_str(), PIPE_ACCESS_DUPLEX,
                                         PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  platform::DeviceOpenResult opened = platform::SystemDeviceIo().Open(
      platform::Narrow(pipe_name), platform::DeviceOpenMode::kSharedRead);
  ASSERT_TRUE(opened.device) << platform::SystemErrorMessage(opened.error);
  ASSERT_TRUE(opened.device->SetWriteTimeout(300));

  auto device = CreateObject<testing::TTestDevice>();
  const HWND window = reinterpret_cast<HWND>(device->DeviceHandle());
  device->messages.clear();
  ASSERT_TRUE(PostMessageW(window, WM_USER + 7, 0, 0));

  const std::string job(1 << 20, 'x');
  const auto started = std::chrono::steady_clock::now();
  const platform::DeviceWriteResult written = opened.device->Write(job);
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_TRUE(written.ok) << written.error;
  EXPECT_LT(written.written, job.size());
  EXPECT_GE(took, std::chrono::milliseconds(250));
  EXPECT_LT(took, std::chrono::seconds(10));
  ASSERT_EQ(device->messages.size(), 1u);
  EXPECT_EQ(device->messages[0].Msg, static_cast<std::uint32_t>(WM_USER + 7));
  opened.device.reset();
  CloseHandle(server);
}

// ---- File: every job appended, devices refused ------------------------------------------------

TEST(WindowsFilePortTest, JobsAreAppendedAndChecksLeaveTheFileAsItIs) {
  TempDir folder;
  const std::string capture = folder.File("capture.prn");
  WriteFile(capture, "earlier;");
  Port file(TPortType::ptFile, capture);
  ASSERT_EQ(file.manager.OpenPort(), rc::Ok) << file.Detail();
  file.manager.ClosePort();
  EXPECT_EQ(FileContent(capture), "earlier;");
  ASSERT_EQ(file.Print("first;"), rc::Ok);
  ASSERT_EQ(file.Print("second"), rc::Ok);
  EXPECT_EQ(FileContent(capture), "earlier;first;second");

  // One job at a time.
  Port holder(TPortType::ptFile, capture);
  ASSERT_EQ(holder.manager.OpenPort(), rc::Ok);
  Port intruder(TPortType::ptFile, capture);
  EXPECT_EQ(intruder.Print("intruder"), rc::PortUnavailable);
  EXPECT_EQ(intruder.Detail(), platform::SystemErrorMessage(ERROR_SHARING_VIOLATION));
  holder.manager.ClosePort();
  EXPECT_EQ(FileContent(capture), "earlier;first;second");
}

TEST(WindowsFilePortTest, DevicesFoldersAndRelativePathsAreRefused) {
  TempDir folder;
  const std::string not_a_file = "Это не обычный файл (устройство, канал, сокет или папка): ";
  for (const std::string& path : {folder.File("COM1"), folder.File("nul.txt"), folder.File("LPT2 "),
                                  std::string("\\\\.\\COM1"), folder.path()}) {
    Port file(TPortType::ptFile, path);
    EXPECT_EQ(file.Print(kJob), rc::PortUnavailable) << path;
    EXPECT_EQ(file.Detail(), not_a_file + path);
  }
  Port relative(TPortType::ptFile, "labels.prn");
  EXPECT_EQ(relative.Print(kJob), rc::PortUnavailable);
  EXPECT_EQ(relative.Detail(), "Нужен полный путь к файлу: labels.prn");
  Port nowhere(TPortType::ptFile, folder.File("missing\\labels.prn"));
  EXPECT_EQ(nowhere.Print(kJob), rc::PortUnavailable);
  EXPECT_EQ(nowhere.Detail(), platform::SystemErrorMessage(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(std::filesystem::is_empty(platform::Widen(folder.path())));
}

// ---- Serial ports ----------------------------------------------------------------------------

TEST(WindowsSerialPortTest, MissingAndMalformedPortsAreRefused) {
  Port absent(TPortType::ptCOM, "COM250");
  EXPECT_EQ(absent.manager.OpenPort(), rc::PortUnavailable);
  EXPECT_FALSE(absent.Detail().empty());
  Port path(TPortType::ptCOM, "/dev/ttyS0");
  EXPECT_EQ(path.manager.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(path.Detail(), "Нет такого последовательного порта: /dev/ttyS0");
  Port bad(TPortType::ptCOM, "COM1:9600,N,8,1,Q");
  EXPECT_EQ(bad.manager.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(bad.Detail(),
            "Неверное имя последовательного порта (нужно COM1 или COM1:9600,N,8,1): "
            "COM1:9600,N,8,1,Q");
}

// Run by serial_port_pty.sh with a COM port linked to a pseudo-terminal: the script reads the
// bytes at the other end and the line settings, and compares them with what this test wrote
// to PIRELL_TEST_SERIAL_EXPECTED.
TEST(WindowsSerialPortTest, WritesTheJobToAPortLinkedToAPseudoTerminal) {
  const char* port = std::getenv("PIRELL_TEST_SERIAL_PORT");
  const char* expected = std::getenv("PIRELL_TEST_SERIAL_EXPECTED");
  if (!port || !expected) GTEST_SKIP() << "run by serial_port_pty.sh, which links the COM port";
  Port serial(TPortType::ptCOM, std::string(port) + ":19200,N,8,2");
  ASSERT_EQ(serial.manager.OpenPort(), rc::Ok) << serial.Detail();
  ASSERT_EQ(serial.manager.WriteToPort(kJob), rc::Ok) << serial.Detail();
  ASSERT_EQ(serial.manager.WriteToPort(kJob), rc::Ok) << serial.Detail();
  EXPECT_EQ(serial.manager.ClosePort(), rc::Ok);
  WriteFile(expected, kJob + kJob);
}

// ---- Print queues of the spooler --------------------------------------------------------------

// Run by print_queue_cups.sh with a CUPS server of its own that Wine's spooler prints to; the
// server's raw queue writes each job to PIRELL_TEST_PRINT_QUEUE_OUTPUT.
TEST(WindowsPrintQueueTest, PrintsRawDataThroughTheSpooler) {
  const char* queue = std::getenv("PIRELL_TEST_PRINT_QUEUE");
  const char* output = std::getenv("PIRELL_TEST_PRINT_QUEUE_OUTPUT");
  if (!queue || !output) GTEST_SKIP() << "run by print_queue_cups.sh, which starts the server";
  bool listed = false;
  for (const platform::PrintQueueRecord& record : platform::SystemPortDiscovery().ListPrintQueues())
    listed = listed || record.name == queue;
  EXPECT_TRUE(listed) << queue;
  Port port(TPortType::ptQueue, queue);
  // Checking the queue prints nothing; the job goes out at the closing.
  ASSERT_EQ(port.manager.OpenPort(), rc::Ok) << port.Detail();
  EXPECT_EQ(port.manager.ClosePort(), rc::Ok);
  ASSERT_EQ(port.Print(kJob), rc::Ok) << port.Detail();
  for (int attempt = 0; attempt < 300 && FileContent(output).size() < kJob.size(); ++attempt)
    Sleep(50);
  EXPECT_EQ(FileContent(output), kJob);
}

TEST(WindowsPrintQueueTest, AMissingPrinterIsNotAvailable) {
  Port queue(TPortType::ptQueue, "Pirell missing printer");
  EXPECT_EQ(queue.manager.OpenPort(), rc::Unknown);
  const std::string expected = "Очередь печати недоступна: Pirell missing printer: ";
  EXPECT_EQ(queue.Detail().substr(0, expected.size()), expected);
  EXPECT_GT(queue.Detail().size(), expected.size());
}

}  // namespace
}  // namespace pirell
