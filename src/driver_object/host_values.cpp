#include "driver_object/host_values.h"

namespace pirell {

bool HasArrayItem(const Variant& value, std::int32_t index) {
  const Variant& v = value.Deref();
  if (v.IsEmpty() || !v.IsArray()) return false;
  const VariantArray& array = v.Array();
  if (array.Dims() < 1 || array.Upper(0) < index) return false;
  return !array.At({index}).Deref().IsEmptyOrNull();
}

std::string ArrayItemStr(const Variant& value, std::int32_t index,
                         const std::string& default_text) {
  if (!HasArrayItem(value, index)) return default_text;
  return value.Array().At({index}).ToString();
}

bool NestsDeeperThan(const Variant& value, int levels) {
  const Variant& v = value.Deref();
  if (!v.IsArray()) return false;
  if (levels <= 0) return true;
  for (const Variant& item : v.Array().Items())
    if (NestsDeeperThan(item, levels - 1)) return true;
  return false;
}

LimitError TooDeeplyNestedArrays() {
  return LimitError("массивы вложены глубже " + std::to_string(kMaxArrayNesting) + " уровней");
}

std::int32_t VarToIntDef(const Variant& value, std::int32_t default_value) {
  if (value.Deref().IsEmptyOrNull()) return default_value;
  return value.ToInt();
}

}  // namespace pirell
