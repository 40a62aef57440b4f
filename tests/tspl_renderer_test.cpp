#include "languages/tspl/tspl_renderer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "preview/job_renderer.h"
#include "support/rendered_job.h"

namespace pirell::preview {
namespace {

using testing::Rows;
using Rendered = testing::RenderedJob;

Rendered Render(std::string_view job, std::size_t piece = std::string_view::npos, int dpi = 203) {
  return testing::RenderJob<TsplRenderer>(job, piece, dpi);
}

std::string Label(std::string_view commands) {
  return "SIZE 10 dot,8 dot\r\nCLS\r\n" + std::string(commands) + "PRINT 1\r\n";
}

TEST(TsplRendererTest, JobsAreRecognisedByTheirFirstCommand) {
  EXPECT_EQ(DetectJobLanguage("\r\nSIZE 58 mm,40 mm\r\n"), TPrinterLanguage::Tspl);
  EXPECT_EQ(DetectJobLanguage("\x1B!R\r\n"), TPrinterLanguage::Tspl);
  EXPECT_EQ(DetectJobLanguage("CLS\r\n"), TPrinterLanguage::Tspl);
  EXPECT_EQ(DetectJobLanguage("\nq464\nQ320,16\n"), TPrinterLanguage::Epl2);
  EXPECT_EQ(DetectJobLanguage("N\nP1\n"), TPrinterLanguage::Epl2);
  EXPECT_EQ(DetectJobLanguage("SIZEX\n"), TPrinterLanguage::Epl2);
}

TEST(TsplRendererTest, BarsBoxesBitmapsAndRegionsAreDotExact) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"BAR 1,1,3,2\r\n",
       {"..........", ".###......", ".###......", "..........", "..........", "..........",
        "..........", ".........."}},
      {"BOX 0,0,6,5,2\r\nERASE 0,0,1,1\r\n",
       {".#####....", "######....", "##..##....", "######....", "######....", "..........",
        "..........", ".........."}},
      // Bytes of the data may be CR and LF; a 0 bit is a dot. Overwrite clears, OR keeps, XOR
      // turns.
      {"BAR 0,0,10,3\r\nBITMAP 0,0,1,3,0,\x0D\x0A\xFF\r\nBITMAP 2,2,1,1,1,\x3F\r\n"
       "BITMAP 0,4,1,1,2,\x0F\r\n",
       {"####..#.##", "####.#.###", "..##....##", "..........", "####......", "..........",
        "..........", ".........."}},
      {"BAR 0,0,4,2\r\nREVERSE 2,0,4,1\r\n",
       {"##..##....", "####......", "..........", "..........", "..........", "..........",
        "..........", ".........."}},
  };
  for (const auto& [commands, rows] : cases) {
    const Rendered rendered = Render(Label(commands));
    EXPECT_TRUE(rendered.warnings.empty()) << rendered.warnings.front();
    ASSERT_EQ(rendered.pictures.size(), 1u);
    EXPECT_EQ(Rows(rendered.pictures[0]), rows) << commands;
  }
}

TEST(TsplRendererTest, SizesInEveryUnitCopiesDirectionAndOrigin) {
  Rendered rendered = Render(
      "SIZE 58 mm,40 mm\r\nCLS\r\nPRINT 2,3\r\nSIZE 1.5,1\r\nCLS\r\nPRINT 1\r\n"
      "SIZE 4 dot,2 dot\r\nDIRECTION 1\r\nREFERENCE 1,0\r\nCLS\r\nBAR 0,0,1,1\r\nPRINT 1\r\n");
  EXPECT_TRUE(rendered.warnings.empty());
  ASSERT_EQ(rendered.pictures.size(), 3u);
  EXPECT_EQ(rendered.pictures[0].Width(), 464);
  EXPECT_EQ(rendered.pictures[0].Height(), 320);
  EXPECT_EQ(rendered.copies[0], 6u);
  EXPECT_EQ(rendered.pictures[1].Width(), 305);  // 1.5 inch
  EXPECT_EQ(rendered.pictures[1].Height(), 203);
  // The dot at (1, 0) leaves the printer turned half round.
  EXPECT_EQ(Rows(rendered.pictures[2]), (std::vector<std::string>{"....", "..#."}));
  EXPECT_EQ(Render("SIZE 50 mm,30 mm\r\nCLS\r\nPRINT 1\r\n", 7, 300).pictures.at(0).Width(), 591);
}

TEST(TsplRendererTest, TextsAndBarcodesAreDrawnAndTheirMistakesReported) {
  const std::string job = Label(
      "TEXT 0,0,\"1\",0,1,1,\"\\[\"]\"\r\n"
      "TEXT 0,0,\"ROMAN.TTF\",0,1,1,\"A\"\r\n"
      "BARCODE 0,0,\"128\",4,0,45,1,1,\"1\"\r\n"
      "BARCODE 0,0,\"EAN128\",4,0,0,1,1,\"1\"\r\n"
      "QRCODE 0,0,L,4,A,0,\"X\"\r\n"
      "FOO\r\n"
      "TEXT 0,0,\"1\",0,1,1,\"open\r\n");
  const Rendered rendered = Render(job);
  EXPECT_EQ(rendered.warnings,
            (std::vector<std::string>{
                "24: TEXT 0,0,\"1\",0,1,1,\"\\[\"]\": partly off the label, cut at its edge",
                "51: TEXT 0,0,\"ROMAN.TTF\",0,1,1,\"A\": font \"ROMAN.TTF\": the preview draws "
                "the resident bitmap fonts 1 to 8 only",
                "83: BARCODE 0,0,\"128\",4,0,45,1,1,\"1\": the rotation must be 0, 90, 180 or 270",
                "117: BARCODE 0,0,\"EAN128\",4,0,0,1,1,\"1\": the preview does not draw barcode "
                "type \"EAN128\", drawn as a hatched box",
                "117: BARCODE 0,0,\"EAN128\",4,0,0,1,1,\"1\": partly off the label, cut at its "
                "edge",
                "153: QRCODE 0,0,L,4,A,0,\"X\": the preview does not draw this command",
                "177: FOO: unknown command",
                "182: TEXT 0,0,\"1\",0,1,1,\"open: a string expression has no closing quote, or "
                "text follows it"}));
  ASSERT_EQ(rendered.pictures.size(), 1u);
  EXPECT_GT(rendered.pictures[0].CountBlack(), 0);
}

TEST(TsplRendererTest, ACutBitmapAnUnfinishedCommandAndAnUnprintedLabelAreReported) {
  EXPECT_EQ(Render("SIZE 8 dot,8 dot\r\nCLS\r\nBITMAP 0,0,1,4,0,\x01\x02").warnings,
            (std::vector<std::string>{
                "23: the data of \"BITMAP\" is cut short: 2 of 4 bytes missing",
                "23: the job ends with a label drawn but never printed (no \"PRINT\")"}));
  EXPECT_EQ(Render("CLS\r\nPRINT 1").warnings,
            (std::vector<std::string>{
                "0: no label size (\"SIZE\") before the first label: 464 x 320 dots taken",
                "5: PRINT 1: no line end finishes this last command, so the printer does not "
                "run it"}));
}

TEST(TsplRendererTest, PicturesAndWarningsDoNotDependOnHowTheJobIsCut) {
  const std::string job = Label(
      "BITMAP 1,1,2,2,0,\x0A\x0D\x0D\x0A\r\nTEXT 1,1,\"2\",90,1,1,\"Ab\"\r\nBAD\r\n"
      "BARCODE 9,0,\"39\",5,1,0,1,2,\"A\"\r\n");
  const Rendered whole = Render(job);
  for (const std::size_t piece : {1u, 2u, 7u}) {
    const Rendered cut = Render(job, piece);
    EXPECT_EQ(cut.warnings, whole.warnings) << piece;
    ASSERT_EQ(cut.pictures.size(), 1u);
    EXPECT_EQ(Rows(cut.pictures[0]), Rows(whole.pictures.at(0))) << piece;
  }
}

}  // namespace
}  // namespace pirell::preview
