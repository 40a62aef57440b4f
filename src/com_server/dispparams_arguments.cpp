#include "com_server/dispparams_arguments.h"

#include "com_server/com_holders.h"
#include "com_server/variant_conversion.h"
#include "common/errors.h"
#include "common/module_strings.h"
#include "driver_object/result_codes.h"

namespace pirell::com {
namespace {

constexpr int kMaxChain = 64;
constexpr VARTYPE kRefToVariant = VT_BYREF | VT_VARIANT;

[[noreturn]] void CannotStore() {
  throw Error(ResultCodeText(rc::BadParameters, ""));
}

// Stores `value` through the typed reference `dst` (VT_BYREF with a scalar type).
void StoreThroughReference(VARIANT& dst, const Variant& value) {
  const VARTYPE ref_type = static_cast<VARTYPE>(dst.vt & ~VT_BYREF);
  // CoerceForReference knows scalar types only; an array reference must not reach it.
  if (!dst.byref || (ref_type & ~VT_TYPEMASK) != 0) CannotStore();
  const Variant coerced = CoerceForReference(value, ref_type);
  switch (ref_type) {
    case VT_I2:
      *dst.piVal = static_cast<SHORT>(coerced.RawInteger());
      break;
    case VT_UI2:
      *dst.puiVal = static_cast<USHORT>(coerced.RawInteger());
      break;
    case VT_I4:
      *dst.plVal = static_cast<LONG>(coerced.RawInteger());
      break;
    case VT_UI4:
      *dst.pulVal = static_cast<ULONG>(coerced.RawInteger());
      break;
    case VT_R4:
      *dst.pfltVal = static_cast<FLOAT>(coerced.RawDouble());
      break;
    case VT_R8:
      *dst.pdblVal = coerced.RawDouble();
      break;
    case VT_DATE:
      *dst.pdate = coerced.RawDouble();
      break;
    case VT_CY:
      dst.pcyVal->int64 = coerced.RawInteger();
      break;
    case VT_BSTR: {
      BSTR text = Utf8ToBstr(coerced.RawString());
      SysFreeString(*dst.pbstrVal);
      *dst.pbstrVal = text;
      break;
    }
    case VT_DISPATCH: {
      // The new reference is taken before the old one goes, so storing the same object is safe.
      IDispatch* object = DispatchOf(coerced.Object()).Detach();
      if (*dst.ppdispVal) (*dst.ppdispVal)->Release();
      *dst.ppdispVal = object;
      break;
    }
    case VT_BOOL:
      *dst.pboolVal = coerced.RawInteger() != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_UI1:
      *dst.pbVal = static_cast<BYTE>(coerced.RawInteger());
      break;
    default:
      CannotStore();
  }
}

}  // namespace

std::size_t DispParamsArguments::Count() const {
  if (!params_ || !params_->rgvarg) return 0;
  return params_->cArgs;
}

VARIANT& DispParamsArguments::Slot(std::size_t index) const {
  const std::size_t count = Count();
  if (index >= count) throw ArrayError(ModuleText(StringId::ArrayIndexOutOfBounds));
  return params_->rgvarg[count - 1 - index];
}

Variant DispParamsArguments::Read(std::size_t index) const {
  Variant value = FromComVariant(Slot(index));
  if (value.Type() == varSmallint)
    value = Variant::Integer(static_cast<std::int32_t>(value.RawInteger()));
  return value;
}

void DispParamsArguments::WriteBack(std::size_t index, Variant value) {
  VARIANT* dst = &Slot(index);
  for (int depth = 0; dst->vt == kRefToVariant && dst->pvarVal; ++depth) {
    if (depth >= kMaxChain) CannotStore();
    dst = dst->pvarVal;
  }
  const Variant& src = value.Deref();
  if (!(dst->vt & VT_BYREF)) {
    // Convert first: a failed conversion leaves the caller's value as it was.
    VariantHolder converted;
    ToComVariant(src, *converted);
    VariantClear(dst);
    *dst = converted.Detach();
    return;
  }
  if (dst->vt == kRefToVariant) CannotStore();  // a reference to a variant that is not there
  StoreThroughReference(*dst, src);
}

}  // namespace pirell::com
