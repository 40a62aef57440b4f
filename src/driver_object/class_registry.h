#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "driver_object/late_bound.h"

namespace pirell {

// Where the system has no COM runtime, this registry stands in for class registration: a module
// registers its classes by ProgID when it loads, and a host creates objects by ProgID and then
// talks to them only by method name.
using ObjectFactory = std::shared_ptr<LateBoundObject> (*)();

struct ClassRegistration {
  std::string prog_id;
  std::string class_id;  // GUID text without braces
  std::string description;
  ObjectFactory factory = nullptr;
};

// Registers (or replaces) a class under its ProgID.
void RegisterOleClass(const ClassRegistration& registration);

// The registration of a ProgID (compared ignoring case, as ProgIDs are), or null.
const ClassRegistration* FindOleClass(std::string_view prog_id);

// A new object of the class registered under `prog_id`. Raises an Error "Invalid class string"
// when no class has that ProgID.
std::shared_ptr<LateBoundObject> CreateOleObject(std::string_view prog_id);

}  // namespace pirell
