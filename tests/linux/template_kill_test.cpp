// A process killed (SIGKILL) while it uploads templates leaves a template file that reads whole:
// the content before or after some upload, never a mix or a cut.

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "label_printer/base_label_printer.h"
#include "platform/files.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

constexpr int kTemplateBytes = 200000;

// Template n: one character repeated, so that a file cut or mixed anywhere shows.
std::string TemplateData(int n) {
  return "<Label>" + std::string(kTemplateBytes, static_cast<char>('a' + n % 26)) + "</Label>";
}

// The child: uploads templates 1 to 4 over and over until it is killed.
[[noreturn]] void UploadForever(const std::string& devices) {
  auto host = std::make_shared<testing::FakeEquipmentManager>();
  host->properties["DevicesFolder"] = devices;
  auto printer = CreateObject<TBaseLabelPrinter>();
  testing::InitAndOpen(*printer, host, "P1");
  for (int n = 0;; ++n) {
    testing::CallPublic(*printer, "UploadTemplate",
                        VariantArray::Vector({Variant(1 + n % 4), Variant("d" + std::to_string(n)),
                                              Variant(TemplateData(n))}));
    host->calls.clear();
  }
}

void SleepMicroseconds(long us) {
  timespec pause{us / 1000000, (us % 1000000) * 1000};
  nanosleep(&pause, nullptr);
}

TEST(TemplateKillTest, AProcessKilledDuringUploadsLeavesAWholeFile) {
  testing::TempDir devices;
  std::filesystem::create_directory(std::filesystem::u8path(devices.File("P1")));
  const std::string file_name = devices.File("P1") + "/templates";
  int whole_files = 0;
  for (int kill_round = 0; kill_round < 12; ++kill_round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) UploadForever(devices.path());
    // Let it write for a while that differs from round to round, then kill it mid-work.
    for (int waited = 0; waited < 2000 && !platform::FileExists(file_name); ++waited)
      SleepMicroseconds(1000);
    SleepMicroseconds(1000L * (1 + kill_round * 3));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << kill_round;

    ASSERT_TRUE(platform::FileExists(file_name)) << "round " << kill_round;
    TTemplatesList on_disk;
    ASSERT_NO_THROW(on_disk.Load(devices.File("P1"))) << "round " << kill_round;
    ASSERT_GE(on_disk.Count(), 1) << "round " << kill_round;
    for (int i = 0; i < on_disk.Count(); ++i) {
      const std::string& data = on_disk.Items(i).Data();
      ASSERT_EQ(data.size(), kTemplateBytes + 15u) << "round " << kill_round;
      const char c = data[7];
      EXPECT_EQ(data, "<Label>" + std::string(kTemplateBytes, c) + "</Label>")
          << "round " << kill_round << ", template " << on_disk.Items(i).Number();
    }
    ++whole_files;
  }
  EXPECT_EQ(whole_files, 12);
}

}  // namespace
}  // namespace pirell
