#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver_object/variant.h"

namespace pirell::cli {

using CommonValues = std::vector<std::pair<std::string, std::string>>;

// The (name, value) pairs of --set NAME=VALUE options; raises UsageError for one without a name
// or an equals sign.
CommonValues ParseCommonValues(const std::vector<std::string>& assignments);

// InData's labels data of "PrintLabels" from CSV text and the --set assignments: the common
// values (2 x N), the CSV header as the field names (K) and its rows (K x L). An empty cell is no
// value (a label with an empty CopiesNumber gets one copy). Each row goes into the table as it is
// read: no parsed rows are kept beside it. Raises as the CsvReader does, then a
// std::runtime_error naming `csv_name` for text without a header line, an ArrayError for more
// cells than an array holds (found without keeping them), and as ParseCommonValues does.
Variant LabelsData(std::string_view csv, const std::string& csv_name,
                   const std::vector<std::string>& assignments);
// The same from the file `path`, whose text is let go before it returns.
Variant LabelsDataFromFile(const std::string& path, const std::vector<std::string>& assignments);

// The number of label rows (L) of labels data that LabelsData made.
std::int32_t LabelRows(const Variant& labels_data);

// InData of "PrintLabels": the template number and the labels data, taken without a copy.
Variant PrintLabelsInData(std::int32_t template_number, Variant labels_data);

}  // namespace pirell::cli
