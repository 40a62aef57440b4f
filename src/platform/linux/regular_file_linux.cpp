#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/linux/unique_fd.h"
#include "platform/regular_file.h"

namespace pirell::platform {
namespace {

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Opens for reading the very file that `path_fd` (an O_PATH descriptor) names, without a device
// driver ever seeing an open of anything else: through /proc when it is there, otherwise by the
// path again, accepted only when it is still the same file.
int ReopenForReading(int path_fd, const std::string& path, const FileIdentity& identity) {
  const std::string proc = "/proc/self/fd/" + std::to_string(path_fd);
  int fd = ::open(proc.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0 || errno != ENOENT) return fd;
  fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return fd;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !(IdentityOf(st) == identity)) {
    ::close(fd);
    errno = EAGAIN;
    return -1;
  }
  return fd;
}

}  // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::uint64_t max_bytes,
                                bool read_content) {
  RegularFileRead result;
  // O_PATH opens no device and waits on no pipe: it only names the file.
  UniqueFd named(::open(path.c_str(), O_PATH | O_CLOEXEC));
  struct stat st {};
  if (named.get() < 0 || ::fstat(named.get(), &st) != 0) {
    result.refusal = RegularFileRefusal::kCannotOpen;
    result.error = errno;
    return result;
  }
  result.identity = IdentityOf(st);
  result.size = static_cast<std::uint64_t>(st.st_size);
  if (!S_ISREG(st.st_mode)) {
    result.refusal = RegularFileRefusal::kNotRegular;
    return result;
  }
  if (result.size > max_bytes) {
    result.refusal = RegularFileRefusal::kTooLarge;
    return result;
  }
  if (!read_content) return result;

  UniqueFd file(ReopenForReading(named.get(), path, result.identity));
  if (file.get() < 0) {
    result.refusal = RegularFileRefusal::kCannotOpen;
    result.error = errno;
    return result;
  }
  std::string content;
  content.reserve(static_cast<std::size_t>(result.size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.refusal = RegularFileRefusal::kReadFailed;
      result.error = errno;
      return result;
    }
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > max_bytes) {
      result.refusal = RegularFileRefusal::kTooLarge;
      return result;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  result.bytes = std::move(content);
  return result;
}

}  // namespace pirell::platform
