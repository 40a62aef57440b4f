#pragma once

#include <string>

namespace pirell::platform {

// A name that Windows takes for a device wherever it stands: "COM1", "nul.txt", "LPT2 ", or a
// path in the device namespace (\\.\...). Opening one is not harmless (a serial port raises its
// control lines, a pipe's server sees a client), so such names are refused before any opening.
bool NamesADevice(const std::string& path);

}  // namespace pirell::platform
