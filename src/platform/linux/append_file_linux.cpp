#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "platform/linux/device_io_linux.h"
#include "platform/linux/fd_device.h"

namespace pirell::platform::linux_devices {
namespace {

// Folders between a folder and the root; deeper trees are not walked further.
constexpr int kMaxFolderDepth = 4096;
// Attempts when the file appears or vanishes between two steps of the open.
constexpr int kOpenAttempts = 4;

bool SameNode(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the open folder `folder` is the system's device folder or inside it. The walk goes
// up through "..", so it sees the folder where links and ".." in the path really led.
bool InsideDeviceFolder(int folder) {
  struct stat devices {};
  struct stat root {};
  if (::stat("/dev", &devices) != 0 || ::stat("/", &root) != 0) return false;
  UniqueFd current(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
  for (int depth = 0; current.valid() && depth < kMaxFolderDepth; ++depth) {
    struct stat here {};
    if (::fstat(current.get(), &here) != 0) return false;
    if (SameNode(here, devices)) return true;
    if (SameNode(here, root)) return false;
    current.reset(::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
  }
  return false;
}

}  // namespace

DeviceOpenResult OpenAppendFile(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return DeviceOpenResult::Failed(ENOENT);
  const std::string name = path.substr(slash + 1);
  const std::string folder_path = slash == 0 ? "/" : path.substr(0, slash);
  if (name.empty() || name == "." || name == "..")
    return DeviceOpenResult::Refused(OpenRefusal::kNotARegularFile);

  UniqueFd folder(::open(folder_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return DeviceOpenResult::Failed(errno);
  if (InsideDeviceFolder(folder.get()))
    return DeviceOpenResult::Refused(OpenRefusal::kDeviceFolder);

  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    // A look at what the name is, without opening it for writing: a device, FIFO or socket is
    // never opened, and a link (even a dangling one) is never followed.
    UniqueFd node(::openat(folder.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!node.valid() && errno != ENOENT) return DeviceOpenResult::Failed(errno);
    int opened = -1;
    struct stat seen {};
    if (!node.valid()) {
      // Only a new regular file is created; O_EXCL fails on anything that appeared meanwhile.
      opened = ::openat(folder.get(), name.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
      if (opened < 0 && errno == EEXIST) continue;
      if (opened < 0) return DeviceOpenResult::Failed(errno);
    } else {
      if (::fstat(node.get(), &seen) != 0) return DeviceOpenResult::Failed(errno);
      if (S_ISLNK(seen.st_mode)) return DeviceOpenResult::Refused(OpenRefusal::kLink);
      if (!S_ISREG(seen.st_mode)) return DeviceOpenResult::Refused(OpenRefusal::kNotARegularFile);
      // Appending: nothing already in the file is ever lost.
      opened = ::openat(folder.get(), name.c_str(),
                        O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      if (opened < 0 && (errno == ENOENT || errno == ELOOP)) continue;
      if (opened < 0) return DeviceOpenResult::Failed(errno);
    }
    UniqueFd fd(opened);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return DeviceOpenResult::Failed(errno);
    // Something else was put under the name between the look and the open.
    if (!S_ISREG(st.st_mode) || (node.valid() && !SameNode(seen, st))) continue;
    // One job at a time: two jobs appending at once would mix their bytes.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
      return DeviceOpenResult::Failed(errno == EWOULDBLOCK ? EBUSY : errno);
    return DeviceOpenResult::Opened(std::make_unique<FdDevice>(fd.release(), FdKind::kFile));
  }
  return DeviceOpenResult::Failed(EAGAIN);
}

}  // namespace pirell::platform::linux_devices
