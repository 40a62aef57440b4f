#include "support/temp_dir.h"

#include <filesystem>
#include <system_error>

#include "platform/guid.h"

namespace pirell::testing {

TempDir::TempDir() {
  std::string name = platform::NewGuidText();
  name = "pirell-" + name.substr(1, name.size() - 2);
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(path);
  const std::u8string utf8 = path.u8string();
  path_.assign(utf8.begin(), utf8.end());
}

TempDir::~TempDir() {
  std::error_code ignored;
  const std::filesystem::path path(std::u8string(path_.begin(), path_.end()));
  std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path, ignored);
}

std::string TempDir::File(const std::string& name) const {
  return path_ + static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

}  // namespace pirell::testing
