#pragma once

#include <memory>

#include "driver_object/base_object.h"

namespace pirell {

// Makes the driver object that the driver's COM class hands to the host. Defined by the driver
// class itself.
std::shared_ptr<TBaseObject> CreateDriverObject();

}  // namespace pirell
