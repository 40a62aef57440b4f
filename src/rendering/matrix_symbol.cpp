// Two-dimensional symbols encoded by libzint, whose output gives the modules: nothing of any
// symbology's rules is repeated here.

#include "rendering/matrix_symbol.h"

#include <cstdlib>
#include <memory>

#include "common/module_strings.h"
#include "rendering/command_text.h"
#include "rendering/gs1_element_string.h"
#include "rendering/zint_symbol.h"

namespace pirell {
namespace {

// The ECI of UTF-8.
constexpr int kEciUtf8 = 26;

bool IsAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::optional<int> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// zint's option_1 for the error correction text; -1 for the symbology's default, none for a
// text the symbology does not take.
std::optional<int> ErrorCorrectionOption(T2DSymbology symbology, std::string_view text) {
  const std::string level = UpperLatin(text);
  switch (symbology) {
    case T2DSymbology::QrCode:
      if (level.empty() || level == "M") return 2;
      if (level == "L") return 1;
      if (level == "Q") return 3;
      if (level == "H") return 4;
      return std::nullopt;
    case T2DSymbology::Pdf417: {
      if (level.empty()) return -1;
      const std::optional<int> number = WholeNumber(level);
      if (!number || *number > 8) return std::nullopt;
      return *number;
    }
    case T2DSymbology::Aztec: {
      if (level.empty()) return -1;
      std::string_view percent = level;
      if (percent.back() == '%') percent.remove_suffix(1);
      const std::optional<int> number = WholeNumber(percent);
      if (!number || *number < 1 || *number > 90) return std::nullopt;
      // The library's levels are about 10, 23, 36 and 50 per cent of the symbol.
      if (*number <= 10) return 1;
      if (*number <= 23) return 2;
      if (*number <= 36) return 3;
      return 4;
    }
    default:
      return -1;
  }
}

int ZintSymbology(T2DSymbology symbology) {
  switch (symbology) {
    case T2DSymbology::QrCode:
      return BARCODE_QRCODE;
    case T2DSymbology::Pdf417:
      return BARCODE_PDF417;
    case T2DSymbology::Aztec:
      return BARCODE_AZTEC;
    default:
      return BARCODE_DATAMATRIX;
  }
}

TMatrixSymbol Refused(std::string reason) {
  TMatrixSymbol symbol;
  symbol.refusal = std::move(reason);
  return symbol;
}

std::string LibraryRefusal(int result, T2DSymbology symbology) {
  const std::string name(SymbologyName(symbology));
  switch (result) {
    case ZINT_ERROR_TOO_LONG:
      return ModuleText(StringId::SymbolTooMuchData, {name});
    case ZINT_ERROR_INVALID_DATA:
      return ModuleText(StringId::SymbolDataInvalid, {name});
    default:
      return ModuleText(StringId::SymbolLibraryFailed, {name, std::to_string(result)});
  }
}

}  // namespace

std::optional<T2DSymbology> SymbologyFromName(std::string_view name) {
  const std::string upper = UpperLatin(name);
  if (upper.empty()) return T2DSymbology::DataMatrix;
  if (upper.find("GS1_DATAMATRIX") != std::string::npos ||
      upper.find("GS1DATAMATRIX") != std::string::npos)
    return T2DSymbology::Gs1DataMatrix;
  if (upper.find("DATAMATRIX") != std::string::npos) return T2DSymbology::DataMatrix;
  if (upper.find("QR") != std::string::npos) return T2DSymbology::QrCode;
  if (upper.find("PDF417") != std::string::npos) return T2DSymbology::Pdf417;
  if (upper.find("AZTEC") != std::string::npos) return T2DSymbology::Aztec;
  return std::nullopt;
}

std::string_view SymbologyName(T2DSymbology symbology) {
  switch (symbology) {
    case T2DSymbology::Gs1DataMatrix:
      return "GS1 DataMatrix";
    case T2DSymbology::QrCode:
      return "QR";
    case T2DSymbology::Pdf417:
      return "PDF417";
    case T2DSymbology::Aztec:
      return "Aztec";
    case T2DSymbology::DataMatrix:
      break;
  }
  return "DataMatrix";
}

TMatrixSymbol EncodeMatrixSymbol(T2DSymbology symbology, std::string_view value,
                                 std::string_view error_correction) {
  const std::optional<int> level = ErrorCorrectionOption(symbology, error_correction);
  if (!level) {
    return Refused(ModuleText(StringId::SymbolErrorCorrectionInvalid,
                              {error_correction, SymbologyName(symbology)}));
  }
  const ZintSymbol symbol = MakeZintSymbol();
  if (!symbol) throw std::bad_alloc();
  symbol->symbology = ZintSymbology(symbology);
  symbol->option_1 = *level;
  symbol->scale = 0.5f;  // one pixel per module
  symbol->output_options |= BARCODE_NO_QUIET_ZONES;
  symbol->show_hrt = 0;
  // Square DataMatrix symbols only: marking codes must be square, and every scanner reads them.
  if (symbol->symbology == BARCODE_DATAMATRIX) symbol->option_3 = DM_SQUARE;

  std::string data(value);
  if (symbology == T2DSymbology::Gs1DataMatrix) {
    const TGs1ElementString elements = ParseGs1ElementString(value);
    if (!elements.ok()) return Refused(ModuleText(StringId::Gs1Invalid, {elements.error}));
    data = Gs1SquareBracketed(elements.elements);
    // The elements are checked above, with the characters marking codes carry that the GS1
    // character set lacks; the separators are GS, as marking codes require.
    symbol->input_mode = GS1_MODE | GS1NOCHECK_MODE;
    symbol->output_options |= GS1_GS_SEPARATOR;
  } else {
    symbol->input_mode = DATA_MODE;
    if (!IsAscii(value)) symbol->eci = kEciUtf8;
  }

  const int encoded =
      ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                      static_cast<int>(data.size()));
  if (encoded >= ZINT_ERROR) return Refused(LibraryRefusal(encoded, symbology));
  TMatrixSymbol result;
  if (symbology == T2DSymbology::Pdf417) {
    // Rows of PDF417 are several modules high: the library's raster at one pixel per module
    // gives them.
    const int buffered = ZBarcode_Buffer(symbol.get(), 0);
    if (buffered >= ZINT_ERROR || symbol->bitmap == nullptr || symbol->bitmap_width <= 0 ||
        symbol->bitmap_height <= 0)
      return Refused(LibraryRefusal(buffered, symbology));
    result.modules = TModuleMatrix(symbol->bitmap_width, symbol->bitmap_height);
    // Three bytes per pixel; dark pixels are modules.
    const unsigned char* pixel = symbol->bitmap;
    for (int y = 0; y < symbol->bitmap_height; ++y)
      for (int x = 0; x < symbol->bitmap_width; ++x, pixel += 3)
        if (*pixel < 128) result.modules.SetDark(x, y);
    return result;
  }
  // The other symbols are a module a row: the encoded modules themselves, one bit each.
  if (symbol->rows <= 0 || symbol->width <= 0) return Refused(LibraryRefusal(0, symbology));
  result.modules = TModuleMatrix(symbol->width, symbol->rows);
  for (int y = 0; y < symbol->rows; ++y)
    for (int x = 0; x < symbol->width; ++x)
      if ((symbol->encoded_data[y][x >> 3] >> (x & 7)) & 1) result.modules.SetDark(x, y);
  return result;
}

}  // namespace pirell
