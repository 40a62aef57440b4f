#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "preview/job_renderer.h"
#include "preview/render_sink.h"
#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// The start of a command for a warning: windows-1251 text, other bytes as \xNN, "..." after the
// first 40 bytes.
std::string Excerpt(std::string_view line);

// The printer's image buffer as a reader of its jobs keeps it: the label size (the driver's
// default label, 58 x 40 mm, until the job gives one), the picture, made when the job first draws,
// whether something was drawn on it since it was last printed; and the sink with the job's
// summary, which every warning and printed label goes through.
class LabelBuffer {
 public:
  // `size_commands` names the commands that give the size, for the warning of a job without it.
  LabelBuffer(RenderSink& sink, const RenderOptions& options, std::string size_commands);

  int MaxDots() const { return max_dots_; }
  int Width() const { return width_; }
  int Length() const { return length_; }

  // A size the job gives. A buffer already made is made anew at it: the printer clears it.
  void SetSize(int width, int length);

  // The buffer, made at the label size when first asked for (with a warning when the job gave no
  // size first).
  MonoBitmap& Label(std::uint64_t offset);
  // The buffer as it is, for raster data that a command already placed on it.
  MonoBitmap& Current() { return label_; }
  // A second picture of the label's size, for the label turned or mirrored on its way out.
  MonoBitmap& Out() { return out_; }

  // Something drawn on the label; a drawing cut at the label's edge is reported with `excerpt`,
  // the start of its command.
  void NoteDrawn(bool inside, std::uint64_t offset, const std::string& excerpt);
  // The buffer cleared: all white, nothing left unprinted.
  void Clear(std::uint64_t offset);
  // A label out of the printer: `picture` (the buffer or Out()) and its copies.
  void Printed(const MonoBitmap& picture, std::uint64_t copies);

  void Warn(std::uint64_t offset, const std::string& text);
  // The end of the job: reports a label drawn but never printed (`print_command` prints one).
  RenderSummary Finish(std::string_view print_command);

  // The bytes of both pictures.
  std::size_t HeldBytes() const;

 private:
  void Make(int width, int length);

  RenderSink& sink_;
  RenderSummary summary_;
  const std::string size_commands_;
  const int max_dots_;
  int width_;
  int length_;
  bool size_given_ = false;
  MonoBitmap label_;
  MonoBitmap out_;
  bool made_ = false;
  bool unprinted_ = false;
  std::uint64_t unprinted_offset_ = 0;
};

}  // namespace pirell::preview
