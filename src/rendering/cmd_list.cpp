#include "rendering/cmd_list.h"

#include <utility>

namespace pirell {

TPrinterCmd& TCmdList::Add(ByteString data, TCmdOptions action_after, std::uint16_t delay_time) {
  return items_.emplace_back(TPrinterCmd{std::move(data), action_after, delay_time});
}

}  // namespace pirell
