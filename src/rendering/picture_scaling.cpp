#include "rendering/picture_scaling.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pirell {
namespace {

constexpr double kBlackBelow = 128.0;

// The picture pixels that one target pixel covers along one axis, with the covered length.
struct Span {
  int first = 0;
  std::vector<double> weights;
};

// Target pixel t of `target_size` covers [t, t+1) * source_size / target_size of the source.
Span SpanOf(int t, int target_size, int source_size) {
  const double scale = static_cast<double>(source_size) / target_size;
  const double from = t * scale;
  const double to = (t + 1) * scale;
  Span span;
  span.first = std::min(static_cast<int>(std::floor(from)), source_size - 1);
  for (int s = span.first; s < source_size && s < to; ++s) {
    const double covered = std::min<double>(s + 1, to) - std::max<double>(s, from);
    if (covered > 0) span.weights.push_back(covered);
  }
  if (span.weights.empty()) span.weights.push_back(1.0);
  return span;
}

std::vector<Span> SpansOf(int first, int last, int target_size, int source_size) {
  std::vector<Span> spans;
  spans.reserve(static_cast<std::size_t>(std::max(0, last - first)));
  for (int t = first; t < last; ++t) spans.push_back(SpanOf(t, target_size, source_size));
  return spans;
}

}  // namespace

double LuminanceOverWhite(std::uint32_t argb) {
  const double alpha = ((argb >> 24) & 0xFF) / 255.0;
  const auto over_white = [alpha](std::uint32_t channel) {
    return channel * alpha + 255.0 * (1.0 - alpha);
  };
  return 0.299 * over_white((argb >> 16) & 0xFF) + 0.587 * over_white((argb >> 8) & 0xFF) +
         0.114 * over_white(argb & 0xFF);
}

void ScalePictureInto(const Picture& picture, const PixelRect& target, MonoBitmap& canvas) {
  if (picture.Empty() || target.width <= 0 || target.height <= 0) return;
  // Only the target pixels that lie on the canvas are computed.
  const int x0 = std::max(0, -target.left);
  const int x1 = std::min(target.width, canvas.Width() - target.left);
  const int y0 = std::max(0, -target.top);
  const int y1 = std::min(target.height, canvas.Height() - target.top);
  if (x0 >= x1 || y0 >= y1) return;

  const int pw = picture.Width();
  const int ph = picture.Height();
  std::vector<float> luminance(static_cast<std::size_t>(pw) * ph);
  for (std::size_t i = 0; i < luminance.size(); ++i)
    luminance[i] = static_cast<float>(LuminanceOverWhite(picture.Pixels()[i]));

  const std::vector<Span> columns = SpansOf(x0, x1, target.width, pw);
  for (int ty = y0; ty < y1; ++ty) {
    const Span rows = SpanOf(ty, target.height, ph);
    for (int tx = x0; tx < x1; ++tx) {
      const Span& cols = columns[static_cast<std::size_t>(tx - x0)];
      double sum = 0;
      double area = 0;
      for (std::size_t j = 0; j < rows.weights.size(); ++j) {
        const float* line = luminance.data() + static_cast<std::size_t>(rows.first + j) * pw;
        for (std::size_t i = 0; i < cols.weights.size(); ++i) {
          const double weight = rows.weights[j] * cols.weights[i];
          sum += line[cols.first + i] * weight;
          area += weight;
        }
      }
      if (sum < kBlackBelow * area) canvas.SetBlack(target.left + tx, target.top + ty);
    }
  }
}

}  // namespace pirell
