#pragma once

#include <functional>

#include "settings_ui/base_settings_form.h"

namespace pirell {

class TBaseDevice;

// Shows the settings window for the device with a page of each class, modally; true when it
// closed with OK. Runs the override a test installed, otherwise the platform's window (a
// platform without windows answers false, as a window closed without OK).
bool ShowSettingsWindow(TBaseDevice& device, const TPageClasses& page_classes);

// The platform's settings window, implemented in src/settings_ui/windows (Win32 views) and
// src/settings_ui/linux (no window).
bool SystemShowSettingsWindow(TBaseDevice& device, const TPageClasses& page_classes);

using TSettingsWindowRunner =
    std::function<bool(TBaseDevice& device, const TPageClasses& page_classes)>;

// Replaces the settings window with `runner` for the lifetime of this object (tests only).
class ScopedSettingsWindowRunner {
 public:
  explicit ScopedSettingsWindowRunner(TSettingsWindowRunner runner);
  ~ScopedSettingsWindowRunner();
  ScopedSettingsWindowRunner(const ScopedSettingsWindowRunner&) = delete;
  ScopedSettingsWindowRunner& operator=(const ScopedSettingsWindowRunner&) = delete;

 private:
  TSettingsWindowRunner runner_;
  ScopedSettingsWindowRunner* previous_;
};

}  // namespace pirell
