#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace pirell::cli {

// The parsed command line, less the command name.
struct CommandLine {
  std::string device_folder;
  bool verbose = false;
  std::vector<std::string> args;  // positional arguments and command options, in order
};

// A command line the command cannot take; main prints the command's usage with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// $XDG_DATA_HOME/pirell/default, or ~/.local/share/pirell/default.
std::string DefaultDeviceFolder();

// Each returns the process exit status: 0 when the driver answered true.
int RunUpload(const CommandLine& line);
int RunTemplates(const CommandLine& line);
int RunPrint(const CommandLine& line);
int RunSettings(const CommandLine& line);
int RunInitPrinter(const CommandLine& line);
int RunTest(const CommandLine& line);
int RunInfo(const CommandLine& line);
int RunPorts(const CommandLine& line);
int RunModels(const CommandLine& line);
int RunPreview(const CommandLine& line);
int RunRender(const CommandLine& line);

}  // namespace pirell::cli
