#include "preview/job_renderer.h"

#include <cmath>

#include "languages/epl2/epl2_renderer.h"

namespace pirell::preview {

int MaxLabelDots(int dpi) {
  return static_cast<int>(std::lround(kMaxLabelDotsAt203 * (dpi / 203.0)));
}

int MaxLabelDots(const RenderOptions& options) {
  return options.max_label_dots > 0 ? options.max_label_dots : MaxLabelDots(options.dpi);
}

std::unique_ptr<JobRenderer> MakeJobRenderer(TPrinterLanguage language, RenderSink& sink,
                                             const RenderOptions& options) {
  switch (language) {
    case TPrinterLanguage::Epl2:
    default:
      break;
  }
  return std::make_unique<Epl2Renderer>(sink, options);
}

std::optional<TPrinterLanguage> DetectJobLanguage(std::string_view job_start) {
  // EPL2 jobs are lines of commands that begin with a letter; nothing else the driver writes
  // does. The other languages are recognised before it.
  for (const char c : job_start) {
    if (c == '\n' || c == '\r' || c == ' ') continue;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '^') return TPrinterLanguage::Epl2;
    break;
  }
  return std::nullopt;
}

}  // namespace pirell::preview
