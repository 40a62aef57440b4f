#include "render_check.h"

#include <cstdint>
#include <memory>
#include <string>

#include "driver_session.h"
#include "preview/job_renderer.h"

namespace pirell::fuzz {
namespace {

// A fingerprint of everything drawn, in order.
struct Digest : preview::RenderSink {
  void OnLabel(const MonoBitmap& picture, std::uint64_t copies) override {
    Mix(static_cast<std::uint64_t>(picture.Width()) << 32 |
        static_cast<std::uint32_t>(picture.Height()));
    Mix(copies);
    for (int y = 0; y < picture.Height(); ++y)
      for (int i = 0; i < picture.Stride(); ++i) Mix(picture.Row(y)[i]);
  }
  void OnWarning(std::uint64_t offset, const std::string& text) override {
    Mix(offset);
    for (char c : text) Mix(static_cast<unsigned char>(c));
  }
  void Mix(std::uint64_t value) { hash = (hash ^ value) * 1099511628211u; }
  std::uint64_t hash = 14695981039346656037u;
};

}  // namespace

void CheckJobRenderer(TPrinterLanguage language, int dpi, std::size_t piece, std::string_view job,
                      std::size_t line_bytes) {
  const preview::RenderOptions options{dpi, kRenderLabelDots};
  const std::size_t most_held = 2 * (kRenderLabelDots / 8 + 1) * kRenderLabelDots + 2 * line_bytes;

  Digest whole;
  const std::unique_ptr<preview::JobRenderer> whole_renderer =
      preview::MakeJobRenderer(language, whole, options);
  whole_renderer->Feed(job);
  const preview::RenderSummary whole_summary = whole_renderer->Finish();

  Digest pieces;
  const std::unique_ptr<preview::JobRenderer> pieces_renderer =
      preview::MakeJobRenderer(language, pieces, options);
  for (std::size_t at = 0; at < job.size(); at += piece) {
    pieces_renderer->Feed(job.substr(at, piece));
    if (pieces_renderer->HeldBytes() > most_held) Fail("the renderer holds more than a label");
  }
  const preview::RenderSummary pieces_summary = pieces_renderer->Finish();
  if (pieces.hash != whole.hash || pieces_summary.labels != whole_summary.labels ||
      pieces_summary.copies != whole_summary.copies ||
      pieces_summary.warnings != whole_summary.warnings)
    Fail("a job fed in pieces is drawn otherwise than fed whole");
}

}  // namespace pirell::fuzz
