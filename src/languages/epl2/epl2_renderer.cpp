#include "languages/epl2/epl2_renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "languages/epl2/epl2_render_parameters.h"
#include "platform/codepage.h"
#include "preview/object_placement.h"
#include "preview/printer_barcode.h"
#include "preview/printer_text.h"
#include "rendering/quarter_turn.h"

namespace pirell::preview {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::optional<Symbology> SymbologyOf(std::string_view code) {
  struct Code {
    std::string_view name;
    Symbology symbology;
  };
  static constexpr Code kCodes[] = {
      {"UA0", Symbology::UpcA},  {"UE0", Symbology::UpcE},          {"E80", Symbology::Ean8},
      {"E30", Symbology::Ean13}, {"2", Symbology::Interleaved2of5}, {"K", Symbology::Codabar},
      {"3", Symbology::Code39},  {"9", Symbology::Code93},          {"1", Symbology::Code128},
  };
  for (const Code& known : kCodes)
    if (known.name == code) return known.symbology;
  return std::nullopt;
}

std::string Text(std::int64_t number) {
  return std::to_string(number);
}

}  // namespace

Epl2Renderer::Epl2Renderer(RenderSink& sink, const RenderOptions& options)
    : reader_(*this), fonts_(options.dpi), buffer_(sink, options, "\"q\", \"Q\"") {}

void Epl2Renderer::Feed(std::string_view bytes) {
  reader_.Feed(bytes);
}

RenderSummary Epl2Renderer::Finish() {
  reader_.Finish();
  return buffer_.Finish("P");
}

std::size_t Epl2Renderer::HeldBytes() const {
  return reader_.HeldBytes() + buffer_.HeldBytes();
}

void Epl2Renderer::NoteClipped(bool inside, std::uint64_t offset, std::string_view line) {
  buffer_.NoteDrawn(inside, offset, Excerpt(line));
}

std::uint64_t Epl2Renderer::OnCommand(std::string_view line, std::uint64_t offset) {
  if (line.empty()) return 0;
  std::string error;
  std::uint64_t raster = 0;
  if (StartsWith(line, "GW")) {
    error = StartGraphic(line.substr(2), offset, line);
    if (error.empty()) raster = static_cast<std::uint64_t>(graphic_.bytes_per_row * graphic_.rows);
  } else if (StartsWith(line, "LO")) {
    error = DrawLine(line.substr(2), offset, line);
  } else if (StartsWith(line, "EK") || StartsWith(line, "FK") || StartsWith(line, "GK") ||
             StartsWith(line, "^@")) {
    // Deleting stored fonts, forms and graphics and the reset change no picture.
  } else {
    const std::string_view parameters = line.substr(1);
    switch (line.front()) {
      case 'A':
        error = DrawText(parameters, offset, line);
        break;
      case 'B':
        error = DrawBarcode(parameters, offset, line);
        break;
      case 'X':
        error = DrawBox(parameters, offset, line);
        break;
      case 'N':
        if (!parameters.empty()) {
          error = "unknown command";
        } else {
          buffer_.Clear(offset);
        }
        break;
      case 'P':
        error = Print(parameters, offset);
        break;
      case 'q':
        error = SetWidth(parameters);
        break;
      case 'Q':
        error = SetLength(parameters);
        break;
      case 'Z':
        error = SetDirection(parameters);
        break;
      case 'O':  // options: printing mode, cutter
      case 'D':  // darkness
      case 'S':  // speed
      case 'I':  // character set
      case 'W':  // windows mode
      case 'U':  // configuration printout
        break;
      default:
        error = "unknown command";
        break;
    }
  }
  if (!error.empty()) Warn(offset, Excerpt(line) + ": " + error);
  return raster;
}

std::string Epl2Renderer::SetWidth(std::string_view parameters) {
  Epl2Parameters p(parameters);
  const auto width = p.Number();
  if (!width || !p.AtEnd()) return "the label width must be a number of dots";
  if (*width < 1 || *width > buffer_.MaxDots())
    return "the label width must be 1 to " + Text(buffer_.MaxDots()) + " dots";
  buffer_.SetSize(static_cast<int>(*width), buffer_.Length());
  return {};
}

std::string Epl2Renderer::SetLength(std::string_view parameters) {
  Epl2Parameters p(parameters);
  const auto length = p.Number();
  const auto gap = p.Word();
  if (!length || !gap) return "takes the label length and the gap in dots";
  if (*length < 1 || *length > buffer_.MaxDots())
    return "the label length must be 1 to " + Text(buffer_.MaxDots()) + " dots";
  // The gap, or "B" and the height of a black mark; an offset may follow.
  std::string_view gap_dots = *gap;
  if (!gap_dots.empty() && gap_dots.front() == 'B') gap_dots.remove_prefix(1);
  if (gap_dots.empty() || !Epl2Parameters(gap_dots).Number())
    return "the gap must be a number of dots";
  buffer_.SetSize(buffer_.Width(), static_cast<int>(*length));
  return {};
}

std::string Epl2Renderer::SetDirection(std::string_view parameters) {
  if (parameters == "T") {
    bottom_first_ = false;
  } else if (parameters == "B") {
    bottom_first_ = true;
  } else {
    return "the print direction must be T or B";
  }
  return {};
}

std::string Epl2Renderer::Print(std::string_view parameters, std::uint64_t offset) {
  Epl2Parameters p(parameters);
  const auto sets = p.Number();
  if (!sets || *sets < 1) return "the number of labels must be 1 or more";
  std::int64_t copies = 1;
  if (!p.AtEnd()) {
    const auto each = p.Number();
    if (!each || *each < 1 || !p.AtEnd()) return "the copies of each label must be 1 or more";
    copies = *each;
  }
  MonoBitmap& label = Label(offset);
  const auto printed = static_cast<std::uint64_t>(*sets) * static_cast<std::uint64_t>(copies);
  if (bottom_first_) {
    // Printed from the bottom of the image buffer: the label comes out turned half round.
    MonoBitmap& turned = buffer_.Out();
    turned.Resize(label.Width(), label.Height());
    TurnInto(label, r180, turned);
    buffer_.Printed(turned, printed);
  } else {
    buffer_.Printed(label, printed);
  }
  return {};
}

std::string Epl2Renderer::DrawText(std::string_view parameters, std::uint64_t offset,
                                   std::string_view line) {
  static const std::string kForm =
      "takes x, y, rotation, font, two multipliers, N or R and the data in quotes";
  Epl2Parameters p(parameters);
  const auto x = p.Number();
  const auto y = p.Number();
  const auto rotation = p.Number();
  const auto font = p.Word();
  const auto width_factor = p.Number();
  const auto height_factor = p.Number();
  const auto reverse = p.Word();
  const auto data = p.Quoted();
  if (!x || !y || !rotation || !font || !width_factor || !height_factor || !reverse || !data)
    return kForm;
  if (*rotation < 0 || *rotation > 3) return "the rotation must be 0 to 3";
  if (font->size() != 1 || !fonts_.Cell(font->front()))
    return "font \"" + std::string(*font) + "\" is not a resident font (1 to 5)";
  if (*width_factor < 1 || *width_factor > 8 || *width_factor == 7)
    return "the horizontal multiplier must be 1 to 6 or 8";
  if (*height_factor < 1 || *height_factor > 9) return "the vertical multiplier must be 1 to 9";
  if (*reverse != "N" && *reverse != "R") return "the image must be N (normal) or R (reverse)";

  PrinterText text;
  text.x = *x;
  text.y = *y;
  text.turn = static_cast<int>(*rotation);
  text.font = font->front();
  text.width_factor = static_cast<int>(*width_factor);
  text.height_factor = static_cast<int>(*height_factor);
  text.reverse = *reverse == "R";
  text.bytes = *data;
  NoteClipped(DrawPrinterText(text, fonts_, Label(offset)), offset, line);
  return {};
}

std::string Epl2Renderer::DrawBarcode(std::string_view parameters, std::uint64_t offset,
                                      std::string_view line) {
  static const std::string kForm =
      "takes x, y, rotation, type, narrow and wide bar widths, height, B or N and the data in "
      "quotes (Code 128 also F1 to F4 between the quoted parts)";
  Epl2Parameters p(parameters);
  const auto x = p.Number();
  const auto y = p.Number();
  const auto rotation = p.Number();
  const auto type = p.Word();
  const auto narrow = p.Number();
  const auto wide = p.Number();
  const auto height = p.Number();
  const auto readable = p.Word();
  const auto data = p.Barcode();
  if (!x || !y || !rotation || !type || !narrow || !wide || !height || !readable || !data)
    return kForm;
  if (*rotation < 0 || *rotation > 3) return "the rotation must be 0 to 3";
  if (*readable != "B" && *readable != "N")
    return "the human-readable line must be B (printed) or N (not printed)";
  if (*height < 1) return "the bar height must be 1 dot or more, not " + Text(*height);

  std::optional<Symbology> symbology = SymbologyOf(*type);
  // A Code 128 symbol that starts with FNC1 carries GS1 elements.
  if (symbology == Symbology::Code128 && data->fnc1_first) symbology = Symbology::Gs1_128;
  if (symbology && IsEanOrUpc(*symbology)) {
    if (*narrow < 2 || *narrow > 4) return "the narrow bar width must be 2 to 4 dots";
  } else if (*narrow < 1 || *narrow > 10) {
    return "the narrow bar width must be 1 to 10 dots";
  }
  if (symbology && HasTwoWidths(*symbology) && (*wide < 2 || *wide > 30))
    return "the wide bar width must be 2 to 30 dots";

  BarcodePattern pattern;
  if (symbology &&
      (data->other_functions > 0 || (data->fnc1_first && symbology != Symbology::Gs1_128))) {
    pattern.refusal = "function characters other than a leading FNC1 of Code 128";
    Warn(offset, Excerpt(line) + ": the preview does not draw " + pattern.refusal +
                     ", drawn as a hatched box");
  } else if (symbology) {
    pattern = EncodeBarcode(*symbology, data->bytes);
    if (!pattern.refusal.empty())
      Warn(offset, Excerpt(line) + ": the barcode is refused (" + pattern.refusal +
                       "), drawn as a hatched box");
  } else {
    pattern.refusal = "no such barcode type";
    Warn(offset, Excerpt(line) + ": the printer has no barcode type \"" + Excerpt(*type) +
                     "\", drawn as a hatched box");
  }

  PrinterBarcode barcode;
  barcode.x = *x;
  barcode.y = *y;
  barcode.turn = static_cast<int>(*rotation);
  barcode.narrow = static_cast<int>(*narrow);
  barcode.wide = static_cast<int>(*wide);
  barcode.symbology = symbology;
  barcode.height = *height;
  barcode.human_readable = *readable == "B";
  barcode.data_length = data->bytes.size();
  NoteClipped(DrawPrinterBarcode(barcode, pattern, fonts_, Label(offset)), offset, line);
  return {};
}

std::string Epl2Renderer::DrawLine(std::string_view parameters, std::uint64_t offset,
                                   std::string_view line) {
  Epl2Parameters p(parameters);
  const auto x = p.Number();
  const auto y = p.Number();
  const auto width = p.Number();
  const auto height = p.Number();
  if (!x || !y || !width || !height || !p.AtEnd())
    return "takes x, y, the length across and the length down";
  if (*width < 0 || *height < 0) return "the lengths must not be negative";
  MonoBitmap& label = Label(offset);
  ObjectPlacement placement(label, *x, *y, 0);
  placement.Fill(0, 0, *width, *height, true);
  NoteClipped(!placement.PartlyOutside(0, 0, *width, *height), offset, line);
  return {};
}

std::string Epl2Renderer::DrawBox(std::string_view parameters, std::uint64_t offset,
                                  std::string_view line) {
  Epl2Parameters p(parameters);
  const auto left = p.Number();
  const auto top = p.Number();
  const auto thickness = p.Number();
  const auto right = p.Number();
  const auto bottom = p.Number();
  if (!left || !top || !thickness || !right || !bottom || !p.AtEnd())
    return "takes x, y, the line thickness and the x and y of the opposite corner";
  if (*thickness < 0) return "the line thickness must not be negative";
  if (*right < *left || *bottom < *top) return "the opposite corner lies above or left of x, y";
  MonoBitmap& label = Label(offset);
  const std::int64_t width = *right - *left;
  const std::int64_t height = *bottom - *top;
  const std::int64_t t = *thickness;
  ObjectPlacement placement(label, *left, *top, 0);
  placement.Frame(width, height, t);
  NoteClipped(t == 0 || !placement.PartlyOutside(0, 0, width, height), offset, line);
  return {};
}

std::string Epl2Renderer::StartGraphic(std::string_view parameters, std::uint64_t offset,
                                       std::string_view line) {
  Epl2Parameters p(parameters);
  const auto x = p.Number();
  const auto y = p.Number();
  const auto bytes_per_row = p.Number();
  const auto rows = p.Number();
  if (!x || !y || !bytes_per_row || !rows || !p.AtEnd())
    return "takes x, y, the bytes of a row and the rows; its raster cannot be found";
  if (*bytes_per_row < 0 || *rows < 0)
    return "the raster size must not be negative; its raster cannot be found";
  graphic_ = Graphic{*x, *y, *bytes_per_row, *rows, 0, offset};
  MonoBitmap& label = Label(offset);
  const ObjectPlacement placement(label, *x, *y, 0);
  NoteClipped(!placement.PartlyOutside(0, 0, *bytes_per_row * 8, *rows), offset, line);
  return {};
}

void Epl2Renderer::OnRaster(std::string_view bytes) {
  if (graphic_.bytes_per_row <= 0) return;
  MonoBitmap& label = buffer_.Current();
  const auto per_row = static_cast<std::uint64_t>(graphic_.bytes_per_row);
  for (const char c : bytes) {
    const std::uint64_t index = graphic_.received++;
    const auto byte = static_cast<std::uint8_t>(c);
    if (byte == 0xFF) continue;  // eight white dots
    const std::int64_t y = graphic_.y + static_cast<std::int64_t>(index / per_row);
    if (y < 0 || y >= label.Height()) continue;
    const std::int64_t x0 = graphic_.x + static_cast<std::int64_t>(index % per_row) * 8;
    for (int bit = 0; bit < 8; ++bit) {
      const std::int64_t x = x0 + bit;
      // A 0 bit is a printed dot.
      if ((byte & (0x80 >> bit)) == 0 && x >= 0 && x < label.Width())
        label.SetBlack(static_cast<int>(x), static_cast<int>(y));
    }
  }
}

void Epl2Renderer::OnRasterCut(std::uint64_t missing) {
  Warn(graphic_.offset, "the raster of \"GW\" is cut short: " + std::to_string(missing) + " of " +
                            std::to_string(graphic_.received + missing) + " bytes missing");
}

void Epl2Renderer::OnOverlongLine(std::uint64_t offset) {
  Warn(offset, "a command longer than " + std::to_string(Epl2CommandReader::kMaxLineBytes) +
                   " bytes, skipped");
}

void Epl2Renderer::OnUnfinishedLine(std::string_view line, std::uint64_t offset) {
  Warn(offset, Excerpt(line) +
                   ": no line feed ends this last command, so the printer does "
                   "not run it");
}

}  // namespace pirell::preview
