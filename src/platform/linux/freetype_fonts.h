#pragma once

// FreeType faces found through fontconfig, kept open for the life of the process so that
// rendering many labels does not reopen font files or re-render glyphs.

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/text_raster.h"

namespace pirell::platform::linux_fonts {

// A rendered glyph, packed one bit per pixel (most significant bit leftmost, 1 = ink).
struct GlyphImage {
  int advance = 0;  // pixels
  int left = 0;     // from the pen position to the first column
  int top = 0;      // from the baseline up to the first row
  int width = 0;
  int rows = 0;
  int stride = 0;  // bytes per row
  std::vector<std::uint8_t> bits;

  bool Ink(int x, int y) const {
    return (bits[static_cast<std::size_t>(y) * stride + x / 8] & (0x80 >> (x % 8))) != 0;
  }
};

struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

// One face at one em height, with synthetic bold or slant where the face has no such style.
class SizedFont {
 public:
  SizedFont(FacePtr face, int em_height, bool embolden, bool slant);

  int Advance(char32_t ch) { return Glyph(ch).advance; }
  const GlyphImage& Glyph(char32_t ch);

  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  // Rows of a line below the baseline (top row, thickness), for underline and strike-out.
  int UnderlineOffset() const { return underline_offset_; }
  int UnderlineThickness() const { return underline_thickness_; }
  int StrikeOffset() const { return strike_offset_; }  // negative: above the baseline
  int StrikeThickness() const { return strike_thickness_; }

 private:
  GlyphImage Render(char32_t ch);
  void ReadLineMetrics(int em_height);

  FacePtr face_;
  bool embolden_;
  bool slant_;
  int ascent_ = 0;
  int descent_ = 0;
  int underline_offset_ = 1;
  int underline_thickness_ = 1;
  int strike_offset_ = 0;
  int strike_thickness_ = 1;
  std::unordered_map<char32_t, GlyphImage> glyphs_;
};

// The face file that fontconfig picks for a font description.
struct FaceMatch {
  std::string file;
  int index = 0;
  bool embolden = false;  // bold asked for, the face is not bold
  bool slant = false;     // italic asked for, the face is upright
};

// Process-wide cache of the FreeType library, the face matches and the sized fonts. Not
// thread-safe by itself: RasteriseText serialises its use.
class FontCache {
 public:
  static FontCache& Instance();

  // The font for the description at the em height, or none when no face can be loaded.
  SizedFont* Get(const FontDescription& font, int em_height);

 private:
  FontCache();
  const FaceMatch& Match(const FontDescription& font);

  struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
  };
  // Declared first so that it is destroyed after every face.
  std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter> library_;

  struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
  };
  // Our own fontconfig configuration, so that everything fontconfig allocates for us is freed.
  std::unique_ptr<FcConfig, ConfigDeleter> config_;

  using MatchKey = std::tuple<std::string, bool, bool, int>;
  std::map<MatchKey, FaceMatch> matches_;
  using FontKey = std::tuple<std::string, int, int, bool, bool>;
  std::map<FontKey, std::unique_ptr<SizedFont>> fonts_;
};

}  // namespace pirell::platform::linux_fonts
