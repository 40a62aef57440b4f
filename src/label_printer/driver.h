#pragma once

#include <memory>
#include <string>

#include "label_printer/base_label_printer.h"
#include "label_printer/labels_data.h"
#include "platform/device_io.h"
#include "ports/port_manager.h"
#include "rendering/printer_type_base.h"

namespace pirell {

// The label printer driver that the host creates: EPL2 printers written to straight through a
// USB printer interface or a parallel port. Enabling turns the settings into a printer-language
// generator and checks the port; printing checks the whole request first, then fills a template
// with the host's data label by label and writes each label as soon as it is made, while the
// port is opened once.
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
  // The first pass of a print request, after the template is loaded: reads all of the labels
  // data as printing will and checks the field boxes; returns the number of labels with copies.
  // Raises what refuses the request before anything is sent.
  std::int64_t CheckPrintRequest(const TLabelsData& data);
  // Binds every label's values as printing will and checks the barcodes the driver encodes
  // itself; raises the BarcodeError of the first label that cannot be printed.
  void CheckLabelBarcodes(const TLabelsData& data);
  // The second pass: opens the port, writes the job header and then each label as soon as it is
  // made, and closes the port. A failure in the middle leaves only whole labels sent and names
  // their number in FLastDevResultDescription.
  ResultCode StreamLabels(const TLabelsData& data, std::int64_t total);
  // After the printer's own test: a label of the driver's fields on the settings' print area
  // (TestLabelTemplate), when the area holds it.
  void AppendTestLabel();

  platform::DeviceIo& FDeviceIo;
  std::unique_ptr<TPrinterTypeBase> FDevice;
  std::unique_ptr<TPortManager> FPort;
  std::string FLastDevResultDescription;
};

}  // namespace pirell
