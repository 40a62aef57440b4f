#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// The value of a hexadecimal digit of either case, -1 for any other character: of graphic data
// and of the escapes of "^FH".
int HexValue(char c);

// Decodes the ASCII data of a graphic field ("^GFA"), fed in pieces of any size, into rows and
// draws them onto the label: plain hexadecimal digits, two a byte, a 1 bit a printed dot, and the
// programming guide's compression (repeat counts G to Y and g to z before a digit, "," for zeros
// and "!" for ones to the end of the row, ":" for a copy of the row before). It holds two rows.
class ZplGraphicDecoder {
 public:
  // What went wrong with the data, once each.
  struct Problems {
    bool bad_character = false;   // neither a digit nor a compression character
    bool too_much = false;        // more rows than the field's size
    bool other_encoding = false;  // ":Z64:" or ":B64:" data, which is not drawn
  };

  // A field of `rows` rows of `bytes_per_row` bytes with its top-left corner at (x, y) of the
  // label; the label must outlive the decoder's use.
  void Start(MonoBitmap& label, std::int64_t x, std::int64_t y, std::int64_t bytes_per_row,
             std::int64_t rows);
  void Feed(std::string_view data);
  // The end of the data; answers the rows it lacked (the printer leaves them white).
  std::int64_t Finish();

  const Problems& problems() const { return problems_; }
  std::size_t HeldBytes() const { return row_.capacity() + previous_.capacity(); }

 private:
  void PutNibbles(std::uint8_t value, std::int64_t count);
  void EndRow();
  void FillRow(std::uint8_t nibble);

  MonoBitmap* label_ = nullptr;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
  std::int64_t bytes_per_row_ = 0;
  std::int64_t rows_ = 0;
  std::int64_t row_index_ = 0;
  std::int64_t nibble_ = 0;  // position in the row
  std::int64_t count_ = 0;   // a repeat count being read
  bool started_data_ = false;
  bool skipping_ = false;
  std::vector<std::uint8_t> row_;
  std::vector<std::uint8_t> previous_;
  Problems problems_;
};

}  // namespace pirell::preview
