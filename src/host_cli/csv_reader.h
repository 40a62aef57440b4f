#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pirell::cli {

// Reads a table from CSV text one record at a time, so that a reader holds one record and not the
// whole parsed table: RFC 4180 quoting ("a ""b"" c"), CR LF or LF line ends, a UTF-8 byte order
// mark ignored, blank lines skipped. The first record is the header. The separator is a comma, or
// a semicolon when the header line has semicolons and no commas (as spreadsheets write CSV in
// locales with a decimal comma).
class CsvReader {
 public:
  // `text` must outlive the reader.
  explicit CsvReader(std::string_view text);

  // Puts the next record's fields into `fields`; false when the text has no more. Raises
  // std::runtime_error with the line number for a quoted field that the text leaves open, and with
  // the row number for a row whose length differs from the header's. A faulty row is reported once
  // the rest of the text has been read, so that an open quote after it is reported instead.
  bool Next(std::vector<std::string>& fields);

 private:
  // The next record, blank lines skipped; false at the end of the text.
  bool ReadRecord(std::vector<std::string>& fields);

  std::string_view text_;
  std::size_t pos_ = 0;
  char separator_ = ',';
  int line_ = 1;
  std::size_t records_ = 0;
  std::size_t header_size_ = 0;
};

}  // namespace pirell::cli
