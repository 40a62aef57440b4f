#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "com_server/com_class.h"

namespace pirell::com {

// Writes the standard registration of an in-process server for every class: the ProgID key with
// the description and the CLSID, and the CLSID key with the description, the server path
// `module_path`, the threading model "Apartment" and the ProgID. Writes to HKEY_CLASSES_ROOT, or
// to the user's own classes when that is not writable. SELFREG_E_CLASS on failure.
HRESULT RegisterClasses(std::span<const ComClassInfo> classes, const std::wstring& module_path);

// Removes what RegisterClasses wrote, from both places. A ProgID that now names another class is
// left alone.
HRESULT UnregisterClasses(std::span<const ComClassInfo> classes);

}  // namespace pirell::com
