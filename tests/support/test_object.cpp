#include "support/test_object.h"

namespace pirell::testing {

void TTestObject::Initialize() {
  TBaseObject::Initialize();
  AddPrivateMethod("Init", [this](VariantArray& params) { return private_handler(params); });
  AddPrivateMethod("Open", [this](VariantArray& params) { return private_handler(params); });
  AddPublicMethod("DoWork", [this](const Variant& in_data, Variant& out_data, std::int32_t time_out,
                                   std::string& description) {
    ++public_calls;
    last_in_data = in_data;
    last_out_data_on_entry = out_data;
    last_time_out = time_out;
    return public_handler(in_data, out_data, time_out, description);
  });
  AddPublicMethod("GetDeviceInfo",
                  [](const Variant&, Variant& out_data, std::int32_t, std::string&) {
                    out_data = Variant(VariantArray::Vector({Variant("Test"), Variant(1)}));
                    return rc::Ok;
                  });
  AddPublicMethod("Enable", [this](const Variant&, Variant&, std::int32_t, std::string&) {
    SetDebugLogEnabled(true);
    return rc::Ok;
  });
  AddPublicMethod("Disable", [this](const Variant&, Variant&, std::int32_t, std::string&) {
    SetDebugLogEnabled(false);
    return rc::Ok;
  });
  AddPublicMethod("DoWork", [this](const Variant&, Variant&, std::int32_t, std::string&) {
    ++second_do_work_calls;
    return rc::Ok;
  });
}

void TTestObject::BeginDebugLog() {
  ++begin_debug_log_calls;
  WriteDebugLog("Log started", "", true);
}

}  // namespace pirell::testing
