#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>

#include "com_server/com_ptr.h"
#include "driver_object/late_bound.h"

namespace pirell::com {

// The COM face of a portable late-bound object (the driver object, or an object the driver hands
// to the host): IUnknown, ISupportErrorInfo and IDispatch. Calls go straight to the portable
// object; no C++ exception leaves any of these methods.
class ComObject final : public IDispatch, public ISupportErrorInfo {
 public:
  // A new COM object around `object`, with one reference owned by the result.
  static ComPtr<IDispatch> Create(std::shared_ptr<LateBoundObject> object);

  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* arg_error) override;

 private:
  explicit ComObject(std::shared_ptr<LateBoundObject> object);
  ~ComObject();

  LONG references_ = 1;
  std::shared_ptr<LateBoundObject> object_;
};

}  // namespace pirell::com
