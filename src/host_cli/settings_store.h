#pragma once

#include <string>
#include <utility>
#include <vector>

#include "driver_object/variant.h"

namespace pirell::cli {

// The host keeps the driver's settings: the driver stores none on disk. This host keeps the
// values of the table it last read with "GetSettings" in a text file of the device folder, one
// row a line: ID, a tab, the value's type code, a tab, the value (tabs, line breaks and
// backslashes escaped).
using StoredSettings = std::vector<std::pair<std::string, Variant>>;

// The file of the device folder that holds them.
inline constexpr char kHostSettingsFile[] = "host-settings";

StoredSettings LoadSettings(const std::string& path);
void SaveSettings(const std::string& path, const StoredSettings& settings);

}  // namespace pirell::cli
