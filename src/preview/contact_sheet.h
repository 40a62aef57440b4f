#pragma once

#include <vector>

#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// The first labels of a job side by side in one picture, each with a frame around it, so that a
// run of labels can be looked over at once.
class ContactSheet {
 public:
  static constexpr int kMaxLabels = 8;
  static constexpr int kMargin = 16;  // dots around and between the labels

  // Keeps a copy of the label while the sheet has room.
  void Add(const MonoBitmap& label);
  int Count() const { return static_cast<int>(labels_.size()); }
  // The sheet: labels left to right, tops aligned; empty when no label was added.
  MonoBitmap Compose() const;

 private:
  std::vector<MonoBitmap> labels_;
};

}  // namespace pirell::preview
