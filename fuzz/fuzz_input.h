#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pirell::fuzz {

// Reads typed values from the front of a fuzzer's input. Past the end every read gives zeros,
// so any input decodes to something.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : data_(reinterpret_cast<const char*>(data), size) {}

  bool Empty() const { return data_.empty(); }
  std::size_t Remaining() const { return data_.size(); }

  std::uint8_t Byte() {
    if (data_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(data_.front());
    data_.remove_prefix(1);
    return b;
  }

  template <class T>
  T Value() {
    unsigned char bytes[sizeof(T)] = {};
    const std::size_t n = data_.size() < sizeof(T) ? data_.size() : sizeof(T);
    std::memcpy(bytes, data_.data(), n);
    data_.remove_prefix(n);
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }

  // Up to `max_length` bytes, the length taken from the input.
  std::string Text(std::size_t max_length) {
    std::size_t length = Byte();
    if (length > max_length) length = max_length;
    if (length > data_.size()) length = data_.size();
    std::string text(data_.substr(0, length));
    data_.remove_prefix(length);
    return text;
  }

  // Everything that is left.
  std::string Rest() {
    std::string text(data_);
    data_ = {};
    return text;
  }

 private:
  std::string_view data_;
};

}  // namespace pirell::fuzz
