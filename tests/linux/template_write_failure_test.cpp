// An upload whose file write fails half way leaves the previous template file as it was.

#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "label_printer/base_label_printer.h"
#include "platform/files.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

// Limits the size of files this process writes, so that a write past the limit fails part way
// (as on a full disk), whatever the user's rights. The previous limit comes back at the end.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    previous_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    signal(SIGXFSZ, previous_handler_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  rlimit previous_{};
  sighandler_t previous_handler_ = SIG_DFL;
  bool ok_ = false;
};

TEST(TemplateWriteFailureTest, AFailedUploadLeavesThePreviousFileReadable) {
  testing::TempDir devices;
  std::filesystem::create_directory(std::filesystem::u8path(devices.File("P1")));
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
  const std::string file = devices.File("P1") + "/templates";
  const auto before = platform::ReadWholeFile(file);
  ASSERT_TRUE(before.has_value());

  testing::PublicCall failed;
  {
    ScopedFileSizeLimit limit(before->size() + 100);
    ASSERT_TRUE(limit.ok());
    failed = upload(3, std::string(100000, 'x'));
  }
  EXPECT_FALSE(failed.result.ToBool());
  EXPECT_EQ(failed.Code(), rc::Unknown);
  EXPECT_EQ(failed.Message(), "Не удалось записать файл шаблонов " + file + ": Файл слишком велик");

  EXPECT_TRUE(platform::ReadWholeFile(file) == before) << "the previous file changed";
  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  ASSERT_EQ(on_disk.Count(), 2);
  EXPECT_EQ(on_disk.Items(1).Data(), "<Label>второй</Label>");
  // No half-written temporary file is left beside it.
  int temporaries = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::u8path(devices.File("P1"))))
    temporaries += entry.path().filename().string().rfind("templates.tmp-", 0) == 0;
  EXPECT_EQ(temporaries, 0);

  // The host was told that template 3 failed: the next upload, which reads the file anew,
  // stores its own template and not that one.
  ASSERT_TRUE(upload(4, "<Label/>").result.ToBool());
  on_disk.Load(devices.File("P1"));
  ASSERT_EQ(on_disk.Count(), 3);
  EXPECT_EQ(on_disk.Items(2).Number(), 4);
}

}  // namespace
}  // namespace pirell
