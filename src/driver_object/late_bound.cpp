#include "driver_object/late_bound.h"

#include <cstdio>

#include "driver_object/errors.h"

namespace pirell {

Variant VariantArguments::Read(std::size_t index) const {
  Variant value = args_.at(index).ResolvedCopy();
  if (value.Type() == varSmallint)
    value = Variant::Integer(static_cast<std::int32_t>(value.RawInteger()));
  return value;
}

void VariantArguments::WriteBack(std::size_t index, const Variant& value) {
  Variant* dst = &args_.at(index);
  // Follow references to variants to the variant they end at.
  for (int guard = 0;
       dst->IsRef() && dst->RefType() == varVariant && dst->RefTarget() && guard < 64; ++guard)
    dst = dst->RefTarget();
  const Variant& src = value.Deref();
  if (!dst->IsRef()) {
    *dst = src;
    return;
  }
  if (dst->RefTarget() == nullptr) throw Error("Null reference argument");
  *dst->RefTarget() = CoerceForReference(src, dst->RefType());
}

Variant CallByName(LateBoundObject& object, std::string_view name, std::vector<Variant>& args) {
  DispId id = -1;
  HResult status = object.GetIDsOfNames(name, id);
  if (!Succeeded(status)) {
    throw HostError("Method '" + std::string(name) + "' not supported by automation object");
  }
  VariantArguments block(args);
  Variant result;
  ExceptionInfo exception;
  status = object.Invoke(id, kDispatchMethod, block, &result, &exception);
  if (!Succeeded(status)) {
    if (!exception.description.empty()) throw HostError(exception.description);
    char text[64];
    std::snprintf(text, sizeof text, "OLE error %08X", static_cast<unsigned>(status));
    throw HostError(text);
  }
  return result;
}

}  // namespace pirell
