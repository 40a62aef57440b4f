#include "platform/locale.h"

#include "platform/system_hooks.h"

namespace pirell::platform {
namespace {

// Read from the system at the first use, which two driver objects created at once on two
// threads may make together: the initialisation of a local static runs exactly once, and the
// other thread waits for it. Only tests replace the settings afterwards.
LocaleFormat& Current() {
  static LocaleFormat current = detail::ReadSystemLocale();
  return current;
}

}  // namespace

const LocaleFormat& UserLocale() {
  return Current();
}

ScopedUserLocale::ScopedUserLocale(const LocaleFormat& format) : previous_(UserLocale()) {
  Current() = format;
}

ScopedUserLocale::~ScopedUserLocale() {
  Current() = previous_;
}

}  // namespace pirell::platform
