#pragma once

#include <string>
#include <string_view>

#include "common/module_strings.h"
#include "platform/device_io.h"

namespace pirell {

// A port failure's detail: the module's text of `id`, then ": " and `what` when there is one.
std::string PortDetail(StringId id, std::string_view what);

// The detail of a failed open of the port named `name`: why it was refused, followed by the name,
// or the system's own words.
std::string OpenFailureText(platform::DeviceIo& device_io, const platform::DeviceOpenResult& opened,
                            const std::string& name);

}  // namespace pirell
