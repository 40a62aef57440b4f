#include "settings_ui/pending_snapshot.h"

#include <string>

namespace pirell {

void TPendingSnapshotGuard::Reinstate() {
  if (pending_.empty()) return;
  // The device snapshots the table's values: put the old values in, snapshot them by their IDs,
  // then give the table its current values back.
  std::vector<std::string> ids;
  std::vector<TShortSettingStruct> current;
  for (const TShortSettingStruct& entry : pending_) {
    ids.push_back(entry.ID);
    if (TSettingStruct* row = device_.FindSetting(entry.ID)) {
      current.push_back({entry.ID, row->Value});
      row->Value = entry.Value;
    }
  }
  device_.StoreSettings(ids);
  for (const TShortSettingStruct& entry : current) {
    if (TSettingStruct* row = device_.FindSetting(entry.ID)) row->Value = entry.Value;
  }
}

}  // namespace pirell
