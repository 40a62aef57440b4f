#include "settings_ui/enabled_state_guard.h"

#include <string>

namespace pirell {

void TEnabledStateGuard::Restore() noexcept {
  if (!was_enabled_ || device_.Enabled()) return;
  try {
    std::string description;
    device_.Enable(description);
  } catch (...) {
    // The device stays switched off; the host's next call reports why.
  }
}

}  // namespace pirell
