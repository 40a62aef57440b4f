#include "platform/locale.h"

#include <memory>

#include "platform/system_hooks.h"

namespace pirell::platform {
namespace {

// Calls come on the host's thread; the settings are read once and only tests replace them.
std::unique_ptr<LocaleFormat>& Current() {
  static std::unique_ptr<LocaleFormat> current;
  return current;
}

}  // namespace

const LocaleFormat& UserLocale() {
  std::unique_ptr<LocaleFormat>& current = Current();
  if (!current) current = std::make_unique<LocaleFormat>(detail::ReadSystemLocale());
  return *current;
}

ScopedUserLocale::ScopedUserLocale(const LocaleFormat& format) : previous_(UserLocale()) {
  *Current() = format;
}

ScopedUserLocale::~ScopedUserLocale() {
  *Current() = previous_;
}

}  // namespace pirell::platform
