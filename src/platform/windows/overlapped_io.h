#pragma once

// Waits and writes of the Windows platform layer that never hold the host's thread longer than
// a given time and keep serving its window messages meanwhile.

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "platform/device_io.h"

namespace pirell::platform::windows_io {

// Owns a kernel handle (an event, a file, a device).
class KernelHandle {
 public:
  explicit KernelHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~KernelHandle() {
    if (valid()) CloseHandle(handle_);
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HANDLE handle_;
};

// Waits until `object` is signalled or `timeout_ms` pass, dispatching the calling thread's
// window messages as they arrive. True when the object was signalled.
bool WaitServingMessages(HANDLE object, std::uint32_t timeout_ms);

// Writes `bytes` to `handle`, opened with FILE_FLAG_OVERLAPPED, waiting for the write with
// WaitServingMessages. When `timeout_ms` pass first, the write is cancelled (CancelIoEx) and
// reports the bytes that went out until then, so a device driver that ignores the comm timeouts
// cannot hold the thread. `append` writes at the end of a disk file.
DeviceWriteResult WriteOverlapped(HANDLE handle, std::string_view bytes, std::uint32_t timeout_ms,
                                  bool append);

// DeviceIoControl on a handle opened with FILE_FLAG_OVERLAPPED, bounded the same way. False when
// the call fails or takes longer than `timeout_ms`.
bool IoControlOverlapped(HANDLE handle, DWORD code, void* output, DWORD output_size,
                         std::uint32_t timeout_ms);

}  // namespace pirell::platform::windows_io
