// Text rasterising with GDI: the text-drawing call lays out and draws the text onto a one-bit
// DIB section of the box, whose rows are then copied into the bitmap.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/text_raster.h"
#include "platform/windows/gdi_handles.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

// Fonts are kept between calls: printing a run of labels draws the same fields again and again.
class FontCache {
 public:
  HFONT Get(const FontDescription& font, int em_height) {
    Key key{font.face,   em_height,      font.charset,   font.bold,
            font.italic, font.underline, font.strike_out};
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();
    if (fonts_.size() >= kMaxFonts) fonts_.clear();
    const std::wstring face = Widen(font.face.empty() ? DefaultFontFace() : font.face);
    // A negative height asks for the em height rather than the cell height.
    UniqueFont created(CreateFontW(
        -em_height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE,
        font.underline ? TRUE : FALSE, font.strike_out ? TRUE : FALSE,
        static_cast<DWORD>(std::clamp(font.charset, 0, 255)), OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    if (!created) return nullptr;
    return fonts_.emplace(std::move(key), std::move(created)).first->second.get();
  }

  std::mutex& Mutex() { return mutex_; }

 private:
  static constexpr std::size_t kMaxFonts = 32;
  using Key = std::tuple<std::string, int, int, bool, bool, bool, bool>;
  std::map<Key, UniqueFont> fonts_;
  std::mutex mutex_;
};

FontCache& Fonts() {
  static FontCache cache;
  return cache;
}

// BITMAPINFO with room for the two palette entries of a one-bit bitmap.
struct MonoBitmapInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[2];
};

UINT DrawTextFormat(std::uint32_t flags) {
  constexpr std::uint32_t kPassed = text_flags::kCenter | text_flags::kRight |
                                    text_flags::kVCenter | text_flags::kBottom |
                                    text_flags::kWordBreak;
  return static_cast<UINT>(flags & kPassed);
}

}  // namespace

std::string DefaultFontFace() {
  return "Arial";
}

std::string MonospaceFontFace() {
  return "Courier New";
}

void RasteriseText(const FontDescription& font, int dpi, std::string_view utf8, std::uint32_t flags,
                   MonoBitmap& box) {
  const int em_height = std::min(EmHeightDots(font.size_points, dpi), kMaxEmHeightDots);
  const int width = box.Width();
  const int height = box.Height();
  if (em_height <= 0 || width == 0 || height == 0) return;

  UniqueDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return;

  MonoBitmapInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;  // rows from the top down, as in MonoBitmap
  info.header.biPlanes = 1;
  info.header.biBitCount = 1;
  info.header.biCompression = BI_RGB;
  info.header.biClrUsed = 2;
  info.colours[0] = RGBQUAD{0, 0, 0, 0};        // bit 0: black, as in MonoBitmap
  info.colours[1] = RGBQUAD{255, 255, 255, 0};  // bit 1: white
  void* bits = nullptr;
  UniqueBitmap dib(CreateDIBSection(dc.get(), reinterpret_cast<const BITMAPINFO*>(&info),
                                    DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || bits == nullptr) return;
  const std::size_t dib_stride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  std::memset(bits, 0xFF, dib_stride * static_cast<std::size_t>(height));

  std::lock_guard lock(Fonts().Mutex());
  HFONT hfont = Fonts().Get(font, em_height);
  if (hfont == nullptr) return;
  {
    ScopedSelection bitmap_selection(dc.get(), dib.get());
    ScopedSelection font_selection(dc.get(), hfont);
    if (!bitmap_selection.Selected() || !font_selection.Selected()) return;
    SetTextColor(dc.get(), RGB(0, 0, 0));
    SetBkMode(dc.get(), TRANSPARENT);
    RECT rect{0, 0, width, height};
    std::wstring text = Widen(utf8);
    DrawTextW(dc.get(), text.data(), static_cast<int>(text.size()), &rect, DrawTextFormat(flags));
    GdiFlush();
  }
  const auto* source = static_cast<const std::uint8_t*>(bits);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = source + dib_stride * static_cast<std::size_t>(y);
    std::uint8_t* to = box.Row(y);
    for (int i = 0; i < box.Stride(); ++i) to[i] &= from[i];  // black wins over what is there
  }
}

}  // namespace pirell::platform
