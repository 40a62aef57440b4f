#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "platform/port_opener.h"
#include "settings_ui/ports_combo_box.h"

namespace pirell {

// The background probe of a port chooser: tries to open each listed port exclusively and marks
// it free or busy, asking the chooser's view for a repaint after each port.
//
// It looks at the stop request before each port, so stopping waits for one port at most (the
// list of a remote session has 256 serial ports), and it writes through the chooser's lock and
// generation check (see TPortsComboBox), so it never writes into a list that was refilled.
class TOpenPortThread {
 public:
  // Starts at once. The chooser must outlive the thread object.
  explicit TOpenPortThread(TPortsComboBox& AControl);
  // Asks the probe to stop and waits for it.
  ~TOpenPortThread();
  TOpenPortThread(const TOpenPortThread&) = delete;
  TOpenPortThread& operator=(const TOpenPortThread&) = delete;

  // Asks the probe to end before the next port; the port being tried is still written.
  void Terminate();
  bool Terminated() const { return FTerminated.load(); }
  // Waits until the probe has ended.
  void WaitFor();

  // True when the port could be opened exclusively (and was closed again).
  bool TryOpenPort(const std::string& Name);

 private:
  void Execute();

  TPortsComboBox& FControl;
  platform::PortOpener& FPortOpener;
  std::function<void()> FOnRepaint;
  std::atomic<bool> FTerminated{false};
  // Last: the thread starts once everything it reads is in place.
  std::thread FThread;
};

}  // namespace pirell
