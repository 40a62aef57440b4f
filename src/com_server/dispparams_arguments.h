#pragma once

#include <windows.h>

#include <oaidl.h>

#include "driver_object/late_bound.h"

namespace pirell::com {

// The arguments of an IDispatch::Invoke call. The block stores them last argument first, so the
// caller's argument i sits in slot cArgs-1-i. Named arguments are not told apart.
class DispParamsArguments final : public ArgumentBlock {
 public:
  // `params` may be null (a call without arguments); it must outlive this object.
  explicit DispParamsArguments(DISPPARAMS* params) : params_(params) {}

  std::size_t Count() const override;
  Variant Read(std::size_t index) const override;
  // Stores through the chain of references to variants that the argument starts: the variant it
  // ends at receives a copy of `value`, or, when it is a typed reference, `value` converted to
  // the referenced type. A type that cannot be stored raises an Error with the text of code 1004.
  void WriteBack(std::size_t index, Variant value) override;

 private:
  VARIANT& Slot(std::size_t index) const;

  DISPPARAMS* params_;
};

}  // namespace pirell::com
