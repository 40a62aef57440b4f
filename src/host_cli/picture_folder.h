#pragma once

#include <cstdint>
#include <string>

#include "preview/contact_sheet.h"
#include "preview/render_sink.h"

namespace pirell::cli {

// Writes the pictures of a rendered job into a folder: label-0001.png, label-0002.png ... one per
// printed label and, when asked, sheet.png with the first labels side by side. Warnings go to
// standard error with their byte offsets (the first hundred; the rest are counted).
class PictureFolder : public preview::RenderSink {
 public:
  static constexpr std::uint64_t kWarningsShown = 100;

  // Creates the folder and removes the pictures an earlier run left there (label-*.png and
  // sheet.png only). The pictures record `dpi`, the resolution they are drawn at.
  PictureFolder(const std::string& folder, bool sheet, int dpi = 203);

  void OnLabel(const MonoBitmap& picture, std::uint64_t copies) override;
  void OnWarning(std::uint64_t offset, const std::string& text) override;

  // Writes the sheet and prints where the pictures are and the one-line summary.
  void Finish(const preview::RenderSummary& summary);

  const std::string& Folder() const { return folder_; }
  static std::string LabelFileName(std::uint64_t number);

 private:
  std::string folder_;
  bool sheet_;
  int dpi_;
  preview::ContactSheet contact_sheet_;
  std::uint64_t written_ = 0;
  std::uint64_t warnings_ = 0;
};

}  // namespace pirell::cli
