#pragma once

#include <cstdint>
#include <string>

#include "common/errors.h"
#include "driver_object/variant.h"

namespace pirell {

// Deepest nesting of arrays in a host call's arguments: InData of "PrintLabels" nests three
// levels (InData, the labels data, its parts). Deeper structures are refused before any handler
// walks them.
inline constexpr int kMaxArrayNesting = 16;

// True when `value` holds arrays nested more than `levels` deep (an array of scalars is one
// level). Looks no deeper than that.
bool NestsDeeperThan(const Variant& value, int levels);

// The refusal of arguments that nest deeper than kMaxArrayNesting.
LimitError TooDeeplyNestedArrays();

// Optional elements of the arrays the host passes. True when `value` holds an array whose first
// dimension reaches up to `index` and whose element `index` is neither empty nor null. The lower
// bound is not checked: an index below it raises the array's ArrayError on the read.
bool HasArrayItem(const Variant& value, std::int32_t index);

// Element `index` as text when HasArrayItem, otherwise `default_text`.
std::string ArrayItemStr(const Variant& value, std::int32_t index, const std::string& default_text);

// `default_value` for an empty or null value, otherwise the value as a 32-bit integer (a value
// that does not convert raises a ConversionError).
std::int32_t VarToIntDef(const Variant& value, std::int32_t default_value);

}  // namespace pirell
