#include <windows.h>
// windows.h first.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstring>
#include <new>
#include <vector>

#include "platform/port_discovery.h"
#include "platform/windows/port_discovery_windows_setupapi.h"
#include "platform/windows/print_queue_spooler.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

using windows_discovery::AnsiToUtf8;
using windows_discovery::DeviceInfoSet;
using windows_discovery::RegistryKey;
using windows_discovery::SetupApi;

// GUID_DEVINTERFACE_USBPRINT: the interface class of USB printers.
constexpr GUID kUsbPrintInterface = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
// GUID_DEVCLASS_PORTS: the setup class of serial and parallel ports.
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// Buffer sizes of the registry properties: long texts of USB printers, short names of ports.
constexpr DWORD kUsbPropertySize = 4098;
constexpr DWORD kPortPropertySize = 257;

// The fixed part of the narrow interface detail record, which its size field must hold.
#ifdef _WIN64
constexpr DWORD kDetailHeaderSize = 8;
#else
constexpr DWORD kDetailHeaderSize = 5;
#endif
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == kDetailHeaderSize);

std::string DeviceProperty(const SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& device,
                           DWORD property, DWORD buffer_size) {
  std::vector<char> buffer(buffer_size, '\0');
  if (!api.GetDeviceRegistryPropertyA(set, &device, property, nullptr,
                                      reinterpret_cast<BYTE*>(buffer.data()), buffer_size,
                                      nullptr)) {
    return {};
  }
  return AnsiToUtf8(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// Present and not disabled.
bool DeviceEnabled(const SetupApi& api, DEVINST instance) {
  ULONG status = 0;
  ULONG problem = 0;
  if (api.GetDevNodeStatus(&status, &problem, instance, 0) != CR_SUCCESS) return false;
  return !((status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED);
}

// The device path of one interface, or nothing when its details cannot be read.
std::optional<std::string> InterfacePath(const SetupApi& api, HDEVINFO set,
                                         SP_DEVICE_INTERFACE_DATA& interface_data,
                                         SP_DEVINFO_DATA& device) {
  DWORD required = 0;
  api.GetDeviceInterfaceDetailA(set, &interface_data, nullptr, 0, &required, &device);
  if (required < kDetailHeaderSize) return std::nullopt;
  // DWORD elements keep the record's size field aligned.
  std::vector<DWORD> buffer;
  try {
    buffer.resize((required + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  detail->cbSize = kDetailHeaderSize;
  if (!api.GetDeviceInterfaceDetailA(set, &interface_data, detail, required, nullptr, &device)) {
    return std::nullopt;
  }
  const char* path = detail->DevicePath;
  const std::size_t room = required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  return AnsiToUtf8(path, strnlen(path, room));
}

// A hidden setup class ("NoDisplayClass" in its class key).
bool ClassHidden(const SetupApi& api, const GUID& class_guid) {
  RegistryKey key(api.OpenClassRegKey(&class_guid, KEY_READ));
  return key.valid() && RegQueryValueExA(key.get(), "NoDisplayClass", nullptr, nullptr, nullptr,
                                         nullptr) == ERROR_SUCCESS;
}

class WindowsPortDiscovery : public PortDiscovery {
 public:
  bool ListUsbPrinters(std::vector<UsbPrinterRecord>& printers) override {
    const SetupApi api;
    if (!api.bound()) return false;
    // Not only present printers: an installed printer that is unplugged is listed, disabled.
    const DeviceInfoSet set(
        api, api.GetClassDevsA(&kUsbPrintInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE));
    if (!set.valid()) return false;
    for (DWORD index = 0;; ++index) {
      SP_DEVICE_INTERFACE_DATA interface_data{};
      interface_data.cbSize = sizeof interface_data;
      if (!api.EnumDeviceInterfaces(set.get(), nullptr, &kUsbPrintInterface, index,
                                    &interface_data)) {
        return GetLastError() == ERROR_NO_MORE_ITEMS;
      }
      SP_DEVINFO_DATA device{};
      device.cbSize = sizeof device;
      std::optional<std::string> path = InterfacePath(api, set.get(), interface_data, device);
      if (!path) return false;
      UsbPrinterRecord printer;
      printer.interface_path = std::move(*path);
      printer.location =
          DeviceProperty(api, set.get(), device, SPDRP_LOCATION_INFORMATION, kUsbPropertySize);
      printer.description =
          DeviceProperty(api, set.get(), device, SPDRP_DEVICEDESC, kUsbPropertySize);
      printer.enabled = DeviceEnabled(api, device.DevInst);
      printers.push_back(std::move(printer));
    }
  }

  bool IsRemoteSession() override { return GetSystemMetrics(SM_REMOTESESSION) != 0; }

  std::vector<std::string> DeviceMapPorts(PortFamily family) override {
    const wchar_t* path = family == PortFamily::kSerial ? L"hardware\\devicemap\\serialcomm"
                                                        : L"hardware\\devicemap\\parallel ports";
    std::vector<std::string> ports;
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
      return ports;
    }
    DWORD longest_name = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longest_name, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return ports;
    }
    std::vector<wchar_t> name(longest_name + 1);
    for (DWORD index = 0;; ++index) {
      DWORD name_length = static_cast<DWORD>(name.size());
      const LONG status = RegEnumValueW(key.get(), index, name.data(), &name_length, nullptr,
                                        nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS) continue;
      if (std::optional<std::string> data =
              windows_discovery::ReadStringValue(key.get(), name.data())) {
        ports.push_back(std::move(*data));
      }
    }
    return ports;
  }

  std::vector<PortDeviceRecord> PresentPortDevices() override {
    std::vector<PortDeviceRecord> ports;
    const SetupApi api;
    if (!api.bound()) return ports;
    const DeviceInfoSet set(api, api.GetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT));
    if (!set.valid()) return ports;
    for (DWORD index = 0;; ++index) {
      SP_DEVINFO_DATA device{};
      device.cbSize = sizeof device;
      if (!api.EnumDeviceInfo(set.get(), index, &device)) break;
      // A device whose state cannot be read or whose class is hidden ends the listing.
      ULONG status = 0;
      ULONG problem = 0;
      if (api.GetDevNodeStatus(&status, &problem, device.DevInst, 0) != CR_SUCCESS) break;
      if (ClassHidden(api, device.ClassGuid)) break;

      PortDeviceRecord port;
      for (const DWORD property :
           {SPDRP_FRIENDLYNAME, SPDRP_DEVICEDESC, SPDRP_CLASS, SPDRP_CLASSGUID}) {
        port.name = DeviceProperty(api, set.get(), device, property, kPortPropertySize);
        if (!port.name.empty()) break;
      }
      RegistryKey hardware(
          api.OpenDevRegKey(set.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ));
      if (hardware.valid()) {
        port.port_name =
            windows_discovery::ReadStringValue(hardware.get(), L"PortName").value_or("");
      }
      ports.push_back(std::move(port));
    }
    return ports;
  }

  std::vector<PrintQueueRecord> ListPrintQueues() override { return windows_spooler::ListQueues(); }
};

}  // namespace

PortDiscovery& SystemPortDiscovery() {
  static WindowsPortDiscovery discovery;
  return discovery;
}

}  // namespace pirell::platform
