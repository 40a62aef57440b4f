#pragma once

#include <string>
#include <utility>
#include <vector>

#include "driver_object/variant.h"
#include "host_cli/csv_reader.h"

namespace pirell::cli {

using CommonValues = std::vector<std::pair<std::string, std::string>>;

// The (name, value) pairs of --set NAME=VALUE options; raises UsageError for one without a name
// or an equals sign.
CommonValues ParseCommonValues(const std::vector<std::string>& assignments);

// InData's labels data of "PrintLabels": the common values (2 x N), the CSV header as the field
// names (K) and its rows (K x L). An empty cell is no value (a label with an empty CopiesNumber
// gets one copy).
Variant LabelsData(const CsvTable& csv, const CommonValues& common);

}  // namespace pirell::cli
