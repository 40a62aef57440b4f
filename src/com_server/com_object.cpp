#include "com_server/com_object.h"

#include <new>
#include <string>

#include "com_server/com_holders.h"
#include "com_server/dispparams_arguments.h"
#include "com_server/module_lock.h"
#include "com_server/variant_conversion.h"
#include "common/errors.h"
#include "common/module_strings.h"
#include "driver_object/result_codes.h"

namespace pirell::com {
namespace {

// Never raises: it runs inside the handlers that keep exceptions from crossing the boundary.
BSTR TryBstr(const std::string& text) noexcept {
  try {
    return Utf8ToBstr(text);
  } catch (...) {
    return nullptr;
  }
}

// Also hands the failure to clients that ask GetErrorInfo instead of reading the record.
void SetThreadErrorInfo(const ExceptionInfo& info) noexcept {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.Put()))) return;
  BstrHolder description(TryBstr(info.description));
  BstrHolder source(TryBstr(info.source));
  create->SetGUID(IID_IDispatch);
  create->SetDescription(description.get());
  create->SetSource(source.get());
  ComPtr<IErrorInfo> error = create.Query<IErrorInfo>(IID_IErrorInfo);
  if (error) SetErrorInfo(0, error.Get());
}

HRESULT ReportException(const ExceptionInfo& info, EXCEPINFO* exception) noexcept {
  if (exception) {
    exception->scode = info.scode;
    exception->bstrDescription = TryBstr(info.description);
    exception->bstrSource = TryBstr(info.source);
  }
  SetThreadErrorInfo(info);
  return DISP_E_EXCEPTION;
}

// A failure that escaped the portable object, reported the way the object reports its own.
HRESULT ReportFailure(const char* message, const char* type_name, EXCEPINFO* exception) noexcept {
  try {
    ExceptionInfo info;
    info.scode = rc::Unknown;
    info.description = message;
    info.source = type_name;
    return ReportException(info, exception);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace

ComPtr<IDispatch> ComObject::Create(std::shared_ptr<LateBoundObject> object) {
  // The object owns itself through its reference count and is deleted in its last Release.
  return ComPtr<IDispatch>::Attach(new ComObject(std::move(object)));
}

ComObject::ComObject(std::shared_ptr<LateBoundObject> object) : object_(std::move(object)) {
  LockModule();
}

ComObject::~ComObject() {
  UnlockModule();
}

HRESULT ComObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
  } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ComObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG ComObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ComObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID_IDispatch) ? S_OK : S_FALSE;
}

HRESULT ComObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ComObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT ComObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  try {
    DispId id = DISPID_UNKNOWN;
    const HResult status = object_->GetIDsOfNames(WideToUtf8(names[0]), id);
    ids[0] = id;
    return status;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT ComObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* exception, UINT*) {
  // A handler may make the host drop its last reference to us; the object stays for the call.
  const std::shared_ptr<LateBoundObject> object = object_;
  try {
    DispParamsArguments args(params);
    Variant portable_result;
    ExceptionInfo info;
    const HResult status =
        object->Invoke(id, flags, args, result ? &portable_result : nullptr, &info);
    if (status == DISP_E_EXCEPTION) return ReportException(info, exception);
    if (SUCCEEDED(status) && result) {
      VariantHolder converted;
      ToComVariant(portable_result, *converted);
      // The caller's result slot is written, not cleared: it may hold uninitialised memory.
      *result = converted.Detach();
    }
    return status;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const Error& e) {
    return ReportFailure(e.what(), e.TypeName().c_str(), exception);
  } catch (const std::exception&) {
    // The standard library's own texts are English; the host reads Russian.
    return ReportFailure(ModuleText(StringId::InternalError).c_str(), "Exception", exception);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace pirell::com
