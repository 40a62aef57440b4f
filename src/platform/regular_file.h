#pragma once

// Reading a file that a host's data names, when it must be an ordinary file of bounded size: the
// name is opened first and the opened handle is examined, so that a device, a pipe or a folder
// is never read from (and a pipe without a writer never waits) and nothing can be swapped in
// between the look and the read.

#include <cstdint>
#include <optional>
#include <string>

namespace pirell::platform {

// What names a file on its volume, whatever path spelled it.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};

enum class RegularFileRefusal {
  kNone,        // the file was opened (and read when asked)
  kCannotOpen,  // no such file, no access, ...: `error` holds the system's code
  kNotRegular,  // a folder, device, pipe or socket
  kTooLarge,    // larger than the bound
  kReadFailed,  // the read failed: `error` holds the system's code
};

struct RegularFileRead {
  RegularFileRefusal refusal = RegularFileRefusal::kNone;
  int error = 0;
  FileIdentity identity;             // set when the file opened
  std::uint64_t size = 0;            // the size the opened file reported
  std::optional<std::string> bytes;  // the content, when asked for and read
};

// Opens `path` for reading and looks at what opened: only a regular file of at most `max_bytes`
// is accepted; its content is read when `read_content` is true (a file that grows beyond the
// bound while it is read is refused as too large).
RegularFileRead ReadRegularFile(const std::string& path, std::uint64_t max_bytes,
                                bool read_content);

}  // namespace pirell::platform
