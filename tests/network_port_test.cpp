// Network printers taking raw data over TCP, played by a fake printer on 127.0.0.1: the same
// test runs natively and under Wine, whose Winsock reaches the loopback.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/device_io.h"
#include "ports/port_manager.h"
#include "support/fake_network_printer.h"

namespace pirell {
namespace {

using testing::FakeNetworkPrinter;

const std::string kJob("N\r\nA10,10,0,1,1,1,N,\"\xD6\xE5\xED\xE0\"\r\nP1\r\n");

struct NetworkPort {
  explicit NetworkPort(const std::string& address) {
    manager.SetPortType(TPortType::ptIP);
    manager.SetPortName(address);
  }
  TPortManager manager;
};

TEST(NetworkPortTest, EachOpeningIsOneConnectionThatCarriesTheJob) {
  FakeNetworkPrinter printer;
  ASSERT_NE(printer.port(), 0);
  NetworkPort port(printer.Address());
  // Enabling checks the printer with a connection that carries nothing.
  ASSERT_EQ(port.manager.OpenPort(), rc::Ok) << port.manager.LastErrorDescription();
  EXPECT_EQ(port.manager.ClosePort(), rc::Ok);
  for (int job = 0; job < 2; ++job) {
    ASSERT_EQ(port.manager.OpenPort(), rc::Ok) << port.manager.LastErrorDescription();
    EXPECT_EQ(port.manager.WriteToPort(kJob.substr(0, 3)), rc::Ok);
    port.manager.FlushBuffer();
    EXPECT_EQ(port.manager.WriteToPort(kJob.substr(3)), rc::Ok);
    EXPECT_EQ(port.manager.ClosePort(), rc::Ok);
  }
  EXPECT_EQ(printer.Jobs(3), (std::vector<std::string>{"", kJob, kJob}));
}

TEST(NetworkPortTest, RefusedConnectionMeansThePrinterIsNotConnected) {
  const std::string address = "127.0.0.1:" + std::to_string(FakeNetworkPrinter::ClosedPort());
  NetworkPort port(address);
  EXPECT_EQ(port.manager.OpenPort(), rc::Unknown);
  const std::string detail = port.manager.LastErrorDescription();
  // The system's reason follows.
  const std::string expected = "Принтер не подключен: " + address + ": ";
  EXPECT_EQ(detail.substr(0, expected.size()), expected);
  EXPECT_GT(detail.size(), expected.size());
  EXPECT_EQ(port.manager.WriteToPort(kJob), rc::PortUnavailable);
}

TEST(NetworkPortTest, PrinterHangingUpMidJobEndsTheJobWith1011) {
  FakeNetworkPrinter printer(FakeNetworkPrinter::Behaviour::kHangUpAfter, 1000);
  ASSERT_NE(printer.port(), 0);
  NetworkPort port(printer.Address());
  ASSERT_EQ(port.manager.OpenPort(), rc::Ok) << port.manager.LastErrorDescription();
  // More than the connection's buffers hold, so the hang-up is met while sending.
  const std::string job(32 << 20, 'x');
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(port.manager.WriteToPort(job), rc::PortUnavailable);
  const std::string detail = port.manager.LastErrorDescription();
  const std::string expected = "Соединение с принтером разорвано: ";
  EXPECT_EQ(detail.substr(0, expected.size()), expected);
  EXPECT_GT(detail.size(), expected.size());
  // Ended by the hang-up, not by waiting out the timeout.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
  port.manager.ClosePort();
  EXPECT_EQ(printer.Jobs(1), (std::vector<std::string>{std::string(1000, 'x')}));
}

// A printer that takes nothing holds a write no longer than the write timeout; the bytes the
// connection took until then are reported.
TEST(NetworkPortTest, StalledPrinterGivesBackControlAtTheWriteTimeout) {
  FakeNetworkPrinter printer(FakeNetworkPrinter::Behaviour::kStall);
  ASSERT_NE(printer.port(), 0);
  platform::DeviceOpenResult opened =
      platform::SystemDeviceIo().Connect("127.0.0.1", printer.port(), 5000);
  ASSERT_TRUE(opened.device) << opened.error << " " << opened.reason;
  ASSERT_TRUE(opened.device->SetWriteTimeout(200));
  const std::string job(64 << 20, 'x');
  std::size_t taken = 0;
  platform::DeviceWriteResult written;
  // Bounded: the connection's buffers hold far less than the job.
  for (int write = 0; write < 64 && (write == 0 || written.written > 0); ++write) {
    written = opened.device->Write(std::string_view(job).substr(taken));
    ASSERT_TRUE(written.ok) << written.error;
    taken += written.written;
  }
  EXPECT_EQ(written.written, 0u);
  EXPECT_GT(taken, 0u);
  EXPECT_LT(taken, job.size());
}

}  // namespace
}  // namespace pirell
