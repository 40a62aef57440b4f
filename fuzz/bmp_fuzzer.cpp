// The bytes of a picture embedded in a template: decoded as a BMP file, written back and read
// again unchanged, and scaled into a label's bitmap.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/errors.h"
#include "driver_session.h"
#include "rendering/bmp_codec.h"
#include "rendering/mono_bitmap.h"
#include "rendering/picture_scaling.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  Picture picture;
  try {
    picture = DecodeBmp(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const Error&) {
    return 0;  // not a BMP file this driver reads: refused with a message
  }
  const std::string written = EncodeBmp(picture);
  const Picture again = DecodeBmp(written);
  if (again.Width() != picture.Width() || again.Height() != picture.Height() ||
      again.Pixels() != picture.Pixels())
    fuzz::Fail("a decoded picture does not read back unchanged");
  if (picture.Empty()) return 0;
  MonoBitmap canvas(37, 23);
  ScalePictureInto(picture, PixelRect{2, 1, 33, 21}, canvas);
  ScalePictureInto(picture, PixelRect{-5, -3, 50, 9}, canvas);
  return 0;
}
