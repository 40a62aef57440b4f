// The driver module as a shared object: when it loads it fills the printer registry and
// registers the driver class under its ProgID, as the Windows module registers its class
// factory with COM.

#include "driver_object/class_registry.h"
#include "driver_object/driver_class_id.h"
#include "driver_object/driver_factory.h"
#include "rendering/printer_registry.h"

namespace pirell {
namespace {

std::shared_ptr<LateBoundObject> CreateDriver() {
  return CreateDriverObject();
}

struct ModuleRegistration {
  ModuleRegistration() {
    RegisterBuiltinPrinters();
    RegisterOleClass({kDriverProgId, kDriverClassId, kDriverDescription, &CreateDriver});
  }
};

const ModuleRegistration registration;

}  // namespace
}  // namespace pirell
