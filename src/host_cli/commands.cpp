#include "host_cli/commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "driver_object/number_text.h"
#include "driver_object/variant.h"
#include "host_cli/host_session.h"
#include "host_cli/labels_data.h"
#include "host_cli/progress_line.h"
#include "platform/files.h"
#include "platform/locale.h"

namespace pirell::cli {
namespace {

// Reports a driver's false answer: code and message on standard error, a non-zero status.
int Failed(const char* method, const CallResult& result) {
  std::fprintf(stderr, "%s failed: %d %s\n", method, result.code, result.message.c_str());
  return result.code > 0 && result.code < 256 ? result.code : 1;
}

// Options of the form --name VALUE are taken out of the arguments; the rest are positional.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;

  std::optional<std::string> Option(const std::string& name) const {
    for (const auto& [n, v] : options)
      if (n == name) return v;
    return std::nullopt;
  }
};

Arguments SplitArguments(const CommandLine& line, std::initializer_list<const char*> known) {
  Arguments result;
  for (std::size_t i = 0; i < line.args.size(); ++i) {
    const std::string& arg = line.args[i];
    bool matched = false;
    for (const char* name : known) {
      if (arg == name) {
        if (i + 1 >= line.args.size()) throw UsageError(arg + " needs a value");
        result.options.emplace_back(name, line.args[++i]);
        matched = true;
      }
    }
    if (!matched) {
      if (arg.rfind("--", 0) == 0) throw UsageError("unknown option " + arg);
      result.positional.push_back(arg);
    }
  }
  return result;
}

std::int32_t TemplateNumber(const std::string& text) {
  const auto number = ParseInteger(text);
  if (!number || *number < INT32_MIN || *number > INT32_MAX)
    throw UsageError("the template number must be a whole number, not '" + text + "'");
  return static_cast<std::int32_t>(*number);
}

std::string ReadFileOrThrow(const std::string& path) {
  auto content = platform::ReadWholeFile(path);
  if (!content) throw std::runtime_error("cannot read " + path);
  return *content;
}

// Enables the device for a command that needs the printer, and disables it afterwards.
class EnabledDevice {
 public:
  explicit EnabledDevice(HostSession& session) : session_(session) {
    enable_ = session_.Call("Enable", Variant());
  }
  ~EnabledDevice() { session_.Call("Disable", Variant()); }
  const CallResult& EnableResult() const { return enable_; }

 private:
  HostSession& session_;
  CallResult enable_;
};

long FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

std::string PortDescription(HostSession& session) {
  const Variant table = session.SettingsTable();
  const VariantArray& rows = table.Array();
  for (std::int32_t i = rows.Lower(1); i <= rows.Upper(1); ++i)
    if (rows.At({0, i}).ToString() == "PortName") return rows.At({1, i}).ToString();
  return {};
}

}  // namespace

std::string DefaultDeviceFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    return std::string(data) + "/pirell/default";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.local/share/pirell/default";
  return "pirell-device";
}

int RunUpload(const CommandLine& line) {
  const Arguments args = SplitArguments(line, {"--description"});
  if (args.positional.size() != 2) throw UsageError("expected NUMBER and FILE");
  const std::int32_t number = TemplateNumber(args.positional[0]);
  std::string text = ReadFileOrThrow(args.positional[1]);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.erase(0, 3);

  HostSession session(line.device_folder, line.verbose);
  const Variant in_data(
      VariantArray::Vector({Variant::Integer(number),
                            Variant(args.Option("--description").value_or("")), Variant(text)}));
  const CallResult result = session.Call("UploadTemplate", in_data);
  if (!result.ok) return Failed("UploadTemplate", result);
  std::printf("Template %d uploaded (%zu bytes).\n", number, text.size());
  return 0;
}

int RunTemplates(const CommandLine& line) {
  if (!line.args.empty()) throw UsageError("takes no arguments");
  HostSession session(line.device_folder, line.verbose);
  // The template file is read when the device is enabled; listing does not need the printer,
  // so a port that does not open is no reason to fail here.
  EnabledDevice device(session);
  const CallResult result = session.Call("GetTemplateList", Variant());
  if (!result.ok) return Failed("GetTemplateList", result);
  const VariantArray& table = result.out_data.Array().Items().at(0).Array();
  if (table.Dims() < 2 || table.Bound(1).count == 0) {
    std::printf("No templates.\n");
    return 0;
  }
  for (std::int32_t i = table.Lower(1); i <= table.Upper(1); ++i)
    std::printf("%d\t%s\n", table.At({0, i}).ToInt(), table.At({1, i}).ToString().c_str());
  return 0;
}

int RunPrint(const CommandLine& line) {
  const Arguments args = SplitArguments(line, {"--set"});
  if (args.positional.size() != 2) throw UsageError("expected NUMBER and DATA.csv");
  const std::int32_t number = TemplateNumber(args.positional[0]);
  std::vector<std::string> assignments;
  for (const auto& [name, value] : args.options) assignments.push_back(value);
  Variant labels_data = LabelsDataFromFile(args.positional[1], assignments);
  const std::int32_t l = LabelRows(labels_data);

  HostSession session(line.device_folder, line.verbose);
  EnabledDevice device(session);
  if (!device.EnableResult().ok) return Failed("Enable", device.EnableResult());
  ProgressLine progress(stderr, ::isatty(STDERR_FILENO) != 0);
  session.SetTaskStateListener([&progress](const std::string& text) { progress.Report(text); });
  // The table goes to the driver as it is, not copied: the host holds it once.
  const CallResult result =
      session.Call("PrintLabels", PrintLabelsInData(number, std::move(labels_data)));
  session.SetTaskStateListener(nullptr);
  progress.Finish();
  if (!result.ok) return Failed("PrintLabels", result);
  const std::string port = PortDescription(session);
  std::printf("Printed %d label%s with template %d to %s", l, l == 1 ? "" : "s", number,
              port.c_str());
  if (const long size = FileSize(port); size >= 0 && port.rfind("/dev/", 0) != 0)
    std::printf(" (%ld bytes)", size);
  std::printf(".\n");
  return 0;
}

namespace {

// A value typed on the command line as the type its row declares.
Variant TypedValue(const std::string& id, const std::string& type, const std::string& text) {
  if (type == "Number") {
    const auto number = ParseDecimal(text, ".");
    if (!number) throw UsageError(id + " takes a number, not '" + text + "'");
    return *number == static_cast<std::int32_t>(*number)
               ? Variant::Integer(static_cast<std::int32_t>(*number))
               : Variant(*number);
  }
  if (type == "Boolean") return Variant(platform::SameText(text, "True") || text == "1");
  return Variant(text);
}

// A value in the settings table: empty texts as "" so that the columns stay readable.
std::string CellText(const Variant& value) {
  const std::string text = value.ToString();
  return text.empty() ? "\"\"" : text;
}

}  // namespace

int RunSettings(const CommandLine& line) {
  bool reset = false;
  std::vector<std::string> assignments;
  for (const std::string& arg : line.args) {
    if (arg == "--reset")
      reset = true;
    else if (arg.rfind("--", 0) == 0)
      throw UsageError("unknown option " + arg);
    else
      assignments.push_back(arg);
  }
  HostSession session(line.device_folder, line.verbose);
  if (reset || !assignments.empty()) {
    const Variant table = session.SettingsTable();
    const VariantArray& rows = table.Array();
    // --reset gives every row its default first; assignments then change single rows.
    StoredSettings changes;
    if (reset) {
      for (std::int32_t i = rows.Lower(1); i <= rows.Upper(1); ++i)
        changes.emplace_back(rows.At({0, i}).ToString(), rows.At({3, i}));
    }
    for (auto& [id, value] : ParseAssignments(assignments)) {
      bool found = false;
      for (std::int32_t i = rows.Lower(1); i <= rows.Upper(1) && !found; ++i) {
        if (!platform::SameText(rows.At({0, i}).ToString(), id)) continue;
        found = true;
        changes.emplace_back(id, TypedValue(id, rows.At({2, i}).ToString(), value.ToString()));
      }
      if (!found) throw UsageError("the driver has no setting " + id);
    }
    const CallResult result = session.ChangeSettings(changes);
    if (!result.ok) return Failed("SetSettings", result);
  }
  const Variant table = session.SettingsTable();
  const VariantArray& rows = table.Array();
  std::printf("%-24s %-8s %-30s %-10s %s\n", "ID", "Type", "Value", "Default", "Name");
  for (std::int32_t i = rows.Lower(1); i <= rows.Upper(1); ++i) {
    std::printf("%-24s %-8s %-30s %-10s %s\n", rows.At({0, i}).ToString().c_str(),
                rows.At({2, i}).ToString().c_str(), CellText(rows.At({1, i})).c_str(),
                CellText(rows.At({3, i})).c_str(), rows.At({5, i}).ToString().c_str());
  }
  return 0;
}

int RunInitPrinter(const CommandLine& line) {
  if (!line.args.empty()) throw UsageError("takes no arguments");
  HostSession session(line.device_folder, line.verbose);
  EnabledDevice device(session);
  if (!device.EnableResult().ok) return Failed("Enable", device.EnableResult());
  const CallResult result = session.Call("InitializePrinter", Variant());
  if (!result.ok) return Failed("InitializePrinter", result);
  std::printf("Printer initialised.\n");
  return 0;
}

int RunTest(const CommandLine& line) {
  if (!line.args.empty()) throw UsageError("takes no arguments");
  HostSession session(line.device_folder, line.verbose);
  const CallResult result = session.Call("CheckHealth", Variant());
  if (!result.ok) return Failed("CheckHealth", result);
  std::printf("Device ready.\n");
  return 0;
}

int RunInfo(const CommandLine& line) {
  if (!line.args.empty()) throw UsageError("takes no arguments");
  HostSession session(line.device_folder, line.verbose);
  const CallResult result = session.Call("GetDeviceInfo", Variant());
  if (!result.ok) return Failed("GetDeviceInfo", result);
  static const char* const kFields[] = {
      "TypeName",      "ModelID",       "ModelName",     "MajorVersion",       "MinorVersion",
      "BuildVersion",  "ProcessorName", "ProcessorType", "IsSettingsDlgExist", "Description",
      "DeveloperName", "CI_email",      "CI_www",        "CI_Phones",          "CI_address"};
  const VariantArray& info = result.out_data.Array();
  for (std::size_t i = 0; i < info.Size() && i < std::size(kFields); ++i)
    std::printf("%-20s %s\n", kFields[i], info.Items()[i].ToString().c_str());
  std::printf("%-20s %s\n", "DeviceFolder", line.device_folder.c_str());
  return 0;
}

}  // namespace pirell::cli
