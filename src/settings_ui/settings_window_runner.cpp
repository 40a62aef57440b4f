#include "settings_ui/settings_window_runner.h"

#include <utility>

namespace pirell {
namespace {

// The innermost override in force; the settings window runs on the host's one thread.
ScopedSettingsWindowRunner* g_current_override = nullptr;
TSettingsWindowRunner* g_current_runner = nullptr;

}  // namespace

bool ShowSettingsWindow(TBaseDevice& device, const TPageClasses& page_classes) {
  if (g_current_runner) return (*g_current_runner)(device, page_classes);
  return SystemShowSettingsWindow(device, page_classes);
}

ScopedSettingsWindowRunner::ScopedSettingsWindowRunner(TSettingsWindowRunner runner)
    : runner_(std::move(runner)), previous_(g_current_override) {
  g_current_override = this;
  g_current_runner = &runner_;
}

ScopedSettingsWindowRunner::~ScopedSettingsWindowRunner() {
  g_current_override = previous_;
  g_current_runner = previous_ ? &previous_->runner_ : nullptr;
}

}  // namespace pirell
