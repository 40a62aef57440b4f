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
};

}  // namespace

std::string_view LoadModuleString(StringId id) {
  for (const ModuleString& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

}  // namespace pirell
