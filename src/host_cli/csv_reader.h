#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pirell::cli {

// A table read from CSV text: RFC 4180 quoting ("a ""b"" c"), CR LF or LF line ends, a UTF-8
// byte order mark ignored. The separator is a comma, or a semicolon when the header line has
// semicolons and no commas (as spreadsheets write CSV in locales with a decimal comma).
struct CsvTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};

// Raises std::runtime_error with the line number for an unterminated quote or a row whose
// length differs from the header's.
CsvTable ParseCsv(std::string_view text);

}  // namespace pirell::cli
