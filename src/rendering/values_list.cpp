#include "rendering/values_list.h"

namespace pirell {

TDataValueItem* TValuesList::Find(std::string_view source_name) {
  for (TDataValueItem& item : items_)
    if (item.SourceName == source_name) return &item;
  return nullptr;
}

const TDataValueItem* TValuesList::Find(std::string_view source_name) const {
  for (const TDataValueItem& item : items_)
    if (item.SourceName == source_name) return &item;
  return nullptr;
}

void TValuesList::Add(std::string_view source_name, std::string_view value) {
  if (TDataValueItem* item = Find(source_name)) {
    item->Value.assign(value);
    return;
  }
  items_.push_back(TDataValueItem{std::string(source_name), std::string(value)});
}

std::string TValuesList::Values(std::string_view source_name) const {
  const TDataValueItem* item = Find(source_name);
  return item ? item->Value : std::string();
}

void TValuesList::SetValues(std::string_view source_name, std::string_view value) {
  if (TDataValueItem* item = Find(source_name)) item->Value.assign(value);
}

}  // namespace pirell
