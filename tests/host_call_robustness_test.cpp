// Every host method of the driver, with valid and invalid arguments, through whole sessions that
// repeat; and the same sessions with an equipment manager that fails every operation in each way
// a host can. The driver answers each call with a result or a clear failure and never crashes.
// In the sanitized build the repeated sessions double as a leak check: LeakSanitizer fails the
// process when anything they allocate is not freed.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "label_printer/driver.h"
#include "platform/time_source.h"
#include "settings_ui/settings_window_runner.h"
#include "support/fake_equipment_manager.h"
#include "support/fake_time_source.h"
#include "support/host_call_catalog.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::EveryHostCall;
using testing::HostCallExpect;
using testing::RunHostCall;

class HostCallRobustnessTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeDeviceFolder(); }
  // Without its own folder the device would keep its templates beside the module.
  void MakeDeviceFolder() {
    std::filesystem::create_directory(std::filesystem::u8path(devices.File("LP1")));
  }

  testing::TempDir devices;
  // "ShowSettingsDlg" is answered as a settings window closed without OK, without a window.
  ScopedSettingsWindowRunner no_window{[](TBaseDevice&, const TPageClasses&) { return false; }};
  testing::FakeTimeSource clock;
  platform::ScopedTimeSource clock_scope{clock};
  testing::NullDeviceIo printer;
};

TEST_F(HostCallRobustnessTest, RepeatedSessionsAnswerEveryCallAsExpected) {
  auto host = std::make_shared<testing::QuietEquipmentManager>(devices.path());
  auto driver = CreateObject<TDriver>(printer);
  const auto calls = EveryHostCall(host, "LP1");
  std::uint64_t bytes_after_first_round = 0;
  for (int round = 0; round < 10; ++round) {
    for (const auto& call : calls) {
      std::string why;
      const auto outcome = RunHostCall(*driver, call);
      EXPECT_TRUE(outcome.AsExpected(call.expect, why))
          << "round " << round << ", " << call.method << ": " << why;
    }
    if (round == 0) bytes_after_first_round = printer.bytes;
    EXPECT_EQ(printer.open_devices, 0) << "round " << round;
  }
  // Every round printed the same jobs.
  EXPECT_GT(bytes_after_first_round, 1000u);
  EXPECT_EQ(printer.bytes, bytes_after_first_round * 10);
}

// The ways a host's equipment manager can fail.
enum class HostFault { kRaises, kFailsWithoutRecord, kThrows, kLacksOperations, kAnswersNonsense };

class FailingHostTest : public HostCallRobustnessTest,
                        public ::testing::WithParamInterface<HostFault> {
 protected:
  void SetUp() override {
    MakeDeviceFolder();
    host->properties["DevicesFolder"] = devices.path();
    switch (GetParam()) {
      case HostFault::kRaises:
        host->failure = "Хост упал";
        break;
      case HostFault::kFailsWithoutRecord:
        host->failure_status = hr::Fail;
        break;
      case HostFault::kThrows:
        host->throws = "host threw";
        break;
      case HostFault::kLacksOperations:
        host->unknown_names = true;
        break;
      case HostFault::kAnswersNonsense:
        host->property_answer = Variant(VariantArray::Vector({Variant(1), Variant("x")}));
        host->answer = Variant("not a Boolean");
        break;
    }
  }

  std::shared_ptr<testing::FakeEquipmentManager> host =
      std::make_shared<testing::FakeEquipmentManager>();
};

TEST_P(FailingHostTest, EveryCallAnswersWithAClearFailureOrAResult) {
  auto driver = CreateObject<TDriver>(printer);
  for (int round = 0; round < 3; ++round) {
    for (const auto& call : EveryHostCall(host, "LP1")) {
      std::string why;
      const auto outcome = RunHostCall(*driver, call);
      EXPECT_TRUE(outcome.AsExpected(HostCallExpect::kAny, why)) << call.method << ": " << why;
      // "Init" always asks the host for its folders, so it must fail, and say so.
      if (call.method == "Init" && call.expect == HostCallExpect::kTrue) {
        EXPECT_FALSE(outcome.answered_true);
        EXPECT_EQ(outcome.status, hr::DispException);
        EXPECT_FALSE(outcome.message.empty());
        if (GetParam() == HostFault::kRaises) {
          EXPECT_EQ(outcome.message, "Хост упал");
        }
        if (GetParam() == HostFault::kThrows) {
          EXPECT_EQ(outcome.message, "host threw");
        }
      }
    }
    EXPECT_EQ(printer.open_devices, 0);
  }
  // The host was asked, not skipped.
  if (GetParam() != HostFault::kLacksOperations) {
    EXPECT_FALSE(host->CallsOf("GetAppProperty").empty());
  }
}

TEST_P(FailingHostTest, EventsAndDialogsRaiseTheHostsFailure) {
  auto driver = CreateObject<TDriver>(printer);
  // The device holds the host without asking it anything yet.
  const HostFault fault = GetParam();
  host->failure.reset();
  host->failure_status.reset();
  host->throws.reset();
  host->unknown_names = false;
  host->property_answer.reset();
  testing::InitAndOpen(*driver, host, "LP1");
  SetUp();
  driver->SetEventLogEnabled(true);
  const auto fails_cleanly = [&](const char* what, auto&& call) {
    try {
      call();
    } catch (const std::exception& error) {
      EXPECT_NE(std::string(error.what()), "") << what;
      return;
    }
    // Only a host whose answers are merely odd may let an event through.
    EXPECT_EQ(fault, HostFault::kAnswersNonsense) << what << " did not fail";
  };
  fails_cleanly("DataEvent", [&] { driver->DataEvent("e", "d"); });
  fails_cleanly("ErrorEvent", [&] { driver->ErrorEvent("e", "d", Variant()); });
  fails_cleanly("TaskState", [&] { driver->TaskState(1, "d"); });
  fails_cleanly("MessageDlg", [&] { driver->ShowMessageDlg("m", 1, 2, 3); });
  fails_cleanly("InputDataDlg", [&] { driver->InputDataDlg("c", "d", "e", "m", false, 5); });
  fails_cleanly("WriteLog", [&] { driver->WriteLog("n", "t", 1); });
  fails_cleanly("GetDeviceFolder", [&] { driver->GetDeviceFolder(); });
}

INSTANTIATE_TEST_SUITE_P(Faults, FailingHostTest,
                         ::testing::Values(HostFault::kRaises, HostFault::kFailsWithoutRecord,
                                           HostFault::kThrows, HostFault::kLacksOperations,
                                           HostFault::kAnswersNonsense));

}  // namespace
}  // namespace pirell
