#include "monitor/pause_timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q7 {
namespace {

// A system whose clock moves only when the timer waits (by the time asked plus a lateness) or the
// player yields (by 100 µs), and which records what it was asked.
class FakeSystem final : public PauseTimerSystem {
public:
  bool grantsHighResolution = true;
  bool grantsResolution = true;
  int64_t now = 1000000;
  int64_t wakesLateBy = 0;
  int stopAfterWaits = -1; // the player is told to stop during this wait
  bool stop = false;
  std::vector<int64_t> waits;
  int yields = 0;
  std::vector<std::string> calls; // raise and restore, in order

  int64_t nowMicros() override { return now; }
  bool createHighResolutionTimer() override { return grantsHighResolution; }
  bool waitFor(int64_t micros) override {
    waits.push_back(micros);
    if (stopAfterWaits >= 0 && static_cast<int>(waits.size()) > stopAfterWaits) {
      stop = true;
      now += 10; // the stop ends the wait at once
      return false;
    }
    now += micros + wakesLateBy;
    return true;
  }
  void yield() override {
    ++yields;
    now += 100;
  }
  bool stopRequested() override { return stop; }
  bool raiseResolution() override {
    calls.push_back(grantsResolution ? "raise" : "raise refused");
    return grantsResolution;
  }
  void restoreResolution() override { calls.push_back("restore"); }
};

// The system's answer chooses the timer, and the resolution is raised only while a macro plays,
// only when needed, and restored exactly as often as the system agreed to raise it.
TEST(PauseTimer, TheSystemsAnswerChoosesTheTimerAndTheResolutionIsRaisedOnlyWhileAMacroPlays) {
  const struct {
    bool highResolution, resolution;
    PauseTimerKind kind;
    std::vector<std::string> calls; // over two macros
  } cases[] = {
      {true, true, PauseTimerKind::HighResolution, {}},
      {false, true, PauseTimerKind::RaisedResolution, {"raise", "restore", "raise", "restore"}},
      {false, false, PauseTimerKind::RaisedResolution, {"raise refused", "raise refused"}},
  };
  for (const auto& c : cases) {
    FakeSystem system;
    system.grantsHighResolution = c.highResolution;
    system.grantsResolution = c.resolution;
    PauseTimer timer(system);
    EXPECT_EQ(timer.kind(), c.kind);
    EXPECT_TRUE(system.calls.empty()) << "nothing is raised before a macro plays";
    for (int macro = 0; macro < 2; ++macro) {
      PlayingMacro playing(timer);
      timer.macroStarts(); // a second start within one play raises nothing more
      EXPECT_TRUE(timer.waitUntil(system.now + 20000));
    }
    EXPECT_EQ(system.calls, c.calls) << "high resolution " << c.highResolution;
  }
}

TEST(PauseTimer, ARaisedResolutionIsRestoredWhenTheTimerEndsDuringAMacro) {
  FakeSystem system;
  system.grantsHighResolution = false;
  {
    PauseTimer timer(system);
    timer.macroStarts();
  }
  EXPECT_EQ(system.calls, (std::vector<std::string>{"raise", "restore"}));
}

// The timer wakes the player its early margin before the deadline and the rest is yielded away:
// the wait ends at the deadline, never before it and never a tick after it.
TEST(PauseTimer, WaitsWakeBeforeTheDeadlineAndYieldTheRest) {
  for (bool highResolution : {true, false}) {
    FakeSystem system;
    system.grantsHighResolution = highResolution;
    PauseTimer timer(system);
    const int64_t deadline = system.now + 20000;
    ASSERT_TRUE(timer.waitUntil(deadline));
    ASSERT_EQ(system.waits.size(), 1u);
    EXPECT_EQ(system.waits[0], 20000 - timer.earlyMicros());
    EXPECT_GE(system.now, deadline);
    EXPECT_LT(system.now, deadline + 100);
  }
}

TEST(PauseTimer, ATimerThatWakesLateIsNotWaitedOnAgain) {
  FakeSystem system;
  system.wakesLateBy = 3000;
  PauseTimer timer(system);
  const int64_t deadline = system.now + 20000;
  ASSERT_TRUE(timer.waitUntil(deadline));
  EXPECT_EQ(system.waits.size(), 1u);
  EXPECT_EQ(system.yields, 0);
  EXPECT_TRUE(timer.waitUntil(deadline)) << "a deadline already past returns at once";
  EXPECT_EQ(system.waits.size(), 1u);
}

TEST(PauseTimer, StoppingEndsAWaitAtOnce) {
  FakeSystem system;
  system.stopAfterWaits = 0;
  PauseTimer timer(system);
  const int64_t start = system.now;
  EXPECT_FALSE(timer.waitUntil(start + 30000000));
  EXPECT_EQ(system.waits.size(), 1u);
  EXPECT_LT(system.now - start, 1000);
  EXPECT_FALSE(timer.waitUntil(system.now + 1000)) << "a stopped player waits no more";
  EXPECT_EQ(system.waits.size(), 1u);
}

} // namespace
} // namespace q7
