#include "platform/build_version.h"

#include <gtest/gtest.h>

namespace pirell {
namespace {

TEST(BuildVersionTest, MatchesTheProjectVersion) {
  // PIRELL_PROJECT_VERSION is the version string CMake was configured with.
  EXPECT_EQ(FormatBuildVersion(CompiledBuildVersion()), PIRELL_PROJECT_VERSION);
}

TEST(BuildVersionTest, FormatsAllFourNumbersInOrder) {
  EXPECT_EQ(FormatBuildVersion({2, 3, 0, 7}), "2.3.0.7");
  EXPECT_EQ(FormatBuildVersion({65535, 0, 65535, 1}), "65535.0.65535.1");
}

}  // namespace
}  // namespace pirell
