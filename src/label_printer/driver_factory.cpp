#include "driver_object/driver_factory.h"

#include "label_printer/driver.h"

namespace pirell {

std::shared_ptr<TBaseObject> CreateDriverObject() {
  return CreateObject<TDriver>();
}

}  // namespace pirell
