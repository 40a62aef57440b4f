#pragma once

#include <vector>

#include "device/base_device.h"

namespace pirell {

// Keeps the device's pending settings snapshot across a temporary one. The settings window takes
// a snapshot to try values out (device test, printer initialisation, settings list) and restores
// or drops it afterwards; without this guard that would also drop a snapshot still pending from
// before (the one that Cancel of the window restores).
class TPendingSnapshotGuard {
 public:
  explicit TPendingSnapshotGuard(TBaseDevice& device)
      : device_(device), pending_(device.BufSettings()) {}
  TPendingSnapshotGuard(const TPendingSnapshotGuard&) = delete;
  TPendingSnapshotGuard& operator=(const TPendingSnapshotGuard&) = delete;

  // Makes the snapshot from before the guard pending again (when there was one); the table keeps
  // its current values.
  void Reinstate();

 private:
  TBaseDevice& device_;
  std::vector<TShortSettingStruct> pending_;
};

}  // namespace pirell
