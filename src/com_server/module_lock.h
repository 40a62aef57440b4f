#pragma once

#include <windows.h>

#include <string>

namespace pirell::com {

// The module may be unloaded only while no object of it is alive and no client holds a lock
// (IClassFactory::LockServer). Every COM object of the module takes one lock for its lifetime.
void LockModule();
void UnlockModule();
long ModuleLockCount();

// The module's own handle, set when the DLL is loaded.
void SetModuleHandle(HMODULE module);
// Full path of the module file: of the handle set at load, or of the image that holds this code.
std::wstring ModulePath();

}  // namespace pirell::com
