#include "languages/zpl/zpl_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "languages/zpl/zpl_graphic.h"
#include "preview/barcode_encoder.h"
#include "preview/job_renderer.h"
#include "preview/object_placement.h"
#include "support/bitmap_probe.h"
#include "support/rendered_job.h"

namespace pirell::preview {
namespace {

using pirell::testing::InkBoundsOf;

using testing::OnlyPicture;
using Rendered = testing::RenderedJob;

Rendered Render(std::string_view job, std::size_t piece = std::string_view::npos, int dpi = 203) {
  return testing::RenderJob<ZplRenderer>(job, piece, dpi);
}

// One 200 x 100 dot label holding the fields.
std::string Label(std::string_view fields) {
  return "^XA\n^CI28\n^PW200\n^LL100\n^LH0,0\n" + std::string(fields) + "^PQ1\n^XZ\n";
}

int BlackIn(const MonoBitmap& picture, DotRect rect) {
  int black = 0;
  for (std::int64_t y = rect.top; y < rect.bottom; ++y)
    for (std::int64_t x = rect.left; x < rect.right; ++x)
      if (picture.IsBlack(static_cast<int>(x), static_cast<int>(y))) ++black;
  return black;
}

TEST(ZplRendererTest, FormatsThatDrawArePicturesOfTheLabelSizeWithTheirCopies) {
  // The set-up format of a job draws nothing and prints no label.
  const Rendered rendered = Render("~SD15^XA^MNY^MTD^PR4^XZ" + Label("^FO0,0^GB1,1,1^FS") +
                                   "^XA^PW200^LL100^FO0,0^GB1,1,1^FS^PQ3^XZ");
  ASSERT_EQ(rendered.pictures.size(), 2u);
  EXPECT_EQ(rendered.pictures[0].Width(), 200);
  EXPECT_EQ(rendered.pictures[0].Height(), 100);
  EXPECT_EQ(rendered.copies, (std::vector<std::uint64_t>{1, 3}));
  EXPECT_EQ(rendered.summary.copies, 4u);
  EXPECT_TRUE(rendered.warnings.empty()) << rendered.warnings.front();
  EXPECT_EQ(DetectJobLanguage("~SD15\n^XA"), TPrinterLanguage::ZplII);
  EXPECT_EQ(DetectJobLanguage("\n^XA^PW464"), TPrinterLanguage::ZplII);
  EXPECT_EQ(DetectJobLanguage("^@\n"), TPrinterLanguage::Epl2);
  EXPECT_EQ(DetectJobLanguage("\nq464\n"), TPrinterLanguage::Epl2);
}

TEST(ZplRendererTest, GraphicBoxesAndGraphicFieldsAreDotExact) {
  MonoBitmap graphic(20, 6);
  for (int i = 0; i < 6; ++i) graphic.SetBlack(i * 3, i);
  for (int x = 0; x < 20; ++x) graphic.SetBlack(x, 5);
  // The same graphic compressed at (100, 10) and in plain hexadecimal with its bottom-left
  // corner typeset at (100, 60); a box and a solid line.
  std::string plain;
  for (int y = 0; y < graphic.Height(); ++y)
    for (int i = 0; i < graphic.Stride(); ++i) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      const auto byte = static_cast<std::uint8_t>(~graphic.Row(y)[i]);
      plain += kHex[byte >> 4];
      plain += kHex[byte & 0x0F];
      // Line ends inside the data are dropped.
      if (i + 1 == graphic.Stride()) plain += "\r\n";
    }
  const MonoBitmap picture = OnlyPicture(
      Render(Label("^FO100,10" + GraphicFieldCommand(graphic) + "^FS\n^FT100,60^GFA,18,18,3,\n" +
                   plain + "^FS\n^FO10,10^GB30,20,3^FS\n^FO10,50^GB50,4,4^FS\n")));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      bool black = false;
      if (x >= 100 && x < 120 && y >= 10 && y < 16) black = graphic.IsBlack(x - 100, y - 10);
      if (x >= 100 && x < 120 && y >= 54 && y < 60) black = graphic.IsBlack(x - 100, y - 54);
      if (x >= 10 && x < 40 && y >= 10 && y < 30) black = x < 13 || x >= 37 || y < 13 || y >= 27;
      if (x >= 10 && x < 60 && y >= 50 && y < 54) black = true;
      ASSERT_EQ(picture.IsBlack(x, y), black) << x << "," << y;
    }
}

TEST(ZplRendererTest, TextsAreTheirHeightAtEveryTurnAndReversedTextClearsItsLetters) {
  // As the driver places them about the reference point (100, 50): 16 dots high.
  struct Case {
    std::string field;
    DotRect ink_within;
  };
  const Case cases[] = {
      {"^FO100,50^A0N,16,10^FDHello^FS", {100, 50, 200, 66}},
      {"^FO84,50^A0R,16,10^FDHello^FS", {84, 50, 100, 100}},
      {"^FO0,34^FB100,1,0,L^A0I,16,10^FDHello^FS", {0, 34, 100, 50}},
      {"^FO100,0^FB50,1,0,L^A0B,16,10^FDHello^FS", {100, 0, 116, 50}},
  };
  for (const Case& c : cases) {
    const MonoBitmap picture = OnlyPicture(Render(Label(c.field + "\n")));
    const auto ink = InkBoundsOf(picture);
    ASSERT_FALSE(ink.Empty()) << c.field;
    EXPECT_GE(ink.left, c.ink_within.left) << c.field;
    EXPECT_GE(ink.top, c.ink_within.top) << c.field;
    EXPECT_LT(ink.right, c.ink_within.right) << c.field;
    EXPECT_LT(ink.bottom, c.ink_within.bottom) << c.field;
    // The text starts at the reference point: its ink is near it.
    const int near = std::min({std::abs(ink.left - 100), std::abs(ink.right + 1 - 100),
                               std::abs(ink.top - 50), std::abs(ink.bottom + 1 - 50)});
    EXPECT_LE(near, 4) << c.field;
  }
  const MonoBitmap reversed =
      OnlyPicture(Render(Label("^FO20,20^GB60,16,16^FS\n^FO20,20^A0N,16,10^FR^FDHello^FS\n")));
  const int black = BlackIn(reversed, {20, 20, 80, 36});
  EXPECT_GT(black, 60 * 16 / 2);
  EXPECT_LT(black, 60 * 16);
  EXPECT_EQ(BlackIn(reversed, {0, 0, 200, 100}), black);
}

TEST(ZplRendererTest, BarcodesTakeTheModuleWidthAndStandOnTheirBase) {
  const BarcodePattern pattern = EncodeBarcode(Symbology::Code128, "12345");
  int modules = 0;
  for (const int element : pattern.elements) modules += element;
  const MonoBitmap picture = OnlyPicture(Render(Label("^FT10,60^BY2^BCN,40,N,N,N,A^FD12345^FS\n")));
  const auto ink = InkBoundsOf(picture);
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.right + 1, 10 + 2 * modules);
  EXPECT_EQ(ink.top, 20);
  EXPECT_EQ(ink.bottom + 1, 60);
  // The data of every symbology the driver sends is drawn without a warning.
  const char* const kFields[] = {
      "^BY2^BEN,30,Y,N^FD460123456789",        "^BY2^B8N,30,Y,N^FD1234567",
      "^BY2^BUN,30,Y,N,Y^FD01234567890",       "^BY2^B9N,30,Y,N,Y^FD1234500006",
      "^BY2,3.0^B2N,30,Y,N,N^FD123456",        "^BY2,2.0^BKN,N,30,Y,N,A,B^FD123",
      "^BY2,2.0^B3N,N,30,Y,N^FDABC",           "^BY2^BAN,30,Y,N,N^FDABC",
      "^BY1^BCN,30,N,N,N,D^FD10123>817261231",
  };
  for (const char* field : kFields) {
    const Rendered rendered = Render(Label(std::string("^FT10,40") + field + "^FS\n"));
    EXPECT_TRUE(rendered.warnings.empty()) << field << ": " << rendered.warnings.front();
    EXPECT_FALSE(InkBoundsOf(OnlyPicture(rendered)).Empty()) << field;
  }
}

TEST(ZplRendererTest, WhatThePrinterRefusesOrThePreviewDoesNotDrawIsReportedAtItsOffset) {
  const std::string job =
      "^XA^PW200^LL100^ZZ1^BQN,2,4^FDx^FS^GFB,2,2,1,xx^FS^FO5,5^A0N,10,10"
      "^FDcut^XZ^PW9^XA^PW0";
  const Rendered rendered = Render(job);
  const std::vector<std::string> expected = {
      "15: ^ZZ1: unknown command",
      "19: ^BQN,2,4: the preview does not draw this barcode command",
      "31: font A is drawn as the scalable font 0",
      "34: ^GFB,2,2,1: only ASCII hexadecimal data (format A) is drawn",
      "50: a field without \"^FS\" before \"^XZ\": not drawn",
      "75: ^PW9: outside a label format (\"^XA\" to \"^XZ\"), ignored",
      "82: ^PW0: must be 1 to 8000 dots",
      "79: the job ends inside a label format (no \"^XZ\"): not printed",
  };

  EXPECT_EQ(rendered.warnings, expected);
  EXPECT_EQ(rendered.pictures.size(), 1u);
  const Rendered no_size = Render("^XA^FO0,0^GB10,10,10^FS^XZ");
  ASSERT_EQ(no_size.warnings.size(), 1u);
  EXPECT_NE(no_size.warnings[0].find("464 x 320 dots taken"), std::string::npos);
}

TEST(ZplRendererTest, PicturesAndWarningsDoNotDependOnHowTheJobIsCutAndMemoryIsBounded) {
  MonoBitmap graphic(160, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = y; x < 160; x += 7) graphic.SetBlack(x, y);
  const std::string label = Label("^FO10,10" + GraphicFieldCommand(graphic) +
                                  "^FS\n^FT10,90^BY2^BCN,20,Y,N,N,A^FD12345^FS\n^FO150,5^A0R,20,"
                                  "12^FH_^FDA_5EB^FS\n^GFA,1,1,1,Z^FS^ZZ\n");
  const Rendered whole = Render(label);
  ASSERT_EQ(whole.pictures.size(), 1u);
  for (const std::size_t piece : {std::size_t{1}, std::size_t{7}}) {
    const Rendered cut = Render(label, piece);
    ASSERT_EQ(cut.pictures.size(), 1u);
    EXPECT_TRUE(pirell::testing::SamePixels(cut.pictures[0], whole.pictures[0])) << piece;
    EXPECT_EQ(cut.warnings, whole.warnings) << piece;
  }
  // A job of many labels and a long graphic holds one label and two graphic rows.
  Rendered sink;
  ZplRenderer renderer(sink);
  std::size_t most = 0;
  renderer.Feed("^XA^PW200^LL100^FO0,0^GFA,4000000,4000000,25,");
  for (int i = 0; i < 2000; ++i) {
    renderer.Feed(std::string(50, 'F'));
    most = std::max(most, renderer.HeldBytes());
  }
  renderer.Feed("^FS^XZ");
  for (int i = 0; i < 100; ++i) renderer.Feed(Label("^FO0,0^GB50,50,2^FS\n"));
  most = std::max(most, renderer.HeldBytes());
  renderer.Finish();
  EXPECT_EQ(sink.pictures.size(), 101u);
  EXPECT_LT(most, 200u / 8 * 100 + 2 * 1024);
}

}  // namespace
}  // namespace pirell::preview
