#include "label_printer/job_progress.h"

#include "common/module_strings.h"
#include "platform/time_source.h"

namespace pirell {

std::string LabelsSentText(std::int64_t sent, std::int64_t total) {
  return ModuleText(StringId::LabelsSent, {std::to_string(sent), std::to_string(total)});
}

TJobProgress::TJobProgress(std::int64_t total, Report report)
    : total_(total), report_(std::move(report)), last_tick_(platform::Time().TickCount()) {}

void TJobProgress::Sent(std::int64_t sent) {
  if (!report_) return;
  // Unsigned 32-bit differences survive the tick counter wrapping.
  if (static_cast<std::uint32_t>(platform::Time().TickCount() - last_tick_) < kInterval) return;
  Tell(sent);
}

void TJobProgress::Done(std::int64_t sent) {
  if (report_ && reported_) Tell(sent);
}

void TJobProgress::Tell(std::int64_t sent) {
  const auto percent = static_cast<std::int32_t>(total_ > 0 ? sent * 100 / total_ : 100);
  reported_ = true;
  if (!report_(percent, LabelsSentText(sent, total_))) report_ = nullptr;
  last_tick_ = platform::Time().TickCount();
}

}  // namespace pirell
