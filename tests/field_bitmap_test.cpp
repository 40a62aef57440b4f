#include "rendering/field_bitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

#include "platform/files.h"
#include "support/bitmap_probe.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::InkBoundsOf;

// A black 24-bit BMP file of the given size.
std::string BlackBmp(int width, int height) {
  testing::BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.rows.assign(static_cast<std::size_t>(height),
                     std::string(static_cast<std::size_t>(width) * 3, '\0'));
  return testing::BuildBmp(layout);
}

class FieldBitmapTest : public ::testing::Test {
 protected:
  TField& AddField(TFieldType type, double width_mm = 20, double height_mm = 10) {
    TField& field = *label_.Fields().Add();
    field.SetFieldType(type);
    field.SetPropertyInt("Width", static_cast<int>(width_mm));
    field.SetPropertyInt("Height", static_cast<int>(height_mm));
    return field;
  }

  TLabelObj label_;
};

TEST_F(FieldBitmapTest, TextFieldGetsATextRendererWithItsProperties) {
  TField& field = AddField(ftGraphicText);
  field.SetProperty("RotationFixed", "r90");
  field.SetProperty("Font.Name", "Liberation Serif");
  field.SetProperty("Font.Size", "12");
  field.SetProperty("Font.Charset", "238");
  field.SetProperty("Font.Style", "[fsBold,fsUnderline]");
  field.SetProperty("HAlign", "haRight");
  field.SetProperty("VAlign", "vaBottom");
  field.SetProperty("Value", "AB");

  const MonoBitmap& bitmap = field.GetBitmap(203);
  EXPECT_EQ(bitmap.Width(), 80);
  EXPECT_EQ(bitmap.Height(), 160);
  auto* text = dynamic_cast<TGraphicText*>(field.Image().get());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(&bitmap, &text->BitMap());
  EXPECT_EQ(text->TextFormat(), 26u);
  EXPECT_EQ(text->Rotation(), r90);
  EXPECT_EQ(text->DotsPerMM(), 8);
  const platform::FontDescription& font = text->Font();
  EXPECT_EQ(font.face, "Liberation Serif");
  EXPECT_EQ(font.size_points, 12);
  EXPECT_EQ(font.charset, 238);
  EXPECT_TRUE(font.bold);
  EXPECT_TRUE(font.underline);
  EXPECT_FALSE(font.italic);
  EXPECT_FALSE(font.strike_out);
  EXPECT_EQ(text->Data(), "AB");
  // Right-aligned text turned clockwise ends at the bottom of the bitmap.
  EXPECT_GE(InkBoundsOf(bitmap).bottom, 150);
}

TEST_F(FieldBitmapTest, FontPropertiesFallBackAndMatchOnlyTheirExactNames) {
  TField& plain = AddField(ftGraphicText);
  plain.GetBitmap(203);
  EXPECT_EQ(plain.Image()->Font().size_points, 8);
  EXPECT_EQ(plain.Image()->Font().charset, 1);
  EXPECT_EQ(plain.Image()->Font().face, "");
  EXPECT_EQ(plain.Image()->TextFormat(), 16u);

  TField& odd = AddField(ftGraphicText);
  odd.SetProperty("Font.Size", "12.5");
  odd.SetProperty("Font.Charset", "cyrillic");
  odd.SetProperty("Font.Style", "fsbold fsItalic");
  odd.SetProperty("halign", "haRight");
  odd.SetProperty("VAlign", "vacenter");
  odd.GetBitmap(203);
  EXPECT_EQ(odd.Image()->Font().size_points, 12);
  EXPECT_EQ(odd.Image()->Font().charset, 204);
  EXPECT_FALSE(odd.Image()->Font().bold);
  EXPECT_TRUE(odd.Image()->Font().italic);
  EXPECT_EQ(odd.Image()->TextFormat(), 16u);

  TField& lower = AddField(ftGraphicText);
  lower.SetProperty("font.size", "20");
  lower.SetProperty("Font.Size", "99999999999");  // replaces the pair; beyond 32 bits
  lower.GetBitmap(203);
  EXPECT_EQ(lower.Image()->Font().size_points, 12);
}

TEST_F(FieldBitmapTest, FirstCallFixesTheRendererAndLaterCallsRedrawTheValue) {
  TField& field = AddField(ftGraphicText);
  field.SetProperty("DS", "Name");
  field.SetProperty("Font.Size", "12");
  field.SetValue("Name", "I");
  const int thin = field.GetBitmap(203).CountBlack();
  TBaseImage* renderer = field.Image().get();

  field.SetValue("Name", "WWW");
  field.SetPropertyInt("Width", 40);
  const MonoBitmap& again = field.GetBitmap(600);
  EXPECT_EQ(field.Image().get(), renderer);
  EXPECT_EQ(again.Width(), 160) << "size and resolution come from the first call";
  EXPECT_GT(again.CountBlack(), thin * 3);
}

TEST_F(FieldBitmapTest, OtherKindsGetAWhiteBitmapOfTheirBox) {
  TField& line = AddField(ftBarcode, 30, 5);
  line.SetProperty("Value", "12345");
  const MonoBitmap& bitmap = line.GetBitmap(203);
  EXPECT_EQ(bitmap.Width(), 240);
  EXPECT_EQ(bitmap.Height(), 40);
  EXPECT_EQ(bitmap.CountBlack(), 0);
  const TBaseImage& renderer = *line.Image();
  EXPECT_EQ(typeid(renderer), typeid(TBaseImage));
}

TEST_F(FieldBitmapTest, ImageFieldDrawsTheLabelsPictureFoundByName) {
  label_.Images().AddImageData("logo.bmp", "", BlackBmp(100, 50));
  TField& field = AddField(ftImage, 20, 20);
  field.SetProperty("Value", "LOGO.BMP");
  const MonoBitmap& bitmap = field.GetBitmap(203);
  auto ink = InkBoundsOf(bitmap);
  EXPECT_EQ(ink.top, 40);
  EXPECT_EQ(ink.bottom, 119);
  EXPECT_EQ(bitmap.CountBlack(), 160 * 80);
  EXPECT_EQ(field.Image()->ImageData(), &label_.Images().GetImage(0)->Bitmap());

  TField& stretched = AddField(ftImage, 20, 20);
  stretched.SetProperty("Value", "logo.bmp");
  stretched.SetProperty("Stretch", "TRUE");
  EXPECT_EQ(stretched.GetBitmap(203).CountBlack(), 160 * 160);
}

TEST_F(FieldBitmapTest, StretchTakesTheBooleanRule) {
  for (const char* text : {"1", "-2", "true", "True"}) {
    TField& field = AddField(ftImage);
    field.SetProperty("Stretch", text);
    field.GetBitmap(203);
    EXPECT_TRUE(field.Image()->Stretch()) << text;
  }
  for (const char* text : {"0", "false", "yes", ""}) {
    TField& field = AddField(ftImage);
    field.SetProperty("Stretch", text);
    field.GetBitmap(203);
    EXPECT_FALSE(field.Image()->Stretch()) << text;
  }
}

TEST_F(FieldBitmapTest, ImageFieldWithoutPictureOrFileIsWhite) {
  TField& field = AddField(ftImage, 20, 20);
  field.SetProperty("Value", "nowhere.bmp");
  EXPECT_EQ(field.GetBitmap(203).Width(), 160);
  EXPECT_EQ(field.GetBitmap(203).CountBlack(), 0);
  EXPECT_EQ(field.Image()->ImageData(), nullptr);
  EXPECT_EQ(label_.Images().Count(), 0);

  testing::TempDir dir;
  field.SetProperty("Value", dir.File("missing.bmp"));
  EXPECT_EQ(field.GetBitmap(203).CountBlack(), 0);
  EXPECT_EQ(label_.Images().Count(), 0);
}

TEST_F(FieldBitmapTest, PictureFileIsReadOnceForAllLabelsUnderAnySpelling) {
  testing::TempDir dir;
  const std::string path = dir.File("logo.bmp");
  platform::ReplaceFileAtomically(path, BlackBmp(100, 50));
  const std::string delimiter(1, platform::PathDelimiter());
  // Twelve ways to name one file.
  std::vector<std::string> spellings = {path};
  for (int i = 1; i < 12; ++i) {
    std::string spelling = dir.path();
    for (int j = 0; j < i; ++j) spelling += delimiter + ".";
    spellings.push_back(spelling + delimiter + "logo.bmp");
  }

  TField& field = AddField(ftImage, 20, 20);
  TField& other = AddField(ftImage, 20, 20);
  for (int label = 0; label < 12; ++label) {
    field.SetProperty("Value", spellings[static_cast<std::size_t>(label)]);
    other.SetProperty("Value", path);
    EXPECT_EQ(field.GetBitmap(203).CountBlack(), 160 * 80) << label;
    EXPECT_EQ(other.GetBitmap(203).CountBlack(), 160 * 80) << label;
  }
  // Decoded once, kept once: one bitmap of 160 x 160 dots, 1 bit each, and the references.
  EXPECT_EQ(label_.Images().Drawn().FilesDecoded(), 1);
  EXPECT_LT(label_.Images().Drawn().Bytes(), 160u * 160u / 8u + 12u * 512u);
  EXPECT_EQ(label_.Images().Count(), 0);
  // A bare name finds the file read under that name; the file itself stays unread.
  TField& bare = AddField(ftImage, 20, 20);
  bare.SetProperty("Value", "LOGO.bmp");
  EXPECT_EQ(bare.GetBitmap(203).CountBlack(), 160 * 80);
  EXPECT_EQ(label_.Images().Drawn().FilesDecoded(), 1);
}

}  // namespace
}  // namespace pirell
