// "pirell preview" and "pirell render": pictures of the labels a job prints. The preview prints
// through the driver into a file, as "pirell print" would print to the printer, and draws that
// file: what the pictures show is what the printer would get.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "driver_object/number_text.h"
#include "host_cli/commands.h"
#include "host_cli/host_session.h"
#include "host_cli/labels_data.h"
#include "host_cli/picture_folder.h"
#include "host_cli/settings_store.h"
#include "platform/files.h"
#include "preview/job_renderer.h"
#include "rendering/printer_registry.h"

namespace pirell::cli {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

// The port settings that make the driver write its job into a file: the File port type (4).
StoredSettings FilePortSettings(const std::string& path) {
  return {{"PortType", Variant::Integer(4)}, {"PortName", Variant(path)}};
}

// A private folder below the system's temporary folder, removed with its content.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pirell-preview-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

struct PreviewArguments {
  std::vector<std::string> positional;
  std::vector<std::string> assignments;  // --set NAME=VALUE
  std::string out;
  bool sheet = false;
  std::optional<TPrinterLanguage> language;  // render: --language
  std::optional<int> dpi;                    // render: --dpi
};

// How the printer of the device's stored settings reads a job: the language and resolution of
// its model ("PrinterModel"), the first model's when the settings name none of the registry's.
struct JobFormat {
  TPrinterLanguage language = TPrinterLanguage::Epl2;
  int dpi = 203;
};

JobFormat StoredModelFormat(const std::string& device_folder) {
  std::int64_t position = 0;
  for (const auto& [id, value] : LoadSettings(device_folder + "/" + kHostSettingsFile)) {
    if (id != "PrinterModel") continue;
    try {
      position = value.ToInt();
    } catch (const std::exception&) {
      position = 0;
    }
  }
  const TPrinterModel* model = PrinterModelAt(position);
  if (model == nullptr) model = PrinterModelAt(0);
  return {model->PrinterType->Language, model->ModelProps.DPI};
}

PreviewArguments ParsePreviewArguments(const CommandLine& line, bool takes_set) {
  PreviewArguments args;
  for (std::size_t i = 0; i < line.args.size(); ++i) {
    const std::string& arg = line.args[i];
    if (arg == "--sheet") {
      args.sheet = true;
    } else if (!takes_set && (arg == "--language" || arg == "--dpi")) {
      if (i + 1 >= line.args.size()) throw UsageError(arg + " needs a value");
      const std::string& value = line.args[++i];
      if (arg == "--language") {
        args.language = PrinterLanguageFromKeyword(value);
        if (!args.language)
          throw UsageError("--language takes epl2, zpl or tspl, not '" + value + "'");
      } else {
        const auto dpi = ParseInteger(value);
        if (!dpi || *dpi < 100 || *dpi > 1200)
          throw UsageError("--dpi takes the print head's dots per inch (100 to 1200), not '" +
                           value + "'");
        args.dpi = static_cast<int>(*dpi);
      }
    } else if (arg == "--out" || (takes_set && arg == "--set")) {
      if (i + 1 >= line.args.size()) throw UsageError(arg + " needs a value");
      (arg == "--out" ? args.out : args.assignments.emplace_back()) = line.args[++i];
    } else if (arg.rfind("--", 0) == 0) {
      throw UsageError("unknown option " + arg);
    } else {
      args.positional.push_back(arg);
    }
  }
  if (args.out.empty()) throw UsageError("--out DIR is needed");
  return args;
}

// The first bytes of a job, by which its language is told.
std::string JobStart(const std::string& job_path) {
  std::ifstream job(job_path, std::ios::binary);
  if (!job) throw std::runtime_error("cannot read " + job_path);
  std::string start(4096, '\0');
  job.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(job.gcount()));
  return start;
}

// Draws the job in the file into the folder, reading it in pieces.
int RenderFile(const std::string& job_path, const std::string& out, bool sheet,
               const JobFormat& format) {
  std::ifstream job(job_path, std::ios::binary);
  if (!job) throw std::runtime_error("cannot read " + job_path);
  PictureFolder folder(out, sheet, format.dpi);
  const std::unique_ptr<preview::JobRenderer> renderer =
      preview::MakeJobRenderer(format.language, folder, preview::RenderOptions{format.dpi, 0});
  std::string chunk(kReadChunk, '\0');
  while (job) {
    job.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    renderer->Feed(std::string_view(chunk.data(), static_cast<std::size_t>(job.gcount())));
  }
  if (job.bad()) throw std::runtime_error("cannot read " + job_path);
  folder.Finish(renderer->Finish());
  return 0;
}

int Failed(const char* method, const CallResult& result) {
  std::fprintf(stderr, "%s failed: %d %s\n", method, result.code, result.message.c_str());
  return result.code > 0 && result.code < 256 ? result.code : 1;
}

}  // namespace

int RunPreview(const CommandLine& line) {
  const PreviewArguments args = ParsePreviewArguments(line, true);
  if (args.positional.size() != 2) throw UsageError("expected NUMBER and DATA.csv");
  const auto number = ParseInteger(args.positional[0]);
  if (!number || *number < INT32_MIN || *number > INT32_MAX)
    throw UsageError("the template number must be a whole number, not '" + args.positional[0] +
                     "'");
  Variant labels_data = LabelsDataFromFile(args.positional[1], args.assignments);

  TemporaryFolder temporary;
  const std::string job_path = temporary.Path() + "/job.prn";
  {
    HostSession session(line.device_folder, line.verbose);
    const CallResult port = session.ApplySettings(FilePortSettings(job_path));
    if (!port.ok) return Failed("SetSettings", port);
    const CallResult enabled = session.Call("Enable", Variant());
    if (!enabled.ok) return Failed("Enable", enabled);
    const CallResult printed =
        session.Call("PrintLabels",
                     PrintLabelsInData(static_cast<std::int32_t>(*number), std::move(labels_data)));
    session.Call("Disable", Variant());
    if (!printed.ok) return Failed("PrintLabels", printed);
  }
  // The job is in the language of the settings' model and drawn at its resolution.
  return RenderFile(job_path, args.out, args.sheet, StoredModelFormat(line.device_folder));
}

int RunRender(const CommandLine& line) {
  const PreviewArguments args = ParsePreviewArguments(line, false);
  if (args.positional.size() != 1) throw UsageError("expected JOB.prn");
  const std::string& job_path = args.positional[0];
  // The language named, or else the one the job is written in; the resolution named, or else
  // that of the settings' model when it speaks the job's language.
  const JobFormat stored = StoredModelFormat(line.device_folder);
  JobFormat format;
  if (args.language) {
    format.language = *args.language;
  } else if (const auto detected = preview::DetectJobLanguage(JobStart(job_path))) {
    format.language = *detected;
  } else {
    throw std::runtime_error("the language of " + job_path +
                             " cannot be told from its first bytes: name it with --language");
  }
  format.dpi = args.dpi.value_or(stored.language == format.language ? stored.dpi : 203);
  return RenderFile(job_path, args.out, args.sheet, format);
}

}  // namespace pirell::cli
