#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string>
#include <string_view>

#include "com_server/com_ptr.h"
#include "driver_object/late_bound.h"
#include "driver_object/variant.h"

namespace pirell::com {

// Reads an automation value as a portable one, the way VariantCopyInd copies it: every reference
// is followed and resolved, arrays (any element type, any dimensions and bounds, nested arrays
// inside arrays of variants) are copied element by element, texts become UTF-8 and objects are
// wrapped with a reference of their own. Raises ConversionError for a type that has no portable
// counterpart (records, interfaces of unknown kind inside typed arrays).
Variant FromComVariant(const VARIANT& value);

// Writes `value` into `out`, which must hold nothing that needs clearing. Arrays become arrays of
// VARIANT with the same bounds; texts BSTRs; objects their own interface (a host object) or a COM
// object around them (a portable object). On failure `out` is left empty and the error raised.
void ToComVariant(const Variant& value, VARIANT& out);

std::string BstrToUtf8(BSTR text);
std::string WideToUtf8(const wchar_t* text);
// A new BSTR; raises std::bad_alloc when it cannot be allocated.
BSTR Utf8ToBstr(std::string_view text);

// The COM interface that stands for a portable object: a host object's own interface, or a COM
// object made around a portable one. Null for a null object; ConversionError for a host object
// that has no IDispatch.
ComPtr<IDispatch> DispatchOf(const std::shared_ptr<LateBoundObject>& object);
ComPtr<IUnknown> UnknownOf(const std::shared_ptr<LateBoundObject>& object);

}  // namespace pirell::com
