#include "host_cli/png_file.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace pirell::cli {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<char*>(png_get_error_ptr(png));
  std::snprintf(error, 256, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Every libpng call in one function without C++ objects: an error of libpng jumps back to the
// setjmp below, past any destructor.
bool WriteImage(std::FILE* file, const MonoBitmap& picture, int dpi, char (&error)[256]) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, OnPngError, OnPngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width()),
               static_cast<png_uint_32>(picture.Height()), 1, PNG_COLOR_TYPE_GRAY,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  const auto per_metre = static_cast<png_uint_32>(std::lround(dpi / 0.0254));
  png_set_pHYs(png, info, per_metre, per_metre, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  for (int y = 0; y < picture.Height(); ++y) png_write_row(png, picture.Row(y));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

void WritePngFile(const std::string& path, const MonoBitmap& picture, int dpi) {
  if (picture.Width() == 0 || picture.Height() == 0)
    throw std::runtime_error("cannot write an empty picture to " + path);
  char error[256] = "cannot write the file";
  bool written = false;
  {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot create " + path);
    written = WriteImage(file.get(), picture, dpi, error) && std::fflush(file.get()) == 0 &&
              std::ferror(file.get()) == 0;
  }
  if (!written) {
    std::remove(path.c_str());
    throw std::runtime_error(path + ": " + error);
  }
}

}  // namespace pirell::cli
