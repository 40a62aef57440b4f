// An upload whose file cannot be replaced leaves the previous template file as it was.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "label_printer/base_label_printer.h"
#include "platform/files.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

TEST(TemplateWriteFailureTest, AFailedUploadLeavesThePreviousFileReadable) {
  testing::TempDir devices;
  const std::filesystem::path folder = std::filesystem::u8path(devices.File("P1"));
  std::filesystem::create_directory(folder);
  auto host = std::make_shared<testing::FakeEquipmentManager>();
  host->properties["DevicesFolder"] = devices.path();
  auto printer = CreateObject<TBaseLabelPrinter>();
  testing::InitAndOpen(*printer, host, "P1");
  const auto upload = [&](int number, const std::string& data) {
    return testing::CallPublic(
        *printer, "UploadTemplate",
        VariantArray::Vector({Variant(number), Variant("Шаблон"), Variant(data)}));
  };
  ASSERT_TRUE(upload(1, "<Label>первый</Label>").result.ToBool());
  ASSERT_TRUE(upload(2, "<Label>второй</Label>").result.ToBool());
  const std::filesystem::path file = folder / "templates";
  const std::string file_name = devices.File("P1") + "\\templates";
  const auto before = platform::ReadWholeFile(file_name);
  ASSERT_TRUE(before.has_value());

  // Another program holds the file open, sharing it only for reading: it can be read but not
  // replaced.
  HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const auto failed = upload(3, std::string(100000, 'x'));
  CloseHandle(holder);

  EXPECT_FALSE(failed.result.ToBool());
  EXPECT_EQ(failed.Code(), rc::Unknown);
  EXPECT_NE(failed.Message().find(file_name), std::string::npos) << failed.Message();
  EXPECT_TRUE(platform::ReadWholeFile(file_name) == before) << "the previous file changed";
  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  ASSERT_EQ(on_disk.Count(), 2);
  EXPECT_EQ(on_disk.Items(1).Data(), "<Label>второй</Label>");
  // No temporary file is left beside it and its lock file.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files += entry.path().filename() != "templates.lock";
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace pirell
