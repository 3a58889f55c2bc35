#include "monitor/macro_schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q7 {
namespace {

void addKey(KeyRecord& r, uint8_t vk, bool press) {
  uint8_t* e = r.Events + 6 * r.EventCount++;
  e[0] = vk;
  e[1] = 0x04;
  e[2] = press ? 0x80 : 0;
}
void addPause(KeyRecord& r, uint16_t ms) {
  uint8_t* e = r.Events + 6 * r.EventCount++;
  e[1] = 0xFF;
  e[4] = ms & 0xFF;
  e[5] = ms >> 8;
}

// A clock that jumps to every deadline (plus a lateness the test chooses) and can stop the player
// after a number of waits.
class FakeClock final : public MacroClock {
public:
  int64_t now = 5000;
  int64_t lateBy = 0;
  int waitsBeforeStop = -1;
  std::atomic<bool>* stop = nullptr;
  int64_t nowMicros() override { return now; }
  bool waitUntil(int64_t micros) override {
    if (waitsBeforeStop == 0) {
      stop->store(true);
      return false;
    }
    if (waitsBeforeStop > 0) --waitsBeforeStop;
    now = std::max(now, micros + lateBy);
    return true;
  }
};

// Records "D41@t" (press of 0x41 at t ms after the start) and "U41@t".
class Recorder final : public MacroKeys {
public:
  explicit Recorder(FakeClock& c) : clock(c) {}
  void key(uint8_t vk, bool release) override {
    char s[24];
    std::snprintf(s, sizeof s, "%c%02X@%lld", release ? 'U' : 'D', vk,
                  static_cast<long long>((clock.now - 5000) / 1000));
    got.push_back(s);
  }
  FakeClock& clock;
  std::vector<std::string> got;
};

KeyRecord abMacro(int mode, int count) {
  KeyRecord r{};
  r.Kind = 2;
  r.RepeatMode = mode;
  r.RepeatCount = count;
  addKey(r, 'A', true);
  addPause(r, 130);
  addKey(r, 'A', false);
  addPause(r, 20);
  addKey(r, 'B', true);
  addPause(r, 0);
  addKey(r, 'B', false);
  addPause(r, 50);
  return r;
}

TEST(MacroScript, ReadsEventsWithinTheirBounds) {
  KeyRecord r = abMacro(0, 2);
  MacroScript s = macroScript(r);
  ASSERT_EQ(s.steps.size(), 8u);
  EXPECT_EQ(s.steps[0], (MacroStep{false, 'A', false, 0}));
  EXPECT_EQ(s.steps[1], (MacroStep{true, 0, false, 130}));
  EXPECT_EQ(s.steps[2], (MacroStep{false, 'A', true, 0}));
  EXPECT_EQ(s.plays, 3);

  KeyRecord full{};
  full.Kind = 2;
  for (int i = 0; i < kMaxMacroEvents; ++i) i % 2 ? addPause(full, 65535) : addKey(full, 'C', i % 4 == 0);
  full.EventCount = 0xFFFFFFFF;
  full.MacroName[0] = 0xFFFF; // bytes after the events are not read as events
  EXPECT_EQ(macroScript(full).steps.size(), 340u);
  EXPECT_EQ(macroScript(full).steps[1].ms, 65535);

  KeyRecord bad{};
  addKey(bad, 0, true);    // no key
  addKey(bad, 0xFF, true); // no key
  addPause(bad, 7);
  EXPECT_EQ(macroScript(bad).steps, (std::vector<MacroStep>{{true, 0, false, 7}}));
  EXPECT_FALSE(macroScript(bad).hasKeys());
}

TEST(MacroScript, PlaysOfEachMode) {
  const struct {
    int mode, count, plays;
  } cases[] = {{0, 0, 1}, {0, 4, 5}, {0, -1, 1}, {0, INT32_MIN, 1}, {0, 99998, 99999}, {0, INT32_MAX, kMaxPlays},
               {1, 5, 0}, {2, 5, 0}, {3, 2, 3},  {-1, 0, 1}};
  for (const auto& c : cases) {
    KeyRecord r = abMacro(c.mode, c.count);
    EXPECT_EQ(macroScript(r).plays, c.plays) << c.mode << " " << c.count;
  }
}

TEST(MacroPlayer, KeepsEveryPauseAsItsLength) {
  FakeClock clock;
  Recorder keys(clock);
  std::atomic<bool> stop{false};
  EXPECT_EQ(playMacro(macroScript(abMacro(0, 1)), clock, keys, stop), 2);
  const std::vector<std::string> want = {"D41@0",   "U41@130", "D42@150", "U42@150",
                                         "D41@200", "U41@330", "D42@350", "U42@350"};
  EXPECT_EQ(keys.got, want);
  EXPECT_EQ(clock.now - 5000, 400000);
}

TEST(MacroPlayer, WakingLateDoesNotLengthenTheMacro) {
  FakeClock clock;
  clock.lateBy = 1500; // every wait ends 1.5 ms late
  Recorder keys(clock);
  std::atomic<bool> stop{false};
  playMacro(macroScript(abMacro(0, 1)), clock, keys, stop);
  EXPECT_EQ(keys.got[4], "D41@201");
  EXPECT_EQ(clock.now - 5000, 401500); // not 406 ms: deadlines are counted from the start

  FakeClock stalled;
  stalled.lateBy = 500000; // a stall: the schedule restarts from now instead of bursting
  Recorder burst(stalled);
  playMacro(macroScript(abMacro(0, 0)), stalled, burst, stop);
  const std::vector<std::string> afresh = {"D41@0", "U41@630", "D42@1150", "U42@1150"};
  EXPECT_EQ(burst.got, afresh);

  // A key that takes long to send delays the schedule instead of shortening the pause after it.
  class SlowKeys final : public MacroKeys {
  public:
    explicit SlowKeys(FakeClock& c) : clock(c), recorder(c) {}
    void key(uint8_t vk, bool release) override {
      recorder.key(vk, release);
      if (first) clock.now += 25000; // the first send blocks for 25 ms
      first = false;
    }
    FakeClock& clock;
    Recorder recorder;
    bool first = true;
  };
  FakeClock slowClock;
  SlowKeys slow(slowClock);
  playMacro(macroScript(abMacro(0, 0)), slowClock, slow, stop);
  const std::vector<std::string> pauseKept = {"D41@0", "U41@155", "D42@175", "U42@175"};
  EXPECT_EQ(slow.recorder.got, pauseKept);
}

TEST(MacroPlayer, RepeatingModesRunUntilStoppedAndReleaseWhatTheyHold) {
  FakeClock clock;
  Recorder keys(clock);
  std::atomic<bool> stop{false};
  clock.stop = &stop;
  clock.waitsBeforeStop = 6; // two rounds of three waits, then stopped in the first pause
  EXPECT_EQ(playMacro(macroScript(abMacro(1, 0)), clock, keys, stop), 2);
  ASSERT_EQ(keys.got.size(), 10u);
  EXPECT_EQ(keys.got[8], "D41@400");
  EXPECT_EQ(keys.got[9], "U41@400"); // the held A released when stopped
}

TEST(MacroPlayer, ARepeatingMacroWithoutPausesTakesAMinimumRound) {
  KeyRecord r{};
  r.Kind = 2;
  r.RepeatMode = 2;
  addKey(r, 'Z', true);
  addKey(r, 'Z', false);
  FakeClock clock;
  Recorder keys(clock);
  std::atomic<bool> stop{false};
  clock.stop = &stop;
  clock.waitsBeforeStop = 3;
  EXPECT_EQ(playMacro(macroScript(r), clock, keys, stop), 4); // stopped in the wait after the fourth
  EXPECT_EQ(keys.got.size(), 8u);
  EXPECT_EQ(keys.got[6], "D5A@30");
}

TEST(MacroPlayer, AStopBeforeTheStartPlaysNothingAndAMacroWithoutKeysDoesNotWait) {
  FakeClock clock;
  Recorder keys(clock);
  std::atomic<bool> stop{true};
  EXPECT_EQ(playMacro(macroScript(abMacro(0, 3)), clock, keys, stop), 0);
  EXPECT_TRUE(keys.got.empty());
  KeyRecord pauses{};
  addPause(pauses, 60000);
  pauses.RepeatMode = 1;
  stop = false;
  EXPECT_EQ(playMacro(macroScript(pauses), clock, keys, stop), 0);
  EXPECT_EQ(clock.now, 5000);
}

} // namespace
} // namespace q7
