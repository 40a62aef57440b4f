#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "platform/regular_file.h"
#include "rendering/mono_bitmap.h"
#include "rendering/picture.h"
#include "rendering/recent_bitmaps.h"
#include "rendering/rotation.h"

namespace pirell {

class TBaseImage;

// Most bytes the pictures drawn during one print request may keep: the pictures drawn into field
// boxes (1 bit per dot, shared by all labels that show them in a box of that size) and the file
// references read. When something new does not fit, the pictures used longest ago are dropped
// (and drawn again when a later label shows them); only what does not fit beside the file
// references alone fails the request with a LimitError.
inline constexpr std::size_t kMaxRequestPictureBytes = std::size_t{64} * 1024 * 1024;

// Most bytes the barcode symbols drawn during one request may keep beside the pictures. A
// symbol is kept so that the labels that repeat its value do not encode it again, and so that
// printing a label reuses what checking it drew; most marking codes are on one label only, so a
// few megabytes (some 1,800 symbols of 18 mm) are enough, and the symbols used longest ago make
// room for new ones.
inline constexpr std::size_t kMaxRequestSymbolBytes = std::size_t{4} * 1024 * 1024;

// A line for the debug log: why a file named by an Image field prints as an empty picture.
using TPictureNotes = std::function<void(const std::string& caption, const std::string& text)>;

// The pictures of one print request beyond the template's own: the files that Image fields name
// and every picture drawn into a field box. A picture is drawn into a box once and kept 1 bit per
// dot; later labels showing it in a box of the same size reuse that bitmap. A file is known by
// the file it opens, not by its spelling, so one file named in many ways is read and kept once.
// Decoded pictures of files are dropped as soon as they are drawn.
class TRequestPictures {
 public:
  // Forgets everything (the next request starts afresh); the budget and the notes stay.
  void Clear();

  // `picture` drawn by `renderer` into its box; the first time for this picture and box size the
  // renderer draws it, later the kept bitmap is handed back. The bitmap stays valid until the
  // next call. Raises a LimitError when the new bitmap alone would go over the budget.
  const MonoBitmap& Draw(const Picture& picture, TBaseImage& renderer);
  // The picture file that `reference` names (after its last '\', ':' or the platform's path
  // delimiter), drawn the same way; a bare name finds a file drawn earlier under that file name.
  // A file that is missing, no regular file, larger than kMaxPictureFileBytes or no picture
  // gives the renderer's white bitmap, and its reason goes to the notes once per request.
  const MonoBitmap& DrawFile(const std::string& reference, TBaseImage& renderer);
  // A barcode symbol that `draw` makes, the first time for `key` (which names everything the
  // bitmap depends on: the symbology, its options, the value, the dots per module and the turn),
  // and kept within kMaxRequestSymbolBytes, the symbols used longest ago making room. The bitmap
  // stays valid until the next call. Raises what `draw` raises.
  const MonoBitmap& DrawSymbol(const std::string& key, const std::function<MonoBitmap()>& draw);
  std::size_t SymbolBytes() const { return symbols_.Bytes(); }

  // What is kept, as counted against the budget.
  std::size_t Bytes() const { return bytes_; }
  std::size_t Budget() const { return budget_; }
  void SetBudget(std::size_t bytes) { budget_ = bytes; }
  void SetNotes(TPictureNotes notes) { notes_ = std::move(notes); }
  // Pictures decoded from files during this request (each file once, per box size drawn).
  int FilesDecoded() const { return files_decoded_; }

 private:
  struct File {
    platform::FileIdentity identity;
    std::string path;  // the reference that first named it
    bool usable = true;
  };
  // A drawn picture: its source (a template picture or a File), the box in dots, the turn and
  // the stretch.
  using Key = std::tuple<const void*, int, int, TRotation, bool>;

  static Key KeyOf(const void* source, const TBaseImage& renderer);
  const MonoBitmap& Keep(const Key& key, const MonoBitmap& drawn);
  void Count(std::size_t bytes);
  File* Resolve(const std::string& reference);
  File* FindByFileName(const std::string& name) const;
  Picture Load(File& file);
  void Note(const std::string& text) const;

  // The pictures drawn, each counted against the budget.
  TRecentBitmaps<Key, std::map> drawn_;
  // Every file opened, by the (volume, index) of its identity.
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::unique_ptr<File>> by_identity_;
  // Every reference seen, with the file it opened (none for one that did not).
  std::unordered_map<std::string, File*> by_reference_;
  // File names (upper case) of the references that opened, the first one of each name.
  std::unordered_map<std::string, File*> by_name_;
  std::size_t bytes_ = 0;
  std::size_t budget_ = kMaxRequestPictureBytes;
  TRecentBitmaps<std::string, std::unordered_map> symbols_;
  int files_decoded_ = 0;
  TPictureNotes notes_;
};

}  // namespace pirell
