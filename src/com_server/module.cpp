// Entry points of an in-process COM server. Linked into each server DLL together with the
// definition of ModuleClasses() that names the classes of that DLL.

#include <windows.h>

#include <objbase.h>
#include <olectl.h>

#include "com_server/class_factory.h"
#include "com_server/com_class.h"
#include "com_server/module_lock.h"
#include "com_server/registration.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  // Thread notifications stay on: the statically linked C runtime needs them.
  if (reason == DLL_PROCESS_ATTACH) pirell::com::SetModuleHandle(instance);
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return pirell::com::GetClassObject(pirell::com::ModuleClasses(), clsid, iid, out);
}

STDAPI DllCanUnloadNow() {
  return pirell::com::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  try {
    return pirell::com::RegisterClasses(pirell::com::ModuleClasses(), pirell::com::ModulePath());
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

STDAPI DllUnregisterServer() {
  return pirell::com::UnregisterClasses(pirell::com::ModuleClasses());
}
