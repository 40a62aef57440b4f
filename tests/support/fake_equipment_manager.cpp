#include "support/fake_equipment_manager.h"

#include <stdexcept>

namespace pirell::testing {
namespace {

constexpr std::string_view kMethods[] = {"GetAppProperty", "DataEvent",  "ErrorEvent",  "TaskState",
                                         "WriteLog",       "MessageDlg", "InputDataDlg"};

}  // namespace

HResult FakeEquipmentManager::GetIDsOfNames(std::string_view name, DispId& id) {
  if (unknown_names) {
    id = -1;
    return hr::DispUnknownName;
  }
  for (std::size_t i = 0; i < std::size(kMethods); ++i) {
    if (kMethods[i] == name) {
      id = static_cast<DispId>(i);
      return hr::Ok;
    }
  }
  id = -1;
  return hr::DispUnknownName;
}

HResult FakeEquipmentManager::Invoke(DispId id, std::uint16_t, ArgumentBlock& args, Variant* result,
                                     ExceptionInfo* exception) {
  if (id < 0 || static_cast<std::size_t>(id) >= std::size(kMethods)) return hr::DispMemberNotFound;
  Call call{std::string(kMethods[id]), {}};
  for (std::size_t i = 0; i < args.Count(); ++i) call.args.push_back(args.Read(i));
  calls.push_back(call);
  if (throws) throw std::runtime_error(*throws);
  if (failure_status) return *failure_status;
  if (failure) {
    if (exception) {
      exception->scode = 1001;
      exception->description = *failure;
      exception->source = "FakeEquipmentManager";
    }
    return hr::DispException;
  }
  if (call.name == "GetAppProperty" && property_answer) {
    if (result) *result = *property_answer;
    return hr::Ok;
  }
  if (call.name == "GetAppProperty") {
    const std::string name = call.args.size() > 1 ? call.args[1].ToString() : std::string();
    const auto found = properties.find(name);
    if (found == properties.end()) {
      if (result) *result = Variant::Boolean(false);
      return hr::Ok;
    }
    args.WriteBack(2, Variant::OleStr(found->second));
    if (result) *result = Variant::Boolean(true);
    return hr::Ok;
  }
  if (result) *result = answer;
  return hr::Ok;
}

std::vector<FakeEquipmentManager::Call> FakeEquipmentManager::CallsOf(std::string_view name) const {
  std::vector<Call> found;
  for (const Call& call : calls) {
    if (call.name == name) found.push_back(call);
  }
  return found;
}

}  // namespace pirell::testing
