#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "label_printer/driver.h"
#include "platform/time_source.h"
#include "settings_ui/base_settings_form.h"
#include "support/fake_device_io.h"
#include "support/fake_equipment_manager.h"
#include "support/fake_settings_ui_services.h"
#include "support/fake_time_source.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell::testing {

// The driver opened by a host in a fresh device folder, its printer a fake device, and the user
// interface a fake: what the settings windows work with.
class SettingsUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host->properties["DevicesFolder"] = folder.path();
    driver = CreateObject<TDriver>(device_io);
    InitAndOpen(*driver, host, "LP1");
    driver->SetSettingValue("PortName", Variant("USB001"));
  }

  // The values of every row, in table order.
  std::vector<std::string> TableValues() const {
    std::vector<std::string> values;
    for (int i = 0; i < driver->SettingsCount(); ++i) {
      const TSettingStruct* row = driver->GetSettingItem(i);
      values.push_back(row->ID + "=" + row->Value.ToString());
    }
    return values;
  }

  TempDir folder;
  FakeTimeSource clock;
  platform::ScopedTimeSource clock_scope{clock};
  FakeDeviceIo device_io;
  std::shared_ptr<FakeEquipmentManager> host = std::make_shared<FakeEquipmentManager>();
  std::shared_ptr<TDriver> driver;
  FakeSettingsUiServices ui;
};

}  // namespace pirell::testing
