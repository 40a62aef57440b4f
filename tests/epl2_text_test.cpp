#include "languages/epl2/epl2_text.h"
#include "rendering/barcode_types.h"
#include "rendering/command_text.h"

#include <gtest/gtest.h>

namespace pirell {
namespace {

TEST(Epl2TextTest, EscapesBackslashesThenQuotes) {
  // a " b \ c  ->  a \" b \\ c
  EXPECT_EQ(EscapeData("a\"b\\c"), "a\\\"b\\\\c");
  // A backslash before a quote is doubled, and the quote gets its own backslash.
  EXPECT_EQ(EscapeData("\\\""), "\\\\\\\"");
  EXPECT_EQ(EscapeData(""), "");
  EXPECT_EQ(QuotedData("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(QuotedData(""), "\"\"");
}

TEST(Epl2TextTest, ConvertsTextToWindows1251) {
  EXPECT_EQ(PrinterText("Привет"), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(PrinterText("Ёё №5"),
            "\xA8\xB8 \xB9"
            "5");
  EXPECT_EQ(PrinterText("€"), "\x88");
}

TEST(Epl2TextTest, CharactersWithoutAWindows1251ByteBecomeQuestionMarks) {
  EXPECT_EQ(PrinterText("a中b"), "a?b");
  EXPECT_EQ(PrinterText("\xF0\x9F\x98\x80!"), "?!");  // U+1F600, four UTF-8 bytes
}

TEST(Epl2TextTest, LineBreaksCannotEndACommandEarly) {
  EXPECT_EQ(PrinterText("one\r\ntwo\nEK\"*\""), "one  two EK\"*\"");
}

TEST(Epl2TextTest, LeadingCharactersCountsCharactersNotBytes) {
  EXPECT_EQ(LeadingCharacters("Привет", 3), "При");
  EXPECT_EQ(LeadingCharacters("ab\xF0\x9F\x98\x80"
                              "cd",
                              3),
            "ab\xF0\x9F\x98\x80");
  EXPECT_EQ(LeadingCharacters("abc", 10), "abc");
  EXPECT_EQ(LeadingCharacters("abc", 3), "abc");
  EXPECT_EQ(LeadingCharacters("abc", 0), "");
  EXPECT_EQ(LeadingCharacters("abc", -1), "");
  EXPECT_EQ(LeadingCharacters("", 5), "");
}

TEST(Epl2TextTest, BarcodeTypeIsTheFirstNameTheTextContains) {
  EXPECT_EQ(BarcodeTypeFromName("UPC_A"), TBarcodeType::UpcA);
  EXPECT_EQ(BarcodeTypeFromName("upc_e"), TBarcodeType::UpcE);
  EXPECT_EQ(BarcodeTypeFromName("bcEAN_8"), TBarcodeType::Ean8);
  EXPECT_EQ(BarcodeTypeFromName("EAN_13"), TBarcodeType::Ean13);
  EXPECT_EQ(BarcodeTypeFromName("Interleaved2of5"), TBarcodeType::Interleaved2of5);
  EXPECT_EQ(BarcodeTypeFromName("Codabar"), TBarcodeType::Codabar);
  EXPECT_EQ(BarcodeTypeFromName("Code11"), TBarcodeType::Code11);
  EXPECT_EQ(BarcodeTypeFromName("Code39 Extended"), TBarcodeType::Code39);
  EXPECT_EQ(BarcodeTypeFromName("code93"), TBarcodeType::Code93);
  EXPECT_EQ(BarcodeTypeFromName("Code128"), TBarcodeType::Code128);
  EXPECT_EQ(BarcodeTypeFromName("cOdE128"), TBarcodeType::Code128);
  // Tested in order: EAN_8 comes before CODE128.
  EXPECT_EQ(BarcodeTypeFromName("CODE128 or EAN_8"), TBarcodeType::Ean8);
}

TEST(Epl2TextTest, UnknownBarcodeNamesGiveEan13) {
  EXPECT_EQ(BarcodeTypeFromName("EAN13"), TBarcodeType::Ean13);
  EXPECT_EQ(BarcodeTypeFromName(""), TBarcodeType::Ean13);
  EXPECT_EQ(BarcodeTypeFromName("QR"), TBarcodeType::Ean13);
  // Only Latin letters change case: a Cyrillic name matches nothing.
  EXPECT_EQ(BarcodeTypeFromName("сode128"), TBarcodeType::Ean13);
}

TEST(Epl2TextTest, CommandsJoinTheirParametersWithCommas) {
  EXPECT_EQ(MakeCommand("A", 40, -80, 0, std::string_view("N"), QuotedData("x")),
            "A40,-80,0,N,\"x\"");
  EXPECT_EQ(MakeCommand("P", std::uint16_t{65535}), "P65535");
  EXPECT_EQ(MakeCommand("ZT"), "ZT");
  EXPECT_EQ(MakeCommand("B", std::string_view("")), "B");
}

}  // namespace
}  // namespace pirell
