#include "macro/macro_test_play.h"

#include <gtest/gtest.h>

#include "fakes/us_typed_text.h"
#include "macro/macro_model.h"

namespace q7 {
namespace {

class NoCharacters final : public KeyboardText {
public:
  std::optional<uint8_t> unshiftedCharacter(uint8_t) override { return std::nullopt; }
};

struct Event {
  uint8_t vk;
  bool released;
  uint16_t pauseMs;
};

KeyRecord macro(std::initializer_list<Event> events) {
  KeyRecord r{};
  for (const Event& e : events) {
    appendKey(r, e.vk, e.released);
    appendPause(r, e.pauseMs);
  }
  return r;
}

class Player : public ::testing::Test {
protected:
  MacroTestPlayer::Step at(uint32_t ms) { return player.advance(ms, layout, names); }
  // Plays to the end, one call at each time asked for.
  void playThrough(uint32_t from) {
    uint32_t now = from;
    for (int calls = 0; player.playing() && calls < 10000; ++calls) {
      const MacroTestPlayer::Step s = at(now);
      if (s.nextInMs) now += *s.nextInMs;
    }
    EXPECT_FALSE(player.playing());
  }

  MacroTestPlayer player;
  test::UsTypedText layout;
  NoCharacters names;
};

constexpr uint8_t kLShift = 0xA0, kRShift = 0xA1, kLCtrl = 0xA2;

TEST_F(Player, TypesCharactersWithTheShiftHeldAtThatMoment) {
  const KeyRecord r = macro({{kLShift, false, 20},
                             {'H', false, 20},
                             {'H', true, 20},
                             {kLShift, true, 20},
                             {'I', false, 20},
                             {'I', true, 20},
                             {kRShift, false, 0},
                             {'1', false, 0},
                             {'1', true, 0},
                             {kRShift, true, 0},
                             {0xBA, false, 0},
                             {0xBA, true, 0}});
  player.start(r, 1, 500);
  playThrough(500);
  EXPECT_EQ(player.preview(), u"Hi!;");
}

TEST_F(Player, OtherKeysShowTheirNameInBrackets) {
  const KeyRecord r = macro({{0x74, false, 0}, // F5
                             {0x74, true, 0},
                             {0x0D, false, 0}, // Enter types a control character
                             {0x0D, true, 0},
                             {kLCtrl, false, 0},
                             {'C', false, 0},
                             {'C', true, 0},
                             {kLCtrl, true, 0},
                             {0x2C, false, 0}, // no character, no name of the editor's list
                             {0x2C, true, 0}});
  player.start(r, 1, 0);
  playThrough(0);
  EXPECT_EQ(player.preview(), u"[F5][Enter][Ctrl+C][PrtSrn]");
}

TEST_F(Player, KeysComeAtTheTimesOfTheStoredPauses) {
  const KeyRecord r = macro({{'A', false, 130}, {'A', true, 70}, {'B', false, 300}, {'B', true, 0}});
  player.start(r, 1, 1000);
  const struct {
    uint32_t now;
    uint32_t played;
    std::optional<uint32_t> nextIn;
    uint32_t late;
    const char16_t* preview;
  } steps[] = {
      {1000, 1, 130, 0, u"a"},
      {1129, 0, 1, 0, u"a"},
      {1135, 1, 65, 5, u"a"},
      {1200, 1, 300, 0, u"ab"},
      {1520, 1, std::nullopt, 20, u"ab"},
  };
  for (const auto& s : steps) {
    const MacroTestPlayer::Step step = at(s.now);
    EXPECT_EQ(step.played, s.played) << s.now;
    EXPECT_EQ(step.nextInMs, s.nextIn) << s.now;
    EXPECT_EQ(step.lateMs, s.late) << s.now;
    EXPECT_EQ(player.preview(), s.preview) << s.now;
  }
  EXPECT_FALSE(player.playing());
  EXPECT_EQ(player.playedMs(), 520u);
  EXPECT_EQ(player.storedMs(), 500u);
}

TEST_F(Player, RoundsEndAfterTheLastClosingPause) {
  const KeyRecord r = macro({{'A', false, 10}, {'A', true, 40}});
  player.start(r, 3, 0xFFFFFFF0u); // the clock wraps during the play
  EXPECT_EQ(at(0xFFFFFFF0u).nextInMs, 10u);
  playThrough(0xFFFFFFF0u);
  EXPECT_EQ(player.preview(), u"aaa");
  EXPECT_EQ(player.storedMs(), 150u);
  EXPECT_EQ(player.playedMs(), 150u);

  player.start(r, 0, 0); // a count of 0 plays nothing
  EXPECT_FALSE(at(0).nextInMs);
  EXPECT_FALSE(player.playing());
  EXPECT_EQ(player.preview(), u"");
}

TEST_F(Player, UntilStoppedAndAStopEndsAtOnce) {
  const KeyRecord r = macro({{'A', false, 10}, {'A', true, 10}});
  player.start(r, std::nullopt, 0);
  for (uint32_t t = 0; t <= 100000; t += 20) at(t);
  EXPECT_TRUE(player.playing());
  EXPECT_EQ(player.preview().size(), kPreviewLength); // the newest characters only
  player.stop();
  EXPECT_FALSE(player.playing());
  const MacroTestPlayer::Step after = at(200000);
  EXPECT_EQ(after.played, 0u);
  EXPECT_FALSE(after.nextInMs);
  EXPECT_EQ(player.playedMs(), 100000u);
  EXPECT_EQ(player.storedMs(), 100000u);
}

TEST_F(Player, PausesOfZeroUntilStoppedStillLetTheCallerIn) {
  const KeyRecord r = macro({{'A', false, 0}, {'A', true, 0}});
  player.start(r, std::nullopt, 0);
  const MacroTestPlayer::Step s = at(0);
  EXPECT_EQ(s.played, kEventsPerAdvance);
  EXPECT_EQ(s.nextInMs, 0u);
}

} // namespace
} // namespace q7
