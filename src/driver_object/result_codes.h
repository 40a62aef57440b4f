#pragma once

#include <string>

#include "common/result_code.h"

namespace pirell {

// `text` when it is not empty; otherwise the message of `code`, or the message of 1001 for a code
// that has none.
std::string ResultCodeText(ResultCode code, const std::string& text);

// The text of a result of the label printer's own operations: the message of the code (the
// driver's range included), then a line break and `detail` when there is one.
std::string DriverResultText(ResultCode code, const std::string& detail);

}  // namespace pirell
