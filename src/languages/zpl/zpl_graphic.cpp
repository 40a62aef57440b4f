#include "languages/zpl/zpl_graphic.h"

#include <cstring>
#include <string>

#include "rendering/command_text.h"

namespace pirell {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::size_t kMostOfOneRun = 400 + 19;

void AppendRun(ByteString& out, char digit, std::size_t count) {
  while (count > 0) {
    const std::size_t run = count < kMostOfOneRun ? count : kMostOfOneRun;
    count -= run;
    // A single digit costs one character either way; two cost two.
    if (run <= 2) {
      out.append(run, digit);
      continue;
    }
    if (run >= 20) out.push_back(static_cast<char>('g' + run / 20 - 1));
    if (run % 20 != 0) out.push_back(static_cast<char>('G' + run % 20 - 1));
    out.push_back(digit);
  }
}

}  // namespace

ByteString CompressedGraphicData(const MonoBitmap& bitmap) {
  const auto stride = static_cast<std::size_t>(bitmap.Stride());
  ByteString out;
  std::string digits;
  digits.reserve(stride * 2);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.Row(y);
    if (y > 0 && std::memcmp(row, bitmap.Row(y - 1), stride) == 0) {
      out.push_back(':');
      continue;
    }
    digits.clear();
    for (std::size_t i = 0; i < stride; ++i) {
      // The bitmap's 0 bit is a printed dot; the printer's is a 1 bit.
      const auto byte = static_cast<std::uint8_t>(~row[i]);
      digits.push_back(kHex[byte >> 4]);
      digits.push_back(kHex[byte & 0x0F]);
    }
    std::size_t end = digits.size();
    char fill = 0;
    const char last = end > 0 ? digits[end - 1] : '0';
    if (last == '0' || last == 'F') {
      while (end > 0 && digits[end - 1] == last) --end;
      fill = last == '0' ? ',' : '!';
    }
    for (std::size_t i = 0; i < end;) {
      std::size_t j = i + 1;
      while (j < end && digits[j] == digits[i]) ++j;
      AppendRun(out, digits[i], j - i);
      i = j;
    }
    if (fill != 0) out.push_back(fill);
  }
  return out;
}

ByteString GraphicFieldCommand(const MonoBitmap& bitmap) {
  const std::int64_t total = std::int64_t{bitmap.Stride()} * bitmap.Height();
  ByteString command = MakeCommand("^GFA,", total, total, bitmap.Stride(), std::string_view());
  command += CompressedGraphicData(bitmap);
  return command;
}

}  // namespace pirell
