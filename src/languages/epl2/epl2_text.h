#pragma once

#include <string_view>

#include "rendering/cmd_list.h"

namespace pirell {

// The field contents between double quotes, with backslashes doubled and double quotes escaped.
ByteString QuotedData(std::string_view bytes);
// Backslashes doubled, then double quotes preceded by a backslash.
ByteString EscapeData(std::string_view bytes);

}  // namespace pirell
