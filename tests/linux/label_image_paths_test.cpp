#include <gtest/gtest.h>

#include <fstream>

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

}  // namespace
}  // namespace pirell
