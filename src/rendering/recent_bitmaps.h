#pragma once

#include <cstddef>
#include <list>
#include <utility>

#include "rendering/mono_bitmap.h"

namespace pirell {

// Bitmaps kept under their keys in a `Map` (std::map or std::unordered_map), each with the bytes
// it is counted as, and the order in which they were last used, so that the one used longest ago
// can make room. A bitmap stays where it is until it is dropped.
template <typename Key, template <typename...> class Map>
class TRecentBitmaps {
 public:
  // The bitmap kept under `key`, now the one used last; nothing when none is kept.
  const MonoBitmap* Find(const Key& key) {
    const auto found = kept_.find(key);
    if (found == kept_.end()) return nullptr;
    uses_.splice(uses_.begin(), uses_, found->second.use);
    return &found->second.bitmap;
  }

  // Keeps `bitmap` under `key`, which holds none yet, as the one used last.
  const MonoBitmap& Keep(const Key& key, MonoBitmap bitmap, std::size_t bytes) {
    uses_.push_front(key);
    Entry& entry = kept_[key];
    entry = {std::move(bitmap), bytes, uses_.begin()};
    bytes_ += bytes;
    return entry.bitmap;
  }

  bool Empty() const { return uses_.empty(); }
  // Drops the bitmap used longest ago (there must be one) and gives the bytes it was counted as.
  std::size_t DropLeastRecentlyUsed() {
    const auto oldest = kept_.find(uses_.back());
    const std::size_t bytes = oldest->second.bytes;
    kept_.erase(oldest);
    uses_.pop_back();
    bytes_ -= bytes;
    return bytes;
  }

  std::size_t Bytes() const { return bytes_; }
  void Clear() {
    kept_.clear();
    uses_.clear();
    bytes_ = 0;
  }

 private:
  struct Entry {
    MonoBitmap bitmap;
    std::size_t bytes = 0;
    typename std::list<Key>::iterator use;  // its place in `uses_`
  };
  Map<Key, Entry> kept_;
  std::list<Key> uses_;  // the keys, the one used last first
  std::size_t bytes_ = 0;
};

}  // namespace pirell
