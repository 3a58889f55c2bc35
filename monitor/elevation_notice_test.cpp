#include "monitor/elevation_notice.h"

#include <gtest/gtest.h>

#include <vector>

namespace q7 {
namespace {

constexpr FrontProcess kPlain{true, false, true, false};
constexpr FrontProcess kElevated{true, false, true, true};
constexpr FrontProcess kRefused{false, true, false, false};
constexpr FrontProcess kGone{false, false, false, false};       // ended before the query
constexpr FrontProcess kTokenUnread{true, false, false, false}; // opened, its token not readable

TEST(ElevationNotice, AProgramRunsAboveUsOnlyWhenItIsElevatedAndWeAreNot) {
  const struct {
    FrontProcess front;
    bool weAreElevated, above;
  } cases[] = {
      {kPlain, false, false},       {kElevated, false, true}, {kRefused, false, true}, {kGone, false, false},
      {kTokenUnread, false, false}, {kElevated, true, false}, {kRefused, true, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(runsAboveUs(c.front, c.weAreElevated), c.above)
        << c.front.opened << c.front.accessDenied << c.front.tokenRead << c.front.elevated << " us " << c.weAreElevated;
}

// The notice comes the first time an elevated program is in front, and never again in the run,
// however often the user switches between programs.
TEST(ElevationNotice, IsShownOnceTheFirstTimeAnElevatedProgramIsInFront) {
  ElevationNotice notice(false);
  std::vector<bool> shown;
  for (const FrontProcess& f : {kPlain, kGone, kElevated, kPlain, kElevated, kRefused})
    shown.push_back(notice.frontChanged(f));
  EXPECT_EQ(shown, (std::vector<bool>{false, false, true, false, false, false}));

  ElevationNotice elevatedMonitor(true);
  for (const FrontProcess& f : {kElevated, kRefused}) EXPECT_FALSE(elevatedMonitor.frontChanged(f));
}

} // namespace
} // namespace q7
