#include "ports/printer_port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/time_source.h"
#include "support/fake_device_io.h"
#include "support/scripted_clock.h"

namespace pirell {
namespace {

using testing::FakeDeviceIo;
using testing::FakeWrite;
using testing::ScriptedClock;

class PrinterPortTest : public ::testing::Test {
 protected:
  PrinterPortTest() : io(&clock), port(io) {
    port.SetPortName("LPT1");
    port.SetInterfaceType(itLPT);
  }

  void Open() { ASSERT_EQ(port.OpenPort(), rc::Ok); }

  // Starts near the top of the 32-bit tick range: every send in these tests crosses the wrap.
  ScriptedClock clock{0xFFFFFF00u};
  platform::ScopedTimeSource time{clock};
  FakeDeviceIo io;
  TPrinterPort port;
};

// Fake milliseconds between `start` and now.
std::uint32_t Since(ScriptedClock& clock, std::uint32_t start) {
  return clock.TickCount() - start;
}

TEST_F(PrinterPortTest, OpensTheNamedDeviceByItsInterfaceType) {
  Open();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(io.write_timeout, 20000u);
  port.ClosePort();
  port.SetPortName(R"(\\?\usb#vid_0a5f&pid_000a#printer)");
  port.SetInterfaceType(itUSBPrint);
  Open();
  EXPECT_EQ(io.events,
            (std::vector<std::string>{"open LPT1 exclusive", "flush", "close",
                                      R"(open \\?\usb#vid_0a5f&pid_000a#printer shared)"}));
}

TEST_F(PrinterPortTest, OpeningAnOpenPortChangesNothing) {
  Open();
  EXPECT_EQ(port.OpenPort(), rc::Ok);
  EXPECT_EQ(io.events.size(), 1u);
  EXPECT_EQ(io.open_devices, 1);
}

TEST_F(PrinterPortTest, FailedOpenGivesPortUnavailableWithTheSystemMessage) {
  io.open_error = 2;
  EXPECT_EQ(port.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(port.LastErrorDescription(), "system error 2");
  EXPECT_FALSE(port.IsOpen());
  // The detail of a failure does not survive the next attempt.
  io.open_error = 0;
  Open();
  EXPECT_EQ(port.LastErrorDescription(), "");
}

TEST_F(PrinterPortTest, DeviceWithoutWriteTimeoutStillOpens) {
  io.supports_write_timeout = false;
  Open();
  EXPECT_FALSE(io.write_timeout.has_value());
}

TEST_F(PrinterPortTest, CloseFlushesAndIsSafeTwice) {
  Open();
  port.ClosePort();
  port.ClosePort();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(io.flush_calls, 1);
  EXPECT_EQ(io.open_devices, 0);
}

TEST_F(PrinterPortTest, DestructionClosesTheDevice) {
  {
    TPrinterPort local(io);
    ASSERT_EQ(local.OpenPort(), rc::Ok);
    EXPECT_EQ(io.open_devices, 1);
  }
  EXPECT_EQ(io.open_devices, 0);
}

TEST_F(PrinterPortTest, SendWritesAllBytesUnchanged) {
  Open();
  // windows-1251 text and a zero byte go out as they are.
  using namespace std::string_literals;
  const std::string data = "N\r\nA10,10,0,1,1,1,N,\"\xCF\xF0\xE8\xE2\xE5\xF2\"\r\n\0P1\r\n"s;
  ASSERT_EQ(data.size(), 35u);
  EXPECT_EQ(port.SendToPort(data), rc::Ok);
  EXPECT_EQ(io.received, data);
  EXPECT_EQ(io.write_calls, 1);
  // Nothing to check before the first write.
  EXPECT_EQ(io.status_calls, 0);
}

TEST_F(PrinterPortTest, EmptyDataWritesNothing) {
  Open();
  EXPECT_EQ(port.SendToPort(""), rc::Ok);
  EXPECT_EQ(io.write_calls, 0);
}

TEST_F(PrinterPortTest, ZeroTimeoutWritesNothingAndReportsNoAnswer) {
  Open();
  port.SetWriteTimeOut(0);
  EXPECT_EQ(port.SendToPort("N\r\n"), rc::NoAnswer);
  EXPECT_EQ(io.write_calls, 0);
  EXPECT_EQ(port.SendToPort(""), rc::Ok);
}

TEST_F(PrinterPortTest, SendOnClosedPortIsRefused) {
  EXPECT_EQ(port.SendToPort("N\r\n"), rc::PortUnavailable);
  EXPECT_EQ(io.write_calls, 0);
}

TEST_F(PrinterPortTest, PartialWritesRestartTheTimeoutAndSendTheRest) {
  Open();
  // Each write lasts most of the timeout; only bytes that move keep the send alive.
  io.writes = {{4, 0, 900}, {4, 0, 900}, {FakeWrite{}.max_bytes, 0, 900}};
  io.status = {0x00};
  const std::uint32_t start = clock.TickCount();
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Ok);
  EXPECT_EQ(io.received, "0123456789");
  EXPECT_EQ(io.events,
            (std::vector<std::string>{"open LPT1 exclusive", "write 4", "write 4", "write 2"}));
  EXPECT_EQ(Since(clock, start), 2700u);
}

TEST_F(PrinterPortTest, NothingMovingEndsWithNoAnswerAfterTheTimeout) {
  Open();
  io.writes = {{0, 0, 300}};
  const std::uint32_t start = clock.TickCount();
  EXPECT_EQ(port.SendToPort("0123456789"), rc::NoAnswer);
  EXPECT_EQ(port.LastErrorDescription(), "");
  // Every idle pass waits instead of asking again at once: 300 ms write + 100 ms pause.
  EXPECT_EQ(io.write_calls, 3);
  EXPECT_GE(Since(clock, start), 1000u);
  EXPECT_LE(Since(clock, start), 1200u);
  // The pauses serve the thread's messages.
  EXPECT_GE(clock.pump_calls, 3);
}

TEST_F(PrinterPortTest, FailingWritesWithoutStatusEndWithTheSystemMessage) {
  Open();
  io.writes = {{0, 31, 50}};
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Unknown);
  EXPECT_EQ(port.LastErrorDescription(), "system error 31");
  EXPECT_GT(io.write_calls, 1);
}

TEST_F(PrinterPortTest, FailedWriteIsForgottenAfterACleanStatus) {
  Open();
  io.writes = {{0, 31, 50}, {0, 0, 50}};
  io.status = {0x00};
  EXPECT_EQ(port.SendToPort("0123456789"), rc::NoAnswer);
  EXPECT_EQ(port.LastErrorDescription(), "");
}

TEST_F(PrinterPortTest, FaultsSeenOnTheWayDoNotSpoilACompleteSend) {
  Open();
  io.writes = {{2, 31, 10}, {FakeWrite{}.max_bytes, 0, 10}};
  io.status = {0x04, 0x00};
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Ok);
  EXPECT_EQ(port.LastErrorDescription(), "");
  EXPECT_EQ(io.received, "0123456789");
}

TEST_F(PrinterPortTest, PaperOutIsPolledEveryTenthOfASecondUntilTheTimeout) {
  Open();
  io.writes = {{2, 0, 0}};
  io.status = {0x04};
  const std::uint32_t start = clock.TickCount();
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Unknown);
  EXPECT_EQ(port.LastErrorDescription(), "Нет бумаги");
  // Only the first write went out; then the status was read every 100 ms for the timeout.
  EXPECT_EQ(io.write_calls, 1);
  EXPECT_EQ(io.received, "01");
  EXPECT_EQ(Since(clock, start), 1000u);
  EXPECT_EQ(io.status_calls, 10);
}

TEST_F(PrinterPortTest, StatusChangeRestartsTheTimeout) {
  Open();
  io.writes = {{2, 0, 0}};
  // Busy for half a second, then out of paper for good.
  io.status = {0x40, 0x40, 0x40, 0x40, 0x40, 0x04};
  const std::uint32_t start = clock.TickCount();
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Unknown);
  EXPECT_EQ(port.LastErrorDescription(), "Нет бумаги");
  EXPECT_EQ(Since(clock, start), 1500u);
}

TEST_F(PrinterPortTest, RecoveredPrinterGetsTheRest) {
  Open();
  io.writes = {{2, 0, 0}, {FakeWrite{}.max_bytes, 0, 0}};
  io.status = {0x08, 0x08, 0x08, 0x00};
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Ok);
  EXPECT_EQ(io.received, "0123456789");
  EXPECT_EQ(io.write_calls, 2);
}

struct StatusCase {
  std::uint8_t status;
  ResultCode code;
  const char* detail;
};

class PrinterPortStatusTest : public PrinterPortTest,
                              public ::testing::WithParamInterface<StatusCase> {};

TEST_P(PrinterPortStatusTest, FaultDecidesTheResult) {
  Open();
  io.writes = {{1, 0, 0}};
  io.status = {GetParam().status};
  EXPECT_EQ(port.SendToPort("0123456789"), GetParam().code);
  EXPECT_EQ(port.LastErrorDescription(), GetParam().detail);
}

// One bit at a time, then each bit together with all the less serious ones.
INSTANTIATE_TEST_SUITE_P(
    Bits, PrinterPortStatusTest,
    ::testing::Values(StatusCase{0x10, rc::NotReady, ""},
                      StatusCase{0x20, rc::Unknown, "Принтер не подключен"},
                      StatusCase{0x40, rc::Busy, ""}, StatusCase{0x08, rc::NotReady, ""},
                      StatusCase{0x04, rc::Unknown, "Нет бумаги"},
                      StatusCase{0x7C, rc::NotReady, ""},
                      StatusCase{0x6C, rc::Unknown, "Принтер не подключен"},
                      StatusCase{0x4C, rc::Busy, ""}, StatusCase{0x0C, rc::NotReady, ""},
                      // Bits the port does not test are no fault: everything goes out.
                      StatusCase{0x83, rc::Ok, ""}));

TEST_F(PrinterPortTest, ProgressIsReportedAndCanStopTheSend) {
  Open();
  io.writes = {{3, 0, 0}};
  io.status = {0x00};
  std::vector<std::int32_t> percents;
  port.SetTaskState([&](std::int32_t percent, const std::string& description) {
    EXPECT_EQ(description, "Выполнение задания");
    percents.push_back(percent);
    return percents.size() < 2;
  });
  EXPECT_EQ(port.SendToPort("0123456789"), rc::NoAnswer);
  EXPECT_EQ(percents, (std::vector<std::int32_t>{30, 59}));
  EXPECT_EQ(io.received, "012345");
}

TEST_F(PrinterPortTest, StoppedSendKeepsTheRecordedFailure) {
  Open();
  io.writes = {{3, 31, 0}};
  port.SetTaskState([](std::int32_t, const std::string&) { return false; });
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Unknown);
  EXPECT_EQ(port.LastErrorDescription(), "system error 31");
}

TEST_F(PrinterPortTest, NoProgressOnceEverythingIsWritten) {
  Open();
  int calls = 0;
  port.SetTaskState([&](std::int32_t, const std::string&) { return ++calls > 0; });
  EXPECT_EQ(port.SendToPort("0123456789"), rc::Ok);
  EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace pirell
