#include "monitor/monitor_link.h"

#include <gtest/gtest.h>

#include "fakes/recording_messenger.h"

namespace q7 {
namespace {

using test::Posted;

TEST(MonitorLink, PostsTheFourMessagesToTheWindowFoundByTitle) {
  test::RecordingMessenger m;
  m.windows[u"Q7PrismoMon"] = 0x77;
  MonitorLink link(m);
  link.announceWindow(0x1234);
  link.notifyProfile(6);
  EXPECT_TRUE(link.notifySaved(3));
  link.announceGone();
  const std::vector<Posted> expected = {
      {0x77, 1538, 0x1234, 0}, {0x77, 1542, 6, 0}, {0x77, 2026, 1, 3}, {0x77, 1538, 0, 0}};
  EXPECT_EQ(m.posted, expected);
  EXPECT_EQ(m.lookups, 4); // looked up before every message, never kept
}

TEST(MonitorLink, SendsNothingWhenTheMonitorIsMissing) {
  test::RecordingMessenger m;
  m.windows[u"q7prismomon"] = 0x77; // titles compare exactly
  MonitorLink link(m);
  EXPECT_EQ(link.findMonitor(), 0u);
  link.announceWindow(0x1234);
  link.notifyProfile(1);
  EXPECT_FALSE(link.notifySaved(1));
  link.announceGone();
  EXPECT_TRUE(m.posted.empty());
}

TEST(MonitorLink, FollowsAMonitorThatWasReplaced) {
  test::RecordingMessenger m;
  m.windows[u"Q7PrismoMon"] = 0x10;
  MonitorLink link(m);
  link.notifyProfile(2);
  m.windows[u"Q7PrismoMon"] = 0x20;
  link.notifyProfile(3);
  ASSERT_EQ(m.posted.size(), 2u);
  EXPECT_EQ(m.posted[1].window, 0x20u);
}

} // namespace
} // namespace q7
