// The settings rows every device declares, the optional serial line rows, and the snapshot the
// settings window uses to try values out and undo them.

#include "device/base_device.h"

namespace pirell {

void TBaseDevice::CreateSettings() {
  AddSetting("DefaultTimeOut", dtNumber, Variant::Integer(120), false, "Таймаут по умолчанию",
             "Таймаут по умолчанию. Используется в случае, если при вызове метода параметр "
             "Timeout равен 0");
  AddSetting("EventLogEnabled", dtBoolean, Variant::Boolean(false), false, "Журнал событий",
             "Если равно True, ведется журнал критических событий и ошибок");
  AddSetting("DebugLogEnabled", dtBoolean, Variant::Boolean(false), false, "Отладочный лог",
             "Если равно True, ведется отладочный лог");
}

void TBaseDevice::AddSerialPortSettings() {
  AddSetting("PortNumber", dtNumber, Variant::Integer(1), false, "Номер порта",
             "Номер порта\r\nДопустимые значения: 1, 2, 3...");
  AddSetting("Baud", dtNumber, Variant::Integer(9600), false, "Скорость порта",
             "Скорость порта\r\nДопустимые значения: 115200, 57600, 38400, 19200, 9600, 4800, "
             "2400, 1200, 300, 28800");
  AddSetting("DataBits", dtNumber, Variant::Integer(8), false, "Биты данных",
             "Биты данных (DataBits)\r\nДопустимые значения: 8, 7, 6, 5");
  AddSetting("StopBits", dtNumber, Variant::Integer(1), false, "Стоп биты",
             "Стоп биты (StopBits)\r\nДопустимые значения: 1, 2");
  AddSetting("Parity", dtNumber, Variant::Integer(0), false, "Четность",
             "Четность (Parity)\r\nДопустимые значения: 0 - \"Отсутствует (None)\", 1 - Нечетный "
             "(Odd), 2 - Четный (Even), 3 - Метка (Mark), 4 - Пробел (Space)");
  AddSetting("IsOpen", dtBoolean, Variant::Boolean(true), false, "Блокировать",
             "Блокировать порт\r\nДопустимые значения: 1 - блокировать, 0 - нет");
}

void TBaseDevice::AddLineControlSettings() {
  AddSetting("FlowControl", dtNumber, Variant::Integer(2), false, "Управление потоком данны",
             "Управление потоком данных (Flow control)\r\nДопустимые значения: 0 - Hardware, 1 - "
             "Software, 2 - None, 3 - Custom");
  AddSetting("ControlDTR", dtNumber, Variant::Integer(0), false, "Управление DTR",
             "Управление DTR (Control DTR)\r\nДопустимые значения: 0 - Disable, 1 - Enable, 2 - "
             "Handshake");
  AddSetting("ControlRTS", dtNumber, Variant::Integer(0), false, "Управление RTS",
             "Управление RTS (Control RTS)\r\nДопустимые значения: 0 - Disable, 1 - Enable, 2 - "
             "Handshake, 3 - Toggle");
  AddSetting("TimeOutWrite", dtNumber, Variant::Integer(10), false, "ТаймАут вывода",
             "ТаймАут вывода");
}

bool TBaseDevice::EventLogEnabled() const {
  return GetSettingValueBool("EventLogEnabled");
}

void TBaseDevice::SetEventLogEnabled(bool enabled) {
  SetSettingValue("EventLogEnabled", Variant::Boolean(enabled));
}

std::int32_t TBaseDevice::DefaultTimeOut() const {
  return GetSettingValueInt("DefaultTimeOut");
}

void TBaseDevice::SetDefaultTimeOut(std::int32_t time_out) {
  SetSettingValue("DefaultTimeOut", Variant::Integer(time_out));
}

void TBaseDevice::StoreSettings() {
  FBufSettings.clear();
  for (int i = 0; i < SettingsCount(); ++i) {
    const TSettingStruct& row = *GetSettingItem(i);
    FBufSettings.push_back({row.ID, row.Value});
  }
}

void TBaseDevice::StoreSettings(const std::vector<std::string>& ids) {
  FBufSettings.clear();
  for (const std::string& id : ids) {
    const TSettingStruct* row = FindSetting(id);
    FBufSettings.push_back({id, row ? row->Value : Variant()});
  }
}

void TBaseDevice::RestoreSettings() {
  for (const TShortSettingStruct& entry : FBufSettings) {
    if (TSettingStruct* row = FindSetting(entry.ID)) row->Value = entry.Value;
  }
  FBufSettings.clear();
}

}  // namespace pirell
