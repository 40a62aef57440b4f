#include <windows.h>

#include "platform/port_opener.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

class WindowsPortOpener : public PortOpener {
 public:
  // No sharing makes the open fail while another program has the port. Overlapped mode keeps
  // the open from waiting on a serial port's modem lines.
  bool TryOpenPort(const std::string& name) override {
    const std::wstring path = L"\\\\.\\" + Widen(name);
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
  }
};

}  // namespace

PortOpener& SystemPortOpener() {
  static WindowsPortOpener opener;
  return opener;
}

}  // namespace pirell::platform
