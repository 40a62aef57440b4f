// The device's debug log header, the host's event log, host events and dialogs, and focus.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/errors.h"
#include "device/base_device.h"
#include "platform/device_window.h"
#include "platform/files.h"
#include "platform/time_source.h"
#include "support/fake_equipment_manager.h"
#include "support/fake_time_source.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"
#include "support/test_device.h"

namespace pirell {
namespace {

using testing::CallPublic;
using testing::FakeEquipmentManager;
using testing::TTestDevice;

constexpr char kUnavailable[] = "Менеджер оборудования недоступен";

class DeviceEventsTest : public ::testing::Test {
 protected:
  DeviceEventsTest() : scoped_time(clock) {
    host->properties["DevicesFolder"] = devices.path();
    std::filesystem::create_directory(std::filesystem::u8path(devices.File("DEV1")));
  }

  void Connect() { testing::InitAndOpen(*device, host, "DEV1"); }

  // Switches the log on outside "Enable", into the device folder (not beside the module).
  void StartDebugLog() {
    device->SetDebugLogDir(device->DeviceFolder());
    device->SetDebugLogEnabled(true);
  }

  std::string LogText() { return platform::ReadWholeFile(device->DebugLogFileName()).value_or(""); }

  static int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++count;
    return count;
  }

  testing::FakeTimeSource clock;
  platform::ScopedTimeSource scoped_time;
  testing::TempDir devices;
  std::shared_ptr<FakeEquipmentManager> host = std::make_shared<FakeEquipmentManager>();
  std::shared_ptr<TTestDevice> device = CreateObject<TTestDevice>();
};

TEST_F(DeviceEventsTest, DebugLogHeaderIsWrittenOncePerSwitchOn) {
  Connect();
  // As the host switches the log on: through "SetSettings".
  VariantArray table = VariantArray::Table(7, 1);
  table.At({0, 0}) = Variant("DebugLogEnabled");
  table.At({1, 0}) = Variant(true);
  ASSERT_TRUE(CallPublic(*device, "SetSettings", VariantArray::Vector({Variant(std::move(table))}))
                  .result.ToBool());
  ASSERT_TRUE(CallPublic(*device, "Enable").result.ToBool());
  ASSERT_TRUE(device->DebugLogEnabled());
  // The log goes into the device folder.
  EXPECT_EQ(platform::ExtractFileDir(device->DebugLogFileName()), devices.File("DEV1"));
  EXPECT_EQ(Occurrences(LogText(), "============Begin debug log============="), 1);

  ASSERT_TRUE(CallPublic(*device, "Enable").result.ToBool());
  EXPECT_EQ(Occurrences(LogText(), "Begin debug log"), 1);

  ASSERT_TRUE(CallPublic(*device, "Disable").result.ToBool());
  EXPECT_FALSE(device->DebugLogEnabled());
  ASSERT_TRUE(CallPublic(*device, "Enable").result.ToBool());
  EXPECT_EQ(Occurrences(LogText(), "Begin debug log"), 2);
}

TEST_F(DeviceEventsTest, DebugLogHeaderListsTheDeviceAndEverySetting) {
  Connect();
  device->SetSettingValue("DebugLogEnabled", Variant(true));
  device->SetDefaultTimeOut(33);
  device->Enable();
  const std::string log = LogText();
  const std::string lines[] = {
      std::string(40, ' ') + "\r\n",
      "\t============Begin debug log=============\r\n",
      "\tdriver ver.: \t",
      "\tdevice ID: \tDEV1\r\n",
      "\t----------------Settings----------------\r\n",
      "\tDefaultTimeOut: \t33\r\n",
      "\tEventLogEnabled: \tFalse\r\n",
      "\tDebugLogEnabled: \tTrue\r\n",
      "\t----------------------------------------\r\n",
  };
  std::size_t at = 0;
  for (const std::string& line : lines) {
    const std::size_t found = log.find(line, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << log;
    at = found + line.size();
  }
  EXPECT_NE(log.find(device->InstanceID()), std::string::npos);
}

TEST_F(DeviceEventsTest, WriteLogReachesTheHostOnlyWithTheEventLogOn) {
  EXPECT_FALSE(device->WriteLog("Name", "Text", 2));  // no host: no error either
  Connect();
  EXPECT_FALSE(device->WriteLog("Name", "Text", 2));
  EXPECT_TRUE(host->CallsOf("WriteLog").empty());

  device->SetEventLogEnabled(true);
  EXPECT_TRUE(device->WriteLog("Name", "Текст", 2));
  const auto calls = host->CallsOf("WriteLog");
  ASSERT_EQ(calls.size(), 1u);
  ASSERT_EQ(calls[0].args.size(), 4u);
  EXPECT_EQ(calls[0].args[0].ToString(), "DEV1");
  EXPECT_EQ(calls[0].args[1].ToString(), "Name");
  EXPECT_EQ(calls[0].args[2].ToString(), "Текст");
  EXPECT_EQ(calls[0].args[3].Type(), varInteger);
  EXPECT_EQ(calls[0].args[3].ToInt(), 2);

  host->answer = Variant(false);
  EXPECT_FALSE(device->WriteLog("Name", "Text", 2));
}

TEST_F(DeviceEventsTest, TaskStateReportsToTheHostAndTheEventLog) {
  Connect();
  device->SetEventLogEnabled(true);
  EXPECT_TRUE(device->TaskState(50, "abc"));
  const auto task = host->CallsOf("TaskState");
  ASSERT_EQ(task.size(), 1u);
  EXPECT_EQ(task[0].args[0].ToString(), "DEV1");
  EXPECT_EQ(task[0].args[1].Type(), varInteger);
  EXPECT_EQ(task[0].args[1].ToInt(), 50);
  EXPECT_EQ(task[0].args[2].ToString(), "abc");
  const auto log = host->CallsOf("WriteLog");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].args[1].ToString(), "TaskState");
  EXPECT_EQ(log[0].args[2].ToString(), "Percent=50; Description=abc; Result=True");
  EXPECT_EQ(log[0].args[3].ToInt(), 1);
}

TEST_F(DeviceEventsTest, DataEventPassesItsArgumentsAndLogsTheExtraDataOnlyWhenGiven) {
  Connect();
  StartDebugLog();
  EXPECT_TRUE(device->DataEvent("Barcode", "123"));
  EXPECT_TRUE(device->DataEvent("Barcode", "456", VariantArray::Vector({Variant(1)})));
  const auto calls = host->CallsOf("DataEvent");
  ASSERT_EQ(calls.size(), 2u);
  ASSERT_EQ(calls[1].args.size(), 4u);
  EXPECT_EQ(calls[1].args[0].ToString(), "DEV1");
  EXPECT_EQ(calls[1].args[1].ToString(), "Barcode");
  EXPECT_EQ(calls[1].args[2].ToString(), "456");
  ASSERT_TRUE(calls[1].args[3].IsArray());
  EXPECT_TRUE(calls[0].args[3].IsEmpty());

  const std::string log = LogText();
  EXPECT_NE(log.find("<-DataEvent: \tEvent=Barcode; Data: 123\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("<-DataEvent: \tEvent=Barcode; Data: 456; ExtData: [(1)]\r\n"),
            std::string::npos)
      << log;
}

TEST_F(DeviceEventsTest, EventsAndDialogsWithoutAHostRaiseTheUnavailableError) {
  const auto raises_unavailable = [](auto&& call) {
    try {
      call();
    } catch (const Error& error) {
      return std::string(error.what()) == kUnavailable;
    }
    return false;
  };
  EXPECT_TRUE(raises_unavailable([&] { device->DataEvent("e", "d"); }));
  EXPECT_TRUE(raises_unavailable([&] { device->ErrorEvent("e", "d", Variant()); }));
  EXPECT_TRUE(raises_unavailable([&] { device->TaskState(1, "d"); }));
  EXPECT_TRUE(raises_unavailable([&] { device->ShowMessageDlg("m", 1, 2, 3); }));
  EXPECT_TRUE(raises_unavailable([&] { device->InputDataDlg("c", "d", "e", "m", false, 5); }));
  EXPECT_TRUE(raises_unavailable([&] { device->GetDeviceFolder(); }));
}

TEST_F(DeviceEventsTest, HostFailuresPassThroughWithoutLogging) {
  Connect();
  StartDebugLog();
  device->SetEventLogEnabled(true);
  host->failure = "Хост упал";
  host->calls.clear();
  try {
    device->DataEvent("e", "d");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Хост упал");
  }
  EXPECT_THROW(device->TaskState(1, "x"), Error);
  EXPECT_TRUE(host->CallsOf("WriteLog").empty());
  EXPECT_EQ(LogText().find("<-DataEvent"), std::string::npos);
}

TEST_F(DeviceEventsTest, DialogsPassTheirArgumentsInOrderAndReturnTheHostsAnswer) {
  Connect();
  host->answer = Variant(6);
  EXPECT_EQ(device->ShowMessageDlg("Вопрос?", 1, 4, 30), 6);
  const auto message = host->CallsOf("MessageDlg");
  ASSERT_EQ(message.size(), 1u);
  ASSERT_EQ(message[0].args.size(), 5u);
  EXPECT_EQ(message[0].args[1].ToString(), "Вопрос?");
  for (int i = 2; i < 5; ++i) EXPECT_EQ(message[0].args[i].Type(), varInteger);
  EXPECT_EQ(message[0].args[2].ToInt(), 1);
  EXPECT_EQ(message[0].args[3].ToInt(), 4);
  EXPECT_EQ(message[0].args[4].ToInt(), 30);

  host->answer = Variant("введено");
  EXPECT_EQ(device->InputDataDlg("Заголовок", "по умолчанию", "Описание", "###", true, 15),
            "введено");
  const auto input = host->CallsOf("InputDataDlg");
  ASSERT_EQ(input.size(), 1u);
  ASSERT_EQ(input[0].args.size(), 7u);
  EXPECT_EQ(input[0].args[0].ToString(), "DEV1");
  EXPECT_EQ(input[0].args[1].ToString(), "Заголовок");
  EXPECT_EQ(input[0].args[2].ToString(), "по умолчанию");
  EXPECT_EQ(input[0].args[3].ToString(), "Описание");
  EXPECT_EQ(input[0].args[4].ToString(), "###");
  EXPECT_EQ(input[0].args[5].Type(), varBoolean);
  EXPECT_TRUE(input[0].args[5].ToBool());
  EXPECT_EQ(input[0].args[6].ToInt(), 15);

  host->answer = Variant(true);
  EXPECT_TRUE(device->ErrorEvent("Ошибка", "Описание", Variant(3)));
  const auto error = host->CallsOf("ErrorEvent");
  ASSERT_EQ(error.size(), 1u);
  EXPECT_EQ(error[0].args[1].ToString(), "Ошибка");
  EXPECT_EQ(error[0].args[3].ToInt(), 3);
}

// Foreground and focus calls as the device makes them.
class FakeFocus : public platform::WindowFocus {
 public:
  platform::WindowHandle ForegroundWindow() override { return foreground; }
  void EnableInput(platform::WindowHandle window, bool enable) override {
    calls.push_back((enable ? "enable " : "disable ") + std::to_string(window));
  }
  void SetForegroundWindow(platform::WindowHandle window) override {
    calls.push_back("foreground " + std::to_string(window));
    foreground = window;
  }
  void SendSetFocus(platform::WindowHandle window) override {
    calls.push_back("focus " + std::to_string(window));
  }

  platform::WindowHandle foreground = 0;
  std::vector<std::string> calls;
};

TEST_F(DeviceEventsTest, StoreAndRestoreFocusNest) {
  FakeFocus focus;
  platform::ScopedWindowFocus scoped(focus);
  focus.foreground = 10;
  device->StoreFocus();
  focus.foreground = 0;  // nothing in front
  device->StoreFocus();
  device->RestoreFocus();  // the empty entry: nothing to give back
  focus.foreground = 20;
  device->RestoreFocus();
  EXPECT_EQ(focus.calls,
            (std::vector<std::string>{"disable 10", "enable 10", "foreground 10", "focus 10"}));
  focus.calls.clear();
  device->RestoreFocus();  // no matching StoreFocus
  EXPECT_TRUE(focus.calls.empty());
}

TEST_F(DeviceEventsTest, RestoreFocusLeavesTheForegroundWindowInFront) {
  FakeFocus focus;
  platform::ScopedWindowFocus scoped(focus);
  focus.foreground = 10;
  device->StoreFocus();
  device->RestoreFocus();
  EXPECT_EQ(focus.calls, (std::vector<std::string>{"disable 10", "enable 10"}));
}

}  // namespace
}  // namespace pirell
