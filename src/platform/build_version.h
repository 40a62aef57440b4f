#pragma once

#include <cstdint>
#include <string>

namespace pirell {

// The four module version numbers Major.Minor.Release.Build this binary was built with. On
// Windows the module's version resource carries the same numbers; on Linux, which has no
// version resources, these are the module version.
struct BuildVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t release = 0;
  std::uint16_t build = 0;
};

BuildVersion CompiledBuildVersion();

// "Major.Minor.Release.Build", e.g. "1.0.0.1".
std::string FormatBuildVersion(const BuildVersion& version);

}  // namespace pirell
