#include "ports/message_pump.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/time_source.h"
#include "support/scripted_clock.h"

namespace pirell {
namespace {

using testing::ScriptedClock;

TEST(MessagePumpTest, DelaySleepsInsteadOfSpinning) {
  ScriptedClock clock(0xFFFFFC00u);  // the delay crosses the tick wrap
  platform::ScopedTimeSource time(clock);
  DelayWithMessages(2000);
  EXPECT_EQ(clock.TickCount(), 0xFFFFFC00u + 2000u);
  EXPECT_EQ(clock.wait_calls, 1);
  EXPECT_EQ(clock.pump_calls, 1);
}

TEST(MessagePumpTest, DelayServesEachMessageWhenItArrives) {
  ScriptedClock clock;
  platform::ScopedTimeSource time(clock);
  clock.PostMessageAfter(0);
  clock.PostMessageAfter(300);
  clock.PostMessageAfter(1500);
  clock.PostMessageAfter(2500);  // after the delay: left in the queue
  DelayWithMessages(2000);
  EXPECT_EQ(clock.TickCount(), 2000u);
  EXPECT_EQ(clock.served_at, (std::vector<std::uint32_t>{0, 300, 1500}));
}

TEST(MessagePumpTest, ZeroDelayReturnsAtOnce) {
  ScriptedClock clock;
  platform::ScopedTimeSource time(clock);
  DelayWithMessages(0);
  EXPECT_EQ(clock.wait_calls, 0);
  EXPECT_EQ(clock.TickCount(), 0u);
}

TEST(MessagePumpTest, FailingHandlerDoesNotStopThePumping) {
  ScriptedClock clock;
  platform::ScopedTimeSource time(clock);
  clock.PostMessageAfter(0);
  int failures = 0;
  clock.on_pump = [&] {
    if (failures++ < 2) throw std::runtime_error("handler failed");
  };
  EXPECT_NO_THROW(ProcessPendingMessages());
  EXPECT_EQ(clock.pump_calls, 3);
  EXPECT_EQ(clock.messages_served, 1);
}

}  // namespace
}  // namespace pirell
