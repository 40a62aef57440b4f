#include "rendering/field_bitmap.h"

#include <limits>
#include <memory>
#include <optional>
#include <string_view>

#include "driver_object/number_text.h"
#include "platform/locale.h"

namespace pirell {
namespace {

constexpr int kSizeWhenNotWhole = 12;
constexpr int kCharsetWhenNotWhole = 204;

std::optional<int> WholeNumber(std::string_view text) {
  const std::optional<std::int64_t> number = ParseInteger(text);
  if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
      *number > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(*number);
}

// The field's boolean rule: a number (0 false) or "True"/"False" in any letter case.
bool BooleanOf(std::string_view text, bool def) {
  if (const std::optional<double> number = ParseLocaleDecimal(text)) return *number != 0;
  if (platform::SameText(text, "True")) return true;
  if (platform::SameText(text, "False")) return false;
  return def;
}

void ApplyStyle(std::string_view style, platform::FontDescription& font) {
  font.bold = style.find("fsBold") != std::string_view::npos;
  font.italic = style.find("fsItalic") != std::string_view::npos;
  font.underline = style.find("fsUnderline") != std::string_view::npos;
  font.strike_out = style.find("fsStrikeOut") != std::string_view::npos;
}

std::shared_ptr<TBaseImage> MakeRenderer(TFieldType type) {
  switch (type) {
    case ftGraphicText:
      return std::make_shared<TGraphicText>();
    case ftImage:
      return std::make_shared<TImageItem>();
    default:
      return std::make_shared<TBaseImage>();
  }
}

}  // namespace

void ApplyImageProperties(const TField& field, TBaseImage& image) {
  platform::FontDescription& font = image.Font();
  for (const std::string& pair : field.PropList()) {
    const std::size_t equals = pair.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view name = std::string_view(pair).substr(0, equals);
    const std::string_view text = std::string_view(pair).substr(equals + 1);
    if (name == "Font.Size") {
      font.size_points = WholeNumber(text).value_or(kSizeWhenNotWhole);
    } else if (name == "Font.Charset") {
      font.charset = WholeNumber(text).value_or(kCharsetWhenNotWhole);
    } else if (name == "Font.Name") {
      font.face = std::string(text);
    } else if (name == "Font.Style") {
      ApplyStyle(text, font);
    } else if (name == "Stretch") {
      image.SetStretch(BooleanOf(text, false));
    } else if (name == "VAlign" || name == "HAlign") {
      image.SetTextFormat(image.TextFormat() | TextAlignFromName(text));
    }
  }
}

const MonoBitmap& DrawFieldPicture(const TField& field, TBaseImage& renderer) {
  TLabelImageList* pictures = field.LabelImageList();
  if (pictures == nullptr) {
    renderer.SetImageData(nullptr);
    return renderer.GetBitMap();
  }
  return pictures->DrawPicture(field.Value(), renderer);
}

const MonoBitmap& TField::GetBitmap(int dpi) {
  if (!image_) {
    image_ = MakeRenderer(FieldType());
    image_->SetDPI(dpi);
    image_->SetWidth(GetPropertyDbl("Width", 0));
    image_->SetHeight(GetPropertyDbl("Height", 0));
    image_->SetRotation(Rotation());
    ApplyImageProperties(*this, *image_);
  }
  image_->SetData(Value());
  if (FieldType() == ftImage) return DrawFieldPicture(*this, *image_);
  return image_->GetBitMap();
}

}  // namespace pirell
