#include "support/scratch_folder.h"

#include <atomic>
#include <chrono>
#include <system_error>

namespace pirell::testing {

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("pirell-ports-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(path_)) break;
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace pirell::testing
