#include "com_server/class_factory.h"

#include <new>
#include <string>

#include "com_server/com_object.h"
#include "com_server/module_lock.h"
#include "platform/windows/wide.h"

namespace pirell::com {

ComPtr<IClassFactory> ClassFactory::Create(const ComClassInfo& info) {
  // Owns itself through its reference count, like every COM object.
  return ComPtr<IClassFactory>::Attach(new ClassFactory(info));
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG ClassFactory::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  try {
    std::shared_ptr<TBaseObject> object = info_.create();
    if (!object) return E_OUTOFMEMORY;
    ComPtr<IDispatch> com_object = ComObject::Create(std::move(object));
    return com_object->QueryInterface(iid, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock)
    LockModule();
  else
    UnlockModule();
  return S_OK;
}

bool ParseClassId(const char* text, CLSID& out) {
  try {
    std::wstring braced = L"{" + platform::Widen(text ? text : "") + L"}";
    return SUCCEEDED(CLSIDFromString(braced.data(), &out));
  } catch (...) {
    return false;
  }
}

HRESULT GetClassObject(std::span<const ComClassInfo> classes, REFCLSID clsid, REFIID iid,
                       void** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const ComClassInfo& info : classes) {
    CLSID candidate{};
    if (!ParseClassId(info.class_id, candidate) || !IsEqualCLSID(candidate, clsid)) continue;
    try {
      ComPtr<IClassFactory> factory = ClassFactory::Create(info);
      return factory->QueryInterface(iid, out);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace pirell::com
