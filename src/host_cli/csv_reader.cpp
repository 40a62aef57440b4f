#include "host_cli/csv_reader.h"

#include <stdexcept>

namespace pirell::cli {
namespace {

char DetectSeparator(std::string_view text) {
  const std::string_view first_line = text.substr(0, text.find('\n'));
  const bool commas = first_line.find(',') != std::string_view::npos;
  const bool semicolons = first_line.find(';') != std::string_view::npos;
  return semicolons && !commas ? ';' : ',';
}

}  // namespace

CsvTable ParseCsv(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const char separator = DetectSeparator(text);

  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  bool in_quotes = false, field_started = false;
  int line = 1, quote_line = 0;

  auto end_field = [&] {
    record.push_back(std::move(field));
    field.clear();
    field_started = false;
  };
  auto end_record = [&] {
    // A blank line is no record; a line holding only "" is one with an empty field.
    const bool blank = record.empty() && !field_started;
    end_field();
    if (!blank) records.push_back(std::move(record));
    record.clear();
  };

  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_quotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field.push_back('"');
          ++i;
        } else {
          in_quotes = false;
        }
      } else {
        if (c == '\n') ++line;
        field.push_back(c);
      }
    } else if (c == '"' && !field_started) {
      in_quotes = true;
      field_started = true;
      quote_line = line;
    } else if (c == separator) {
      end_field();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    } else if (c == '\n') {
      end_record();
      ++line;
    } else {
      field.push_back(c);
      field_started = true;
    }
  }
  if (in_quotes)
    throw std::runtime_error("unterminated quoted field starting on line " +
                             std::to_string(quote_line));
  if (field_started || !record.empty()) end_record();

  CsvTable table;
  if (records.empty()) return table;
  table.header = std::move(records.front());
  for (std::size_t r = 1; r < records.size(); ++r) {
    if (records[r].size() != table.header.size())
      throw std::runtime_error("row " + std::to_string(r + 1) + " has " +
                               std::to_string(records[r].size()) + " fields, the header has " +
                               std::to_string(table.header.size()));
    table.rows.push_back(std::move(records[r]));
  }
  return table;
}

}  // namespace pirell::cli
