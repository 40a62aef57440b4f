#include "platform/linux/freetype_fonts.h"

#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace pirell::platform::linux_fonts {
namespace {

// Enough for the fonts of a few templates; past it the cache starts afresh.
constexpr std::size_t kMaxSizedFonts = 64;
constexpr std::size_t kMaxGlyphsPerFont = 2048;

struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// Windows character set numbers name scripts; fontconfig picks faces by language.
const char* LanguageOfCharset(int charset) {
  switch (charset) {
    case 204:
      return "ru";
    case 238:
      return "pl";
    case 161:
      return "el";
    case 162:
      return "tr";
    case 177:
      return "he";
    case 178:
      return "ar";
    case 186:
      return "lt";
    case 163:
      return "vi";
    case 222:
      return "th";
    case 128:
      return "ja";
    case 129:
      return "ko";
    case 134:
      return "zh-cn";
    case 136:
      return "zh-tw";
    default:
      return nullptr;
  }
}

int RoundPixels(FT_Pos value_26_6) {
  return static_cast<int>((value_26_6 + 32) >> 6);
}

int ScaleUnits(int units, int em_height, int units_per_em) {
  if (units_per_em <= 0) return 0;
  return static_cast<int>(std::ceil(static_cast<double>(units) * em_height / units_per_em));
}

}  // namespace

SizedFont::SizedFont(FacePtr face, int em_height, bool embolden, bool slant)
    : face_(std::move(face)), embolden_(embolden), slant_(slant) {
  FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE);
  FT_Set_Pixel_Sizes(face_.get(), 0, static_cast<FT_UInt>(em_height));
  ReadLineMetrics(em_height);
}

// Line height follows the Windows metrics of the face where it has them, so that lines are as
// far apart as on Windows with the same face.
void SizedFont::ReadLineMetrics(int em_height) {
  FT_Face face = face_.get();
  const FT_Size_Metrics& metrics = face->size->metrics;
  ascent_ = RoundPixels(metrics.ascender);
  descent_ = RoundPixels(-metrics.descender);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const bool scalable = FT_IS_SCALABLE(face) != 0;
  if (os2 != nullptr && os2->version != 0xFFFF && scalable &&
      os2->usWinAscent + os2->usWinDescent > 0) {
    ascent_ = ScaleUnits(os2->usWinAscent, em_height, face->units_per_EM);
    descent_ = ScaleUnits(os2->usWinDescent, em_height, face->units_per_EM);
  }

  if (scalable && face->underline_thickness > 0) {
    FT_Pos thickness = FT_MulFix(face->underline_thickness, metrics.y_scale);
    FT_Pos centre = -FT_MulFix(face->underline_position, metrics.y_scale);  // below baseline
    underline_thickness_ = std::max(1, RoundPixels(thickness));
    underline_offset_ = std::max(1, RoundPixels(centre - thickness / 2));
  } else {
    underline_thickness_ = std::max(1, em_height / 14);
    underline_offset_ = std::max(1, descent_ / 2);
  }

  if (os2 != nullptr && os2->version != 0xFFFF && scalable && os2->yStrikeoutSize > 0) {
    strike_thickness_ = std::max(1, RoundPixels(FT_MulFix(os2->yStrikeoutSize, metrics.y_scale)));
    strike_offset_ = -RoundPixels(FT_MulFix(os2->yStrikeoutPosition, metrics.y_scale));
  } else {
    strike_thickness_ = underline_thickness_;
    strike_offset_ = -std::max(1, em_height / 4);
  }
}

const GlyphImage& SizedFont::Glyph(char32_t ch) {
  auto found = glyphs_.find(ch);
  if (found != glyphs_.end()) return found->second;
  if (glyphs_.size() >= kMaxGlyphsPerFont) glyphs_.clear();
  return glyphs_.emplace(ch, Render(ch)).first->second;
}

GlyphImage SizedFont::Render(char32_t ch) {
  GlyphImage image;
  FT_Face face = face_.get();
  FT_UInt index = FT_Get_Char_Index(face, ch);
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return image;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (embolden_) FT_GlyphSlot_Embolden(slot);
    if (slant_) FT_GlyphSlot_Oblique(slot);
  }
  image.advance = RoundPixels(slot->advance.x);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return image;

  const FT_Bitmap& bitmap = slot->bitmap;
  image.left = slot->bitmap_left;
  image.top = slot->bitmap_top;
  image.width = static_cast<int>(bitmap.width);
  image.rows = static_cast<int>(bitmap.rows);
  image.stride = (image.width + 7) / 8;
  image.bits.assign(static_cast<std::size_t>(image.stride) * image.rows, 0);
  for (int y = 0; y < image.rows; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    std::uint8_t* out = image.bits.data() + static_cast<std::size_t>(y) * image.stride;
    for (int x = 0; x < image.width; ++x) {
      bool ink = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x / 8] & (0x80 >> (x % 8))) != 0
                                                         : row[x] >= 128;
      if (ink) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
  }
  return image;
}

FontCache& FontCache::Instance() {
  static FontCache cache;
  return cache;
}

FontCache::FontCache() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0) library_.reset(library);
  config_.reset(FcInitLoadConfigAndFonts());
}

const FaceMatch& FontCache::Match(const FontDescription& font) {
  const std::string& family = font.face.empty() ? DefaultFontFace() : font.face;
  MatchKey key{family, font.bold, font.italic, font.charset};
  auto found = matches_.find(key);
  if (found != matches_.end()) return found->second;

  FaceMatch match;
  PatternPtr pattern(FcPatternCreate());
  if (pattern) {
    auto* fc_family = reinterpret_cast<const FcChar8*>(family.c_str());
    FcPatternAddString(pattern.get(), FC_FAMILY, fc_family);
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (const char* language = LanguageOfCharset(font.charset)) {
      FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(language));
    }
    FcConfigSubstitute(config_.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr matched(FcFontMatch(config_.get(), pattern.get(), &result));
    FcChar8* file = nullptr;
    if (matched && FcPatternGetString(matched.get(), FC_FILE, 0, &file) == FcResultMatch) {
      match.file = reinterpret_cast<const char*>(file);
      int index = 0;
      if (FcPatternGetInteger(matched.get(), FC_INDEX, 0, &index) == FcResultMatch) {
        match.index = index;
      }
      int weight = FC_WEIGHT_REGULAR;
      FcPatternGetInteger(matched.get(), FC_WEIGHT, 0, &weight);
      int slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(matched.get(), FC_SLANT, 0, &slant);
      match.embolden = font.bold && weight < FC_WEIGHT_DEMIBOLD;
      match.slant = font.italic && slant == FC_SLANT_ROMAN;
    }
  }
  return matches_.emplace(std::move(key), std::move(match)).first->second;
}

SizedFont* FontCache::Get(const FontDescription& font, int em_height) {
  if (!library_ || !config_) return nullptr;
  const FaceMatch& match = Match(font);
  if (match.file.empty()) return nullptr;
  FontKey key{match.file, match.index, em_height, match.embolden, match.slant};
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();

  FT_Face face = nullptr;
  if (FT_New_Face(library_.get(), match.file.c_str(), match.index, &face) != 0) return nullptr;
  FacePtr owned(face);
  if (fonts_.size() >= kMaxSizedFonts) fonts_.clear();
  auto sized =
      std::make_unique<SizedFont>(std::move(owned), em_height, match.embolden, match.slant);
  return fonts_.emplace(std::move(key), std::move(sized)).first->second.get();
}

}  // namespace pirell::platform::linux_fonts
