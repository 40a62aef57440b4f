#include "ports/usb_print_list.h"

#include "common/errors.h"

namespace pirell {

TUSBPrintList::TUSBPrintList(platform::PortDiscovery& discovery) : FDiscovery(discovery) {}

void TUSBPrintList::Clear() {
  FDevList.clear();
}

bool TUSBPrintList::Refresh() {
  Clear();
  std::vector<platform::UsbPrinterRecord> found;
  bool complete = false;
  try {
    complete = FDiscovery.ListUsbPrinters(found);
  } catch (...) {
    // The settings window calls this; a failing system service only shortens the list.
    complete = false;
  }
  FDevList.reserve(found.size());
  for (platform::UsbPrinterRecord& printer : found) {
    FDevList.push_back(TUSBPrintInfoRec{std::move(printer.interface_path),
                                        std::move(printer.location), std::move(printer.description),
                                        printer.enabled});
  }
  return complete;
}

int TUSBPrintList::GetCount() const {
  return static_cast<int>(FDevList.size());
}

void TUSBPrintList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw Error("Ошибка: \r\nНеверный индекс устройства");
}

TUSBPrintInfoRec TUSBPrintList::Get(int Index) const {
  CheckIndex(Index);
  return FDevList[static_cast<std::size_t>(Index)];
}

TUSBPrintInfoRec& TUSBPrintList::GetObject(int Index) {
  CheckIndex(Index);
  return FDevList[static_cast<std::size_t>(Index)];
}

}  // namespace pirell
