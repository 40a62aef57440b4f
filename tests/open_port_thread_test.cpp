#include "settings_ui/open_port_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings_ui/ports_combo_box.h"
#include "support/fake_port_discovery.h"
#include "support/fake_port_opener.h"

namespace pirell {
namespace {

using port_chooser::TPortState;
using port_chooser::TPortType;
using testing::FakePortDiscovery;
using testing::FakePortOpener;
using testing::RepaintCounter;

std::vector<TPortState> States(const TPortsComboBox& combo) {
  std::vector<TPortState> states;
  for (const port_chooser::TPortProp& entry : combo.PortArray()) states.push_back(entry.PortState);
  return states;
}

class OpenPortThreadTest : public ::testing::Test {
 protected:
  OpenPortThreadTest() {
    machine.parallel_map = {R"(\DosDevices\LPT1)", R"(\DosDevices\LPT2)", R"(\DosDevices\LPT3)",
                            R"(\DosDevices\LPT4)"};
    ports.SetFree({"LPT1", "LPT3"});
    combo.SetOnRepaint([this] { repaints(); });
    combo.SetPortType(TPortType::ptLPT);
  }

  FakePortDiscovery machine;
  FakePortOpener ports;
  RepaintCounter repaints;
  TPortsComboBox combo{machine, ports};
};

TEST_F(OpenPortThreadTest, MarksEachPortFreeOrBusyAndAsksForARepaintAfterEach) {
  TOpenPortThread probe(combo);
  probe.WaitFor();
  EXPECT_EQ(ports.Tried(), (std::vector<std::string>{"LPT1", "LPT2", "LPT3", "LPT4"}));
  EXPECT_EQ(States(combo), (std::vector<TPortState>{TPortState::psFree, TPortState::psBusy,
                                                    TPortState::psFree, TPortState::psBusy}));
  EXPECT_EQ(repaints.Count(), 4);
}

TEST_F(OpenPortThreadTest, AStopRequestEndsTheProbeAfterThePortBeingTried) {
  ports.Block("LPT1");
  TOpenPortThread probe(combo);
  ports.WaitUntilTried("LPT1");
  probe.Terminate();
  ports.Release("LPT1");
  probe.WaitFor();
  // The port being tried is still written; the three after it are never opened.
  EXPECT_EQ(ports.Tried(), (std::vector<std::string>{"LPT1"}));
  EXPECT_EQ(States(combo), (std::vector<TPortState>{TPortState::psFree, TPortState::psUnknown,
                                                    TPortState::psUnknown, TPortState::psUnknown}));
  EXPECT_EQ(repaints.Count(), 1);
}

TEST_F(OpenPortThreadTest, AListRefilledDuringAProbeIsNeverWrittenByIt) {
  ports.Block("LPT2");
  combo.CheckPorts();
  ports.WaitUntilTried("LPT2");

  // Another list of the same length replaces the one the probe copied.
  machine.parallel_map = {R"(\DosDevices\LPT5)", R"(\DosDevices\LPT6)", R"(\DosDevices\LPT7)",
                          R"(\DosDevices\LPT8)"};
  ports.SetFree({"LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8"});
  combo.SetPortType(TPortType::ptLPT);
  ports.Release("LPT2");
  // The stale probe ends on its own at the next port; waiting for it here makes no stop
  // request before its write (the request is looked at before an open only).
  combo.StopCheck();

  EXPECT_EQ(States(combo), std::vector<TPortState>(4, TPortState::psUnknown));
  EXPECT_EQ(ports.Tried(), (std::vector<std::string>{"LPT1", "LPT2"}));
  EXPECT_EQ(repaints.Count(), 1);
}

TEST_F(OpenPortThreadTest, AnEntryAppendedDuringAProbeKeepsTheOthersResults) {
  ports.Block("LPT2");
  combo.CheckPorts();
  ports.WaitUntilTried("LPT2");
  // A reset of the settings re-selects a stored port the list lacks; the list grows (and may
  // move in memory) while the probe holds its copy of the numbers.
  for (int number = 5; number <= 40; ++number) combo.SetPortNumber(number);
  ports.Release("LPT2");
  repaints.WaitFor(4);
  combo.StopCheck();

  const std::vector<TPortState> states = States(combo);
  ASSERT_EQ(states.size(), 40u);
  EXPECT_EQ(std::vector<TPortState>(states.begin(), states.begin() + 4),
            (std::vector<TPortState>{TPortState::psFree, TPortState::psBusy, TPortState::psFree,
                                     TPortState::psBusy}));
  EXPECT_EQ(std::vector<TPortState>(states.begin() + 4, states.end()),
            std::vector<TPortState>(36, TPortState::psUnknown));
  EXPECT_EQ(ports.Tried().size(), 4u);
}

TEST_F(OpenPortThreadTest, DestroyingTheChooserWaitsForItsProbe) {
  FakePortDiscovery remote;
  remote.remote_session = true;
  FakePortOpener slow;
  slow.Block("COM2");
  auto serial = std::make_unique<TPortsComboBox>(remote, slow);
  ASSERT_EQ(serial->ItemCount(), 256);
  serial->CheckPorts();
  slow.WaitUntilTried("COM2");
  slow.Release("COM2");
  // The probe is somewhere in its 256 ports; the chooser goes away under it.
  serial.reset();
  const std::vector<std::string> tried = slow.Tried();
  ASSERT_GE(tried.size(), 2u);
  for (std::size_t i = 0; i < tried.size(); ++i) EXPECT_EQ(tried[i], "COM" + std::to_string(i + 1));
}

// An opener that fails with an error instead of an answer.
class ThrowingOpener : public platform::PortOpener {
 public:
  bool TryOpenPort(const std::string& name) override {
    if (name == "LPT1") throw std::runtime_error("device layer failed");
    return true;
  }
};

TEST_F(OpenPortThreadTest, APortThatCannotBeTriedIsBusyAndTheProbeGoesOn) {
  ThrowingOpener opener;
  TPortsComboBox lpt(machine, opener);
  lpt.SetPortType(TPortType::ptLPT);
  TOpenPortThread probe(lpt);
  probe.WaitFor();
  EXPECT_EQ(States(lpt), (std::vector<TPortState>{TPortState::psBusy, TPortState::psFree,
                                                  TPortState::psFree, TPortState::psFree}));
  EXPECT_FALSE(probe.TryOpenPort("LPT1"));
  EXPECT_TRUE(probe.TryOpenPort("LPT2"));
}

}  // namespace
}  // namespace pirell
