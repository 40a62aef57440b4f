#include "platform/windows/device_names.h"

#include <algorithm>
#include <array>

namespace pirell::platform {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

bool NamesADevice(const std::string& path) {
  if (path.starts_with("\\\\.\\") || path.starts_with("//./")) return true;
  const std::size_t slash = path.find_last_of("\\/:");
  std::string name = Upper(slash == std::string::npos ? path : path.substr(slash + 1));
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  static constexpr std::array<const char*, 6> kPlain = {"CON", "PRN",    "AUX",
                                                        "NUL", "CONIN$", "CONOUT$"};
  if (std::find(kPlain.begin(), kPlain.end(), name) != kPlain.end()) return true;
  return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
         name[3] >= '1' && name[3] <= '9';
}

}  // namespace pirell::platform
