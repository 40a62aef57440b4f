#include <windows.h>

#include "platform/time_source.h"

namespace pirell::platform {
namespace {

class WindowsTimeSource : public TimeSource {
 public:
  std::uint32_t TickCount() override { return GetTickCount(); }

  LocalTime Now() override {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return LocalTime{st.wYear,   st.wMonth,  st.wDay,         st.wHour,
                     st.wMinute, st.wSecond, st.wMilliseconds};
  }

  void ProcessPendingMessages() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  void WaitForMessages(std::uint32_t ms) override {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  }
};

}  // namespace

TimeSource& SystemTimeSource() {
  static WindowsTimeSource source;
  return source;
}

}  // namespace pirell::platform
