#include <libudev.h>

#include <memory>

#include "platform/linux/port_discovery_linux.h"

namespace pirell::platform::linux_discovery {
namespace {

struct UdevUnref {
  void operator()(udev* p) const { udev_unref(p); }
  void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
  void operator()(udev_device* p) const { udev_device_unref(p); }
};
template <class T>
using UdevPtr = std::unique_ptr<T, UdevUnref>;

std::string Text(const char* value) {
  return value ? value : "";
}

UdevDevice Describe(udev_device* device) {
  UdevDevice described;
  described.sysname = Text(udev_device_get_sysname(device));
  described.devnode = Text(udev_device_get_devnode(device));
  described.devpath = Text(udev_device_get_devpath(device));
  described.type = Text(udev_device_get_sysattr_value(device, "type"));
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device)) {
    described.properties[Text(udev_list_entry_get_name(entry))] =
        Text(udev_list_entry_get_value(entry));
  }
  // The parent belongs to the child: it is not released here.
  if (udev_device* usb =
          udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device")) {
    described.usb = UsbParent{Text(udev_device_get_sysattr_value(usb, "busnum")),
                              Text(udev_device_get_sysattr_value(usb, "devpath")),
                              Text(udev_device_get_sysattr_value(usb, "manufacturer")),
                              Text(udev_device_get_sysattr_value(usb, "product"))};
  }
  return described;
}

class LibudevSource : public UdevSource {
 public:
  bool Devices(const std::string& subsystem, std::vector<UdevDevice>& devices) override {
    const UdevPtr<udev> context(udev_new());
    if (!context) return false;
    const UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), subsystem.c_str()) < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
      return false;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
      // A device that went away since the scan is simply not listed.
      const UdevPtr<udev_device> device(
          udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
      if (device) devices.push_back(Describe(device.get()));
    }
    return true;
  }
};

}  // namespace

UdevSource& SystemUdevSource() {
  static LibudevSource source;
  return source;
}

}  // namespace pirell::platform::linux_discovery
