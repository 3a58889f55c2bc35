#include "monitor/monitor_settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/memory_registry.h"
#include "settings/registry_store.h"

namespace q7 {
namespace {

std::vector<uint8_t> bytes(const void* p, size_t n) {
  auto* b = static_cast<const uint8_t*>(p);
  return {b, b + n};
}
std::vector<uint8_t> text(std::u16string_view s) { return bytes(s.data(), s.size() * 2); }

TEST(MonitorSettings, CurrentProfileIsBoundedAndMissingWithoutTheMainKey) {
  test::MemoryRegistry reg;
  EXPECT_EQ(readCurrentProfile(reg), -1);
  const struct {
    std::vector<uint8_t> stored;
    int current;
  } cases[] = {{{}, 0}, {{3}, 3}, {{8}, 8}, {{9}, 1}, {{255}, 1}, {{4, 1, 0, 0}, 4}};
  for (const auto& c : cases) {
    reg.keys[kMainKeyPath].clear();
    if (!c.stored.empty()) reg.keys[kMainKeyPath][u"ProfileCurrent"] = c.stored;
    EXPECT_EQ(readCurrentProfile(reg), c.current);
  }
  EXPECT_EQ(reg.writeCount, 0u);
  EXPECT_TRUE(reg.created.empty());
}

TEST(MonitorSettings, ReadsOneProfilesKeysWithoutCreatingOrWriting) {
  test::MemoryRegistry reg;
  KeyRecord remap{};
  remap.Kind = 1;
  remap.setSingleKeyVk('B');
  reg.keys[profileKeyPath(2)][u"Button059"] = bytes(&remap, sizeof remap);
  std::vector<uint8_t> longer(5000, 0x0A); // another program's oversized value: cut to the record
  reg.keys[profileKeyPath(2)][u"Button060"] = longer;
  reg.keys[profileKeyPath(2)][u"Button061"] = {10}; // a short one: the rest stays zero

  auto keys = readProfileKeys(reg, 2, KeyLayout::Ansi);
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->profile, 2);
  EXPECT_EQ(keys->records[59].Kind, 1);
  EXPECT_EQ(keys->records[59].singleKeyVk(), 'B');
  EXPECT_EQ(keys->records[60].Kind, 10);
  EXPECT_EQ(keys->records[60].KeyColor, 0x0A0A0A0Au);
  EXPECT_EQ(keys->records[61].Kind, 10);
  EXPECT_EQ(keys->records[61].EventCount, 0u);
  EXPECT_EQ(keys->records[0].Kind, 0);
  EXPECT_EQ(keys->positionOfVk['A'], 59);

  auto missing = readProfileKeys(reg, 5, KeyLayout::Iso); // no key: every record default
  ASSERT_TRUE(missing);
  for (const KeyRecord& r : missing->records) EXPECT_EQ(r.Kind, 0);
  EXPECT_FALSE(readProfileKeys(reg, 9, KeyLayout::Ansi));
  EXPECT_FALSE(readProfileKeys(reg, -1, KeyLayout::Ansi));
  EXPECT_EQ(reg.writeCount, 0u);
  EXPECT_TRUE(reg.created.empty());
}

TEST(MonitorSettings, LinkedProgramsEndAtTheirSlot) {
  test::MemoryRegistry reg;
  reg.keys[profileKeyPath(3)][u"LinkExe0"] = text(u"game.exe");
  reg.keys[profileKeyPath(3)][u"LinkExe4"] = text(std::u16string(400, u'x')); // no terminator
  const LinkedPrograms links = readLinkedPrograms(reg);
  EXPECT_EQ(links[3][0], u"game.exe");
  EXPECT_EQ(links[3][4].size(), 260u);
  EXPECT_TRUE(links[0][0].empty());
  EXPECT_TRUE(reg.created.empty());
}

TEST(MonitorSettings, TheProgramInFrontChoosesItsProfile) {
  LinkedPrograms links;
  links[2][4] = u"Game.EXE";
  links[4][0] = u"editor.exe";
  links[5][1] = u"editor.exe";
  links[7][2] = u"C:\\Tools\\tool.exe"; // written by another program with a folder
  links[1][0] = u"ÉCRAN.exe";
  const struct {
    std::u16string_view program;
    int current, profile;
  } cases[] = {
      {u"C:\\Games\\game.exe", 1, 2}, {u"game.exe", 2, 2},
      {u"Z:/home/u/GAME.exe", 0, 2},  {u"C:\\x\\editor.exe", 1, 4},
      {u"C:\\x\\editor.exe", 5, 5},   {u"D:\\tool.exe", 1, 7},
      {u"C:\\écran.EXE", 3, 1},       {u"C:\\game.exe.bak", 1, -1},
      {u"C:\\ame.exe", 1, -1},        {u"", 1, -1},
      {u"C:\\Games\\", 1, -1},        {u"notepad.exe", 9, -1},
      {u"game.exe", 42, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(linkedProfile(links, c.program, c.current), c.profile)
        << std::string(c.program.begin(), c.program.end()) << " " << c.current;
  }
  LinkedPrograms empty;
  EXPECT_EQ(linkedProfile(empty, u"C:\\a\\", 1), -1); // empty links never match an empty name
}

} // namespace
} // namespace q7
