#include "rendering/gs1_element_string.h"

#include <string>

#include <gtest/gtest.h>

namespace pirell {
namespace {

TEST(Gs1ElementStringTest, ReadsMarkingCodesAsScannedAndBracketedKeepingEveryCharacter) {
  struct Case {
    std::string value;
    std::string parenthesised;
    std::string transmitted;
  };
  const std::string gs(1, kGroupSeparator);
  const Case kCases[] = {
      // GTIN, serial (variable, ended by GS), verification key, crypto tail.
      {"0104601234567893215abc!%\"\\" + gs + "91EE06" + gs + "92dGVz+/=",
       "(01)04601234567893(21)5abc!%\"\\(91)EE06(92)dGVz+/=",
       "0104601234567893215abc!%\"\\" + gs + "91EE06" + gs + "92dGVz+/="},
      // A leading FNC1 as "]d2" or GS is dropped; a GS after a fixed-length element is allowed.
      {"]d20104601234567893" + gs + "17261231", "(01)04601234567893(17)261231",
       "010460123456789317261231"},
      {gs + "0104601234567893", "(01)04601234567893", "0104601234567893"},
      // The bracketed form; a parenthesis that starts no AI of the table stays in the data.
      {"(00)046012345678900003(10)A(B)(3103)000750", "(00)046012345678900003(10)A(B)(3103)000750",
       "0004601234567890000310A(B)" + gs + "3103000750"},
      {"(01)04601234567893(8005)000123", "(01)04601234567893(8005)000123",
       "01046012345678938005000123"},
  };
  for (const Case& c : kCases) {
    const TGs1ElementString parsed = ParseGs1ElementString(c.value);
    ASSERT_TRUE(parsed.ok()) << c.value << ": " << parsed.error;
    EXPECT_EQ(Gs1Parenthesised(parsed.elements), c.parenthesised);
    EXPECT_EQ(Gs1Transmitted(parsed.elements), c.transmitted);
  }
  EXPECT_EQ(Gs1SquareBracketed(ParseGs1ElementString("0104601234567893"
                                                     "21X")
                                   .elements),
            "[01]04601234567893[21]X");
}

TEST(Gs1ElementStringTest, RefusalsNameTheElementAtFault) {
  struct Case {
    std::string value;
    const char* error;
  };
  const Case kCases[] = {
      {"", "нет ни одного элемента"},
      {"]d2", "нет ни одного элемента"},
      {"0104601234567894", "в элементе (01) неверная контрольная цифра 4, должна быть 3"},
      {"00046012345678900004", "в элементе (00) неверная контрольная цифра 4, должна быть 3"},
      {"010460123456789", "в элементе (01) должно быть 14 знаков, а не 13"},
      {"0104601234567893"
       "2301",
       "неизвестный идентификатор применения (230)"},
      {"A104601234567893", "в позиции 1 нет идентификатора применения (AI)"},
      {"0104601234567893"
       "21" +
           std::string(21, 'x'),
       "в элементе (21) 21 знаков, а допустимо от 1 до 20"},
      {"0104601234567893"
       "21a\x1D\x1D"
       "93x",
       "в позиции 21 нет идентификатора применения (AI)"},
      {"0104601234567893"
       "21a b",
       "в элементе (21) недопустимый знак « »"},
      {"0104601234567893"
       "21a\x01",
       "в элементе (21) недопустимый знак «<1>»"},
      {"0104601234567893"
       "8005"
       "12345",
       "в элементе (8005) должно быть 6 знаков, а не 5"},
      {"(01)04601234567893(21)", "в элементе (21) нет данных"},
      {"(99999)1", "неизвестный идентификатор применения (99999)"},
      {"1726123A", "в элементе (17) допустимы только цифры, а не «A»"},
  };
  for (const Case& c : kCases) {
    const TGs1ElementString parsed = ParseGs1ElementString(c.value);
    EXPECT_EQ(parsed.error, c.error) << c.value;
    EXPECT_TRUE(parsed.elements.empty()) << c.value;
  }
  EXPECT_EQ(Gs1CheckDigit("460123456789"), '3');
}

}  // namespace
}  // namespace pirell
