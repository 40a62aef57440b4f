#include "rendering/graphic_primitives.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/errors.h"
#include "driver_object/number_text.h"
#include "driver_object/variant.h"
#include "rendering/quarter_turn.h"

namespace pirell {
namespace {

constexpr double kMillimetresPerInch = 25.400051;
constexpr double kWholeDotsTolerance = 0.01;

// Keeps the dot count of any box side representable; GetBitMap refuses sides beyond
// kMaxFieldBoxMillimetres long before this.
constexpr int kMaxBoxDots = 16384;

int MillimetresToDots(double mm, double dots_per_mm) {
  const double dots = mm * dots_per_mm;
  if (!std::isfinite(dots) || dots <= 0) return 0;
  if (dots >= kMaxBoxDots) return kMaxBoxDots;
  return static_cast<int>(RoundHalfEven(dots));
}

}  // namespace

int TBaseImage::DPI() const {
  return static_cast<int>(RoundHalfEven(dots_per_mm_ * kMillimetresPerInch));
}

void TBaseImage::SetDPI(int dpi) {
  // A head of (very nearly) a whole number of dots per millimetre, as 203 dots per inch is,
  // draws at that number; others, 300 and 600 dots per inch among them, at their own resolution,
  // or a picture would come out 1.6 % larger than its box.
  const double exact = dpi / kMillimetresPerInch;
  const double whole = static_cast<double>(RoundHalfEven(exact));
  dots_per_mm_ = std::abs(whole - exact) <= kWholeDotsTolerance * exact ? whole : exact;
  font_dpi_ = dpi;
}

int TBaseImage::BoxWidthDots() const {
  return MillimetresToDots(width_mm_, dots_per_mm_);
}
int TBaseImage::BoxHeightDots() const {
  return MillimetresToDots(height_mm_, dots_per_mm_);
}

void CheckFieldBox(double width_mm, double height_mm) {
  // NaN and negative sides draw nothing (0 dots); only a real excess is refused.
  if (width_mm > kMaxFieldBoxMillimetres || height_mm > kMaxFieldBoxMillimetres) {
    throw LimitError("Поле этикетки больше " + std::to_string(kMaxFieldBoxMillimetres) +
                     " мм по стороне: " + FormatGeneral(width_mm, ".") + " x " +
                     FormatGeneral(height_mm, ".") + " мм");
  }
}

const MonoBitmap& TBaseImage::GetBitMap() {
  CheckFieldBox(width_mm_, height_mm_);
  const int w = BoxWidthDots();
  const int h = BoxHeightDots();
  bitmap_.Resize(TurnedWidth(w, h, rotation_), TurnedHeight(w, h, rotation_));
  return bitmap_;
}

MonoBitmap& TBaseImage::BeginRotation() {
  if (rotation_ == r0) return bitmap_;
  unturned_.Resize(BoxWidthDots(), BoxHeightDots());
  return unturned_;
}

void TBaseImage::EndRotation() {
  if (rotation_ == r0) return;
  TurnInto(unturned_, rotation_, bitmap_);
}

bool TGraphicText::SameAsDrawn() const {
  if (!drawn_) return false;
  const platform::FontDescription& font = Font();
  const platform::FontDescription& was = drawn_->font;
  return drawn_->data == Data() && drawn_->width_mm == Width() && drawn_->height_mm == Height() &&
         drawn_->rotation == Rotation() && drawn_->text_format == TextFormat() &&
         drawn_->dpi == FontDPI() && was.face == font.face && was.size_points == font.size_points &&
         was.charset == font.charset && was.bold == font.bold && was.italic == font.italic &&
         was.underline == font.underline && was.strike_out == font.strike_out;
}

const MonoBitmap& TGraphicText::GetBitMap() {
  if (SameAsDrawn()) return BitMap();
  drawn_.reset();
  TBaseImage::GetBitMap();
  MonoBitmap& canvas = BeginRotation();
  platform::RasteriseText(Font(), FontDPI(), TrimForDrawing(Data()), TextFormat(), canvas);
  EndRotation();
  drawn_ = Drawing{Data(), Width(), Height(), Rotation(), Font(), TextFormat(), FontDPI()};
  return BitMap();
}

const MonoBitmap& TImageItem::GetBitMap() {
  TBaseImage::GetBitMap();
  const Picture* picture = ImageData();
  if (picture == nullptr || picture->Empty()) return BitMap();
  MonoBitmap& canvas = BeginRotation();
  ScalePictureInto(*picture,
                   PictureTargetRect(canvas.Width(), canvas.Height(), picture->Width(),
                                     picture->Height(), Stretch()),
                   canvas);
  EndRotation();
  return BitMap();
}

PixelRect PictureTargetRect(int box_width, int box_height, int picture_width, int picture_height,
                            bool stretch) {
  if (stretch || picture_width <= 0 || picture_height <= 0) {
    return {0, 0, box_width, box_height};
  }
  const double k = std::min(static_cast<double>(box_width) / picture_width,
                            static_cast<double>(box_height) / picture_height);
  const int w = static_cast<int>(RoundHalfEven(picture_width * k));
  const int h = static_cast<int>(RoundHalfEven(picture_height * k));
  return {(box_width - w) / 2, (box_height - h) / 2, w, h};
}

std::uint32_t TextAlignFromName(std::string_view name) {
  if (name == "vaCenter") return platform::text_flags::kVCenter;
  if (name == "vaBottom") return platform::text_flags::kBottom;
  if (name == "haCenter") return platform::text_flags::kCenter;
  if (name == "haRight") return platform::text_flags::kRight;
  return 0;
}

std::string_view TrimForDrawing(std::string_view text) {
  const auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace pirell
