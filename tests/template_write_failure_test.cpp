// An upload whose template file write fails at any step (creating the temporary file, any one of
// its writes, the flush, the close or the rename) leaves the previous file readable with its old
// content and no temporary file beside it. The platform-specific tests make the real system
// fail; here every single step is made to fail in turn through the file writer seam.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "label_printer/base_label_printer.h"
#include "platform/files.h"
#include "support/failing_file_writer.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

class TemplateWriteFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder());
    host->properties["DevicesFolder"] = devices.path();
    testing::InitAndOpen(*printer, host, "P1");
    ASSERT_TRUE(Upload(1, "<Label>первый &amp; <b/></Label>").result.ToBool());
    ASSERT_TRUE(Upload(2, "<Label>второй</Label>").result.ToBool());
    const auto bytes = platform::ReadWholeFile(file_name);
    ASSERT_TRUE(bytes.has_value());
    before = *bytes;
  }

  testing::PublicCall Upload(int number, const std::string& data) {
    return testing::CallPublic(
        *printer, "UploadTemplate",
        VariantArray::Vector({Variant(number), Variant("Шаблон"), Variant(data)}));
  }
  std::filesystem::path folder() const { return std::filesystem::u8path(devices.File("P1")); }
  // Files beside the template file and its lock file.
  int FilesInFolder() const {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder()))
      files += entry.path().filename() != "templates.lock";
    return files;
  }
  // The file as a new device would read it: the old content, whole.
  void ExpectPreviousFile(const std::string& context) const {
    EXPECT_TRUE(platform::ReadWholeFile(file_name) == before) << context;
    TTemplatesList on_disk;
    on_disk.Load(devices.File("P1"));
    ASSERT_EQ(on_disk.Count(), 2) << context;
    EXPECT_EQ(on_disk.Items(0).Data(), "<Label>первый &amp; <b/></Label>") << context;
    EXPECT_EQ(on_disk.Items(1).Data(), "<Label>второй</Label>") << context;
    EXPECT_EQ(FilesInFolder(), 1) << context << ": a temporary file was left behind";
  }

  testing::TempDir devices;
  std::shared_ptr<testing::FakeEquipmentManager> host =
      std::make_shared<testing::FakeEquipmentManager>();
  std::shared_ptr<TBaseLabelPrinter> printer = CreateObject<TBaseLabelPrinter>();
  const std::string file_name =
      platform::IncludeTrailingPathDelimiter(devices.File("P1")) + "templates";
  std::string before;
};

TEST_F(TemplateWriteFaultTest, AFailureAtEveryStepLeavesThePreviousFile) {
  // Big enough for several writes of at most 4096 bytes.
  const std::string big = "<Label>" + std::string(20000, 'z') + "</Label>";
  std::vector<std::string> all_steps;
  int failures = 0;
  for (int step = 0;; ++step) {
    testing::FailingFileWriter writer;
    writer.fail_at = step;
    testing::PublicCall upload;
    {
      platform::ScopedFileWriter scope(writer);
      upload = Upload(3, big);
    }
    if (static_cast<std::size_t>(step) >= writer.steps.size()) {
      // Every step has failed once; with none failing the upload goes through.
      ASSERT_TRUE(upload.result.ToBool()) << upload.Message();
      all_steps = writer.steps;
      break;
    }
    const std::string context = "failing step " + std::to_string(step) + " (" +
                                writer.steps[static_cast<std::size_t>(step)] + ")";
    ++failures;
    EXPECT_FALSE(upload.result.ToBool()) << context;
    EXPECT_EQ(upload.Code(), rc::Unknown) << context;
    EXPECT_NE(upload.Message().find(file_name), std::string::npos) << upload.Message();
    EXPECT_EQ(writer.removed, step == 0 ? 0 : 1) << context;
    ExpectPreviousFile(context);
    // Nothing runs after the failing step but closing the temporary file.
    const std::string& failed = writer.steps[static_cast<std::size_t>(step)];
    const bool closes_after = failed.rfind("write", 0) == 0 || failed == "flush";
    EXPECT_EQ(writer.steps.size(), static_cast<std::size_t>(step) + (closes_after ? 2 : 1))
        << context;
    if (closes_after) {
      EXPECT_EQ(writer.steps.back(), "close") << context;
    }
    // The template stays in memory; the host still sees it.
    const testing::PublicCall list = testing::CallPublic(*printer, "GetTemplateList");
    EXPECT_TRUE(list.result.ToBool()) << context;
  }
  ASSERT_GE(all_steps.size(), 9u);
  EXPECT_EQ(all_steps.front(), "create");
  EXPECT_GE(std::count_if(all_steps.begin(), all_steps.end(),
                          [](const std::string& name) { return name.rfind("write", 0) == 0; }),
            5);
  EXPECT_EQ(all_steps[all_steps.size() - 3], "flush");
  EXPECT_EQ(all_steps[all_steps.size() - 2], "close");
  EXPECT_EQ(all_steps.back(), "rename");
  EXPECT_EQ(failures, static_cast<int>(all_steps.size()));

  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  ASSERT_EQ(on_disk.Count(), 3);
  EXPECT_EQ(on_disk.Items(2).Data(), big);
  EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(TemplateWriteFaultTest, AFileSystemThatTakesNoBytesFailsTheUploadInsteadOfHanging) {
  testing::FailingFileWriter writer;
  writer.max_write = 0;
  testing::PublicCall upload;
  {
    platform::ScopedFileWriter scope(writer);
    upload = Upload(3, "<Label/>");
  }
  EXPECT_FALSE(upload.result.ToBool());
  EXPECT_EQ(upload.Code(), rc::Unknown);
  EXPECT_EQ(writer.removed, 1);
  ExpectPreviousFile("no bytes taken");
}

}  // namespace
}  // namespace pirell
