#pragma once

// Helpers for the Windows tests of the COM binding: an apartment for the test's thread and a
// hand-written host object like the ones scripts hand to the driver.

#include <windows.h>

#include <dispex.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace pirell::test {

// Joins the test's thread to a single-threaded apartment for the test's lifetime.
class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }

 private:
  bool initialized_;
};

// A host object with a few methods, answering IDispatch and IDispatchEx. Like a script's class
// object under some runtimes it can refuse IDispatch::GetIDsOfNames and resolve names only through
// IDispatchEx::GetDispID. It lives on the test's stack and counts the references taken on it.
//
//   Twice(ByRef number, ByRef text)  doubles number, appends "!" to text, returns "done"
//   Fail()                           fails with an exception record
//   FailLater()                      fails with a record whose texts are filled in on request
class FakeHostObject : public IDispatchEx {
 public:
  static constexpr DISPID kTwice = 11;
  static constexpr DISPID kFail = 12;
  static constexpr DISPID kFailLater = 13;

  bool answers_get_ids_of_names = true;
  LONG references = 1;
  int calls = 0;
  WORD last_flags = 0;
  std::vector<VARTYPE> last_arg_types;  // in the caller's order

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, __uuidof(IDispatchEx))) {
      *out = static_cast<IDispatchEx*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* ids) override {
    if (!answers_get_ids_of_names) return E_NOTIMPL;
    return Lookup(names[0], false, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    return Call(id, flags, params, result, exception);
  }

  HRESULT STDMETHODCALLTYPE GetDispID(BSTR name, DWORD flags, DISPID* id) override {
    return Lookup(name, (flags & fdexNameCaseInsensitive) != 0, id);
  }
  HRESULT STDMETHODCALLTYPE InvokeEx(DISPID id, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     IServiceProvider*) override {
    return Call(id, flags, params, result, exception);
  }
  HRESULT STDMETHODCALLTYPE DeleteMemberByName(BSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteMemberByDispID(DISPID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMemberProperties(DISPID, DWORD, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMemberName(DISPID, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNextDispID(DWORD, DISPID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNameSpaceParent(IUnknown**) override { return E_NOTIMPL; }

 private:
  static HRESULT Lookup(const wchar_t* name, bool ignore_case, DISPID* id) {
    static const struct {
      const wchar_t* name;
      DISPID id;
    } kMembers[] = {{L"Twice", kTwice}, {L"Fail", kFail}, {L"FailLater", kFailLater}};
    for (const auto& member : kMembers) {
      const bool same = ignore_case
                            ? CompareStringOrdinal(member.name, -1, name, -1, TRUE) == CSTR_EQUAL
                            : std::wstring(member.name) == name;
      if (same) {
        *id = member.id;
        return S_OK;
      }
    }
    *id = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }

  static HRESULT STDMETHODCALLTYPE FillLater(EXCEPINFO* info) {
    info->scode = static_cast<SCODE>(0x800A0005);
    info->bstrDescription = SysAllocString(L"filled in later");
    info->bstrSource = SysAllocString(L"FakeHost");
    return S_OK;
  }

  // The variant a reference argument ends at.
  static VARIANT* Target(VARIANT* arg) {
    while (arg->vt == (VT_BYREF | VT_VARIANT)) arg = arg->pvarVal;
    return arg;
  }

  HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception) {
    ++calls;
    last_flags = flags;
    last_arg_types.clear();
    for (UINT i = params->cArgs; i-- > 0;) last_arg_types.push_back(params->rgvarg[i].vt);
    switch (id) {
      case kTwice: {
        if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        VARIANT* number = Target(&params->rgvarg[1]);
        VARIANT* text = Target(&params->rgvarg[0]);
        if (FAILED(VariantChangeType(number, number, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
        number->lVal *= 2;
        if (FAILED(VariantChangeType(text, text, 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
        const std::wstring appended = std::wstring(text->bstrVal) + L"!";
        VariantClear(text);
        text->vt = VT_BSTR;
        text->bstrVal = SysAllocString(appended.c_str());
        if (result) {
          result->vt = VT_BSTR;
          result->bstrVal = SysAllocString(L"done");
        }
        return S_OK;
      }
      case kFail:
        if (exception) {
          exception->scode = static_cast<SCODE>(0x800A0009);
          exception->bstrDescription = SysAllocString(L"Хост отказал");
          exception->bstrSource = SysAllocString(L"FakeHost");
        }
        return DISP_E_EXCEPTION;
      case kFailLater:
        if (exception) exception->pfnDeferredFillIn = &FillLater;
        return DISP_E_EXCEPTION;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }
};

}  // namespace pirell::test
