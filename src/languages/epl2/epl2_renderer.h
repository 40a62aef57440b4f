#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "languages/epl2/epl2_render_reader.h"
#include "preview/job_renderer.h"
#include "preview/label_buffer.h"
#include "preview/printer_fonts.h"
#include "preview/render_sink.h"
#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// Draws what an EPL2 job prints. It reads the job's bytes (fed in pieces of any size) and keeps
// the printer's state: the label width ("q"), length and gap ("Q"), the print direction ("Z")
// and the image buffer, which "N" clears and "P" prints. It draws texts in the resident fonts
// ("A"), barcodes ("B"), lines ("LO"), boxes ("X") and raster graphics ("GW"); commands that draw
// nothing ("O", "D", "S", "I", "W", "U", "^@", the deletes "EK", "FK", "GK") are read and
// ignored. Anything else, and any command the printer would refuse, is reported to the sink with
// its byte offset, and the rest of the job is drawn.
//
// Memory is bounded by the label size, not by the job: one label picture (two with "ZB"), one
// command line and the glyphs of the fonts.
class Epl2Renderer final : public JobRenderer, private Epl2CommandReader::Handler {
 public:
  explicit Epl2Renderer(RenderSink& sink, const RenderOptions& options = {});

  void Feed(std::string_view bytes) override;
  // The end of the job: reports a cut raster, an unfinished command and a label never printed.
  RenderSummary Finish() override;

  // Bytes held for the job now: pictures and the line being read (the font glyphs aside).
  std::size_t HeldBytes() const override;

 private:
  std::uint64_t OnCommand(std::string_view line, std::uint64_t offset) override;
  void OnRaster(std::string_view bytes) override;
  void OnRasterCut(std::uint64_t missing) override;
  void OnOverlongLine(std::uint64_t offset) override;
  void OnUnfinishedLine(std::string_view line, std::uint64_t offset) override;

  void Warn(std::uint64_t offset, const std::string& text) { buffer_.Warn(offset, text); }
  MonoBitmap& Label(std::uint64_t offset) { return buffer_.Label(offset); }
  void NoteClipped(bool inside, std::uint64_t offset, std::string_view line);

  std::string SetWidth(std::string_view parameters);
  std::string SetLength(std::string_view parameters);
  std::string SetDirection(std::string_view parameters);
  std::string Print(std::string_view parameters, std::uint64_t offset);
  std::string DrawText(std::string_view parameters, std::uint64_t offset, std::string_view line);
  std::string DrawBarcode(std::string_view parameters, std::uint64_t offset, std::string_view line);
  std::string DrawLine(std::string_view parameters, std::uint64_t offset, std::string_view line);
  std::string DrawBox(std::string_view parameters, std::uint64_t offset, std::string_view line);
  std::string StartGraphic(std::string_view parameters, std::uint64_t offset,
                           std::string_view line);

  Epl2CommandReader reader_;
  PrinterFonts fonts_;
  LabelBuffer buffer_;
  bool bottom_first_ = false;  // "ZB": the picture leaves the printer upside down

  // The raster of the last "GW" as it arrives.
  struct Graphic {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t bytes_per_row = 0;
    std::int64_t rows = 0;
    std::uint64_t received = 0;
    std::uint64_t offset = 0;
  };
  Graphic graphic_;
};

}  // namespace pirell::preview
