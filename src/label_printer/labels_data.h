#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "driver_object/variant.h"
#include "rendering/values_list.h"

namespace pirell {

// Most labels one "PrintLabels" request may print, copies counted: a bound for a host's runaway
// table or copy count. A job is written label by label, so its memory does not grow with it.
inline constexpr std::int64_t kMaxLabelsPerJob = 1000000;

// Labels data the driver refuses with a reason for the host (its message is Russian).
class LabelsDataError : public Error {
 public:
  explicit LabelsDataError(const std::string& message) : Error(message, "ELabelsDataError") {}
};

// The labels data of "PrintLabels" as the host passes it: an array of three parts addressed by
// absolute index, the common values (2 x N: source name and value), the field names (K) and the
// label rows (K x L). A column named "CopiesNumber" (in any letter case) gives the copies of
// each label instead of a field value. The data is read where it is (the dispatcher's one copy of
// the host's arguments): the object only holds the converted names and common values.
class TLabelsData {
 public:
  // Raises an Error when the data does not have that shape or a name or common value does not
  // convert to text, a LimitError for more than kMaxLabelsPerJob label rows. `labels_data` must
  // outlive the object.
  explicit TLabelsData(const Variant& labels_data);

  // Reads every label as printing will (each value converted to text, each copies count) and
  // returns the number of labels with copies. Raises a LabelsDataError for a copies count that
  // is not a whole number from 1 to 65535, a LimitError for more than kMaxLabelsPerJob labels, or
  // an Error for a value that does not convert.
  std::int64_t Validate() const;

  std::int32_t Count() const { return label_count_; }
  // Adds the common values and then label `label`'s own ones to `values`, which keeps one value
  // per name; returns the label's copies.
  std::uint16_t FillValues(std::int32_t label, TValuesList& values) const;

 private:
  std::uint16_t CopiesOf(std::int32_t label, const Variant& cell) const;

  const VariantArray* rows_ = nullptr;
  std::int32_t label_count_ = 0;
  std::vector<std::string> column_names_;
  std::vector<bool> copies_columns_;
  std::vector<std::pair<std::string, std::string>> common_values_;
};

}  // namespace pirell
