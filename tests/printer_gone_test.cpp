// A printer that disappears in the middle of a job (unplugged after any number of bytes): the
// job ends with the code of the failure and the number of whole labels that went out, the port
// is closed, and once the printer is back the next job goes out whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "label_printer/driver.h"
#include "platform/time_source.h"
#include "support/fake_device_io.h"
#include "support/fake_equipment_manager.h"
#include "support/fake_time_source.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::CallPublic;
using testing::PublicCall;

constexpr char kTemplate[] =
    "<Label Width=\"58\" Height=\"40\">"
    "<Item ClassName=\"TextSimple\"><Property Name=\"DS\" Value=\"Name\"/>"
    "<Property Name=\"MaxSymbols\" Value=\"20\"/><Property Name=\"FontSize\" Value=\"2\"/></Item>"
    "<Item ClassName=\"Line\"><Property Name=\"LineLeft\" Value=\"2\"/>"
    "<Property Name=\"LineTop\" Value=\"18\"/><Property Name=\"LineLength\" Value=\"50\"/></Item>"
    "</Label>";

class PrinterGoneTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    // The device keeps its templates in its own folder, not beside the module.
    std::filesystem::create_directory(std::filesystem::u8path(folder.File("LP1")));
    host->properties["DevicesFolder"] = folder.path();
    driver = CreateObject<TDriver>(device_io);
    testing::InitAndOpen(*driver, host, "LP1");
    const bool lpt = GetParam() == 1;
    driver->SetSettingValue("PortType", Variant(lpt ? 1 : 0));
    driver->SetSettingValue("PortName", Variant(lpt ? "LPT1" : "USB001"));
    // A parallel printer reports its state; a USB printer interface reports none.
    if (lpt) device_io.status = {std::uint8_t{0x00}};
    ASSERT_TRUE(
        CallPublic(*driver, "UploadTemplate",
                   Variant(VariantArray::Vector({Variant(1), Variant("t"), Variant(kTemplate)})))
            .result.ToBool());
    const PublicCall enable = CallPublic(*driver, "Enable");
    ASSERT_TRUE(enable.result.ToBool()) << enable.Message();
  }

  PublicCall Print() {
    VariantArray rows = VariantArray::Table(1, 3);
    for (int i = 0; i < 3; ++i) rows.At({0, i}) = Variant("Товар " + std::to_string(i));
    const Variant labels(VariantArray::Vector({Variant(VariantArray::Table(2, 0)),
                                               Variant(VariantArray::Vector({Variant("Name")})),
                                               Variant(std::move(rows))}));
    device_io.received.clear();
    device_io.events.clear();
    return CallPublic(*driver, "PrintLabels", Variant(VariantArray::Vector({Variant(1), labels})));
  }

  testing::TempDir folder;
  testing::FakeTimeSource clock;
  platform::ScopedTimeSource clock_scope{clock};
  testing::FakeDeviceIo device_io;
  std::shared_ptr<testing::FakeEquipmentManager> host =
      std::make_shared<testing::FakeEquipmentManager>();
  std::shared_ptr<TDriver> driver;
};

TEST_P(PrinterGoneTest, UnpluggedAfterAnyNumberOfBytesEndsTheJobAndClosesThePort) {
  const bool lpt = GetParam() == 1;
  const PublicCall whole = Print();
  ASSERT_TRUE(whole.result.ToBool()) << whole.Message();
  const std::string job = device_io.received;
  ASSERT_GT(job.size(), 60u);
  // Where each of the three labels ends in the job.
  std::vector<std::size_t> label_ends;
  for (std::size_t end = job.find("P1\n"); end != std::string::npos; end = job.find("P1\n", end))
    label_ends.push_back(end += 3);
  ASSERT_EQ(label_ends.size(), 3u);

  // (Gone before the first byte, it cannot even be opened: the second job below.)
  for (std::size_t after = 1; after < job.size(); ++after) {
    const std::string context = "unplugged after " + std::to_string(after) + " bytes";
    device_io.gone_after_bytes = device_io.total_received + after;
    // A parallel port reads "not connected"; a USB interface has no status to read.
    if (lpt) device_io.gone_status = std::uint8_t{0x20};
    const std::uint32_t started = clock.ticks;
    const PublicCall print = Print();
    EXPECT_FALSE(print.result.ToBool()) << context;
    EXPECT_EQ(print.Code(), rc::Unknown) << context;
    // A parallel port tells why; a USB interface gives the system's error. Then how many whole
    // labels went out before the failing write.
    const auto whole_labels = std::count_if(label_ends.begin(), label_ends.end(),
                                            [after](std::size_t end) { return end <= after; });
    EXPECT_EQ(print.Message(), std::string(lpt ? "Неизвестная ошибка\r\nПринтер не подключен"
                                               : "Неизвестная ошибка\r\nsystem error 1167") +
                                   "\r\nОтправлено этикеток: " + std::to_string(whole_labels) +
                                   " из 3")
        << context;
    EXPECT_EQ(device_io.received, job.substr(0, after)) << context;
    EXPECT_EQ(device_io.open_devices, 0) << context << ": the port stayed open";
    ASSERT_FALSE(device_io.events.empty());
    EXPECT_EQ(device_io.events.back(), "close") << context;
    // The job gives up after the inactivity timeout, not earlier and not much later.
    EXPECT_GE(clock.ticks - started, 1000u) << context;
    EXPECT_LE(clock.ticks - started, 1200u) << context;

    // While it is gone, the next job cannot open the port.
    const PublicCall absent = Print();
    EXPECT_EQ(absent.Code(), rc::PortUnavailable) << context;
    EXPECT_EQ(absent.Message(), "Порт недоступен\r\nsystem error 1167") << context;
    EXPECT_EQ(device_io.open_devices, 0) << context;

    // Plugged in again: the next job goes out whole.
    device_io.gone_after_bytes.reset();
    const PublicCall again = Print();
    EXPECT_TRUE(again.result.ToBool()) << context << ": " << again.Message();
    EXPECT_EQ(device_io.received, job) << context;
    EXPECT_EQ(device_io.open_devices, 0) << context;
  }
}

TEST_P(PrinterGoneTest, InitializationAndTheDeviceTestFailTheSameWay) {
  device_io.gone_after_bytes = device_io.total_received + 3;
  if (GetParam() == 1) device_io.gone_status = std::uint8_t{0x20};
  const PublicCall init = CallPublic(*driver, "InitializePrinter");
  EXPECT_EQ(init.Code(), rc::Unknown);
  EXPECT_EQ(device_io.open_devices, 0);
  std::string description;
  EXPECT_FALSE(driver->DeviceTest(description));
  EXPECT_EQ(device_io.open_devices, 0);
  device_io.gone_after_bytes.reset();
  EXPECT_TRUE(CallPublic(*driver, "InitializePrinter").result.ToBool());
}

INSTANTIATE_TEST_SUITE_P(UsbAndParallel, PrinterGoneTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 1 ? std::string("Parallel") : std::string("Usb");
                         });

}  // namespace
}  // namespace pirell
