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

CsvReader::CsvReader(std::string_view text) : text_(text) {
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
  separator_ = DetectSeparator(text_);
}

bool CsvReader::Next(std::vector<std::string>& fields) {
  if (!ReadRecord(fields)) return false;
  if (++records_ == 1) {
    header_size_ = fields.size();
    return true;
  }
  if (fields.size() == header_size_) return true;
  const std::string fault = "row " + std::to_string(records_) + " has " +
                            std::to_string(fields.size()) + " fields, the header has " +
                            std::to_string(header_size_);
  std::vector<std::string> rest;
  while (ReadRecord(rest)) {
  }
  throw std::runtime_error(fault);
}

bool CsvReader::ReadRecord(std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  bool in_quotes = false, field_started = false;
  int quote_line = 0;
  while (pos_ < text_.size()) {
    const char c = text_[pos_++];
    if (in_quotes) {
      if (c == '"') {
        if (pos_ < text_.size() && text_[pos_] == '"') {
          field.push_back('"');
          ++pos_;
        } else {
          in_quotes = false;
        }
      } else {
        if (c == '\n') ++line_;
        field.push_back(c);
      }
    } else if (c == '"' && !field_started) {
      in_quotes = true;
      field_started = true;
      quote_line = line_;
    } else if (c == separator_) {
      fields.push_back(std::move(field));
      field.clear();
      field_started = false;
    } else if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') {
      continue;
    } else if (c == '\n') {
      ++line_;
      // A blank line is no record; a line holding only "" is one with an empty field.
      if (fields.empty() && !field_started) continue;
      fields.push_back(std::move(field));
      return true;
    } else {
      field.push_back(c);
      field_started = true;
    }
  }
  if (in_quotes)
    throw std::runtime_error("unterminated quoted field starting on line " +
                             std::to_string(quote_line));
  if (fields.empty() && !field_started) return false;
  fields.push_back(std::move(field));
  return true;
}

}  // namespace pirell::cli
