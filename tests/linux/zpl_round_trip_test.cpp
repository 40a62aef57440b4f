// Labels printed in ZPL II and in EPL2 at the same resolution look the same when the preview
// draws both jobs: barcodes, lines, boxes and rasters dot for dot, printer-font texts within what
// the fonts allow; every barcode reads back.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host_cli/csv_reader.h"
#include "host_cli/png_file.h"
#include "languages/epl2/epl2_printer.h"
#include "languages/zpl/zpl_printer.h"
#include "linux/symbol_decoder.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "preview/job_renderer.h"
#include "rendering/printer_registry.h"
#include "support/bitmap_probe.h"
#include "support/label_template_xml.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::InkBoundsOf;
using testing::LabelTemplateXml;

const TPrinterModel& ModelNamed(const std::string& name) {
  for (const TPrinterModel& model : PrinterModels())
    if (model.Name == name) return model;
  ADD_FAILURE() << "no model " << name;
  return PrinterModels().at(0);
}

struct Picture : preview::RenderSink {
  void OnLabel(const MonoBitmap& label, std::uint64_t) override { pictures.push_back(label); }
  void OnWarning(std::uint64_t offset, const std::string& text) override {
    warnings += std::to_string(offset) + ": " + text + "\n";
  }
  std::vector<MonoBitmap> pictures;
  std::string warnings;
};

using Values = std::vector<std::pair<std::string, std::string>>;

// The pictures of the labels (one per set of values) as the preview draws the printer's job.
std::vector<MonoBitmap> Printed(TPrinterTypeBase& printer, TPrinterLanguage language, int dpi,
                                const std::string& xml, const std::vector<Values>& labels) {
  printer.LabelObj().LoadFromString(xml);
  printer.InitTask();
  std::string job;
  const auto take = [&] {
    for (const TPrinterCmd& cmd : printer.CmdList()) job += cmd.Data + printer.CmdSuffix();
  };
  take();
  for (const Values& values : labels) {
    printer.CmdList().Clear();
    printer.InitLabel();
    for (const auto& [name, value] : values) printer.ValuesList().Add(name, value);
    printer.MakeLabelScript(1);
    take();
  }
  Picture sink;
  const auto renderer = preview::MakeJobRenderer(language, sink, {dpi, 0});
  renderer->Feed(job);
  renderer->Finish();
  EXPECT_EQ(sink.warnings, "") << PrinterLanguageName(language);
  return sink.pictures;
}

struct Pair {
  std::vector<MonoBitmap> epl2;
  std::vector<MonoBitmap> zpl;
};

Pair PrintBoth(int dpi, const std::string& xml, const std::vector<Values>& labels) {
  TPrinterTypeZebraEZPL2 epl2;
  TPrinterTypeZPL2 zpl;
  epl2.ModelProps() = ModelNamed(dpi == 203 ? "2824, 2844" : "EPL2, 300 dpi").ModelProps;
  zpl.ModelProps() = ModelNamed("ZPL II, " + std::to_string(dpi) + " dpi").ModelProps;
  for (TPrinterTypeBase* printer :
       {static_cast<TPrinterTypeBase*>(&epl2), static_cast<TPrinterTypeBase*>(&zpl)})
    printer->PrintParams() = TPrintParams{58, 40, 2, pmDirect, 7, 4};
  return {Printed(epl2, TPrinterLanguage::Epl2, dpi, xml, labels),
          Printed(zpl, TPrinterLanguage::ZplII, dpi, xml, labels)};
}

struct Rect {
  int left, top, right, bottom;  // right and bottom exclusive
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Dots that differ outside the rectangles.
int DifferencesOutside(const MonoBitmap& a, const MonoBitmap& b, const std::vector<Rect>& masks) {
  int differences = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      bool masked = false;
      for (const Rect& mask : masks) masked = masked || mask.Contains(x, y);
      if (!masked && a.IsBlack(x, y) != b.IsBlack(x, y)) ++differences;
    }
  return differences;
}

testing::InkBounds InkIn(const MonoBitmap& picture, const Rect& rect) {
  MonoBitmap part(rect.right - rect.left, rect.bottom - rect.top);
  for (int y = rect.top; y < rect.bottom && y < picture.Height(); ++y)
    for (int x = rect.left; x < rect.right && x < picture.Width(); ++x)
      if (picture.IsBlack(x, y)) part.SetBlack(x - rect.left, y - rect.top);
  return InkBoundsOf(part);
}

int Dots(double mm, int dpi) {
  return static_cast<int>(std::lround(mm * dpi / 25.4));
}

TEST(ZplRoundTripTest, TheExampleLabelLooksAsInEpl2AtBothResolutions) {
  const auto xml =
      platform::ReadWholeFile(std::string(PIRELL_SOURCE_DIR) + "/examples/price-tag.xml");
  const auto csv = platform::ReadWholeFile(std::string(PIRELL_SOURCE_DIR) + "/examples/labels.csv");
  ASSERT_TRUE(xml && csv);
  cli::CsvReader reader(*csv);
  std::vector<std::string> header;
  std::vector<std::string> row;
  ASSERT_TRUE(reader.Next(header));
  std::vector<Values> labels;
  while (reader.Next(row)) {
    Values values;
    for (std::size_t i = 0; i < row.size() && i < header.size(); ++i)
      values.push_back({header[i], row[i]});
    labels.push_back(values);
  }
  for (const int dpi : {203, 300}) {
    SCOPED_TRACE(dpi);
    const Pair pair = PrintBoth(dpi, *xml, labels);
    ASSERT_EQ(pair.epl2.size(), labels.size());
    ASSERT_EQ(pair.zpl.size(), labels.size());
    // The printer-font texts: the name (3 mm, 3 mm, font 3) and the price (40 mm, 24 mm,
    // font 4), each from its corner to the label's right edge, one cell high.
    const int cell3 = dpi == 203 ? 20 : 36;
    const int cell4 = dpi == 203 ? 24 : 44;
    const int width = pair.epl2[0].Width();
    const std::vector<Rect> texts = {{Dots(3, dpi), Dots(3, dpi), width, Dots(3, dpi) + cell3},
                                     {Dots(40, dpi), Dots(24, dpi), width, Dots(24, dpi) + cell4}};
    std::vector<Rect> masks = texts;
    // EPL2 leaves out the columns of a raster past its last whole byte.
    const int description_right = Dots(3, dpi) + Dots(38, dpi);
    masks.push_back({Dots(3, dpi) + Dots(38, dpi) / 8 * 8, 0, description_right, 10000});
    for (std::size_t i = 0; i < labels.size(); ++i) {
      SCOPED_TRACE(i);
      ASSERT_EQ(pair.zpl[i].Width(), pair.epl2[i].Width());
      ASSERT_EQ(pair.zpl[i].Height(), pair.epl2[i].Height());
      EXPECT_EQ(DifferencesOutside(pair.epl2[i], pair.zpl[i], masks), 0);
      for (const Rect& text : texts) {
        const auto epl2 = InkIn(pair.epl2[i], text);
        const auto zpl = InkIn(pair.zpl[i], text);
        ASSERT_FALSE(epl2.Empty() || zpl.Empty());
        const int height = text.bottom - text.top;
        EXPECT_NEAR(zpl.left, epl2.left, height / 4);
        EXPECT_NEAR(zpl.top, epl2.top, height / 4);
        EXPECT_NEAR(zpl.bottom, epl2.bottom, height / 4);
        const int epl2_width = epl2.right - epl2.left;
        EXPECT_NEAR(zpl.right - zpl.left, epl2_width, epl2_width / 3 + height / 2);
      }
    }
  }
}

using testing::HaveZbarimg;

std::string ZbarRead(const std::string& png) {
  return testing::ZbarimgRead(png);
}

// The text of the one symbol zxing-cpp finds in the picture.
std::string ZxingRead(const MonoBitmap& picture) {
  const std::vector<testing::DecodedSymbol> symbols = testing::DecodeSymbols(picture);
  return symbols.size() == 1 ? symbols[0].text : std::string();
}

TEST(ZplRoundTripTest, SymbolsAndGs1BarcodesAreTheSameDotsAsInEpl2AndReadBack) {
  struct Case {
    const char* class_name;
    const char* type;
    const char* value;
    const char* read;  // what a reader finds, GS shown as "|"
  };
  const Case cases[] = {
      {"2DShk", "DataMatrix", "Pirell 2D", "Pirell 2D"},
      {"2DShk", "GS1_DataMatrix", "(01)04601234567893(21)5AbCdE(91)EE06(92)a1b2c3",
       "0104601234567893215AbCdE|91EE06|92a1b2c3"},
      {"2DShk", "QR", "https://example.com/p?id=42", "https://example.com/p?id=42"},
      {"2DShk", "PDF417", "PDF417 of Pirell", "PDF417 of Pirell"},
      {"2DShk", "Aztec", "Aztec of Pirell", "Aztec of Pirell"},
      {"Shk", "GS1_128", "(01)04601234567893(10)12(17)261231", "0104601234567893"},
  };
  testing::TempDir folder;
  for (const int dpi : {203, 300}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.type) + " at " + std::to_string(dpi));
      const std::string xml =
          LabelTemplateXml()
              .Item(c.class_name,
                    {{"BarCodeType", c.type},
                     {"Value", c.value},
                     {"Left", "4"},
                     {"Top", "4"},
                     {"Width", "50"},
                     {"Height", "30"},
                     {"TextVisible", std::string(c.class_name) == "Shk" ? "False" : "True"},
                     {"BarWidth", "10"}})
              .Text();
      const Pair pair = PrintBoth(dpi, xml, {{}});
      ASSERT_EQ(pair.epl2.size(), 1u);
      ASSERT_EQ(pair.zpl.size(), 1u);
      EXPECT_TRUE(testing::SamePixels(pair.epl2[0], pair.zpl[0]));
      EXPECT_FALSE(InkBoundsOf(pair.zpl[0]).Empty());
      std::string read;
      if (std::string(c.class_name) == "Shk") {
        if (!HaveZbarimg()) continue;
        const std::string png = folder.File("gs1-128.png");
        cli::WritePngFile(png, pair.zpl[0], dpi);
        read = ZbarRead(png);
        EXPECT_NE(read.find(c.read), std::string::npos) << "[" << read << "]";
        continue;
      }
      read = ZxingRead(pair.zpl[0]);
      for (char& ch : read)
        if (ch == '\x1D') ch = '|';
      EXPECT_EQ(read, c.read);
    }
  }
}

}  // namespace
}  // namespace pirell
