#include "driver_object/class_registry.h"

#include <vector>

#include "common/errors.h"
#include "common/module_strings.h"

namespace pirell {
namespace {

bool SameAsciiIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char ca = a[i], cb = b[i];
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca + 32);
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb + 32);
    if (ca != cb) return false;
  }
  return true;
}

std::vector<ClassRegistration>& Registry() {
  static std::vector<ClassRegistration> registry;
  return registry;
}

}  // namespace

void RegisterOleClass(const ClassRegistration& registration) {
  for (ClassRegistration& existing : Registry()) {
    if (SameAsciiIgnoreCase(existing.prog_id, registration.prog_id)) {
      existing = registration;
      return;
    }
  }
  Registry().push_back(registration);
}

const ClassRegistration* FindOleClass(std::string_view prog_id) {
  for (const ClassRegistration& existing : Registry())
    if (SameAsciiIgnoreCase(existing.prog_id, prog_id)) return &existing;
  return nullptr;
}

std::shared_ptr<LateBoundObject> CreateOleObject(std::string_view prog_id) {
  const ClassRegistration* registration = FindOleClass(prog_id);
  if (!registration || !registration->factory)
    throw Error(ModuleText(StringId::ClassStringInvalid, {prog_id}), "EOleSysError");
  return registration->factory();
}

}  // namespace pirell
