// ZPL II or TSPL and EPL2 jobs of the same labels, drawn by the preview at the same resolution,
// are the same pictures within what the fonts allow: barcodes, lines, boxes and rasters dot for
// dot, printer-font texts and human-readable lines by their ink; every barcode reads back.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host_cli/png_file.h"
#include "linux/symbol_decoder.h"
#include "preview/job_renderer.h"
#include "support/bitmap_probe.h"
#include "support/printer_commands.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::LabelTemplateXml;
using testing::ModelNamed;
using Properties = LabelTemplateXml::Properties;
using Values = std::vector<std::pair<std::string, std::string>>;

struct Picture : preview::RenderSink {
  void OnLabel(const MonoBitmap& label, std::uint64_t) override { pictures.push_back(label); }
  void OnWarning(std::uint64_t, const std::string& text) override { warnings += text + "\n"; }
  std::vector<MonoBitmap> pictures;
  std::string warnings;
};

// The picture of one label printed from the template with the values, in the model's language.
MonoBitmap Printed(std::string_view model_name, const std::string& xml, const Values& values) {
  const TPrinterModel& model = ModelNamed(model_name);
  std::unique_ptr<TPrinterTypeBase> printer = model.PrinterType->TypeClass();
  printer->ModelProps() = model.ModelProps;
  printer->PrintParams() = TPrintParams{58, 40, 2, pmDirect, model.ModelProps.DefDarkness, 4};
  printer->LabelObj().LoadFromString(xml);
  std::string job;
  const auto append = [&] {
    for (const TPrinterCmd& cmd : printer->CmdList())
      job += cmd.Data + ((cmd.ActionAfter & coNoSuffix) != 0 ? "" : printer->CmdSuffix());
  };
  printer->InitTask();
  append();
  printer->InitLabel();
  for (const auto& [name, value] : values) printer->ValuesList().Add(name, value);
  printer->MakeLabelScript(1);
  append();

  Picture sink;
  const auto language = preview::DetectJobLanguage(job);
  EXPECT_EQ(language, model.PrinterType->Language) << model_name;
  auto renderer =
      preview::MakeJobRenderer(model.PrinterType->Language, sink, {model.ModelProps.DPI, 0});
  renderer->Feed(job);
  renderer->Finish();
  EXPECT_EQ(sink.warnings, "") << model_name;
  EXPECT_EQ(sink.pictures.size(), 1u) << model_name;
  return sink.pictures.empty() ? MonoBitmap() : sink.pictures.front();
}

using Box = testing::InkBounds;
using testing::Union;

// The ink of the picture in the rows [from, to).
Box InkOf(const MonoBitmap& picture, int from = 0, int to = 1 << 30) {
  return testing::InkBoundsOf(picture, from, to);
}

// Two texts in different printer fonts: their ink starts near the same corner (or is centred at
// about the same place) and is of about the same size.
void ExpectAlikeText(const Box& epl2, const Box& other, int dpi, double size_tolerance,
                     bool centred = false) {
  ASSERT_FALSE(epl2.Empty());
  ASSERT_FALSE(other.Empty());
  const int near = dpi / 25;  // 1 mm
  if (centred)
    EXPECT_NEAR(other.left + other.right, epl2.left + epl2.right, 2 * near);
  else
    EXPECT_NEAR(other.left, epl2.left, near);
  EXPECT_NEAR(other.top, epl2.top, near);
  const auto width = [](const Box& box) { return box.right - box.left + 1.0; };
  const auto height = [](const Box& box) { return box.bottom - box.top + 1.0; };
  EXPECT_NEAR(width(other) / width(epl2), 1.0, size_tolerance);
  EXPECT_NEAR(height(other) / height(epl2), 1.0, size_tolerance);
}

// The pixels that differ all lie inside one of the boxes.
void ExpectSameOutside(const MonoBitmap& epl2, const MonoBitmap& other,
                       const std::vector<Box>& texts) {
  ASSERT_EQ(epl2.Width(), other.Width());
  ASSERT_EQ(epl2.Height(), other.Height());
  int differing = 0;
  for (int y = 0; y < epl2.Height(); ++y)
    for (int x = 0; x < epl2.Width(); ++x)
      if (epl2.IsBlack(x, y) != other.IsBlack(x, y) &&
          std::none_of(texts.begin(), texts.end(),
                       [&](const Box& box) { return box.Contains(x, y); }))
        ++differing;
  EXPECT_EQ(differing, 0);
}

// A model of another language and its resolution; EPL2's model of that resolution prints the same
// labels to compare with.
struct Language {
  const char* model;
  int dpi;
  // How far the size of a printer-font text may be from EPL2's, as a share of it: TSPL's bitmap
  // fonts come close to EPL2's cells; ZPL II's font 0 is a condensed proportional face, whose
  // letters are narrower than the cells of a monospace font of the same height.
  double text_size_tolerance;
};

std::string Epl2Model(int dpi) {
  return dpi == 203 ? "2824, 2844" : "EPL2, 300 dpi";
}

class LanguageRoundTripTest : public ::testing::TestWithParam<Language> {
 protected:
  LanguageRoundTripTest() : locale_(testing::PointDecimals()) {}
  int Dpi() const { return GetParam().dpi; }

  // Compares a label field by field and whole: fields without printer-font text dot for dot,
  // texts and human-readable lines by their ink; gives the other language's picture of the whole
  // label.
  MonoBitmap CompareLabel(const std::vector<std::pair<std::string, Properties>>& items,
                          const Values& values) {
    std::vector<Box> texts;
    LabelTemplateXml whole;
    for (const auto& [class_name, properties] : items) {
      whole.Item(class_name, properties);
      const std::string xml = LabelTemplateXml().Item(class_name, properties).Text();
      const MonoBitmap epl2 = Printed(Epl2Model(Dpi()), xml, values);
      const MonoBitmap other = Printed(GetParam().model, xml, values);
      SCOPED_TRACE(class_name);
      const bool text = class_name == "TextSimple";
      bool readable = false;
      for (const auto& [name, value] : properties)
        if (name == "TextVisible" && value == "True") readable = true;
      if (text) {
        ExpectAlikeText(InkOf(epl2), InkOf(other), Dpi(), GetParam().text_size_tolerance);
        texts.push_back(Union(InkOf(epl2), InkOf(other)));
      } else if (readable) {
        // Upright barcodes: the bars dot for dot, the line under them alike.
        const int bars_end = InkOf(epl2).top + 1;
        int end = bars_end;
        while (end < epl2.Height() &&
               InkOf(epl2, end, end + 1).left == InkOf(epl2, bars_end - 1, bars_end).left)
          ++end;
        ExpectSameOutside(epl2, other, {Box{0, end, epl2.Width(), epl2.Height()}});
        ExpectAlikeText(InkOf(epl2, end), InkOf(other, end), Dpi(), GetParam().text_size_tolerance,
                        true);
        texts.push_back(Union(InkOf(epl2, end), InkOf(other, end)));
      } else {
        ExpectSameOutside(epl2, other, {});
      }
    }
    const MonoBitmap epl2 = Printed(Epl2Model(Dpi()), whole.Text(), values);
    const MonoBitmap other = Printed(GetParam().model, whole.Text(), values);
    ExpectSameOutside(epl2, other, texts);
    return other;
  }

  platform::ScopedUserLocale locale_;
  testing::TempDir folder_;
};

// What zbarimg reads in the picture.
std::string Zbar(const MonoBitmap& picture, const std::string& png, int dpi) {
  cli::WritePngFile(png, picture, dpi);
  return testing::ZbarimgRead(png);
}

// What zxing reads in the picture: the text, GS where a GS1 symbol has its separators.
std::string Zxing(const MonoBitmap& picture) {
  const std::vector<testing::DecodedSymbol> symbols = testing::DecodeSymbols(picture);
  return symbols.size() == 1 ? symbols[0].text : std::string("(unread)");
}

using testing::HaveZbarimg;

TEST_P(LanguageRoundTripTest, TheExampleLabelLooksTheSameAndItsBarcodeReads) {
  // The fields of examples/price-tag.xml and the first row of examples/labels.csv.
  const std::vector<std::pair<std::string, Properties>> items = {
      {"Rectangle",
       {{"Left", "1"}, {"Top", "1"}, {"Width", "56"}, {"Height", "38"}, {"PenWidth", "0.3"}}},
      {"TextSimple",
       {{"DS", "Name"},
        {"Left", "3"},
        {"Top", "3"},
        {"Width", "40"},
        {"Height", "4"},
        {"FontSize", "3"},
        {"MaxSymbols", "24"}}},
      {"TextGraphic",
       {{"DS", "Description"},
        {"Left", "3"},
        {"Top", "8"},
        {"Width", "38"},
        {"Height", "9"},
        {"Font.Name", "Arial"},
        {"Font.Size", "9"},
        {"HAlign", "haLeft"}}},
      {"Line", {{"LineLeft", "3"}, {"LineTop", "18"}, {"LineLength", "52"}, {"PenWidth", "0.3"}}},
      {"Shk",
       {{"DS", "Barcode"},
        {"BarCodeType", "CODE128"},
        {"TextVisible", "True"},
        {"Left", "3"},
        {"Top", "20"},
        {"Width", "36"},
        {"Height", "14"},
        {"BarWidth", "10"}}},
      {"TextSimple",
       {{"DS", "Price"},
        {"Left", "40"},
        {"Top", "24"},
        {"Width", "16"},
        {"Height", "6"},
        {"FontSize", "4"},
        {"MaxSymbols", "8"}}},
  };
  const Values values = {{"Name", "Молоко 3,2%"},
                         {"Description", "Молоко пастеризованное, 930 мл, +2…+6 °C"},
                         {"Barcode", "4601234567893"},
                         {"Price", "89.90"}};
  const MonoBitmap other = CompareLabel(items, values);
  if (!HaveZbarimg()) GTEST_SKIP() << "zbarimg (Debian zbar-tools) is not installed";
  EXPECT_EQ(Zbar(other, folder_.File("example.png"), Dpi()), "CODE-128:4601234567893\n");
}

TEST_P(LanguageRoundTripTest, TwoDimensionalSymbolsAndGs1_128AreTheSameAndRead) {
  struct Case {
    const char* type;
    const char* value;
  };
  const std::string marking =
      "0104601234567893215abcDEF\x1D"
      "93Ab1+";
  const Case kCases[] = {
      {"DataMatrix", "Пирелл 123"},
      {"GS1_DataMatrix", marking.c_str()},
      {"QR", "https://example.com/товар?id=42"},
      {"PDF417", "PDF417 label 12345"},
      {"Aztec", "Aztec 987654321"},
  };
  const char* const kTurns[] = {"r0", "r90", "r180", "r270"};
  int turn = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    const MonoBitmap other = CompareLabel({{"2DShk",
                                            {{"Left", "10"},
                                             {"Top", "5"},
                                             {"Width", "30"},
                                             {"Height", "30"},
                                             {"BarCodeType", c.type},
                                             {"RotationFixed", kTurns[turn++ % 4]},
                                             {"DS", "Code"}}},
                                           {"TextSimple",
                                            {{"Left", "42"},
                                             {"Top", "5"},
                                             {"FontSize", "2"},
                                             {"MaxSymbols", "5"},
                                             {"Value", "Цена"}}}},
                                          {{"Code", c.value}});
    // GS1 DataMatrix reads back with its separator.
    EXPECT_EQ(Zxing(other), c.value);
  }
  // GS1-128 at every turn: the bars the driver encoded.
  for (const char* rotation : kTurns) {
    SCOPED_TRACE(rotation);
    const MonoBitmap other = CompareLabel({{"Shk",
                                            {{"BarCodeType", "GS1_128"},
                                             {"Left", "10"},
                                             {"Top", "10"},
                                             {"Width", "38"},
                                             {"Height", "20"},
                                             {"BarWidth", "10"},
                                             {"RotationFixed", rotation},
                                             {"Value", "(01)04601234567893"}}}},
                                          {});
    if (HaveZbarimg()) {
      EXPECT_EQ(Zbar(other, folder_.File("gs1.png"), Dpi()), "CODE-128:0104601234567893\n");
    }
  }
  // With an FNC1 separator and its human-readable line.
  const MonoBitmap other = CompareLabel({{"Shk",
                                          {{"BarCodeType", "GS1_128"},
                                           {"TextVisible", "True"},
                                           {"Left", "1"},
                                           {"Top", "10"},
                                           {"Width", "56"},
                                           {"Height", "20"},
                                           {"BarWidth", "10"},
                                           {"Value", "(10)AB12(01)04601234567893"}}}},
                                        {});
  if (HaveZbarimg()) {
    EXPECT_EQ(Zbar(other, folder_.File("gs1.png"), Dpi()),
              "CODE-128:10AB12\x1D"
              "0104601234567893\n");
  }
}

INSTANTIATE_TEST_SUITE_P(ZplAndTspl, LanguageRoundTripTest,
                         ::testing::Values(Language{"ZPL II, 203 dpi", 203, 0.7},
                                           Language{"ZPL II, 300 dpi", 300, 0.7},
                                           Language{"TSPL, 203 dpi", 203, 0.4},
                                           Language{"TSPL, 300 dpi", 300, 0.4}));

}  // namespace
}  // namespace pirell
