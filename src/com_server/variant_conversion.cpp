#include "com_server/variant_conversion.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "com_server/com_dispatch_object.h"
#include "com_server/com_holders.h"
#include "com_server/com_object.h"
#include "common/errors.h"
#include "common/module_strings.h"
#include "platform/codepage.h"

namespace pirell::com {
namespace {

// References to references to ... are legal but never deep; a longer chain is a cycle.
constexpr int kMaxDepth = 64;

template <class T>
T Load(const void* storage) {
  T value;
  std::memcpy(&value, storage, sizeof value);
  return value;
}

[[noreturn]] void Unsupported(VARTYPE type) {
  char code[8];
  std::snprintf(code, sizeof code, "%04X", type);
  throw ConversionError(ModuleText(StringId::ValueTypeUnsupported, {code}));
}

Variant FromStorage(VARTYPE type, const void* storage, int depth);

Variant FromVariantAt(const VARIANT& v, int depth) {
  if (depth > kMaxDepth) throw ConversionError(ModuleText(StringId::ValueNestsTooDeeply));
  if (v.vt & VT_BYREF) {
    if (!v.byref) throw ConversionError(ModuleText(StringId::NullReference));
    return FromStorage(static_cast<VARTYPE>(v.vt & ~VT_BYREF), v.byref, depth);
  }
  // A variant cannot hold a variant by value; only arrays and references hold variants.
  if (v.vt == VT_VARIANT) Unsupported(v.vt);
  // A DECIMAL overlays the whole VARIANT; every other value sits in the union.
  if (v.vt == VT_DECIMAL) return FromStorage(VT_DECIMAL, &v.decVal, depth);
  return FromStorage(v.vt, &v.llVal, depth);
}

Variant FromSafeArray(SAFEARRAY* array, int depth) {
  if (!array) return Variant(VariantArray({}));
  VARTYPE element_type = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(array, &element_type))) Unsupported(VT_ARRAY);
  const UINT dims = SafeArrayGetDim(array);
  std::vector<ArrayBound> bounds(dims);
  for (UINT d = 0; d < dims; ++d) {
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, d + 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, d + 1, &upper)))
      throw ConversionError(ModuleText(StringId::ArrayUnreadable));
    const long long count = static_cast<long long>(upper) - lower + 1;
    if (count < 0 || count > std::numeric_limits<std::int32_t>::max())
      throw ConversionError(ModuleText(StringId::ArrayBoundsOutOfRange));
    bounds[d] = ArrayBound{lower, static_cast<std::int32_t>(count)};
  }
  VariantArray result(std::move(bounds));
  if (result.Size() == 0) return Variant(std::move(result));
  const UINT element_size = SafeArrayGetElemsize(array);
  SafeArrayData data(array);
  if (!data) throw ConversionError(ModuleText(StringId::ArrayUnreadable));
  // Both layouts store the first index fastest, so elements map one to one in storage order.
  const auto* bytes = static_cast<const unsigned char*>(data.get());
  std::vector<Variant>& items = result.Items();
  for (std::size_t i = 0; i < items.size(); ++i)
    items[i] = FromStorage(element_type, bytes + i * element_size, depth + 1);
  return Variant(std::move(result));
}

std::shared_ptr<LateBoundObject> WrapDispatch(IDispatch* object) {
  if (!object) return nullptr;
  return std::make_shared<ComDispatchObject>(object);
}

std::shared_ptr<LateBoundObject> WrapUnknown(IUnknown* object) {
  if (!object) return nullptr;
  return ComDispatchObject::FromUnknown(object);
}

// Reads a value of type `type` (no reference flag) from the place it is stored: the union of a
// VARIANT, the target of a reference, or an element of an array.
Variant FromStorage(VARTYPE type, const void* storage, int depth) {
  if (type & VT_ARRAY) return FromSafeArray(Load<SAFEARRAY*>(storage), depth);
  switch (type) {
    case VT_EMPTY:
      return {};
    case VT_NULL:
      return Variant::Null();
    case VT_I2:
      return Variant::Smallint(Load<SHORT>(storage));
    case VT_I4:
    case VT_INT:
      return Variant::Integer(Load<LONG>(storage));
    case VT_R4:
      return Variant::Single(Load<FLOAT>(storage));
    case VT_R8:
      return Variant::Double(Load<DOUBLE>(storage));
    case VT_CY:
      return Variant::Currency(Load<CY>(storage).int64);
    case VT_DATE:
      return Variant::Date(Load<DATE>(storage));
    case VT_BSTR:
      return Variant::OleStr(BstrToUtf8(Load<BSTR>(storage)));
    case VT_DISPATCH:
      return Variant::Dispatch(WrapDispatch(Load<IDispatch*>(storage)));
    case VT_ERROR:
      return Variant::ErrorCode(Load<SCODE>(storage));
    case VT_BOOL:
      return Variant::Boolean(Load<VARIANT_BOOL>(storage) != VARIANT_FALSE);
    case VT_VARIANT:
      return FromVariantAt(*static_cast<const VARIANT*>(storage), depth + 1);
    case VT_UNKNOWN:
      return Variant::Unknown(WrapUnknown(Load<IUnknown*>(storage)));
    case VT_DECIMAL: {
      DECIMAL decimal = Load<DECIMAL>(storage);
      DOUBLE value = 0;
      if (FAILED(VarR8FromDec(&decimal, &value))) Unsupported(type);
      return Variant::Double(value);
    }
    case VT_I1:
      return Variant::ShortInt(Load<std::int8_t>(storage));
    case VT_UI1:
      return Variant::Byte(Load<BYTE>(storage));
    case VT_UI2:
      return Variant::Word(Load<USHORT>(storage));
    case VT_UI4:
    case VT_UINT:
      return Variant::LongWord(Load<ULONG>(storage));
    case VT_I8:
      return Variant::Int64(Load<LONGLONG>(storage));
    case VT_UI8:
      return Variant::UInt64(Load<ULONGLONG>(storage));
    default:
      Unsupported(type);
  }
}

SAFEARRAY* ToSafeArray(const VariantArray& array) {
  std::vector<SAFEARRAYBOUND> bounds;
  for (int d = 0; d < array.Dims(); ++d)
    bounds.push_back(SAFEARRAYBOUND{static_cast<ULONG>(array.Bound(d).count), array.Lower(d)});
  // An array without dimensions travels as an empty vector, which every host can take apart.
  if (bounds.empty()) bounds.push_back(SAFEARRAYBOUND{0, 0});
  SafeArrayHolder result(
      SafeArrayCreate(VT_VARIANT, static_cast<UINT>(bounds.size()), bounds.data()));
  if (!result.get()) throw std::bad_alloc();
  if (array.Size() > 0) {
    SafeArrayData data(result.get());
    if (!data) throw std::bad_alloc();
    auto* items = static_cast<VARIANT*>(data.get());
    for (std::size_t i = 0; i < array.Size(); ++i) ToComVariant(array.Items()[i], items[i]);
  }
  return result.Detach();
}

}  // namespace

Variant FromComVariant(const VARIANT& value) {
  return FromVariantAt(value, 0);
}

void ToComVariant(const Variant& value, VARIANT& out) {
  VariantInit(&out);
  const Variant& v = value.Deref();
  if (v.IsArray()) {
    out.parray = ToSafeArray(v.Array());
    out.vt = VT_ARRAY | VT_VARIANT;
    return;
  }
  // The type is set last, after every allocation has succeeded, so a failure leaves `out` empty.
  switch (v.Type()) {
    case varNull:
      out.vt = VT_NULL;
      break;
    case varSmallint:
      out.iVal = static_cast<SHORT>(v.RawInteger());
      out.vt = VT_I2;
      break;
    case varInteger:
      out.lVal = static_cast<LONG>(v.RawInteger());
      out.vt = VT_I4;
      break;
    case varSingle:
      out.fltVal = static_cast<FLOAT>(v.RawDouble());
      out.vt = VT_R4;
      break;
    case varDouble:
      out.dblVal = v.RawDouble();
      out.vt = VT_R8;
      break;
    case varCurrency:
      out.cyVal.int64 = v.RawInteger();
      out.vt = VT_CY;
      break;
    case varDate:
      out.date = v.RawDouble();
      out.vt = VT_DATE;
      break;
    case varOleStr:
    case varString:
      out.bstrVal = Utf8ToBstr(v.RawString());
      out.vt = VT_BSTR;
      break;
    case varDispatch:
      out.pdispVal = DispatchOf(v.Object()).Detach();
      out.vt = VT_DISPATCH;
      break;
    case varError:
      out.scode = static_cast<SCODE>(v.RawInteger());
      out.vt = VT_ERROR;
      break;
    case varBoolean:
      out.boolVal = v.RawInteger() != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      out.vt = VT_BOOL;
      break;
    case varUnknown:
      out.punkVal = UnknownOf(v.Object()).Detach();
      out.vt = VT_UNKNOWN;
      break;
    case varShortInt:
      out.cVal = static_cast<CHAR>(v.RawInteger());
      out.vt = VT_I1;
      break;
    case varByte:
      out.bVal = static_cast<BYTE>(v.RawInteger());
      out.vt = VT_UI1;
      break;
    case varWord:
      out.uiVal = static_cast<USHORT>(v.RawInteger());
      out.vt = VT_UI2;
      break;
    case varLongWord:
      out.ulVal = static_cast<ULONG>(v.RawUnsigned());
      out.vt = VT_UI4;
      break;
    case varInt64:
      out.llVal = v.RawInteger();
      out.vt = VT_I8;
      break;
    case varUInt64:
      out.ullVal = v.RawUnsigned();
      out.vt = VT_UI8;
      break;
    default:  // empty, and a reference that leads nowhere
      break;
  }
}

std::string BstrToUtf8(BSTR text) {
  if (!text) return {};
  // A BSTR carries its length and may hold embedded zero characters.
  return platform::Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
}

std::string WideToUtf8(const wchar_t* text) {
  if (!text) return {};
  return platform::Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(text), std::wcslen(text)));
}

BSTR Utf8ToBstr(std::string_view text) {
  const std::u16string wide = platform::Utf8ToUtf16(text);
  BSTR result = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                                  static_cast<UINT>(wide.size()));
  if (!result) throw std::bad_alloc();
  return result;
}

ComPtr<IDispatch> DispatchOf(const std::shared_ptr<LateBoundObject>& object) {
  if (!object) return nullptr;
  if (auto* host = dynamic_cast<ComDispatchObject*>(object.get())) {
    if (!host->Dispatch()) throw ConversionError(ModuleText(StringId::NoLateBinding));
    return ComPtr<IDispatch>(host->Dispatch());
  }
  return ComObject::Create(object);
}

ComPtr<IUnknown> UnknownOf(const std::shared_ptr<LateBoundObject>& object) {
  if (!object) return nullptr;
  if (auto* host = dynamic_cast<ComDispatchObject*>(object.get()))
    return ComPtr<IUnknown>(host->Unknown());
  ComPtr<IDispatch> wrapper = ComObject::Create(object);
  return ComPtr<IUnknown>(wrapper.Get());
}

}  // namespace pirell::com
