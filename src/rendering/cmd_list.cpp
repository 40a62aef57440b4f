#include "rendering/cmd_list.h"

#include <utility>

#include "common/errors.h"

namespace pirell {

TPrinterCmd& TCmdList::Add(ByteString data, TCmdOptions action_after, std::uint16_t delay_time) {
  const std::size_t room = kMaxCommandListBytes - bytes_;
  if (room < kCommandOverhead || data.size() > room - kCommandOverhead) {
    throw LimitError("Команды одной этикетки больше " +
                     std::to_string(kMaxCommandListBytes / (1024 * 1024)) + " МБ");
  }
  const std::size_t cost = kCommandOverhead + data.size();
  TPrinterCmd& added = items_.emplace_back(TPrinterCmd{std::move(data), action_after, delay_time});
  bytes_ += cost;
  return added;
}

}  // namespace pirell
