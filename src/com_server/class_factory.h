#pragma once

#include <windows.h>

#include <objbase.h>

#include <span>

#include "com_server/com_class.h"
#include "com_server/com_ptr.h"

namespace pirell::com {

// Makes a new object of one class for every CreateInstance; aggregation is not supported.
class ClassFactory final : public IClassFactory {
 public:
  static ComPtr<IClassFactory> Create(const ComClassInfo& info);

  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  explicit ClassFactory(const ComClassInfo& info) : info_(info) {}
  ~ClassFactory() = default;

  LONG references_ = 1;
  const ComClassInfo& info_;
};

// The class identifier of `info` as a CLSID; false when its text is not a GUID.
bool ParseClassId(const char* text, CLSID& out);

// DllGetClassObject for the classes `classes`: the factory of the class `clsid`, or
// CLASS_E_CLASSNOTAVAILABLE.
HRESULT GetClassObject(std::span<const ComClassInfo> classes, REFCLSID clsid, REFIID iid,
                       void** out) noexcept;

}  // namespace pirell::com
