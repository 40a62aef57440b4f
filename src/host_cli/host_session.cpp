#include "host_cli/host_session.h"

#include <filesystem>
#include <stdexcept>

#include "common/errors.h"
#include "driver_object/class_registry.h"
#include "host_cli/equipment_manager.h"

namespace pirell::cli {
namespace {

constexpr char kProgId[] = "KestroEq.Pirell";
constexpr char kCaptureFile[] = "capture.prn";
// The "PortType" of a file standing in for the printer.
constexpr std::int32_t kFilePortType = 4;

// The (code, message) array a failed public call leaves in its second argument.
void ReadError(const Variant& out_data, CallResult& result) {
  result.code = rc::Unknown;
  result.message = "the driver answered false without an error description";
  if (!out_data.IsArray()) return;
  const VariantArray& error = out_data.Array();
  if (error.Dims() != 1 || error.Size() < 2) return;
  result.code = error.Items()[0].ToInt();
  result.message = error.Items()[1].ToString();
}

// InData of "SetSettings": a one-element array holding a table of the "GetSettings" shape
// (7 columns by n rows) of which the driver reads the ID and value columns.
Variant SetSettingsData(const StoredSettings& rows) {
  VariantArray table = VariantArray::Table(7, static_cast<std::int32_t>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::int32_t row = static_cast<std::int32_t>(i);
    table.At({0, row}) = Variant(rows[i].first);
    table.At({1, row}) = rows[i].second;
  }
  return Variant(VariantArray::Vector({Variant(std::move(table))}));
}

}  // namespace

HostSession::HostSession(const std::string& device_folder, bool verbose) {
  namespace fs = std::filesystem;
  fs::path folder = fs::absolute(fs::path(device_folder)).lexically_normal();
  if (folder.has_relative_path() && !folder.has_filename()) folder = folder.parent_path();
  fs::create_directories(folder);
  device_folder_ = folder.string();
  settings_path_ = (folder / kHostSettingsFile).string();
  capture_path_ = (folder / kCaptureFile).string();

  manager_ = std::make_shared<CliEquipmentManager>(folder.parent_path().string(),
                                                   folder.parent_path().string(), "ru", verbose);
  driver_ = CreateOleObject(kProgId);
  CallPrivate("Init", Variant::Dispatch(manager_));
  CallPrivate("Open", Variant(folder.filename().string()));
  ApplyStoredSettings();
}

HostSession::~HostSession() {
  try {
    std::vector<Variant> args;
    CallByName(*driver_, "Close", args);
  } catch (...) {
    // The session ends either way.
  }
}

Variant HostSession::CallPrivate(std::string_view method, Variant first) {
  std::vector<Variant> args{std::move(first), Variant()};
  Variant result = CallByName(*driver_, method, args);
  if (!result.ToBool()) throw Error(std::string(method) + ": " + args[1].ToString());
  return result;
}

CallResult HostSession::Call(std::string_view method, Variant in_data) {
  std::vector<Variant> args(3);
  args[0] = std::move(in_data);
  args[2] = Variant::Integer(0);
  CallResult result;
  result.ok = CallByName(*driver_, method, args).ToBool();
  result.out_data = args[1];
  if (!result.ok) ReadError(result.out_data, result);
  return result;
}

Variant HostSession::SettingsTable() {
  CallResult result = Call("GetSettings", Variant());
  if (!result.ok) throw Error("GetSettings: " + result.message);
  return result.out_data.Array().Items().at(0);
}

CallResult HostSession::ApplySettings(const StoredSettings& changes) {
  return Call("SetSettings", SetSettingsData(changes));
}

CallResult HostSession::ChangeSettings(const StoredSettings& changes) {
  StoredSettings applied = changes;
  // A port name chosen without a type keeps the user's type, not the capture file's.
  bool type_given = false;
  for (const auto& [id, value] : changes) type_given = type_given || id == "PortType";
  if (stand_in_ && !type_given) applied.insert(applied.begin(), {"PortType", users_port_type_});
  CallResult result = ApplySettings(applied);
  if (result.ok) StoreDriverSettings();
  return result;
}

void HostSession::ApplyStoredSettings() {
  StoredSettings stored = LoadSettings(settings_path_);
  // Unless the user has chosen a port, the printer is a capture file in the device folder: a
  // File port, which appends every job.
  bool port_chosen = false;
  for (const auto& [id, value] : stored) {
    if (id == "PortName" && !value.ToString().empty()) port_chosen = true;
    if (id == "PortType") users_port_type_ = value;
  }
  stand_in_ = !port_chosen;
  if (stand_in_) {
    stored.emplace_back("PortType", Variant::Integer(kFilePortType));
    stored.emplace_back("PortName", Variant(capture_path_));
  }
  CallResult result = Call("SetSettings", SetSettingsData(stored));
  if (!result.ok) throw Error("SetSettings: " + result.message);
}

void HostSession::StoreDriverSettings() {
  const Variant table = SettingsTable();
  const VariantArray& rows = table.Array();
  bool capture = false;
  for (std::int32_t i = rows.Lower(1); i <= rows.Upper(1); ++i)
    if (rows.At({0, i}).ToString() == "PortName" && rows.At({1, i}).ToString() == capture_path_)
      capture = true;
  StoredSettings settings;
  for (std::int32_t i = rows.Lower(1); i <= rows.Upper(1); ++i) {
    std::string id = rows.At({0, i}).ToString();
    Variant value = rows.At({1, i});
    // The capture file stands in for a port the user has not chosen: keep it unchosen, with the
    // type the user had.
    if (capture && id == "PortName") value = Variant("");
    if (capture && id == "PortType") value = users_port_type_;
    settings.emplace_back(std::move(id), std::move(value));
  }
  SaveSettings(settings_path_, settings);
}

StoredSettings ParseAssignments(const std::vector<std::string>& assignments) {
  StoredSettings result;
  for (const std::string& assignment : assignments) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0)
      throw std::invalid_argument("expected NAME=VALUE, got '" + assignment + "'");
    result.emplace_back(assignment.substr(0, eq), Variant(assignment.substr(eq + 1)));
  }
  return result;
}

void HostSession::SetTaskStateListener(std::function<void(const std::string&)> listener) {
  manager_->SetTaskStateListener(std::move(listener));
}

}  // namespace pirell::cli
