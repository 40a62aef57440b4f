#pragma once

#include <memory>
#include <span>

#include "driver_object/base_object.h"

namespace pirell::com {

// One class a module serves: its identity in the registry and the function that makes its
// objects.
struct ComClassInfo {
  const char* class_id;  // GUID text without braces
  const char* prog_id;
  const char* description;
  std::shared_ptr<TBaseObject> (*create)();
};

// The classes of the module being built. Each DLL defines it once: the driver DLL with the
// driver's class, the test server with its test class.
std::span<const ComClassInfo> ModuleClasses();

}  // namespace pirell::com
