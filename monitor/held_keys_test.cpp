#include "monitor/held_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace q7 {
namespace {

using Keys = std::vector<uint8_t>;

// Plays a history: "S+x" the monitor pressed x, "S-x" released it, "U+x" / "U-x" the user pressed
// or released x on the keyboard (x a virtual key in hex).
HeldKeys after(const std::vector<std::string>& history) {
  HeldKeys held;
  for (const std::string& h : history) {
    const auto vk = static_cast<uint8_t>(std::stoi(h.substr(2), nullptr, 16));
    if (h[0] == 'S')
      held.sent(vk, h[1] == '-');
    else
      held.passed(vk, h[1] == '-');
  }
  return held;
}

TEST(HeldKeys, ReleaseAllReleasesWhatTheMonitorHoldsAndNothingTheUserHolds) {
  const struct Case {
    const char* name;
    std::vector<std::string> history;
    Keys releases;
  } cases[] = {
      {"nothing held", {}, {}},
      {"a remap's target", {"S+42"}, {0x42}},
      {"a target pressed and released", {"S+42", "S-42"}, {}},
      {"a macro's keys, in the order pressed", {"S+58", "S+A0", "S+59", "S-58"}, {0xA0, 0x59}},
      {"auto-repeat of a target is one hold", {"S+42", "S+42", "S+42"}, {0x42}},
      {"the user's own key is never released", {"U+A0"}, {}},
      {"a target the user also holds stays down", {"U+A2", "S+A2"}, {}},
      {"generic Shift while the user holds Left Shift", {"U+A0", "S+10"}, {}},
      {"generic Ctrl while the user holds Right Ctrl", {"U+A3", "S+11"}, {}},
      {"the user let go of his key", {"U+A0", "S+10", "U-A0"}, {0x10}},
      {"the user's release of the same key ends the hold", {"S+A0", "U+A0", "U-A0"}, {}},
      {"left and right are different keys", {"U+A1", "S+A0"}, {0xA0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeldKeys held = after(c.history);
    for (uint8_t vk : c.releases) EXPECT_TRUE(held.holds(vk)) << int(vk);
    EXPECT_EQ(held.releaseAll(), c.releases);
    for (uint8_t vk : c.releases) EXPECT_FALSE(held.holds(vk)) << int(vk);
    EXPECT_EQ(held.releaseAll(), Keys{}) << "a second release sends nothing";
  }
}

TEST(HeldKeys, AMacroLiftsTheUsersModifiersAndPressesAgainThoseStillHeld) {
  HeldKeys held = after({"U+A0", "U+41", "U+A3", "U+5B", "U+A4", "U-A4"});
  const Keys lifted = held.userModifiers();
  EXPECT_EQ(lifted, (Keys{0xA0, 0xA3, 0x5B}));
  held.passed(0xA3, true); // let go while the macro played
  EXPECT_EQ(held.stillHeld(lifted), (Keys{0xA0, 0x5B}));
  EXPECT_EQ(HeldKeys().userModifiers(), Keys{});
}

} // namespace
} // namespace q7
