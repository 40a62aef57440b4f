#include "languages/zpl/zpl_printer.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "languages/zpl/zpl_graphic.h"
#include "languages/zpl/zpl_text.h"
#include "support/printer_commands.h"

namespace pirell {
namespace {

using testing::LabelTemplateXml;
using Properties = LabelTemplateXml::Properties;
using testing::Datas;
using testing::ModelNamed;
using testing::With;

// The 203-dpi model with the driver's default settings: darkness 15, speed 4.
class ZplPrinterTest : public testing::GeneratorTest<TPrinterTypeZPL2> {
 protected:
  ZplPrinterTest() : GeneratorTest("ZPL II, 203 dpi", 15) {}

  static constexpr int kJobHead = 6;    // ~SD ^XA ^MN ^MT ^PR ^XZ
  static constexpr int kLabelHead = 5;  // ^XA ^CI28 ^PW ^LL ^LH

  // The commands of the fields of one label, between its head and "^PQ1", "^XZ".
  std::vector<ByteString> FieldCommands(const LabelTemplateXml& xml) override {
    const std::vector<ByteString> datas = LabelJob(xml);
    EXPECT_GE(datas.size(), kJobHead + kLabelHead + 2u);
    if (datas.size() < kJobHead + kLabelHead + 2u) return {};
    const auto head = datas.begin() + kJobHead;
    EXPECT_EQ(std::vector<ByteString>(head, head + kLabelHead),
              (std::vector<ByteString>{"^XA", "^CI28", "^PW464", "^LL320", "^LH0,0"}));
    EXPECT_EQ(datas[datas.size() - 2], "^PQ1");
    EXPECT_EQ(datas.back(), "^XZ");
    return {head + kLabelHead, datas.end() - 2};
  }
};

TEST_F(ZplPrinterTest, SetUpTestAndJobHeaderCommands) {
  EXPECT_EQ(printer_.CmdSuffix(), "\n");
  printer_.InitializePrinter();
  EXPECT_EQ(Datas(printer_.CmdList()), (std::vector<ByteString>{"^XA", "^IDR:*.*", "^XZ", "~JR"}));
  EXPECT_EQ(printer_.CmdList().Items(3).ActionAfter, coFlushBuffer);
  EXPECT_EQ(printer_.CmdList().Items(3).DelayTime, 5000);
  printer_.TestPrinter();
  EXPECT_EQ(Datas(printer_.CmdList()), (std::vector<ByteString>{"~WC"}));
  EXPECT_EQ(printer_.CmdList().Items(0).ActionAfter, coFlushBuffer);

  printer_.InitTask();
  EXPECT_EQ(Datas(printer_.CmdList()),
            (std::vector<ByteString>{"~SD15", "^XA", "^MNY", "^MTD", "^PR4", "^XZ"}));
  EXPECT_EQ(printer_.CmdList().Items(5).ActionAfter, coFlushBuffer);
  // No gap: continuous media; darkness held to 00..30 and written with two digits.
  printer_.PrintParams() = TPrintParams{100, 150, 0, pmTransfer, 7, 2};
  printer_.InitTask();
  EXPECT_EQ(Datas(printer_.CmdList()),
            (std::vector<ByteString>{"~SD07", "^XA", "^MNN", "^MTT", "^PR2", "^XZ"}));
  printer_.PrintParams().Darkness = 99;
  printer_.InitTask();
  EXPECT_EQ(printer_.CmdList().Items(0).Data, "~SD30");
}

TEST_F(ZplPrinterTest, EachLabelIsAWholeFormatWithItsCopies) {
  printer_.LabelObj().LoadFromString(LabelTemplateXml().Text());
  printer_.InitLabel();
  printer_.MakeLabelScript(65535);
  EXPECT_EQ(Datas(printer_.CmdList()), (std::vector<ByteString>{"^XA", "^CI28", "^PW464", "^LL320",
                                                                "^LH0,0", "^PQ65535", "^XZ"}));
  EXPECT_EQ(printer_.CmdList().Items(6).ActionAfter, coFlushBuffer);
  // 100 x 150 mm at 300 dpi: 1181 x 1772 dots.
  printer_.ModelProps() = ModelNamed("ZPL II, 300 dpi").ModelProps;
  printer_.PrintParams() = TPrintParams{100, 150, 3, pmDirect, 15, 4};
  printer_.CmdList().Clear();
  printer_.MakeLabelScript(1);
  EXPECT_EQ(printer_.CmdList().Items(2).Data, "^PW1181");
  EXPECT_EQ(printer_.CmdList().Items(3).Data, "^LL1772");
}

const Properties kText = {{"Left", "5"},        {"Top", "10"},     {"Width", "40"}, {"Height", "5"},
                          {"MaxSymbols", "20"}, {"FontSize", "2"}, {"Value", "ABC"}};

TEST_F(ZplPrinterTest, PrinterFontTextIsTheScalableFontAtTheEpl2CellSize) {
  const std::vector<std::pair<std::string, std::string>> sizes = {{"1", "12,8"},  {"2", "16,10"},
                                                                  {"3", "20,12"}, {"4", "24,14"},
                                                                  {"5", "32,20"}, {"0", "40,24"}};
  for (const auto& [font_size, expected] : sizes)
    EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"FontSize", font_size}})),
              "^FO40,80^A0N," + expected + "^FDABC^FS")
        << font_size;
  // Latin-1 is the resident font's; "^", "~", "_" and control characters are escaped; line
  // breaks are spaces; MaxSymbols counts characters.
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Value", "Caf\xC3\xA9 ^1~2_3\n4"}})),
            "^FO40,80^A0N,16,10^FH_^FDCaf\xC3\xA9 _5E1_7E2_5F3 4^FS");
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"MaxSymbols", "4"}, {"Value", "\xC3\xA9tude"}})),
            "^FO40,80^A0N,16,10^FD\xC3\xA9tud^FS");
}

TEST_F(ZplPrinterTest, TurnedAndReversedTextAndTextCutAtTheEdges) {
  // Left 20, Top 5, Width 10, Height 30 mm -> 160, 40, 80 x 240 dots; references as EPL2's:
  // r90 (320, 120), r180 (240, 280), r270 (80, 200).
  const Properties box =
      With(kText, {{"Left", "20"}, {"Top", "5"}, {"Width", "10"}, {"Height", "30"}});
  EXPECT_EQ(OneCommand("TextSimple", With(box, {{"RotationFixed", "r90"}})),
            "^FO304,120^A0R,16,10^FDABC^FS");
  EXPECT_EQ(OneCommand("TextSimple", With(box, {{"RotationFixed", "r180"}})),
            "^FO0,264^FB240,1,0,L^A0I,16,10^FDABC^FS");
  EXPECT_EQ(OneCommand("TextSimple", With(box, {{"RotationFixed", "r270"}})),
            "^FO80,0^FB200,1,0,L^A0B,16,10^FDABC^FS");
  // Reverse: a black box of three cells of 12 dots, the text printed reversed over it.
  const std::vector<ByteString> reversed =
      FieldCommands(LabelTemplateXml().Item("TextSimple", With(kText, {{"Negative", "1"}})));
  EXPECT_EQ(reversed,
            (std::vector<ByteString>{"^FO40,80^GB36,16,16^FS", "^FO40,80^A0N,16,10^FR^FDABC^FS"}));
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Left", "-3"}, {"Top", "-1"}})),
            "^FO0,0^A0N,16,10^FDABC^FS");
}

// The top-left corner and the rows of a graphic field command "^FOx,y^GFA,total,total,row,...".
struct GraphicField {
  int x = -1;
  int y = -1;
  int rows = 0;
  bool ink = false;
};

GraphicField ReadGraphicField(const ByteString& command) {
  GraphicField field;
  int total = 0;
  int total_again = 0;
  int per_row = 0;
  int used = 0;
  if (std::sscanf(command.c_str(), "^FO%d,%d^GFA,%d,%d,%d,%n", &field.x, &field.y, &total,
                  &total_again, &per_row, &used) == 5 &&
      per_row > 0) {
    field.rows = total / per_row;
    field.ink = command.find_first_of("123456789ABCDEF", static_cast<std::size_t>(used)) !=
                ByteString::npos;
  }
  return field;
}

TEST_F(ZplPrinterTest, CyrillicPrinterFontTextIsARenderedGraphicField) {
  const ByteString upright = OneCommand("TextSimple", With(kText, {{"Value", "Цена"}}));
  const GraphicField field = ReadGraphicField(upright);
  // As high as the font cell, at the reference point, with ink.
  EXPECT_EQ(field.x, 40) << upright;
  EXPECT_EQ(field.y, 80);
  EXPECT_EQ(field.rows, 16);
  EXPECT_TRUE(field.ink);
  EXPECT_EQ(upright.substr(upright.size() - 3), "^FS");
  // Turned half round about the reference point (360, 120): a field above and left of it.
  const GraphicField turned = ReadGraphicField(
      OneCommand("TextSimple", With(kText, {{"Value", "Цена"}, {"RotationFixed", "r180"}})));
  EXPECT_EQ(turned.y, 120 - 16);
  EXPECT_GT(turned.x, 360 - 4 * 16);
  EXPECT_LT(turned.x, 360 - 4 * 6);
  EXPECT_EQ(turned.rows, 16);
}

const Properties kBarcode = {
    {"BarCodeType", "Code128"}, {"TextVisible", "True"}, {"Left", "5"}, {"Top", "15"},
    {"Height", "15"},           {"Value", "12345"}};

TEST_F(ZplPrinterTest, BarcodesOfEverySymbology) {
  struct Case {
    Properties changes;
    const char* expected;
  };
  // Bar heights as EPL2's: 120 less 24 for the line; EAN and UPC 120 less 4 x narrow. The
  // typeset origin is the bottom-left corner of the bars.
  const Case cases[] = {
      {{}, "^FT40,216^BY2^BCN,96,Y,N,N,A^FD12345^FS"},
      {{{"TextVisible", "False"}}, "^FT40,240^BY2^BCN,120,N,N,N,A^FD12345^FS"},
      {{{"Value", "a>b^"}}, "^FT40,216^BY2^BCN,96,Y,N,N,A^FH_^FDa><b_5E^FS"},
      {{{"BarCodeType", "EAN_13"}, {"BarWidth", "30"}, {"Value", "460123456789"}},
       "^FT40,224^BY4^BEN,104,Y,N^FD460123456789^FS"},
      {{{"BarCodeType", "EAN_8"}, {"Value", "1234567"}}, "^FT40,232^BY2^B8N,112,Y,N^FD1234567^FS"},
      {{{"BarCodeType", "UPC_A"}, {"Value", "01234567890"}},
       "^FT40,232^BY2^BUN,112,Y,N,Y^FD01234567890^FS"},
      {{{"BarCodeType", "UPC_E"}, {"Value", "0123456"}},
       "^FT40,232^BY2^B9N,112,Y,N,Y^FD1234500006^FS"},
      {{{"BarCodeType", "Interleaved2of5"}, {"BarNarrowToWideRatio", "5"}},
       "^FT40,216^BY2,3.0^B2N,96,Y,N,N^FD12345^FS"},
      {{{"BarCodeType", "CODABAR"}, {"Value", "a123b"}},
       "^FT40,216^BY2,2.0^BKN,N,96,Y,N,A,B^FD123^FS"},
      {{{"BarCodeType", "Code39"}}, "^FT40,216^BY2,2.0^B3N,N,96,Y,N^FD12345^FS"},
      {{{"BarCodeType", "Code93"}, {"BarWidth", "100"}}, "^FT40,216^BY10^BAN,96,Y,N,N^FD12345^FS"},
      {{{"BarCodeType", "Code11"}}, "^FT40,216^BY2^B1N,N,96,Y,N^FD12345^FS"},
      {{{"BarCodeType", "GS1_128"}, {"Value", "(01)04601234567893(10)AB_1(17)261231"}},
       "^FT40,216^BY2^BCN,96,Y,N,N,D^FH_^FD010460123456789310AB_5F1>817261231^FS"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(OneCommand("Shk", With(kBarcode, c.changes)), c.expected) << c.expected;
  // An empty GS1 value prints nothing.
  EXPECT_TRUE(FieldCommands(LabelTemplateXml().Item(
                                "Shk", With(kBarcode, {{"BarCodeType", "GS1_128"}, {"Value", ""}})))
                  .empty());
}

TEST_F(ZplPrinterTest, TurnedBarcodesTypesetAtTheTurnedBaseOfTheBars) {
  // References as EPL2's: r90 (220, 60), r180 (280, 240) height 56, r270 (100, 300) height 20.
  const Properties box = With(kBarcode, {{"Width", "30"}});
  EXPECT_EQ(OneCommand("Shk", With(box, {{"RotationFixed", "r90"}})),
            "^FT124,60^BY2^BCR,96,Y,N,N,A^FD12345^FS");
  EXPECT_EQ(OneCommand("Shk", With(box, {{"RotationFixed", "r180"}})),
            "^FT280,184^BY2^BCI,56,Y,N,N,A^FD12345^FS");
  EXPECT_EQ(OneCommand("Shk", With(box, {{"RotationFixed", "r270"}})),
            "^FT120,300^BY2^BCB,20,Y,N,N,A^FD12345^FS");
}

TEST_F(ZplPrinterTest, LinesAndBoxesAreGraphicBoxesCutAsEpl2CutsThem) {
  const Properties line = {
      {"LineLeft", "5"}, {"LineTop", "20"}, {"LineLength", "40"}, {"PenWidth", "0.5"}};
  EXPECT_EQ(OneCommand("Line", line), "^FO40,158^GB320,4,4^FS");
  EXPECT_EQ(OneCommand("Line", With(line, {{"RotationFixed", "r90"}})), "^FO202,0^GB4,320,4^FS");
  EXPECT_EQ(OneCommand("Line", With(line, {{"LineLeft", "50"}, {"LineLength", "20"}})),
            "^FO400,158^GB64,4,4^FS");
  const Properties box = {
      {"Left", "1"}, {"Top", "1"}, {"Width", "56"}, {"Height", "38"}, {"PenWidth", "0.3"}};
  EXPECT_EQ(OneCommand("Rectangle", box), "^FO8,8^GB448,304,2^FS");
  EXPECT_EQ(OneCommand("Rectangle", With(box, {{"Top", "30"}})), "^FO8,240^GB448,80,2^FS");
  EXPECT_EQ(OneCommand("Rectangle", With(box, {{"Left", "5"},
                                               {"Top", "5"},
                                               {"Width", "20"},
                                               {"Height", "10"},
                                               {"RotationFixed", "r90"}})),
            "^FO160,0^GB160,80,2^FS");
  // No pen, or no room left: nothing, where the printer would draw a pen's width.
  EXPECT_TRUE(
      FieldCommands(LabelTemplateXml().Item("Rectangle", With(box, {{"PenWidth", "0"}}))).empty());
  EXPECT_TRUE(
      FieldCommands(LabelTemplateXml().Item("Rectangle", With(box, {{"Left", "60"}}))).empty());
}

TEST(ZplGraphicTest, RowsAreInvertedHexCompressedWithCountsAndRowMarks) {
  MonoBitmap bitmap(40, 5);  // 5 bytes a row
  // Row 0 white: ",". Row 1 the same: ":". Row 2: 8 black dots then white: "FF,".
  for (int x = 0; x < 8; ++x) bitmap.SetBlack(x, 2);
  // Row 3 all black: "!". Row 4: one dot in the last byte: "O0" (nine zeros) then "1".
  for (int x = 0; x < 40; ++x) bitmap.SetBlack(x, 3);
  bitmap.SetBlack(39, 4);
  EXPECT_EQ(CompressedGraphicData(bitmap), ",:FF,!O01");
  EXPECT_EQ(GraphicFieldCommand(bitmap), "^GFA,25,25,5,,:FF,!O01");
  // Long runs: 400 + 19 digits at most in one count.
  MonoBitmap wide(8 * 300, 1);
  wide.SetBlack(8 * 300 - 1, 0);
  EXPECT_EQ(CompressedGraphicData(wide), "zY0o01");  // 419 + 180 zeros, then 1
}

TEST(ZplTextTest, UpcENumbersExpandToTheirManufacturerAndProduct) {
  const std::pair<const char*, const char*> cases[] = {
      {"123450", "1200000345"},  {"123453", "1230000045"},   {"123454", "1234000005"},
      {"0123456", "1234500006"}, {"01234565", "1234500006"}, {"12AB", "12AB"}};
  for (const auto& [upc_e, upc_a] : cases) EXPECT_EQ(UpcEManufacturerAndProduct(upc_e), upc_a);
  EXPECT_TRUE(FitsResidentFont("Caf\xC3\xA9 \xC2\xB0"));
  EXPECT_FALSE(FitsResidentFont("Цена"));
  EXPECT_FALSE(FitsResidentFont("\xE2\x80\xA6"));  // an ellipsis
}

}  // namespace
}  // namespace pirell
