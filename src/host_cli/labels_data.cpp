#include "host_cli/labels_data.h"

#include "host_cli/commands.h"

namespace pirell::cli {

CommonValues ParseCommonValues(const std::vector<std::string>& assignments) {
  CommonValues common;
  for (const std::string& assignment : assignments) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("--set takes NAME=VALUE");
    common.emplace_back(assignment.substr(0, eq), assignment.substr(eq + 1));
  }
  return common;
}

Variant LabelsData(const CsvTable& csv, const CommonValues& common) {
  VariantArray common_values = VariantArray::Table(2, static_cast<std::int32_t>(common.size()));
  for (std::size_t j = 0; j < common.size(); ++j) {
    common_values.At({0, static_cast<std::int32_t>(j)}) = Variant(common[j].first);
    common_values.At({1, static_cast<std::int32_t>(j)}) = Variant(common[j].second);
  }
  const auto k = static_cast<std::int32_t>(csv.header.size());
  const auto l = static_cast<std::int32_t>(csv.rows.size());
  VariantArray names = VariantArray::Vector(csv.header.size());
  for (std::int32_t c = 0; c < k; ++c)
    names.At({c}) = Variant(csv.header[static_cast<std::size_t>(c)]);
  VariantArray rows = VariantArray::Table(k, l);
  for (std::int32_t r = 0; r < l; ++r)
    for (std::int32_t c = 0; c < k; ++c) {
      const std::string& cell = csv.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
      if (!cell.empty()) rows.At({c, r}) = Variant(cell);
    }
  return Variant(VariantArray::Vector(
      {Variant(std::move(common_values)), Variant(std::move(names)), Variant(std::move(rows))}));
}

}  // namespace pirell::cli
