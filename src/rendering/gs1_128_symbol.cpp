// GS1-128 symbols encoded by libzint; its raster at one pixel per module gives the elements.

#include "rendering/gs1_128_symbol.h"

#include <memory>
#include <new>

#include "common/module_strings.h"
#include "rendering/zint_symbol.h"

namespace pirell {
namespace {

constexpr std::string_view kName = "GS1-128";

TLinearSymbol Refused(std::string reason) {
  TLinearSymbol symbol;
  symbol.refusal = std::move(reason);
  return symbol;
}

}  // namespace

int TLinearSymbol::Modules() const {
  int modules = 0;
  for (const int element : elements) modules += element;
  return modules;
}

TLinearSymbol EncodeGs1_128(const std::vector<TGs1Element>& elements) {
  const ZintSymbol symbol = MakeZintSymbol();
  if (!symbol) throw std::bad_alloc();
  symbol->symbology = BARCODE_GS1_128;
  // The elements were checked when they were read, with the characters marking codes carry.
  symbol->input_mode = GS1_MODE | GS1NOCHECK_MODE;
  symbol->show_hrt = 0;
  symbol->scale = 0.5f;  // one pixel per module
  symbol->height = 1.0f;
  const std::string data = Gs1SquareBracketed(elements);
  const int encoded =
      ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                      static_cast<int>(data.size()));
  if (encoded == ZINT_ERROR_TOO_LONG)
    return Refused(ModuleText(StringId::SymbolTooMuchData, {kName}));
  if (encoded >= ZINT_ERROR) return Refused(ModuleText(StringId::SymbolDataInvalid, {kName}));
  const int buffered = ZBarcode_Buffer(symbol.get(), 0);
  if (buffered >= ZINT_ERROR || symbol->bitmap == nullptr || symbol->bitmap_width <= 0)
    return Refused(ModuleText(StringId::SymbolLibraryFailed, {kName, std::to_string(buffered)}));

  TLinearSymbol result;
  result.elements = BarElementsOfRow(symbol->bitmap, symbol->bitmap_width);
  if (result.elements.empty())
    return Refused(ModuleText(StringId::SymbolLibraryFailed, {kName, "0"}));
  return result;
}

std::vector<int> BarElementsOfRow(const unsigned char* rgb_row, int width) {
  auto dark = [rgb_row](int x) { return rgb_row[static_cast<std::size_t>(x) * 3] < 128; };
  int first = 0;
  int last = width - 1;
  while (first <= last && !dark(first)) ++first;
  while (last >= first && !dark(last)) --last;
  std::vector<int> elements;
  for (int x = first; x <= last;) {
    int run = 1;
    while (x + run <= last && dark(x + run) == dark(x)) ++run;
    elements.push_back(run);
    x += run;
  }
  return elements;
}

}  // namespace pirell
