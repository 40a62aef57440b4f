#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "rendering/label_document.h"
#include "rendering/label_image_list.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

// Where paths use '/', a file reference is split at it as well as at '\' and ':'.
TEST(LabelImageReferenceLinux, SlashesSplitAndLoadTheFile) {
  testing::TempDir dir;
  {
    std::ofstream out(dir.File("logo.bmp"), std::ios::binary);
    out << testing::GradientBmp(3, 2);
  }
  TLabelImageList list;
  list.AddImage(dir.File("logo.bmp"));
  EXPECT_EQ(list.Items(0).Name(), "logo.bmp");
  EXPECT_EQ(list.Items(0).Path(), dir.path() + "/");
  EXPECT_EQ(list.Items(0).Bitmap().Width(), 3);

  list.AddImage("C:\\labels/sub\\logo.bmp");
  EXPECT_EQ(list.Items(1).Path(), "C:\\labels/sub\\");
  list.AddImage("labels\\sub/logo.bmp");
  EXPECT_EQ(list.Items(2).Path(), "labels\\sub/");
  EXPECT_EQ(list.Items(2).Name(), "logo.bmp");
}

// Files an Image field may name that are no pictures to read: a device that never ends, a pipe
// without a writer (reading it would wait forever), a folder. Each prints as an empty picture at
// once and says why once per request.
TEST(LabelImageReferenceLinux, DevicesPipesAndFoldersAreNotReadAndTheirReasonIsNoted) {
  testing::TempDir dir;
  const std::string fifo = dir.File("pipe.bmp");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TLabelObj label;
  std::vector<std::string> notes;
  label.Images().Drawn().SetNotes(
      [&notes](const std::string&, const std::string& text) { notes.push_back(text); });
  TField& field = *label.Fields().Add();
  field.SetFieldType(ftImage);
  field.SetPropertyInt("Width", 10);
  field.SetPropertyInt("Height", 10);
  for (const std::string& reference : {std::string("/dev/zero"), fifo, dir.path() + "/"}) {
    for (int labels = 0; labels < 2; ++labels) {
      field.SetProperty("Value", reference);
      const MonoBitmap& bitmap = field.GetBitmap(203);
      EXPECT_EQ(bitmap.Width(), 80) << reference;
      EXPECT_EQ(bitmap.CountBlack(), 0) << reference;
    }
  }
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "/dev/zero: не обычный файл (папка, устройство или канал)",
                       fifo + ": не обычный файл (папка, устройство или канал)",
                       dir.path() + "/: не обычный файл (папка, устройство или канал)"}));
  // A picture list asked to add such a file stays empty-handed as quickly.
  TLabelImageList list;
  list.AddImage("/dev/zero");
  list.AddImage(fifo);
  EXPECT_TRUE(list.Items(0).Bitmap().Empty());
  EXPECT_TRUE(list.Items(1).Bitmap().Empty());
}

}  // namespace
}  // namespace pirell
