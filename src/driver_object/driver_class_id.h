#pragma once

namespace pirell {

// The class identifier of the driver's COM class. Fixed for good: hosts find the driver by it,
// and the device information reports it as the model identifier.
constexpr char kDriverClassId[] = "51B0BFAF-D018-484B-91D5-6ED841398ECC";

// The name hosts create the driver by, and the description registered with it.
constexpr char kDriverProgId[] = "KestroEq.Pirell";
constexpr char kDriverDescription[] = "8.2 Equipment Driver 2.0";

}  // namespace pirell
