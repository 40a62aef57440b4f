// Barcodes encoded by libzint. Its raster output, one pixel per module, gives the elements: no
// knowledge of any symbology is repeated here beyond the data lengths the printer takes.

#include <memory>

#include "preview/barcode_encoder.h"
#include "rendering/gs1_128_symbol.h"
#include "rendering/gs1_element_string.h"
#include "rendering/zint_symbol.h"

namespace pirell::preview {
namespace {

int ZintSymbology(Symbology symbology) {
  switch (symbology) {
    case Symbology::UpcA:
      return BARCODE_UPCA;
    case Symbology::UpcE:
      return BARCODE_UPCE;
    case Symbology::Ean8:
    case Symbology::Ean13:
      return BARCODE_EANX;
    case Symbology::Gs1_128:
      return BARCODE_GS1_128;
    case Symbology::Interleaved2of5:
      return BARCODE_C25INTER;
    case Symbology::Codabar:
      return BARCODE_CODABAR;
    case Symbology::Code39:
      return BARCODE_CODE39;
    case Symbology::Code93:
      return BARCODE_CODE93;
    case Symbology::Code128:
      break;
  }
  return BARCODE_CODE128;
}

bool AllDigits(std::string_view data) {
  for (char c : data)
    if (c < '0' || c > '9') return false;
  return true;
}

// The library picks EAN-8, EAN-13 or an add-on by the length of the data and pads short UPC data
// with zeros; the printer takes one symbology per command, so other lengths are refused here.
std::string LengthRefusal(Symbology symbology, std::string_view data) {
  struct Lengths {
    std::size_t shortest;
    std::size_t longest;
    const char* text;
  };
  Lengths lengths{0, 0, nullptr};
  switch (symbology) {
    case Symbology::UpcA:
      lengths = {11, 12, "UPC-A takes 11 digits, or 12 with the check digit"};
      break;
    case Symbology::UpcE:
      lengths = {6, 8, "UPC-E takes 6 to 8 digits"};
      break;
    case Symbology::Ean8:
      lengths = {7, 8, "EAN-8 takes 7 digits, or 8 with the check digit"};
      break;
    case Symbology::Ean13:
      lengths = {12, 13, "EAN-13 takes 12 digits, or 13 with the check digit"};
      break;
    default:
      return {};
  }
  if (data.size() < lengths.shortest || data.size() > lengths.longest || !AllDigits(data))
    return lengths.text;
  return {};
}

}  // namespace

BarcodePattern EncodeBarcode(Symbology symbology, std::string_view data) {
  BarcodePattern pattern;
  pattern.refusal = LengthRefusal(symbology, data);
  if (!pattern.refusal.empty()) return pattern;

  const ZintSymbol symbol = MakeZintSymbol();
  if (!symbol) {
    pattern.refusal = "the barcode library is out of memory";
    return pattern;
  }
  symbol->symbology = ZintSymbology(symbology);
  symbol->input_mode = DATA_MODE;  // the bytes as the printer gets them
  std::string bytes(data);
  if (symbology == Symbology::Gs1_128) {
    const TGs1ElementString elements = ParseGs1ElementString(data);
    if (!elements.ok()) {
      pattern.refusal = elements.error;
      return pattern;
    }
    bytes = Gs1SquareBracketed(elements.elements);
    symbol->input_mode = GS1_MODE | GS1NOCHECK_MODE;
  } else if (symbology == Symbology::Ean8 || symbology == Symbology::Ean13) {
    // With its check digit the data is checked, and the library takes its length for the
    // symbology the command names; without it the library adds the check digit.
    const std::size_t with_check = symbology == Symbology::Ean8 ? 8 : 13;
    if (data.size() == with_check) symbol->symbology = BARCODE_EANX_CHK;
  }
  symbol->show_hrt = 0;
  symbol->scale = 0.5f;  // one pixel per module
  symbol->height = 1.0f;
  const int encoded =
      ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
                      static_cast<int>(bytes.size()));
  if (encoded >= ZINT_ERROR) {
    pattern.refusal = symbol->errtxt;
    return pattern;
  }
  pattern.human_readable = reinterpret_cast<const char*>(symbol->text);
  if (ZBarcode_Buffer(symbol.get(), 0) >= ZINT_ERROR || symbol->bitmap == nullptr ||
      symbol->bitmap_width <= 0) {
    pattern.refusal = symbol->errtxt;
    return pattern;
  }
  pattern.elements = BarElementsOfRow(symbol->bitmap, symbol->bitmap_width);
  if (pattern.elements.empty()) pattern.refusal = "the barcode library drew no bars";
  return pattern;
}

}  // namespace pirell::preview
