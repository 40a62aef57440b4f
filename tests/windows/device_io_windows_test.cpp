#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/files.h"
#include "ports/port_manager.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using testing::TempDir;

std::string FileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// A file stands in for the printer interface: it answers no status query and no comm timeouts,
// so the port writes it as a device without status.
TEST(WindowsPortManagerTest, UsbPortOpensAlwaysAndWritesTheJob) {
  TempDir folder;
  const std::string target = folder.File("usb-printer");
  TPortManager manager;
  manager.SetPortType(TPortType::ptUSB);
  manager.SetPortName(target);
  ASSERT_EQ(manager.OpenPort(), rc::Ok) << manager.LastErrorDescription();
  const std::string job("N\r\nA10,10,0,1,1,1,N,\"\xD6\xE5\xED\xE0\"\r\nP1\r\n");
  EXPECT_EQ(manager.WriteToPort(job), rc::Ok);
  manager.FlushBuffer();
  manager.ClosePort();
  EXPECT_EQ(FileContent(target), job);
}

TEST(WindowsPortManagerTest, ParallelPortMustExist) {
  TempDir folder;
  TPortManager manager;
  manager.SetPortType(TPortType::ptLPT);
  manager.SetPortName(folder.File("LPT9-missing"));
  EXPECT_EQ(manager.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(manager.LastErrorDescription(), platform::SystemErrorMessage(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(std::filesystem::exists(folder.File("LPT9-missing")));
}

TEST(WindowsPortManagerTest, ParallelPortIsExclusive) {
  TempDir folder;
  const std::string target = folder.File("parallel");
  std::ofstream(target).put('x');
  TPortManager first;
  TPortManager second;
  for (TPortManager* manager : {&first, &second}) {
    manager->SetPortType(TPortType::ptLPT);
    manager->SetPortName(target);
  }
  ASSERT_EQ(first.OpenPort(), rc::Ok) << first.LastErrorDescription();
  EXPECT_EQ(second.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(second.LastErrorDescription(), platform::SystemErrorMessage(ERROR_SHARING_VIOLATION));
  first.ClosePort();
  EXPECT_EQ(second.OpenPort(), rc::Ok);
}

}  // namespace
}  // namespace pirell
