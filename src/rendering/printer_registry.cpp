#include "rendering/printer_registry.h"

#include <mutex>
#include <utility>

#include "languages/epl2/epl2_printer.h"
#include "languages/tspl/tspl_printer.h"
#include "languages/zpl/zpl_printer.h"

namespace pirell {

int TPrinterRegistry::RegisterPrinterType(TPrinterSerie serie, TPrinterTypeClass type_class,
                                          std::string name, TPrinterLanguage language) {
  types_.push_back(TPrinterTypeInfo{type_class, serie, std::move(name), language});
  return static_cast<int>(types_.size()) - 1;
}

int TPrinterRegistry::RegisterPrinterModel(int type_position, std::string name,
                                           const std::vector<std::uint8_t>& speed_codes,
                                           const std::vector<double>& speed_ips, std::int32_t dpi,
                                           bool cap_fonts_download, bool cap_forms_download,
                                           std::int32_t max_darkness, std::int32_t def_darkness) {
  if (type_position < 0 || type_position >= static_cast<int>(types_.size())) return -1;
  const TPrinterTypeInfo& type = types_[static_cast<std::size_t>(type_position)];
  if (type.TypeClass == nullptr || speed_ips.size() < speed_codes.size()) return -1;

  TPrinterModel model;
  model.PrinterType = &type;
  model.Name = std::move(name);
  for (std::size_t i = 0; i < speed_codes.size(); ++i)
    model.ModelProps.PrintSpeeds.push_back(TPrintSpeed{speed_codes[i], speed_ips[i]});
  model.ModelProps.DPI = dpi;
  model.ModelProps.CapFontsDownload = cap_fonts_download;
  model.ModelProps.CapFormsDownload = cap_forms_download;
  model.ModelProps.MaxDarkness = max_darkness;
  model.ModelProps.DefDarkness = def_darkness;
  models_.push_back(std::move(model));
  return static_cast<int>(models_.size()) - 1;
}

namespace {

std::unique_ptr<TPrinterTypeBase> CreateZebraEZPL2() {
  return std::make_unique<TPrinterTypeZebraEZPL2>();
}

std::unique_ptr<TPrinterTypeBase> CreateZPL2() {
  return std::make_unique<TPrinterTypeZPL2>();
}

std::unique_ptr<TPrinterTypeBase> CreateTSPL() {
  return std::make_unique<TPrinterTypeTSPL>();
}

}  // namespace

// Rows are only ever appended: the settings PrinterType and PrinterModel hold their positions.
void RegisterBuiltinPrinters(TPrinterRegistry& registry) {
  const int epl2 = registry.RegisterPrinterType(psZebraEZPL2, &CreateZebraEZPL2,
                                                "ZEBRA (EPL2 lang.)", TPrinterLanguage::Epl2);
  const int zpl2 =
      registry.RegisterPrinterType(psZebraZPL2, &CreateZPL2, "ZPL II", TPrinterLanguage::ZplII);

  // Models, in the order of their positions. EPL2: speeds "S1" to "S4", darkness "D0" to "D15".
  registry.RegisterPrinterModel(epl2, "2824, 2844", {1, 2, 3, 4}, {1.5, 2.0, 2.5, 3.5}, 203, false,
                                true, 15, 7);
  registry.RegisterPrinterModel(epl2, "EPL2, 300 dpi", {1, 2, 3, 4}, {1.5, 2.0, 2.5, 3.5}, 300,
                                false, true, 15, 7);
  // ZPL II: speeds are the "^PR" values, in inches per second; darkness "~SD00" to "~SD30",
  // 15 the middle of the range as 7 is of EPL2's.
  registry.RegisterPrinterModel(zpl2, "ZPL II, 203 dpi", {2, 3, 4, 5, 6, 8},
                                {2.0, 3.0, 4.0, 5.0, 6.0, 8.0}, 203, false, true, 30, 15);
  registry.RegisterPrinterModel(zpl2, "ZPL II, 300 dpi", {2, 3, 4, 5, 6}, {2.0, 3.0, 4.0, 5.0, 6.0},
                                300, false, true, 30, 15);
  registry.RegisterPrinterModel(zpl2, "ZPL II, 600 dpi", {2, 3, 4}, {2.0, 3.0, 4.0}, 600, false,
                                true, 30, 15);

  // TSPL: "SPEED" takes inches per second, the codes number the model's speeds; "DENSITY" 0 to
  // 15, 8 by default.
  const int tspl =
      registry.RegisterPrinterType(psTSPL, &CreateTSPL, "TSPL", TPrinterLanguage::Tspl);
  registry.RegisterPrinterModel(tspl, "TSPL, 203 dpi", {1, 2, 3, 4, 5, 6},
                                {1.5, 2.0, 3.0, 4.0, 5.0, 6.0}, 203, false, true, 15, 8);
  registry.RegisterPrinterModel(tspl, "TSPL, 300 dpi", {1, 2, 3, 4, 5}, {1.5, 2.0, 3.0, 4.0, 5.0},
                                300, false, true, 15, 8);
}

namespace {

// Filled on request rather than by a static initialiser, so the order in which the module's
// statics are initialised does not matter.
TPrinterRegistry& ProgramRegistry() {
  static TPrinterRegistry registry;
  return registry;
}

}  // namespace

void RegisterBuiltinPrinters() {
  static std::once_flag filled;
  std::call_once(filled, [] { RegisterBuiltinPrinters(ProgramRegistry()); });
}

const TPrinterRegistry& PrinterRegistry() {
  RegisterBuiltinPrinters();
  return ProgramRegistry();
}

const TPrinterTypes& PrinterTypes() {
  return PrinterRegistry().PrinterTypes();
}

const TPrinterModels& PrinterModels() {
  return PrinterRegistry().PrinterModels();
}

const TPrinterModel* PrinterModelAt(std::int64_t model_position) {
  const TPrinterModels& models = PrinterModels();
  if (model_position < 0 || model_position >= static_cast<std::int64_t>(models.size()))
    return nullptr;
  return &models[static_cast<std::size_t>(model_position)];
}

std::unique_ptr<TPrinterTypeBase> CreatePrinterOfModel(int model_position) {
  const TPrinterModel* model = PrinterModelAt(model_position);
  if (model == nullptr) return nullptr;
  std::unique_ptr<TPrinterTypeBase> printer = model->PrinterType->TypeClass();
  if (printer) printer->ModelProps() = model->ModelProps;
  return printer;
}

}  // namespace pirell
