#include "monitor/profile_follower.h"

#include <gtest/gtest.h>

#include <vector>

namespace q7 {
namespace {

// One step of what reaches the monitor, and the profile it must then carry out.
struct Step {
  enum Kind { Asked, Shown, Saved } kind;
  int profile; // asked for, shown, or stored by the save
  int carried; // the profile the monitor carries out afterwards (for Asked: the one asked for)
};

void run(const char* what, const std::vector<Step>& steps) {
  SCOPED_TRACE(what);
  ProfileFollower follower;
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    int carried = s.profile;
    switch (s.kind) {
    case Step::Asked:
      follower.asked(s.profile);
      break;
    case Step::Shown:
      carried = follower.shown(s.profile);
      break;
    case Step::Saved:
      carried = follower.saved(s.profile);
      break;
    }
    EXPECT_EQ(carried, s.carried) << "step " << i;
  }
}

TEST(ProfileFollower, ASaveBeforeTheWindowFollowsDoesNotTakeTheMonitorBack) {
  using S = Step;
  // The window answers Yes to its question: the save stores the profile it leaves, then it follows.
  run("Yes", {{S::Asked, 3, 3}, {S::Saved, 1, 3}, {S::Saved, 3, 3}, {S::Saved, 4, 4}});
  // A save already on its way when the request was made.
  run("crossing", {{S::Asked, 3, 3}, {S::Saved, 1, 3}, {S::Shown, 5, 5}, {S::Saved, 5, 5}});
  // The latest request wins.
  run("two requests", {{S::Asked, 3, 3}, {S::Asked, 4, 4}, {S::Saved, 3, 4}, {S::Saved, 4, 4}, {S::Saved, 2, 2}});
}

TEST(ProfileFollower, TheWindowsOwnProfileWinsOnceItHasFollowed) {
  using S = Step;
  // Saves with nothing asked carry out what was stored.
  run("plain saves", {{S::Saved, 2, 2}, {S::Saved, 7, 7}, {S::Saved, -1, -1}});
  // The window followed silently, then the user chose another profile on it (1542).
  run("profile button", {{S::Asked, 3, 3}, {S::Shown, 2, 2}, {S::Saved, 2, 2}});
  // A new window announces the stored profile: the old request no longer counts.
  run("new window", {{S::Asked, 3, 3}, {S::Shown, 1, 1}, {S::Saved, 1, 1}});
  // The window stored the profile asked for: later saves count again.
  run("stored", {{S::Asked, 3, 3}, {S::Saved, 3, 3}, {S::Saved, 6, 6}});
}

} // namespace
} // namespace q7
