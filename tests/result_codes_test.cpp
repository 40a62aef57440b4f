// Result codes and their messages.

#include <gtest/gtest.h>

#include "driver_object/result_codes.h"

namespace pirell {
namespace {

TEST(ResultCodesTest, TableMessages) {
  EXPECT_EQ(ResultCodeText(13001, ""), "Шаблон с таким номером не был загружен в принтер");
  EXPECT_EQ(ResultCodeText(1003, ""), "Команда не поддерживаеся устройством");
  EXPECT_EQ(ResultCodeText(1011, ""), "Порт недоступен");
  EXPECT_EQ(ResultCodeText(8001, ""), ResultCodeText(2001, ""));
  EXPECT_EQ(ResultCodeText(99115, ""),
            "Специфичная для данного класса устройств ошибка. Расширенная информация в "
            "дополнительном описании ошибки");
}

TEST(ResultCodesTest, TwoDifferentTextsForSuccess) {
  EXPECT_EQ(ResultCodeText(0, ""), "Нет ошибок");
  EXPECT_EQ(ResultCodeText(99001, ""), "Ошибок нет");
}

TEST(ResultCodesTest, CodesOutsideTheTableAreUnknownErrors) {
  for (ResultCode code : {5, -1, 99050, 99101, 99116, 1020, 13501, 14000, 2147483647}) {
    EXPECT_EQ(ResultCodeText(code, ""), "Неизвестная ошибка") << code;
  }
}

TEST(ResultCodesTest, AGivenTextWinsWhateverTheCode) {
  EXPECT_EQ(ResultCodeText(1004, "Нет бумаги"), "Нет бумаги");
  EXPECT_EQ(ResultCodeText(0, "x"), "x");
}

TEST(ResultCodesTest, DriverRangeAndDetail) {
  EXPECT_EQ(DriverResultText(13501, ""), "Неизвестная модель принтера");
  EXPECT_EQ(DriverResultText(13600, ""), "Неизвестная ошибка");
  EXPECT_EQ(DriverResultText(14000, ""), "Неизвестная ошибка");
  EXPECT_EQ(DriverResultText(14001, ""), "Дата заезда должна быть больше текущей даты");
  EXPECT_EQ(DriverResultText(13001, ""), "Шаблон с таким номером не был загружен в принтер");
  EXPECT_EQ(DriverResultText(1011, "COM1"), "Порт недоступен\r\nCOM1");
  EXPECT_EQ(DriverResultText(13501, "X"), "Неизвестная модель принтера\r\nX");
  EXPECT_EQ(DriverResultText(0, ""), "Нет ошибок");
}

}  // namespace
}  // namespace pirell
