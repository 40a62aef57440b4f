#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "preview/render_sink.h"
#include "rendering/printer_language.h"

namespace pirell::preview {

// Largest label side drawn: about a metre (the driver's own bound for a field), 8000 dots at 203
// dots per inch and as many millimetres at other resolutions. A label picture takes at most 8 MB
// at 203 dots per inch.
inline constexpr int kMaxLabelDotsAt203 = 8000;

// How a job is drawn: the print head resolution of the printer it is meant for (one picture
// pixel per dot) and the largest label side taken, in dots (0: MaxLabelDots of the resolution).
struct RenderOptions {
  int dpi = 203;
  int max_label_dots = 0;
};

// The largest label side at `dpi`, in dots.
int MaxLabelDots(int dpi);
// The options' bound; MaxLabelDots of their resolution when they name none.
int MaxLabelDots(const RenderOptions& options);

// Draws what a printer prints from a job in its language. It reads the job's bytes (fed in pieces
// of any size), keeps the printer's state and hands each printed label to the sink; whatever the
// printer would refuse or draw otherwise than the job means is reported to the sink with its byte
// offset, and the rest of the job is drawn. Its memory is bounded by the label size, not by the
// job.
class JobRenderer {
 public:
  virtual ~JobRenderer() = default;

  virtual void Feed(std::string_view bytes) = 0;
  // The end of the job: reports what the job left unfinished.
  virtual RenderSummary Finish() = 0;
  // Bytes held for the job now: pictures and the command being read (font glyphs aside).
  virtual std::size_t HeldBytes() const = 0;
};

// The reader of jobs in `language`.
std::unique_ptr<JobRenderer> MakeJobRenderer(TPrinterLanguage language, RenderSink& sink,
                                             const RenderOptions& options = {});

// The language a job is written in, judged by its first bytes (a few hundred are enough), or none
// when they look like no language the driver speaks.
std::optional<TPrinterLanguage> DetectJobLanguage(std::string_view job_start);

}  // namespace pirell::preview
