#include "languages/tspl/tspl_renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/codepage.h"
#include "preview/object_placement.h"
#include "preview/printer_barcode.h"
#include "preview/printer_text.h"
#include "rendering/quarter_turn.h"

namespace pirell::preview {
namespace {

constexpr int kMaxMultiplier = 10;

std::string Text(std::int64_t number) {
  return std::to_string(number);
}

// Clockwise quarter turns of a rotation in degrees; none for another angle.
std::optional<int> QuarterTurns(const TsplParameter& parameter) {
  const auto degrees = TsplInteger(parameter);
  if (!degrees || (*degrees != 0 && *degrees != 90 && *degrees != 180 && *degrees != 270))
    return std::nullopt;
  return static_cast<int>(*degrees / 90);
}

std::optional<Symbology> SymbologyOf(std::string_view code) {
  struct Code {
    std::string_view name;
    Symbology symbology;
  };
  static constexpr Code kCodes[] = {
      {"UPCA", Symbology::UpcA},   {"UPCE", Symbology::UpcE},          {"EAN8", Symbology::Ean8},
      {"EAN13", Symbology::Ean13}, {"25", Symbology::Interleaved2of5}, {"CODA", Symbology::Codabar},
      {"39", Symbology::Code39},   {"93", Symbology::Code93},          {"128", Symbology::Code128},
  };
  for (const Code& known : kCodes)
    if (known.name == code) return known.symbology;
  return std::nullopt;
}

// Barcode types of the guide that the preview does not draw.
bool IsOtherBarcodeType(std::string_view code) {
  static constexpr std::string_view kOthers[] = {
      "128M",   "EAN128", "25C",  "39C",     "39S",    "EAN13+2", "EAN13+5",
      "EAN8+2", "EAN8+5", "POST", "UPCA+2",  "UPCA+5", "UPCE+2",  "UPCE+5",
      "CPOST",  "MSI",    "MSIC", "PLESSEY", "ITF14",  "EAN14",   "11"};
  for (const std::string_view other : kOthers)
    if (other == code) return true;
  return false;
}

// Commands of the guide that draw what the preview does not draw.
bool IsUndrawnCommand(std::string_view name) {
  static constexpr std::string_view kUndrawn[] = {
      "QRCODE", "DMATRIX", "PDF417", "AZTEC",   "MAXICODE",  "RSS",   "CIRCLE", "ELLIPSE",
      "PUTBMP", "PUTPCX",  "BLOCK",  "TEXTBOX", "CODABLOCK", "TLC39", "MPDF417"};
  for (const std::string_view undrawn : kUndrawn)
    if (undrawn == name) return true;
  return false;
}

// Settings and housekeeping that change no picture.
bool IsSettingCommand(std::string_view name) {
  static constexpr std::string_view kSettings[] = {
      "GAP",   "BLINE", "DENSITY",  "SPEED",     "CODEPAGE", "SET",   "OFFSET",
      "SHIFT", "KILL",  "SELFTEST", "LIMITFEED", "COUNTRY",  "SOUND", "INITIALPRINTER"};
  for (const std::string_view setting : kSettings)
    if (setting == name) return true;
  return false;
}

}  // namespace

TsplRenderer::TsplRenderer(RenderSink& sink, const RenderOptions& options)
    : reader_(*this),
      fonts_(options.dpi, PrinterFontSet::Tspl),
      buffer_(sink, options, "\"SIZE\""),
      dpi_(options.dpi) {}

void TsplRenderer::Feed(std::string_view bytes) {
  reader_.Feed(bytes);
}

RenderSummary TsplRenderer::Finish() {
  reader_.Finish();
  return buffer_.Finish("PRINT");
}

std::size_t TsplRenderer::HeldBytes() const {
  return reader_.HeldBytes() + buffer_.HeldBytes();
}

void TsplRenderer::NoteDrawn(bool inside, std::uint64_t offset, std::string_view line) {
  buffer_.NoteDrawn(inside, offset, Excerpt(line));
}

std::uint64_t TsplRenderer::OnCommand(std::string_view line, std::uint64_t offset) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  if (line.empty()) return 0;
  if (line.front() == '\x1B') {
    // Immediate commands: status requests, reset, cancel; none of them draws.
    if (line.size() != 3 || line[1] != '!') Warn(offset, Excerpt(line) + ": unknown command");
    return 0;
  }
  const std::size_t name_end = std::min(line.find(' '), line.size());
  const std::string_view name = line.substr(0, name_end);
  std::uint64_t raster = 0;
  std::string error;
  const auto parameters = SplitTsplParameters(line.substr(name_end));
  if (!parameters) {
    error = "a string expression has no closing quote, or text follows it";
  } else {
    error = Run(name, *parameters, offset, line, raster);
  }
  if (!error.empty()) Warn(offset, Excerpt(line) + ": " + error);
  return raster;
}

std::string TsplRenderer::Run(std::string_view name, const Parameters& p, std::uint64_t offset,
                              std::string_view line, std::uint64_t& raster) {
  const bool none = p.size() == 1 && p.front().text.empty() && !p.front().quoted;
  if (name == "CLS") {
    if (!none) return "takes no parameters";
    buffer_.Clear(offset);
    return {};
  }
  if (name == "SIZE") return SetSize(p);
  if (name == "DIRECTION") return SetDirection(p);
  if (name == "REFERENCE") return SetReference(p);
  if (name == "PRINT") return Print(p, offset);
  if (name == "TEXT") return DrawText(p, offset, line);
  if (name == "BARCODE") return DrawBarcode(p, offset, line);
  if (name == "BAR") return DrawBar(p, offset, line);
  if (name == "BOX") return DrawBox(p, offset, line);
  if (name == "REVERSE") return ChangeRegion(p, offset, line, true);
  if (name == "ERASE") return ChangeRegion(p, offset, line, false);
  if (name == "BITMAP") return StartBitmap(p, offset, line, raster);
  if (IsSettingCommand(name)) return {};
  if (IsUndrawnCommand(name)) return "the preview does not draw this command";
  return "unknown command";
}

std::string TsplRenderer::SetSize(const Parameters& p) {
  if (p.size() != 2) return "takes the label width and length";
  const auto width = TsplLength(p[0], dpi_);
  const auto length = TsplLength(p[1], dpi_);
  if (!width || !length) return "the label width and length must be inches, mm or dots";
  if (*width < 1 || *width > buffer_.MaxDots() || *length < 1 || *length > buffer_.MaxDots())
    return "the label sides must be 1 to " + Text(buffer_.MaxDots()) + " dots";
  // The printer clears its image buffer.
  buffer_.SetSize(static_cast<int>(*width), static_cast<int>(*length));
  return {};
}

std::string TsplRenderer::SetDirection(const Parameters& p) {
  if (p.empty() || p.size() > 2) return "takes the direction and the mirror";
  const auto direction = TsplInteger(p[0]);
  const auto mirror = p.size() == 2 ? TsplInteger(p[1]) : std::optional<std::int64_t>(0);
  if (!direction || !mirror || *direction < 0 || *direction > 1 || *mirror < 0 || *mirror > 1)
    return "the direction and the mirror must be 0 or 1";
  turned_out_ = *direction == 1;
  mirrored_ = *mirror == 1;
  return {};
}

std::string TsplRenderer::SetReference(const Parameters& p) {
  if (p.size() != 2) return "takes x and y";
  const auto x = TsplInteger(p[0]);
  const auto y = TsplInteger(p[1]);
  if (!x || !y || *x < 0 || *y < 0) return "the origin must be dots, not negative";
  origin_x_ = *x;
  origin_y_ = *y;
  return {};
}

std::string TsplRenderer::Print(const Parameters& p, std::uint64_t offset) {
  if (p.empty() || p.size() > 2) return "takes the label sets and the copies of each";
  const auto sets = TsplInteger(p[0]);
  if (!sets || *sets < 1) return "the number of labels must be 1 or more";
  std::int64_t copies = 1;
  if (p.size() == 2) {
    const auto each = TsplInteger(p[1]);
    if (!each || *each < 1) return "the copies of each label must be 1 or more";
    copies = *each;
  }
  MonoBitmap& label = Label(offset);
  const auto printed = static_cast<std::uint64_t>(*sets) * static_cast<std::uint64_t>(copies);
  const MonoBitmap* picture = &label;
  if (turned_out_ || mirrored_) {
    MonoBitmap& out = buffer_.Out();
    if (turned_out_) {
      out.Resize(label.Width(), label.Height());
      TurnInto(label, r180, out);
    } else {
      out = label;
    }
    if (mirrored_) {
      for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width() / 2; ++x) {
          const int other = out.Width() - 1 - x;
          const bool left = out.IsBlack(x, y);
          const bool right = out.IsBlack(other, y);
          if (left != right) {
            if (right)
              out.SetBlack(x, y);
            else
              out.SetWhite(x, y);
            if (left)
              out.SetBlack(other, y);
            else
              out.SetWhite(other, y);
          }
        }
    }
    picture = &out;
  }
  buffer_.Printed(*picture, printed);
  return {};
}

std::string TsplRenderer::DrawText(const Parameters& p, std::uint64_t offset,
                                   std::string_view line) {
  if (p.size() != 7 && p.size() != 8)
    return "takes x, y, the font, the rotation, two multipliers, an optional alignment and the "
           "content in quotes";
  const auto x = TsplInteger(p[0]);
  const auto y = TsplInteger(p[1]);
  const auto turn = QuarterTurns(p[3]);
  const auto width_factor = TsplInteger(p[4]);
  const auto height_factor = TsplInteger(p[5]);
  std::int64_t alignment = 1;
  if (p.size() == 8) {
    const auto given = TsplInteger(p[6]);
    if (!given || *given < 0 || *given > 3) return "the alignment must be 0 to 3";
    alignment = *given == 0 ? 1 : *given;
  }
  const TsplParameter& content = p.back();
  if (!x || !y || !width_factor || !height_factor || !p[2].quoted || !content.quoted)
    return "x, y and the multipliers must be numbers, the font and the content quoted";
  if (!turn) return "the rotation must be 0, 90, 180 or 270";
  if (*width_factor < 1 || *width_factor > kMaxMultiplier || *height_factor < 1 ||
      *height_factor > kMaxMultiplier)
    return "the multipliers must be 1 to 10";
  if (p[2].text.size() != 1 || !fonts_.Cell(p[2].text.front()))
    return "font \"" + Excerpt(p[2].text) +
           "\": the preview draws the resident bitmap fonts 1 to 8 only";

  PrinterText text;
  text.font = p[2].text.front();
  text.width_factor = static_cast<int>(*width_factor);
  text.height_factor = static_cast<int>(*height_factor);
  text.turn = *turn;
  text.bytes = content.text;
  // The alignment puts x at the left end, the middle or the right end of the line.
  const std::int64_t shift =
      (alignment - 1) * TextLineWidth(fonts_, text.font, text.width_factor, text.bytes.size()) / 2;
  std::int64_t u_x = 0;
  std::int64_t u_y = 0;
  switch (*turn) {
    case 1:
      u_y = -shift;
      break;
    case 2:
      u_x = shift;
      break;
    case 3:
      u_y = shift;
      break;
    default:
      u_x = -shift;
      break;
  }
  text.x = origin_x_ + *x + u_x;
  text.y = origin_y_ + *y + u_y;
  NoteDrawn(DrawPrinterText(text, fonts_, Label(offset)), offset, line);
  return {};
}

std::string TsplRenderer::DrawBarcode(const Parameters& p, std::uint64_t offset,
                                      std::string_view line) {
  if (p.size() != 9 && p.size() != 10)
    return "takes x, y, the type, the height, the readable line, the rotation, the narrow and "
           "wide widths, an optional alignment and the content in quotes";
  const auto x = TsplInteger(p[0]);
  const auto y = TsplInteger(p[1]);
  const auto height = TsplInteger(p[3]);
  const auto readable = TsplInteger(p[4]);
  const auto turn = QuarterTurns(p[5]);
  const auto narrow = TsplInteger(p[6]);
  const auto wide = TsplInteger(p[7]);
  const TsplParameter& content = p.back();
  if (!x || !y || !height || !readable || !narrow || !wide || !p[2].quoted || !content.quoted)
    return "x, y, the height and the widths must be numbers, the type and the content quoted";
  if (p.size() == 10) {
    const auto alignment = TsplInteger(p[8]);
    if (!alignment || *alignment < 0 || *alignment > 3) return "the alignment must be 0 to 3";
  }
  if (!turn) return "the rotation must be 0, 90, 180 or 270";
  if (*readable < 0 || *readable > 3) return "the readable line must be 0 to 3";
  if (*height < 1) return "the bar height must be 1 dot or more, not " + Text(*height);
  if (*narrow < 1 || *narrow > 10) return "the narrow width must be 1 to 10 dots";
  if (*wide < 1 || *wide > 30) return "the wide width must be 1 to 30 dots";

  const std::string& type = p[2].text;
  const std::optional<Symbology> symbology = SymbologyOf(type);
  BarcodePattern pattern;
  if (symbology) {
    if (IsEanOrUpc(*symbology) && (*narrow < 2 || *narrow > 4))
      return "the module of EAN and UPC must be 2 to 4 dots";
    pattern = EncodeBarcode(*symbology, content.text);
    if (!pattern.refusal.empty())
      Warn(offset, Excerpt(line) + ": the barcode is refused (" + pattern.refusal +
                       "), drawn as a hatched box");
  } else {
    pattern.refusal = "not drawn";
    Warn(offset, Excerpt(line) +
                     (IsOtherBarcodeType(type) ? ": the preview does not draw barcode type \""
                                               : ": the printer has no barcode type \"") +
                     Excerpt(type) + "\", drawn as a hatched box");
  }

  PrinterBarcode barcode;
  barcode.x = origin_x_ + *x;
  barcode.y = origin_y_ + *y;
  barcode.turn = *turn;
  barcode.narrow = static_cast<int>(*narrow);
  barcode.wide = static_cast<int>(*wide);
  barcode.symbology = symbology;
  barcode.height = *height;
  // The preview centres the line under the bars whichever alignment the job asks for.
  barcode.human_readable = *readable != 0;
  barcode.data_length = content.text.size();
  NoteDrawn(DrawPrinterBarcode(barcode, pattern, fonts_, Label(offset)), offset, line);
  return {};
}

std::string TsplRenderer::DrawBar(const Parameters& p, std::uint64_t offset,
                                  std::string_view line) {
  if (p.size() != 4) return "takes x, y, the width and the height";
  const auto x = TsplInteger(p[0]);
  const auto y = TsplInteger(p[1]);
  const auto width = TsplInteger(p[2]);
  const auto height = TsplInteger(p[3]);
  if (!x || !y || !width || !height) return "takes four numbers of dots";
  if (*width < 0 || *height < 0) return "the width and height must not be negative";
  ObjectPlacement placement(Label(offset), origin_x_ + *x, origin_y_ + *y, 0);
  placement.Fill(0, 0, *width, *height, true);
  NoteDrawn(!placement.PartlyOutside(0, 0, *width, *height), offset, line);
  return {};
}

std::string TsplRenderer::DrawBox(const Parameters& p, std::uint64_t offset,
                                  std::string_view line) {
  if (p.size() != 5 && p.size() != 6)
    return "takes the corners, the line thickness and an optional radius";
  const auto left = TsplInteger(p[0]);
  const auto top = TsplInteger(p[1]);
  const auto right = TsplInteger(p[2]);
  const auto bottom = TsplInteger(p[3]);
  const auto thickness = TsplInteger(p[4]);
  if (!left || !top || !right || !bottom || !thickness) return "takes numbers of dots";
  if (p.size() == 6) {
    const auto radius = TsplInteger(p[5]);
    if (!radius || *radius < 0) return "the radius must be a number of dots";
    if (*radius > 0) Warn(offset, Excerpt(line) + ": the preview draws the corners square");
  }
  if (*thickness < 1) return "the line thickness must be 1 dot or more";
  if (*right < *left || *bottom < *top) return "the end corner lies above or left of the start";
  const std::int64_t width = *right - *left;
  const std::int64_t height = *bottom - *top;
  const std::int64_t t = *thickness;
  ObjectPlacement placement(Label(offset), origin_x_ + *left, origin_y_ + *top, 0);
  // The lines lie inside the corners, as EPL2's boxes do.
  placement.Frame(width, height, t);
  NoteDrawn(!placement.PartlyOutside(0, 0, width, height), offset, line);
  return {};
}

std::string TsplRenderer::ChangeRegion(const Parameters& p, std::uint64_t offset,
                                       std::string_view line, bool reverse) {
  if (p.size() != 4) return "takes x, y, the width and the height";
  const auto x = TsplInteger(p[0]);
  const auto y = TsplInteger(p[1]);
  const auto width = TsplInteger(p[2]);
  const auto height = TsplInteger(p[3]);
  if (!x || !y || !width || !height) return "takes four numbers of dots";
  if (*width < 0 || *height < 0) return "the width and height must not be negative";
  MonoBitmap& label = Label(offset);
  const std::int64_t left = std::max<std::int64_t>(origin_x_ + *x, 0);
  const std::int64_t top = std::max<std::int64_t>(origin_y_ + *y, 0);
  const std::int64_t right = std::min<std::int64_t>(origin_x_ + *x + *width, label.Width());
  const std::int64_t bottom = std::min<std::int64_t>(origin_y_ + *y + *height, label.Height());
  for (std::int64_t ly = top; ly < bottom; ++ly)
    for (std::int64_t lx = left; lx < right; ++lx) {
      const int px = static_cast<int>(lx);
      const int py = static_cast<int>(ly);
      if (reverse && !label.IsBlack(px, py))
        label.SetBlack(px, py);
      else
        label.SetWhite(px, py);
    }
  const ObjectPlacement placement(label, origin_x_ + *x, origin_y_ + *y, 0);
  NoteDrawn(!placement.PartlyOutside(0, 0, *width, *height), offset, line);
  return {};
}

std::string TsplRenderer::StartBitmap(const Parameters& p, std::uint64_t offset,
                                      std::string_view line, std::uint64_t& raster) {
  // The reader ends the header at its fifth comma: the data follows as a sixth, empty parameter.
  if (p.size() != 6 || !p[5].text.empty())
    return "takes x, y, the bytes of a row, the rows and the mode; its data cannot be found";
  const auto x = TsplInteger(p[0]);
  const auto y = TsplInteger(p[1]);
  const auto bytes_per_row = TsplInteger(p[2]);
  const auto rows = TsplInteger(p[3]);
  const auto mode = TsplInteger(p[4]);
  if (!x || !y || !bytes_per_row || !rows || !mode || *bytes_per_row < 0 || *rows < 0)
    return "x, y and the size must be numbers, the size not negative; its data cannot be found";
  raster = static_cast<std::uint64_t>(*bytes_per_row * *rows);
  bitmap_ = Bitmap{origin_x_ + *x, origin_y_ + *y, *bytes_per_row, *rows, 0, 0, offset};
  if (*mode < 0 || *mode > 2) {
    bitmap_.bytes_per_row = 0;  // the data is read past, nothing drawn
    return "the mode must be 0 (overwrite), 1 (OR) or 2 (XOR)";
  }
  bitmap_.mode = static_cast<int>(*mode);
  const ObjectPlacement placement(Label(offset), bitmap_.x, bitmap_.y, 0);
  NoteDrawn(!placement.PartlyOutside(0, 0, *bytes_per_row * 8, *rows), offset, line);
  return {};
}

void TsplRenderer::OnRaster(std::string_view bytes) {
  if (bitmap_.bytes_per_row <= 0) {
    bitmap_.received += bytes.size();
    return;
  }
  const auto per_row = static_cast<std::uint64_t>(bitmap_.bytes_per_row);
  MonoBitmap& label = buffer_.Current();
  for (const char c : bytes) {
    const std::uint64_t index = bitmap_.received++;
    const auto byte = static_cast<std::uint8_t>(c);
    // Eight white dots change nothing except where they overwrite.
    if (byte == 0xFF && bitmap_.mode != 0) continue;
    const std::int64_t y = bitmap_.y + static_cast<std::int64_t>(index / per_row);
    if (y < 0 || y >= label.Height()) continue;
    const std::int64_t x0 = bitmap_.x + static_cast<std::int64_t>(index % per_row) * 8;
    for (int bit = 0; bit < 8; ++bit) {
      const std::int64_t x = x0 + bit;
      if (x < 0 || x >= label.Width()) continue;
      const int px = static_cast<int>(x);
      const int py = static_cast<int>(y);
      // A 0 bit is a printed dot.
      const bool black = (byte & (0x80 >> bit)) == 0;
      if (bitmap_.mode == 2) {
        if (!black) continue;
        if (label.IsBlack(px, py))
          label.SetWhite(px, py);
        else
          label.SetBlack(px, py);
      } else if (black) {
        label.SetBlack(px, py);
      } else if (bitmap_.mode == 0) {
        label.SetWhite(px, py);
      }
    }
  }
}

void TsplRenderer::OnRasterCut(std::uint64_t missing) {
  Warn(bitmap_.offset, "the data of \"BITMAP\" is cut short: " + std::to_string(missing) + " of " +
                           std::to_string(bitmap_.received + missing) + " bytes missing");
}

void TsplRenderer::OnOverlongLine(std::uint64_t offset) {
  Warn(offset, "a command longer than " + std::to_string(TsplCommandReader::kMaxLineBytes) +
                   " bytes, skipped");
}

void TsplRenderer::OnUnfinishedLine(std::string_view line, std::uint64_t offset) {
  Warn(offset, Excerpt(line) +
                   ": no line end finishes this last command, so the printer does "
                   "not run it");
}

}  // namespace pirell::preview
