#include "rendering/printer_language.h"

#include "platform/locale.h"

namespace pirell {

std::string_view PrinterLanguageName(TPrinterLanguage language) {
  switch (language) {
    case TPrinterLanguage::ZplII:
      return "ZPL II";
    case TPrinterLanguage::Tspl:
      return "TSPL";
    case TPrinterLanguage::Epl2:
      break;
  }
  return "EPL2";
}

std::string_view PrinterLanguageKeyword(TPrinterLanguage language) {
  switch (language) {
    case TPrinterLanguage::ZplII:
      return "zpl";
    case TPrinterLanguage::Tspl:
      return "tspl";
    case TPrinterLanguage::Epl2:
      break;
  }
  return "epl2";
}

std::optional<TPrinterLanguage> PrinterLanguageFromKeyword(std::string_view keyword) {
  for (const TPrinterLanguage language : kPrinterLanguages)
    if (platform::SameText(keyword, PrinterLanguageKeyword(language))) return language;
  return std::nullopt;
}

}  // namespace pirell
