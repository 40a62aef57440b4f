#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "driver_object/base_object.h"

namespace pirell::testing {

// A small driver object with a few host methods whose behaviour each test sets. Rows, in DISPID
// order: 0 "Init", 1 "Open" (private), 2 "DoWork", 3 "GetDeviceInfo", 4 "Enable", 5 "Disable"
// (public), 6 "DoWork" again (public, reachable only by its number).
class TTestObject : public TBaseObject {
 public:
  static constexpr DispId kInit = 0;
  static constexpr DispId kOpen = 1;
  static constexpr DispId kDoWork = 2;
  static constexpr DispId kGetDeviceInfo = 3;
  static constexpr DispId kEnable = 4;
  static constexpr DispId kDisable = 5;
  static constexpr DispId kSecondDoWork = 6;
  static constexpr int kMethodCount = 7;

  void Initialize() override;

  // Behaviour of the private rows ("Init", "Open") and of the public "DoWork".
  std::function<Variant(VariantArray&)> private_handler = [](VariantArray&) {
    return Variant(true);
  };
  std::function<ResultCode(const Variant&, Variant&, std::int32_t, std::string&)> public_handler =
      [](const Variant&, Variant&, std::int32_t, std::string&) { return rc::Ok; };

  // What the last public call saw.
  int public_calls = 0;
  int second_do_work_calls = 0;
  Variant last_in_data;
  Variant last_out_data_on_entry;
  std::int32_t last_time_out = 0;
  int begin_debug_log_calls = 0;

  void SetExtData(const Variant& value) { FExtData = value; }
  const Variant& ExtData() const { return FExtData; }
  using TBaseObject::AddPrivateMethod;
  using TBaseObject::AddPublicMethod;

 protected:
  void BeginDebugLog() override;
};

}  // namespace pirell::testing
