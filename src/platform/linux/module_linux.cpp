#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include "platform/module_info.h"

#ifndef PIRELL_VERSION_MAJOR
#error "The build must define PIRELL_VERSION_MAJOR, _MINOR, _RELEASE and _BUILD"
#endif

namespace pirell::platform {

std::string ModuleFileName() {
  // The object file that holds this very function: the driver's shared object when the driver
  // is loaded as one, the executable when it is linked in statically.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || !info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

std::array<std::uint16_t, 4> ModuleFileVersion(const std::string& file_name) {
  // ELF files carry no version resource: the driver's own module reports the numbers its build
  // embedded, any other file none.
  if (!file_name.empty() && file_name != ModuleFileName()) return {0, 0, 0, 0};
  return {PIRELL_VERSION_MAJOR, PIRELL_VERSION_MINOR, PIRELL_VERSION_RELEASE, PIRELL_VERSION_BUILD};
}

}  // namespace pirell::platform
