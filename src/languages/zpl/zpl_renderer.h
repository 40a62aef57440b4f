#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "languages/zpl/zpl_render_graphic.h"
#include "languages/zpl/zpl_render_reader.h"
#include "preview/job_renderer.h"
#include "preview/printer_fonts.h"
#include "preview/render_sink.h"
#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// Draws what a ZPL II job prints. It reads the job's bytes (fed in pieces of any size) and keeps
// the printer's state: the print width ("^PW"), label length ("^LL") and home ("^LH"), the
// default orientation ("^FW"), the barcode defaults ("^BY") and the character set ("^CI"). Each
// format ("^XA" to "^XZ") that draws is a label, printed "^PQ" times; one that only sets the
// printer up prints none. Fields are placed by "^FO" or "^FT"
// and drawn at "^FS": texts in the scalable font ("^A0", in a field block "^FB", reversed with
// "^FR", escaped with "^FH"), the linear barcodes, boxes and lines ("^GB") and graphic fields
// ("^GFA"). Commands that draw nothing (media, darkness, speed, deletes, resets, the
// configuration label, comments) are read and ignored. Anything else, and any command the
// printer would refuse, is reported to the sink with its byte offset, and the rest of the job is
// drawn.
//
// Memory is bounded by the label size, not by the job: one label picture, one command and two
// rows of a graphic field.
class ZplRenderer final : public JobRenderer, private ZplCommandReader::Handler {
 public:
  explicit ZplRenderer(RenderSink& sink, const RenderOptions& options = {});

  void Feed(std::string_view bytes) override;
  // The end of the job: reports an unfinished format.
  RenderSummary Finish() override;
  std::size_t HeldBytes() const override;

 private:
  // The field being put together, from its position to "^FS".
  struct Field {
    bool placed = false;
    bool typeset = false;  // "^FT": the origin is the baseline or the base of the bars
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::optional<int> turn;  // of the font or barcode command
    char font = 0;
    std::int64_t font_height = 0;
    std::int64_t font_width = 0;
    std::int64_t block_width = 0;  // "^FB", 0 for none
    char block_justification = 'L';
    bool reverse = false;
    std::optional<char> hex_indicator;
    bool has_data = false;
    std::string data;
    std::string barcode;  // the name of the barcode command ("BC")
    std::string barcode_parameters;
    std::uint64_t barcode_offset = 0;
    bool has_box = false;
    std::int64_t box_width = 0;
    std::int64_t box_height = 0;
    std::int64_t box_thickness = 0;
    bool drew_graphic = false;
    std::uint64_t offset = 0;  // of the command that placed it
  };

  bool OnCommand(char prefix, std::string_view name, std::string_view parameters,
                 std::uint64_t offset) override;
  void OnGraphicData(std::string_view data) override;
  void OnGraphicEnd() override;
  void OnStray(std::uint64_t offset) override;
  void OnOverlong(std::uint64_t offset) override;

  void Warn(std::uint64_t offset, const std::string& text);
  MonoBitmap& Label(std::uint64_t offset);
  void NoteDrawn(bool inside, std::uint64_t offset, const std::string& what);

  std::string FormatCommand(std::string_view name, std::string_view parameters,
                            std::uint64_t offset);
  std::string StartGraphic(std::string_view parameters, std::uint64_t offset);
  std::string EndField(std::uint64_t offset);
  std::string DrawText(std::uint64_t offset);
  std::string DrawBarcode(std::uint64_t offset);
  std::string DrawBox(std::uint64_t offset);
  // The reference point (as ObjectPlacement takes it) of an upright object of the given size,
  // turned, whose field origin is the field's: its top-left corner on the label for "^FO", the
  // point (anchor_u, anchor_v) of the upright object for "^FT".
  void Reference(int turn, std::int64_t width, std::int64_t height, std::int64_t anchor_u,
                 std::int64_t anchor_v, std::int64_t& x, std::int64_t& y) const;

  RenderSink& sink_;
  ZplCommandReader reader_;
  PrinterFonts fonts_;
  ZplGraphicDecoder graphic_;
  RenderSummary summary_;
  const int max_label_dots_;

  int width_;
  int length_;
  bool width_given_ = false;
  bool length_given_ = false;
  std::int64_t home_x_ = 0;
  std::int64_t home_y_ = 0;
  int default_turn_ = 0;     // "^FW"
  std::int64_t module_ = 2;  // "^BY"
  double ratio_ = 3.0;
  std::int64_t bar_height_ = 10;
  int character_set_ = 0;
  char default_font_ = 'A';  // "^CF"
  std::int64_t default_font_height_ = 9;
  std::int64_t default_font_width_ = 5;

  bool in_format_ = false;
  std::uint64_t format_offset_ = 0;
  std::uint64_t copies_ = 1;
  MonoBitmap label_;
  bool label_made_ = false;
  bool graphic_open_ = false;
  std::uint64_t graphic_offset_ = 0;
  Field field_;
};

}  // namespace pirell::preview
