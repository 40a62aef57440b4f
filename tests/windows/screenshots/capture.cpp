#include "capture.h"

#include <set>

#include "platform/windows/gdi_handles.h"

namespace pirell::screenshots {

RgbImage CaptureWindow(HWND window) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return {};
  return CaptureScreenRect(rect);
}

RgbImage CaptureScreenRect(const RECT& rect) {
  RgbImage image;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return image;

  platform::WindowDc screen(nullptr);
  platform::UniqueDc memory(CreateCompatibleDC(screen.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  platform::UniqueBitmap bitmap(
      CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || bits == nullptr) return image;
  {
    platform::ScopedSelection selection(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY))
      return image;
  }
  GdiFlush();
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  const auto* source = static_cast<const std::uint8_t*>(bits);
  for (std::size_t i = 0, n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
       i < n; ++i) {
    image.rgb[i * 3] = source[i * 4 + 2];
    image.rgb[i * 3 + 1] = source[i * 4 + 1];
    image.rgb[i * 3 + 2] = source[i * 4];
  }
  return image;
}

int DistinctColours(const RgbImage& image, int limit) {
  std::set<std::uint32_t> colours;
  for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3) {
    colours.insert((std::uint32_t{image.rgb[i]} << 16) | (std::uint32_t{image.rgb[i + 1]} << 8) |
                   image.rgb[i + 2]);
    if (static_cast<int>(colours.size()) >= limit) break;
  }
  return static_cast<int>(colours.size());
}

}  // namespace pirell::screenshots
