#include "preview/job_renderer.h"

#include <cmath>

#include "languages/epl2/epl2_renderer.h"
#include "languages/tspl/tspl_renderer.h"
#include "languages/zpl/zpl_renderer.h"

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
    case TPrinterLanguage::ZplII:
      return std::make_unique<ZplRenderer>(sink, options);
    case TPrinterLanguage::Tspl:
      return std::make_unique<TsplRenderer>(sink, options);
    case TPrinterLanguage::Epl2:
    default:
      break;
  }
  return std::make_unique<Epl2Renderer>(sink, options);
}

namespace {

// TSPL jobs start with a reset (ESC "!R") or a command word of the guide followed by a space or
// the line end; EPL2's commands are a letter or two followed by their parameters.
bool LooksLikeTspl(std::string_view job_start) {
  std::size_t i = 0;
  while (i < job_start.size() &&
         (job_start[i] == '\n' || job_start[i] == '\r' || job_start[i] == ' '))
    ++i;
  const std::string_view line = job_start.substr(i);
  if (line.size() >= 2 && line[0] == '\x1B' && line[1] == '!') return true;
  static constexpr std::string_view kWords[] = {
      "SIZE",   "GAP",      "BLINE", "CLS",   "DIRECTION", "REFERENCE", "DENSITY",
      "SPEED",  "CODEPAGE", "SET",   "KILL",  "SELFTEST",  "TEXT",      "BARCODE",
      "BITMAP", "BAR",      "BOX",   "PRINT", "OFFSET"};
  for (const std::string_view word : kWords) {
    if (line.substr(0, word.size()) != word) continue;
    if (line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '\r' ||
        line[word.size()] == '\n')
      return true;
  }
  return false;
}

}  // namespace

std::optional<TPrinterLanguage> DetectJobLanguage(std::string_view job_start) {
  if (LooksLikeTspl(job_start)) return TPrinterLanguage::Tspl;
  // EPL2 jobs are lines of commands that begin with a letter; nothing else the driver writes
  // does. The other languages are recognised before it. ZPL II commands start with "^" or "~";
  // of EPL2's only the reset "^@" does.
  for (std::size_t i = 0; i < job_start.size(); ++i) {
    const char c = job_start[i];
    if (c == '\n' || c == '\r' || c == ' ') continue;
    if (c == '~' || (c == '^' && (i + 1 == job_start.size() || job_start[i + 1] != '@')))
      return TPrinterLanguage::ZplII;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '^') return TPrinterLanguage::Epl2;
    break;
  }
  return std::nullopt;
}

}  // namespace pirell::preview
