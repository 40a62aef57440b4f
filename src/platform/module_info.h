#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pirell::platform {

// Full path of the driver's own module file (the DLL or shared object, not the host process).
std::string ModuleFileName();

// Version numbers Major, Minor, Release and Build of the module file `file_name`, or of the
// driver's own module when it is empty. All four are 0 when the file has no version.
std::array<std::uint16_t, 4> ModuleFileVersion(const std::string& file_name = {});

}  // namespace pirell::platform
