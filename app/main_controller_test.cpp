#include "app/main_controller.h"

#include <gtest/gtest.h>

#include "fakes/memory_registry.h"
#include "fakes/recording_messenger.h"
#include "settings/settings_image.h"

namespace q7 {
namespace {

struct FakeMainView final : MainView {
  std::vector<std::string> calls;
  void setMainWindowEnabled(bool enabled) override { calls.push_back(enabled ? "enable" : "disable"); }
  void awaitSaveAcknowledgement() override { calls.push_back("await"); }
  void repaintMainWindow() override {}
  void closeWindow() override { calls.push_back("close"); }
  void activateWindow() override { calls.push_back("activate"); }
  void showSelectedKeyNormal(int position) override { calls.push_back("normal " + std::to_string(position)); }
  void showProfile(int profile) override { calls.push_back("show " + std::to_string(profile)); }
};

class MainControllerTest : public ::testing::Test {
protected:
  void SetUp() override {
    resetWorking();
    commitSaved();
    messenger.windows[u"Q7PrismoMon"] = 0x99;
  }
  test::MemoryRegistry reg;
  test::RecordingMessenger messenger;
  MonitorLink link{messenger};
  FakeMainView view;
  MainController controller{reg, link, view};
};

TEST_F(MainControllerTest, WithoutMonitorNothingIsWrittenOrSent) {
  messenger.windows.clear();
  EXPECT_FALSE(controller.initialise(0x1234));
  EXPECT_TRUE(reg.keys.empty());
  EXPECT_EQ(reg.writeCount, 0u);
  EXPECT_TRUE(messenger.posted.empty());
  EXPECT_EQ(controller.shownProfile(), -1);
}

TEST_F(MainControllerTest, FirstRunAnnouncesTheWindowThenShowsProfileOne) {
  ASSERT_TRUE(controller.initialise(0x1234));
  const std::vector<test::Posted> expected = {{0x99, 1538, 0x1234, 0}, {0x99, 1542, 1, 0}};
  EXPECT_EQ(messenger.posted, expected);
  EXPECT_EQ(controller.shownProfile(), 1);
  EXPECT_EQ(working().header.ProfileCurrent, 1u);
  EXPECT_EQ(reg.keys.size(), 190u);
  EXPECT_TRUE(hasUnsavedChanges()); // the stored ProfileCurrent is still 0
}

TEST_F(MainControllerTest, StartsOnTheStoredProfileAndRecountsItsKeys) {
  ASSERT_TRUE(controller.initialise(0x1234));
  working().header.ProfileCurrent = 6;
  key(6, 3).Kind = 10;
  key(6, 50).Kind = 5;
  profile(6).FuncKey = 99;
  controller.save();
  messenger.posted.clear();
  resetWorking();
  commitSaved();
  MainController second(reg, link, view);
  ASSERT_TRUE(second.initialise(0x5678));
  EXPECT_EQ(second.shownProfile(), 6);
  EXPECT_EQ(profile(6).FuncKey, 2u);
  EXPECT_EQ(messenger.posted.back(), (test::Posted{0x99, 1542, 6, 0}));
}

TEST_F(MainControllerTest, SwitchingNotifiesOnlyWhenAskedAndNeverTwice) {
  ASSERT_TRUE(controller.initialise(0x1234));
  messenger.posted.clear();
  controller.switchProfile(1, true); // already shown
  controller.switchProfile(3, false);
  controller.switchProfile(4, true);
  controller.switchProfile(9, true); // no such profile
  controller.switchProfile(-1, true);
  const std::vector<test::Posted> expected = {{0x99, 1542, 4, 0}};
  EXPECT_EQ(messenger.posted, expected);
  EXPECT_EQ(controller.shownProfile(), 4);
  EXPECT_EQ(working().header.ProfileCurrent, 4u);
}

TEST_F(MainControllerTest, SaveHandshake) {
  ASSERT_TRUE(controller.initialise(0x1234));
  view.calls.clear();
  controller.save();
  EXPECT_TRUE(controller.awaitingAcknowledgement());
  controller.onSaveAcknowledged();
  controller.onAcknowledgementOverdue(); // the wait ran out after the answer came: nothing more
  std::vector<std::string> expected = {"disable", "await", "enable"};
  EXPECT_EQ(view.calls, expected);

  view.calls.clear();
  controller.save();
  controller.onAcknowledgementOverdue(); // no answer: the window must not stay disabled
  expected = {"disable", "await", "enable"};
  EXPECT_EQ(view.calls, expected);

  view.calls.clear();
  controller.setClosePending();
  controller.save();
  controller.onSaveAcknowledged();
  expected = {"disable", "await", "enable", "close"};
  EXPECT_EQ(view.calls, expected);
}

TEST_F(MainControllerTest, SaveWithTheMonitorGoneWaitsForNothing) {
  ASSERT_TRUE(controller.initialise(0x1234));
  messenger.windows.clear();
  view.calls.clear();
  controller.save();
  EXPECT_FALSE(controller.awaitingAcknowledgement());
  const std::vector<std::string> expected = {"disable", "enable"};
  EXPECT_EQ(view.calls, expected);
}

TEST_F(MainControllerTest, ReleaseWithParameter16EnablesAndDeselects) {
  ASSERT_TRUE(controller.initialise(0x1234));
  controller.setSelectedKey(42);
  view.calls.clear();
  controller.onRelease(15);
  EXPECT_TRUE(view.calls.empty());
  EXPECT_EQ(controller.selectedKey(), 42);
  controller.onRelease(16);
  const std::vector<std::string> expected = {"enable", "normal 42", "activate"};
  EXPECT_EQ(view.calls, expected);
  EXPECT_EQ(controller.selectedKey(), -1);
}

} // namespace
} // namespace q7
