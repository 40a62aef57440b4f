#include "languages/tspl/tspl_printer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "languages/tspl/tspl_text.h"
#include "rendering/barcode_types.h"
#include "rendering/command_text.h"
#include "rendering/gs1_128_symbol.h"
#include "rendering/mono_bitmap.h"
#include "rendering/quarter_turn.h"

namespace pirell {

namespace {

constexpr std::int32_t kMaxDensity = 15;
// Between the bars and the human-readable line of a GS1-128 symbol, as the preview draws EPL2's.
constexpr std::int32_t kHumanReadableGap = 2;

std::int32_t Degrees(TRotation rotation) {
  return static_cast<std::int32_t>(rotation) * 90;
}

// Where the point (u, v) of an upright object lands when the object is turned clockwise about its
// top-left corner, which lies at (x, y): the way TSPL turns text and barcodes.
void TurnedPoint(TRotation rotation, std::int32_t x, std::int32_t y, std::int32_t u, std::int32_t v,
                 std::int32_t& out_x, std::int32_t& out_y) {
  switch (rotation) {
    case r90:
      out_x = x - v;
      out_y = y + u;
      return;
    case r180:
      out_x = x - u;
      out_y = y - v;
      return;
    case r270:
      out_x = x + v;
      out_y = y - u;
      return;
    case r0:
      break;
  }
  out_x = x + u;
  out_y = y + v;
}

ByteString Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  ByteString out(text);
  while (!out.empty() && out.back() == '0') out.pop_back();
  if (!out.empty() && out.back() == '.') out.pop_back();
  return out;
}

}  // namespace

TPrinterTypeTSPL::TPrinterTypeTSPL() {
  SetCmdSuffix("\r\n");
}

void TPrinterTypeTSPL::InitializePrinter() {
  TPrinterTypeBase::InitializePrinter();
  TCmdList& cmds = CmdList();
  cmds.Add("KILL F,\"*\"");
  // The reset also deletes the files in the printer's memory; it takes the printer a moment and
  // nothing may follow it sooner.
  cmds.Add("\x1B!R", coFlushBuffer, 2000);
  cmds.Add("CODEPAGE 1251", coFlushBuffer);
}

ByteString TPrinterTypeTSPL::SpeedText(std::int32_t code) const {
  const std::vector<TPrintSpeed>& speeds = ModelProps().PrintSpeeds;
  if (speeds.empty()) return Number(code);
  const TPrintSpeed* nearest = &speeds.front();
  for (const TPrintSpeed& speed : speeds) {
    const std::int64_t distance = std::llabs(std::int64_t{speed.Index} - code);
    const std::int64_t best = std::llabs(std::int64_t{nearest->Index} - code);
    if (distance < best || (distance == best && speed.Index < nearest->Index)) nearest = &speed;
  }
  return Number(nearest->IPS);
}

void TPrinterTypeTSPL::InitTask() {
  TPrinterTypeBase::InitTask();
  const TPrintParams& params = PrintParams();
  TCmdList& cmds = CmdList();
  // An empty line ends whatever an interrupted job left unfinished.
  cmds.Add("");
  // The settings hold whole millimetres, which TSPL takes as they are.
  cmds.Add("SIZE " + std::to_string(params.Width) + " mm," + std::to_string(params.Height) + " mm");
  cmds.Add("GAP " + std::to_string(params.Gap) + " mm,0 mm");
  cmds.Add("DIRECTION 0,0");
  cmds.Add("REFERENCE 0,0");
  cmds.Add(params.PrintingMode == pmTransfer ? "SET RIBBON ON" : "SET RIBBON OFF");
  cmds.Add("DENSITY " + std::to_string(Clamp(params.Darkness, 0, kMaxDensity)));
  cmds.Add("SPEED " + SpeedText(params.Speed));
  cmds.Add("CODEPAGE 1251", coFlushBuffer);
}

void TPrinterTypeTSPL::MakeLabelScript(std::uint16_t NumCopyes) {
  TPrinterTypeBase::MakeLabelScript(NumCopyes);
  CmdList().Add("CLS");
  AddFields();
  CmdList().Add("PRINT " + std::to_string(NumCopyes), coFlushBuffer);
}

void TPrinterTypeTSPL::TestPrinter() {
  TPrinterTypeBase::TestPrinter();
  CmdList().Add("SELFTEST", coFlushBuffer);
}

void TPrinterTypeTSPL::AddText(TField& field) {
  const TDotBox box = Geometry().ClippedReference(field);
  const TTsplFont font = TsplFontForSize(field.GetPropertyInt("FontSize", 0), ModelProps().DPI);
  const ByteString text =
      PrinterText(LeadingCharacters(field.Value(), field.GetPropertyInt("MaxSymbols", 0)));
  const std::string font_name(1, font.font);
  CmdList().Add("TEXT " + MakeCommand("", box.L, box.T, TsplQuoted(font_name),
                                      Degrees(field.Rotation()), font.x_multiplier,
                                      font.y_multiplier, TsplQuoted(text)));
  if (field.GetPropertyBool("Negative", false) && !text.empty()) {
    // TEXT has no reverse image: the cells of the characters are inverted afterwards.
    const auto width = static_cast<std::int32_t>(std::min<std::size_t>(
        text.size() * static_cast<std::size_t>(font.CharacterWidth()), kMaxDots));
    const TDotBox cells = Geometry().Clip(
        TurnedBoxFromReference(field.Rotation(), TDotBox{box.L, box.T, width, font.LineHeight()}));
    if (cells.W > 0 && cells.H > 0)
      CmdList().Add("REVERSE " + MakeCommand("", cells.L, cells.T, cells.W, cells.H));
  }
}

void TPrinterTypeTSPL::AddBarcode(TField& field, int field_number) {
  const TBarcodeLayout layout = BarcodeLayoutOf(field, Geometry(), ModelProps().DPI);
  TDotBox box = layout.box;
  box.H = layout.height;
  const bool readable = layout.readable;
  const TBarcodeType type = layout.type;
  const std::int32_t narrow = layout.narrow;
  if (type == TBarcodeType::Gs1_128) {
    AddGs1Barcode(field, field_number, box, narrow, readable);
    return;
  }

  // Symbologies of one element width take the module as both widths.
  std::int32_t wide = narrow;
  std::string_view code;
  switch (type) {
    case TBarcodeType::UpcA:
      code = "UPCA";
      break;
    case TBarcodeType::UpcE:
      code = "UPCE";
      break;
    case TBarcodeType::Ean8:
      code = "EAN8";
      break;
    case TBarcodeType::Ean13:
      code = "EAN13";
      break;
    case TBarcodeType::Interleaved2of5:
      code = "25";
      wide = narrow * Clamp(field.GetPropertyInt("BarNarrowToWideRatio", 2), 2, 30);
      break;
    case TBarcodeType::Codabar:
      code = "CODA";
      wide = narrow * Clamp(field.GetPropertyInt("BarNarrowToWideRatio", 2), 2, 30);
      break;
    case TBarcodeType::Code11:
      code = "11";
      wide = narrow * 2;
      break;
    case TBarcodeType::Code39:
      code = "39";
      wide = narrow * 2;
      break;
    case TBarcodeType::Code93:
      code = "93";
      break;
    case TBarcodeType::Code128:
    case TBarcodeType::Gs1_128:
      code = "128";
      break;
  }
  // Human-readable line 2: centred under the bars, as EPL2 prints it.
  CmdList().Add("BARCODE " + MakeCommand("", box.L, box.T, TsplQuoted(code), box.H,
                                         readable ? 2 : 0, Degrees(field.Rotation()), narrow, wide,
                                         TsplQuoted(PrinterText(field.Value()))));
}

void TPrinterTypeTSPL::AddGs1Barcode(TField& field, int field_number, TDotBox box,
                                     std::int32_t narrow, bool readable) {
  // TSPL's own Code 128 commands leave the FNC1 separators to the printer; the symbol is sent
  // as a bitmap of the bars the driver encoded, and the line under it as a text.
  const std::vector<TGs1Element> elements = Gs1ElementsOfField(field, field_number);
  if (elements.empty()) return;  // no value, no barcode
  const TLinearSymbol symbol = EncodeGs1_128(elements);
  if (!symbol.ok()) throw BarcodeError(symbol.refusal);
  if (box.H <= 0) return;

  const std::int64_t wanted = std::int64_t{symbol.Modules()} * narrow;
  const auto width = static_cast<std::int32_t>(std::min<std::int64_t>(wanted, kMaxDots));
  MonoBitmap bars(width, box.H);
  std::int32_t u = 0;
  bool bar = true;
  for (const int modules : symbol.elements) {
    const std::int32_t element = modules * narrow;
    if (bar)
      for (std::int32_t x = u; x < u + element && x < width; ++x) bars.SetBlack(x, 0);
    u += element;
    bar = !bar;
  }
  for (std::int32_t y = 1; y < box.H; ++y)
    std::copy(bars.Row(0), bars.Row(0) + bars.Stride(), bars.Row(y));

  const TRotation rotation = field.Rotation();
  const TDotBox turned = TurnedBoxFromReference(rotation, TDotBox{box.L, box.T, width, box.H});
  if (rotation == r0) {
    AddBitmap(turned.L, turned.T, bars, bars.Width(), 0);
  } else {
    MonoBitmap turned_bars(turned.W, turned.H);
    TurnInto(bars, rotation, turned_bars);
    AddBitmap(turned.L, turned.T, turned_bars, turned_bars.Width(), 0);
  }

  if (!readable) return;
  const ByteString text = PrinterText(Gs1Parenthesised(elements));
  // The font of the line EPL2 prints under a barcode of this module width.
  const TTsplFont font = TsplFontForSize(Clamp(narrow, 1, 4), ModelProps().DPI);
  const auto text_width = static_cast<std::int32_t>(text.size()) * font.CharacterWidth();
  std::int32_t x = 0;
  std::int32_t y = 0;
  TurnedPoint(rotation, box.L, box.T, (width - text_width) / 2, box.H + kHumanReadableGap, x, y);
  const std::string font_name(1, font.font);
  CmdList().Add("TEXT " + MakeCommand("", std::max(x, 0), std::max(y, 0), TsplQuoted(font_name),
                                      Degrees(rotation), font.x_multiplier, font.y_multiplier,
                                      TsplQuoted(text)));
}

void TPrinterTypeTSPL::AddGraphic(TField& field) {
  // BITMAP takes the top-left corner of the turned picture.
  const TDotBox box = Geometry().TurnedBox(field);
  const MonoBitmap& bitmap = field.GetBitmap(ModelProps().DPI);
  // Columns past the last whole byte are dropped, as EPL2 drops them. Drawn over what lies
  // beneath (OR), as EPL2 draws its pictures.
  AddBitmap(box.L, box.T, bitmap, bitmap.Width() / 8 * 8, 1);
}

void TPrinterTypeTSPL::AddSymbol(TField& field, int field_number) {
  const TPlacedSymbol symbol = PlaceSymbol(field, field_number);
  // Every module is sent, over whatever lies beneath, so the symbol prints as it was encoded.
  if (symbol.bitmap) AddBitmap(symbol.left, symbol.top, *symbol.bitmap, symbol.bitmap->Width(), 0);
}

void TPrinterTypeTSPL::AddBitmap(std::int32_t left, std::int32_t top, const MonoBitmap& bitmap,
                                 std::int32_t columns, int mode) {
  const TFieldGeometry geometry = Geometry();
  // The printer takes no position off the label: the bitmap is cut to the print area.
  const std::int32_t x0 = std::max(left, 0);
  const std::int32_t y0 = std::max(top, 0);
  const std::int32_t x1 = std::min(left + columns, geometry.PrintWidthDots());
  const std::int32_t y1 = std::min(top + bitmap.Height(), geometry.PrintHeightDots());
  if (x1 <= x0 || y1 <= y0) return;
  const std::int32_t bytes_per_row = (x1 - x0 + 7) / 8;
  const std::int32_t rows = y1 - y0;
  const std::int32_t skip = x0 - left;

  ByteString command = "BITMAP " + MakeCommand("", x0, y0, bytes_per_row, rows, mode) + ",";
  const std::size_t header = command.size();
  command.resize(header + static_cast<std::size_t>(bytes_per_row) * static_cast<std::size_t>(rows),
                 '\xFF');
  auto* out = reinterpret_cast<std::uint8_t*>(command.data() + header);
  for (std::int32_t y = 0; y < rows; ++y) {
    const std::uint8_t* row = bitmap.Row(y0 - top + y);
    std::uint8_t* target = out + static_cast<std::size_t>(y) * bytes_per_row;
    if (skip % 8 == 0) {
      // Whole bytes: copied as they are, the bits past the cut end made white.
      std::copy(row + skip / 8, row + skip / 8 + bytes_per_row, target);
    } else {
      for (std::int32_t x = 0; x < x1 - x0; ++x)
        if (bitmap.IsBlack(skip + x, y0 - top + y))
          target[x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
    }
    const std::int32_t tail = bytes_per_row * 8 - (x1 - x0);
    if (tail > 0) target[bytes_per_row - 1] |= static_cast<std::uint8_t>((1 << tail) - 1);
  }
  CmdList().Add(std::move(command));
}

void TPrinterTypeTSPL::AddLine(TField& field) {
  const TDotBox line = Geometry().LineBox(field);
  CmdList().Add("BAR " + MakeCommand("", line.L, line.T, line.W, line.H));
}

void TPrinterTypeTSPL::AddBox(TField& field) {
  const TFieldGeometry geometry = Geometry();
  const TDotBox box = geometry.ClippedReference(field);
  const std::int32_t thickness = geometry.MMToDots(field.GetPropertyDbl("PenWidth", 0));
  // A box without a pen draws nothing, in EPL2 too; TSPL would refuse the thickness.
  if (thickness <= 0) return;
  CmdList().Add("BOX " + MakeCommand("", box.L, box.T, box.L + box.W, box.T + box.H, thickness));
}

}  // namespace pirell
