#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pirell {

// One data value of the label being printed, offered to the fields bound to SourceName.
struct TDataValueItem {
  std::string SourceName;
  std::string Value;
};

// The name/value pairs of the current label. Add keeps names unique; names are compared exactly,
// letter case included, because data source names are.
class TValuesList {
 public:
  // Replaces the value of the item with exactly this name, or appends a new item.
  void Add(std::string_view source_name, std::string_view value);

  // The value of the item with exactly this name, or the empty text.
  std::string Values(std::string_view source_name) const;
  // Replaces the value of an existing item; does nothing when there is none.
  void SetValues(std::string_view source_name, std::string_view value);

  int Count() const { return static_cast<int>(items_.size()); }
  TDataValueItem& Items(int index) { return items_.at(static_cast<std::size_t>(index)); }
  const TDataValueItem& Items(int index) const {
    return items_.at(static_cast<std::size_t>(index));
  }
  void Clear() { items_.clear(); }

  std::vector<TDataValueItem>::const_iterator begin() const { return items_.begin(); }
  std::vector<TDataValueItem>::const_iterator end() const { return items_.end(); }

 private:
  TDataValueItem* Find(std::string_view source_name);
  const TDataValueItem* Find(std::string_view source_name) const;

  std::vector<TDataValueItem> items_;
};

}  // namespace pirell
