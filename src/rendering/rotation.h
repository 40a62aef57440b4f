#pragma once

#include <cstdint>

namespace pirell {

// Quarter turns of a label field, clockwise.
enum TRotation : std::uint8_t { r0, r90, r180, r270 };

}  // namespace pirell
