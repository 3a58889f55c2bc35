#include "keys/linked_programs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <set>

#include "ui/dialog_result.h"

namespace q7 {
namespace {

struct FakeView final : LinkedProgramsView {
  std::deque<std::optional<std::u16string>> answers; // what the file dialog returns, in turn
  std::set<int> repainted;
  int result = 0;
  std::optional<std::u16string> chooseProgram() override {
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
  void repaintSlot(int slot) override { repainted.insert(slot); }
  void endDialog(int r) override { result = r; }
};

LinkSlots slotsWith(std::initializer_list<std::u16string_view> names) {
  LinkSlots s{};
  int i = 0;
  for (std::u16string_view n : names) std::copy(n.begin(), n.end(), s.names[i++]);
  return s;
}

class LinkedProgramsTest : public ::testing::Test {
protected:
  LinkSlots profileSlots = slotsWith({u"a.exe", u"b.exe", u"", u"d.exe", u"e.exe"});
  FakeView view;
};

TEST_F(LinkedProgramsTest, WorksOnACopyThatOnlyOkHandsBack) {
  LinkedPrograms dialog(4, profileSlots, view);
  dialog.clear();
  EXPECT_EQ(view.repainted, (std::set<int>{0, 1, 2, 3, 4}));
  for (int i = 0; i < kLinkSlots; ++i) EXPECT_TRUE(dialog.shownName(i).empty()) << i;
  const LinkSlots zero{};
  EXPECT_EQ(0, std::memcmp(&dialog.slots(), &zero, sizeof zero));  // every byte, not only the texts
  EXPECT_EQ(profileSlots.names[0], std::u16string_view(u"a.exe")); // the profile's own slots stay

  dialog.cancel();
  EXPECT_EQ(view.result, kResultNo);
  dialog.ok();
  EXPECT_EQ(view.result, kResultYes);
  EXPECT_EQ(dialog.profile(), 4);
}

TEST_F(LinkedProgramsTest, BrowseKeepsTheFileNameWithoutItsFolder) {
  struct Case {
    std::optional<std::u16string> chosen;
    std::u16string_view slot2; // what slot 2 then holds
  };
  const Case cases[] = {
      {u"C:\\Games\\Arena\\game.exe", u"game.exe"},
      {u"Z:/home/user/tool.exe", u"tool.exe"},
      {u"plain.exe", u"plain.exe"},
      {std::nullopt, u"old.exe"},   // cancelled
      {u"C:\\Games\\", u"old.exe"}, // no file name: the slot stays
      {u"", u"old.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.slot2.begin(), c.slot2.end()));
    LinkSlots start = slotsWith({u"", u"", u"old.exe", u"", u""});
    start.names[2][100] = u'X'; // garbage behind the terminator goes when a name is taken
    LinkedPrograms dialog(1, start, view);
    view.answers = {c.chosen};
    view.repainted.clear();
    dialog.browse(2);
    EXPECT_EQ(std::u16string_view(dialog.slots().names[2]), c.slot2);
    const bool taken = c.slot2 != u"old.exe";
    EXPECT_EQ(view.repainted.count(2), taken ? 1u : 0u);
    EXPECT_EQ(dialog.slots().names[2][100], taken ? u'\0' : u'X');
  }
}

TEST_F(LinkedProgramsTest, TheSameProgramTwiceIsStoredTwice) {
  LinkedPrograms dialog(2, profileSlots, view);
  view.answers = {u"C:\\x\\same.exe", u"D:\\y\\same.exe"};
  dialog.browse(0);
  dialog.browse(4);
  EXPECT_EQ(std::u16string_view(dialog.slots().names[0]), u"same.exe");
  EXPECT_EQ(std::u16string_view(dialog.slots().names[4]), u"same.exe");
  EXPECT_EQ(std::u16string_view(dialog.slots().names[1]), u"b.exe");
  dialog.browse(5); // no such slot: no dialog either
  dialog.browse(-1);
  EXPECT_TRUE(view.answers.empty());
}

TEST_F(LinkedProgramsTest, LongNamesStayInsideTheSlotAndShowAsTheyWillBeStored) {
  LinkedPrograms dialog(3, profileSlots, view);
  view.answers = {u"C:\\" + std::u16string(400, u'n') + u".exe"};
  dialog.browse(1);
  const char16_t* slot = dialog.slots().names[1];
  EXPECT_EQ(slot[kLinkSlotUnits - 2], u'n');
  EXPECT_EQ(slot[kLinkSlotUnits - 1], 0);                  // terminated inside the slot
  EXPECT_EQ(std::u16string(dialog.slots().names[2]), u""); // the next slot untouched
  EXPECT_EQ(dialog.shownName(1), std::u16string(kLinkStoredUnits, u'n'));

  // A slot from a registry value or a profile file may hold no terminator at all.
  LinkSlots crafted{};
  for (auto& slot : crafted.names)
    for (char16_t& c : slot) c = u'z';
  LinkedPrograms unterminated(3, crafted, view);
  for (int i = 0; i < kLinkSlots; ++i) EXPECT_EQ(unterminated.shownName(i).size(), size_t(kLinkStoredUnits)) << i;
  EXPECT_TRUE(unterminated.shownName(5).empty());
}

} // namespace
} // namespace q7
