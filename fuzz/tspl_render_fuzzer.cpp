// A print job of any bytes, drawn by the preview's TSPL renderer: it is drawn to its end, holds
// no more than a label and a command line however long the job, and draws the same pictures and
// warnings whether it is fed whole or in pieces of the size the input's first byte chooses, at
// the resolution its second byte chooses.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "driver_session.h"
#include "fuzz_input.h"
#include "languages/tspl/tspl_renderer.h"

namespace {

using namespace pirell;

// Labels up to 1000 dots a side keep every input quick.
constexpr int kLabelDots = 1000;
constexpr std::size_t kMostHeld =
    2 * (kLabelDots / 8 + 1) * kLabelDots + 2 * preview::TsplCommandReader::kMaxLineBytes;

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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::size_t piece = 1 + input.Byte() % 64;
  const int dpi = input.Byte() % 2 == 0 ? 203 : 300;
  const std::string job = input.Rest();

  Digest whole;
  preview::TsplRenderer whole_renderer(whole, {dpi, kLabelDots});
  whole_renderer.Feed(job);
  const preview::RenderSummary whole_summary = whole_renderer.Finish();

  Digest pieces;
  preview::TsplRenderer pieces_renderer(pieces, {dpi, kLabelDots});
  for (std::size_t at = 0; at < job.size(); at += piece) {
    pieces_renderer.Feed(std::string_view(job).substr(at, piece));
    if (pieces_renderer.HeldBytes() > kMostHeld) fuzz::Fail("the renderer holds more than a label");
  }
  const preview::RenderSummary pieces_summary = pieces_renderer.Finish();
  if (pieces.hash != whole.hash || pieces_summary.labels != whole_summary.labels ||
      pieces_summary.copies != whole_summary.copies ||
      pieces_summary.warnings != whole_summary.warnings)
    fuzz::Fail("a job fed in pieces is drawn otherwise than fed whole");
  return 0;
}
