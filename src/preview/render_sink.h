#pragma once

#include <cstdint>
#include <string>

#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// Receives what a job draws, in the order of the job.
class RenderSink {
 public:
  virtual ~RenderSink() = default;
  // A label the job printed, as it leaves the printer (one pixel per dot of the print head), and
  // how many copies of it were printed.
  virtual void OnLabel(const MonoBitmap& picture, std::uint64_t copies) = 0;
  // Something the printer would refuse, or draw otherwise than the job means: the byte offset of
  // the command in the job and what is wrong with it.
  virtual void OnWarning(std::uint64_t offset, const std::string& text) = 0;
};

// What a whole job came to.
struct RenderSummary {
  std::uint64_t labels = 0;  // pictures: one per label printed
  std::uint64_t copies = 0;  // labels coming out of the printer
  std::uint64_t warnings = 0;
};

}  // namespace pirell::preview
