#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port_discovery.h"
#include "platform/port_opener.h"

namespace pirell {

class TOpenPortThread;

// The port chooser's own names. Its port types are ordered differently from the port manager's
// pirell::TPortType, hence the namespace.
namespace port_chooser {

// Serial and parallel ports are chosen by number; USB printers and print queues by name.
enum class TPortType { ptCOM = 0, ptLPT = 1, ptUSB = 2, ptQueue = 3 };

enum class TPortState : std::uint8_t { psUnknown = 0, psFree = 1, psBusy = 2 };

// "COM", "LPT", "USB"; empty for print queues, which are shown by their own names.
std::string_view PortTypePrefix(TPortType type);

// One entry of the chooser, at the same index as its item.
struct TPortProp {
  // The port number; 0 for a USB printer or a print queue. Wide enough for COM256 (a byte would
  // turn it into 0, which would be probed and saved as port 0).
  int PortNum = 0;
  std::string PortName;  // the text drawn for the entry
  TPortState PortState = TPortState::psUnknown;
  std::string PortInterface;  // a USB printer's device path or a print queue's name
};

using TPortArray = std::vector<TPortProp>;

struct TColorRGB {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  friend bool operator==(const TColorRGB&, const TColorRGB&) = default;
};

// A rectangle in the view's pixels; Right and Bottom are exclusive.
struct TItemRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TItemRect&, const TItemRect&) = default;
};

// What the view paints for one item, after filling the item's rectangle with the normal or the
// selected background: a dot (a circle filled with Fill and outlined with Outline) in DotBox,
// then Text with its top-left corner at (TextLeft, TextTop).
struct TPortItemDrawing {
  TColorRGB Fill;
  TColorRGB Outline;
  TItemRect DotBox;
  int TextLeft = 0;
  int TextTop = 0;
  std::string Text;
};

}  // namespace port_chooser

// A drop-down list of the ports of one family (USB printers, parallel or serial ports, print
// queues), each drawn with a dot that tells whether the port is free. The dots of parallel and
// serial ports come from a background probe (TOpenPortThread) that starts whenever the list
// comes into sight; those of USB printers from their listing; print queues the print server
// lists are free.
//
// Every member is called on the user-interface thread. The probe shares FLock with it: the
// probe takes it only to copy the port numbers and to write one port's state, never while it
// opens a port, so the user interface never waits for a device. Refilling the list counts up
// FGeneration under the same lock; the probe writes a result only when the generation it
// started with is still current, so it never writes into entries that were replaced. Appending
// an entry keeps every index, so a running probe may go on writing the entries it copied.
// This lets the probe keep running while a reset of the settings re-selects (and maybe
// appends) the stored port.
class TPortsComboBox {
 public:
  using TPortType = port_chooser::TPortType;
  using TPortState = port_chooser::TPortState;

  // Fills the list with the serial ports at once (the default type).
  explicit TPortsComboBox(platform::PortDiscovery& discovery = platform::SystemPortDiscovery(),
                          platform::PortOpener& port_opener = platform::SystemPortOpener());
  // Stops a running probe and waits for it.
  ~TPortsComboBox();
  TPortsComboBox(const TPortsComboBox&) = delete;
  TPortsComboBox& operator=(const TPortsComboBox&) = delete;

  // Start a probe whenever the list comes into sight (default true).
  bool CheckPortsOnCreate() const { return FCheckPortsOnCreate; }
  void SetCheckPortsOnCreate(bool value) { FCheckPortsOnCreate = value; }

  TPortType PortType() const;
  // Lists the ports of the family anew.
  void SetPortType(TPortType value);

  // Whether the family's ports are chosen by name (USB printers, print queues) rather than by
  // number.
  bool ChosenByName() const;

  // The selected port's number; -1 for ports chosen by name or when nothing is selected.
  int PortNumber() const;
  // Selects the port numbered `value` (1..256), appending it when the list does not have it.
  // Does nothing for ports chosen by name.
  void SetPortNumber(int value);

  // The selected USB printer's device path or print queue's name; empty for other families or
  // when nothing is selected.
  std::string PortInterface() const;
  // Selects the USB printer or print queue with exactly this name (letter case counts),
  // appending it when the list does not have it. Does nothing for other families or an empty
  // name.
  void SetPortInterface(const std::string& value);

  // The list as the control shows it.
  const std::vector<std::string>& Items() const { return FItems; }
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  int ItemIndex() const { return FItemIndex; }
  // -1 (or any index outside the list) selects nothing.
  void SetItemIndex(int value);

  // A copy of the entries, states as the probe has left them so far.
  port_chooser::TPortArray PortArray() const;
  // What to paint for the item at `Index` in `ItemRect`; nothing for an index outside the list.
  std::optional<port_chooser::TPortItemDrawing> DrawItem(
      int Index, const port_chooser::TItemRect& ItemRect) const;

  // Whether the control is on the screen. Coming into sight starts a probe when
  // CheckPortsOnCreate is set.
  bool Showing() const { return FShowing; }
  void SetShowing(bool value);

  // Called on the probe thread after each port's state was written; the view asks for a
  // repaint from it (by posting a message: it must not touch the control on that thread). It
  // is not called after StopCheck has returned. Set it before a probe starts.
  void SetOnRepaint(std::function<void()> on_repaint);

  // Lists the ports of the family anew; the states start unknown (USB printers and print
  // queues: from the listing).
  void FillPorts();
  // Stops a running probe, then starts a new one, except for ports chosen by name.
  void CheckPorts();
  // Asks a running probe to stop after the port it is trying and waits until it has ended.
  void StopCheck();
  // A probe was started and has not been stopped (it may have run through its ports).
  bool IsChecking() const { return FThrOpenPort != nullptr; }

 private:
  friend class TOpenPortThread;

  // What a probe works through, copied under the lock.
  struct TProbeWork {
    TPortType PortType = TPortType::ptCOM;
    std::uint64_t Generation = 0;
    std::vector<int> PortNumbers;
  };
  TProbeWork ProbeWork() const;
  // Writes a probe's result unless the list was refilled since the probe copied it. False when
  // the probe's list is gone.
  bool SetProbedState(std::uint64_t generation, std::size_t index, TPortState state);

  void Append(std::string item_text, port_chooser::TPortProp entry);

  platform::PortDiscovery& FDiscovery;
  platform::PortOpener& FPortOpener;
  std::function<void()> FOnRepaint;
  bool FCheckPortsOnCreate = true;
  bool FShowing = false;
  std::vector<std::string> FItems;
  int FItemIndex = -1;

  // Shared with the probe thread.
  mutable std::mutex FLock;
  TPortType FPortType = TPortType::ptCOM;
  port_chooser::TPortArray FPortArray;
  std::uint64_t FGeneration = 0;

  // Last: destroyed (after ~TPortsComboBox has stopped it) before anything it reads.
  std::unique_ptr<TOpenPortThread> FThrOpenPort;
};

}  // namespace pirell
