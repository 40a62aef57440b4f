#include "rendering/cmd_list.h"

#include <utility>

#include "driver_object/errors.h"

namespace pirell {

TPrinterCmd& TCmdList::Add(ByteString data, TCmdOptions action_after, std::uint16_t delay_time) {
  if (data.size() > kMaxJobBytes - bytes_) {
    throw LimitError("Задание печати больше " + std::to_string(kMaxJobBytes / (1024 * 1024)) +
                     " МБ");
  }
  TPrinterCmd& added = items_.emplace_back(TPrinterCmd{std::move(data), action_after, delay_time});
  bytes_ += added.Data.size();
  return added;
}

}  // namespace pirell
