#define ZX_USE_UTF8 1
#include "linux/symbol_decoder.h"

#include <ZXing/ReadBarcode.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace pirell::testing {

std::vector<DecodedSymbol> DecodeSymbols(const MonoBitmap& picture) {
  // A white margin around the label: a symbol at its edge still has its quiet zone.
  constexpr int kMargin = 16;
  const int width = picture.Width() + 2 * kMargin;
  const int height = picture.Height() + 2 * kMargin;
  std::vector<std::uint8_t> luminance(static_cast<std::size_t>(width) * height, 255);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.IsBlack(x, y))
        luminance[static_cast<std::size_t>(y + kMargin) * width + x + kMargin] = 0;

  const ZXing::ImageView image(luminance.data(), width, height, ZXing::ImageFormat::Lum);
  const ZXing::DecodeHints hints =
      ZXing::DecodeHints().setTryHarder(true).setTryRotate(true).setMaxNumberOfSymbols(64);
  std::vector<DecodedSymbol> found;
  for (const ZXing::Result& result : ZXing::ReadBarcodes(image, hints)) {
    if (!result.isValid()) continue;
    const ZXing::ByteArray& bytes = result.bytes();
    found.push_back(DecodedSymbol{
        ZXing::ToString(result.format()), result.text(), std::string(bytes.begin(), bytes.end()),
        result.symbologyIdentifier(), result.contentType() == ZXing::ContentType::GS1});
  }
  return found;
}

bool HaveZbarimg() {
  return std::system("command -v zbarimg >/dev/null 2>&1") == 0;
}

std::string ZbarimgRead(const std::string& png) {
  const std::string command = "zbarimg -q -Supca.enable -Supce.enable '" + png + "' 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string text;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
  ::pclose(pipe);
  return text;
}

}  // namespace pirell::testing
