#include "settings_ui/ports_combo_box.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "ports/port_list.h"
#include "ports/usb_print_list.h"
#include "settings_ui/open_port_thread.h"

namespace pirell {

namespace port_chooser {

std::string_view PortTypePrefix(TPortType type) {
  switch (type) {
    case TPortType::ptCOM:
      return "COM";
    case TPortType::ptLPT:
      return "LPT";
    case TPortType::ptUSB:
      return "USB";
    case TPortType::ptQueue:
      break;
  }
  return "";
}

}  // namespace port_chooser

namespace {

using port_chooser::TColorRGB;
using port_chooser::TItemRect;
using port_chooser::TPortItemDrawing;
using port_chooser::TPortProp;
using port_chooser::TPortState;
using port_chooser::TPortType;

// Selecting a port by number accepts the numbers a port list can have.
constexpr int kHighestPortNumber = 256;

bool IsChosenByName(TPortType type) {
  return type == TPortType::ptUSB || type == TPortType::ptQueue;
}

// "Labels (Склад, 2 этаж) — по умолчанию".
std::string PrintQueueText(const platform::PrintQueueRecord& queue) {
  std::string text = queue.name;
  if (!queue.description.empty() && queue.description != queue.name)
    text += " (" + queue.description + ")";
  if (queue.is_default) text += " — по умолчанию";
  return text;
}

// The dot: its box from (left + 2, top + 2) to (left + 12, top + 12); the text from left + 16.
constexpr int kDotOffset = 2;
constexpr int kDotEnd = 12;
constexpr int kTextOffset = 16;

struct DotColours {
  TColorRGB fill;
  TColorRGB outline;
};

DotColours ColoursOf(TPortState state) {
  switch (state) {
    case TPortState::psFree:
      return {{0, 208, 0}, {0, 160, 0}};
    case TPortState::psBusy:
      return {{208, 0, 0}, {160, 0, 0}};
    case TPortState::psUnknown:
      break;
  }
  return {{208, 208, 208}, {10, 10, 10}};
}

}  // namespace

TPortsComboBox::TPortsComboBox(platform::PortDiscovery& discovery,
                               platform::PortOpener& port_opener)
    : FDiscovery(discovery), FPortOpener(port_opener) {
  FillPorts();
}

TPortsComboBox::~TPortsComboBox() {
  StopCheck();
}

TPortsComboBox::TPortType TPortsComboBox::PortType() const {
  std::lock_guard lock(FLock);
  return FPortType;
}

void TPortsComboBox::SetPortType(TPortType value) {
  {
    std::lock_guard lock(FLock);
    FPortType = value;
  }
  FillPorts();
}

void TPortsComboBox::FillPorts() {
  std::vector<std::string> items;
  port_chooser::TPortArray entries;
  const TPortType type = PortType();
  if (type == TPortType::ptUSB) {
    TUSBPrintList printers(FDiscovery);
    if (printers.Refresh()) {
      for (int i = 0; i < printers.GetCount(); ++i) {
        const TUSBPrintInfoRec& printer = printers.GetObject(i);
        // A printer without a location cannot be told apart from its twin; it is not offered.
        if (printer.devicename.empty()) continue;
        items.push_back(printer.devicename);
        entries.push_back(TPortProp{0, printer.devicename + " (" + printer.description + ")",
                                    printer.isenabled ? TPortState::psFree : TPortState::psBusy,
                                    printer.interfacename});
      }
    }
  } else if (type == TPortType::ptQueue) {
    std::vector<platform::PrintQueueRecord> queues;
    try {
      queues = FDiscovery.ListPrintQueues();
    } catch (const std::exception&) {
      // A print server that fails to answer offers no queues; a stored one is still shown.
    }
    for (const platform::PrintQueueRecord& queue : queues) {
      if (queue.name.empty()) continue;
      items.push_back(queue.name);
      entries.push_back(TPortProp{0, PrintQueueText(queue), TPortState::psFree, queue.name});
    }
  } else {
    const platform::PortFamily family =
        type == TPortType::ptCOM ? platform::PortFamily::kSerial : platform::PortFamily::kParallel;
    for (TPortListEntry& port : GetPortList(family, FDiscovery)) {
      items.push_back(port.Text);
      entries.push_back(TPortProp{port.Number, std::move(port.Text), TPortState::psUnknown, {}});
    }
  }

  FItems = std::move(items);
  FItemIndex = -1;
  std::lock_guard lock(FLock);
  FPortArray = std::move(entries);
  ++FGeneration;
}

bool TPortsComboBox::ChosenByName() const {
  return IsChosenByName(PortType());
}

int TPortsComboBox::PortNumber() const {
  std::lock_guard lock(FLock);
  if (IsChosenByName(FPortType) || FItemIndex < 0) return -1;
  return FPortArray[static_cast<std::size_t>(FItemIndex)].PortNum;
}

void TPortsComboBox::SetPortNumber(int value) {
  if (value <= 0 || value > kHighestPortNumber || ChosenByName()) return;
  int found = -1;
  {
    std::lock_guard lock(FLock);
    const auto match = std::find_if(FPortArray.begin(), FPortArray.end(),
                                    [&](const TPortProp& entry) { return entry.PortNum == value; });
    if (match != FPortArray.end()) found = static_cast<int>(match - FPortArray.begin());
  }
  if (found < 0) {
    found = ItemCount();
    Append(" ",
           TPortProp{value,
                     std::string(port_chooser::PortTypePrefix(PortType())) + std::to_string(value),
                     TPortState::psUnknown,
                     {}});
  }
  FItemIndex = found;
}

std::string TPortsComboBox::PortInterface() const {
  std::lock_guard lock(FLock);
  if (!IsChosenByName(FPortType) || FItemIndex < 0) return {};
  return FPortArray[static_cast<std::size_t>(FItemIndex)].PortInterface;
}

void TPortsComboBox::SetPortInterface(const std::string& value) {
  if (!ChosenByName() || value.empty()) return;
  int found = -1;
  {
    std::lock_guard lock(FLock);
    const auto match =
        std::find_if(FPortArray.begin(), FPortArray.end(),
                     [&](const TPortProp& entry) { return entry.PortInterface == value; });
    if (match != FPortArray.end()) found = static_cast<int>(match - FPortArray.begin());
  }
  if (found < 0) {
    found = ItemCount();
    // A print queue is drawn by its name; a USB printer's path is not fit to be read.
    std::string drawn = PortType() == TPortType::ptQueue ? value : "USB" + std::to_string(found);
    Append(" ", TPortProp{0, std::move(drawn), TPortState::psUnknown, value});
  }
  FItemIndex = found;
}

void TPortsComboBox::Append(std::string item_text, TPortProp entry) {
  FItems.push_back(std::move(item_text));
  std::lock_guard lock(FLock);
  FPortArray.push_back(std::move(entry));
}

void TPortsComboBox::SetItemIndex(int value) {
  FItemIndex = value >= 0 && value < ItemCount() ? value : -1;
}

port_chooser::TPortArray TPortsComboBox::PortArray() const {
  std::lock_guard lock(FLock);
  return FPortArray;
}

std::optional<TPortItemDrawing> TPortsComboBox::DrawItem(int Index,
                                                         const TItemRect& ItemRect) const {
  std::lock_guard lock(FLock);
  if (Index < 0 || Index >= static_cast<int>(FPortArray.size())) return std::nullopt;
  const TPortProp& entry = FPortArray[static_cast<std::size_t>(Index)];
  const DotColours colours = ColoursOf(entry.PortState);
  TPortItemDrawing drawing;
  drawing.Fill = colours.fill;
  drawing.Outline = colours.outline;
  drawing.DotBox = {ItemRect.Left + kDotOffset, ItemRect.Top + kDotOffset, ItemRect.Left + kDotEnd,
                    ItemRect.Top + kDotEnd};
  drawing.TextLeft = ItemRect.Left + kTextOffset;
  drawing.TextTop = ItemRect.Top;
  // The entry's name, not the item text: an appended port's item text is a single space.
  drawing.Text = entry.PortName;
  return drawing;
}

void TPortsComboBox::SetShowing(bool value) {
  const bool came_into_sight = value && !FShowing;
  FShowing = value;
  if (came_into_sight && FCheckPortsOnCreate) CheckPorts();
}

void TPortsComboBox::SetOnRepaint(std::function<void()> on_repaint) {
  FOnRepaint = std::move(on_repaint);
}

void TPortsComboBox::CheckPorts() {
  StopCheck();
  if (ChosenByName()) return;
  try {
    FThrOpenPort = std::make_unique<TOpenPortThread>(*this);
  } catch (const std::system_error&) {
    // No thread to be had: the dots stay grey, the list works all the same.
  }
}

void TPortsComboBox::StopCheck() {
  if (!FThrOpenPort) return;
  FThrOpenPort->Terminate();
  FThrOpenPort->WaitFor();
  FThrOpenPort.reset();
}

TPortsComboBox::TProbeWork TPortsComboBox::ProbeWork() const {
  std::lock_guard lock(FLock);
  TProbeWork work;
  work.PortType = FPortType;
  work.Generation = FGeneration;
  work.PortNumbers.reserve(FPortArray.size());
  for (const TPortProp& entry : FPortArray) work.PortNumbers.push_back(entry.PortNum);
  return work;
}

bool TPortsComboBox::SetProbedState(std::uint64_t generation, std::size_t index, TPortState state) {
  std::lock_guard lock(FLock);
  // Entries are only ever appended within one generation, so the index still holds its port.
  if (generation != FGeneration || index >= FPortArray.size()) return false;
  FPortArray[index].PortState = state;
  return true;
}

}  // namespace pirell
