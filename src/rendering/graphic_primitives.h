#pragma once

// Renderers of the label fields that the printer cannot draw itself: text in a chosen font and
// pictures, drawn into a monochrome bitmap at the printer's resolution.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_raster.h"
#include "rendering/mono_bitmap.h"
#include "rendering/picture.h"
#include "rendering/picture_scaling.h"
#include "rendering/rotation.h"

namespace pirell {

// Longest side of a field box drawn into a bitmap: a metre, longer than any label the printer
// takes (8000 dots at 203 dpi, a bitmap of 8 MB). A longer side comes from a broken template.
inline constexpr int kMaxFieldBoxMillimetres = 1000;

// Raises the LimitError of a field box with a side longer than kMaxFieldBoxMillimetres; NaN and
// negative sides draw nothing and pass.
void CheckFieldBox(double width_mm, double height_mm);

// The renderer of one field. The base class sizes the bitmap and draws nothing.
class TBaseImage {
 public:
  TBaseImage() = default;
  virtual ~TBaseImage() = default;
  TBaseImage(const TBaseImage&) = delete;
  TBaseImage& operator=(const TBaseImage&) = delete;

  // Sizes BitMap for the box and the turn, all white; descendants then draw into it. The
  // bitmap stays valid until the next call. Raises a LimitError when a side of the box is
  // longer than kMaxFieldBoxMillimetres.
  virtual const MonoBitmap& GetBitMap();
  const MonoBitmap& BitMap() const { return bitmap_; }

  // Writing sets DotsPerMM to the nearest whole number of v / 25.400051 (halves to even) when
  // that is within 1 % of it (8 for 203), otherwise to v / 25.400051 itself (300, 600), and draws
  // fonts at v dots per inch; reading gives DotsPerMM back in dots per inch, rounded the same way
  // (8 dots per mm read as 203).
  int DPI() const;
  void SetDPI(int dpi);
  double DotsPerMM() const { return dots_per_mm_; }

  // The unturned field box, in millimetres.
  double Width() const { return width_mm_; }
  void SetWidth(double mm) { width_mm_ = mm; }
  double Height() const { return height_mm_; }
  void SetHeight(double mm) { height_mm_ = mm; }

  TRotation Rotation() const { return rotation_; }
  void SetRotation(TRotation rotation) { rotation_ = rotation; }

  platform::FontDescription& Font() { return font_; }
  const platform::FontDescription& Font() const { return font_; }

  // Layout flags of the text (platform::text_flags); word break is always among them.
  std::uint32_t TextFormat() const { return text_format_; }
  void SetTextFormat(std::uint32_t flags) { text_format_ = flags; }

  const std::string& Data() const { return data_; }
  void SetData(std::string data) { data_ = std::move(data); }

  // The picture of an Image field; owned by the label's picture list.
  const Picture* ImageData() const { return image_data_; }
  void SetImageData(const Picture* picture) { image_data_ = picture; }

  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch) { stretch_ = stretch; }

  // The unturned box in dots: the millimetres times DotsPerMM, nearest whole number.
  int BoxWidthDots() const;
  int BoxHeightDots() const;

 protected:
  // The surface to draw the unturned box on: BitMap itself when the field is not turned,
  // otherwise a white scratch bitmap that EndRotation turns into BitMap.
  MonoBitmap& BeginRotation();
  void EndRotation();
  int FontDPI() const { return font_dpi_; }
  MonoBitmap& MutableBitMap() { return bitmap_; }

 private:
  MonoBitmap bitmap_;
  MonoBitmap unturned_;
  const Picture* image_data_ = nullptr;
  double height_mm_ = 0;
  double width_mm_ = 0;
  TRotation rotation_ = r0;
  platform::FontDescription font_;
  std::uint32_t text_format_ = platform::text_flags::kWordBreak;
  double dots_per_mm_ = 8;
  int font_dpi_ = 203;
  std::string data_;
  bool stretch_ = false;
};

// Text of a TextGraphic field in the renderer's font. A call with the same text and settings as
// the previous one hands back the bitmap drawn then: consecutive labels often repeat a text.
class TGraphicText : public TBaseImage {
 public:
  const MonoBitmap& GetBitMap() override;

 private:
  // What the bitmap was drawn from.
  struct Drawing {
    std::string data;
    double width_mm = 0;
    double height_mm = 0;
    TRotation rotation = r0;
    platform::FontDescription font;
    std::uint32_t text_format = 0;
    int dpi = 0;
  };
  bool SameAsDrawn() const;
  std::optional<Drawing> drawn_;
};

// Picture of an Image field, fitted into the box (or filling it with Stretch).
class TImageItem : public TBaseImage {
 public:
  const MonoBitmap& GetBitMap() override;
};

// Where a picture of `picture_width` x `picture_height` goes in a box of `box_width` x
// `box_height`: the whole box with `stretch`; otherwise as large as fits with its proportions
// kept (enlarged or reduced), centred, the margins rounded down.
PixelRect PictureTargetRect(int box_width, int box_height, int picture_width, int picture_height,
                            bool stretch);

// Layout flag of an "HAlign" or "VAlign" value: "haCenter" 1, "haRight" 2, "vaCenter" 4,
// "vaBottom" 8, anything else 0. Exact comparison.
std::uint32_t TextAlignFromName(std::string_view name);

// The text of a TextGraphic field as it is drawn: without leading and trailing characters of
// code 32 or below.
std::string_view TrimForDrawing(std::string_view text);

}  // namespace pirell
