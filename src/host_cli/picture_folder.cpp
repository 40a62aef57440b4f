#include "host_cli/picture_folder.h"

#include <cstdio>
#include <filesystem>

#include "host_cli/png_file.h"

namespace pirell::cli {
namespace {

constexpr char kSheetFile[] = "sheet.png";

// label-NNNN.png, as this class names its pictures.
bool IsLabelFileName(const std::string& name) {
  constexpr std::string_view kPrefix = "label-";
  constexpr std::string_view kSuffix = ".png";
  if (name.size() < kPrefix.size() + 4 + kSuffix.size()) return false;
  if (name.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  if (name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) return false;
  for (std::size_t i = kPrefix.size(); i < name.size() - kSuffix.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return true;
}

}  // namespace

PictureFolder::PictureFolder(const std::string& folder, bool sheet, int dpi)
    : sheet_(sheet), dpi_(dpi) {
  namespace fs = std::filesystem;
  const fs::path path = fs::absolute(fs::path(folder)).lexically_normal();
  fs::create_directories(path);
  folder_ = path.string();
  for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && (IsLabelFileName(name) || name == kSheetFile))
      fs::remove(entry.path());
  }
}

std::string PictureFolder::LabelFileName(std::uint64_t number) {
  char name[40];
  std::snprintf(name, sizeof name, "label-%04llu.png", static_cast<unsigned long long>(number));
  return name;
}

void PictureFolder::OnLabel(const MonoBitmap& picture, std::uint64_t) {
  ++written_;
  WritePngFile(folder_ + "/" + LabelFileName(written_), picture, dpi_);
  if (sheet_) contact_sheet_.Add(picture);
}

void PictureFolder::OnWarning(std::uint64_t offset, const std::string& text) {
  if (++warnings_ > kWarningsShown) return;
  std::fprintf(stderr, "warning: byte %llu: %s\n", static_cast<unsigned long long>(offset),
               text.c_str());
}

void PictureFolder::Finish(const preview::RenderSummary& summary) {
  if (warnings_ > kWarningsShown) {
    std::fprintf(stderr, "... and %llu more warnings\n",
                 static_cast<unsigned long long>(warnings_ - kWarningsShown));
  }
  if (written_ == 0) {
    std::printf("No label was printed: no picture in %s.\n", folder_.c_str());
  } else {
    std::string files = LabelFileName(1);
    if (written_ > 1) files += " to " + LabelFileName(written_);
    if (sheet_) {
      WritePngFile(folder_ + "/" + kSheetFile, contact_sheet_.Compose(), dpi_);
      files += ", ";
      files += kSheetFile;
    }
    std::printf("Pictures in %s: %s\n", folder_.c_str(), files.c_str());
  }
  std::printf("%llu label%s, %llu cop%s, %llu warning%s\n",
              static_cast<unsigned long long>(summary.labels), summary.labels == 1 ? "" : "s",
              static_cast<unsigned long long>(summary.copies), summary.copies == 1 ? "y" : "ies",
              static_cast<unsigned long long>(summary.warnings), summary.warnings == 1 ? "" : "s");
}

}  // namespace pirell::cli
