#pragma once

// A job drawn by one of the preview's readers, fed in pieces, and what it drew.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "preview/job_renderer.h"

namespace pirell::testing {

struct RenderedJob : preview::RenderSink {
  void OnLabel(const MonoBitmap& picture, std::uint64_t count) override {
    pictures.push_back(picture);
    copies.push_back(count);
  }
  void OnWarning(std::uint64_t offset, const std::string& text) override {
    warnings.push_back(std::to_string(offset) + ": " + text);
  }
  std::vector<MonoBitmap> pictures;
  std::vector<std::uint64_t> copies;
  std::vector<std::string> warnings;  // "offset: text"
  preview::RenderSummary summary;
};

// The job fed to a `Reader` in pieces of `piece` bytes, the whole job at once by default.
template <typename Reader>
RenderedJob RenderJob(std::string_view job, std::size_t piece, int dpi) {
  RenderedJob rendered;
  Reader reader(rendered, {dpi, 0});
  for (std::size_t at = 0; at < job.size(); at += piece) reader.Feed(job.substr(at, piece));
  rendered.summary = reader.Finish();
  return rendered;
}

// The only picture of a job that should print one label.
inline MonoBitmap OnlyPicture(const RenderedJob& rendered) {
  EXPECT_EQ(rendered.pictures.size(), 1u);
  return rendered.pictures.empty() ? MonoBitmap() : rendered.pictures.front();
}

// The picture as rows of '#' (a dot) and '.'.
inline std::vector<std::string> Rows(const MonoBitmap& picture) {
  std::vector<std::string> rows;
  for (int y = 0; y < picture.Height(); ++y) {
    std::string row;
    for (int x = 0; x < picture.Width(); ++x) row += picture.IsBlack(x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

}  // namespace pirell::testing
