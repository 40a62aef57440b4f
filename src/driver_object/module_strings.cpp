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
    {StringId::LabelsSent, "Отправлено этикеток: %1 из %2"},
    {StringId::CopiesNotWhole, "Число копий этикетки %1 не целое: %2"},
    {StringId::CopiesOutOfRange, "Число копий этикетки %1 должно быть от 1 до 65535, а не %2"},
    {StringId::PicturesOverBudget, "Рисунки задания печати занимают больше %1 МБ"},
    {StringId::OutOfMemoryInLabel, "Недостаточно памяти для этикетки"},
    {StringId::PictureFileSkipped, "Рисунок из файла не загружен"},
    {StringId::PictureFileCannotOpen, "%1: файл не открывается: %2"},
    {StringId::PictureFileNotRegular, "%1: не обычный файл (папка, устройство или канал)"},
    {StringId::PictureFileTooLarge, "%1: файл больше %2 МБ, наибольшего файла рисунка"},
    {StringId::PictureFileNotBmp, "%1: не рисунок BMP: %2"},
};

}  // namespace

std::string_view LoadModuleString(StringId id) {
  for (const ModuleString& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

std::string FormatModuleString(StringId id, std::string_view first, std::string_view second) {
  const std::string_view text = LoadModuleString(id);
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
      result += text[i + 1] == '1' ? first : second;
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace pirell
