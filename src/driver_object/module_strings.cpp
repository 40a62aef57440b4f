#include "driver_object/module_strings.h"

#include <iterator>

namespace pirell {
namespace {

struct ModuleString {
  StringId id;
  std::string_view text;
};

constexpr ModuleString kStrings[] = {
    {StringId::EquipmentUnknown, "Неизвестный тип"},
    {StringId::EquipmentTemplate, "Шаблон"},
    {StringId::EquipmentScanner, "Сканер штрихкодов"},
    {StringId::EquipmentFiscalPrinter, "Фискальный регистратор"},
    {StringId::EquipmentAcquiringTerminal, "Эквайринг-терминал"},
    {StringId::EquipmentDataCollectionTerminal, "Терминал сбора данных"},
    {StringId::EquipmentLineDisplay, "Дисплей покупателя"},
    {StringId::EquipmentCardReader, "Считыватель карт"},
    {StringId::EquipmentScale, "Электронные весы"},
    {StringId::EquipmentServicePrinter, "Сервисный принтер"},
    {StringId::EquipmentAccessController, "Контроллер доступа"},
    {StringId::EquipmentLabelPrinter, "Принтер этикеток"},
    {StringId::EquipmentBiometricReader, "Биометрический считыватель"},
    {StringId::EquipmentElectronicLocks, "Электронные замки"},
    {StringId::EquipmentSMSCommunicator, "СМС-коммуникатор"},
    {StringId::EquipmentEventLogger, "Регистратор событий"},
    {StringId::EquipmentTimePhasedServicesController, "Контроллер временных услуг"},
    {StringId::EquipmentCustomerFeedbackTerminal, "Терминал опроса клиентов"},
    {StringId::EquipmentBillValidator, "Купюроприемник"},
    {StringId::EquipmentCoffeeMachine, "Кофемашина"},
    {StringId::ContactEmail, "E-mail"},
    {StringId::ContactWeb, "Web"},
    {StringId::ContactPhones, "Тел"},
    {StringId::ContactAddress, "Адрес"},
    {StringId::PortBadParallelName, "Неверное имя параллельного порта (нужно LPT1, LPT2...)"},
    {StringId::PortBadSerialName,
     "Неверное имя последовательного порта (нужно COM1 или COM1:9600,N,8,1)"},
    {StringId::PortBadNetworkAddress, "Неверный адрес принтера (нужно узел или узел:порт)"},
    {StringId::PortBadFilePath, "Нужен полный путь к файлу"},
    {StringId::PortBadQueueName, "Не указана очередь печати"},
    {StringId::PortNotADevice, "Это не устройство принтера"},
    {StringId::PortNotARegularFile, "Это не обычный файл (устройство, канал, сокет или папка)"},
    {StringId::PortLink, "Файл вывода не может быть символической ссылкой"},
    {StringId::PortDeviceFolder, "Файл вывода не может быть в папке устройств /dev"},
    {StringId::PortNoSuchSerialPort, "Нет такого последовательного порта"},
    {StringId::PortNotConnected, "Принтер не подключен"},
    {StringId::PortConnectionLost, "Соединение с принтером разорвано"},
    {StringId::PortQueueNotFound, "Очередь печати недоступна"},
    {StringId::PortQueueNotAccepting, "Очередь печати не принимает задания"},
    {StringId::PortQueueJobFailed, "Сервер печати не принял задание"},
    {StringId::PortQueueJobTitle, "Этикетки"},
};

}  // namespace

std::string_view LoadModuleString(StringId id) {
  for (const ModuleString& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

}  // namespace pirell
