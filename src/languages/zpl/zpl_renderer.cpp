#include "languages/zpl/zpl_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/codepage.h"
#include "preview/barcode_encoder.h"
#include "preview/object_placement.h"
#include "preview/printer_barcode.h"
#include "preview/printer_text.h"
#include "preview/scalable_text.h"

namespace pirell::preview {
namespace {

// The driver's default label, 58 x 40 mm, for a job that does not give its size.
constexpr double kDefaultWidthMM = 58;
constexpr double kDefaultLengthMM = 40;
// Positions and sizes the printer takes.
constexpr std::int64_t kMostDots = 32000;
constexpr std::int64_t kMostCopies = 99999999;
constexpr std::size_t kExcerptBytes = 40;

int DotsOf(double mm, int dpi) {
  return static_cast<int>(std::lround(mm * dpi / 25.4));
}

std::string Text(std::int64_t number) {
  return std::to_string(number);
}

// The start of a command for a warning, other bytes than printable ASCII as \xNN.
std::string Excerpt(std::string_view command) {
  std::string text;
  for (std::size_t i = 0; i < command.size() && i < kExcerptBytes; ++i) {
    const auto byte = static_cast<unsigned char>(command[i]);
    if (byte < 0x20 || byte >= 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0x0F];
    } else {
      text += static_cast<char>(byte);
    }
  }
  if (command.size() > kExcerptBytes) text += "...";
  return text;
}

// The comma-separated parameters of a command; a missing one is empty.
class Parameters {
 public:
  explicit Parameters(std::string_view text) {
    while (true) {
      const std::size_t comma = text.find(',');
      parts_.push_back(text.substr(0, comma));
      if (comma == std::string_view::npos) break;
      text.remove_prefix(comma + 1);
    }
  }
  std::string_view operator[](std::size_t i) const {
    return i < parts_.size() ? parts_[i] : std::string_view();
  }
  std::size_t Count() const { return parts_.size(); }

 private:
  std::vector<std::string_view> parts_;
};

// A whole number within 0..most, or nothing (for an empty or malformed parameter).
std::optional<std::int64_t> Number(std::string_view text, std::int64_t most = kMostDots) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > most) return std::nullopt;
  return value;
}

// A number parameter: the default when empty, false when malformed or out of range.
bool NumberOr(std::string_view text, std::int64_t fallback, std::int64_t least, std::int64_t most,
              std::int64_t& value) {
  if (text.empty()) {
    value = fallback;
    return true;
  }
  const auto number = Number(text, most);
  if (!number || *number < least) return false;
  value = *number;
  return true;
}

// The quarter turns of an orientation letter; the default for an empty one.
std::optional<int> Turn(std::string_view text, int fallback) {
  if (text.empty()) return fallback;
  if (text.size() != 1) return std::nullopt;
  switch (text.front()) {
    case 'N':
      return 0;
    case 'R':
      return 1;
    case 'I':
      return 2;
    case 'B':
      return 3;
    default:
      return std::nullopt;
  }
}

std::optional<bool> YesNo(std::string_view text, bool fallback) {
  if (text.empty()) return fallback;
  if (text == "Y") return true;
  if (text == "N") return false;
  return std::nullopt;
}

// The ten digits of a UPC-A number of the number system 0 as the six of the UPC-E symbol that
// suppresses its zeros; nothing when its zeros cannot be suppressed.
std::optional<std::string> UpcEDigits(std::string_view ten) {
  if (ten.size() != 10) return std::nullopt;
  for (const char c : ten)
    if (c < '0' || c > '9') return std::nullopt;
  const std::string_view m = ten.substr(0, 5);
  const std::string_view p = ten.substr(5, 5);
  const std::string_view m345 = m.substr(2, 3);
  if ((m345 == "000" || m345 == "100" || m345 == "200") && p.substr(0, 2) == "00")
    return std::string(m.substr(0, 2)) + std::string(p.substr(2, 3)) + m[2];
  if (m.substr(3, 2) == "00" && p.substr(0, 3) == "000")
    return std::string(m.substr(0, 3)) + std::string(p.substr(3, 2)) + "3";
  if (m[4] == '0' && p.substr(0, 4) == "0000") return std::string(m.substr(0, 4)) + p[4] + "4";
  if (p.substr(0, 4) == "0000" && p[4] >= '5') return std::string(m) + p[4];
  return std::nullopt;
}

// The barcode commands drawn and where their parameters are.
struct BarcodeCommand {
  std::string_view name;
  std::optional<Symbology> symbology;  // none: drawn as a hatched box
  std::size_t height;                  // index of the bar height
  std::size_t readable;                // of the interpretation line
  std::size_t above;                   // of the line above the bars
};
constexpr std::array<BarcodeCommand, 10> kBarcodes = {{
    {"B1", std::nullopt, 2, 3, 4},
    {"B2", Symbology::Interleaved2of5, 1, 2, 3},
    {"B3", Symbology::Code39, 2, 3, 4},
    {"B8", Symbology::Ean8, 1, 2, 3},
    {"B9", Symbology::UpcE, 1, 2, 3},
    {"BA", Symbology::Code93, 1, 2, 3},
    {"BC", Symbology::Code128, 1, 2, 3},
    {"BE", Symbology::Ean13, 1, 2, 3},
    {"BK", Symbology::Codabar, 2, 3, 4},
    {"BU", Symbology::UpcA, 1, 2, 3},
}};

const BarcodeCommand* BarcodeCommandOf(std::string_view name) {
  for (const BarcodeCommand& command : kBarcodes)
    if (command.name == name) return &command;
  return nullptr;
}

// What a Code 128 field's data encodes: the bytes, GS for FNC1 separators.
struct Code128Data {
  std::string bytes;
  bool gs1 = false;
  bool other_functions = false;
};

Code128Data ReadCode128(std::string_view data, char mode) {
  Code128Data out;
  out.gs1 = mode == 'D';
  for (std::size_t i = 0; i < data.size(); ++i) {
    const char c = data[i];
    if (mode == 'D' && (c == '(' || c == ')' || c == ' ')) continue;
    if (c != '>' || i + 1 == data.size()) {
      out.bytes.push_back(c);
      continue;
    }
    const char code = data[++i];
    if (code == '<') {
      out.bytes.push_back('>');
    } else if (code == '8') {
      if (out.bytes.empty())
        out.gs1 = true;
      else
        out.bytes.push_back('\x1D');
    } else if ((code == '9' || code == ':' || code == ';') && out.bytes.empty()) {
      // A start code: the preview chooses the subsets itself.
    } else {
      out.other_functions = true;
    }
  }
  return out;
}

// The field data as UTF-8: "^FH" escapes replaced by their bytes, and bytes of another
// character set than UTF-8 ("^CI28") taken as Latin-1.
std::string FieldText(const std::string& data, std::optional<char> indicator, int character_set) {
  std::string bytes;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (indicator && data[i] == *indicator && i + 2 < data.size() && HexValue(data[i + 1]) >= 0 &&
        HexValue(data[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(HexValue(data[i + 1]) * 16 + HexValue(data[i + 2])));
      i += 2;
    } else {
      bytes.push_back(data[i]);
    }
  }
  if (character_set == 28) return bytes;
  std::string utf8;
  for (const char c : bytes) platform::AppendUtf8(utf8, static_cast<unsigned char>(c));
  return utf8;
}

}  // namespace

ZplRenderer::ZplRenderer(RenderSink& sink, const RenderOptions& options)
    : sink_(sink),
      reader_(*this),
      fonts_(options.dpi),
      max_label_dots_(MaxLabelDots(options)),
      width_(std::min(DotsOf(kDefaultWidthMM, options.dpi), max_label_dots_)),
      length_(std::min(DotsOf(kDefaultLengthMM, options.dpi), max_label_dots_)) {}

void ZplRenderer::Feed(std::string_view bytes) {
  reader_.Feed(bytes);
}

RenderSummary ZplRenderer::Finish() {
  reader_.Finish();
  if (in_format_) {
    Warn(format_offset_, "the job ends inside a label format (no \"^XZ\"): not printed");
    in_format_ = false;
  }
  return summary_;
}

std::size_t ZplRenderer::HeldBytes() const {
  return reader_.HeldBytes() + graphic_.HeldBytes() +
         static_cast<std::size_t>(label_.Stride()) * static_cast<std::size_t>(label_.Height());
}

void ZplRenderer::Warn(std::uint64_t offset, const std::string& text) {
  ++summary_.warnings;
  sink_.OnWarning(offset, text);
}

MonoBitmap& ZplRenderer::Label(std::uint64_t offset) {
  if (!label_made_) {
    if (!width_given_ || !length_given_) {
      Warn(offset, "no label size (\"^PW\", \"^LL\") before the first label: " + Text(width_) +
                       " x " + Text(length_) + " dots taken");
      width_given_ = length_given_ = true;
    }
    if (label_.Width() == width_ && label_.Height() == length_)
      label_.FillWhite();
    else
      label_.Resize(width_, length_);
    label_made_ = true;
  }
  return label_;
}

void ZplRenderer::NoteDrawn(bool inside, std::uint64_t offset, const std::string& what) {
  if (!inside) Warn(offset, what + ": partly off the label, cut at its edge");
}

void ZplRenderer::OnStray(std::uint64_t offset) {
  Warn(offset, "bytes before the first command, which the printer ignores");
}

void ZplRenderer::OnOverlong(std::uint64_t offset) {
  Warn(offset,
       "a command longer than " + Text(ZplCommandReader::kMaxCommandBytes) + " bytes, skipped");
}

bool ZplRenderer::OnCommand(char prefix, std::string_view name, std::string_view parameters,
                            std::uint64_t offset) {
  std::string command(1, prefix);
  command.append(name);
  command.append(parameters);
  std::string error;
  bool wanted = false;
  if (prefix == '~') {
    if (name == "SD") {
      std::int64_t darkness = 0;
      if (!NumberOr(parameters.substr(0, parameters.find('.')), 0, 0, 30, darkness) ||
          parameters.empty())
        error = "the darkness must be 00 to 30";
    } else if (name != "JR" && name != "JA" && name != "WC") {
      error = "unknown command";
    }
  } else if (name == "XA") {
    if (in_format_) Warn(offset, "\"^XA\" inside a label format: the format goes on");
    in_format_ = true;
    format_offset_ = offset;
    copies_ = 1;
    label_made_ = false;
    field_ = Field();
  } else if (!in_format_) {
    error = "outside a label format (\"^XA\" to \"^XZ\"), ignored";
  } else if (name == "GF") {
    error = StartGraphic(parameters, offset);
    wanted = error.empty();
  } else {
    error = FormatCommand(name, parameters, offset);
  }
  if (!error.empty()) Warn(offset, Excerpt(command) + ": " + error);
  return wanted;
}

std::string ZplRenderer::FormatCommand(std::string_view name, std::string_view parameters,
                                       std::uint64_t offset) {
  const Parameters p(parameters);
  if (name == "XZ") {
    if (field_.placed || field_.has_data || !field_.barcode.empty() || field_.has_box)
      Warn(field_.offset, "a field without \"^FS\" before \"^XZ\": not drawn");
    // A format that draws nothing (one that only sets the printer up) prints no label.
    if (label_made_) {
      sink_.OnLabel(label_, copies_);
      ++summary_.labels;
      summary_.copies += copies_;
    }
    in_format_ = false;
    label_made_ = false;
    field_ = Field();
    return {};
  }
  if (name == "FS") return EndField(offset);
  if (name == "FO" || name == "FT") {
    std::int64_t x = 0;
    std::int64_t y = 0;
    if (!NumberOr(p[0], 0, 0, kMostDots, x) || !NumberOr(p[1], 0, 0, kMostDots, y))
      return "the position must be 0 to 32000 dots";
    if (p.Count() > 2 && p[2] != "0") return "only left justification (0) is drawn";
    field_.placed = true;
    field_.typeset = name == "FT";
    field_.x = home_x_ + x;
    field_.y = home_y_ + y;
    field_.offset = offset;
    return {};
  }
  if (name == "FD") {
    field_.has_data = true;
    field_.data.assign(parameters);
    return {};
  }
  if (name == "FH") {
    field_.hex_indicator = parameters.empty() ? '_' : parameters.front();
    return {};
  }
  if (name == "FR") {
    field_.reverse = true;
    return {};
  }
  if (name == "FX") return {};  // a comment
  if (name == "FB") {
    std::int64_t width = 0;
    std::int64_t lines = 1;
    if (!NumberOr(p[0], 0, 0, kMostDots, width) || !NumberOr(p[1], 1, 1, 9999, lines))
      return "takes the block width and the number of lines";
    const std::string_view justification = p[3].empty() ? "L" : p[3];
    if (justification != "L" && justification != "C" && justification != "R" &&
        justification != "J")
      return "the justification must be L, C, R or J";
    field_.block_width = width;
    field_.block_justification = justification.front() == 'J' ? 'L' : justification.front();
    if (lines > 1) return "a block of more lines than one is drawn as one line";
    return {};
  }
  if (name == "FW") {
    const auto turn = Turn(p[0], default_turn_);
    if (!turn) return "the orientation must be N, R, I or B";
    default_turn_ = *turn;
    return {};
  }
  if (name.size() == 2 && name[0] == 'A') {
    const auto turn = Turn(p[0], default_turn_);
    std::int64_t height = 0;
    std::int64_t width = 0;
    if (!turn) return "the orientation must be N, R, I or B";
    if (!NumberOr(p[1], 0, 0, kMostDots, height) || !NumberOr(p[2], 0, 0, kMostDots, width))
      return "the character height and width must be 0 to 32000 dots";
    if (height == 0) height = width > 0 ? width : default_font_height_;
    if (width == 0) width = height;
    field_.turn = *turn;
    field_.font = name[1];
    field_.font_height = height;
    field_.font_width = width;
    if (name[1] != '0')
      return "font " + std::string(1, name[1]) + " is drawn as the scalable font 0";
    return {};
  }
  if (name == "CF") {
    std::int64_t height = 0;
    std::int64_t width = 0;
    if (p[0].size() > 1 || !NumberOr(p[1], default_font_height_, 1, kMostDots, height) ||
        !NumberOr(p[2], 0, 0, kMostDots, width))
      return "takes a font name, the character height and width";
    if (!p[0].empty()) default_font_ = p[0].front();
    default_font_height_ = height;
    default_font_width_ = width > 0 ? width : height;
    return {};
  }
  if (name == "CI") {
    std::int64_t set = 0;
    if (!NumberOr(p[0], 0, 0, 36, set) || p[0].empty()) return "the character set must be 0 to 36";
    character_set_ = static_cast<int>(set);
    if (set != 0 && set != 27 && set != 28)
      return "the preview reads field data as UTF-8 (28) or Latin-1";
    return {};
  }
  if (name == "PW" || name == "LL") {
    const auto dots = Number(p[0], kMostDots);
    if (!dots || *dots < 1 || *dots > max_label_dots_)
      return "must be 1 to " + Text(max_label_dots_) + " dots";
    if (name == "PW") {
      width_ = static_cast<int>(*dots);
      width_given_ = true;
    } else {
      length_ = static_cast<int>(*dots);
      length_given_ = true;
    }
    if (label_made_) return "the label is already being drawn: the size counts from the next one";
    return {};
  }
  if (name == "LH") {
    if (!NumberOr(p[0], 0, 0, kMostDots, home_x_) || !NumberOr(p[1], 0, 0, kMostDots, home_y_))
      return "the label home must be 0 to 32000 dots";
    return {};
  }
  if (name == "PQ") {
    std::int64_t copies = 1;
    if (!NumberOr(p[0], 1, 1, kMostCopies, copies)) return "the quantity must be 1 to 99999999";
    copies_ = static_cast<std::uint64_t>(copies);
    return {};
  }
  if (name == "BY") {
    std::int64_t module = module_;
    std::int64_t height = bar_height_;
    if (!NumberOr(p[0], module_, 1, 10, module)) return "the module width must be 1 to 10 dots";
    double ratio = ratio_;
    if (!p[1].empty()) {
      const std::string text(p[1]);
      char* end = nullptr;
      ratio = std::strtod(text.c_str(), &end);
      if (end != text.c_str() + text.size() || !(ratio >= 2.0 && ratio <= 3.0))
        return "the wide to narrow ratio must be 2.0 to 3.0";
    }
    if (!NumberOr(p[2], bar_height_, 1, kMostDots, height))
      return "the bar height must be 1 to 32000 dots";
    module_ = module;
    ratio_ = ratio;
    bar_height_ = height;
    return {};
  }
  if (name == "GB") {
    std::int64_t thickness = 1;
    if (!NumberOr(p[2], 1, 1, kMostDots, thickness)) return "the thickness must be 1 to 32000 dots";
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (!NumberOr(p[0], thickness, 0, kMostDots, width) ||
        !NumberOr(p[1], thickness, 0, kMostDots, height))
      return "the width and height must be 0 to 32000 dots";
    if (!p[3].empty() && p[3] != "B") return "only black lines (B) are drawn";
    field_.has_box = true;
    field_.box_width = std::max(width, thickness);
    field_.box_height = std::max(height, thickness);
    field_.box_thickness = thickness;
    if (!p[4].empty() && p[4] != "0") return "rounded corners are drawn square";
    return {};
  }
  if (BarcodeCommandOf(name) != nullptr) {
    field_.barcode.assign(name);
    field_.barcode_parameters.assign(parameters);
    field_.barcode_offset = offset;
    return {};
  }
  // Settings that change no picture: media tracking and type, speed, darkness, deletes.
  if (name == "MN" || name == "MT" || name == "PR" || name == "MD" || name == "ID") return {};
  if (name.size() == 2 && name[0] == 'B') return "the preview does not draw this barcode command";
  return "unknown command";
}

std::string ZplRenderer::StartGraphic(std::string_view parameters, std::uint64_t offset) {
  const Parameters p(parameters);
  if (p.Count() != 4)
    return "takes the format, two byte counts, the bytes of a row and the data; its data cannot "
           "be found";
  if (p[0] != "A") return "only ASCII hexadecimal data (format A) is drawn";
  const auto total = Number(p[2], 99999999);
  const auto per_row = Number(p[3], 99999);
  if (!total || !per_row || *per_row < 1)
    return "the byte counts must be numbers, the bytes of a row 1 or more";
  if (*per_row > max_label_dots_ / 8 + 1) return "wider than any label the preview draws";
  const std::int64_t rows = (*total + *per_row - 1) / *per_row;
  std::int64_t x = field_.x;
  std::int64_t y = field_.y - (field_.typeset ? rows : 0);
  if (field_.reverse) Warn(offset, "a reversed graphic field is drawn as it is");
  MonoBitmap& label = Label(offset);
  graphic_.Start(label, x, y, *per_row, rows);
  graphic_open_ = true;
  graphic_offset_ = offset;
  field_.drew_graphic = true;
  const ObjectPlacement placement(label, x, y, 0);
  NoteDrawn(!placement.PartlyOutside(0, 0, *per_row * 8, rows), offset,
            "^GF" + Excerpt(parameters));
  return {};
}

void ZplRenderer::OnGraphicData(std::string_view data) {
  if (graphic_open_) graphic_.Feed(data);
}

void ZplRenderer::OnGraphicEnd() {
  if (!graphic_open_) return;
  graphic_open_ = false;
  const std::int64_t missing = graphic_.Finish();
  const ZplGraphicDecoder::Problems& problems = graphic_.problems();
  if (problems.other_encoding)
    Warn(graphic_offset_, "only ASCII hexadecimal graphic data is drawn, not Base64");
  if (problems.bad_character)
    Warn(graphic_offset_, "the graphic data has characters that are neither digits nor counts");
  if (problems.too_much) Warn(graphic_offset_, "the graphic data runs past the field's size");
  if (missing > 0) Warn(graphic_offset_, "the graphic data ends " + Text(missing) + " rows short");
}

void ZplRenderer::Reference(int turn, std::int64_t width, std::int64_t height,
                            std::int64_t anchor_u, std::int64_t anchor_v, std::int64_t& x,
                            std::int64_t& y) const {
  x = field_.x;
  y = field_.y;
  if (field_.typeset) {
    // The anchor turned with the object lands on the origin.
    switch (turn & 3) {
      case 1:
        x += anchor_v;
        y -= anchor_u;
        break;
      case 2:
        x += anchor_u;
        y += anchor_v;
        break;
      case 3:
        x -= anchor_v;
        y += anchor_u;
        break;
      default:
        x -= anchor_u;
        y -= anchor_v;
        break;
    }
    return;
  }
  // The origin is the top-left corner of the turned object.
  switch (turn & 3) {
    case 1:
      x += height;
      break;
    case 2:
      x += width;
      y += height;
      break;
    case 3:
      y += width;
      break;
    default:
      break;
  }
}

std::string ZplRenderer::EndField(std::uint64_t offset) {
  std::string error;
  if (field_.drew_graphic) {
    // Drawn as its data arrived.
  } else if (!field_.barcode.empty()) {
    error = DrawBarcode(offset);
  } else if (field_.has_box) {
    error = DrawBox(offset);
  } else if (field_.has_data) {
    error = DrawText(offset);
  }
  field_ = Field();
  return error;
}

std::string ZplRenderer::DrawText(std::uint64_t offset) {
  const int turn = field_.turn.value_or(default_turn_);
  std::int64_t height = field_.font_height;
  std::int64_t width = field_.font_width;
  if (field_.font == 0) {
    height = default_font_height_;
    width = default_font_width_;
    if (default_font_ != '0')
      Warn(offset, "font " + std::string(1, default_font_) + " is drawn as the scalable font 0");
  }
  const std::string text = FieldText(field_.data, field_.hex_indicator, character_set_);
  const ScalableTextLine line(text, height, width);
  const std::int64_t box_width = field_.block_width > 0 ? field_.block_width : line.Width();
  std::int64_t start = 0;
  if (field_.block_width > 0 && field_.block_justification == 'R')
    start = std::max<std::int64_t>(field_.block_width - line.Width(), 0);
  if (field_.block_width > 0 && field_.block_justification == 'C')
    start = std::max<std::int64_t>((field_.block_width - line.Width()) / 2, 0);
  std::int64_t x = 0;
  std::int64_t y = 0;
  Reference(turn, box_width, line.Height(), 0, line.Baseline(), x, y);
  MonoBitmap& label = Label(offset);
  const std::int64_t room = field_.block_width > 0 ? field_.block_width - start : line.Width();
  line.Draw(label, x, y, turn, start, 0, field_.reverse, room);
  if (field_.block_width > 0 && line.Width() > field_.block_width)
    Warn(offset, "the text is longer than its block: cut at the block's end");
  const ObjectPlacement placement(label, x, y, turn);
  NoteDrawn(!placement.PartlyOutside(start, 0, std::min(line.Width(), room), line.Height()), offset,
            "the text \"" + Excerpt(text) + "\"");
  return {};
}

std::string ZplRenderer::DrawBarcode(std::uint64_t offset) {
  const BarcodeCommand& command = *BarcodeCommandOf(field_.barcode);
  const Parameters p(field_.barcode_parameters);
  const std::string excerpt = "^" + field_.barcode + Excerpt(field_.barcode_parameters);
  const auto turn = Turn(p[0], default_turn_);
  std::int64_t height = 0;
  const auto readable = YesNo(p[command.readable], true);
  const auto above = YesNo(p[command.above], false);
  if (!turn) return excerpt + ": the orientation must be N, R, I or B";
  if (!NumberOr(p[command.height], bar_height_, 1, kMostDots, height))
    return excerpt + ": the bar height must be 1 to 32000 dots";
  if (!readable || !above) return excerpt + ": the interpretation line takes Y or N";
  if (*above) Warn(field_.barcode_offset, excerpt + ": the interpretation line is drawn below");
  if (!field_.has_data) return excerpt + ": no field data (\"^FD\")";

  std::string data = FieldText(field_.data, field_.hex_indicator, character_set_);
  std::optional<Symbology> symbology = command.symbology;
  BarcodePattern pattern;
  if (field_.barcode == "BC") {
    const std::string_view mode = p[5].empty() ? "N" : p[5];
    if (mode != "N" && mode != "A" && mode != "D") {
      pattern.refusal = "the preview does not draw Code 128 in mode " + std::string(mode);
    } else {
      const Code128Data code = ReadCode128(data, mode.front());
      if (code.other_functions) pattern.refusal = "invocation codes other than FNC1";
      if (code.gs1) symbology = Symbology::Gs1_128;
      data = code.bytes;
    }
  } else if (field_.barcode == "BK") {
    const std::string_view start = p[5].empty() ? "A" : p[5];
    const std::string_view stop = p[6].empty() ? "A" : p[6];
    data = std::string(start) + data + std::string(stop);
  } else if (field_.barcode == "B9") {
    const auto digits = UpcEDigits(data);
    if (digits)
      data = "0" + *digits;
    else
      pattern.refusal = "not ten digits of a UPC-A number whose zeros UPC-E suppresses";
  }
  if (!symbology) {
    pattern.refusal = "the preview does not draw Code 11";
  } else if (pattern.refusal.empty()) {
    pattern = EncodeBarcode(*symbology, data);
  }
  if (!pattern.refusal.empty())
    Warn(field_.barcode_offset, excerpt + ": " + pattern.refusal + ", drawn as a hatched box");

  PrinterBarcode barcode;
  barcode.turn = *turn;
  barcode.symbology = symbology;
  barcode.narrow = static_cast<int>(module_);
  barcode.wide = static_cast<int>(std::lround(static_cast<double>(module_) * ratio_));
  barcode.height = height;
  barcode.human_readable = *readable;
  barcode.data_length = data.size();
  const bool two_widths = symbology && HasTwoWidths(*symbology);
  std::int64_t bars_width = 0;
  for (const int modules : pattern.elements)
    bars_width += two_widths ? (modules > 1 ? barcode.wide : barcode.narrow)
                             : std::int64_t{modules} * barcode.narrow;
  const std::int64_t total_height =
      height +
      (*readable ? kHumanReadableGap + TextLineHeight(fonts_, HumanReadableFont(barcode.narrow), 1)
                 : 0);
  Reference(*turn, bars_width, total_height, 0, height, barcode.x, barcode.y);
  NoteDrawn(DrawPrinterBarcode(barcode, pattern, fonts_, Label(offset)), field_.barcode_offset,
            excerpt);
  return {};
}

std::string ZplRenderer::DrawBox(std::uint64_t offset) {
  const std::int64_t width = field_.box_width;
  const std::int64_t height = field_.box_height;
  const std::int64_t t = field_.box_thickness;
  std::int64_t x = field_.x;
  std::int64_t y = field_.y - (field_.typeset ? height : 0);
  MonoBitmap& label = Label(offset);
  ObjectPlacement placement(label, x, y, 0);
  placement.Frame(width, height, t);
  if (field_.reverse) Warn(offset, "a reversed box is drawn as it is");
  NoteDrawn(!placement.PartlyOutside(0, 0, width, height), field_.offset,
            "the box at " + Text(x) + "," + Text(y));
  return {};
}

}  // namespace pirell::preview
