#include "host_cli/labels_data.h"

#include <algorithm>
#include <stdexcept>

#include "common/errors.h"
#include "host_cli/commands.h"
#include "host_cli/csv_reader.h"
#include "platform/files.h"

namespace pirell::cli {
namespace {

Variant CommonValuesTable(const CommonValues& common) {
  VariantArray table = VariantArray::Table(2, static_cast<std::int32_t>(common.size()));
  for (std::size_t j = 0; j < common.size(); ++j) {
    table.At({0, static_cast<std::int32_t>(j)}) = Variant(common[j].first);
    table.At({1, static_cast<std::int32_t>(j)}) = Variant(common[j].second);
  }
  return Variant(std::move(table));
}

// Room for a row on every line of the text (a quoted field over several lines only leaves some
// unused), up to the most an array holds.
std::size_t CellsToReserve(std::string_view csv, std::size_t columns) {
  const auto lines = static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')) + 1;
  return lines > kMaxArrayElements / columns ? kMaxArrayElements : lines * columns;
}

}  // namespace

CommonValues ParseCommonValues(const std::vector<std::string>& assignments) {
  CommonValues common;
  for (const std::string& assignment : assignments) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("--set takes NAME=VALUE");
    common.emplace_back(assignment.substr(0, eq), assignment.substr(eq + 1));
  }
  return common;
}

Variant LabelsData(std::string_view csv, const std::string& csv_name,
                   const std::vector<std::string>& assignments) {
  CsvReader reader(csv);
  std::vector<std::string> header;
  if (!reader.Next(header)) throw std::runtime_error(csv_name + " has no header line");
  const std::size_t columns = header.size();
  std::vector<Variant> cells;
  cells.reserve(CellsToReserve(csv, columns));
  // Past the bound the rest is still read, without its cells: its own faults come first.
  bool too_many = false;
  for (std::vector<std::string> record; reader.Next(record);) {
    too_many = too_many || cells.size() + columns > kMaxArrayElements;
    if (too_many) continue;
    for (const std::string& cell : record)
      cells.push_back(cell.empty() ? Variant() : Variant(cell));
  }

  VariantArray parts = VariantArray::Vector(3);
  parts.Items()[0] = CommonValuesTable(ParseCommonValues(assignments));
  VariantArray names = VariantArray::Vector(columns);
  for (std::size_t c = 0; c < columns; ++c) names.Items()[c] = Variant(header[c]);
  parts.Items()[1] = Variant(std::move(names));
  if (too_many) throw ArrayTooLarge();
  const auto rows = static_cast<std::int32_t>(cells.size() / columns);
  parts.Items()[2] = Variant(VariantArray(
      {ArrayBound{0, static_cast<std::int32_t>(columns)}, ArrayBound{0, rows}}, std::move(cells)));
  return Variant(std::move(parts));
}

Variant LabelsDataFromFile(const std::string& path, const std::vector<std::string>& assignments) {
  const auto text = platform::ReadWholeFile(path);
  if (!text) throw std::runtime_error("cannot read " + path);
  return LabelsData(*text, path, assignments);
}

std::int32_t LabelRows(const Variant& labels_data) {
  return labels_data.Array().At({2}).Array().Bound(1).count;
}

Variant PrintLabelsInData(std::int32_t template_number, Variant labels_data) {
  VariantArray in_data = VariantArray::Vector(2);
  in_data.Items()[0] = Variant::Integer(template_number);
  in_data.Items()[1] = std::move(labels_data);
  return Variant(std::move(in_data));
}

}  // namespace pirell::cli
