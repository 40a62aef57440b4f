#include "settings_ui/open_port_thread.h"

#include <utility>

namespace pirell {

TOpenPortThread::TOpenPortThread(TPortsComboBox& AControl)
    : FControl(AControl), FPortOpener(AControl.FPortOpener), FOnRepaint(AControl.FOnRepaint) {
  FThread = std::thread([this] { Execute(); });
}

TOpenPortThread::~TOpenPortThread() {
  Terminate();
  WaitFor();
}

void TOpenPortThread::Terminate() {
  FTerminated.store(true);
}

void TOpenPortThread::WaitFor() {
  if (FThread.joinable()) FThread.join();
}

bool TOpenPortThread::TryOpenPort(const std::string& Name) {
  try {
    return FPortOpener.TryOpenPort(Name);
  } catch (...) {
    // A port that cannot even be tried cannot be had.
    return false;
  }
}

// Runs on the probe thread: nothing may escape it, or the host process would end.
void TOpenPortThread::Execute() {
  try {
    const TPortsComboBox::TProbeWork work = FControl.ProbeWork();
    const std::string prefix(port_chooser::PortTypePrefix(work.PortType));
    for (std::size_t index = 0; index < work.PortNumbers.size(); ++index) {
      if (Terminated()) return;
      // The port is opened without the chooser's lock, so the user interface never waits
      // for a device.
      const bool free = TryOpenPort(prefix + std::to_string(work.PortNumbers[index]));
      const auto state = free ? port_chooser::TPortState::psFree : port_chooser::TPortState::psBusy;
      if (!FControl.SetProbedState(work.Generation, index, state)) return;
      if (FOnRepaint) FOnRepaint();
    }
  } catch (...) {
    // The dots not probed yet stay grey.
  }
}

}  // namespace pirell
