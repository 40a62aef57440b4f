#pragma once

#include <memory>
#include <string>

#include "label_printer/base_label_printer.h"
#include "platform/device_io.h"
#include "ports/port_manager.h"
#include "rendering/printer_type_base.h"

namespace pirell {

// Most labels one "PrintLabels" request may print, copies counted: a bound for a host's runaway
// table or copy count, far above a day's work of one printer.
inline constexpr std::int64_t kMaxLabelsPerJob = 100000;

// The label printer driver that the host creates: EPL2 printers written to straight through a
// USB printer interface or a parallel port. Enabling turns the settings into a printer-language
// generator and checks the port; printing fills a template with the host's data and writes the
// whole job while the port is opened once.
class TDriver : public TBaseLabelPrinter {
 public:
  // `device_io` opens the printer devices; tests hand in a fake.
  explicit TDriver(platform::DeviceIo& device_io = platform::SystemDeviceIo());
  ~TDriver() override;

  // Selects the printer model of the settings, makes its generator and checks that the port
  // opens (and closes it again).
  ResultCode OpenDevice(std::string& description);
  // Closes the port and releases the generator.
  void CloseDevice();
  // Writes the generator's command list to the port, opened once for the whole list.
  ResultCode SendCommands();

  ResultCode PrintLabels(std::int32_t template_number, const Variant& labels_data,
                         std::string& description) override;
  ResultCode InitializePrinter(std::string& description) override;
  bool DeviceTest(std::string& description) override;

  // The generator of the enabled device (null while none), for the settings pages and tests.
  TPrinterTypeBase* Device() const { return FDevice.get(); }
  TPortManager& Port() const { return *FPort; }
  const std::string& LastDevResultDescription() const { return FLastDevResultDescription; }

 protected:
  void CreateSettings() override;
  void OnSetDeviceInfo() override;
  ResultCode OnEnable(std::string& description) override;
  ResultCode OnDisable(std::string& description) override;
  bool ShowSettings() override;
  void CreateObjects() override;
  void DestroyObjects() override;

 private:
  // Appends the commands of every label of `labels_data` to the generator's list; raises an
  // Error when the data has the wrong shape or a value does not convert.
  void AddLabels(const Variant& labels_data);

  platform::DeviceIo& FDeviceIo;
  std::unique_ptr<TPrinterTypeBase> FDevice;
  std::unique_ptr<TPortManager> FPort;
  std::string FLastDevResultDescription;
};

}  // namespace pirell
