#include "rendering/request_pictures.h"

#include "common/errors.h"
#include "common/module_strings.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "rendering/bmp_codec.h"
#include "rendering/graphic_primitives.h"
#include "rendering/label_image.h"

namespace pirell {
namespace {

// What a kept entry costs beyond its text or bits: the nodes of the maps that hold it.
constexpr std::size_t kEntryOverhead = 64;

std::string Megabytes(std::uint64_t bytes) {
  return std::to_string(bytes / (1024 * 1024));
}

// Why a file read gave no picture file to read.
std::string RefusalNote(const std::string& reference, const platform::RegularFileRead& read) {
  switch (read.refusal) {
    case platform::RegularFileRefusal::kNotRegular:
      return ModuleText(StringId::PictureFileNotRegular, {reference});
    case platform::RegularFileRefusal::kTooLarge:
      return ModuleText(StringId::PictureFileTooLarge,
                        {reference, Megabytes(kMaxPictureFileBytes)});
    default:
      return ModuleText(StringId::PictureFileCannotOpen,
                        {reference, platform::SystemErrorMessage(read.error)});
  }
}

}  // namespace

void TRequestPictures::Clear() {
  symbols_.Clear();
  drawn_.Clear();
  by_identity_.clear();
  by_reference_.clear();
  by_name_.clear();
  bytes_ = 0;
  files_decoded_ = 0;
}

TRequestPictures::Key TRequestPictures::KeyOf(const void* source, const TBaseImage& renderer) {
  return {source, renderer.BoxWidthDots(), renderer.BoxHeightDots(), renderer.Rotation(),
          renderer.Stretch()};
}

void TRequestPictures::Count(std::size_t bytes) {
  // A long job of many different pictures goes on in bounded memory: the pictures used longest
  // ago make room, and a later label that shows one again draws it again.
  while (!drawn_.Empty() && (bytes > budget_ || bytes_ > budget_ - bytes))
    bytes_ -= drawn_.DropLeastRecentlyUsed();
  if (bytes > budget_ || bytes_ > budget_ - bytes) {
    throw LimitError(ModuleText(StringId::PicturesOverBudget, {Megabytes(budget_)}));
  }
  bytes_ += bytes;
}

const MonoBitmap& TRequestPictures::Keep(const Key& key, const MonoBitmap& drawn) {
  const std::size_t bytes = kEntryOverhead + static_cast<std::size_t>(drawn.Stride()) *
                                                 static_cast<std::size_t>(drawn.Height());
  Count(bytes);
  return drawn_.Keep(key, drawn, bytes);
}

const MonoBitmap& TRequestPictures::Draw(const Picture& picture, TBaseImage& renderer) {
  renderer.SetImageData(&picture);
  const Key key = KeyOf(&picture, renderer);
  if (const MonoBitmap* kept = drawn_.Find(key)) return *kept;
  return Keep(key, renderer.GetBitMap());
}

const MonoBitmap& TRequestPictures::DrawFile(const std::string& reference, TBaseImage& renderer) {
  renderer.SetImageData(nullptr);
  File* file = Resolve(reference);
  if (file == nullptr || !file->usable) return renderer.GetBitMap();
  const Key key = KeyOf(file, renderer);
  if (const MonoBitmap* kept = drawn_.Find(key)) return *kept;
  // The box is checked before the file is read.
  CheckFieldBox(renderer.Width(), renderer.Height());
  const Picture picture = Load(*file);
  if (!file->usable) return renderer.GetBitMap();
  renderer.SetImageData(&picture);
  const MonoBitmap& drawn = renderer.GetBitMap();
  // The decoded picture goes now; only the drawn bits stay.
  renderer.SetImageData(nullptr);
  return Keep(key, drawn);
}

const MonoBitmap& TRequestPictures::DrawSymbol(const std::string& key,
                                               const std::function<MonoBitmap()>& draw) {
  if (const MonoBitmap* kept = symbols_.Find(key)) return *kept;
  MonoBitmap bitmap = draw();
  const std::size_t bytes =
      kEntryOverhead + 2 * key.size() +
      static_cast<std::size_t>(bitmap.Stride()) * static_cast<std::size_t>(bitmap.Height());
  while (!symbols_.Empty() && symbols_.Bytes() + bytes > kMaxRequestSymbolBytes)
    symbols_.DropLeastRecentlyUsed();
  return symbols_.Keep(key, std::move(bitmap), bytes);
}

TRequestPictures::File* TRequestPictures::FindByFileName(const std::string& name) const {
  const auto found = by_name_.find(platform::UpperCase(name));
  return found == by_name_.end() ? nullptr : found->second;
}

TRequestPictures::File* TRequestPictures::Resolve(const std::string& reference) {
  if (const auto seen = by_reference_.find(reference); seen != by_reference_.end()) {
    return seen->second;
  }
  const std::size_t name_start = FileNameStart(reference);
  // A bare name loads no file; it can only mean a file read earlier under that name, which a
  // later reference may still add, so the answer is not kept.
  if (name_start == 0) return FindByFileName(reference);

  const platform::RegularFileRead opened =
      platform::ReadRegularFile(reference, kMaxPictureFileBytes, false);
  File* file = nullptr;
  if (opened.refusal == platform::RegularFileRefusal::kNone) {
    std::unique_ptr<File>& known = by_identity_[{opened.identity.volume, opened.identity.index}];
    if (!known) {
      Count(kEntryOverhead + reference.size());
      known = std::make_unique<File>(File{opened.identity, reference});
    }
    file = known.get();
    std::string name = platform::UpperCase(std::string_view(reference).substr(name_start));
    if (!by_name_.contains(name)) {
      Count(kEntryOverhead + name.size());
      by_name_.emplace(std::move(name), file);
    }
  } else {
    Note(RefusalNote(reference, opened));
  }
  Count(kEntryOverhead + reference.size());
  by_reference_.emplace(reference, file);
  return file;
}

Picture TRequestPictures::Load(File& file) {
  const platform::RegularFileRead read =
      platform::ReadRegularFile(file.path, kMaxPictureFileBytes, true);
  if (!read.bytes) {
    file.usable = false;
    Note(RefusalNote(file.path, read));
    return {};
  }
  try {
    Picture picture = DecodeBmp(*read.bytes);
    ++files_decoded_;
    return picture;
  } catch (const Error& e) {
    file.usable = false;
    Note(ModuleText(StringId::PictureFileNotBmp, {file.path, e.what()}));
    return {};
  }
}

void TRequestPictures::Note(const std::string& text) const {
  if (notes_) notes_(std::string(LoadModuleString(StringId::PictureFileSkipped)), text);
}

}  // namespace pirell
