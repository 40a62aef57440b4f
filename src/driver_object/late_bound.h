#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver_object/hresult.h"
#include "driver_object/variant.h"

namespace pirell {

// What a failed late-bound call reports besides its status (the automation exception record).
struct ExceptionInfo {
  std::int32_t scode = 0;
  std::string description;
  std::string source;
};

// The arguments of one late-bound call as the caller passed them. Indices are in the caller's
// order (0 is the first argument). The COM binding implements it over the automation argument
// block; VariantArguments implements it over a vector for portable callers.
class ArgumentBlock {
 public:
  virtual ~ArgumentBlock() = default;
  virtual std::size_t Count() const = 0;
  // The argument with every reference followed and resolved, a 16-bit integer widened to 32 bits.
  // Raises a LimitError, before copying anything, for an argument whose arrays nest deeper than
  // kMaxArrayNesting (host_values.h) where a copy could exhaust the stack; a block whose copy is
  // bounded by other means may copy such an argument and leave the refusal to the dispatch.
  virtual Variant Read(std::size_t index) const = 0;
  // Stores `value` into the caller's argument: a reference to a variant receives the value as it
  // is, a typed reference the value converted to its type (raising an Error when it cannot), and
  // an argument passed by value is replaced in the caller's block. The value is given up, so that
  // an argument as large as a labels table goes back without another copy.
  virtual void WriteBack(std::size_t index, Variant value) = 0;
};

// Arguments held in a vector owned by the caller. An element may be a reference
// (Variant::Ref) to a variant of the caller's, which then receives the written-back value.
class VariantArguments : public ArgumentBlock {
 public:
  explicit VariantArguments(std::vector<Variant>& args) : args_(args) {}
  std::size_t Count() const override { return args_.size(); }
  Variant Read(std::size_t index) const override;
  void WriteBack(std::size_t index, Variant value) override;

 private:
  std::vector<Variant>& args_;
};

// An object called by method name through late binding: the driver object itself, and the host's
// objects it is handed (the equipment manager).
class LateBoundObject {
 public:
  virtual ~LateBoundObject() = default;
  // Resolves a method name to its number.
  virtual HResult GetIDsOfNames(std::string_view name, DispId& id) = 0;
  // Calls method `id`; `result` and `exception` may be null when the caller does not want them.
  virtual HResult Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args, Variant* result,
                         ExceptionInfo* exception) = 0;
};

// Calls `name` on `object` with `args` in the caller's order; elements the callee writes back are
// replaced in `args` (or stored through the references they hold). Raises a HostError when the
// name is unknown or the call fails, with the object's own message when it gave one.
Variant CallByName(LateBoundObject& object, std::string_view name, std::vector<Variant>& args);

}  // namespace pirell
