#include "com_server/com_dispatch_object.h"

#include <windows.h>

#include <dispex.h>

#include <string>
#include <vector>

#include "com_server/com_holders.h"
#include "com_server/variant_conversion.h"
#include "platform/windows/wide.h"

namespace pirell::com {
namespace {

// Owns the texts an exception record comes back with.
struct ExcepInfoHolder {
  EXCEPINFO info{};
  ExcepInfoHolder() = default;
  ExcepInfoHolder(const ExcepInfoHolder&) = delete;
  ExcepInfoHolder& operator=(const ExcepInfoHolder&) = delete;
  ~ExcepInfoHolder() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
};

void CopyException(ExcepInfoHolder& holder, ExceptionInfo& out) {
  EXCEPINFO& info = holder.info;
  // The object may leave the texts to be filled only when somebody asks for them.
  if (info.pfnDeferredFillIn) {
    auto fill = info.pfnDeferredFillIn;
    info.pfnDeferredFillIn = nullptr;
    fill(&info);
  }
  out.scode = info.scode != 0 ? info.scode : info.wCode;
  out.description = BstrToUtf8(info.bstrDescription);
  out.source = BstrToUtf8(info.bstrSource);
}

}  // namespace

ComDispatchObject::ComDispatchObject(IDispatch* object) : dispatch_(object) {}

ComDispatchObject::ComDispatchObject(ComPtr<IUnknown> unknown, ComPtr<IDispatch> dispatch)
    : dispatch_(std::move(dispatch)) {
  if (!dispatch_) unknown_ = std::move(unknown);
}

std::shared_ptr<ComDispatchObject> ComDispatchObject::FromUnknown(IUnknown* object) {
  ComPtr<IUnknown> unknown(object);
  ComPtr<IDispatch> dispatch = unknown.Query<IDispatch>(IID_IDispatch);
  return std::make_shared<ComDispatchObject>(std::move(unknown), std::move(dispatch));
}

HResult ComDispatchObject::GetIDsOfNames(std::string_view name, DispId& id) {
  id = DISPID_UNKNOWN;
  if (!dispatch_) return E_NOINTERFACE;
  std::wstring wide = platform::Widen(name);
  LPOLESTR names[] = {wide.data()};
  DISPID found = DISPID_UNKNOWN;
  HRESULT status = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found);
  if (FAILED(status)) {
    ComPtr<IDispatchEx> extended = dispatch_.Query<IDispatchEx>(__uuidof(IDispatchEx));
    if (extended) {
      BstrHolder text(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
      if (!text.get()) return E_OUTOFMEMORY;
      found = DISPID_UNKNOWN;
      const HRESULT by_name = extended->GetDispID(text.get(), fdexNameCaseInsensitive, &found);
      if (SUCCEEDED(by_name)) status = by_name;
    }
  }
  if (SUCCEEDED(status)) id = found;
  return status;
}

HResult ComDispatchObject::Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args,
                                  Variant* result, ExceptionInfo* exception) {
  if (!dispatch_) return E_NOINTERFACE;
  const std::size_t count = args.Count();
  // values[i] holds argument i; the block lists references to them last argument first.
  std::vector<VariantHolder> values(count);
  std::vector<VARIANT> refs(count);
  for (std::size_t i = 0; i < count; ++i) {
    ToComVariant(args.Read(i), *values[i]);
    VARIANT& ref = refs[count - 1 - i];
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = values[i].get();
  }
  DISPPARAMS params{};
  params.rgvarg = refs.empty() ? nullptr : refs.data();
  params.cArgs = static_cast<UINT>(count);

  VariantHolder com_result;
  ExcepInfoHolder info;
  UINT arg_error = 0;
  const HRESULT status = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                           com_result.get(), &info.info, &arg_error);
  if (status == DISP_E_EXCEPTION && exception) CopyException(info, *exception);
  if (FAILED(status)) return status;

  for (std::size_t i = 0; i < count; ++i) args.WriteBack(i, FromComVariant(*values[i]));
  if (result) *result = FromComVariant(*com_result);
  return status;
}

}  // namespace pirell::com
