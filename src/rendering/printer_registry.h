#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "rendering/print_params.h"
#include "rendering/printer_language.h"
#include "rendering/printer_type_base.h"

namespace pirell {

// Printer-language families, in this order.
enum TPrinterSerie : std::uint8_t {
  psZebraEZPL2,
  psGodexEZ,
  psGodexBZB,
  psCitizenCLP,
  psDatamaxE,
  psZebraZPL2,
  psTSPL,
};

// Makes a new generator of one printer type.
using TPrinterTypeClass = std::unique_ptr<TPrinterTypeBase> (*)();

struct TPrinterTypeInfo {
  TPrinterTypeClass TypeClass = nullptr;
  TPrinterSerie PrinterSerie = psZebraEZPL2;
  std::string Name;  // shown to the user
  TPrinterLanguage Language = TPrinterLanguage::Epl2;
};

struct TPrinterModel {
  const TPrinterTypeInfo* PrinterType = nullptr;  // its row in the same registry's types
  std::string Name;                               // shown to the user
  TPrinterModelProps ModelProps;
};

// Rows are never removed or moved, so references to them stay valid as long as the registry.
using TPrinterTypes = std::deque<TPrinterTypeInfo>;
using TPrinterModels = std::deque<TPrinterModel>;

// Printer types and models; a row's position is its index, which the settings PrinterType and
// PrinterModel hold.
class TPrinterRegistry {
 public:
  TPrinterRegistry() = default;
  TPrinterRegistry(const TPrinterRegistry&) = delete;
  TPrinterRegistry& operator=(const TPrinterRegistry&) = delete;

  // Appends a type and returns its position.
  int RegisterPrinterType(TPrinterSerie serie, TPrinterTypeClass type_class, std::string name,
                          TPrinterLanguage language = TPrinterLanguage::Epl2);

  // Appends a model of the type at `type_position` with the speed table
  // (speed_codes[i], speed_ips[i]). Returns the model's position, or -1 (and registers nothing)
  // when the type does not exist, there is no generator, or speed_ips has fewer entries than
  // speed_codes.
  int RegisterPrinterModel(int type_position, std::string name,
                           const std::vector<std::uint8_t>& speed_codes,
                           const std::vector<double>& speed_ips, std::int32_t dpi,
                           bool cap_fonts_download, bool cap_forms_download,
                           std::int32_t max_darkness, std::int32_t def_darkness);

  const TPrinterTypes& PrinterTypes() const { return types_; }
  const TPrinterModels& PrinterModels() const { return models_; }

 private:
  TPrinterTypes types_;
  TPrinterModels models_;
};

// Fills a registry with the printers this driver supports: first the types, then their models.
void RegisterBuiltinPrinters(TPrinterRegistry& registry);

// Fills the program-wide registry once; later calls do nothing. Start-up code calls it, and so
// does every accessor below.
void RegisterBuiltinPrinters();

// The program-wide registry, filled with the built-in printers on first use and read-only
// afterwards.
const TPrinterRegistry& PrinterRegistry();
const TPrinterTypes& PrinterTypes();
const TPrinterModels& PrinterModels();

// The model at `model_position` of the program-wide registry (as "PrinterModel" stores it); none
// for a position outside the table.
const TPrinterModel* PrinterModelAt(std::int64_t model_position);

// A generator for the model at `model_position` of the program-wide registry, with the model's
// properties copied in; none for a position outside the table.
std::unique_ptr<TPrinterTypeBase> CreatePrinterOfModel(int model_position);

}  // namespace pirell
