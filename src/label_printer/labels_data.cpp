#include "label_printer/labels_data.h"

#include <limits>

#include "common/module_strings.h"
#include "platform/locale.h"

namespace pirell {
namespace {

constexpr char kCopiesColumn[] = "CopiesNumber";

LimitError TooManyLabels() {
  return LimitError("В задании печати больше " + std::to_string(kMaxLabelsPerJob) +
                    " этикеток с учётом копий");
}

}  // namespace

TLabelsData::TLabelsData(const Variant& labels_data) {
  const VariantArray& parts = labels_data.Array();
  const VariantArray& common = parts.At({0}).Array();
  const VariantArray& names = parts.At({1}).Array();
  const VariantArray& rows = parts.At({2}).Array();
  if (common.Dims() != 2 || names.Dims() != 1 || rows.Dims() != 2)
    throw ArrayError(ModuleText(StringId::LabelsDataWrongShape));
  rows_ = &rows;
  label_count_ = rows.Upper(1) + 1;
  if (label_count_ > kMaxLabelsPerJob) throw TooManyLabels();
  for (std::int32_t k = 0; k <= names.Upper(0); ++k) {
    column_names_.push_back(names.At({k}).ToString());
    copies_columns_.push_back(platform::SameText(column_names_.back(), kCopiesColumn));
  }
  for (std::int32_t j = 0; j <= common.Upper(1); ++j)
    common_values_.emplace_back(common.At({0, j}).ToString(), common.At({1, j}).ToString());
}

std::uint16_t TLabelsData::CopiesOf(std::int32_t label, const Variant& cell) const {
  if (cell.IsEmptyOrNull()) return 1;
  const std::string number = std::to_string(static_cast<std::int64_t>(label) + 1);
  std::int32_t copies = 0;
  try {
    copies = cell.ToInt();
  } catch (const Error&) {
    std::string text;
    try {
      text = cell.ToString();
    } catch (const Error&) {
      // A value without a text form is named by its position alone.
    }
    throw LabelsDataError(ModuleText(StringId::CopiesNotWhole, {number, text}));
  }
  // A count the printer cannot take is refused rather than wrapped into another number.
  if (copies < 1 || copies > std::numeric_limits<std::uint16_t>::max()) {
    throw LabelsDataError(ModuleText(StringId::CopiesOutOfRange, {number, std::to_string(copies)}));
  }
  return static_cast<std::uint16_t>(copies);
}

std::int64_t TLabelsData::Validate() const {
  std::int64_t labels = 0;
  for (std::int32_t i = 0; i < label_count_; ++i) {
    std::uint16_t copies = 1;
    for (std::int32_t k = 0; k < static_cast<std::int32_t>(column_names_.size()); ++k) {
      const Variant& cell = rows_->At({k, i});
      if (copies_columns_[static_cast<std::size_t>(k)])
        copies = CopiesOf(i, cell);
      else if (!cell.Deref().IsText())  // a text is its own text: nothing to convert or check
        cell.ToString();
    }
    labels += copies;
    if (labels > kMaxLabelsPerJob) throw TooManyLabels();
  }
  return labels;
}

std::uint16_t TLabelsData::FillValues(std::int32_t label, TValuesList& values) const {
  for (const auto& [name, value] : common_values_) values.Add(name, value);
  std::uint16_t copies = 1;
  for (std::int32_t k = 0; k < static_cast<std::int32_t>(column_names_.size()); ++k) {
    const Variant& cell = rows_->At({k, label});
    const std::size_t column = static_cast<std::size_t>(k);
    if (copies_columns_[column])
      copies = CopiesOf(label, cell);
    else
      values.Add(column_names_[column], cell.ToString());
  }
  return copies;
}

}  // namespace pirell
