#include <gtest/gtest.h>

#include <string>

#include "platform/module_info.h"

namespace pirell::platform {
namespace {

std::string Joined(const std::array<std::uint16_t, 4>& version) {
  return std::to_string(version[0]) + '.' + std::to_string(version[1]) + '.' +
         std::to_string(version[2]) + '.' + std::to_string(version[3]);
}

// The module version comes from the project version: embedded at compile time on Linux, read
// from the module's generated version resource on Windows.
TEST(ModuleVersionTest, OwnModuleReportsTheProjectVersion) {
  EXPECT_EQ(Joined(ModuleFileVersion()), PIRELL_PROJECT_VERSION);
  EXPECT_EQ(Joined(ModuleFileVersion(ModuleFileName())), PIRELL_PROJECT_VERSION);
}

TEST(ModuleVersionTest, FileWithoutVersionReportsZeros) {
  EXPECT_EQ(Joined(ModuleFileVersion(PIRELL_SOURCE_DIR "/CMakeLists.txt")), "0.0.0.0");
}

}  // namespace
}  // namespace pirell::platform
