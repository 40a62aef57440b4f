#include "ports/port_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/time_source.h"
#include "ports/network_address.h"
#include "ports/serial_port_name.h"
#include "support/fake_device_io.h"
#include "support/scripted_clock.h"

namespace pirell {
namespace {

using testing::FakeDeviceIo;
using testing::FakeWrite;
using testing::ScriptedClock;
using Events = std::vector<std::string>;

class PortManagerTest : public ::testing::Test {
 protected:
  ScriptedClock clock;
  platform::ScopedTimeSource time{clock};
  FakeDeviceIo io{&clock};
  TPortManager manager{io};
};

TEST_F(PortManagerTest, StartsAsAUsbPortWithoutName) {
  EXPECT_EQ(manager.PortType(), TPortType::ptUSB);
  EXPECT_EQ(manager.PortName(), "");
  EXPECT_EQ(manager.LastErrorDescription(), "");
}

TEST(PortTypeTest, SettingValuesOutsideTheTypesMeanUsb) {
  EXPECT_EQ(PortTypeFromSetting(0), TPortType::ptUSB);
  EXPECT_EQ(PortTypeFromSetting(1), TPortType::ptLPT);
  EXPECT_EQ(PortTypeFromSetting(2), TPortType::ptCOM);
  EXPECT_EQ(PortTypeFromSetting(3), TPortType::ptIP);
  EXPECT_EQ(PortTypeFromSetting(4), TPortType::ptFile);
  EXPECT_EQ(PortTypeFromSetting(5), TPortType::ptQueue);
  EXPECT_EQ(PortTypeFromSetting(6), TPortType::ptUSB);
  EXPECT_EQ(PortTypeFromSetting(-1), TPortType::ptUSB);
}

TEST_F(PortManagerTest, ParallelPortIsOpenedExclusivelyAndUsbShared) {
  manager.SetPortType(TPortType::ptLPT);
  manager.SetPortName("LPT2");
  EXPECT_EQ(manager.OpenPort(), rc::Ok);
  manager.ClosePort();
  manager.SetPortType(TPortType::ptUSB);
  manager.SetPortName("/dev/usb/lp0");
  EXPECT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(io.events,
            (Events{"open LPT2 exclusive", "flush", "close", "open /dev/usb/lp0 shared"}));
}

TEST_F(PortManagerTest, WritesFlushesAndClosesThroughThePort) {
  manager.SetPortName("LPT1");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  manager.FlushBuffer();
  EXPECT_EQ(manager.WriteToPort("P1\r\n"), rc::Ok);
  manager.ClosePort();
  EXPECT_EQ(io.received, "N\r\nP1\r\n");
  EXPECT_EQ(io.events,
            (Events{"open LPT1 shared", "write 3", "flush", "write 4", "flush", "close"}));
  // The port object stays closed until the next open.
  manager.ClosePort();
  EXPECT_EQ(io.open_devices, 0);
}

TEST_F(PortManagerTest, SecondOpenReplacesTheFirstPortAfterClosingIt) {
  manager.SetPortType(TPortType::ptLPT);
  manager.SetPortName("LPT1");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(io.events, (Events{"open LPT1 exclusive", "flush", "close", "open LPT1 exclusive"}));
  EXPECT_EQ(io.open_devices, 1);
}

TEST_F(PortManagerTest, TypeAndNameAreReadAtEachOpen) {
  manager.SetPortName("LPT1");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  manager.SetPortName("LPT3");
  EXPECT_EQ(manager.WriteToPort("x"), rc::Ok);
  manager.SetPortType(TPortType::ptLPT);
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(io.events.front(), "open LPT1 shared");
  EXPECT_EQ(io.events.back(), "open LPT3 exclusive");
}

TEST_F(PortManagerTest, EachTypeOpensItsOwnKindOfConnection) {
#ifdef _WIN32
  constexpr char kFullPath[] = "C:\\Labels\\shop.prn";
#else
  constexpr char kFullPath[] = "/var/spool/labels.prn";
#endif
  const struct {
    TPortType type;
    const char* name;
    std::string opened;
  } cases[] = {
      {TPortType::ptCOM, "com3", "serial COM3 9600,N,8,1,H"},
      {TPortType::ptCOM, "COM12:115200,o,7,2,x", "serial COM12 115200,O,7,2,X"},
      {TPortType::ptCOM, "/dev/ttyUSB0:2400,S,8,1,N", "serial /dev/ttyUSB0 2400,S,8,1,N"},
      {TPortType::ptIP, "printer.local", "connect printer.local 9100"},
      {TPortType::ptIP, "10.0.0.7:6101", "connect 10.0.0.7 6101"},
      {TPortType::ptIP, "[fe80::1]:9101", "connect fe80::1 9101"},
      {TPortType::ptFile, kFullPath, "file " + std::string(kFullPath)},
  };
  for (const auto& [type, name, opened] : cases) {
    io.events.clear();
    manager.SetPortType(type);
    manager.SetPortName(name);
    ASSERT_EQ(manager.OpenPort(), rc::Ok) << name;
    EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
    manager.FlushBuffer();
    EXPECT_EQ(manager.ClosePort(), rc::Ok);
    EXPECT_EQ(io.events, (Events{opened, "write 3", "flush", "flush", "close"})) << name;
  }
}

// A malformed name is refused before anything is opened, so nothing can be created by it.
TEST_F(PortManagerTest, MalformedNamesAreRefusedWithoutOpeningAnything) {
  const struct {
    TPortType type;
    const char* name;
    const char* detail;
  } cases[] = {
      {TPortType::ptLPT, "LPT-1", "Неверное имя параллельного порта (нужно LPT1, LPT2...): LPT-1"},
      {TPortType::ptLPT, "", "Неверное имя параллельного порта (нужно LPT1, LPT2...)"},
      {TPortType::ptCOM, "COM1:9600,N,8,1,H,1",
       "Неверное имя последовательного порта (нужно COM1 или COM1:9600,N,8,1): "
       "COM1:9600,N,8,1,H,1"},
      {TPortType::ptIP, "printer:0",
       "Неверный адрес принтера (нужно узел или узел:порт): printer:0"},
      {TPortType::ptIP, "", "Неверный адрес принтера (нужно узел или узел:порт)"},
      {TPortType::ptFile, "labels.prn", "Нужен полный путь к файлу: labels.prn"},
      {TPortType::ptQueue, "", "Не указана очередь печати"},
  };
  for (const auto& [type, name, detail] : cases) {
    manager.SetPortType(type);
    manager.SetPortName(name);
    EXPECT_EQ(manager.OpenPort(), rc::PortUnavailable) << name;
    EXPECT_EQ(manager.LastErrorDescription(), detail);
    EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
    EXPECT_EQ(manager.ClosePort(), rc::Ok);
  }
  EXPECT_TRUE(io.events.empty());
}

// With hardware flow control the handshake lines show whether a printer is on the cable.
TEST_F(PortManagerTest, SerialPrinterWithBothHandshakeLinesDownIsNotConnected) {
  manager.SetPortType(TPortType::ptCOM);
  manager.SetPortName("COM2");
  io.status = {0x20};
  EXPECT_EQ(manager.OpenPort(), rc::Unknown);
  EXPECT_EQ(manager.LastErrorDescription(), "Принтер не подключен: COM2");
  EXPECT_EQ(io.open_devices, 0);
  io.status = {0x00};
  EXPECT_EQ(manager.OpenPort(), rc::Ok);
}

// A network printer that hangs up ends the job at once: the rest has nowhere to go.
TEST_F(PortManagerTest, ConnectionLostMidJobEndsTheSend) {
  manager.SetPortType(TPortType::ptIP);
  manager.SetPortName("printer");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.writes = {{2, 104, 0}};
  io.lost_on_error = true;
  const std::uint32_t started = clock.TickCount();
  EXPECT_EQ(manager.WriteToPort("N\r\nP1\r\n"), rc::PortUnavailable);
  EXPECT_EQ(manager.LastErrorDescription(), "Соединение с принтером разорвано: system error 104");
  EXPECT_EQ(io.received, "N\r");
  EXPECT_EQ(io.write_calls, 1);
  EXPECT_EQ(clock.TickCount(), started);
}

// The queue is only checked by opening; the job starts with the first write and is handed over
// at closing, so enabling and the health check print nothing.
TEST_F(PortManagerTest, PrintQueueTakesTheJobAtClosing) {
  manager.SetPortType(TPortType::ptQueue);
  manager.SetPortName("Labels@server");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(manager.ClosePort(), rc::Ok);
  EXPECT_EQ(io.events, (Events{"queue Labels@server"}));

  io.events.clear();
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  EXPECT_EQ(manager.WriteToPort("P1\r\n"), rc::Ok);
  EXPECT_EQ(manager.ClosePort(), rc::Ok);
  EXPECT_EQ(io.received, "N\r\nP1\r\n");
  EXPECT_EQ(io.events, (Events{"queue Labels@server", "job Этикетки", "job write 3", "job write 4",
                               "job finish"}));
}

TEST_F(PortManagerTest, PrintQueueFailuresCarryTheServersReason) {
  manager.SetPortType(TPortType::ptQueue);
  manager.SetPortName("Labels");
  io.queue_missing_reason = "The printer or class does not exist.";
  EXPECT_EQ(manager.OpenPort(), rc::Unknown);
  EXPECT_EQ(manager.LastErrorDescription(),
            "Очередь печати недоступна: Labels: The printer or class does not exist.");
  io.queue_missing_reason.clear();
  io.queue_not_accepting = true;
  EXPECT_EQ(manager.OpenPort(), rc::Unknown);
  EXPECT_EQ(manager.LastErrorDescription(), "Очередь печати не принимает задания: Labels");
  io.queue_not_accepting = false;

  // A write that fails cancels the job: nothing half-sent is printed.
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.job_write_reason = "Broken pipe";
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Unknown);
  EXPECT_EQ(manager.LastErrorDescription(), "Сервер печати не принял задание: Broken pipe");
  EXPECT_EQ(manager.ClosePort(), rc::Ok);
  EXPECT_EQ(io.events.back(), "job cancel");

  // A job the server does not take at the end is reported by the closing.
  io.job_write_reason.clear();
  io.job_finish_reason = "client-error-document-format-not-supported";
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  EXPECT_EQ(manager.ClosePort(), rc::Unknown);
  EXPECT_EQ(manager.LastErrorDescription(),
            "Сервер печати не принял задание: client-error-document-format-not-supported");
}

TEST(SerialPortNameTest, ReadsThePortAndTheLineSettings) {
  const std::optional<TSerialPortName> plain = ParseSerialPortName("COM1");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->Port, "COM1");
  EXPECT_EQ(plain->Line.baud, 9600u);
  EXPECT_EQ(plain->Line.parity, platform::SerialParity::kNone);
  EXPECT_EQ(plain->Line.data_bits, 8);
  EXPECT_EQ(plain->Line.stop_bits, 1);
  EXPECT_EQ(plain->Line.flow, platform::SerialFlowControl::kHardware);

  const std::optional<TSerialPortName> full = ParseSerialPortName("com256:38400,M,7,2,X");
  ASSERT_TRUE(full);
  EXPECT_EQ(full->Port, "COM256");
  EXPECT_EQ(full->Line.baud, 38400u);
  EXPECT_EQ(full->Line.parity, platform::SerialParity::kMark);
  EXPECT_EQ(full->Line.data_bits, 7);
  EXPECT_EQ(full->Line.stop_bits, 2);
  EXPECT_EQ(full->Line.flow, platform::SerialFlowControl::kXonXoff);

  // Trailing fields keep their defaults.
  const std::optional<TSerialPortName> short_form = ParseSerialPortName("COM2:19200,E");
  ASSERT_TRUE(short_form);
  EXPECT_EQ(short_form->Line.parity, platform::SerialParity::kEven);
  EXPECT_EQ(short_form->Line.data_bits, 8);

  for (const char* bad : {"COM0", "COM257", "COM01x", "LPT1", "COM1:", "COM1:96,N,8,1",
                          "COM1:9600,,8,1", "COM1:9600,N,8,1,", "relative/tty", "/"}) {
    EXPECT_FALSE(ParseSerialPortName(bad)) << bad;
  }
}

TEST(NetworkAddressTest, ReadsHostsAndPorts) {
  const struct {
    const char* name;
    const char* host;
    std::uint16_t port;
  } good[] = {
      {"printer", "printer", 9100},
      {"192.168.1.50:9100", "192.168.1.50", 9100},
      {"label-1.shop.example:6101", "label-1.shop.example", 6101},
      {"[::1]", "::1", 9100},
      {"[2001:db8::5]:65535", "2001:db8::5", 65535},
      {"fe80::1", "fe80::1", 9100},
  };
  for (const auto& [name, host, port] : good) {
    const std::optional<TNetworkAddress> address = ParseNetworkAddress(name);
    ASSERT_TRUE(address) << name;
    EXPECT_EQ(address->Host, host);
    EXPECT_EQ(address->Port, port);
  }
  for (const char* bad :
       {"", ":9100", "printer:", "printer:65536", "printer:0", "printer:91x", "[::1", "[::1]x",
        "[printer]:9100", "two words", "tab\there", "printer/queue"}) {
    EXPECT_FALSE(ParseNetworkAddress(bad)) << bad;
  }
}

TEST_F(PortManagerTest, CloseAndFlushBeforeAnyOpenDoNothing) {
  manager.ClosePort();
  manager.FlushBuffer();
  EXPECT_TRUE(io.events.empty());
}

TEST_F(PortManagerTest, WriteWithoutOpenIsRefused) {
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
  EXPECT_TRUE(io.events.empty());
}

TEST_F(PortManagerTest, WriteAfterFailedOpenIsRefused) {
  io.open_error = 5;
  EXPECT_EQ(manager.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(manager.LastErrorDescription(), "system error 5");
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
  EXPECT_EQ(io.write_calls, 0);
}

TEST_F(PortManagerTest, SendFailureIsRelayedWithItsDetail) {
  manager.SetPortType(TPortType::ptLPT);
  manager.SetPortName("LPT1");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.writes = {{1, 0, 0}};
  io.status = {0x20};
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Unknown);
  EXPECT_EQ(manager.LastErrorDescription(), "Принтер не подключен");
  // A later success clears it.
  io.writes = {FakeWrite{}};
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  EXPECT_EQ(manager.LastErrorDescription(), "");
}

// The host's windows are served while a send waits; a handler may call into the driver again.
TEST_F(PortManagerTest, PortClosedWhileTheSendWaitsEndsTheSend) {
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.writes = {{1, 0, 0}};
  io.status = {0x40};
  clock.on_pump = [&] { manager.ClosePort(); };
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
  EXPECT_EQ(io.write_calls, 1);
  EXPECT_EQ(io.open_devices, 0);
}

TEST_F(PortManagerTest, PortOpenedAnewWhileTheSendWaitsLeavesTheSendIntact) {
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.writes = {{1, 0, 0}};
  io.status = {0x40, 0x00};
  bool reopened = false;
  clock.on_pump = [&] {
    if (!reopened) reopened = manager.OpenPort() == rc::Ok;
  };
  // The running send finishes on its own device; the new port object is ready afterwards.
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  EXPECT_TRUE(reopened);
  EXPECT_EQ(io.received, "N\r\n");
  EXPECT_EQ(io.open_devices, 1);
  EXPECT_EQ(manager.WriteToPort("P1\r\n"), rc::Ok);
}

}  // namespace
}  // namespace pirell
