#include "languages/zpl/zpl_printer.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "languages/epl2/epl2_fonts.h"
#include "languages/zpl/zpl_graphic.h"
#include "languages/zpl/zpl_text.h"
#include "platform/codepage.h"
#include "rendering/barcode_types.h"
#include "rendering/command_text.h"
#include "rendering/mono_bitmap.h"
#include "rendering/quarter_turn.h"
#include "rendering/sans_text_line.h"

namespace pirell {

namespace {

// A power-on reset takes a ZPL II printer several seconds; what is sent sooner is lost.
constexpr std::uint16_t kResetMilliseconds = 5000;

constexpr std::int32_t kMaxDarkness = 30;

// The field orientation letter of a quarter turn: normal, rotated, inverted, bottom-up.
std::string_view Orientation(TRotation rotation) {
  static constexpr std::string_view kLetters[] = {"N", "R", "I", "B"};
  return kLetters[static_cast<int>(rotation) & 3];
}

std::string_view YesNo(bool yes) {
  return yes ? "Y" : "N";
}

// The character cell of a "FontSize": texts in the scalable font take the room of the EPL2
// font an EPL2 printer of the same resolution prints them in. Heads of 600 dots per inch double
// the 300-dpi cells.
TEpl2FontCell TextCell(std::int32_t font_size, std::int32_t dpi) {
  const TEpl2TextFont font = Epl2FontForSize(font_size);
  const std::int32_t magnification = font.magnification * (dpi >= 450 ? 2 : 1);
  const TEpl2FontCell cell = Epl2FontCell(font.font, dpi);
  return {cell.width * magnification, cell.height * magnification, cell.advance * magnification};
}

ByteString FieldData(const ByteString& data, bool escaped) {
  return (escaped ? "^FH_^FD" : "^FD") + data + "^FS";
}

ByteString FieldOrigin(std::int32_t x, std::int32_t y) {
  return MakeCommand("^FO", std::max(x, 0), std::max(y, 0));
}

// The data of a Code 128 symbol in UCC/EAN mode, which starts with FNC1 itself: an FNC1 (">8")
// after every variable-length element that another follows.
ByteString Gs1FieldData(const std::vector<TGs1Element>& elements, bool& escaped) {
  ByteString data;
  escaped = false;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    bool part_escaped = false;
    data += BarcodeFieldData(elements[i].ai + elements[i].data, true, part_escaped);
    escaped = escaped || part_escaped;
    if (elements[i].variable && i + 1 < elements.size()) data += ">8";
  }
  return data;
}

bool IsCodabarGuard(char c) {
  return (c >= 'A' && c <= 'D') || (c >= 'a' && c <= 'd');
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The part of `bitmap` from column `left`, row `top` on.
MonoBitmap CutBitmap(const MonoBitmap& bitmap, int left, int top) {
  MonoBitmap cut(bitmap.Width() - left, bitmap.Height() - top);
  for (int y = 0; y < cut.Height(); ++y)
    for (int x = 0; x < cut.Width(); ++x)
      if (bitmap.IsBlack(x + left, y + top)) cut.SetBlack(x, y);
  return cut;
}

}  // namespace

TPrinterTypeZPL2::TPrinterTypeZPL2() {
  SetCmdSuffix("\n");
}

void TPrinterTypeZPL2::InitializePrinter() {
  TPrinterTypeBase::InitializePrinter();
  TCmdList& cmds = CmdList();
  cmds.Add("^XA");
  cmds.Add("^IDR:*.*");
  cmds.Add("^XZ");
  cmds.Add("~JR", coFlushBuffer, kResetMilliseconds);
}

void TPrinterTypeZPL2::InitTask() {
  TPrinterTypeBase::InitTask();
  const TFieldGeometry geometry = Geometry();
  const TPrintParams& params = PrintParams();
  TCmdList& cmds = CmdList();
  const std::int32_t darkness = Clamp(params.Darkness, 0, kMaxDarkness);
  cmds.Add(std::string("~SD") + static_cast<char>('0' + darkness / 10) +
           static_cast<char>('0' + darkness % 10));
  cmds.Add("^XA");
  // Labels with gaps between them, or continuous media when there is no gap.
  cmds.Add(geometry.GapDots() > 0 ? "^MNY" : "^MNN");
  cmds.Add(params.PrintingMode == pmTransfer ? "^MTT" : "^MTD");
  cmds.Add(MakeCommand("^PR", params.Speed));
  cmds.Add("^XZ", coFlushBuffer);
}

void TPrinterTypeZPL2::MakeLabelScript(std::uint16_t NumCopyes) {
  TPrinterTypeBase::MakeLabelScript(NumCopyes);
  const TFieldGeometry geometry = Geometry();
  TCmdList& cmds = CmdList();
  cmds.Add("^XA");
  cmds.Add("^CI28");
  cmds.Add(MakeCommand("^PW", geometry.PrintWidthDots()));
  cmds.Add(MakeCommand("^LL", geometry.PrintHeightDots()));
  cmds.Add("^LH0,0");
  AddFields();
  cmds.Add(MakeCommand("^PQ", NumCopyes));
  cmds.Add("^XZ", coFlushBuffer);
}

void TPrinterTypeZPL2::TestPrinter() {
  TPrinterTypeBase::TestPrinter();
  CmdList().Add("~WC", coFlushBuffer);
}

void TPrinterTypeZPL2::AddText(TField& field) {
  const TFieldGeometry geometry = Geometry();
  const TDotBox reference = geometry.ClippedReference(field);
  const TEpl2FontCell cell = TextCell(field.GetPropertyInt("FontSize", 0), ModelProps().DPI);
  const bool reverse = field.GetPropertyBool("Negative", false);
  const std::string value = field.Value();
  const std::string text(LeadingCharacters(value, field.GetPropertyInt("MaxSymbols", 0)));

  if (!FitsResidentFont(text)) {
    AddRenderedText(field, text, reference, cell.height, cell.advance, reverse);
    return;
  }

  const TRotation rotation = field.Rotation();
  if (reverse && !text.empty()) {
    // White characters on black cells, as many cells as characters: a black box that the
    // field, printed reversed, clears where its characters are.
    const TDotBox cells = geometry.Clip(TurnedBoxFromReference(
        rotation, {reference.L, reference.T,
                   static_cast<std::int32_t>(CharacterCount(text)) * cell.advance, cell.height}));
    if (cells.W > 0 && cells.H > 0)
      CmdList().Add(FieldOrigin(cells.L, cells.T) +
                    MakeCommand("^GB", cells.W, cells.H, std::min(cells.W, cells.H)) + "^FS");
  }

  // The field origin is the top-left corner of the turned field. Text runs from the reference
  // point; turned half round or three quarters, the field's top-left corner depends on the
  // text's length, which a proportional font does not tell: such a text is a one-line block
  // that reaches the label's edge, and the block starts at the reference point.
  ByteString position;
  switch (rotation) {
    case r0:
      position = FieldOrigin(reference.L, reference.T);
      break;
    case r90:
      position = FieldOrigin(reference.L - cell.height, reference.T);
      break;
    case r180:
      position = FieldOrigin(0, reference.T - cell.height) +
                 MakeCommand("^FB", std::max(reference.L, 1), 1, 0, std::string_view("L"));
      break;
    case r270:
      position = FieldOrigin(reference.L, 0) +
                 MakeCommand("^FB", std::max(reference.T, 1), 1, 0, std::string_view("L"));
      break;
  }
  bool escaped = false;
  const ByteString data = TextFieldData(text, escaped);
  CmdList().Add(position + "^A0" + MakeCommand("", Orientation(rotation), cell.height, cell.width) +
                (reverse ? "^FR" : "") + FieldData(data, escaped));
}

void TPrinterTypeZPL2::AddRenderedText(const TField& field, const std::string& text,
                                       TDotBox reference, std::int32_t height, std::int32_t advance,
                                       bool reverse) {
  const TFieldGeometry geometry = Geometry();
  const TRotation rotation = field.Rotation();
  // The room from the reference point to the label's edge along the text.
  std::int32_t room = 0;
  switch (rotation) {
    case r0:
      room = geometry.PrintWidthDots() - reference.L;
      break;
    case r90:
      room = geometry.PrintHeightDots() - reference.T;
      break;
    case r180:
      room = reference.L;
      break;
    case r270:
      room = reference.T;
      break;
  }
  const auto characters = static_cast<std::int32_t>(CharacterCount(text));
  const std::int32_t width = std::min(room, characters * height);
  if (width <= 0 || height <= 0) return;

  const TSansTextLine line = RasteriseSansTextLine(text, height, width);
  const MonoBitmap& upright = line.glyphs;
  std::int32_t used = line.ink_width;
  if (reverse) used = std::max(used, std::min(width, characters * advance));
  if (used <= 0) return;

  MonoBitmap drawn(used, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < used; ++x)
      if (upright.IsBlack(x, y) != reverse) drawn.SetBlack(x, y);
  MonoBitmap turned(TurnedWidth(used, height, rotation), TurnedHeight(used, height, rotation));
  TurnInto(drawn, rotation, turned);
  const TDotBox box = TurnedBoxFromReference(rotation, {reference.L, reference.T, used, height});
  AddRaster(box.L, box.T, turned);
}

void TPrinterTypeZPL2::AddBarcode(TField& field, int field_number) {
  const TBarcodeLayout layout = BarcodeLayoutOf(field, Geometry(), ModelProps().DPI);
  TDotBox box = layout.box;
  box.H = layout.height;
  const bool readable = layout.readable;
  const TBarcodeType type = layout.type;
  const std::int32_t narrow = layout.narrow;
  const TRotation rotation = field.Rotation();
  // The wide-to-narrow ratio of symbologies of two widths; the printer takes 2.0 to 3.0.
  std::int32_t ratio = 0;
  const std::int32_t height = std::max(box.H, 1);
  const std::string_view o = Orientation(rotation);
  const std::string_view f = YesNo(readable);

  std::string value = field.Value();
  ByteString symbology;
  switch (type) {
    case TBarcodeType::UpcA:
      symbology = MakeCommand("^BU", o, height, f, "N", "Y");
      break;
    case TBarcodeType::UpcE:
      symbology = MakeCommand("^B9", o, height, f, "N", "Y");
      value = UpcEManufacturerAndProduct(value);
      break;
    case TBarcodeType::Ean8:
      symbology = MakeCommand("^B8", o, height, f, "N");
      break;
    case TBarcodeType::Ean13:
      symbology = MakeCommand("^BE", o, height, f, "N");
      break;
    case TBarcodeType::Interleaved2of5:
      ratio = Clamp(field.GetPropertyInt("BarNarrowToWideRatio", 2), 2, 3);
      symbology = MakeCommand("^B2", o, height, f, "N", "N");
      break;
    case TBarcodeType::Codabar: {
      ratio = Clamp(field.GetPropertyInt("BarNarrowToWideRatio", 2), 2, 3);
      // The start and stop characters are parameters of the command, not data.
      std::string start = "A";
      std::string stop = "A";
      if (value.size() >= 2 && IsCodabarGuard(value.front()) && IsCodabarGuard(value.back())) {
        start = std::string(1, Upper(value.front()));
        stop = std::string(1, Upper(value.back()));
        value = value.substr(1, value.size() - 2);
      }
      symbology = MakeCommand("^BK", o, "N", height, f, "N", start, stop);
      break;
    }
    case TBarcodeType::Code11:
      symbology = MakeCommand("^B1", o, "N", height, f, "N");
      break;
    case TBarcodeType::Code39:
      ratio = 2;
      symbology = MakeCommand("^B3", o, "N", height, f, "N");
      break;
    case TBarcodeType::Code93:
      symbology = MakeCommand("^BA", o, height, f, "N", "N");
      break;
    case TBarcodeType::Code128:
      // Automatic mode: the printer chooses the subsets, as the EPL2 printers do.
      symbology = MakeCommand("^BC", o, height, f, "N", "N", "A");
      break;
    case TBarcodeType::Gs1_128:
      // UCC/EAN mode: the symbol starts with FNC1 in the subset that suits the data.
      symbology = MakeCommand("^BC", o, height, f, "N", "N", "D");
      break;
  }

  bool escaped = false;
  ByteString data;
  if (type == TBarcodeType::Gs1_128) {
    const std::vector<TGs1Element> elements = Gs1ElementsOfField(field, field_number);
    if (elements.empty()) return;  // no value, no barcode
    data = Gs1FieldData(elements, escaped);
  } else {
    data = BarcodeFieldData(value, type == TBarcodeType::Code128, escaped);
  }

  // The typeset origin of a barcode is the bottom-left corner of its bars, turned with it: it
  // does not depend on the symbol's width.
  std::int32_t x = box.L;
  std::int32_t y = box.T;
  switch (rotation) {
    case r0:
      y += height;
      break;
    case r90:
      x -= height;
      break;
    case r180:
      y -= height;
      break;
    case r270:
      x += height;
      break;
  }
  ByteString module_width = MakeCommand("^BY", narrow);
  if (ratio > 0) module_width += MakeCommand(",", ratio) + ".0";
  CmdList().Add(MakeCommand("^FT", std::max(x, 0), std::max(y, 0)) + module_width + symbology +
                FieldData(data, escaped));
}

void TPrinterTypeZPL2::AddGraphic(TField& field) {
  const TDotBox box = Geometry().TurnedBox(field);
  AddRaster(box.L, box.T, field.GetBitmap(ModelProps().DPI));
}

void TPrinterTypeZPL2::AddSymbol(TField& field, int field_number) {
  const TPlacedSymbol symbol = PlaceSymbol(field, field_number);
  if (symbol.bitmap) AddRaster(symbol.left, symbol.top, *symbol.bitmap);
}

void TPrinterTypeZPL2::AddRaster(std::int32_t left, std::int32_t top, const MonoBitmap& bitmap) {
  const int cut_left =
      left < 0 ? static_cast<int>(std::min<std::int64_t>(-left, bitmap.Width())) : 0;
  const int cut_top = top < 0 ? static_cast<int>(std::min<std::int64_t>(-top, bitmap.Height())) : 0;
  if (bitmap.Width() - cut_left <= 0 || bitmap.Height() - cut_top <= 0) return;
  const ByteString origin = FieldOrigin(left, top);
  if (cut_left == 0 && cut_top == 0) {
    CmdList().Add(origin + GraphicFieldCommand(bitmap) + "^FS");
  } else {
    CmdList().Add(origin + GraphicFieldCommand(CutBitmap(bitmap, cut_left, cut_top)) + "^FS");
  }
}

void TPrinterTypeZPL2::AddLine(TField& field) {
  const TDotBox line = Geometry().LineBox(field);
  if (line.W <= 0 || line.H <= 0) return;
  CmdList().Add(FieldOrigin(line.L, line.T) +
                MakeCommand("^GB", line.W, line.H, std::min(line.W, line.H)) + "^FS");
}

void TPrinterTypeZPL2::AddBox(TField& field) {
  const TFieldGeometry geometry = Geometry();
  const TDotBox box = geometry.ClippedReference(field);
  const std::int32_t thickness = geometry.MMToDots(field.GetPropertyDbl("PenWidth", 0));
  // A box without a pen or without room draws nothing; the printer would make its lines at
  // least as thick as the pen, so a thin box gets a pen no thicker than itself.
  if (thickness <= 0 || box.W <= 0 || box.H <= 0) return;
  CmdList().Add(FieldOrigin(box.L, box.T) +
                MakeCommand("^GB", box.W, box.H, std::min({thickness, box.W, box.H})) + "^FS");
}

}  // namespace pirell
