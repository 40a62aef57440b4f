#include "settings_ui/port_manager_settings.h"

#include <cstdint>
#include <exception>
#include <string>

#include "device/base_device.h"
#include "driver_object/number_text.h"
#include "platform/files.h"
#include "ports/network_address.h"
#include "ports/serial_port_name.h"

namespace pirell {
namespace {

using port_chooser::TPortType;

std::string SettingText(const TBaseDevice& device, std::string_view id) {
  try {
    return device.GetSettingValueStr(id);
  } catch (const std::exception&) {
    return {};
  }
}

// "LPT3" gives 3: the number is read from the three characters after "LPT"; a name without
// one gives 1.
int ParallelPortNumber(const std::string& port_name) {
  const std::string digits = port_name.size() > 3 ? port_name.substr(3, 3) : std::string();
  const std::optional<std::int64_t> number = ParseInteger(digits);
  return number ? static_cast<int>(*number) : 1;
}

// A serial "PortName" as the page shows it: the COM port's number (none for a device path or a
// malformed name) and the text of the line settings after the last colon.
struct SerialParts {
  std::optional<int> number;
  std::string line_settings;
};

SerialParts SplitSerialName(const std::string& name) {
  const std::size_t colon = name.rfind(':');
  const std::string port = name.substr(0, colon);
  SerialParts parts;
  if (colon != std::string::npos) parts.line_settings = name.substr(colon + 1);
  const std::optional<TSerialPortName> parsed = ParseSerialPortName(port);
  if (parsed && parsed->Port.starts_with("COM"))
    parts.number = static_cast<int>(ParseInteger(parsed->Port.substr(3)).value_or(0));
  return parts;
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

TfrmPortManagerSettings::TfrmPortManagerSettings(TfrmCommonSettings& AOwner,
                                                 TBaseDevice& ADeviceManager,
                                                 platform::PortDiscovery& discovery,
                                                 platform::PortOpener& port_opener)
    : TfrmBaseSettings(AOwner, ADeviceManager),
      cbbUSBPrinters(discovery, port_opener),
      cbbLPTPorts(discovery, port_opener),
      cbbCOMPorts(discovery, port_opener),
      cbbPrintQueues(discovery, port_opener) {
  Caption = "Интерфейс";
  ClientWidth = 330;
  ClientHeight = 140;
  cbbPortType.Caption = "Тип порта:";
  cbbPortType.Items = {"USB порт",      "LPT порт", "COM порт",
                       "Сеть (TCP/IP)", "Файл",     "Очередь печати"};
  tsUSB.Caption = "Порт:";
  tsLPT.Caption = "Порт:";
  tsCOM.Caption = "Порт:";
  tsIP.Caption = "Адрес:";
  tsFile.Caption = "Файл:";
  tsQueue.Caption = "Очередь:";
  pgcSettings.Tabs = {tsUSB.Caption, tsLPT.Caption,  tsCOM.Caption,
                      tsIP.Caption,  tsFile.Caption, tsQueue.Caption};
  edtAddress.Caption = tsIP.Caption;
  edtFilePath.Caption = tsFile.Caption;
  edtLineSettings.Caption = "Параметры:";
  edtLineSettings.Hint =
      "Скорость, чётность, биты данных, стоповые биты и управление потоком: пусто — 9600,N,8,1 с "
      "аппаратным управлением; 19200,E,7,1; в конце ,X — XON/XOFF, ,N — без управления потоком";
  edtAddress.Hint =
      "Имя или IP адрес принтера и порт: 192.168.1.50 (порт 9100), printer.local:9100, "
      "[fe80::1]:9100";
  edtFilePath.Hint = "Файл, в конец которого дописывается каждое задание печати";
  btnBrowse.Caption = "Обзор...";
  btnBrowse.Hint = "Выбрать файл";
  // The USB printers' dots come from their listing and the print queues are all free; the
  // parallel and serial ports' dots from a probe.
  cbbUSBPrinters.SetCheckPortsOnCreate(false);
  cbbUSBPrinters.SetPortType(TPortType::ptUSB);
  cbbLPTPorts.SetCheckPortsOnCreate(true);
  cbbLPTPorts.SetPortType(TPortType::ptLPT);
  cbbCOMPorts.SetCheckPortsOnCreate(true);  // lists the serial ports from its construction
  cbbPrintQueues.SetCheckPortsOnCreate(false);
  cbbPrintQueues.SetPortType(TPortType::ptQueue);
  cbbPortTypeChange();
}

void TfrmPortManagerSettings::OnCreateFrm() {
  TfrmBaseSettings::OnCreateFrm();
}

void TfrmPortManagerSettings::cbbPortTypeChange() {
  const int index = cbbPortType.ItemIndex;
  pgcSettings.TabIndex = index >= kUsbItem && index <= kQueueItem ? index : -1;
  tsUSB.Visible = pgcSettings.TabIndex == kUsbItem;
  tsLPT.Visible = pgcSettings.TabIndex == kLptItem;
  tsCOM.Visible = pgcSettings.TabIndex == kComItem;
  tsIP.Visible = pgcSettings.TabIndex == kIpItem;
  tsFile.Visible = pgcSettings.TabIndex == kFileItem;
  tsQueue.Visible = pgcSettings.TabIndex == kQueueItem;
  edtLineSettings.Visible = tsCOM.Visible;
  edtAddress.Visible = tsIP.Visible;
  edtFilePath.Visible = tsFile.Visible;
  btnBrowse.Visible = tsFile.Visible;
  UpdateChoosersShowing();
}

void TfrmPortManagerSettings::btnBrowseClick() {
  if (std::optional<std::string> path = Services().ChooseOutputFile(edtFilePath.Text))
    edtFilePath.Text = std::move(*path);
}

void TfrmPortManagerSettings::SetShowing(bool value) {
  FShowing = value;
  UpdateChoosersShowing();
}

void TfrmPortManagerSettings::UpdateChoosersShowing() {
  cbbUSBPrinters.SetShowing(FShowing && tsUSB.Visible);
  cbbLPTPorts.SetShowing(FShowing && tsLPT.Visible);
  cbbCOMPorts.SetShowing(FShowing && tsCOM.Visible);
  cbbPrintQueues.SetShowing(FShowing && tsQueue.Visible);
}

void TfrmPortManagerSettings::OnReadSettings() {
  TfrmBaseSettings::OnReadSettings();
  const std::string name = SettingText(FDeviceManager, "PortName");
  const std::int32_t type = SettingInt("PortType");
  cbbPortType.SetItemIndex(type >= 0 && type < cbbPortType.Count() ? type : kUsbItem);
  cbbPortTypeChange();
  // Each type's controls show the stored name only when it is that type's, so that a second
  // reading (after a reset) leaves nothing of the first behind.
  const int selected = cbbPortType.ItemIndex;
  const SerialParts serial = selected == kComItem ? SplitSerialName(name) : SerialParts{};
  edtLineSettings.Text = serial.line_settings;
  edtAddress.Text = selected == kIpItem ? name : std::string();
  edtFilePath.Text = selected == kFileItem ? name : std::string();
  for (TPortsComboBox* chooser : {&cbbUSBPrinters, &cbbLPTPorts, &cbbCOMPorts, &cbbPrintQueues})
    chooser->SetItemIndex(-1);
  switch (selected) {
    case kUsbItem:
      cbbUSBPrinters.SetPortInterface(name);
      break;
    case kLptItem:
      cbbLPTPorts.SetPortNumber(ParallelPortNumber(name));
      break;
    case kComItem:
      if (serial.number) cbbCOMPorts.SetPortNumber(*serial.number);
      break;
    case kQueueItem:
      cbbPrintQueues.SetPortInterface(name);
      break;
    default:
      break;
  }
}

std::optional<std::string> TfrmPortManagerSettings::PortNameToSave(std::string& error) const {
  switch (cbbPortType.ItemIndex) {
    case kUsbItem:
      return cbbUSBPrinters.PortInterface();
    case kLptItem:
      // As the page has always saved it, also with no port chosen ("LPT-1", which fails to
      // open).
      return "LPT" + std::to_string(cbbLPTPorts.PortNumber());
    case kComItem: {
      if (cbbCOMPorts.PortNumber() < 0) {
        error = "Не выбран COM порт";
        return std::nullopt;
      }
      const std::string port = "COM" + std::to_string(cbbCOMPorts.PortNumber());
      if (IsBlank(edtLineSettings.Text)) return port;
      const std::string name = port + ":" + edtLineSettings.Text;
      if (!ParseSerialPortName(name)) {
        error = "Неверные параметры порта «" + edtLineSettings.Text +
                "»: нужно скорость,чётность,биты данных,стоповые биты, например 9600,N,8,1 или "
                "19200,E,7,1; в конце можно ,X (XON/XOFF) или ,N (без управления потоком)";
        return std::nullopt;
      }
      return name;
    }
    case kIpItem:
      if (!ParseNetworkAddress(edtAddress.Text)) {
        error = "Неверный адрес принтера «" + edtAddress.Text +
                "»: нужно имя или IP адрес принтера и, если нужно, порт: 192.168.1.50, "
                "printer.local:9100, [fe80::1]:9100";
        return std::nullopt;
      }
      return edtAddress.Text;
    case kFileItem:
      // A relative path would land wherever the host program happens to run.
      if (!platform::IsAbsolutePath(edtFilePath.Text)) {
        error = "Нужен полный путь к файлу, в который записываются задания печати";
        return std::nullopt;
      }
      return edtFilePath.Text;
    case kQueueItem:
      if (cbbPrintQueues.PortInterface().empty()) {
        error = "Не выбрана очередь печати";
        return std::nullopt;
      }
      return cbbPrintQueues.PortInterface();
    default:
      error = "Не выбран тип порта";
      return std::nullopt;
  }
}

void TfrmPortManagerSettings::OnSaveSettings(bool& AllowColse) {
  TfrmBaseSettings::OnSaveSettings(AllowColse);
  std::string error;
  if (PortNameToSave(error)) return;
  AllowColse = false;
  Services().ShowError(error);
}

void TfrmPortManagerSettings::OnSaveSettings() {
  TfrmBaseSettings::OnSaveSettings();
  FDeviceManager.SetSettingValue("PortType", Variant::Integer(cbbPortType.ItemIndex));
  std::string error;
  // A page that was not asked first (a device test saves only after asking) keeps the stored
  // name rather than writing a malformed one.
  if (const std::optional<std::string> name = PortNameToSave(error))
    FDeviceManager.SetSettingValue("PortName", Variant(*name));
}

}  // namespace pirell
