#include "driver_object/base_object.h"
#include "driver_object/call_trace.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/module_info.h"
#include "platform/time_source.h"

namespace pirell {
namespace {

std::string LogFolder(const std::string& preferred) {
  if (platform::DirectoryExists(preferred)) return preferred;
  return platform::ExtractFileDir(platform::ModuleFileName());
}

}  // namespace

void TBaseObject::SetDebugLogEnabled(bool enabled) {
  if (enabled == FDebugLogEnabled) return;
  FDebugLogEnabled = enabled;
  if (enabled) BeginDebugLog();
}

std::string TBaseObject::DebugLogFileName() const {
  const std::string folder = LogFolder(FDebugLogDir);
  if (folder.empty()) return {};
  return pirell::DebugLogFileName(folder, platform::Time().Now());
}

void TBaseObject::WriteDebugLog(const std::string& caption, const std::string& value,
                                bool caption_only) noexcept {
  if (!FDebugLogEnabled) return;
  // The log is a diagnostic aid: when it cannot be written the call goes on as if it were off.
  try {
    const std::string folder = LogFolder(FDebugLogDir);
    if (folder.empty()) return;
    const platform::LocalTime now = platform::Time().Now();
    const std::string line = DebugLogLine(now, FInstanceID, caption, value, caption_only);
    platform::AppendToFile(pirell::DebugLogFileName(folder, now), platform::Utf8ToSystemAnsi(line));
  } catch (...) {
  }
}

}  // namespace pirell
