// "pirell models": the printer models the driver knows, with the index that the "PrinterModel"
// setting takes, so that a user without the settings window knows what to set.

#include <cstdio>
#include <string>

#include "host_cli/commands.h"
#include "rendering/printer_registry.h"

namespace pirell::cli {

int RunModels(const CommandLine& line) {
  if (!line.args.empty()) throw UsageError("takes no arguments");
  const TPrinterModels& models = PrinterModels();
  for (std::size_t i = 0; i < models.size(); ++i) {
    const TPrinterModel& model = models[i];
    const TPrinterModelProps& props = model.ModelProps;
    std::string speeds;
    for (const TPrintSpeed& speed : props.PrintSpeeds) {
      if (!speeds.empty()) speeds += ' ';
      speeds += std::to_string(speed.Index);
    }
    std::printf("%zu\t%s\ttype %d %s\t%s\t%d dpi\tPrintSpeed %s\tPrintDarkness 0-%d (%d)\n", i,
                model.Name.c_str(), static_cast<int>(model.PrinterType - &PrinterTypes().front()),
                model.PrinterType->Name.c_str(),
                std::string(PrinterLanguageName(model.PrinterType->Language)).c_str(), props.DPI,
                speeds.c_str(), props.MaxDarkness, props.DefDarkness);
  }
  return 0;
}

}  // namespace pirell::cli
