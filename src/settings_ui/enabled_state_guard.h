#pragma once

#include "device/base_device.h"

namespace pirell {

// A device test or a printer initialisation from the settings window switches the device on with
// the values on screen and off again afterwards. When the host had the device switched on before
// (the window was opened between two print jobs), it must find it switched on again, with the
// restored settings: otherwise the next print would fail as if the host had never enabled it.
class TEnabledStateGuard {
 public:
  explicit TEnabledStateGuard(TBaseDevice& device)
      : device_(device), was_enabled_(device.Enabled()) {}
  TEnabledStateGuard(const TEnabledStateGuard&) = delete;
  TEnabledStateGuard& operator=(const TEnabledStateGuard&) = delete;

  // Call after the settings are back. A failure leaves the device switched off, the state the
  // host would find after a failed enable; it raises nothing.
  void Restore() noexcept;

 private:
  TBaseDevice& device_;
  bool was_enabled_;
};

}  // namespace pirell
