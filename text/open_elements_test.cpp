#include "text/open_elements.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace q7::xml {
namespace {

TEST(OpenElements, WhichEndTagsCloseWhichStartTags) {
  struct Case {
    std::u16string_view start, end;
    bool closes;
  };
  const Case cases[] = {
      {u"a", u"a", true},     {u"a=b", u"a", true},     {u"a[1]", u"a", true}, {u"a]", u"a", true},
      {u"a=b", u"a=b", true}, {u"a=b=c", u"a=b", true}, {u"ab", u"a", false},  {u"a", u"ab", false},
      {u"a-b", u"a", false},  {u"a", u"", false},       {u"A", u"a", false},   {u"a", u"a=b", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(endTagCloses(c.start, c.end), c.closes)
        << std::string(c.start.begin(), c.start.end()) << " / " << std::string(c.end.begin(), c.end.end());
}

// Random pushes, end tags and pops over names from a small alphabet with the continuing
// characters: the walking search and the name index must always agree.
TEST(OpenElements, IndexedSearchAgreesWithWalking) {
  std::mt19937 random(7);
  const std::u16string letters = u"ab=[]";
  std::u16string text;
  std::vector<std::pair<uint32_t, uint32_t>> names;
  for (int i = 0; i < 400; ++i) {
    const uint32_t start = uint32_t(text.size());
    const int length = 1 + int(random() % 4);
    text += u"ab"[random() % 2];
    for (int k = 1; k < length; ++k) text += letters[random() % letters.size()];
    names.emplace_back(start, uint32_t(length));
  }
  const std::u16string_view view(text);

  OpenElements walking(view), indexed(view);
  indexed.useNameIndex();
  int found = 0;
  for (int step = 0; step < 20000; ++step) {
    const auto& [start, length] = names[random() % names.size()];
    const int op = int(random() % 3);
    if (op == 0 || walking.empty()) {
      walking.push(uint32_t(step), start, length);
      indexed.push(uint32_t(step), start, length);
    } else {
      const std::u16string_view endName = view.substr(start, 1 + random() % length);
      const int64_t a = walking.findClosed(endName);
      ASSERT_EQ(a, indexed.findClosed(endName)) << step;
      if (a >= 0) {
        ++found;
        walking.popTo(size_t(a));
        indexed.popTo(size_t(a));
      }
    }
    ASSERT_EQ(walking.size(), indexed.size());
  }
  EXPECT_GT(found, 1000);
}

TEST(OpenElements, SwitchesToTheIndexWhenStrayEndTagsGetExpensive) {
  const std::u16string text = u"a" + std::u16string(999, u' ');
  OpenElements open(text);
  for (uint32_t i = 0; i < 100; ++i) open.push(i, 0, 1);
  int strays = 0;
  while (!open.usesNameIndex() && strays < 1000) {
    EXPECT_EQ(open.findClosed(u"x"), -1);
    ++strays;
  }
  EXPECT_TRUE(open.usesNameIndex());
  EXPECT_GT(strays, 10); // a few strays alone do not switch
  EXPECT_EQ(open.findClosed(u"a"), 99);
  open.popTo(99);
  EXPECT_EQ(open.findClosed(u"a"), 98);
  open.popTo(0);
  EXPECT_EQ(open.findClosed(u"a"), -1);
}

} // namespace
} // namespace q7::xml
