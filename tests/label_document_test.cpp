#include "rendering/label_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "platform/locale.h"
#include "rendering/base64.h"
#include "support/bmp_builder.h"

namespace pirell {
namespace {

using testing::GradientBmp;
using testing::GradientColour;

std::string ImageElement(const std::string& name, const std::string& bytes) {
  return "<Image Name=\"" + name + "\" Path=\"C:\\pics\\\" dt:dt=\"bin.base64\">" +
         Base64Encode(bytes, 76) + "</Image>";
}

const char kImageListOpen[] =
    "<ImageList Count=\"7\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">";

// A template with fields of every kind and two pictures, laid out with blanks and comments.
std::string FullTemplate() {
  return std::string(R"(<?xml version="1.0" encoding="windows-1251"?>
<Label Width="58" Height="40">
  <!-- texts -->
  <Item ClassName="TextSimple">
    <Property Name="Left" Value="5"/>
    <Property Name="Top" Value="10"/>
    <Property Name="MaxSymbols" Value="20"/>
    <Property Name="FontSize" Value="2"/>
    <Property Name="DS" Value="Наименование"/>
    <Property Name="Value" Value="Товар &quot;A&quot; &amp; B"/>
  </Item>
  <Item ClassName="TextGraphic">
    <Property Name="Font.Name" Value="Arial"/>
    <Property Name="Font.Size" Value="12"/>
    <Property Name="HAlign" Value="haRight"/>
    <Property Name="RotationFixed" Value="r90"/>
  </Item>
  <Item ClassName="Shk">
    <Property Name="BarCodeType" Value="Code128"/>
    <Property Name="TextVisible" Value="True"/>
    <Property Name="DS" Value="Barcode"/>
  </Item>
  <Item ClassName="2DShk"><Property Name="Value" Value="qr"/></Item>
  <Item ClassName="Line">
    <Property Name="LineLeft" Value="5"/><Property Name="PenWidth" Value="1"/>
    <Property Name="RotationFixed" Value="r270"/>
  </Item>
  <Item ClassName="Rectangle"><Property Name="PenWidth" Value="1"/></Item>
  <Item ClassName="Image">
    <Property Name="ValueFileName" Value="C:\logo.bmp"/>
    <Property Name="Value" Value="logo.bmp"/>
    <Property Name="Stretch" Value="True"/>
  </Item>
  <Item ClassName="Barcode2"/>
  <Item/>
  )") + kImageListOpen +
         "\n    " + ImageElement("logo.bmp", GradientBmp(3, 2)) + "\n    " +
         ImageElement("Знак.bmp", GradientBmp(5, 4)) + "\n  </ImageList>\n</Label>";
}

TEST(LabelDocumentLoading, EveryKindOfFieldAndBothPictures) {
  platform::ScopedUserLocale locale({});
  TLabelObj label;
  label.LoadFromString(FullTemplate());
  EXPECT_EQ(label.Width(), 58);
  EXPECT_EQ(label.Height(), 40);
  ASSERT_EQ(label.Fields().Count(), 9);
  std::vector<TFieldType> kinds;
  for (int i = 0; i < label.Fields().Count(); ++i) {
    kinds.push_back(label.Fields().Items(i)->FieldType());
    EXPECT_EQ(label.Fields().Items(i)->Parent(), &label.Fields());
    EXPECT_EQ(label.Fields().Items(i)->LabelImageList(), &label.Images());
  }
  EXPECT_EQ(kinds, (std::vector<TFieldType>{ftSimpleText, ftGraphicText, ftBarcode, ft2DBarcode,
                                            ftLine, ftRectangle, ftImage, ftUnknown, ftUnknown}));

  TField& text = *label.Fields().Items(0);
  EXPECT_EQ(text.PropList(),
            (std::vector<std::string>{"Left=5", "Top=10", "MaxSymbols=20", "FontSize=2",
                                      "DS=Наименование", "Value=Товар \"A\" & B"}));
  EXPECT_EQ(text.GetPropertyDbl("Left", 0), 5);
  EXPECT_FALSE(text.Stastic());
  EXPECT_TRUE(text.SetValue("Наименование", "Хлеб"));
  EXPECT_EQ(text.Value(), "Хлеб");

  EXPECT_EQ(label.Fields().Items(1)->Rotation(), r90);
  EXPECT_EQ(label.Fields().Items(1)->GetPropertyStr("Font.Name"), "Arial");
  EXPECT_TRUE(label.Fields().Items(2)->GetPropertyBool("TextVisible", false));
  EXPECT_EQ(label.Fields().Items(4)->Rotation(), r270);
  EXPECT_EQ(label.Fields().Items(6)->PropList(),
            (std::vector<std::string>{"Value=logo.bmp", "Stretch=True"}));
  EXPECT_TRUE(label.Fields().Items(8)->PropList().empty());

  ASSERT_EQ(label.Images().Count(), 2);
  const TLabelImage& second = label.Images().Items(1);
  EXPECT_EQ(second.Name(), "Знак.bmp");
  EXPECT_EQ(second.Path(), "C:\\pics\\");
  ASSERT_EQ(second.Bitmap().Width(), 5);
  ASSERT_EQ(second.Bitmap().Height(), 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(second.Bitmap().At(x, y), GradientColour(x, y));
  }
  EXPECT_EQ(label.Images().GetImage("LOGO.BMP"), &label.Images().Items(0));
}

TEST(LabelDocumentLoading, RootSizeReadsWholeNumbersOnly) {
  TLabelObj label;
  label.LoadFromString(R"(<Label Width="58" Height="x"/>)");
  EXPECT_EQ(label.Width(), 58);
  EXPECT_EQ(label.Height(), 0);
  label.LoadFromString(R"(<Label Height="-3"/>)");
  EXPECT_EQ(label.Width(), 0);
  EXPECT_EQ(label.Height(), -3);
  label.LoadFromString(R"(<Label Width="58.5" Height="99999999999"/>)");
  EXPECT_EQ(label.Width(), 0);
  EXPECT_EQ(label.Height(), 0);
}

TEST(LabelDocumentLoading, ValueFileNameIsStoredAsValueAndALaterValueReplacesIt) {
  TLabelObj label;
  label.LoadFromString(R"(<Label><Item ClassName="Image">
      <Property Name="ValueFileName" Value="C:\logo.bmp"/><Property Name="Value" Value="logo"/>
    </Item></Label>)");
  ASSERT_EQ(label.Fields().Count(), 1);
  EXPECT_EQ(label.Fields().Items(0)->PropList(), (std::vector<std::string>{"Value=logo"}));
}

TEST(LabelDocumentLoading, PropertiesWithoutNameOrValueAndIgnoredElements) {
  TLabelObj label;
  label.LoadFromString(R"(<Label Extra="1"><Item ClassName="Line" Other="x">
      <Property Value="nameless"/><Property Name="PenWidth"/><Other Name="Left" Value="1"/>
      <Group><Property Name="Top" Value="2"/></Group>
    </Item><Unknown/></Label>)");
  ASSERT_EQ(label.Fields().Count(), 1);
  EXPECT_EQ(label.Fields().Items(0)->PropList(),
            (std::vector<std::string>{"=nameless", "PenWidth="}));
  EXPECT_EQ(label.Fields().Items(0)->GetPropertyDbl("PenWidth", 7), 7);
}

TEST(LabelDocumentLoading, ItemsOfNestedLabelsCountAndDeeperItemsDoNot) {
  TLabelObj label;
  label.LoadFromString(R"(<Root><Label><Item ClassName="Shk"/></Label>
      <Label><Group><Item ClassName="Line"/></Group><Item ClassName="Rectangle"/></Label></Root>)");
  ASSERT_EQ(label.Fields().Count(), 2);
  EXPECT_EQ(label.Fields().Items(0)->FieldType(), ftBarcode);
  EXPECT_EQ(label.Fields().Items(1)->FieldType(), ftRectangle);
}

TEST(LabelDocumentLoading, TwoEqualItemsAreTwoFieldsInDocumentOrder) {
  TLabelObj label;
  const std::string item =
      R"(<Item ClassName="TextSimple"><Property Name="Value" Value="same"/></Item>)";
  label.LoadFromString("<Label>" + item + item + "</Label>");
  ASSERT_EQ(label.Fields().Count(), 2);
  EXPECT_NE(label.Fields().Items(0), label.Fields().Items(1));
  EXPECT_EQ(label.Fields().Items(0)->PropList(), label.Fields().Items(1)->PropList());
  EXPECT_THROW(label.Fields().Items(2), Error);
  EXPECT_THROW(label.Fields().Items(-1), Error);
}

TEST(LabelDocumentLoading, ARootOtherThanLabelGivesNoFieldsAndNoPictures) {
  TLabelObj label;
  label.LoadFromString(std::string("<Other Width=\"10\"><Item ClassName=\"Shk\"/>") +
                       kImageListOpen + ImageElement("a", GradientBmp(1, 1)) +
                       "</ImageList></Other>");
  EXPECT_EQ(label.Width(), 10);
  EXPECT_EQ(label.Fields().Count(), 0);
  EXPECT_EQ(label.Images().Count(), 0);
}

TEST(LabelDocumentLoading, ReloadingReplacesEverything) {
  TLabelObj label;
  label.LoadFromString(FullTemplate());
  label.LoadFromString(R"(<Label Width="30"><Item ClassName="Line"/></Label>)");
  EXPECT_EQ(label.Width(), 30);
  EXPECT_EQ(label.Height(), 0);
  EXPECT_EQ(label.Fields().Count(), 1);
  EXPECT_EQ(label.Images().Count(), 0);
}

TEST(LabelDocumentFailures, TextWithoutARootRaisesAfterClearingTheFields) {
  for (const std::string bad : {"", "<Label><Item></Label>", "plain text", "<Label",
                                "<?xml version=\"1.0\"?>", "<!-- only a comment -->"}) {
    TLabelObj label;
    label.LoadFromString(FullTemplate());
    try {
      label.LoadFromString(bad);
      ADD_FAILURE() << "no error for: " << bad;
    } catch (const Error& error) {
      // The host reads this text: Russian, with no English words of the XML parser in it.
      const std::string text = error.what();
      EXPECT_EQ(text.rfind("Шаблон этикетки не является правильным XML-документом: ", 0), 0u)
          << text;
      std::string latin;
      for (char c : text)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) latin += c;
      EXPECT_TRUE(latin == "XML" || latin == "XMLXML") << text;
    }
    EXPECT_EQ(label.Fields().Count(), 0) << bad;
    EXPECT_EQ(label.Width(), 0);
    EXPECT_EQ(label.Images().Count(), 2) << "pictures stay as they were: " << bad;
  }
}

TEST(LabelDocumentFailures, BadPicturesFailTheWholeLoad) {
  const std::string good = ImageElement("ok", GradientBmp(2, 2));
  const std::vector<std::string> bad_lists = {
      "<Image Name=\"plain\" Path=\"\">" + Base64Encode(GradientBmp(1, 1)) + "</Image>",
      "<Image Name=\"n\" dt:dt=\"bin.base64\"></Image>",  // no Path
      "<Image Path=\"\" dt:dt=\"bin.base64\"></Image>",   // no Name
      "<!-- a comment -->",
      "text",
      "<Image Name=\"t\" Path=\"\" dt:dt=\"bin.base64\">" +
          Base64Encode(GradientBmp(4, 4).substr(0, 60)) + "</Image>",  // truncated
      "<Image Name=\"j\" Path=\"\" dt:dt=\"bin.base64\">" + Base64Encode("not a bitmap") +
          "</Image>",
  };
  for (const std::string& bad : bad_lists) {
    TLabelObj label;
    EXPECT_THROW(label.LoadFromString(std::string("<Label><Item ClassName=\"Shk\"/>") +
                                      kImageListOpen + good + bad + "</ImageList></Label>"),
                 Error)
        << bad;
    EXPECT_EQ(label.Fields().Count(), 0) << bad;
    EXPECT_EQ(label.Images().Count(), 0) << bad;
  }
}

TEST(LabelDocumentPictures, CountIsNotReadOnlyTheFirstListAndEmptyContentIsAnEmptyPicture) {
  TLabelObj label;
  label.LoadFromString(std::string("<Label>") + kImageListOpen + ImageElement("a", "") +
                       ImageElement("b", GradientBmp(2, 1)) + "</ImageList>" + kImageListOpen +
                       ImageElement("c", GradientBmp(1, 1)) + "</ImageList></Label>");
  ASSERT_EQ(label.Images().Count(), 2);
  EXPECT_TRUE(label.Images().Items(0).Bitmap().Empty());
  EXPECT_EQ(label.Images().Items(1).Bitmap().Width(), 2);
  EXPECT_EQ(label.Images().GetImage("c"), nullptr);
}

TEST(LabelDocumentPictures, AnEmptyImageListClearsFormerPictures) {
  TLabelObj label;
  label.LoadFromString(FullTemplate());
  label.LoadFromString("<Label><ImageList/></Label>");
  EXPECT_EQ(label.Images().Count(), 0);
}

}  // namespace
}  // namespace pirell
