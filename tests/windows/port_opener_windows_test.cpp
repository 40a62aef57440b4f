#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/port_opener.h"
#include "platform/windows/wide.h"
#include "support/temp_dir.h"

namespace pirell::platform {
namespace {

TEST(PortOpenerWindowsTest, APortTheMachineLacksCannotBeHad) {
  EXPECT_FALSE(SystemPortOpener().TryOpenPort("LPT200"));
  EXPECT_FALSE(SystemPortOpener().TryOpenPort("COM250"));
}

// The probe opens "\\.\" + name, which reaches a file by its full path as well: a file stands
// in for a port to show that a port somebody holds is busy and is free again once let go.
TEST(PortOpenerWindowsTest, AHeldPortIsBusyAndFreeOnceReleased) {
  testing::TempDir folder;
  const std::string file = folder.File("port");
  std::ofstream(Widen(file).c_str()) << "x";
  ASSERT_TRUE(SystemPortOpener().TryOpenPort(file));
  // The probe closed the port again: it can be had a second time.
  ASSERT_TRUE(SystemPortOpener().TryOpenPort(file));

  const HANDLE holder =
      CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(SystemPortOpener().TryOpenPort(file));
  CloseHandle(holder);
  EXPECT_TRUE(SystemPortOpener().TryOpenPort(file));
}

}  // namespace
}  // namespace pirell::platform
