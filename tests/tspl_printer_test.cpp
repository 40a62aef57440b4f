#include "languages/tspl/tspl_printer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "languages/tspl/tspl_text.h"
#include "rendering/gs1_128_symbol.h"
#include "support/printer_commands.h"

namespace pirell {
namespace {

using testing::LabelTemplateXml;
using Properties = LabelTemplateXml::Properties;
using testing::Datas;
using testing::ModelNamed;
using testing::With;

// The 203 dpi model with the driver's default settings: darkness 8, speed code 4.
class TsplPrinterTest : public testing::GeneratorTest<TPrinterTypeTSPL> {
 protected:
  TsplPrinterTest() : GeneratorTest("TSPL, 203 dpi", 8) {}

  static constexpr int kHeaderSize = 9;

  // The commands of the fields of one label, between "CLS" and "PRINT".
  std::vector<ByteString> FieldCommands(const LabelTemplateXml& xml) override {
    const std::vector<ByteString> datas = LabelJob(xml);
    EXPECT_GE(datas.size(), kHeaderSize + 2u);
    if (datas.size() < kHeaderSize + 2u) return {};
    EXPECT_EQ(datas[kHeaderSize], "CLS");
    EXPECT_EQ(datas.back(), "PRINT 1");
    return {datas.begin() + kHeaderSize + 1, datas.end() - 1};
  }
};

// The runs of black and white dots of the first row of a "BITMAP" command's data.
std::vector<int> FirstRowRuns(const ByteString& command, std::size_t header, int dots) {
  std::vector<int> runs;
  bool black = true;
  int run = 0;
  for (int x = 0; x < dots; ++x) {
    const auto byte = static_cast<unsigned char>(command[header + static_cast<std::size_t>(x) / 8]);
    const bool dot = (byte & (0x80 >> (x % 8))) == 0;
    if (dot == black) {
      ++run;
    } else {
      runs.push_back(run);
      black = dot;
      run = 1;
    }
  }
  runs.push_back(run);
  while (!runs.empty() && !black) {  // the white end of the row is no element
    runs.pop_back();
    black = true;
  }
  return runs;
}

TEST_F(TsplPrinterTest, JobHeaderSetsLabelMediaAndPrintSettingsInCrLfLines) {
  EXPECT_EQ(printer_.CmdSuffix(), "\r\n");
  printer_.InitTask();
  EXPECT_EQ(Datas(printer_.CmdList()),
            (std::vector<ByteString>{"", "SIZE 58 mm,40 mm", "GAP 2 mm,0 mm", "DIRECTION 0,0",
                                     "REFERENCE 0,0", "SET RIBBON OFF", "DENSITY 8", "SPEED 4",
                                     "CODEPAGE 1251"}));
  EXPECT_EQ(printer_.CmdList().Items(kHeaderSize - 1).ActionAfter, coFlushBuffer);
  printer_.PrintParams() = TPrintParams{100, 150, 3, pmTransfer, 22, 1};
  printer_.InitTask();
  const std::vector<ByteString> datas = Datas(printer_.CmdList());
  EXPECT_EQ(datas[1], "SIZE 100 mm,150 mm");
  EXPECT_EQ(datas[2], "GAP 3 mm,0 mm");
  EXPECT_EQ(datas[5], "SET RIBBON ON");
  EXPECT_EQ(datas[6], "DENSITY 15");  // beyond the range: the darkest
  EXPECT_EQ(datas[7], "SPEED 1.5");
}

TEST_F(TsplPrinterTest, SpeedCodesTakeTheModelsSpeedsAndUnlistedCodesTheNearest) {
  const std::vector<std::pair<int, std::string>> cases = {
      {1, "1.5"}, {2, "2"}, {4, "4"}, {6, "6"}, {0, "1.5"}, {-7, "1.5"}, {9, "6"}, {99, "6"}};
  for (const auto& [code, ips] : cases) EXPECT_EQ(printer_.SpeedText(code), ips) << code;
  printer_.ModelProps() = ModelNamed("TSPL, 300 dpi").ModelProps;
  EXPECT_EQ(printer_.SpeedText(6), "5");
}

TEST_F(TsplPrinterTest, InitialisationResetsTestPrintsTheSelfTestAndLabelsPrintTheirCopies) {
  printer_.InitializePrinter();
  EXPECT_EQ(Datas(printer_.CmdList()),
            (std::vector<ByteString>{"KILL F,\"*\"", "\x1B!R", "CODEPAGE 1251"}));
  EXPECT_EQ(printer_.CmdList().Items(1).DelayTime, 2000);
  EXPECT_EQ(printer_.CmdList().Items(1).ActionAfter, coFlushBuffer);
  printer_.TestPrinter();
  EXPECT_EQ(Datas(printer_.CmdList()), std::vector<ByteString>{"SELFTEST"});
  EXPECT_EQ(printer_.CmdList().Items(0).ActionAfter, coFlushBuffer);

  printer_.LabelObj().LoadFromString(LabelTemplateXml().Item("Barcode2D", {{"Value", "x"}}).Text());
  printer_.InitTask();
  printer_.InitLabel();
  printer_.MakeLabelScript(65535);
  const std::vector<ByteString> datas = Datas(printer_.CmdList());
  ASSERT_EQ(datas.size(), kHeaderSize + 2u);
  EXPECT_EQ(datas[kHeaderSize], "CLS");
  EXPECT_EQ(datas[kHeaderSize + 1], "PRINT 65535");
  EXPECT_EQ(printer_.CmdList().Items(kHeaderSize + 1).ActionAfter, coFlushBuffer);
}

const Properties kText = {{"Left", "5"},        {"Top", "10"},     {"Width", "40"}, {"Height", "5"},
                          {"MaxSymbols", "20"}, {"FontSize", "2"}, {"Value", "ABC"}};

TEST_F(TsplPrinterTest, TextsInResidentFontsAtEveryTurnInWindows1251) {
  const std::vector<std::pair<Properties, ByteString>> cases = {
      {kText, "TEXT 40,80,\"2\",0,1,1,\"ABC\""},
      // A double quote is the guide's \["]; a backslash is no escape.
      {With(kText, {{"Value", "a\"b\\c"}}), "TEXT 40,80,\"2\",0,1,1,\"a\\[\"]b\\c\""},
      {With(kText, {{"Value", "Цена\r\nPRINT 9"}}),
       "TEXT 40,80,\"2\",0,1,1,\"\xD6\xE5\xED\xE0  PRINT 9\""},
      {With(kText, {{"MaxSymbols", "2"}}), "TEXT 40,80,\"2\",0,1,1,\"AB\""},
      // Left 20, Top 5, Width 10, Height 30 mm: the corners EPL2 takes for each turn.
      {With(kText, {{"Left", "20"},
                    {"Top", "5"},
                    {"Width", "10"},
                    {"Height", "30"},
                    {"RotationFixed", "r90"}}),
       "TEXT 320,120,\"2\",90,1,1,\"ABC\""},
      {With(kText, {{"Left", "20"},
                    {"Top", "5"},
                    {"Width", "10"},
                    {"Height", "30"},
                    {"RotationFixed", "r180"}}),
       "TEXT 240,280,\"2\",180,1,1,\"ABC\""},
      {With(kText, {{"Left", "20"},
                    {"Top", "5"},
                    {"Width", "10"},
                    {"Height", "30"},
                    {"RotationFixed", "r270"}}),
       "TEXT 80,200,\"2\",270,1,1,\"ABC\""},
      // Cut to the print area as EPL2 cuts it.
      {With(kText, {{"Left", "-3"}, {"Top", "-1"}}), "TEXT 0,0,\"2\",0,1,1,\"ABC\""},
  };
  for (const auto& [properties, expected] : cases)
    EXPECT_EQ(OneCommand("TextSimple", properties), expected);
}

TEST_F(TsplPrinterTest, FontSizesTakeTheFontNearestToEpl2s) {
  // EPL2 at 203 dpi: 10 x 12, 12 x 16, 14 x 20, 16 x 24, font 2 doubled 24 x 32, font 3
  // doubled 28 x 40 (pitch x height).
  const std::vector<std::pair<int, std::string>> cases = {
      {1, "11,1"}, {2, "21,1"}, {3, "21,1"}, {4, "31,1"}, {5, "41,1"}, {0, "22,2"}, {9, "22,2"}};
  for (const auto& [size, expected] : cases) {
    const TTsplFont font = TsplFontForSize(size, 203);
    EXPECT_EQ(std::string(1, font.font) + std::to_string(font.x_multiplier) + "," +
                  std::to_string(font.y_multiplier),
              expected)
        << size;
  }
  // At 300 dpi EPL2's font 1 is 14 x 20 and font 3 doubled 44 x 72.
  EXPECT_EQ(TsplFontForSize(1, 300).font, '2');
  EXPECT_EQ(TsplFontForSize(0, 300).LineHeight(), 72);
}

TEST_F(TsplPrinterTest, NegativeTextInvertsTheCellsOfItsCharacters) {
  const std::vector<ByteString> commands =
      FieldCommands(LabelTemplateXml().Item("TextSimple", With(kText, {{"Negative", "True"}})));
  EXPECT_EQ(commands,
            (std::vector<ByteString>{"TEXT 40,80,\"2\",0,1,1,\"ABC\"", "REVERSE 40,80,36,20"}));
  // Turned a quarter: the cells lie left of and below the reference point.
  const std::vector<ByteString> turned = FieldCommands(LabelTemplateXml().Item(
      "TextSimple", With(kText, {{"Negative", "True"}, {"RotationFixed", "r90"}})));
  ASSERT_EQ(turned.size(), 2u);
  // The box 320 x 40 dots about (200, 100): the reference (220, -60) is moved to the edge.
  EXPECT_EQ(turned[0], "TEXT 220,0,\"2\",90,1,1,\"ABC\"");
  EXPECT_EQ(turned[1], "REVERSE 200,0,20,36");
}

const Properties kBarcode = {
    {"BarCodeType", "Code128"}, {"TextVisible", "True"}, {"Left", "5"}, {"Top", "15"},
    {"Height", "15"},           {"Value", "12345"}};

TEST_F(TsplPrinterTest, LinearBarcodesTakeEpl2sWidthsAndHeights) {
  const Properties plain = With(kBarcode, {{"TextVisible", "False"}});
  const std::vector<std::pair<Properties, ByteString>> cases = {
      {kBarcode, "BARCODE 40,120,\"128\",96,2,0,2,2,\"12345\""},
      {plain, "BARCODE 40,120,\"128\",120,0,0,2,2,\"12345\""},
      {With(kBarcode, {{"BarCodeType", "EAN_13"}, {"BarWidth", "30"}}),
       "BARCODE 40,120,\"EAN13\",104,2,0,4,4,\"12345\""},
      {With(kBarcode, {{"BarCodeType", "UPC_A"}}), "BARCODE 40,120,\"UPCA\",112,2,0,2,2,\"12345\""},
      {With(kBarcode, {{"BarCodeType", "UPC_E"}}), "BARCODE 40,120,\"UPCE\",112,2,0,2,2,\"12345\""},
      {With(kBarcode, {{"BarCodeType", "EAN_8"}}), "BARCODE 40,120,\"EAN8\",112,2,0,2,2,\"12345\""},
      {With(plain, {{"BarCodeType", "Interleaved2of5"}, {"BarWidth", "20"}}),
       "BARCODE 40,120,\"25\",120,0,0,4,8,\"12345\""},
      {With(plain, {{"BarCodeType", "CODABAR"}, {"BarWidth", "5"}, {"BarNarrowToWideRatio", "3"}}),
       "BARCODE 40,120,\"CODA\",120,0,0,1,3,\"12345\""},
      {With(plain, {{"BarCodeType", "Code39"}}), "BARCODE 40,120,\"39\",120,0,0,2,4,\"12345\""},
      {With(plain, {{"BarCodeType", "Code93"}}), "BARCODE 40,120,\"93\",120,0,0,2,2,\"12345\""},
      {With(plain, {{"BarCodeType", "Code11"}}), "BARCODE 40,120,\"11\",120,0,0,2,4,\"12345\""},
      {With(kBarcode, {{"Value", "АБ\"中"}}),
       "BARCODE 40,120,\"128\",96,2,0,2,2,\"\xC0\xC1\\[\"]?\""},
      // Left 5, Top 15, Width 30, Height 15 mm: EPL2's corners and cut heights.
      {With(kBarcode, {{"Width", "30"}, {"RotationFixed", "r90"}}),
       "BARCODE 220,60,\"128\",96,2,90,2,2,\"12345\""},
      {With(kBarcode, {{"Width", "30"}, {"RotationFixed", "r180"}}),
       "BARCODE 280,240,\"128\",56,2,180,2,2,\"12345\""},
      {With(kBarcode, {{"Width", "30"}, {"RotationFixed", "r270"}}),
       "BARCODE 100,300,\"128\",20,2,270,2,2,\"12345\""},
  };
  for (const auto& [properties, expected] : cases)
    EXPECT_EQ(OneCommand("Shk", properties), expected);
}

TEST_F(TsplPrinterTest, Gs1_128IsABitmapOfTheEncodedBarsWithItsLineUnderneath) {
  const std::vector<ByteString> commands = FieldCommands(LabelTemplateXml().Item(
      "Shk", With(kBarcode, {{"BarCodeType", "GS1_128"},
                             {"BarWidth", "5"},
                             {"Value", "(01)04601234567893(10)AB-12(21)X"}})));
  ASSERT_EQ(commands.size(), 2u);
  const TLinearSymbol symbol =
      EncodeGs1_128({{"01", "04601234567893", false}, {"10", "AB-12", true}, {"21", "X", true}});
  ASSERT_TRUE(symbol.ok());
  const int width = symbol.Modules();  // 1 dot a module
  const int bytes = (width + 7) / 8;
  const std::string header = "BITMAP 40,120," + std::to_string(bytes) + ",96,0,";
  ASSERT_EQ(commands[0].substr(0, header.size()), header);
  EXPECT_EQ(commands[0].size(), header.size() + static_cast<std::size_t>(bytes) * 96);
  EXPECT_EQ(FirstRowRuns(commands[0], header.size(), width), symbol.elements);
  // Centred under the bars, 2 dots below them, in the font of EPL2's line at 1-dot modules.
  const std::string text = "(01)04601234567893(10)AB-12(21)X";
  EXPECT_EQ(commands[1], "TEXT " +
                             std::to_string(40 + (width - 8 * static_cast<int>(text.size())) / 2) +
                             ",218,\"1\",0,1,1,\"" + text + "\"");
  // No value, no barcode.
  EXPECT_TRUE(FieldCommands(LabelTemplateXml().Item(
                                "Shk", With(kBarcode, {{"BarCodeType", "GS1_128"}, {"Value", ""}})))
                  .empty());
}

TEST_F(TsplPrinterTest, LinesAreBarsAndBoxesKeepEpl2sCorners) {
  const Properties line = {
      {"LineLeft", "5"}, {"LineTop", "20"}, {"LineLength", "40"}, {"PenWidth", "0.5"}};
  EXPECT_EQ(OneCommand("Line", line), "BAR 40,158,320,4");
  EXPECT_EQ(OneCommand("Line", With(line, {{"RotationFixed", "r90"}})), "BAR 202,0,4,320");
  const Properties box = {
      {"Left", "1"}, {"Top", "1"}, {"Width", "56"}, {"Height", "38"}, {"PenWidth", "0.3"}};
  EXPECT_EQ(OneCommand("Rectangle", box), "BOX 8,8,456,312,2");
  EXPECT_EQ(OneCommand("Rectangle", With(box, {{"Left", "-2"}})), "BOX 0,8,432,312,2");
  EXPECT_TRUE(
      FieldCommands(LabelTemplateXml().Item("Rectangle", With(box, {{"PenWidth", "0"}}))).empty());
}

const Properties kGraphic = {{"Left", "10"},   {"Top", "10"},       {"Width", "20"},
                             {"Height", "10"}, {"Font.Size", "12"}, {"Value", "AB 12"}};

TEST_F(TsplPrinterTest, PicturesAreBitmapsOverWhatLiesBeneathCutToThePrintArea) {
  const std::vector<std::pair<Properties, std::string>> cases = {
      {kGraphic, "BITMAP 80,80,20,80,1,"},
      // r90: the top-left corner of the turned box, as EPL2 places it.
      {With(kGraphic, {{"RotationFixed", "r90"}}), "BITMAP 120,40,10,160,1,"},
      // 164 dots wide: the columns past the last whole byte are dropped.
      {With(kGraphic, {{"Width", "20.5"}}), "BITMAP 80,80,20,80,1,"},
      // Left -5 mm: the 40 dots left of the label are cut off.
      {With(kGraphic, {{"Left", "-5"}}), "BITMAP 0,80,15,80,1,"},
  };
  for (const auto& [properties, header] : cases) {
    const std::vector<ByteString> commands =
        FieldCommands(LabelTemplateXml().Item("TextGraphic", properties));
    ASSERT_EQ(commands.size(), 1u) << header;
    ASSERT_EQ(commands[0].substr(0, header.size()), header);
    const MonoBitmap& bitmap = printer_.LabelObj().Fields().Items(0)->GetBitmap(203);
    const int skip = header == "BITMAP 0,80,15,80,1," ? 5 : 0;
    const int bytes = std::stoi(header.substr(header.find(',', header.find(',') + 1) + 1));
    ByteString expected = header;
    for (int y = 0; y < bitmap.Height(); ++y)
      expected.append(reinterpret_cast<const char*>(bitmap.Row(y)) + skip,
                      static_cast<std::size_t>(bytes));
    EXPECT_TRUE(commands[0] == expected) << header;
  }
  // Wholly below the label: nothing is sent.
  EXPECT_TRUE(FieldCommands(LabelTemplateXml().Item("TextGraphic", With(kGraphic, {{"Top", "45"}})))
                  .empty());
}

TEST_F(TsplPrinterTest, TwoDimensionalSymbolsOverwriteWithEveryModule) {
  const std::vector<ByteString> commands =
      FieldCommands(LabelTemplateXml().Item("2DShk", {{"Left", "5"},
                                                      {"Top", "5"},
                                                      {"Width", "20"},
                                                      {"Height", "20"},
                                                      {"BarCodeType", "DataMatrix"},
                                                      {"Value", "ABC"}}));
  ASSERT_EQ(commands.size(), 1u);
  // A 10 x 10 symbol at the most dots a module that fit 160 dots: 16, so 160 dots, 20 bytes.
  const std::string header = "BITMAP 40,40,20,160,0,";
  ASSERT_EQ(commands[0].substr(0, header.size()), header);
  EXPECT_EQ(commands[0].size(), header.size() + 20u * 160u);
}

}  // namespace
}  // namespace pirell
