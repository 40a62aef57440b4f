#include "languages/epl2/epl2_printer.h"

#include <string_view>

#include "languages/epl2/epl2_fonts.h"
#include "languages/epl2/epl2_text.h"
#include "rendering/barcode_types.h"
#include "rendering/command_text.h"
#include "rendering/mono_bitmap.h"

namespace pirell {

namespace {

constexpr std::string_view kDeleteAll = "\"*\"";

// The data of a Code 128 symbol that carries GS1 elements: FNC1 ("F1", between the quoted
// parts) first and after every variable-length element another one follows.
ByteString Gs1BarcodeData(const std::vector<TGs1Element>& elements) {
  ByteString data;
  std::string part;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    part += elements[i].ai + elements[i].data;
    if (i + 1 == elements.size() || elements[i].variable) {
      data += "F1" + QuotedData(part);
      part.clear();
    }
  }
  return data;
}

}  // namespace

TPrinterTypeZebraEZPL2::TPrinterTypeZebraEZPL2() {
  SetCmdSuffix("\n");
}

void TPrinterTypeZebraEZPL2::InitializePrinter() {
  TPrinterTypeBase::InitializePrinter();
  TCmdList& cmds = CmdList();
  cmds.Add("WN");
  cmds.Add(MakeCommand("EK", kDeleteAll));
  cmds.Add(MakeCommand("FK", kDeleteAll));
  cmds.Add(MakeCommand("GK", kDeleteAll));
  cmds.Add("I8,C,001");
  // The reset takes the printer a moment; nothing may follow it sooner.
  cmds.Add("^@", coFlushBuffer, 2000);
}

void TPrinterTypeZebraEZPL2::InitTask() {
  TPrinterTypeBase::InitTask();
  const TFieldGeometry geometry = Geometry();
  const TPrintParams& params = PrintParams();
  TCmdList& cmds = CmdList();
  cmds.Add("");
  cmds.Add(MakeCommand("q", geometry.PrintWidthDots()));
  cmds.Add(MakeCommand("Q", geometry.PrintHeightDots(), geometry.GapDots()));
  cmds.Add(params.PrintingMode == pmTransfer ? "Od" : "OD");
  cmds.Add(MakeCommand("D", params.Darkness));
  cmds.Add(MakeCommand("S", params.Speed));
  cmds.Add("ZT");
  cmds.Add("", coFlushBuffer);
}

void TPrinterTypeZebraEZPL2::MakeLabelScript(std::uint16_t NumCopyes) {
  TPrinterTypeBase::MakeLabelScript(NumCopyes);
  CmdList().Add("N");
  AddFields();
  CmdList().Add(MakeCommand("P", NumCopyes), coFlushBuffer);
}

void TPrinterTypeZebraEZPL2::TestPrinter() {
  TPrinterTypeBase::TestPrinter();
  CmdList().Add("U", coFlushBuffer);
}

void TPrinterTypeZebraEZPL2::AddText(TField& field) {
  const TDotBox box = Geometry().ClippedReference(field);

  const TEpl2TextFont font = Epl2FontForSize(field.GetPropertyInt("FontSize", 0));
  const std::string_view reverse = field.GetPropertyBool("Negative", false) ? "R" : "N";

  const std::string value = field.Value();
  const ByteString text =
      PrinterText(LeadingCharacters(value, field.GetPropertyInt("MaxSymbols", 0)));

  CmdList().Add(MakeCommand("A", box.L, box.T, static_cast<int>(field.Rotation()), font.font,
                            font.magnification, font.magnification, reverse, QuotedData(text)));
}

void TPrinterTypeZebraEZPL2::AddBarcode(TField& field, int field_number) {
  const TBarcodeLayout layout = BarcodeLayoutOf(field, Geometry(), ModelProps().DPI);
  const TDotBox& box = layout.box;
  const bool readable = layout.readable;
  const TBarcodeType type = layout.type;
  const std::int32_t narrow = layout.narrow;
  std::int32_t wide = 2;

  std::string_view code;
  switch (type) {
    case TBarcodeType::UpcA:
      code = "UA0";
      break;
    case TBarcodeType::UpcE:
      code = "UE0";
      break;
    case TBarcodeType::Ean8:
      code = "E80";
      break;
    case TBarcodeType::Ean13:
      code = "E30";
      break;
    case TBarcodeType::Interleaved2of5:
      code = "2";
      wide = narrow * Clamp(field.GetPropertyInt("BarNarrowToWideRatio", 2), 2, 30);
      break;
    case TBarcodeType::Codabar:
      code = "K";
      wide = narrow * Clamp(field.GetPropertyInt("BarNarrowToWideRatio", 2), 2, 30);
      break;
    case TBarcodeType::Code11:
      code = "";
      break;
    case TBarcodeType::Code39:
      code = "3";
      wide = narrow * 2;
      break;
    case TBarcodeType::Code93:
      code = "9";
      break;
    case TBarcodeType::Code128:
    case TBarcodeType::Gs1_128:
      code = "1";
      break;
  }

  ByteString data;
  if (type == TBarcodeType::Gs1_128) {
    data = Gs1BarcodeData(Gs1ElementsOfField(field, field_number));
    if (data.empty()) return;  // no value, no barcode
  } else {
    data = QuotedData(PrinterText(field.Value()));
  }
  CmdList().Add(MakeCommand("B", box.L, box.T, static_cast<int>(field.Rotation()), code, narrow,
                            wide, layout.height, std::string_view(readable ? "B" : "N"), data));
}

void TPrinterTypeZebraEZPL2::AddGraphic(TField& field) {
  // The raster command takes the top-left corner of the turned picture.
  const TDotBox box = Geometry().TurnedBox(field);
  const MonoBitmap& bitmap = field.GetBitmap(ModelProps().DPI);
  // Columns past the last whole byte are dropped.
  AddRaster(box.L, box.T, bitmap, bitmap.Width() / 8);
}

void TPrinterTypeZebraEZPL2::AddSymbol(TField& field, int field_number) {
  const TPlacedSymbol symbol = PlaceSymbol(field, field_number);
  // Every module is sent: the last byte of a row is filled up with white.
  if (symbol.bitmap) AddRaster(symbol.left, symbol.top, *symbol.bitmap, symbol.bitmap->Stride());
}

void TPrinterTypeZebraEZPL2::AddRaster(std::int32_t left, std::int32_t top,
                                       const MonoBitmap& bitmap, int bytes_per_row) {
  const int rows = bitmap.Height();
  CmdList().Add(MakeCommand("GW", left, top, bytes_per_row, rows));

  // Rows are already packed the printer's way.
  ByteString raster;
  raster.reserve(static_cast<std::size_t>(bytes_per_row) * static_cast<std::size_t>(rows));
  if (bytes_per_row > 0 && bytes_per_row == bitmap.Stride()) {
    raster.append(reinterpret_cast<const char*>(bitmap.Row(0)),
                  static_cast<std::size_t>(bytes_per_row) * static_cast<std::size_t>(rows));
  } else if (bytes_per_row > 0) {
    for (int y = 0; y < rows; ++y)
      raster.append(reinterpret_cast<const char*>(bitmap.Row(y)),
                    static_cast<std::size_t>(bytes_per_row));
  }
  CmdList().Add(std::move(raster));
}

void TPrinterTypeZebraEZPL2::AddLine(TField& field) {
  const TDotBox line = Geometry().LineBox(field);
  CmdList().Add(MakeCommand("LO", line.L, line.T, line.W, line.H));
}

void TPrinterTypeZebraEZPL2::AddBox(TField& field) {
  const TFieldGeometry geometry = Geometry();
  const TDotBox box = geometry.ClippedReference(field);
  const std::int32_t thickness = geometry.MMToDots(field.GetPropertyDbl("PenWidth", 0));
  CmdList().Add(MakeCommand("X", box.L, box.T, thickness, box.L + box.W, box.T + box.H));
}

}  // namespace pirell
