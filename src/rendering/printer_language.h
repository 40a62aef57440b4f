#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pirell {

// The printer languages the driver speaks. Each has a folder of its own (src/languages/NAME)
// holding its generator and the preview's reader of its jobs.
enum class TPrinterLanguage : std::uint8_t {
  Epl2,
  ZplII,
  Tspl,
};

inline constexpr TPrinterLanguage kPrinterLanguages[] = {
    TPrinterLanguage::Epl2,
    TPrinterLanguage::ZplII,
    TPrinterLanguage::Tspl,
};

// The language's name as its programming guide spells it: "EPL2", "ZPL II", "TSPL".
std::string_view PrinterLanguageName(TPrinterLanguage language);
// The short name a command line takes: "epl2", "zpl", "tspl".
std::string_view PrinterLanguageKeyword(TPrinterLanguage language);
// The language of a short name (letters in any case), or none.
std::optional<TPrinterLanguage> PrinterLanguageFromKeyword(std::string_view keyword);

}  // namespace pirell
