#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/locale.h"
#include "rendering/label_document.h"

namespace pirell {
namespace {

platform::LocaleFormat WithSeparator(const char* separator) {
  platform::LocaleFormat format;
  format.decimal_separator = separator;
  return format;
}

TEST(FieldTypes, ClassNamesAreMatchedExactly) {
  EXPECT_EQ(FieldTypeFromClassName("TextSimple"), ftSimpleText);
  EXPECT_EQ(FieldTypeFromClassName("TextGraphic"), ftGraphicText);
  EXPECT_EQ(FieldTypeFromClassName("Shk"), ftBarcode);
  EXPECT_EQ(FieldTypeFromClassName("2DShk"), ft2DBarcode);
  EXPECT_EQ(FieldTypeFromClassName("Line"), ftLine);
  EXPECT_EQ(FieldTypeFromClassName("Rectangle"), ftRectangle);
  EXPECT_EQ(FieldTypeFromClassName("Image"), ftImage);
  EXPECT_EQ(FieldTypeFromClassName("textsimple"), ftUnknown);
  EXPECT_EQ(FieldTypeFromClassName("Shk "), ftUnknown);
  EXPECT_EQ(FieldTypeFromClassName(""), ftUnknown);
  EXPECT_EQ(static_cast<int>(ftUnknown), 7);
  EXPECT_EQ(static_cast<int>(r270), 3);
}

TEST(FieldProperties, NewFieldIsUnknownUnturnedAndEmpty) {
  TField field(nullptr);
  EXPECT_EQ(field.FieldType(), ftUnknown);
  EXPECT_EQ(field.Rotation(), r0);
  EXPECT_TRUE(field.PropList().empty());
  EXPECT_EQ(field.LabelImageList(), nullptr);
  EXPECT_EQ(field.Image(), nullptr);
  EXPECT_TRUE(field.Stastic());
}

TEST(FieldProperties, NamesAreFoundInAnyLetterCaseAndTheFirstMatchCounts) {
  TField field(nullptr);
  field.SetProperty("left", "12");
  field.SetProperty("Шрифт", "один");
  EXPECT_EQ(field.GetPropertyDbl("Left", 0), 12);
  EXPECT_EQ(field.GetPropertyStr("LEFT"), "12");
  EXPECT_EQ(field.GetPropertyStr("шрифт"), "один");
  EXPECT_EQ(field.GetPropertyStr("Top"), "");
  // Replacing keeps the position and takes the new spelling of the name.
  field.SetProperty("LEFT", "13");
  EXPECT_EQ(field.PropList(), (std::vector<std::string>{"LEFT=13", "Шрифт=один"}));
}

TEST(FieldProperties, EmptyValueRemovesAnExistingPairButAddsANewOne) {
  TField field(nullptr);
  field.SetProperty("Value", "x");
  field.SetProperty("value", "");
  EXPECT_TRUE(field.PropList().empty());
  field.SetProperty("DS", "");
  EXPECT_EQ(field.PropList(), (std::vector<std::string>{"DS="}));
  EXPECT_FALSE(field.Stastic());  // a data source, though an empty one
}

TEST(FieldProperties, TheFirstEqualsSignSeparatesNameAndValue) {
  TField field(nullptr);
  field.SetProperty("Value", "a=b=c");
  EXPECT_EQ(field.Value(), "a=b=c");
}

TEST(FieldProperties, OnlyRotationFixedSpelledExactlyTurnsTheField) {
  TField field(nullptr);
  field.SetProperty("rotationfixed", "r90");
  EXPECT_EQ(field.Rotation(), r0);
  EXPECT_EQ(field.GetPropertyStr("RotationFixed"), "r90");
  field.SetProperty("RotationFixed", "r270");
  EXPECT_EQ(field.Rotation(), r270);
  field.SetProperty("RotationFixed", "r180");
  EXPECT_EQ(field.Rotation(), r180);
  field.SetProperty("RotationFixed", "R90");  // values compare exactly too
  EXPECT_EQ(field.Rotation(), r0);
  field.SetProperty("RotationFixed", "r90");
  field.SetProperty("RotationFixed", "");
  EXPECT_EQ(field.Rotation(), r0);
  field.SetPropertyInt("RotationFixed", 90);  // typed setters interpret no name
  EXPECT_EQ(field.Rotation(), r0);
}

TEST(FieldProperties, DecimalsFollowTheRegionalSeparator) {
  TField field(nullptr);
  field.SetProperty("Left", "12.5");
  field.SetProperty("Top", "12,5");
  {
    platform::ScopedUserLocale point(WithSeparator("."));
    EXPECT_EQ(field.GetPropertyDbl("Left", 0), 12.5);
    EXPECT_EQ(field.GetPropertyDbl("Top", -1), -1);
  }
  {
    platform::ScopedUserLocale comma(WithSeparator(","));
    EXPECT_EQ(field.GetPropertyDbl("Left", 0), 0);
    EXPECT_EQ(field.GetPropertyDbl("Top", 0), 12.5);
    field.SetPropertyDbl("Width", 0.25);
    EXPECT_EQ(field.GetPropertyStr("Width"), "0,25");
  }
  EXPECT_EQ(field.GetPropertyDbl("Missing", 3.5), 3.5);
}

TEST(FieldProperties, IntegersAndBooleans) {
  platform::ScopedUserLocale point(WithSeparator("."));
  TField field(nullptr);
  for (const char* text : {"1", "true", "TRUE", "-1", "2.5"}) {
    field.SetProperty("Negative", text);
    EXPECT_TRUE(field.GetPropertyBool("Negative", false)) << text;
  }
  for (const char* text : {"0", "false", "False", "0.0"}) {
    field.SetProperty("Negative", text);
    EXPECT_FALSE(field.GetPropertyBool("Negative", true)) << text;
  }
  for (const char* text : {"yes", "", "T", "1x"}) {
    field.SetProperty("Negative", text);
    EXPECT_TRUE(field.GetPropertyBool("Negative", true)) << text;
    EXPECT_FALSE(field.GetPropertyBool("Negative", false)) << text;
  }
  field.SetProperty("FontSize", "-3");
  EXPECT_EQ(field.GetPropertyInt("FontSize", 0), -3);
  field.SetProperty("FontSize", "+4");
  EXPECT_EQ(field.GetPropertyInt("FontSize", 0), 4);
  for (const char* text : {"2.0", "abc", "9999999999", "0x10"}) {
    field.SetProperty("FontSize", text);
    EXPECT_EQ(field.GetPropertyInt("FontSize", 7), 7) << text;
  }
  field.SetPropertyBool("TextVisible", true);
  field.SetPropertyInt("BarWidth", -12);
  EXPECT_EQ(field.GetPropertyStr("TextVisible"), "True");
  EXPECT_EQ(field.GetPropertyInt("BarWidth", 0), -12);
  field.SetPropertyBool("TextVisible", false);
  EXPECT_EQ(field.GetPropertyStr("TextVisible"), "False");
}

TEST(FieldBinding, ValueGoesOnlyToTheExactDataSourceName) {
  TField field(nullptr);
  EXPECT_FALSE(field.SetValue("Price", "10"));  // no data source at all
  EXPECT_EQ(field.Value(), "");
  field.SetProperty("DS", "Price");
  EXPECT_FALSE(field.Stastic());
  EXPECT_FALSE(field.SetValue("price", "10"));
  EXPECT_EQ(field.Value(), "");
  EXPECT_TRUE(field.SetValue("Price", "10"));
  EXPECT_EQ(field.Value(), "10");
  EXPECT_TRUE(field.SetValue("Price", "12,50"));
  EXPECT_EQ(field.Value(), "12,50");
}

TEST(FieldBinding, DsNoneIsStaticYetAcceptsItsOwnName) {
  TField field(nullptr);
  field.SetProperty("ds", "dsNone");
  field.SetProperty("Value", "fixed");
  EXPECT_TRUE(field.Stastic());
  EXPECT_FALSE(field.SetValue("Price", "1"));
  EXPECT_TRUE(field.SetValue("dsNone", "bound"));
  EXPECT_EQ(field.Value(), "bound");
  field.SetProperty("DS", "DSNONE");
  EXPECT_FALSE(field.Stastic());
}

}  // namespace
}  // namespace pirell
