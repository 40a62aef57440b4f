#include <objbase.h>
#include <windows.h>

#include <cstdio>

#include "platform/guid.h"

namespace pirell::platform {

std::string NewGuidText() {
  GUID g{};
  if (FAILED(CoCreateGuid(&g))) return "{00000000-0000-0000-0000-000000000000}";
  char text[39];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

}  // namespace pirell::platform
