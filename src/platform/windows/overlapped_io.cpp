#include "platform/windows/overlapped_io.h"

#include <algorithm>

#include "platform/time_source.h"

namespace pirell::platform::windows_io {
namespace {

// WriteFile takes a 32-bit length.
constexpr std::size_t kLargestWrite = 0x10000000u;

void ServeMessages() {
  // A failure while a message is handled does not end the wait: the message is gone, and the
  // next pass serves the rest.
  for (;;) {
    try {
      Time().ProcessPendingMessages();
      return;
    } catch (...) {
    }
  }
}

// Ends a request that is still running at the deadline and collects what it did.
bool FinishRequest(HANDLE handle, OVERLAPPED& request, bool completed, DWORD& transferred) {
  if (!completed) CancelIoEx(handle, &request);
  // Waits for the request to end; a cancelled one ends at once.
  return GetOverlappedResult(handle, &request, &transferred, TRUE) != 0;
}

}  // namespace

bool WaitServingMessages(HANDLE object, std::uint32_t timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD remaining = elapsed >= timeout_ms ? 0 : timeout_ms - elapsed;
    // MWMO_INPUTAVAILABLE also wakes for messages that were already waiting.
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(1, &object, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    ServeMessages();
    if (remaining == 0) return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
  }
}

DeviceWriteResult WriteOverlapped(HANDLE handle, std::string_view bytes, std::uint32_t timeout_ms,
                                  bool append) {
  const KernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done.valid()) return {false, 0, static_cast<int>(GetLastError()), false};
  OVERLAPPED request{};
  request.hEvent = done.get();
  if (append) {
    request.Offset = 0xFFFFFFFF;
    request.OffsetHigh = 0xFFFFFFFF;
  }
  const auto length = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
  if (!WriteFile(handle, bytes.data(), length, nullptr, &request) &&
      GetLastError() != ERROR_IO_PENDING) {
    return {false, 0, static_cast<int>(GetLastError()), false};
  }
  const bool completed = WaitServingMessages(done.get(), timeout_ms);
  DWORD written = 0;
  if (!FinishRequest(handle, request, completed, written)) {
    const DWORD error = GetLastError();
    // Cancelled at the deadline: what went out until then counts, as with a comm timeout.
    if (error == ERROR_OPERATION_ABORTED) return {true, written, 0, false};
    return {false, written, static_cast<int>(error), false};
  }
  return {true, written, 0, false};
}

bool IoControlOverlapped(HANDLE handle, DWORD code, void* output, DWORD output_size,
                         std::uint32_t timeout_ms) {
  const KernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done.valid()) return false;
  OVERLAPPED request{};
  request.hEvent = done.get();
  if (!DeviceIoControl(handle, code, nullptr, 0, output, output_size, nullptr, &request) &&
      GetLastError() != ERROR_IO_PENDING) {
    return false;
  }
  const bool completed = WaitServingMessages(done.get(), timeout_ms);
  DWORD returned = 0;
  return FinishRequest(handle, request, completed, returned) && completed;
}

}  // namespace pirell::platform::windows_io
