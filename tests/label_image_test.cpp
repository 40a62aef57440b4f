#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/errors.h"
#include "platform/files.h"
#include "platform/guid.h"
#include "platform/xml_document.h"
#include "rendering/base64.h"
#include "rendering/bmp_codec.h"
#include "rendering/label_image_list.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::GradientBmp;
using testing::GradientColour;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

bool IsGradient(const Picture& picture, int width, int height) {
  if (picture.Width() != width || picture.Height() != height) return false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (picture.At(x, y) != GradientColour(x, y)) return false;
    }
  }
  return true;
}

TEST(LabelImageReference, AFullWindowsNameIsSplitAfterTheLastBackslash) {
  TLabelImageList list;
  EXPECT_EQ(list.AddImage("C:\\labels\\logos\\logo.bmp"), 0);
  const TLabelImage& image = list.Items(0);
  EXPECT_EQ(image.Name(), "logo.bmp");
  EXPECT_EQ(image.Path(), "C:\\labels\\logos\\");
  EXPECT_EQ(image.FileName(), "C:\\labels\\logos\\logo.bmp");
  EXPECT_TRUE(image.Bitmap().Empty());  // no such file

  EXPECT_EQ(list.AddImage("D:logo.bmp"), 1);
  EXPECT_EQ(list.Items(1).Path(), "D:");
  EXPECT_EQ(list.Items(1).Name(), "logo.bmp");
  EXPECT_EQ(list.AddImage("logo.bmp"), 2);
  EXPECT_EQ(list.Items(2).Path(), "");
  EXPECT_EQ(list.Items(2).FileName(), "logo.bmp");
}

TEST(LabelImageReference, AnExistingFileWithADirectoryIsLoaded) {
  testing::TempDir dir;
  WriteFile(dir.File("logo.bmp"), GradientBmp(6, 4));
  TLabelImageList list;
  list.AddImage(dir.File("logo.bmp"));
  const TLabelImage& image = list.Items(0);
  EXPECT_EQ(image.Name(), "logo.bmp");
  EXPECT_EQ(image.FileName(), dir.File("logo.bmp"));
  EXPECT_TRUE(IsGradient(image.Bitmap(), 6, 4));
}

TEST(LabelImageReference, AFileThatIsNoPictureGivesAnEmptyOneSilently) {
  testing::TempDir dir;
  WriteFile(dir.File("text.bmp"), "this is not a bitmap");
  WriteFile(dir.File("cut.bmp"), GradientBmp(6, 4).substr(0, 70));
  WriteFile(dir.File("empty.bmp"), "");
  TLabelImageList list;
  for (const char* name : {"text.bmp", "cut.bmp", "empty.bmp", "missing.bmp"}) {
    EXPECT_NO_THROW(list.AddImage(dir.File(name))) << name;
    EXPECT_TRUE(list.Items(list.Count() - 1).Bitmap().Empty()) << name;
  }
  EXPECT_NO_THROW(list.AddImage(dir.path()));  // a folder is not a file
  EXPECT_EQ(list.Count(), 5);
}

TEST(LabelImageReference, ABareFileNameIsNotLoadedEvenWhenItExistsHere) {
  const std::string guid = platform::NewGuidText();
  const std::string name = "pirell-bare-" + guid.substr(1, guid.size() - 2) + ".bmp";
  WriteFile(name, GradientBmp(2, 2));
  ASSERT_TRUE(platform::FileExists(name));
  TLabelImageList list;
  list.AddImage(name);
  std::remove(name.c_str());
  EXPECT_EQ(list.Items(0).Name(), name);
  EXPECT_TRUE(list.Items(0).Bitmap().Empty());
}

TEST(LabelImageList, LookupByIndexAndByNameInAnyLetterCase) {
  TLabelImageList list;
  list.AddImageData("logo.bmp", "", GradientBmp(1, 1));
  list.AddImageData("Знак.bmp", "C:\\", GradientBmp(2, 1));
  list.AddImageData("LOGO.bmp", "", GradientBmp(3, 1));
  EXPECT_EQ(list.GetImage("LOGO.BMP"), list.GetImage(0));
  EXPECT_EQ(list.GetImage("знак.BMP"), list.GetImage(1));
  EXPECT_EQ(list.GetImage("logo"), nullptr);
  EXPECT_EQ(list.GetImage(-1), nullptr);
  EXPECT_EQ(list.GetImage(3), nullptr);
  EXPECT_EQ(list.GetImage(2)->Bitmap().Width(), 3);
  EXPECT_THROW(list.Items(3), Error);

  std::vector<std::string> names = {"old"};
  list.GetStrings(&names);
  EXPECT_EQ(names, (std::vector<std::string>{"logo.bmp", "Знак.bmp", "LOGO.bmp"}));
  list.GetStrings(nullptr);

  list.SetItems(1, std::make_unique<TLabelImage>("new.bmp"));
  EXPECT_EQ(list.Items(1).Name(), "new.bmp");
  EXPECT_THROW(list.SetItems(1, nullptr), Error);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(LabelImageList, BytesThatAreNoBitmapAreRefusedAndNothingIsAppended) {
  TLabelImageList list;
  EXPECT_THROW(list.AddImageData("bad", "", "BM and nothing else"), Error);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.AddImageData("empty", "", ""), 0);
  EXPECT_TRUE(list.Items(0).Bitmap().Empty());
  EXPECT_EQ(list.Items(0).Bytes(), "");
}

TEST(LabelImagePictures, RoundTripThroughBytes) {
  TLabelImage image("a.bmp", GradientBmp(5, 3), "");
  TLabelImage copy("b.bmp", image.Bytes(), "");
  EXPECT_TRUE(IsGradient(copy.Bitmap(), 5, 3));

  Picture translucent(2, 2, 0xFF000000);
  translucent.Set(1, 1, 0x40FF8000);
  image.Bitmap() = translucent;
  copy.SetBytes(image.Bytes());
  EXPECT_EQ(copy.Bitmap().Pixels(), translucent.Pixels());

  EXPECT_THROW(copy.SetBytes("garbage"), Error);
  EXPECT_EQ(copy.Bitmap().Pixels(), translucent.Pixels()) << "a refused file changes nothing";
}

TEST(LabelImagePictures, Base64TextWithLineBreaksAndStrayCharacters) {
  std::string text = Base64Encode(GradientBmp(4, 4), 60);
  text.insert(10, " \t*");
  text.insert(0, "\r\n");
  TLabelImage image("x");
  image.GetBmpFromString(text);
  EXPECT_TRUE(IsGradient(image.Bitmap(), 4, 4));
  EXPECT_THROW(image.GetBmpFromString("Qk0="), Error);
}

TEST(LabelImageXml, SavedListLoadsBackTheSame) {
  TLabelImageList list;
  list.AddImageData("logo.bmp", "C:\\labels\\", GradientBmp(7, 3));
  list.AddImageData("Знак & <пустой>", "", "");
  list.Items(0).Bitmap().Set(0, 0, 0x12345678);  // with transparency

  auto doc = platform::XmlDocument::Create();
  doc->CreateRoot("Label");
  list.SaveToXML(doc.get());
  const std::string text = doc->SaveToText();

  auto read = platform::XmlDocument::Create();
  ASSERT_TRUE(read->LoadFromText(text)) << read->ParseError();
  {
    std::vector<platform::XmlNode*> lists = read->ElementsWithParent("Label", "ImageList");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0]->Attribute("Count"), "2");
    EXPECT_EQ(lists[0]->Attribute("xmlns:dt"), "urn:schemas-microsoft-com:datatypes");
  }
  TLabelImageList loaded;
  loaded.AddImage("stale");
  loaded.LoadFromXML(*read);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.Items(0).Name(), "logo.bmp");
  EXPECT_EQ(loaded.Items(0).Path(), "C:\\labels\\");
  EXPECT_EQ(loaded.Items(0).Bitmap().Pixels(), list.Items(0).Bitmap().Pixels());
  EXPECT_EQ(loaded.Items(1).Name(), "Знак & <пустой>");
  EXPECT_TRUE(loaded.Items(1).Bitmap().Empty());
}

TEST(LabelImageXml, NothingHappensWithoutADocumentOrRoot) {
  TLabelImageList list;
  list.AddImageData("a", "", GradientBmp(1, 1));
  list.SaveToXML(nullptr);
  auto doc = platform::XmlDocument::Create();
  list.SaveToXML(doc.get());
  EXPECT_EQ(doc->Root(), nullptr);
}

TEST(LabelImageXml, AFailedLoadLeavesTheListAsItWas) {
  auto doc = platform::XmlDocument::Create();
  ASSERT_TRUE(
      doc->LoadFromText("<Label><ImageList xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
                        "<Image Name=\"ok\" Path=\"\" dt:dt=\"bin.base64\">" +
                        Base64Encode(GradientBmp(1, 1)) +
                        "</Image><Image Name=\"no type\" Path=\"\">AAAA</Image>"
                        "</ImageList></Label>"));
  TLabelImageList list;
  list.AddImage("kept");
  EXPECT_THROW(list.LoadFromXML(*doc), Error);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).Name(), "kept");
}

}  // namespace
}  // namespace pirell
