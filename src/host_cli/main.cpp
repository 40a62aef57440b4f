// pirell: a command-line host for the driver. It plays the host platform's part: it creates the
// driver by its ProgID and calls it by method name with host-shaped arrays, never through the
// classes behind it.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/errors.h"
#include "host_cli/commands.h"

namespace {

using pirell::cli::CommandLine;

struct Command {
  const char* usage;
  const char* help;
  int (*run)(const CommandLine&);
};

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"upload",
       {"upload NUMBER FILE [--description TEXT]",
        "Uploads the label template in FILE (XML, UTF-8) under NUMBER; an existing template "
        "with that number is replaced.",
        pirell::cli::RunUpload}},
      {"templates",
       {"templates", "Lists the uploaded templates: number and description.",
        pirell::cli::RunTemplates}},
      {"print",
       {"print NUMBER DATA.csv [--set NAME=VALUE]...",
        "Prints one label per row of DATA.csv with template NUMBER. The header line names the "
        "data sources of the template's fields; a column named CopiesNumber gives the copies "
        "of its row's label. --set gives a value common to every label.",
        pirell::cli::RunPrint}},
      {"settings",
       {"settings [--reset] [ID=VALUE]...",
        "Without arguments shows the driver's settings table, each value beside its default; "
        "--reset gives every row its default, ID=VALUE pairs change those rows, and both keep "
        "the table for later commands. PortType 0 is a USB printer (PortName: its device node, "
        "e.g. /dev/usb/lp0), 1 a parallel port (LPT1 = /dev/lp0), 2 a serial port (COM1 or "
        "COM1:9600,N,8,1), 3 a network printer (host or host:port), 4 a file (a full path; jobs "
        "are appended), 5 a print queue (queue or queue@server). An empty PortName prints into "
        "the capture file of the device folder. PrinterModel chooses the printer's language "
        "and resolution: 'pirell models' lists the models with their indexes.",
        pirell::cli::RunSettings}},
      {"init-printer",
       {"init-printer",
        "Sends the printer initialisation: clears stored fonts, forms and graphics, selects "
        "the Cyrillic character set and resets the printer.",
        pirell::cli::RunInitPrinter}},
      {"test",
       {"test", "Checks the device (CheckHealth): the driver enables and the port opens.",
        pirell::cli::RunTest}},
      {"info", {"info", "Shows the driver's device information.", pirell::cli::RunInfo}},
      {"models",
       {"models",
        "Lists the printer models, one a line: the index that PrinterModel takes, the model, "
        "its type (the index PrinterType takes), its printer language and resolution, the speed "
        "codes PrintSpeed takes and the darkness range of PrintDarkness with its default.",
        pirell::cli::RunModels}},
      {"ports",
       {"ports",
        "Lists the ports of every type: USB printers, parallel and serial ports, print queues.",
        pirell::cli::RunPorts}},
      {"preview",
       {"preview NUMBER DATA.csv [--set NAME=VALUE]... --out DIR [--sheet]",
        "Runs the print job of 'pirell print' into a file instead of the printer and draws each "
        "printed label as a PNG picture at the printer model's resolution into DIR: "
        "label-0001.png, label-0002.png ... --sheet also writes sheet.png with the first labels "
        "side by side.",
        pirell::cli::RunPreview}},
      {"render",
       {"render JOB.prn --out DIR [--sheet] [--language epl2|zpl|tspl] [--dpi N]",
        "Draws the labels of a captured job (a capture file, a file port, another program's "
        "job) as PNG pictures into DIR, as 'preview' does, and reports what the printer would "
        "refuse with its byte offset. The job's printer language is told from its first bytes "
        "unless --language names it; the pictures are drawn at --dpi, or else at the "
        "resolution of the settings' printer model when it speaks the job's language, or at "
        "203 dpi.",
        pirell::cli::RunRender}},
  };
  return commands;
}

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: pirell [--device-folder DIR] [--verbose] COMMAND [ARGS]\n"
               "       pirell --version\n\n"
               "Drives the Pirell label printer driver (KestroEq.Pirell) as the host platform "
               "does.\nThe device folder holds the template file, the host's copy of the "
               "settings and,\nunless a port is chosen, the capture file capture.prn that "
               "stands in for the printer\n(default: %s).\n\nCommands:\n",
               pirell::cli::DefaultDeviceFolder().c_str());
  for (const auto& [name, command] : Commands()) std::fprintf(out, "  %s\n", command.usage);
  std::fprintf(out, "\n'pirell COMMAND --help' describes a command.\n");
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  line.device_folder = pirell::cli::DefaultDeviceFolder();
  std::string command_name;
  bool help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version" && command_name.empty()) {
      // The project version, which the Windows module's version resource carries too.
      std::printf("pirell %d.%d.%d.%d\n", PIRELL_VERSION_MAJOR, PIRELL_VERSION_MINOR,
                  PIRELL_VERSION_RELEASE, PIRELL_VERSION_BUILD);
      return EXIT_SUCCESS;
    } else if (arg == "--verbose" || arg == "-v") {
      line.verbose = true;
    } else if (arg == "--device-folder" && i + 1 < argc) {
      line.device_folder = argv[++i];
    } else if (arg.rfind("--device-folder=", 0) == 0) {
      line.device_folder = arg.substr(16);
    } else if (command_name.empty() && arg.rfind("--", 0) != 0) {
      command_name = arg;
    } else {
      line.args.push_back(arg);
    }
  }

  if (command_name.empty()) {
    PrintUsage(help ? stdout : stderr);
    return help ? EXIT_SUCCESS : 2;
  }
  const auto found = Commands().find(command_name);
  if (found == Commands().end()) {
    std::fprintf(stderr, "pirell: unknown command '%s'\n\n", command_name.c_str());
    PrintUsage(stderr);
    return 2;
  }
  const Command& command = found->second;
  if (help) {
    std::printf("usage: pirell [--device-folder DIR] %s\n\n%s\n", command.usage, command.help);
    return EXIT_SUCCESS;
  }
  try {
    return command.run(line);
  } catch (const pirell::cli::UsageError& e) {
    std::fprintf(stderr, "pirell %s: %s\nusage: pirell %s\n", command_name.c_str(), e.what(),
                 command.usage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pirell %s: %s\n", command_name.c_str(), e.what());
    return 1;
  }
}
