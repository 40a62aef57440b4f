#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pirell {

// The bytes of a text value, held by every variant that holds the text: copying a variant copies
// no characters, so a copy of a host's table costs its cells and not its texts. A text never
// changes once made; any bytes are kept as they are (zeros, control characters, invalid UTF-8).
// One allocation holds the count of holders, the length and the bytes.
class SharedText {
 public:
  // A new text of one holder with a copy of `bytes`. Raises std::bad_alloc.
  static SharedText* Make(std::string_view bytes);

  // Adds a holder and returns this text.
  SharedText* Share() noexcept;
  // Ends one holder's share; the last one frees the text.
  void Release() noexcept;

  std::string_view View() const noexcept;

  SharedText(const SharedText&) = delete;
  SharedText& operator=(const SharedText&) = delete;

 private:
  explicit SharedText(std::size_t size) : size_(size) {}
  ~SharedText() = default;

  // Holders may be on different threads, as copies of a text were.
  std::atomic<std::uint32_t> holders_{1};
  std::size_t size_;
};

}  // namespace pirell
