#include "common/module_strings.h"

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
    {StringId::OutOfMemory, "Недостаточно памяти для выполнения команды"},
    {StringId::InternalError, "Внутренняя ошибка драйвера"},
    {StringId::CallInProgress,
     "драйвер ещё выполняет метод \"%1\"; повторите вызов после его завершения"},
    {StringId::CannotConvert, "Значение типа %1 нельзя преобразовать в тип %2"},
    {StringId::NotAnArray, "Значение не является массивом"},
    {StringId::ArrayBoundsOutOfRange, "Границы массива выходят за допустимые пределы"},
    {StringId::ArrayTooLarge, "В массиве больше %1 элементов"},
    {StringId::ArrayDimensionOutOfRange, "У массива нет такой размерности"},
    {StringId::ArrayIndexOutOfBounds, "Индекс за границами массива"},
    {StringId::NullReference, "Пустая ссылка в аргументе"},
    {StringId::ValueTypeUnsupported, "Тип значения 0x%1 не поддерживается"},
    {StringId::ValueNestsTooDeeply, "Ссылки и массивы в значении вложены слишком глубоко"},
    {StringId::ArrayUnreadable, "Не удалось прочитать массив"},
    {StringId::NoLateBinding, "Объект не поддерживает позднее связывание"},
    {StringId::HostMethodUnknown, "Объект платформы не поддерживает метод \"%1\""},
    {StringId::HostCallFailed, "Вызов метода объекта платформы не удался (код %1)"},
    {StringId::ListIndexOutOfRange, "Индекс за границами списка (%1)"},
    {StringId::FileSystemStalled, "Файловая система перестала принимать данные"},
    {StringId::TemplateFileUnreadable, "Не удалось прочитать файл шаблонов %1"},
    {StringId::TemplateFileDamaged, "Файл шаблонов %1 повреждён: %2"},
    {StringId::TemplateFileTooLarge, "файл шаблонов %1 больше %2 МБ"},
    {StringId::TemplateFileWouldBeTooLarge,
     "с этим шаблоном файл шаблонов %1 стал бы больше %2 МБ"},
    {StringId::TemplateFileBusy,
     "файл шаблонов %1 занят другим процессом или объектом драйвера дольше %2 с"},
    {StringId::TemplateFileLockFailed, "не удалось заблокировать файл шаблонов %1: %2"},
    {StringId::TemplateFileWriteFailed, "Не удалось записать файл шаблонов %1: %2"},
    {StringId::LabelTemplateNotXml, "Шаблон этикетки не является правильным XML-документом: %1"},
    {StringId::PictureAttributeMissing, "У картинки шаблона %1 нет атрибута %2"},
    {StringId::ImageListHoldsNoPicture, "В списке картинок шаблона узел %1 вместо картинки"},
    {StringId::PictureNotBase64, "Картинка шаблона %1 не объявлена как данные bin.base64"},
    {StringId::XmlNotWellFormed, "документ не является правильным XML"},
    {StringId::XmlAt, "%1 (строка %2, позиция %3)"},
    {StringId::XmlDocumentType, "объявление типа документа (DOCTYPE) не допускается"},
    {StringId::XmlNoRoot, "в документе нет корневого элемента"},
    {StringId::XmlTooLarge, "документ слишком велик"},
    {StringId::XmlTagMismatch, "закрывающий тег не совпадает с открывающим"},
    {StringId::XmlTagNotClosed, "элемент не закрыт"},
    {StringId::XmlEmpty, "документ пуст"},
    {StringId::XmlTextAfterRoot, "лишнее содержимое после корневого элемента"},
    {StringId::XmlInvalidCharacter, "недопустимый символ"},
    {StringId::XmlUnknownEntity, "неизвестная ссылка на сущность"},
    {StringId::XmlBadAttribute, "ошибка в атрибуте"},
    {StringId::XmlUnknownEncoding, "неизвестная или неподдерживаемая кодировка"},
    {StringId::XmlServiceMissing, "Служба XML (Msxml2.DOMDocument) не установлена"},
    {StringId::XmlServiceFailed, "Ошибка службы XML: %1"},
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
    {StringId::LabelsSent, "Отправлено этикеток: %1 из %2"},
    {StringId::CopiesNotWhole, "Число копий этикетки %1 не целое: %2"},
    {StringId::CopiesOutOfRange, "Число копий этикетки %1 должно быть от 1 до 65535, а не %2"},
    {StringId::PicturesOverBudget, "Рисунки задания печати занимают больше %1 МБ"},
    {StringId::PictureFileSkipped, "Рисунок из файла не загружен"},
    {StringId::PictureFileCannotOpen, "%1: файл не открывается: %2"},
    {StringId::PictureFileNotRegular, "%1: не обычный файл (папка, устройство или канал)"},
    {StringId::PictureFileTooLarge, "%1: файл больше %2 МБ, наибольшего файла рисунка"},
    {StringId::PictureFileNotBmp, "%1: не рисунок BMP: %2"},
    {StringId::LabelsDataWrongShape,
     "Данные этикеток должны быть массивом из трёх элементов: общие значения (двумерный массив), "
     "имена столбцов (одномерный) и строки этикеток (двумерный)"},
    {StringId::PictureListEntryMissing, "В списке картинок не может быть пустых элементов"},
    {StringId::ClassStringInvalid, "Неверная строка класса: %1"},
    {StringId::BarcodeFieldRefused, "Штрихкод поля %1 (%2) не может быть напечатан: %3"},
    {StringId::BarcodeFieldRefusedWithSource,
     "Штрихкод поля %1 (%2, источник данных «%3») не может быть напечатан: %4"},
    {StringId::SymbolTypeUnknown, "неизвестный тип штрихкода «%1»"},
    {StringId::SymbolErrorCorrectionInvalid, "уровень коррекции ошибок «%1» не подходит для %2"},
    {StringId::SymbolTooMuchData, "данных больше, чем вмещает символ %1"},
    {StringId::SymbolDataInvalid, "данные не кодируются в символ %1"},
    {StringId::SymbolLibraryFailed, "библиотека штрихкодов не построила символ %1 (ошибка %2)"},
    {StringId::SymbolDoesNotFit,
     "символ из %1 x %2 модулей не помещается в поле %3 x %4 точек даже при 1 точке на модуль"},
    {StringId::SymbolDoesNotFitAtModuleSize,
     "символ из %1 x %2 модулей по %3 точек на модуль не помещается в поле %4 x %5 точек"},
    {StringId::SymbolOffTheLabel, "символ выходит за край этикетки"},
    {StringId::Gs1Invalid, "значение не является строкой элементов GS1: %1"},
    {StringId::Gs1NoElements, "нет ни одного элемента"},
    {StringId::Gs1NoAi, "в позиции %1 нет идентификатора применения (AI)"},
    {StringId::Gs1UnknownAi, "неизвестный идентификатор применения (%1)"},
    {StringId::Gs1ElementEmpty, "в элементе (%1) нет данных"},
    {StringId::Gs1FixedLength, "в элементе (%1) должно быть %2 знаков, а не %3"},
    {StringId::Gs1LengthRange, "в элементе (%1) %2 знаков, а допустимо от %3 до %4"},
    {StringId::Gs1NotDigits, "в элементе (%1) допустимы только цифры, а не «%2»"},
    {StringId::Gs1BadCharacter, "в элементе (%1) недопустимый знак «%2»"},
    {StringId::Gs1CheckDigitWrong, "в элементе (%1) неверная контрольная цифра %2, должна быть %3"},
    {StringId::BmpInvalid, "Рисунок BMP повреждён или не поддерживается: %1"},
    {StringId::BmpTruncated, "файл обрезан"},
    {StringId::BmpTooShort, "файл слишком короткий"},
    {StringId::BmpNoSignature, "файл не начинается с BM"},
    {StringId::BmpHeaderSize, "неподдерживаемый размер заголовка %1"},
    {StringId::BmpHeaderTruncated, "заголовок обрезан"},
    {StringId::BmpPlaneCount, "число плоскостей не равно 1"},
    {StringId::BmpNoPixels, "в рисунке нет точек"},
    {StringId::BmpTooLarge, "рисунок больше %1 x %1 или %2 точек"},
    {StringId::BmpBitCount, "неподдерживаемое число бит на точку %1"},
    {StringId::BmpMasksWithBitCount, "цветовые маски при %1 битах на точку"},
    {StringId::BmpRunLength, "сжатие RLE не поддерживается"},
    {StringId::BmpEmbedded, "вложенные рисунки JPEG и PNG не поддерживаются"},
    {StringId::BmpCompression, "неизвестный способ сжатия %1"},
    {StringId::BmpMasksTruncated, "цветовые маски обрезаны"},
    {StringId::BmpPaletteTooLarge, "в палитре больше цветов, чем допускает число бит на точку"},
    {StringId::BmpPaletteTruncated, "палитра обрезана"},
    {StringId::BmpPixelOffset, "смещение данных точек выходит за пределы файла"},
    {StringId::BmpPixelsTruncated, "данных точек в файле меньше, чем указано в заголовке"},
    {StringId::BmpPaletteIndex, "номер цвета %1 вне палитры из %2 цветов"},
};

}  // namespace

std::string_view LoadModuleString(StringId id) {
  for (const ModuleString& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

std::string ModuleText(StringId id, std::initializer_list<std::string_view> args) {
  const std::string_view text = LoadModuleString(id);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const std::size_t index = static_cast<std::size_t>(next - '1');
    if (text[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
      out.append(args.begin()[index]);
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace pirell
