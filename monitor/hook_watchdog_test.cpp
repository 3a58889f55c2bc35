#include "monitor/hook_watchdog.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

constexpr uint32_t A = 0x1E, B = 0x30, End = 0x4F, NavEnd = 0x4F + 256;

// A history of reports at fake times, and whether the hook counts as lost at a later time.
TEST(HookWatchdog, AKeyThatRawInputReportedAndTheHookDidNotSeeMeansTheHookIsGone) {
  enum Source { Raw, Hook };
  struct Report {
    Source source;
    int64_t ms;
    uint32_t place;
  };
  const struct Case {
    const char* name;
    std::vector<Report> reports;
    int64_t at;
    bool lost;
    int64_t next;
  } cases[] = {
      {"no keys: nothing to check", {}, 100000, false, -1},
      {"the hook saw the key first", {{Hook, 0, A}, {Raw, 20, A}}, 10000, false, -1},
      {"raw input first, the hook soon after", {{Raw, 0, A}, {Hook, 499, A}}, 10000, false, -1},
      {"not seen, within the grace time", {{Raw, 0, A}}, 499, false, 500},
      {"not seen for the grace time", {{Raw, 0, A}}, 500, true, 500},
      {"another key does not count", {{Raw, 0, A}, {Hook, 10, B}}, 600, true, 500},
      {"the pad's End is not the navigation block's", {{Raw, 0, End}, {Hook, 5, NavEnd}}, 600, true, 500},
      {"a hook report long before does not match", {{Hook, 0, A}, {Raw, 2000, A}}, 2500, true, 2500},
      {"typing on, every key seen",
       {{Raw, 0, A}, {Hook, 1, A}, {Hook, 100, B}, {Raw, 120, B}, {Raw, 300, A}, {Hook, 302, A}},
       5000,
       false,
       -1},
      {"two presses of one key, one seen", {{Raw, 0, A}, {Raw, 100, A}, {Hook, 110, A}}, 599, false, 600},
      {"the oldest unseen press decides", {{Raw, 0, A}, {Raw, 300, B}, {Hook, 310, B}}, 500, true, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HookWatchdog dog;
    for (const Report& r : c.reports) (r.source == Raw ? dog.rawKey(r.ms, r.place) : dog.hookKey(r.ms, r.place));
    EXPECT_EQ(dog.hookLost(c.at), c.lost);
    EXPECT_EQ(dog.nextCheck(), c.next);
  }
}

TEST(HookWatchdog, AResetForgetsWhatIsPending) {
  HookWatchdog dog;
  dog.rawKey(0, A);
  dog.hookKey(0, B);
  dog.reset();
  EXPECT_FALSE(dog.hookLost(1000));
  EXPECT_EQ(dog.nextCheck(), -1);
  dog.rawKey(1000, B); // the hook report of B before the reset is gone
  EXPECT_TRUE(dog.hookLost(1500));
}

TEST(HookWatchdog, EndlessUnmatchedReportsStayBounded) {
  HookWatchdog dog;
  for (int i = 0; i < 100000; ++i) dog.hookKey(0, static_cast<uint32_t>(i % 500));
  for (int i = 0; i < 100000; ++i) dog.rawKey(10, static_cast<uint32_t>(1000 + i));
  EXPECT_TRUE(dog.hookLost(510));
  EXPECT_EQ(dog.nextCheck(), 510);
}

} // namespace
} // namespace q7
