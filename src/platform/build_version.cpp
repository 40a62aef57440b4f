#include "platform/build_version.h"

#include <limits>

#if !defined(PIRELL_VERSION_MAJOR) || !defined(PIRELL_VERSION_MINOR) || \
    !defined(PIRELL_VERSION_RELEASE) || !defined(PIRELL_VERSION_BUILD)
#error "The build must define PIRELL_VERSION_MAJOR, _MINOR, _RELEASE and _BUILD"
#endif

namespace pirell {
namespace {

// A version resource holds each number in 16 bits; a project version that does not fit must
// stop the build rather than be reported truncated.
constexpr bool FitsVersionPart(long long value) {
  return value >= 0 && value <= std::numeric_limits<std::uint16_t>::max();
}
static_assert(FitsVersionPart(PIRELL_VERSION_MAJOR) && FitsVersionPart(PIRELL_VERSION_MINOR) &&
                  FitsVersionPart(PIRELL_VERSION_RELEASE) && FitsVersionPart(PIRELL_VERSION_BUILD),
              "each version number must be in 0..65535");

}  // namespace

BuildVersion CompiledBuildVersion() {
  return {PIRELL_VERSION_MAJOR, PIRELL_VERSION_MINOR, PIRELL_VERSION_RELEASE, PIRELL_VERSION_BUILD};
}

std::string FormatBuildVersion(const BuildVersion& version) {
  return std::to_string(version.major) + '.' + std::to_string(version.minor) + '.' +
         std::to_string(version.release) + '.' + std::to_string(version.build);
}

}  // namespace pirell
