#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "languages/tspl/tspl_render_parameters.h"
#include "languages/tspl/tspl_render_reader.h"
#include "preview/job_renderer.h"
#include "preview/label_buffer.h"
#include "preview/printer_fonts.h"
#include "preview/render_sink.h"
#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// Draws what a TSPL job prints. It reads the job's bytes (fed in pieces of any size) and keeps
// the printer's state: the label size ("SIZE"), the print direction and mirror ("DIRECTION"), the
// origin ("REFERENCE") and the image buffer, which "CLS" clears and "PRINT" prints. It draws texts
// in the resident bitmap fonts ("TEXT"), barcodes ("BARCODE"), bars ("BAR"), boxes ("BOX"),
// bitmaps ("BITMAP") and the region commands "REVERSE" and "ERASE"; settings that draw nothing
// ("GAP", "BLINE", "DENSITY", "SPEED", "CODEPAGE", "SET", "OFFSET", "SHIFT", "KILL", "SELFTEST",
// the immediate ESC "!" commands) are read and ignored. Anything else, and any command the printer
// would refuse, is reported to the sink with its byte offset, and the rest of the job is drawn.
//
// Memory is bounded by the label size, not by the job: one label picture (two when the picture
// is turned or mirrored on the way out), one command line and the glyphs of the fonts.
class TsplRenderer final : public JobRenderer, private TsplCommandReader::Handler {
 public:
  explicit TsplRenderer(RenderSink& sink, const RenderOptions& options = {});

  void Feed(std::string_view bytes) override;
  // The end of the job: reports a cut bitmap, an unfinished command and a label never printed.
  RenderSummary Finish() override;
  std::size_t HeldBytes() const override;

 private:
  using Parameters = std::vector<TsplParameter>;

  std::uint64_t OnCommand(std::string_view line, std::uint64_t offset) override;
  void OnRaster(std::string_view bytes) override;
  void OnRasterCut(std::uint64_t missing) override;
  void OnOverlongLine(std::uint64_t offset) override;
  void OnUnfinishedLine(std::string_view line, std::uint64_t offset) override;

  // The command named `name` with its parameters; the error the printer would report, or empty.
  std::string Run(std::string_view name, const Parameters& p, std::uint64_t offset,
                  std::string_view line, std::uint64_t& raster);

  void Warn(std::uint64_t offset, const std::string& text) { buffer_.Warn(offset, text); }
  MonoBitmap& Label(std::uint64_t offset) { return buffer_.Label(offset); }
  void NoteDrawn(bool inside, std::uint64_t offset, std::string_view line);

  std::string SetSize(const Parameters& p);
  std::string SetDirection(const Parameters& p);
  std::string SetReference(const Parameters& p);
  std::string Print(const Parameters& p, std::uint64_t offset);
  std::string DrawText(const Parameters& p, std::uint64_t offset, std::string_view line);
  std::string DrawBarcode(const Parameters& p, std::uint64_t offset, std::string_view line);
  std::string DrawBar(const Parameters& p, std::uint64_t offset, std::string_view line);
  std::string DrawBox(const Parameters& p, std::uint64_t offset, std::string_view line);
  std::string ChangeRegion(const Parameters& p, std::uint64_t offset, std::string_view line,
                           bool reverse);
  std::string StartBitmap(const Parameters& p, std::uint64_t offset, std::string_view line,
                          std::uint64_t& raster);

  TsplCommandReader reader_;
  PrinterFonts fonts_;
  LabelBuffer buffer_;
  const int dpi_;

  bool turned_out_ = false;  // "DIRECTION 1": the picture leaves the printer turned half round
  bool mirrored_ = false;
  std::int64_t origin_x_ = 0;
  std::int64_t origin_y_ = 0;

  // The data of the last "BITMAP" as it arrives.
  struct Bitmap {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t bytes_per_row = 0;
    std::int64_t rows = 0;
    int mode = 0;
    std::uint64_t received = 0;
    std::uint64_t offset = 0;
  };
  Bitmap bitmap_;
};

}  // namespace pirell::preview
