#pragma once

#include <string_view>
#include <vector>

#include "driver_object/late_bound.h"

namespace pirell::testing {

// What a host sees after calling a public method.
struct PublicCall {
  HResult status = 0;
  Variant result;    // the call's result: true or false
  Variant out_data;  // the second argument after the call: OutData, or (code, message)
  // The code and message of a failed call (0 and empty on success).
  std::int32_t Code() const;
  std::string Message() const;
};

// Calls a public method the way the host does: the name is resolved to its number, then the
// method is invoked with InData, OutData and TimeOut, each passed as a reference to the host's
// own variant.
PublicCall CallPublic(LateBoundObject& object, std::string_view name, Variant in_data = Variant(),
                      Variant time_out = Variant::Integer(0));

// What a host sees after calling a private method.
struct PrivateCall {
  HResult status = 0;
  Variant result;
  std::vector<Variant> params;  // the host's variants after the call
  ExceptionInfo exception;
};

// Calls a private method by name with the given arguments, each passed by reference.
PrivateCall CallPrivate(LateBoundObject& object, std::string_view name,
                        std::vector<Variant> params);

// Hands `host` to the device ("Init") and opens it under `device_id` ("Open").
void InitAndOpen(LateBoundObject& device, const std::shared_ptr<LateBoundObject>& host,
                 const std::string& device_id);

}  // namespace pirell::testing
