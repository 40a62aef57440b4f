#include "host_cli/progress_line.h"

#include <cctype>
#include <cstdint>

namespace pirell::cli {
namespace {

constexpr std::chrono::seconds kShowAfter{1};

// The first whole number in a text (the labels sent, in the driver's report), or 0.
std::int64_t FirstNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && !std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  std::int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, bool terminal, Clock clock)
    : out_(out), terminal_(terminal), clock_(std::move(clock)), start_(clock_()) {}

void ProgressLine::Report(const std::string& description) {
  if (!terminal_) return;
  const auto elapsed = clock_() - start_;
  if (elapsed < kShowAfter) return;
  const double seconds = std::chrono::duration<double>(elapsed).count();
  const double rate = static_cast<double>(FirstNumber(description)) / seconds;
  // The trailing blanks wipe what a longer previous line left.
  std::fprintf(out_, "\r%s, %.0f labels/s    ", description.c_str(), rate);
  std::fflush(out_);
  drawn_ = true;
}

void ProgressLine::Finish() {
  if (!drawn_) return;
  std::fprintf(out_, "\n");
  std::fflush(out_);
  drawn_ = false;
}

}  // namespace pirell::cli
