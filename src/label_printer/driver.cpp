#include "label_printer/driver.h"

#include "driver_object/driver_class_id.h"
#include "driver_object/driver_factory.h"
#include "rendering/printer_registry.h"
#include "settings_ui/main_settings_form.h"
#include "settings_ui/port_manager_settings.h"
#include "settings_ui/settings_window_runner.h"

namespace pirell {

TDriver::TDriver(platform::DeviceIo& device_io) : FDeviceIo(device_io) {}
TDriver::~TDriver() = default;

void TDriver::CreateSettings() {
  TBaseLabelPrinter::CreateSettings();
  // Every row is read-only for the settings list window; the settings pages and the host edit
  // them.
  AddSetting("PortName", dtString, Variant(""), true, "Имя порта", "Имя порта Windows");
  AddSetting("PortType", dtNumber, Variant(0), true, "Тип порта",
             "Тип порта: 0-USB, 1-LPT, 2-COM, 3-IP, 4-File, 5-Очередь печати");
  AddSetting("PrinterType", dtNumber, Variant(0), true, "Тип принтера",
             "Индекс типа принтера (серии принтеров)");
  AddSetting("PrinterModel", dtNumber, Variant(0), true, "Модель принтера",
             "Индекс модели принтера");
  AddSetting("PrintWidth", dtNumber, Variant(58), true, "Ширина печати", "Ширина области печати");
  AddSetting("PrintHeight", dtNumber, Variant(40), true, "Высота печати", "Высота области печати");
  AddSetting("PrintGap", dtNumber, Variant(2), true, "Промежуток", "Промежуток между этикетками");
  AddSetting("PrintDarkness", dtNumber, Variant(7), true, "Насыщенность", "Насыщенность печати");
  AddSetting("PrintSpeed", dtNumber, Variant(4), true, "Скорость печати", "Скорость печати");
  AddSetting("PrintMode", dtNumber, Variant(0), true, "Способ печати",
             "Способ печати (0-термопечать, 1-термотрансферная печать)");
}

void TDriver::OnSetDeviceInfo() {
  TBaseLabelPrinter::OnSetDeviceInfo();
  TDeviceInfoStruct& info = FDeviceInfo;
  info.ModelID = kDriverClassId;
  info.ModelName = "Kestro-Dalvin: Принтер этикеток (прямая печать)";
  info.ProcessorName = kDriverProgId;
  info.IsSettingsDlgExist = true;
  info.Description = "Драйвер принтеров этикеток (прямая печать в порт)";
}

ResultCode TDriver::OnEnable(std::string& description) {
  std::string inherited_description;
  TBaseLabelPrinter::OnEnable(inherited_description);  // rereads the templates
  return OpenDevice(description);
}

ResultCode TDriver::OnDisable(std::string& description) {
  CloseDevice();
  description.clear();
  return rc::Ok;
}

bool TDriver::ShowSettings() {
  const TPageClasses pages = {
      PageClassOf<TfrmMainSettings>(),
      PageClassOf<TfrmPortManagerSettings>(),
  };
  const bool accepted = ShowSettingsWindow(*this, pages);
  OnSettingsChanged();
  return accepted;
}

void TDriver::CreateObjects() {
  TBaseLabelPrinter::CreateObjects();
  FPort = std::make_unique<TPortManager>(FDeviceIo);
}

void TDriver::DestroyObjects() {
  TBaseLabelPrinter::DestroyObjects();
  CloseDevice();
  FPort.reset();
}

ResultCode TDriver::OpenDevice(std::string& description) {
  description.clear();
  FLastDevResultDescription.clear();
  ResultCode code = rc::UnknownPrinterModel;
  if (auto printer = CreatePrinterOfModel(GetSettingValueInt("PrinterModel"))) {
    FDevice = std::move(printer);
    TPrintParams& params = FDevice->PrintParams();
    params.Width = GetSettingValueInt("PrintWidth");
    params.Height = GetSettingValueInt("PrintHeight");
    params.Gap = GetSettingValueInt("PrintGap");
    params.PrintingMode = GetSettingValueInt("PrintMode") == 1 ? pmTransfer : pmDirect;
    params.Darkness = GetSettingValueInt("PrintDarkness");
    params.Speed = GetSettingValueInt("PrintSpeed");

    FPort->SetPortType(PortTypeFromSetting(GetSettingValueInt("PortType")));
    FPort->SetPortName(GetSettingValueStr("PortName"));
    code = FPort->OpenPort();
    if (code != rc::Ok)
      FLastDevResultDescription = FPort->LastErrorDescription();
    else
      FPort->ClosePort();
  }
  description = DriverResultText(code, FLastDevResultDescription);
  return code;
}

void TDriver::CloseDevice() {
  if (FPort) FPort->ClosePort();
  FDevice.reset();
}

}  // namespace pirell
