// A process killed (SIGKILL) while it uploads templates leaves a template file that reads whole:
// the content before or after some upload, never a mix or a cut. The process is killed at every
// step of the file write in turn, and at moments chosen by the clock.

#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "label_printer/base_label_printer.h"
#include "platform/files.h"
#include "support/failing_file_writer.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

constexpr std::size_t kTemplateBytes = 50000;

// Template n: one character repeated, so that a file cut or mixed anywhere shows.
std::string TemplateData(int n) {
  return "<Label>" + std::string(kTemplateBytes, static_cast<char>('a' + n % 26)) + "</Label>";
}

class TemplateKillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(std::filesystem::u8path(devices.File("P1")));
  }

  // In a child process: makes a printer and runs `work` with it, then exits.
  [[noreturn]] void RunPrinter(const std::function<void(TBaseLabelPrinter&)>& work) {
    auto host = std::make_shared<testing::FakeEquipmentManager>();
    host->properties["DevicesFolder"] = devices.path();
    auto printer = CreateObject<TBaseLabelPrinter>();
    testing::InitAndOpen(*printer, host, "P1");
    work(*printer);
    _exit(0);
  }

  // Runs `work` with a printer in a child process and returns how the child ended.
  int InChild(const std::function<void(TBaseLabelPrinter&)>& work) {
    const pid_t child = fork();
    if (child == 0) RunPrinter(work);
    int status = -1;
    if (child > 0) waitpid(child, &status, 0);
    return status;
  }

  static void Upload(TBaseLabelPrinter& printer, int n) {
    testing::CallPublic(printer, "UploadTemplate",
                        VariantArray::Vector({Variant(1 + n % 4), Variant("d" + std::to_string(n)),
                                              Variant(TemplateData(n))}));
  }

  // The template file reads, and every template in it is whole. Returns the data of template 1.
  std::string ExpectWholeFile(const std::string& context) {
    TTemplatesList on_disk;
    EXPECT_NO_THROW(on_disk.Load(devices.File("P1"))) << context;
    EXPECT_GE(on_disk.Count(), 1) << context;
    for (int i = 0; i < on_disk.Count(); ++i) {
      const std::string& data = on_disk.Items(i).Data();
      EXPECT_EQ(data.size(), kTemplateBytes + 15) << context;
      if (data.size() != kTemplateBytes + 15) continue;
      EXPECT_EQ(data, "<Label>" + std::string(kTemplateBytes, data[7]) + "</Label>")
          << context << ", template " << on_disk.Items(i).Number();
    }
    return on_disk.Count() > 0 ? on_disk.Items(0).Data() : std::string();
  }

  testing::TempDir devices;
};

TEST_F(TemplateKillTest, KilledAtEveryStepOfTheWriteTheFileKeepsItsOldContent) {
  ASSERT_EQ(InChild([](TBaseLabelPrinter& printer) { Upload(printer, 0); }), 0);
  const std::string before = ExpectWholeFile("first upload");
  ASSERT_EQ(before, TemplateData(0));
  for (int step = 0;; ++step) {
    const std::string context = "killed at step " + std::to_string(step);
    const int status = InChild([step](TBaseLabelPrinter& printer) {
      testing::FailingFileWriter writer;
      writer.fail_at = step;
      writer.at_failing_step = [] { kill(getpid(), SIGKILL); };
      platform::ScopedFileWriter scope(writer);
      Upload(printer, 4);  // template 1 again, other characters
    });
    if (WIFEXITED(status)) {
      // The upload had fewer steps: it went through, and the file holds the new template.
      EXPECT_EQ(ExpectWholeFile("no kill"), TemplateData(4));
      EXPECT_GE(step, 5) << "the upload wrote in fewer steps than expected";
      break;
    }
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << context;
    EXPECT_EQ(ExpectWholeFile(context), before) << context;
  }
}

TEST_F(TemplateKillTest, ProcessesUploadingAtOnceIntoOneFolderLoseNoTemplate) {
  constexpr int kProcesses = 5, kUploadsEach = 4;
  // The children wait on a pipe and start together when it is closed.
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(start[1]);
      char byte;
      while (read(start[0], &byte, 1) < 0 && errno == EINTR) {
      }
      RunPrinter([p](TBaseLabelPrinter& printer) {
        for (int j = 0; j < kUploadsEach; ++j) {
          const int n = p * kUploadsEach + j;
          testing::CallPublic(
              printer, "UploadTemplate",
              VariantArray::Vector({Variant(100 + n), Variant("d"), Variant(TemplateData(n))}));
        }
      });
    }
    children.push_back(child);
  }
  close(start[0]);
  close(start[1]);
  for (const pid_t child : children) {
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  TTemplatesList on_disk;
  on_disk.Load(devices.File("P1"));
  EXPECT_EQ(on_disk.Count(), kProcesses * kUploadsEach);
  ExpectWholeFile("after the uploads");
}

TEST_F(TemplateKillTest, KilledAtAnyMomentOfRepeatedUploadsTheFileReadsWhole) {
  for (int round = 0; round < 10; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RunPrinter([](TBaseLabelPrinter& printer) {
        for (int n = 0;; ++n) Upload(printer, n);
      });
    }
    // Let it write for a time that differs from round to round, then kill it mid-work.
    const std::string file_name = devices.File("P1") + "/templates";
    for (int waited = 0; waited < 2000 && !platform::FileExists(file_name); ++waited) {
      timespec pause{0, 1000000};
      nanosleep(&pause, nullptr);
    }
    timespec pause{0, 1000000L * (1 + round * 3)};
    nanosleep(&pause, nullptr);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    waitpid(child, nullptr, 0);
    ExpectWholeFile("round " + std::to_string(round));
  }
  // The next upload clears away the temporary files the killed writers left.
  ASSERT_EQ(InChild([](TBaseLabelPrinter& printer) { Upload(printer, 0); }), 0);
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::u8path(devices.File("P1")))) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "templates" || name == "templates.lock") << name;
  }
}

}  // namespace
}  // namespace pirell
