#pragma once

// Entry points that each platform layer (linux/, windows/) provides to the portable part of the
// platform folder. Not for use outside src/platform.

#include "platform/locale.h"

namespace pirell::platform::detail {

// The user's regional settings as the system reports them.
LocaleFormat ReadSystemLocale();

}  // namespace pirell::platform::detail
