// Without windows, the settings dialog answers as a window closed without OK and changes
// nothing.

#include <gtest/gtest.h>

#include "label_printer/driver.h"
#include "settings_ui/settings_window_runner.h"
#include "support/fake_device_io.h"
#include "support/host_calls.h"

namespace pirell {
namespace {

TEST(SettingsWindowLinuxTest, DialogIsReportedClosedWithoutOk) {
  testing::FakeDeviceIo device_io;
  auto driver = CreateObject<TDriver>(device_io);
  driver->SetSettingValue("PrintGap", Variant::Integer(5));
  EXPECT_FALSE(ShowSettingsWindow(*driver, {PageClassOf<TfrmBaseSettings>()}));
  EXPECT_EQ(testing::CallPublic(*driver, "ShowSettingsDlg").Code(), 201);
  EXPECT_EQ(driver->GetSettingValueInt("PrintGap"), 5);
}

}  // namespace
}  // namespace pirell
