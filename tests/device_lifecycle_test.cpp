// The device's lifecycle as the host drives it by name: "Init", "Open", "Close", "Enable",
// "Disable", "CheckHealth", "ShowSettingsDlg", "GetDeviceInfo", and construction and destruction.

#include <gtest/gtest.h>

#include <algorithm>

#include "device/base_device.h"
#include "device/developer_info.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"
#include "support/test_device.h"

namespace pirell {
namespace {

using testing::CallPrivate;
using testing::CallPublic;
using testing::FakeEquipmentManager;
using testing::TTestDevice;

class DeviceLifecycleTest : public ::testing::Test {
 protected:
  DeviceLifecycleTest() {
    host->properties["DevicesFolder"] = devices.path();
    host->properties["ModelsFolder"] = "models";
    host->properties["Language"] = "ru";
  }

  std::string DeviceFolderOf(const std::string& id) const {
    const char d = platform::PathDelimiter();
    return devices.path() + d + id + d;
  }

  testing::TempDir devices;
  std::shared_ptr<FakeEquipmentManager> host = std::make_shared<FakeEquipmentManager>();
  std::shared_ptr<TTestDevice> device = CreateObject<TTestDevice>();
};

TEST_F(DeviceLifecycleTest, MethodsHaveTheirFixedNumbers) {
  const char* names[] = {"Init",   "Open",    "Close",       "ShowSettingsDlg", "GetDeviceInfo",
                         "Enable", "Disable", "GetSettings", "SetSettings",     "CheckHealth"};
  for (DispId expected = 0; expected < 10; ++expected) {
    DispId id = -1;
    EXPECT_EQ(device->GetIDsOfNames(names[expected], id), hr::Ok);
    EXPECT_EQ(id, expected) << names[expected];
  }
  EXPECT_EQ(device->Methods().size(), 10u);
}

TEST_F(DeviceLifecycleTest, ConstructionRunsTheHooksInOrderAndStartsCreated) {
  EXPECT_EQ(device->events,
            (std::vector<std::string>{"OnSetDeviceInfo", "CreateSettings", "CreateObjects"}));
  EXPECT_EQ(device->DeviceState(), dsCreated);
  EXPECT_FALSE(device->DebugLogEnabled());
  EXPECT_TRUE(device->DeviceID().empty());
  EXPECT_TRUE(device->EqManager().IsEmpty());
}

// Records, when its objects are destroyed, the hooks that ran since construction.
struct WatchedDevice : TTestDevice {
  std::shared_ptr<std::vector<std::string>> seen = std::make_shared<std::vector<std::string>>();
  void DestroyObjects() override {
    TTestDevice::DestroyObjects();
    *seen = events;
  }
};

TEST_F(DeviceLifecycleTest, DestructionDisablesThenDestroysTheObjects) {
  auto watched = CreateObject<WatchedDevice>();
  watched->Enable();
  watched->events.clear();
  const auto seen = watched->seen;
  watched.reset();
  EXPECT_EQ(*seen, (std::vector<std::string>{"OnDisable", "DestroyObjects"}));
}

TEST_F(DeviceLifecycleTest, InitKeepsTheHostAndAsksForModelsFolderAndLanguage) {
  const auto init = CallPrivate(*device, "Init", {Variant::Dispatch(host), Variant()});
  ASSERT_EQ(init.status, hr::Ok);
  EXPECT_EQ(init.result.Type(), varBoolean);
  EXPECT_TRUE(init.result.ToBool());
  EXPECT_EQ(init.params[1].Type(), varOleStr);
  EXPECT_EQ(init.params[1].ToString(), "Нет ошибок");
  EXPECT_EQ(device->DeviceState(), dsInited);
  EXPECT_EQ(device->EqManager().Object(), host);
  EXPECT_EQ(device->Language(), "ru");
  // The models folder gets its trailing delimiter; the model ID is appended for ModelFolder.
  const char d = platform::PathDelimiter();
  EXPECT_EQ(device->ModelFolder(), std::string("models") + d + "TestModel" + d);

  const auto asked = host->CallsOf("GetAppProperty");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].args[1].ToString(), "ModelsFolder");
  EXPECT_EQ(asked[1].args[1].ToString(), "Language");
  // The device ID goes first, empty before "Open".
  EXPECT_EQ(asked[0].args[0].Type(), varOleStr);
  EXPECT_EQ(asked[0].args[0].ToString(), "");
}

TEST_F(DeviceLifecycleTest, InitWithAnEmptyModelsFolderGivesALoneDelimiter) {
  host->properties.erase("ModelsFolder");  // the host answers false
  testing::InitAndOpen(*device, host, "DEV1");
  EXPECT_EQ(device->ModelFolder(),
            std::string(1, platform::PathDelimiter()) + "TestModel" + platform::PathDelimiter());
}

TEST_F(DeviceLifecycleTest, InitWithoutAHostObjectFailsWith1004) {
  for (std::vector<Variant> params :
       {std::vector<Variant>{Variant(), Variant()},
        std::vector<Variant>{Variant("host"), Variant()},
        std::vector<Variant>{Variant::Dispatch(nullptr), Variant()}}) {
    const auto init = CallPrivate(*device, "Init", params);
    ASSERT_EQ(init.status, hr::Ok);
    EXPECT_FALSE(init.result.ToBool());
    EXPECT_EQ(init.params[1].ToString(), "Ошибка входных параметров команды");
    EXPECT_TRUE(device->EqManager().IsEmpty());
    EXPECT_EQ(device->DeviceState(), dsCreated);
  }
  // No arguments at all: nothing to report the text in, still refused.
  const auto bare = CallPrivate(*device, "Init", {});
  EXPECT_EQ(bare.status, hr::Ok);
  EXPECT_FALSE(bare.result.ToBool());
}

TEST_F(DeviceLifecycleTest, InitFailingInTheDeviceKeepsTheHostAndTheState) {
  device->init_code = rc::NotReady;
  const auto init = CallPrivate(*device, "Init", {Variant::Dispatch(host), Variant()});
  EXPECT_FALSE(init.result.ToBool());
  EXPECT_EQ(init.params[1].ToString(), "Оборудование не готово");
  EXPECT_EQ(device->EqManager().Object(), host);
  EXPECT_EQ(device->DeviceState(), dsCreated);

  device->init_description = "нет связи";
  EXPECT_EQ(CallPrivate(*device, "Init", {Variant::Dispatch(host), Variant()}).params[1].ToString(),
            "нет связи");
}

TEST_F(DeviceLifecycleTest, InitTwiceReplacesTheHost) {
  auto second = std::make_shared<FakeEquipmentManager>();
  second->properties["Language"] = "en";
  CallPrivate(*device, "Init", {Variant::Dispatch(host), Variant()});
  CallPrivate(*device, "Init", {Variant::Dispatch(second), Variant()});
  EXPECT_EQ(device->EqManager().Object(), second);
  EXPECT_EQ(device->Language(), "en");
}

TEST_F(DeviceLifecycleTest, HostErrorsDuringInitReachTheHostUnchanged) {
  host->failure = "Сбой менеджера";
  const auto init = CallPrivate(*device, "Init", {Variant::Dispatch(host), Variant()});
  EXPECT_EQ(init.status, hr::DispException);
  EXPECT_EQ(init.exception.scode, 1001);
  EXPECT_EQ(init.exception.description, "Сбой менеджера");
}

TEST_F(DeviceLifecycleTest, OpenSetsTheDeviceIdAndFolder) {
  CallPrivate(*device, "Init", {Variant::Dispatch(host), Variant()});
  const auto open = CallPrivate(*device, "Open", {Variant("DEV1"), Variant()});
  ASSERT_EQ(open.status, hr::Ok);
  EXPECT_TRUE(open.result.ToBool());
  EXPECT_EQ(open.params[1].ToString(), "Нет ошибок");
  EXPECT_EQ(device->DeviceID(), "DEV1");
  EXPECT_EQ(device->DeviceFolder(), DeviceFolderOf("DEV1"));
  EXPECT_EQ(device->DeviceState(), dsInited);
  // The folder question carries the new device ID.
  EXPECT_EQ(host->CallsOf("GetAppProperty").back().args[0].ToString(), "DEV1");
}

TEST_F(DeviceLifecycleTest, OpenWithoutAStringFailsWith1004AndEmptiesTheId) {
  testing::InitAndOpen(*device, host, "DEV1");
  for (Variant bad : {Variant(), Variant(7), Variant::Null()}) {
    const auto open = CallPrivate(*device, "Open", {bad, Variant()});
    ASSERT_EQ(open.status, hr::Ok);
    EXPECT_FALSE(open.result.ToBool());
    EXPECT_EQ(open.params[1].ToString(), "Ошибка входных параметров команды");
    EXPECT_TRUE(device->DeviceID().empty());
  }
}

TEST_F(DeviceLifecycleTest, OpenWithoutAHostFailsWithTheUnavailableMessage) {
  const auto open = CallPrivate(*device, "Open", {Variant("DEV1"), Variant()});
  EXPECT_EQ(open.status, hr::DispException);
  EXPECT_EQ(open.exception.description, "Менеджер оборудования недоступен");
}

TEST_F(DeviceLifecycleTest, OpenCutsTheIdToAShortString) {
  CallPrivate(*device, "Init", {Variant::Dispatch(host), Variant()});
  std::string long_id;
  for (int i = 0; i < 300; ++i) long_id += "Я";
  CallPrivate(*device, "Open", {Variant(long_id), Variant()});
  EXPECT_EQ(platform::Utf8ToUtf32(device->DeviceID()).size(), 255u);
}

TEST_F(DeviceLifecycleTest, DeviceFolderIsEmptyWithoutDevicesFolderOrId) {
  host->properties["DevicesFolder"] = "";
  testing::InitAndOpen(*device, host, "DEV1");
  EXPECT_EQ(device->DeviceFolder(), "");
  host->properties["DevicesFolder"] = devices.path();
  CallPrivate(*device, "Open", {Variant(""), Variant()});
  EXPECT_EQ(device->DeviceFolder(), "");
}

TEST_F(DeviceLifecycleTest, CloseOnAnEnabledDeviceDropsIdAndHostButKeepsTheState) {
  testing::InitAndOpen(*device, host, "DEV1");
  ASSERT_TRUE(CallPublic(*device, "Enable").result.ToBool());
  device->events.clear();
  const auto close = CallPrivate(*device, "Close", {Variant("x")});
  EXPECT_TRUE(close.result.ToBool());
  EXPECT_EQ(close.params[0].ToString(), "x");
  EXPECT_EQ(device->DeviceState(), dsEnabled);
  EXPECT_TRUE(device->DeviceID().empty());
  EXPECT_TRUE(device->EqManager().IsEmpty());
  EXPECT_EQ(device->events, (std::vector<std::string>{"OnClosing", "OnClosed"}));
}

TEST_F(DeviceLifecycleTest, StatesFollowTheOutcomeOfEachStep) {
  EXPECT_EQ(device->DeviceState(), dsCreated);
  // Enabling needs no "Init": no state refuses a call.
  EXPECT_TRUE(CallPublic(*device, "Enable").result.ToBool());
  EXPECT_EQ(device->DeviceState(), dsEnabled);
  EXPECT_TRUE(CallPublic(*device, "Disable").result.ToBool());
  EXPECT_EQ(device->DeviceState(), dsInited);

  device->enable_code = rc::PortUnavailable;
  auto failed = CallPublic(*device, "Enable");
  EXPECT_FALSE(failed.result.ToBool());
  EXPECT_EQ(failed.Code(), rc::PortUnavailable);
  EXPECT_EQ(failed.Message(), "Порт недоступен");
  EXPECT_EQ(device->DeviceState(), dsInited);

  device->enable_code = rc::Ok;
  CallPublic(*device, "Enable");
  device->disable_code = rc::Busy;
  EXPECT_EQ(CallPublic(*device, "Disable").Code(), rc::Busy);
  EXPECT_EQ(device->DeviceState(), dsEnabled);

  // "Open" and "Close" leave the state alone; a failed "Init" does too.
  device->disable_code = rc::Ok;
  testing::InitAndOpen(*device, host, "DEV1");
  EXPECT_EQ(device->DeviceState(), dsInited);
}

TEST_F(DeviceLifecycleTest, EnableKeepsTheDevicesOwnDescription) {
  device->enable_code = rc::NoAnswer;
  device->enable_description = "принтер молчит";
  const auto call = CallPublic(*device, "Enable");
  EXPECT_EQ(call.Code(), rc::NoAnswer);
  EXPECT_EQ(call.Message(), "принтер молчит");
}

TEST_F(DeviceLifecycleTest, EnablingAnEnabledDeviceRunsTheHookAgain) {
  device->Enable();
  device->Enable();
  EXPECT_EQ(std::count(device->events.begin(), device->events.end(), "OnEnable"), 2);
}

TEST_F(DeviceLifecycleTest, EnabledPropertyEnablesAndDisablesOnlyOnChange) {
  device->SetEnabled(true);
  EXPECT_TRUE(device->Enabled());
  device->SetEnabled(true);
  EXPECT_EQ(std::count(device->events.begin(), device->events.end(), "OnEnable"), 1);
  device->SetEnabled(false);
  EXPECT_FALSE(device->Enabled());
  EXPECT_EQ(std::count(device->events.begin(), device->events.end(), "OnDisable"), 1);
}

TEST_F(DeviceLifecycleTest, CheckHealthOnAnEnabledDeviceKeepsItEnabled) {
  device->Enable();
  device->events.clear();
  const auto call = CallPublic(*device, "CheckHealth");
  EXPECT_TRUE(call.result.ToBool());
  EXPECT_TRUE(device->Enabled());
  EXPECT_TRUE(device->events.empty());
  std::string description = "old";
  EXPECT_EQ(device->DoCheckHealth(description), rc::Ok);
  EXPECT_EQ(description, "Нет ошибок");
}

TEST_F(DeviceLifecycleTest, CheckHealthOnADisabledDeviceTriesAnEnableAndUndoesIt) {
  const auto good = CallPublic(*device, "CheckHealth");
  EXPECT_TRUE(good.result.ToBool());
  EXPECT_FALSE(device->Enabled());
  EXPECT_EQ(device->events, (std::vector<std::string>{"OnSetDeviceInfo", "CreateSettings",
                                                      "CreateObjects", "OnEnable", "OnDisable"}));

  // The host learns why the enable failed, not only the code's standard text.
  device->enable_code = rc::PortUnavailable;
  device->enable_description = "COM1 занят";
  const auto bad = CallPublic(*device, "CheckHealth");
  EXPECT_FALSE(bad.result.ToBool());
  EXPECT_EQ(bad.Code(), rc::PortUnavailable);
  EXPECT_EQ(bad.Message(), "COM1 занят");
  EXPECT_FALSE(device->Enabled());
  device->enable_description.clear();
  EXPECT_EQ(CallPublic(*device, "CheckHealth").Message(), "Порт недоступен");
}

TEST_F(DeviceLifecycleTest, ShowSettingsDlgWithoutADialogIsNotSupported) {
  const auto call = CallPublic(*device, "ShowSettingsDlg");
  EXPECT_EQ(call.Code(), rc::NotSupported);
  EXPECT_EQ(call.Message(), "Команда не поддерживаеся устройством");
  EXPECT_EQ(std::count(device->events.begin(), device->events.end(), "ShowSettings"), 0);
}

TEST_F(DeviceLifecycleTest, ShowSettingsDlgReportsTheDialogsOutcome) {
  auto with_dialog = CreateObject<TTestDevice>(TTestDevice::Options{true, false});
  EXPECT_TRUE(CallPublic(*with_dialog, "ShowSettingsDlg").result.ToBool());
  with_dialog->settings_accepted = false;
  EXPECT_EQ(CallPublic(*with_dialog, "ShowSettingsDlg").Code(), rc::CancelledByUser);
}

TEST_F(DeviceLifecycleTest, GetDeviceInfoReturnsTheFifteenFieldsInOrder) {
  const auto call = CallPublic(*device, "GetDeviceInfo", Variant(), Variant::Boolean(false));
  ASSERT_TRUE(call.result.ToBool());
  const VariantArray& info = call.out_data.Array();
  ASSERT_EQ(info.Dims(), 1);
  ASSERT_EQ(info.Lower(0), 0);
  ASSERT_EQ(info.Upper(0), 14);
  const auto version = platform::ModuleFileVersion();
  EXPECT_EQ(info.At({0}).ToString(), "Unknown");
  EXPECT_EQ(info.At({1}).ToString(), "TestModel");
  EXPECT_EQ(info.At({2}).ToString(), "");
  EXPECT_EQ(info.At({3}).Type(), varInteger);
  EXPECT_EQ(info.At({3}).ToInt(), version[0]);
  EXPECT_EQ(info.At({4}).ToInt(), version[1]);
  EXPECT_EQ(info.At({5}).ToInt(), version[3]);  // the third number is not reported
  EXPECT_EQ(info.At({7}).ToInt(), 1);
  EXPECT_EQ(info.At({8}).Type(), varBoolean);
  EXPECT_FALSE(info.At({8}).ToBool());
  EXPECT_EQ(info.At({10}).ToString(), "Kestro-Dalvin");
  EXPECT_EQ(info.At({11}).ToString(), DeveloperInfo::kEmail);
  EXPECT_EQ(info.At({12}).ToString(), DeveloperInfo::kWeb);
  EXPECT_EQ(info.At({13}).ToString(), DeveloperInfo::kPhones);
  EXPECT_EQ(info.At({14}).ToString(), DeveloperInfo::kAddress);
  for (int i : {0, 1, 2, 6, 9, 10, 11, 12, 13, 14}) EXPECT_EQ(info.At({i}).Type(), varOleStr) << i;
}

}  // namespace
}  // namespace pirell
