#include "preview/contact_sheet.h"

#include <algorithm>

#include "preview/object_placement.h"

namespace pirell::preview {

void ContactSheet::Add(const MonoBitmap& label) {
  if (Count() < kMaxLabels) labels_.push_back(label);
}

MonoBitmap ContactSheet::Compose() const {
  if (labels_.empty()) return {};
  int width = kMargin;
  int height = 0;
  for (const MonoBitmap& label : labels_) {
    width += label.Width() + 2 + kMargin;
    height = std::max(height, label.Height());
  }
  MonoBitmap sheet(width, height + 2 + 2 * kMargin);
  int left = kMargin;
  for (const MonoBitmap& label : labels_) {
    // A one-dot frame just outside the label: its own white edge stays visible.
    FillOnLabel(sheet, {left, kMargin, left + label.Width() + 2, kMargin + label.Height() + 2},
                true);
    FillOnLabel(sheet,
                {left + 1, kMargin + 1, left + 1 + label.Width(), kMargin + 1 + label.Height()},
                false);
    for (int y = 0; y < label.Height(); ++y)
      for (int x = 0; x < label.Width(); ++x)
        if (label.IsBlack(x, y)) sheet.SetBlack(left + 1 + x, kMargin + 1 + y);
    left += label.Width() + 2 + kMargin;
  }
  return sheet;
}

}  // namespace pirell::preview
