// The class the driver DLL serves.

#include "com_server/com_class.h"
#include "driver_object/driver_class_id.h"
#include "driver_object/driver_factory.h"

namespace pirell::com {

std::span<const ComClassInfo> ModuleClasses() {
  static const ComClassInfo kClasses[] = {
      {kDriverClassId, kDriverProgId, kDriverDescription, &CreateDriverObject},
  };
  return kClasses;
}

}  // namespace pirell::com
