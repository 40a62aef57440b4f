#include "languages/epl2/epl2_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "languages/epl2/epl2_printer.h"
#include "platform/codepage.h"
#include "platform/locale.h"
#include "preview/contact_sheet.h"
#include "preview/object_placement.h"
#include "rendering/printer_registry.h"
#include "support/bitmap_probe.h"
#include "support/label_template_xml.h"

namespace pirell::preview {
namespace {

using pirell::testing::InkBoundsOf;
using pirell::testing::LabelTemplateXml;
using pirell::testing::SamePixels;

struct Warning {
  std::uint64_t offset;
  std::string text;
};

// Everything a job drew.
struct Rendered : RenderSink {
  void OnLabel(const MonoBitmap& picture, std::uint64_t count) override {
    pictures.push_back(picture);
    copies.push_back(count);
  }
  void OnWarning(std::uint64_t offset, const std::string& text) override {
    warnings.push_back({offset, text});
  }
  std::vector<MonoBitmap> pictures;
  std::vector<std::uint64_t> copies;
  std::vector<Warning> warnings;
  RenderSummary summary;
};

// Renders a job fed in pieces of `piece` bytes, the whole job at once by default.
Rendered Render(std::string_view job, std::size_t piece = std::string_view::npos) {
  Rendered rendered;
  Epl2Renderer renderer(rendered);
  for (std::size_t at = 0; at < job.size(); at += piece) renderer.Feed(job.substr(at, piece));
  rendered.summary = renderer.Finish();
  return rendered;
}

// One 464 x 320 label holding the commands.
std::string Label(std::string_view commands) {
  return "q464\nQ320,16\nN\n" + std::string(commands) + "P1\n";
}

// The only picture of a job that should print one label.
MonoBitmap OnlyPicture(const Rendered& rendered) {
  EXPECT_EQ(rendered.pictures.size(), 1u);
  return rendered.pictures.empty() ? MonoBitmap() : rendered.pictures.front();
}

// The picture's black dots are exactly those of the rectangles.
void ExpectBlackExactly(const MonoBitmap& picture, const std::vector<DotRect>& rects) {
  int wrong = 0;
  std::string first;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const bool expected = std::any_of(rects.begin(), rects.end(), [x, y](const DotRect& r) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
      });
      if (picture.IsBlack(x, y) != expected && wrong++ == 0)
        first = std::to_string(x) + "," + std::to_string(y);
    }
  EXPECT_EQ(wrong, 0) << "first wrong dot at " << first;
}

std::vector<std::uint64_t> Offsets(const Rendered& rendered) {
  std::vector<std::uint64_t> offsets;
  for (const Warning& warning : rendered.warnings) offsets.push_back(warning.offset);
  return offsets;
}

// ---- label size, lines, boxes, graphics ----

TEST(Epl2RendererTest, EachPrintIsOnePictureOfTheLabelSizeWithItsCopiesCounted) {
  const Rendered rendered = Render("q200\nQ100,24\nN\nP2,3\nq120\nQ80,B16,-8\nN\nP1\n");
  ASSERT_EQ(rendered.pictures.size(), 2u);
  EXPECT_EQ(rendered.pictures[0].Width(), 200);
  EXPECT_EQ(rendered.pictures[0].Height(), 100);
  EXPECT_EQ(rendered.pictures[1].Width(), 120);
  EXPECT_EQ(rendered.pictures[1].Height(), 80);
  EXPECT_EQ(rendered.copies, (std::vector<std::uint64_t>{6, 1}));
  EXPECT_EQ(rendered.summary.labels, 2u);
  EXPECT_EQ(rendered.summary.copies, 7u);
  EXPECT_TRUE(rendered.warnings.empty());

  // Without a size the driver's default label is taken, and said so.
  const Rendered unsized = Render("N\nP1\n");
  EXPECT_EQ(OnlyPicture(unsized).Width(), 464);
  EXPECT_EQ(OnlyPicture(unsized).Height(), 320);
  ASSERT_EQ(unsized.warnings.size(), 1u);
  EXPECT_EQ(unsized.warnings[0].offset, 0u);
}

TEST(Epl2RendererTest, LinesAndBoxesAreDotExactAndCutAtTheLabelEdges) {
  const std::string commands =
      "LO10,20,30,4\n"        // at 15
      "LO460,300,10,40\n"     // at 28, off the right and bottom edges
      "LO-5,-5,8,8\n"         // at 44, off the top and left edges
      "X100,100,3,150,140\n"  // at 56
      "X440,200,4,480,330\n"  // at 75, off the right and bottom edges
      "X300,10,0,320,30\n";   // no line at all
  const Rendered rendered = Render(Label(commands));
  ExpectBlackExactly(OnlyPicture(rendered), {{10, 20, 40, 24},
                                             {460, 300, 464, 320},
                                             {0, 0, 3, 3},
                                             {100, 100, 150, 103},
                                             {100, 137, 150, 140},
                                             {100, 100, 103, 140},
                                             {147, 100, 150, 140},
                                             {440, 200, 464, 204},
                                             {440, 200, 444, 320}});
  EXPECT_EQ(Offsets(rendered), (std::vector<std::uint64_t>{28, 44, 75}));
}

TEST(Epl2RendererTest, GraphicsPrintTheirZeroBitsInBothHeaderFormsAndAreCutAtTheEdges) {
  // Two bytes a row, two rows: 0x0F 0xFF / 0xFF 0x7E.
  const std::string raster("\x0F\xFF\xFF\x7E", 4);
  const std::string edge(4, '\0');  // one byte a row, four rows of black
  const Rendered rendered =
      Render(Label("GW5,7,2,2\n" + raster + "\nGW460,318,1,4," + edge + "\nLO0,100,1,1\n"));
  ExpectBlackExactly(
      OnlyPicture(rendered),
      {{5, 7, 9, 8}, {13, 8, 14, 9}, {20, 8, 21, 9}, {460, 318, 464, 320}, {0, 100, 1, 101}});
  ASSERT_EQ(rendered.warnings.size(), 1u);
  EXPECT_NE(rendered.warnings[0].text.find("off the label"), std::string::npos);
}

// The printer's commands for one label as the driver sends them.
class DriverLabelTest : public ::testing::Test {
 protected:
  DriverLabelTest() : locale_(PointDecimals()) {
    printer_.ModelProps() = PrinterModels().at(0).ModelProps;
    printer_.PrintParams() = TPrintParams{58, 40, 2, pmDirect, 7, 4};
  }

  static platform::LocaleFormat PointDecimals() {
    platform::LocaleFormat format;
    format.decimal_separator = ".";
    return format;
  }

  std::string Job(const LabelTemplateXml& xml) {
    printer_.LabelObj().LoadFromString(xml.Text());
    printer_.InitTask();
    printer_.InitLabel();
    printer_.MakeLabelScript(1);
    std::string job;
    for (const TPrinterCmd& cmd : printer_.CmdList()) job += cmd.Data + printer_.CmdSuffix();
    return job;
  }

  platform::ScopedUserLocale locale_;
  TPrinterTypeZebraEZPL2 printer_;
};

TEST_F(DriverLabelTest, TurnedLinesBoxesAndGraphicsLandWhereTheDriverPutsThem) {
  const char* const kTurns[] = {"r0", "r90", "r180", "r270"};
  // Where the driver puts the top-left corner of the 20 x 10 mm picture, turned.
  const int kCornerX[] = {80, 120, 80, 120};
  const int kCornerY[] = {80, 40, 80, 40};
  for (int turn = 0; turn < 4; ++turn) {
    SCOPED_TRACE(kTurns[turn]);
    const LabelTemplateXml::Properties turned = {{"RotationFixed", kTurns[turn]}};
    LabelTemplateXml lines;
    lines.Item("Line", {{"LineLeft", "5"},
                        {"LineTop", "20"},
                        {"LineLength", "40"},
                        {"PenWidth", "0.5"},
                        turned.front()});
    lines.Item(
        "Rectangle",
        {{"Left", "1"}, {"Top", "1"}, {"Width", "56"}, {"Height", "38"}, {"PenWidth", "0.3"}});
    const Rendered drawn = Render(Job(lines));
    EXPECT_TRUE(drawn.warnings.empty());
    const DotRect line = turn % 2 == 0 ? DotRect{40, 158, 360, 162} : DotRect{202, 0, 206, 320};
    ExpectBlackExactly(
        OnlyPicture(drawn),
        {line, {8, 8, 456, 10}, {8, 310, 456, 312}, {8, 8, 10, 312}, {454, 8, 456, 312}});

    LabelTemplateXml graphic;
    graphic.Item("TextGraphic", {{"Value", "AB"},
                                 {"Left", "10"},
                                 {"Top", "10"},
                                 {"Width", "20"},
                                 {"Height", "10"},
                                 {"Font.Size", "14"},
                                 turned.front()});
    const Rendered pictured = Render(Job(graphic));
    EXPECT_TRUE(pictured.warnings.empty());
    // The dots are the field's own picture, as sent, at its corner.
    const MonoBitmap& sent = printer_.LabelObj().Fields().Items(0)->GetBitmap(203);
    MonoBitmap expected(464, 320);
    for (int y = 0; y < sent.Height(); ++y)
      for (int x = 0; x < sent.Width(); ++x)
        if (sent.IsBlack(x, y)) expected.SetBlack(kCornerX[turn] + x, kCornerY[turn] + y);
    EXPECT_GT(expected.CountBlack(), 0);
    EXPECT_TRUE(SamePixels(OnlyPicture(pictured), expected));
  }
}

TEST_F(DriverLabelTest, AGraphicOverTheLabelEdgeIsCutThereAndReported) {
  LabelTemplateXml graphic;
  graphic.Item("TextGraphic", {{"Value", "WWWWWWWW"},
                               {"Left", "50"},
                               {"Top", "35"},
                               {"Width", "20"},
                               {"Height", "10"},
                               {"Font.Size", "14"}});
  const Rendered rendered = Render(Job(graphic));
  const MonoBitmap& sent = printer_.LabelObj().Fields().Items(0)->GetBitmap(203);
  MonoBitmap expected(464, 320);
  for (int y = 0; y < sent.Height(); ++y)
    for (int x = 0; x < sent.Width(); ++x)
      if (sent.IsBlack(x, y) && expected.Contains(400 + x, 280 + y))
        expected.SetBlack(400 + x, 280 + y);
  EXPECT_GT(expected.CountBlack(), 0);
  EXPECT_TRUE(SamePixels(OnlyPicture(rendered), expected));
  ASSERT_EQ(rendered.warnings.size(), 1u);
  EXPECT_NE(rendered.warnings[0].text.find("GW400,280,20,80"), std::string::npos);
}

// ---- texts ----

TEST(Epl2RendererTest, ReverseTextIsAFilledCellAtEveryTurn) {
  // Font 3: 12 x 20 dots, 14 a step; font 2: 10 x 16, 12 a step.
  ExpectBlackExactly(OnlyPicture(Render(Label("A100,100,0,3,1,1,R,\"  \"\n"))),
                     {{100, 100, 128, 120}});
  ExpectBlackExactly(OnlyPicture(Render(Label("A100,100,1,3,1,1,R,\"  \"\n"))),
                     {{80, 100, 100, 128}});
  ExpectBlackExactly(OnlyPicture(Render(Label("A300,200,2,2,2,3,R,\" \"\n"))),
                     {{276, 152, 300, 200}});
  ExpectBlackExactly(OnlyPicture(Render(Label("A10,300,3,1,1,1,R,\" \"\n"))), {{10, 290, 22, 300}});
}

TEST(Epl2RendererTest, TextStaysInItsCellsAtEveryTurnAndReverseTextLeavesItsLettersWhite) {
  struct Case {
    const char* command;
    DotRect cells;
  };
  const Case kCases[] = {
      {"A100,100,0,4,1,1,N,\"HЖ\"\n", {100, 100, 132, 124}},
      {"A100,100,1,4,1,1,N,\"HЖ\"\n", {76, 100, 100, 132}},
      {"A100,100,2,4,1,1,N,\"HЖ\"\n", {68, 76, 100, 100}},
      {"A100,100,3,4,1,1,N,\"HЖ\"\n", {100, 68, 124, 100}},
      {"A40,40,0,5,2,2,N,\"W\"\n", {40, 40, 112, 136}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.command);
    const auto bounds = InkBoundsOf(OnlyPicture(Render(Label(platform::Utf8ToCp1251(c.command)))));
    ASSERT_FALSE(bounds.Empty());
    EXPECT_GE(bounds.left, c.cells.left);
    EXPECT_GE(bounds.top, c.cells.top);
    EXPECT_LT(bounds.right, c.cells.right);
    EXPECT_LT(bounds.bottom, c.cells.bottom);
  }
  const MonoBitmap reverse = OnlyPicture(Render(Label("A100,100,0,4,1,1,R,\"H\"\n")));
  const int cell = 16 * 24;
  EXPECT_GT(reverse.CountBlack(), cell / 2);
  EXPECT_LT(reverse.CountBlack(), cell);
}

// ---- barcodes ----

// Widths of the black and white runs across a row, from the first black dot to the last.
std::vector<int> RunsAcross(const MonoBitmap& picture, int y) {
  std::vector<int> runs;
  int first = 0;
  while (first < picture.Width() && !picture.IsBlack(first, y)) ++first;
  int last = picture.Width() - 1;
  while (last > first && !picture.IsBlack(last, y)) --last;
  for (int x = first; x <= last; ++x) {
    if (x == first || picture.IsBlack(x, y) != picture.IsBlack(x - 1, y)) runs.push_back(0);
    ++runs.back();
  }
  return runs;
}

TEST(Epl2RendererTest, BarcodeElementsTakeTheCommandsNarrowAndWideWidths) {
  const MonoBitmap code39 = OnlyPicture(Render(Label("B20,20,0,3,2,5,30,N,\"ABC\"\n")));
  const std::vector<int> runs = RunsAcross(code39, 35);
  // "*ABC*": five characters of nine elements and a gap between them.
  ASSERT_EQ(runs.size(), 49u);
  EXPECT_TRUE(std::all_of(runs.begin(), runs.end(), [](int r) { return r == 2 || r == 5; }));
  const auto bounds = InkBoundsOf(code39);
  EXPECT_EQ(bounds.left, 20);
  EXPECT_EQ(bounds.top, 20);
  EXPECT_EQ(bounds.bottom, 49);

  const MonoBitmap code128 = OnlyPicture(Render(Label("B20,20,0,1,3,2,30,N,\"12345\"\n")));
  for (int run : RunsAcross(code128, 35)) EXPECT_TRUE(run % 3 == 0 && run <= 12) << run;

  // Turned once, the bars lie left of and below the reference point.
  const auto turned = InkBoundsOf(OnlyPicture(Render(Label("B200,50,1,1,2,2,40,N,\"12345\"\n"))));
  EXPECT_EQ(turned.right, 199);
  EXPECT_EQ(turned.left, 160);
  EXPECT_EQ(turned.top, 50);
}

TEST(Epl2RendererTest, TheHumanReadableLineIsUnderTheBarsOnlyWhenAskedFor) {
  // Narrow 2: font 2, 16 dots high, 2 dots under the 30-dot bars.
  const MonoBitmap with = OnlyPicture(Render(Label("B20,20,0,1,2,2,30,B,\"12345\"\n")));
  const MonoBitmap without = OnlyPicture(Render(Label("B20,20,0,1,2,2,30,N,\"12345\"\n")));
  EXPECT_EQ(InkBoundsOf(without).bottom, 49);
  const auto bounds = InkBoundsOf(with);
  EXPECT_GT(bounds.bottom, 52);
  EXPECT_LT(bounds.bottom, 68);
  for (int x = 0; x < with.Width(); ++x) EXPECT_FALSE(with.IsBlack(x, 50)) << x;
}

TEST(Epl2RendererTest, RefusedBarcodesAreHatchedBoxesWithTheReason) {
  const Rendered bad_check = Render(Label("B20,20,0,E30,2,2,40,N,\"4601234567890\"\n"));
  ASSERT_EQ(bad_check.warnings.size(), 1u);
  EXPECT_EQ(bad_check.warnings[0].offset, 15u);
  EXPECT_NE(bad_check.warnings[0].text.find("check digit"), std::string::npos)
      << bad_check.warnings[0].text;
  const MonoBitmap box = OnlyPicture(bad_check);
  const auto bounds = InkBoundsOf(box);
  EXPECT_EQ(bounds.left, 20);
  EXPECT_EQ(bounds.right, 20 + 2 * 95 - 1);
  EXPECT_EQ(bounds.bottom, 59);
  EXPECT_TRUE(box.IsBlack(21, 40) && box.IsBlack(100, 21));  // the frame

  const Rendered short_ean8 = Render(Label("B20,20,0,E80,2,2,40,N,\"12345\"\n"));
  ASSERT_EQ(short_ean8.warnings.size(), 1u);
  EXPECT_NE(short_ean8.warnings[0].text.find("EAN-8"), std::string::npos);
  const Rendered no_type = Render(Label("B20,20,0,,2,2,40,N,\"12345\"\n"));
  ASSERT_EQ(no_type.warnings.size(), 1u);
  EXPECT_NE(no_type.warnings[0].text.find("no barcode type"), std::string::npos);
  EXPECT_GT(OnlyPicture(no_type).CountBlack(), 0);
}

// ---- bad jobs ----

TEST(Epl2RendererTest, BadCommandsAreReportedAtTheirOffsetsAndTheRestIsDrawn) {
  const std::string job =
      "q100\nQ50,8\nN\n"                   // 0, 5, 11
      "FOO\n"                              // 13: unknown
      "A1,1,0,9,1,1,N,\"x\"\n"             // 17: no font 9
      "B1,1,0,1,2,2,-8,N,\"1\"\n"          // 36: negative height
      "LO0,0,5,5\nOD\nD7\nS4\nI8,C,001\n"  // drawn, ignored
      "GW1,1,x,4\n"                        // 86: no raster size
      "WN\nEK\"*\"\n^@\nU\nP1\n";
  const Rendered rendered = Render(job);
  ExpectBlackExactly(OnlyPicture(rendered), {{0, 0, 5, 5}});
  EXPECT_EQ(Offsets(rendered), (std::vector<std::uint64_t>{13, 17, 36, 86}));
  EXPECT_NE(rendered.warnings[1].text.find("font \"9\""), std::string::npos);
  EXPECT_EQ(rendered.summary.warnings, 4u);
}

TEST(Epl2RendererTest, ACutRasterAndAnUnfinishedJobAreReported) {
  const Rendered cut = Render("q64\nQ16,0\nN\nGW0,0,2,4\n" + std::string(3, '\0'));
  EXPECT_TRUE(cut.pictures.empty());
  ASSERT_EQ(cut.warnings.size(), 2u);
  EXPECT_EQ(cut.warnings[0].offset, 12u);
  EXPECT_NE(cut.warnings[0].text.find("5 of 8 bytes missing"), std::string::npos);
  EXPECT_NE(cut.warnings[1].text.find("never printed"), std::string::npos);

  const Rendered unfinished = Render("q64\nQ16,0\nN\nP1");
  EXPECT_TRUE(unfinished.pictures.empty());
  ASSERT_EQ(unfinished.warnings.size(), 1u);
  EXPECT_EQ(unfinished.warnings[0].offset, 12u);
}

TEST(Epl2RendererTest, PrintingFromTheBottomTurnsThePictureHalfRound) {
  ExpectBlackExactly(OnlyPicture(Render("q40\nQ20,0\nZB\nN\nLO0,0,4,2\nP1\n")), {{36, 18, 40, 20}});
}

TEST(Epl2RendererTest, PicturesAndWarningsDoNotDependOnHowTheJobIsCut) {
  const std::string job =
      Label("GW5,7,2,2\n" + std::string("\x0F\xFF\x00\x7E", 4) + "\nGW300,300,1,2," +
            std::string(2, '\0') +
            "\nA10,50,1,2,1,1,R,\"Mixed \\\"1\\\\2\\\"\"\nB60,60,0,9,2,2,30,B,\"AB\"\n"
            "NOPE\nLO450,10,30,3\n");
  const Rendered whole = Render(job);
  ASSERT_EQ(whole.pictures.size(), 1u);
  for (std::size_t piece : {1u, 2u, 7u, 64u}) {
    SCOPED_TRACE(piece);
    const Rendered cut = Render(job, piece);
    ASSERT_EQ(cut.pictures.size(), 1u);
    EXPECT_TRUE(SamePixels(cut.pictures[0], whole.pictures[0]));
    EXPECT_EQ(Offsets(cut), Offsets(whole));
  }
}

// A job the driver made, cut after every few bytes, is drawn to its end and prints the labels it
// holds in full. (Jobs of arbitrary bytes are the epl2_render fuzz target's, whose seeds every
// tree replays.)
TEST_F(DriverLabelTest, CutJobsAreDrawnToTheirEnd) {
  LabelTemplateXml xml;
  xml.Item(
      "TextSimple",
      {{"Value", "Молоко"}, {"Left", "3"}, {"Top", "3"}, {"FontSize", "3"}, {"MaxSymbols", "10"}});
  xml.Item("TextGraphic", {{"Value", "AB"},
                           {"Left", "10"},
                           {"Top", "10"},
                           {"Width", "8"},
                           {"Height", "4"},
                           {"Font.Size", "8"}});
  xml.Item("Shk", {{"Value", "12345"},
                   {"BarCodeType", "CODE128"},
                   {"TextVisible", "True"},
                   {"Left", "3"},
                   {"Top", "20"},
                   {"Height", "10"}});
  const std::string one = Job(xml);
  const std::string job = one + one.substr(one.find("\nN\n") + 1);  // two labels
  const Rendered whole = Render(job);
  ASSERT_EQ(whole.pictures.size(), 2u);
  const std::size_t second_print = job.rfind("P1\n") + 3;
  for (std::size_t length = 0; length <= job.size(); length += 1 + length % 13) {
    const Rendered cut = Render(std::string_view(job).substr(0, length));
    const std::size_t expected = length >= second_print ? 2 : length >= job.find("P1\n") + 3;
    ASSERT_EQ(cut.pictures.size(), expected) << length;
    for (std::size_t i = 0; i < cut.pictures.size(); ++i)
      EXPECT_TRUE(SamePixels(cut.pictures[i], whole.pictures[i])) << length;
  }
}

TEST(Epl2RendererTest, MemoryIsBoundedByTheLabelNotByTheJob) {
  Rendered sink;
  Epl2Renderer renderer(sink);
  renderer.Feed("q464\nQ320,16\nN\n");
  const std::size_t label_bytes = 58 * 320;
  const std::size_t bound = label_bytes + Epl2CommandReader::kMaxLineBytes * 2;
  // A graphic that claims 100 MB, of which 8 MB arrive.
  renderer.Feed("GW0,0,1000,100000\n");
  const std::string zeros(64 * 1024, '\0');
  for (int i = 0; i < 128; ++i) {
    renderer.Feed(zeros);
    ASSERT_LE(renderer.HeldBytes(), bound) << i;
  }
  // Wider than the label, cut short, and never printed.
  EXPECT_EQ(renderer.Finish().warnings, 3u);

  Rendered lines;
  Epl2Renderer long_lines(lines);
  long_lines.Feed("q464\nQ320,16\n");
  const std::string no_line_feed(64 * 1024, 'A');
  for (int i = 0; i < 32; ++i) {
    long_lines.Feed(no_line_feed);
    ASSERT_LE(long_lines.HeldBytes(), bound) << i;
  }
  long_lines.Feed("\n");
  for (int i = 0; i < 2000; ++i) long_lines.Feed("N\nLO1,1,100,100\nP1\n");
  EXPECT_LE(long_lines.HeldBytes(), bound);
  const RenderSummary summary = long_lines.Finish();
  EXPECT_EQ(summary.labels, 2000u);
  EXPECT_EQ(summary.warnings, 1u);  // the overlong line
}

TEST(ContactSheetTest, PutsTheFirstLabelsSideBySideInFrames) {
  MonoBitmap first(30, 20);
  first.SetBlack(0, 0);
  MonoBitmap second(40, 10);
  second.SetBlack(39, 9);
  ContactSheet sheet;
  sheet.Add(first);
  sheet.Add(second);
  for (int i = 0; i < ContactSheet::kMaxLabels; ++i) sheet.Add(second);
  EXPECT_EQ(sheet.Count(), ContactSheet::kMaxLabels);

  ContactSheet two;
  two.Add(first);
  two.Add(second);
  const MonoBitmap composed = two.Compose();
  EXPECT_EQ(composed.Width(), 16 + 32 + 16 + 42 + 16);
  EXPECT_EQ(composed.Height(), 16 + 22 + 16);
  EXPECT_TRUE(composed.IsBlack(17, 17));                 // first label's dot
  EXPECT_TRUE(composed.IsBlack(16 + 32 + 16 + 40, 26));  // second label's dot
  EXPECT_TRUE(composed.IsBlack(16, 16));                 // a frame corner
  EXPECT_FALSE(composed.IsBlack(18, 18));
  EXPECT_FALSE(composed.IsBlack(15, 15));
  EXPECT_EQ(ContactSheet().Compose().Width(), 0);
}

}  // namespace
}  // namespace pirell::preview
