#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver_object/late_bound.h"

namespace pirell::testing {

// The host's equipment manager as a test stands it up: a late-bound object that answers
// "GetAppProperty" from `properties` (writing the value into the third argument, which the
// caller passes by reference) and records every other call with the values of its arguments.
class FakeEquipmentManager : public LateBoundObject {
 public:
  struct Call {
    std::string name;
    std::vector<Variant> args;  // as the callee reads them: references resolved
  };

  HResult GetIDsOfNames(std::string_view name, DispId& id) override;
  HResult Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args, Variant* result,
                 ExceptionInfo* exception) override;

  // The recorded calls named `name`.
  std::vector<Call> CallsOf(std::string_view name) const;

  std::map<std::string, std::string> properties{
      {"DevicesFolder", ""}, {"ModelsFolder", ""}, {"Language", "ru"}};
  // Every call, "GetAppProperty" included.
  std::vector<Call> calls;
  // The answer to the calls other than "GetAppProperty".
  Variant answer = Variant::Boolean(true);
  // When set, every call fails with this message, as a host raising an error does.
  std::optional<std::string> failure;
  // When set, every call fails with this status and leaves the exception record empty.
  std::optional<HResult> failure_status;
  // When set, every call throws a std::runtime_error with this message (a host in the same
  // process whose code throws).
  std::optional<std::string> throws;
  // When true, no operation name resolves (an object that is no equipment manager).
  bool unknown_names = false;
  // When set, "GetAppProperty" answers this instead of a Boolean and writes nothing back.
  std::optional<Variant> property_answer;
};

}  // namespace pirell::testing
