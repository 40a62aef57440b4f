#include "driver_object/late_bound.h"

#include <cstdio>
#include <exception>
#include <new>
#include <utility>

#include "common/errors.h"
#include "common/module_strings.h"
#include "driver_object/host_values.h"

namespace pirell {

Variant VariantArguments::Read(std::size_t index) const {
  // Copying walks the arrays recursively: their depth is bounded before.
  if (NestsDeeperThan(args_.at(index), kMaxArrayNesting)) throw TooDeeplyNestedArrays();
  Variant value = args_.at(index).ResolvedCopy();
  if (value.Type() == varSmallint)
    value = Variant::Integer(static_cast<std::int32_t>(value.RawInteger()));
  return value;
}

void VariantArguments::WriteBack(std::size_t index, Variant value) {
  Variant* dst = &args_.at(index);
  // Follow references to variants to the variant they end at.
  for (int guard = 0;
       dst->IsRef() && dst->RefType() == varVariant && dst->RefTarget() && guard < 64; ++guard)
    dst = dst->RefTarget();
  const Variant& src = value.Deref();
  if (!dst->IsRef()) {
    if (&src == &value)
      *dst = std::move(value);
    else
      *dst = src;
    return;
  }
  if (dst->RefTarget() == nullptr) throw Error(ModuleText(StringId::NullReference));
  *dst->RefTarget() = CoerceForReference(src, dst->RefType());
}

Variant CallByName(LateBoundObject& object, std::string_view name, std::vector<Variant>& args) {
  DispId id = -1;
  HResult status = object.GetIDsOfNames(name, id);
  if (!Succeeded(status)) {
    throw HostError(ModuleText(StringId::HostMethodUnknown, {name}));
  }
  VariantArguments block(args);
  Variant result;
  ExceptionInfo exception;
  try {
    status = object.Invoke(id, kDispatchMethod, block, &result, &exception);
  } catch (const Error&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    // The object's own failure, with its own message (an object in this process may throw).
    throw HostError(e.what());
  }
  if (!Succeeded(status)) {
    if (!exception.description.empty()) throw HostError(exception.description);
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(status));
    throw HostError(ModuleText(StringId::HostCallFailed, {code}));
  }
  return result;
}

}  // namespace pirell
