#include "languages/epl2/epl2_printer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/printer_commands.h"

namespace pirell {
namespace {

using testing::LabelTemplateXml;
using Properties = LabelTemplateXml::Properties;
using testing::Datas;
using testing::With;

// The registered model with the driver's default settings: darkness 7, speed 4.
class Epl2PrinterTest : public testing::GeneratorTest<TPrinterTypeZebraEZPL2> {
 protected:
  Epl2PrinterTest() : GeneratorTest("2824, 2844", 7) {}

  static constexpr int kHeaderSize = 8;

  // The commands of one label's fields, between the "N" that opens the label and the "P" that
  // prints it.
  std::vector<ByteString> FieldCommands(const LabelTemplateXml& xml) override {
    const std::vector<ByteString> datas = LabelJob(xml);
    EXPECT_GE(datas.size(), kHeaderSize + 2u);
    if (datas.size() < kHeaderSize + 2u) return {};
    EXPECT_EQ(datas[kHeaderSize], "N");
    EXPECT_EQ(datas.back(), "P1");
    return {datas.begin() + kHeaderSize + 1, datas.end() - 1};
  }
};

// ---- printer commands ----

TEST_F(Epl2PrinterTest, EveryCommandEndsWithALineFeed) {
  EXPECT_EQ(printer_.CmdSuffix(), "\n");
}

TEST_F(Epl2PrinterTest, JobHeaderDescribesTheLabelAndThePrintSettings) {
  printer_.InitTask();
  EXPECT_EQ(Datas(printer_.CmdList()),
            (std::vector<ByteString>{"", "q464", "Q320,16", "OD", "D7", "S4", "ZT", ""}));
  const TCmdList& cmds = printer_.CmdList();
  for (int i = 0; i < 7; ++i) EXPECT_EQ(cmds.Items(i).ActionAfter, coNone) << i;
  EXPECT_EQ(cmds.Items(7).ActionAfter, coFlushBuffer);
}

TEST_F(Epl2PrinterTest, JobHeaderForThermalTransferAndOtherSizes) {
  // 100 mm -> 799.2 dots, 150 mm -> 1198.8, 3 mm -> 23.98.
  printer_.PrintParams() = TPrintParams{100, 150, 3, pmTransfer, 15, 1};
  printer_.InitTask();
  EXPECT_EQ(Datas(printer_.CmdList()),
            (std::vector<ByteString>{"", "q799", "Q1199,24", "Od", "D15", "S1", "ZT", ""}));
}

TEST_F(Epl2PrinterTest, InitTaskStartsANewCommandList) {
  printer_.TestPrinter();
  printer_.InitTask();
  printer_.InitTask();
  EXPECT_EQ(printer_.CmdList().Count(), kHeaderSize);
}

TEST_F(Epl2PrinterTest, InitializePrinterClearsStoredDataAndResets) {
  printer_.InitTask();
  printer_.InitializePrinter();
  EXPECT_EQ(Datas(printer_.CmdList()),
            (std::vector<ByteString>{"WN", "EK\"*\"", "FK\"*\"", "GK\"*\"", "I8,C,001", "^@"}));
  const TPrinterCmd& reset = printer_.CmdList().Items(5);
  EXPECT_EQ(reset.ActionAfter, coFlushBuffer);
  EXPECT_EQ(reset.DelayTime, 2000);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(printer_.CmdList().Items(i).ActionAfter, coNone);
    EXPECT_EQ(printer_.CmdList().Items(i).DelayTime, 0);
  }
}

TEST_F(Epl2PrinterTest, TestPrinterLeavesOnlyTheConfigurationPrintout) {
  printer_.InitTask();
  printer_.TestPrinter();
  ASSERT_EQ(printer_.CmdList().Count(), 1);
  EXPECT_EQ(printer_.CmdList().Items(0).Data, "U");
  EXPECT_EQ(printer_.CmdList().Items(0).ActionAfter, coFlushBuffer);
}

TEST_F(Epl2PrinterTest, LabelEndsWithTheFlushedCopyCount) {
  printer_.LabelObj().LoadFromString(LabelTemplateXml()
                                         .Item("2DShk", {{"Value", ""}, {"Height", "10"}})
                                         .Item("Barcode2D", {{"Value", "x"}})
                                         .Item("textsimple", {{"Value", "x"}})
                                         .Text());
  printer_.InitTask();
  printer_.InitLabel();
  printer_.MakeLabelScript(3);
  printer_.InitLabel();
  printer_.MakeLabelScript(65535);
  // Items of no printable kind, and a two-dimensional barcode without a value, produce nothing.
  const std::vector<ByteString> datas = Datas(printer_.CmdList());
  ASSERT_EQ(datas.size(), kHeaderSize + 4u);
  EXPECT_EQ(datas[8], "N");
  EXPECT_EQ(datas[9], "P3");
  EXPECT_EQ(printer_.CmdList().Items(9).ActionAfter, coFlushBuffer);
  EXPECT_EQ(datas[10], "N");
  EXPECT_EQ(datas[11], "P65535");
  EXPECT_EQ(printer_.CmdList().Items(8).ActionAfter, coNone);
}

// ---- printer-font text ----

const Properties kText = {{"Left", "5"},        {"Top", "10"},     {"Width", "40"}, {"Height", "5"},
                          {"MaxSymbols", "20"}, {"FontSize", "2"}, {"Value", "ABC"}};

Properties Without(Properties properties, const std::string& name) {
  std::erase_if(properties, [&](const auto& property) { return property.first == name; });
  return properties;
}

TEST_F(Epl2PrinterTest, TextInAPrinterFont) {
  // Left 5 mm -> 39.96 -> 40 dots, Top 10 mm -> 79.92 -> 80 dots.
  EXPECT_EQ(OneCommand("TextSimple", kText), "A40,80,0,2,1,1,N,\"ABC\"");
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Negative", "True"}})),
            "A40,80,0,2,1,1,R,\"ABC\"");
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Negative", "1"}})), "A40,80,0,2,1,1,R,\"ABC\"");
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Negative", "yes"}})),
            "A40,80,0,2,1,1,N,\"ABC\"");
}

TEST_F(Epl2PrinterTest, FontSizeChoosesFontAndMagnification) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"1", "1,1,1"}, {"2", "2,1,1"}, {"3", "3,1,1"},  {"4", "4,1,1"},   {"5", "2,2,2"},
      {"0", "3,2,2"}, {"6", "3,2,2"}, {"-1", "3,2,2"}, {"big", "3,2,2"},
  };
  for (const auto& [font_size, expected] : cases)
    EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"FontSize", font_size}})),
              "A40,80,0," + expected + ",N,\"ABC\"")
        << "FontSize " << font_size;
  EXPECT_EQ(OneCommand("TextSimple", Without(kText, "FontSize")), "A40,80,0,3,2,2,N,\"ABC\"");
}

TEST_F(Epl2PrinterTest, MaxSymbolsCutsTheTextByCharacters) {
  EXPECT_EQ(OneCommand("TextSimple", Without(kText, "MaxSymbols")), "A40,80,0,2,1,1,N,\"\"");
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"MaxSymbols", "2"}})),
            "A40,80,0,2,1,1,N,\"AB\"");
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"MaxSymbols", "-3"}})), "A40,80,0,2,1,1,N,\"\"");
  // Three Cyrillic characters are six UTF-8 bytes but three printer bytes.
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"MaxSymbols", "3"}, {"Value", "Цена"}})),
            "A40,80,0,2,1,1,N,\"\xD6\xE5\xED\"");
}

TEST_F(Epl2PrinterTest, TextIsSentInWindows1251) {
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Value", "Молоко 3,2%"}})),
            "A40,80,0,2,1,1,N,\"\xCC\xEE\xEB\xEE\xEA\xEE 3,2%\"");
  // A character without a windows-1251 byte becomes a question mark.
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Value", "Чай 中"}})),
            "A40,80,0,2,1,1,N,\"\xD7\xE0\xE9 ?\"");
}

TEST_F(Epl2PrinterTest, QuotesAndBackslashesInTextAreEscaped) {
  // a " b \ c  ->  a \" b \\ c
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Value", "a\"b\\c"}})),
            "A40,80,0,2,1,1,N,\"a\\\"b\\\\c\"");
}

TEST_F(Epl2PrinterTest, ALineBreakInAValueCannotStartACommand) {
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Value", "A\nN\r\nP9"}})),
            "A40,80,0,2,1,1,N,\"A N  P9\"");
}

TEST_F(Epl2PrinterTest, TurnedTextIsPlacedAtTheTurnedCorner) {
  // Left 20, Top 5, Width 10, Height 30 mm -> 160, 40, 80 x 240 dots; centre (200, 160).
  const Properties box =
      With(kText, {{"Left", "20"}, {"Top", "5"}, {"Width", "10"}, {"Height", "30"}});
  // r90: 200 + 240/2 = 320, 160 - 80/2 = 120.
  EXPECT_EQ(OneCommand("TextSimple", With(box, {{"RotationFixed", "r90"}})),
            "A320,120,1,2,1,1,N,\"ABC\"");
  // r180: 200 + 80/2 = 240, 160 + 240/2 = 280.
  EXPECT_EQ(OneCommand("TextSimple", With(box, {{"RotationFixed", "r180"}})),
            "A240,280,2,2,1,1,N,\"ABC\"");
  // r270: 200 - 240/2 = 80, 160 + 80/2 = 200.
  EXPECT_EQ(OneCommand("TextSimple", With(box, {{"RotationFixed", "r270"}})),
            "A80,200,3,2,1,1,N,\"ABC\"");
}

TEST_F(Epl2PrinterTest, TextOutsideThePrintAreaIsMovedToItsEdge) {
  // Left -3 mm -> -24 dots: moved to 0. Top -1 mm -> -8: moved to 0.
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Left", "-3"}, {"Top", "-1"}})),
            "A0,0,0,2,1,1,N,\"ABC\"");
  // Beyond the right and bottom edges the corner stays where it is.
  EXPECT_EQ(OneCommand("TextSimple", With(kText, {{"Left", "70"}, {"Top", "50"}})),
            "A559,400,0,2,1,1,N,\"ABC\"");  // 559.45, 399.61
}

// ---- barcodes ----

const Properties kBarcode = {
    {"BarCodeType", "Code128"}, {"TextVisible", "True"}, {"Left", "5"}, {"Top", "15"},
    {"Height", "15"},           {"Value", "12345"}};

TEST_F(Epl2PrinterTest, Code128Barcode) {
  // Top 15 mm -> 119.88 -> 120; Height 15 mm -> 120, less 24 for the readable line;
  // narrow 12/1000 x 203 = 2.436 -> 2.
  EXPECT_EQ(OneCommand("Shk", kBarcode), "B40,120,0,1,2,2,96,B,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"BarCodeType", "cOdE128"}})),
            "B40,120,0,1,2,2,96,B,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"TextVisible", "False"}})),
            "B40,120,0,1,2,2,120,N,\"12345\"");
  // 5 mm -> 40 dots: not more than 48, so the readable line takes nothing off.
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"Height", "5"}})), "B40,120,0,1,2,2,40,B,\"12345\"");
}

TEST_F(Epl2PrinterTest, EanAndUpcBarcodes) {
  // EAN13 without the underscore matches no name: EAN-13 all the same.
  // BarWidth 30: 6.09 -> 6, clamped to 4; readable line: 120 - 4 x 4 = 104.
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"BarCodeType", "EAN13"}, {"BarWidth", "30"}})),
            "B40,120,0,E30,4,2,104,B,\"12345\"");
  // Narrow 2.436 -> 2 stays; 120 - 4 x 2 = 112.
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"BarCodeType", "UPC_A"}})),
            "B40,120,0,UA0,2,2,112,B,\"12345\"");
  // BarWidth 5: 1.015 -> 1, clamped to 2.
  EXPECT_EQ(
      OneCommand("Shk", With(kBarcode,
                             {{"BarCodeType", "UPC_E"}, {"BarWidth", "5"}, {"TextVisible", "0"}})),
      "B40,120,0,UE0,2,2,120,N,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"BarCodeType", "EAN_8"}})),
            "B40,120,0,E80,2,2,112,B,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", Without(kBarcode, "BarCodeType")),
            "B40,120,0,E30,2,2,112,B,\"12345\"");
  // Height 0.5 mm -> 4 dots; 4 - 4 x 2 = -4 is sent as it is.
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"BarCodeType", "EAN_13"}, {"Height", "0.5"}})),
            "B40,120,0,E30,2,2,-4,B,\"12345\"");
}

TEST_F(Epl2PrinterTest, WideBarsOfInterleaved2of5AndCodabarFollowTheRatio) {
  const Properties i25 =
      With(kBarcode, {{"BarCodeType", "Interleaved2of5"}, {"TextVisible", "False"}});
  // BarWidth 20: 4.06 -> 4; wide = 4 x ratio, the ratio clamped to 2..30.
  EXPECT_EQ(OneCommand("Shk", With(i25, {{"BarWidth", "20"}})), "B40,120,0,2,4,8,120,N,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(i25, {{"BarWidth", "20"}, {"BarNarrowToWideRatio", "3"}})),
            "B40,120,0,2,4,12,120,N,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(i25, {{"BarWidth", "20"}, {"BarNarrowToWideRatio", "1"}})),
            "B40,120,0,2,4,8,120,N,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(i25, {{"BarWidth", "20"}, {"BarNarrowToWideRatio", "50"}})),
            "B40,120,0,2,4,120,120,N,\"12345\"");
  const Properties codabar = With(kBarcode, {{"BarCodeType", "CODABAR"}, {"TextVisible", "False"}});
  // BarWidth 5: 1.015 -> 1; wide 1 x 3.
  EXPECT_EQ(OneCommand("Shk", With(codabar, {{"BarWidth", "5"}, {"BarNarrowToWideRatio", "3"}})),
            "B40,120,0,K,1,3,120,N,\"12345\"");
  // BarWidth 100: 20.3 -> 20, clamped to 10; wide 10 x 2.
  EXPECT_EQ(OneCommand("Shk", With(codabar, {{"BarWidth", "100"}})),
            "B40,120,0,K,10,20,120,N,\"12345\"");
}

TEST_F(Epl2PrinterTest, OtherLinearBarcodes) {
  const Properties plain = With(kBarcode, {{"TextVisible", "False"}});
  // Code 39: wide is twice the narrow bar, whatever the ratio says.
  EXPECT_EQ(
      OneCommand("Shk", With(plain, {{"BarCodeType", "Code39"}, {"BarNarrowToWideRatio", "5"}})),
      "B40,120,0,3,2,4,120,N,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(plain, {{"BarCodeType", "Code93"}})),
            "B40,120,0,9,2,2,120,N,\"12345\"");
  EXPECT_EQ(OneCommand("Shk", With(plain, {{"BarCodeType", "Code11"}})),
            "B40,120,0,,2,2,120,N,\"12345\"");
  // BarWidth 1: 0.203 -> 0, clamped to 1.
  EXPECT_EQ(OneCommand("Shk", With(plain, {{"BarWidth", "1"}})), "B40,120,0,1,1,2,120,N,\"12345\"");
}

TEST_F(Epl2PrinterTest, BarcodeDataIsEscapedAndSentInWindows1251) {
  EXPECT_EQ(OneCommand("Shk", With(kBarcode, {{"Value", "АБ\"\\中"}})),
            "B40,120,0,1,2,2,96,B,\"\xC0\xC1\\\"\\\\?\"");
}

TEST_F(Epl2PrinterTest, TurnedBarcodes) {
  // Left 5, Top 15, Width 30, Height 15 mm -> 40, 120, 240 x 120 dots; centre (160, 180).
  const Properties box = With(kBarcode, {{"Width", "30"}});
  // r90: 160 + 60 = 220, 180 - 120 = 60; fits; 120 - 24 = 96.
  EXPECT_EQ(OneCommand("Shk", With(box, {{"RotationFixed", "r90"}})),
            "B220,60,1,1,2,2,96,B,\"12345\"");
  // r180: 160 + 120 = 280, 180 + 60 = 240; height cut to 320 - 240 = 80, then 80 - 24 = 56.
  EXPECT_EQ(OneCommand("Shk", With(box, {{"RotationFixed", "r180"}})),
            "B280,240,2,1,2,2,56,B,\"12345\"");
  // r270: 160 - 60 = 100, 180 + 120 = 300; height cut to 20, not over 48: no deduction.
  EXPECT_EQ(OneCommand("Shk", With(box, {{"RotationFixed", "r270"}})),
            "B100,300,3,1,2,2,20,B,\"12345\"");
}

// ---- barcodes the driver encodes itself ----

// A marking code as scanned: GTIN, serial number, GS, verification key, GS, crypto tail with
// characters the GS1 character set lacks.
constexpr char kMarkingCode[] =
    "0104601234567893215abc!%\"\x1D"
    "91EE06\x1D"
    "92dGVz\\t+/=";

const Properties kSymbol = {{"BarCodeType", "DataMatrix"},
                            {"Left", "5"},
                            {"Top", "5"},
                            {"Width", "10"},
                            {"Height", "10"},
                            {"Value", "123456"}};

// The raster of a GW command as modules `dots` a side: the dark modules, row by row.
std::vector<std::string> ModuleRows(const ByteString& raster, int bytes_per_row, int rows,
                                    int dots) {
  std::vector<std::string> modules;
  for (int y = 0; y < rows; y += dots) {
    std::string row;
    for (int x = 0; x < bytes_per_row * 8; x += dots) {
      const auto byte =
          static_cast<unsigned char>(raster[static_cast<std::size_t>(y) * bytes_per_row + x / 8]);
      row += (byte & (0x80 >> (x % 8))) == 0 ? '#' : '.';
    }
    modules.push_back(row);
  }
  return modules;
}

TEST_F(Epl2PrinterTest, TwoDimensionalSymbolsAreRastersOfWholeDotsPerModule) {
  struct Case {
    Properties properties;
    const char* header;
  };
  // A DataMatrix of 6 digits has 10 x 10 modules; the 10 mm box is 80 dots: 8 dots a module at
  // the box's corner (40, 40). Each row is sent whole, filled up with white.
  const Case kCases[] = {
      {kSymbol, "GW40,40,10,80"},
      {With(kSymbol, {{"ModuleSize", "0.5"}}), "GW40,40,5,40"},             // 4 dots a module
      {With(kSymbol, {{"Width", "12"}, {"Height", "7"}}), "GW40,40,7,50"},  // 96 x 56: 5 dots
      {With(kSymbol, {{"ModuleSize", "0.3"}}), "GW40,40,3,20"},             // 2.4 -> 2: 20 dots
  };
  for (const Case& c : kCases) {
    const std::vector<ByteString> commands =
        FieldCommands(LabelTemplateXml().Item("2DShk", c.properties));
    ASSERT_EQ(commands.size(), 2u) << c.header;
    EXPECT_EQ(commands[0], c.header);
  }
  // The modules are the same at every size: every dark module is a square of dots.
  const std::vector<ByteString> large = FieldCommands(LabelTemplateXml().Item("2DShk", kSymbol));
  const std::vector<ByteString> small =
      FieldCommands(LabelTemplateXml().Item("2DShk", With(kSymbol, {{"ModuleSize", "0.5"}})));
  ASSERT_EQ(large.size(), 2u);
  ASSERT_EQ(small.size(), 2u);
  ASSERT_EQ(large[1].size(), 800u);
  const std::vector<std::string> modules = ModuleRows(large[1], 10, 80, 8);
  EXPECT_EQ(ModuleRows(small[1], 5, 40, 4), modules);
  EXPECT_EQ(modules.front(), "#.#.#.#.#.");  // the timing pattern
  EXPECT_EQ(modules.back(), "##########");   // the finder pattern
}

TEST_F(Epl2PrinterTest, TurnedSymbolsKeepTheCornerOfTheTurnedBox) {
  // A 20 x 10 mm box at (5, 5) mm: 160 x 80 dots at (40, 40), centre (120, 80). The 10 x 10
  // module symbol at 8 dots is 80 x 80 at the upright box's top-left corner.
  const Properties box = With(kSymbol, {{"Width", "20"}});
  struct Case {
    const char* turn;
    const char* header;
  };
  const Case kCases[] = {
      {"r0", "GW40,40,10,80"},
      // Turned boxes 80 x 160 at (80, 0) and 160 x 80 at (40, 40): the corner goes top-right,
      // bottom-right, bottom-left.
      {"r90", "GW80,0,10,80"},
      {"r180", "GW120,40,10,80"},
      {"r270", "GW80,80,10,80"},
  };
  const std::vector<std::string> upright =
      ModuleRows(FieldCommands(LabelTemplateXml().Item("2DShk", box))[1], 10, 80, 8);
  for (const Case& c : kCases) {
    const std::vector<ByteString> commands =
        FieldCommands(LabelTemplateXml().Item("2DShk", With(box, {{"RotationFixed", c.turn}})));
    ASSERT_EQ(commands.size(), 2u) << c.turn;
    EXPECT_EQ(commands[0], c.header);
    // Turned a quarter clockwise: the first upright column is the top row, read bottom up.
    if (std::string_view(c.turn) == "r90") {
      const std::vector<std::string> turned = ModuleRows(commands[1], 10, 80, 8);
      for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) EXPECT_EQ(turned[x][9 - y], upright[y][x]);
    }
  }
}

TEST_F(Epl2PrinterTest, Gs1BarcodesSendFnc1FirstAndAfterEveryVariableLengthElement) {
  // Values with group separators come from the host's data, never from the template's XML.
  const Properties gs1 = With(kBarcode, {{"BarCodeType", "GS1_128"}, {"DS", "Code"}});
  const auto barcode_of = [&](const Properties& properties, const std::string& value) {
    printer_.LabelObj().LoadFromString(LabelTemplateXml().Item("Shk", properties).Text());
    printer_.InitTask();
    printer_.InitLabel();
    printer_.ValuesList().Add("Code", value);
    printer_.MakeLabelScript(1);
    const std::vector<ByteString> datas = Datas(printer_.CmdList());
    return datas.size() == kHeaderSize + 3 ? datas[kHeaderSize + 1] : ByteString("(none)");
  };
  EXPECT_EQ(barcode_of(gs1,
                       "0104601234567893"
                       "21ABC\x1D"
                       "3103000750"),
            "B40,120,0,1,2,2,96,B,F1\"010460123456789321ABC\"F1\"3103000750\"");
  EXPECT_EQ(barcode_of(With(gs1, {{"BarCodeType", "ean128"}}), "(00)046012345678900003(10)A(B)"),
            "B40,120,0,1,2,2,96,B,F1\"0004601234567890000310A(B)\"");
  // The crypto tail's quote and backslash are escaped inside the quoted parts.
  EXPECT_EQ(
      barcode_of(gs1, kMarkingCode),
      "B40,120,0,1,2,2,96,B,F1\"0104601234567893215abc!%\\\"\"F1\"91EE06\"F1\"92dGVz\\\\t+/=\"");
  // No value, no barcode.
  EXPECT_EQ(barcode_of(gs1, ""), "(none)");
}

TEST_F(Epl2PrinterTest, BarcodesThatCannotBePrintedAreRefusedNamingTheFieldAndTheReason) {
  struct Case {
    const char* class_name;
    Properties properties;
    const char* reason;
  };
  const Case kCases[] = {
      {"2DShk", With(kSymbol, {{"BarCodeType", "MaxiCode"}}),
       "неизвестный тип штрихкода «MaxiCode»"},
      {"2DShk", With(kSymbol, {{"Width", "1"}}),
       "символ из 10 x 10 модулей не помещается в поле 8 x 80 точек даже при 1 точке на модуль"},
      {"2DShk", With(kSymbol, {{"ModuleSize", "2"}}),
       "символ из 10 x 10 модулей по 16 точек на модуль не помещается в поле 80 x 80 точек"},
      {"2DShk", With(kSymbol, {{"Left", "50"}}), "символ выходит за край этикетки"},
      {"2DShk", With(kSymbol, {{"BarCodeType", "QR"}, {"ErrorCorrection", "X"}}),
       "уровень коррекции ошибок «X» не подходит для QR"},
      {"2DShk",
       With(kSymbol, {{"Width", "50"}, {"Height", "30"}, {"Value", std::string(4000, 'x')}}),
       "данных больше, чем вмещает символ DataMatrix"},
      {"2DShk", With(kSymbol, {{"BarCodeType", "GS1_DATAMATRIX"}, {"Value", "0104601234567894"}}),
       "значение не является строкой элементов GS1: в элементе (01) неверная контрольная цифра "
       "4, должна быть 3"},
      {"2DShk",
       With(kSymbol, {{"BarCodeType", "GS1DataMatrix"},
                      {"Value",
                       "0104601234567893"
                       "2301"}}),
       "значение не является строкой элементов GS1: неизвестный идентификатор применения (230)"},
      {"Shk", With(kBarcode, {{"BarCodeType", "GS1_128"}, {"Value", "01046012345678"}}),
       "значение не является строкой элементов GS1: в элементе (01) должно быть 14 знаков, а не "
       "12"},
      // Beyond what a Code 128 symbol holds.
      {"Shk",
       With(kBarcode, {{"BarCodeType", "GS1_128"},
                       {"Value", "(21)" + std::string(20, 'A') + "(91)" + std::string(90, 'B')}}),
       "данных больше, чем вмещает символ GS1-128"},
      {"Shk", With(kBarcode, {{"BarCodeType", "GS1_128"}, {"Value", "(17)2412AB"}}),
       "значение не является строкой элементов GS1: в элементе (17) допустимы только цифры, а не "
       "«A»"},
  };
  for (const Case& c : kCases) {
    printer_.LabelObj().LoadFromString(LabelTemplateXml()
                                           .Item("Line", {})
                                           .Item(c.class_name, With(c.properties, {{"DS", "Code"}}))
                                           .Text());
    printer_.InitTask();
    printer_.InitLabel();
    // The check of a request's first pass refuses the label before anything is made.
    try {
      printer_.CheckLabelScript();
      ADD_FAILURE() << c.reason;
    } catch (const BarcodeError& e) {
      EXPECT_EQ(e.Code(), 1004);
      EXPECT_EQ(std::string(e.what()),
                std::string("Штрихкод поля 2 (") + c.class_name +
                    ", источник данных «Code») не может быть напечатан: " + c.reason);
    }
  }
}

// ---- lines and boxes ----

const Properties kLine = {
    {"LineLeft", "5"}, {"LineTop", "20"}, {"LineLength", "40"}, {"PenWidth", "0.5"}};

TEST_F(Epl2PrinterTest, HorizontalAndVerticalLines) {
  // Pen 0.5 mm -> 4 dots, half 2; X 40; Y 160 - 2 = 158; length 319.69 -> 320.
  EXPECT_EQ(OneCommand("Line", kLine), "LO40,158,320,4");
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"RotationFixed", "r180"}})), "LO40,158,320,4");
  // Vertical: X = 40 + 320/2 + 4/2 = 202, Y = 158 + 4/2 - 320/2 = 0.
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"RotationFixed", "r90"}})), "LO202,0,4,320");
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"RotationFixed", "r270"}})), "LO202,0,4,320");
}

TEST_F(Epl2PrinterTest, LinesAreAtLeastOneDotThickAndCutToThePrintArea) {
  // No pen width: 1 dot, half 0.
  EXPECT_EQ(OneCommand("Line", Without(kLine, "PenWidth")), "LO40,160,320,1");
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"PenWidth", "-1"}})), "LO40,160,320,1");
  // LineLeft 50 mm -> 399.6 -> 400, length 20 mm -> 159.84 -> 160: cut to 464 - 400 = 64.
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"LineLeft", "50"}, {"LineLength", "20"}})),
            "LO400,158,64,4");
  // LineLeft -2 mm -> -16: X 0, length 320 - 16 = 304.
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"LineLeft", "-2"}})), "LO0,158,304,4");
  // Vertical from LineTop 10: Y = 80 - 2 = 78 -> 78 + 2 - 160 = -80: Y 0, length 320 - 80.
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"LineTop", "10"}, {"RotationFixed", "r90"}})),
            "LO202,0,4,240");
  // Vertical from LineTop 35: Y = 280 - 2 = 278 -> 120; length cut to 320 - 120 = 200.
  EXPECT_EQ(OneCommand("Line", With(kLine, {{"LineTop", "35"}, {"RotationFixed", "r270"}})),
            "LO202,120,4,200");
}

const Properties kBox = {
    {"Left", "1"}, {"Top", "1"}, {"Width", "56"}, {"Height", "38"}, {"PenWidth", "0.3"}};

TEST_F(Epl2PrinterTest, BoxOutline) {
  // 1 mm -> 8; 56 mm -> 447.56 -> 448; 38 mm -> 303.70 -> 304; pen 2.398 -> 2.
  EXPECT_EQ(OneCommand("Rectangle", kBox), "X8,8,2,456,312");
  // No minimum thickness.
  EXPECT_EQ(OneCommand("Rectangle", Without(kBox, "PenWidth")), "X8,8,0,456,312");
}

TEST_F(Epl2PrinterTest, TurnedBoxes) {
  // Left 5, Top 5, Width 20, Height 10 mm -> 40, 40, 160 x 80 dots; centre (120, 80).
  const Properties box =
      With(kBox, {{"Left", "5"}, {"Top", "5"}, {"Width", "20"}, {"Height", "10"}});
  EXPECT_EQ(OneCommand("Rectangle", box), "X40,40,2,200,120");
  // r90: 120 + 40 = 160, 80 - 80 = 0.
  EXPECT_EQ(OneCommand("Rectangle", With(box, {{"RotationFixed", "r90"}})), "X160,0,2,320,80");
  // r180: 120 + 80 = 200, 80 + 40 = 120.
  EXPECT_EQ(OneCommand("Rectangle", With(box, {{"RotationFixed", "r180"}})), "X200,120,2,360,200");
  // r270: 120 - 40 = 80, 80 + 80 = 160.
  EXPECT_EQ(OneCommand("Rectangle", With(box, {{"RotationFixed", "r270"}})), "X80,160,2,240,240");
}

TEST_F(Epl2PrinterTest, BoxesAreCutAtEachEdge) {
  // Left 50 mm -> 400, width 160: right edge at 464.
  EXPECT_EQ(OneCommand("Rectangle", With(kBox, {{"Left", "50"}, {"Width", "20"}})),
            "X400,8,2,464,312");
  // Top 30 mm -> 240, height 304: bottom edge at 320.
  EXPECT_EQ(OneCommand("Rectangle", With(kBox, {{"Top", "30"}})), "X8,240,2,456,320");
  // Left -2 mm -> -16: from 0, width 448 - 16 = 432.
  EXPECT_EQ(OneCommand("Rectangle", With(kBox, {{"Left", "-2"}})), "X0,8,2,432,312");
  // Top -2 mm -> -16: from 0, height 304 - 16 = 288.
  EXPECT_EQ(OneCommand("Rectangle", With(kBox, {{"Top", "-2"}})), "X8,0,2,456,288");
  // Wholly right of the area (60 mm -> 479.53 -> 480): no width left.
  EXPECT_EQ(OneCommand("Rectangle", With(kBox, {{"Left", "60"}})), "X480,8,2,480,312");
}

// ---- pictures and text in chosen fonts ----

const Properties kGraphic = {{"Left", "10"},   {"Top", "10"},       {"Width", "20"},
                             {"Height", "10"}, {"Font.Size", "12"}, {"Value", "AB 12"}};

// The rows of the field's bitmap cut to whole bytes, as the raster command must carry them.
ByteString ExpectedRaster(TField& field) {
  const MonoBitmap& bitmap = field.GetBitmap(203);
  ByteString raster;
  for (int y = 0; y < bitmap.Height(); ++y)
    raster.append(reinterpret_cast<const char*>(bitmap.Row(y)),
                  static_cast<std::size_t>(bitmap.Width() / 8));
  return raster;
}

TEST_F(Epl2PrinterTest, GraphicTextIsSentAsRasterRows) {
  const std::vector<ByteString> commands =
      FieldCommands(LabelTemplateXml().Item("TextGraphic", kGraphic));
  ASSERT_EQ(commands.size(), 2u);
  // 10 mm -> 80 dots; the bitmap is 160 x 80 pixels: 20 bytes by 80 rows.
  EXPECT_EQ(commands[0], "GW80,80,20,80");
  EXPECT_EQ(commands[1].size(), 1600u);
  EXPECT_TRUE(commands[1] == ExpectedRaster(*printer_.LabelObj().Fields().Items(0)));
  EXPECT_EQ(printer_.CmdList().Items(kHeaderSize + 2).ActionAfter, coNone);
}

TEST_F(Epl2PrinterTest, TurnedGraphicsArePlacedAtTheTopLeftOfTheTurnedBox) {
  // 80, 80, 160 x 80 dots; centre (160, 120).
  // r90: corner (160 + 40, 120 - 80) = (200, 40), less the height: 200 - 80 = 120.
  std::vector<ByteString> commands = FieldCommands(
      LabelTemplateXml().Item("TextGraphic", With(kGraphic, {{"RotationFixed", "r90"}})));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "GW120,40,10,160");
  EXPECT_EQ(commands[1].size(), 1600u);
  EXPECT_TRUE(commands[1] == ExpectedRaster(*printer_.LabelObj().Fields().Items(0)));
  // r180: corner (160 + 80, 120 + 40) = (240, 160), less the size: (80, 80).
  commands = FieldCommands(
      LabelTemplateXml().Item("TextGraphic", With(kGraphic, {{"RotationFixed", "r180"}})));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "GW80,80,20,80");
  EXPECT_TRUE(commands[1] == ExpectedRaster(*printer_.LabelObj().Fields().Items(0)));
  // r270: corner (160 - 40, 120 + 80) = (120, 200), less the width: 200 - 160 = 40.
  commands = FieldCommands(
      LabelTemplateXml().Item("TextGraphic", With(kGraphic, {{"RotationFixed", "r270"}})));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "GW120,40,10,160");
  EXPECT_TRUE(commands[1] == ExpectedRaster(*printer_.LabelObj().Fields().Items(0)));
}

TEST_F(Epl2PrinterTest, ColumnsAfterTheLastWholeByteAreDropped) {
  // 20.5 mm -> 164 pixels: 21 bytes a row in the bitmap, 20 sent.
  const std::vector<ByteString> commands =
      FieldCommands(LabelTemplateXml().Item("TextGraphic", With(kGraphic, {{"Width", "20.5"}})));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "GW80,80,20,80");
  TField& field = *printer_.LabelObj().Fields().Items(0);
  ASSERT_EQ(field.GetBitmap(203).Stride(), 21);
  EXPECT_EQ(commands[1].size(), 1600u);
  EXPECT_TRUE(commands[1] == ExpectedRaster(field));
}

TEST_F(Epl2PrinterTest, GraphicsAreNotCutToThePrintArea) {
  // Left -5 mm -> -40, Top 45 mm -> 359.6 -> 360.
  const std::vector<ByteString> commands = FieldCommands(
      LabelTemplateXml().Item("TextGraphic", With(kGraphic, {{"Left", "-5"}, {"Top", "45"}})));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "GW-40,360,20,80");
}

TEST_F(Epl2PrinterTest, AMissingPictureIsSentWhite) {
  const std::vector<ByteString> commands =
      FieldCommands(LabelTemplateXml().Item("Image", {{"Left", "10"},
                                                      {"Top", "10"},
                                                      {"Width", "20"},
                                                      {"Height", "20"},
                                                      {"Value", "no such picture.bmp"}}));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "GW80,80,20,160");
  EXPECT_EQ(commands[1].size(), 3200u);
  EXPECT_EQ(commands[1].find_first_not_of('\xFF'), ByteString::npos);
}

TEST_F(Epl2PrinterTest, AnEmptyBoxSendsNoRasterBytes) {
  const std::vector<ByteString> commands =
      FieldCommands(LabelTemplateXml().Item("TextGraphic", With(kGraphic, {{"Width", "0"}})));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "GW80,80,0,80");
  EXPECT_EQ(commands[1], "");
}

// ---- values of a label ----

TEST_F(Epl2PrinterTest, EachLabelPrintsItsOwnValues) {
  printer_.LabelObj().LoadFromString(
      LabelTemplateXml()
          .Item("TextSimple", With(kText, {{"DS", "Name"}, {"Value", "template"}}))
          .Item("Shk", With(kBarcode, {{"DS", "Barcode"}}))
          .Text());
  printer_.InitTask();
  printer_.InitLabel();
  printer_.ValuesList().Add("Name", "Хлеб");
  printer_.ValuesList().Add("Barcode", "4600987654321");
  printer_.MakeLabelScript(2);
  printer_.InitLabel();
  printer_.ValuesList().Add("Name", "Tea");
  printer_.MakeLabelScript(1);
  const std::vector<ByteString> datas = Datas(printer_.CmdList());
  EXPECT_EQ(std::vector<ByteString>(datas.begin() + kHeaderSize, datas.end()),
            (std::vector<ByteString>{"N", "A40,80,0,2,1,1,N,\"\xD5\xEB\xE5\xE1\"",
                                     "B40,120,0,1,2,2,96,B,\"4600987654321\"", "P2", "N",
                                     "A40,80,0,2,1,1,N,\"Tea\"",
                                     // The barcode keeps the last value stored into it.
                                     "B40,120,0,1,2,2,96,B,\"4600987654321\"", "P1"}));
}

}  // namespace
}  // namespace pirell
