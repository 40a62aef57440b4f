#pragma once

namespace pirell {

// The class identifier of the driver's COM class. Fixed for good: hosts find the driver by it,
// and the device information reports it as the model identifier.
constexpr char kDriverClassId[] = "51B0BFAF-D018-484B-91D5-6ED841398ECC";

}  // namespace pirell
