#include "host_cli/equipment_manager.h"

#include <array>
#include <cstdio>

#include "common/errors.h"

namespace pirell::cli {
namespace {

enum Method : DispId {
  kGetAppProperty,
  kDataEvent,
  kErrorEvent,
  kTaskState,
  kWriteLog,
  kMessageDlg,
  kInputDataDlg,
};

constexpr std::array<const char*, 7> kMethodNames = {"GetAppProperty", "DataEvent", "ErrorEvent",
                                                     "TaskState",      "WriteLog",  "MessageDlg",
                                                     "InputDataDlg"};

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

std::string Arg(ArgumentBlock& args, std::size_t i) {
  return i < args.Count() ? args.Read(i).ToString() : std::string();
}

}  // namespace

CliEquipmentManager::CliEquipmentManager(std::string devices_folder, std::string models_folder,
                                         std::string language, bool verbose)
    : devices_folder_(std::move(devices_folder)),
      models_folder_(std::move(models_folder)),
      language_(std::move(language)),
      verbose_(verbose) {}

HResult CliEquipmentManager::GetIDsOfNames(std::string_view name, DispId& id) {
  for (std::size_t i = 0; i < kMethodNames.size(); ++i) {
    if (SameAscii(name, kMethodNames[i])) {
      id = static_cast<DispId>(i);
      return hr::Ok;
    }
  }
  id = -1;
  return hr::DispUnknownName;
}

HResult CliEquipmentManager::Invoke(DispId id, std::uint16_t flags, ArgumentBlock& args,
                                    Variant* result, ExceptionInfo* exception) {
  if (!(flags & kDispatchMethod)) return hr::DispMemberNotFound;
  try {
    Variant answer;
    switch (id) {
      case kGetAppProperty:
        answer = GetAppProperty(args);
        break;
      case kTaskState:
        if (task_state_listener_) task_state_listener_(Arg(args, 2));
        [[fallthrough]];
      case kDataEvent:
      case kErrorEvent:
      case kWriteLog:
        if (verbose_)
          std::fprintf(stderr, "[%s] %s %s %s\n", kMethodNames[static_cast<std::size_t>(id)],
                       Arg(args, 1).c_str(), Arg(args, 2).c_str(), Arg(args, 3).c_str());
        answer = Variant(true);
        break;
      case kMessageDlg:
        std::fprintf(stderr, "%s\n", Arg(args, 1).c_str());
        answer = Variant::Integer(1);  // as if the user pressed OK
        break;
      case kInputDataDlg:
        answer = Variant(Arg(args, 2));  // no one to ask: the default data
        break;
      default:
        return hr::DispMemberNotFound;
    }
    if (result) *result = answer;
    return hr::Ok;
  } catch (const std::exception& e) {
    if (exception) {
      exception->scode = 1001;
      exception->description = e.what();
      exception->source = "pirell";
    }
    return hr::DispException;
  }
}

// GetAppProperty(device ID, property name, value by reference) -> Boolean.
Variant CliEquipmentManager::GetAppProperty(ArgumentBlock& args) {
  if (args.Count() < 3) throw Error("GetAppProperty takes three arguments");
  const std::string name = args.Read(1).ToString();
  std::string value;
  bool known = true;
  if (SameAscii(name, "DevicesFolder")) {
    value = devices_folder_;
  } else if (SameAscii(name, "ModelsFolder")) {
    value = models_folder_;
  } else if (SameAscii(name, "Language")) {
    value = language_;
  } else {
    known = false;
  }
  args.WriteBack(2, Variant(value));
  return Variant(known);
}

}  // namespace pirell::cli
