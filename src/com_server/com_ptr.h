#pragma once

// The COM server uses the platform layer's owner of COM references.

#include "platform/windows/com_ptr.h"

namespace pirell::com {

using platform::ComPtr;

}  // namespace pirell::com
