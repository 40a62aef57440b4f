// A process ended abruptly (TerminateProcess) at any step of a template file write leaves the
// previous file whole; a process that is not stopped leaves the new one.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "label_printer/templates_list.h"
#include "platform/windows/wide.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

// Runs the upload child and returns its exit code (or -1 when it did not start or end).
int RunUploadChild(const std::string& devices, char fill, int kill_at_step) {
  wchar_t module[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring program(module, length);
  program = program.substr(0, program.find_last_of(L'\\') + 1) + L"pirell_upload_child.exe";
  std::wstring command = L"\"" + program + L"\" \"" + platform::Widen(devices) + L"\" " +
                         std::wstring(1, static_cast<wchar_t>(fill));
  if (kill_at_step >= 0) command += L" " + std::to_wstring(kill_at_step);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

std::string StoredTemplate(const std::string& folder) {
  TTemplatesList on_disk;
  on_disk.Load(folder);
  return on_disk.Count() == 1 ? on_disk.Items(0).Data()
                              : std::string("count ") + std::to_string(on_disk.Count());
}

TEST(TemplateKillTest, AProcessEndedAtEveryStepOfTheWriteLeavesTheOldFile) {
  testing::TempDir devices;
  const std::string folder = devices.File("P1");
  std::filesystem::create_directory(std::filesystem::u8path(folder));
  ASSERT_EQ(RunUploadChild(devices.path(), 'a', -1), 0);
  const std::string before = "<Label>" + std::string(20000, 'a') + "</Label>";
  ASSERT_EQ(StoredTemplate(folder), before);
  // Steps: create, the writes of 4096 bytes, flush, close, rename.
  int step = 0;
  for (;; ++step) {
    const int code = RunUploadChild(devices.path(), 'b', step);
    if (code == 0) break;
    ASSERT_EQ(code, 9) << "step " << step;
    EXPECT_EQ(StoredTemplate(folder), before) << "killed at step " << step;
  }
  EXPECT_GE(step, 8);
  EXPECT_EQ(StoredTemplate(folder), "<Label>" + std::string(20000, 'b') + "</Label>");
  // The upload that went through cleared away the temporary files of the ended ones.
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder))) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "templates" || name == "templates.lock") << name;
  }
}

}  // namespace
}  // namespace pirell
