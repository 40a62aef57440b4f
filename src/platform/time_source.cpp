#include "platform/time_source.h"

namespace pirell::platform {
namespace {

TimeSource*& Installed() {
  static TimeSource* installed = nullptr;
  return installed;
}

}  // namespace

TimeSource& Time() {
  TimeSource* installed = Installed();
  return installed ? *installed : SystemTimeSource();
}

ScopedTimeSource::ScopedTimeSource(TimeSource& source) : previous_(Installed()) {
  Installed() = &source;
}

ScopedTimeSource::~ScopedTimeSource() {
  Installed() = previous_;
}

}  // namespace pirell::platform
