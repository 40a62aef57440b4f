#include "label_printer/test_label.h"

#include <algorithm>

namespace pirell {
namespace {

constexpr int kMargin = 2;         // mm from the print area's edges
constexpr int kTextHeight = 4;     // mm of a line in the printer's font
constexpr int kBarcodeHeight = 8;  // mm of the barcode's bars
constexpr int kLeastSymbol = 8;    // mm: smaller symbols do not scan well

std::string Item(const char* class_name, const std::string& properties) {
  return std::string("<Item ClassName=\"") + class_name + "\">" + properties + "</Item>";
}

std::string Property(const char* name, const std::string& value) {
  return std::string("<Property Name=\"") + name + "\" Value=\"" + value + "\"/>";
}

std::string Box(int left, int top, int width, int height) {
  return Property("Left", std::to_string(left)) + Property("Top", std::to_string(top)) +
         Property("Width", std::to_string(width)) + Property("Height", std::to_string(height));
}

}  // namespace

std::string TestLabelTemplate(const TPrintParams& params) {
  const int width = std::max(params.Width - 2 * kMargin, 1);
  std::string items =
      Item("TextSimple", Property("DS", "Title") + Box(kMargin, kMargin, width, kTextHeight) +
                             Property("FontSize", "2") + Property("MaxSymbols", "40")) +
      Item("TextSimple", Property("DS", "Model") +
                             Box(kMargin, kMargin + kTextHeight, width, kTextHeight) +
                             Property("FontSize", "1") + Property("MaxSymbols", "40")) +
      Item("Shk", Property("DS", "Code") + Property("BarCodeType", "CODE128") +
                      Property("TextVisible", "True") +
                      Box(kMargin, kMargin + 2 * kTextHeight + 1, width, kBarcodeHeight + 3));
  // The two symbols side by side below the barcode, as large as the rest of the area allows.
  const int top = kMargin + 2 * kTextHeight + kBarcodeHeight + 6;
  const int side = std::min((width - kMargin) / 2, params.Height - top - kMargin);
  if (side >= kLeastSymbol) {
    items += Item("2DShk", Property("DS", "Title") + Property("BarCodeType", "DataMatrix") +
                               Box(kMargin, top, side, side));
    items += Item("2DShk", Property("DS", "Title") + Property("BarCodeType", "QR") +
                               Box(2 * kMargin + side, top, side, side));
  }
  return "<Label Width=\"" + std::to_string(params.Width) + "\" Height=\"" +
         std::to_string(params.Height) + "\">" + items + "</Label>";
}

}  // namespace pirell
