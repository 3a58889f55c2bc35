#include "monitor/key_actions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace q7 {
namespace {

constexpr uint8_t A = 'A';

// A profile in which the key that reports 'A' has the record built by make.
template <typename Make> ProfileKeys profileWith(int profile, Make make) {
  ProfileKeys keys;
  keys.profile = profile;
  keys.mapPositions(KeyLayout::Ansi);
  make(keys.records[keys.positionOfVk[A]]);
  return keys;
}

void addKey(KeyRecord& r, uint8_t vk, bool press) {
  uint8_t* e = r.Events + 6 * r.EventCount++;
  e[0] = vk;
  e[2] = press ? 0x80 : 0;
}
void addPause(KeyRecord& r, uint16_t ms) {
  uint8_t* e = r.Events + 6 * r.EventCount++;
  e[1] = 0xFF;
  e[4] = ms & 0xFF;
  e[5] = ms >> 8;
}
void macro(KeyRecord& r, int mode) {
  r.Kind = 2;
  r.RepeatMode = mode;
  addKey(r, 'X', true);
  addPause(r, 50);
  addKey(r, 'X', false);
  addPause(r, 0);
}

KeyEvent down(uint8_t vk = A) { return {vk, false, false}; }
KeyEvent up(uint8_t vk = A) { return {vk, true, false}; }

TEST(ProfileKeys, MapsTheVisibleKeysOfTheLayoutToTheirPositions) {
  ProfileKeys keys;
  keys.mapPositions(KeyLayout::Ansi);
  EXPECT_EQ(keys.positionOfVk[0x1B], 0); // Esc
  EXPECT_EQ(keys.positionOfVk['A'], 59);
  EXPECT_GE(keys.positionOfVk[0x6C], 0); // pad Enter
  EXPECT_EQ(keys.positionOfVk[0], -1);
  EXPECT_EQ(keys.positionOfVk[0xFF], -1);
  EXPECT_EQ(keys.positionOfVk[0x2C], 13); // Print Screen
  EXPECT_EQ(keys.positionOfVk[0x07], -1); // no key reports an unassigned code
}

// One press and release of the 'A' key, for every kind and play mode.
TEST(KeyActions, WhatAPressAndItsReleaseBecome) {
  const struct Case {
    const char* name;
    int profile;
    void (*make)(KeyRecord&);
    bool passThrough;
    int playing;
    KeyDecision press, release;
  } cases[] = {
      {"default", 1, [](KeyRecord&) {}, false, -1, {}, {}},
      {"disabled", 1, [](KeyRecord& r) { r.Kind = 10; }, false, -1, {KeyEffect::Swallow}, {KeyEffect::Swallow}},
      {"single key",
       1,
       [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk('B'); },
       false,
       -1,
       {KeyEffect::SendKey, 'B'},
       {KeyEffect::SendKey, 'B'}},
      {"single key without target", 1, [](KeyRecord& r) { r.Kind = 1; }, false, -1, {}, {}},
      {"single key on the pause marker",
       1,
       [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk(0xFF); },
       false,
       -1,
       {},
       {}},
      {"macro mode 0",
       1,
       [](KeyRecord& r) { macro(r, 0); },
       false,
       -1,
       {KeyEffect::PlayMacro, 0, 59},
       {KeyEffect::Swallow}},
      {"macro mode 0 while it plays starts afresh",
       1,
       [](KeyRecord& r) { macro(r, 0); },
       false,
       59,
       {KeyEffect::PlayMacro, 0, 59},
       {KeyEffect::Swallow}},
      {"macro mode 1 plays while held",
       1,
       [](KeyRecord& r) { macro(r, 1); },
       false,
       -1,
       {KeyEffect::PlayMacro, 0, 59},
       {KeyEffect::StopMacro, 0, 59}},
      {"macro mode 2 starts",
       1,
       [](KeyRecord& r) { macro(r, 2); },
       false,
       -1,
       {KeyEffect::PlayMacro, 0, 59},
       {KeyEffect::Swallow}},
      {"macro mode 2 stops its own macro",
       1,
       [](KeyRecord& r) { macro(r, 2); },
       false,
       59,
       {KeyEffect::StopMacro, 0, 59},
       {KeyEffect::Swallow}},
      {"macro mode 2 replaces another macro",
       1,
       [](KeyRecord& r) { macro(r, 2); },
       false,
       3,
       {KeyEffect::PlayMacro, 0, 59},
       {KeyEffect::Swallow}},
      {"unknown play mode plays as mode 0",
       1,
       [](KeyRecord& r) { macro(r, 7); },
       false,
       -1,
       {KeyEffect::PlayMacro, 0, 59},
       {KeyEffect::Swallow}},
      {"macro without events", 1, [](KeyRecord& r) { r.Kind = 2; }, false, -1, {}, {}},
      {"macro of pauses only",
       1,
       [](KeyRecord& r) { r.Kind = 2, addPause(r, 10), addPause(r, 10); },
       false,
       -1,
       {},
       {}},
      {"macro whose count is beyond the slots",
       1,
       [](KeyRecord& r) { macro(r, 0), r.EventCount = 0xFFFFFFFF; },
       false,
       -1,
       {KeyEffect::PlayMacro, 0, 59},
       {KeyEffect::Swallow}},
      {"program",
       1,
       [](KeyRecord& r) { r.Kind = 9, r.ProgramPath[0] = u'C'; },
       false,
       -1,
       {KeyEffect::StartProgram, 0, 59},
       {KeyEffect::Swallow}},
      {"program without path", 1, [](KeyRecord& r) { r.Kind = 9; }, false, -1, {}, {}},
      {"kind 3", 1, [](KeyRecord& r) { r.Kind = 3; }, false, -1, {}, {}},
      {"kind 8", 1, [](KeyRecord& r) { r.Kind = 8; }, false, -1, {}, {}},
      {"kind 200", 1, [](KeyRecord& r) { r.Kind = 200; }, false, -1, {}, {}},
      {"PC mode 0", 0, [](KeyRecord& r) { r.Kind = 10; }, false, -1, {}, {}},
      {"PC mode 6", 6, [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk('B'); }, false, -1, {}, {}},
      {"recording or paused", 1, [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk('B'); }, true, -1, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProfileKeys keys = profileWith(c.profile, c.make);
    KeyActions actions;
    EXPECT_EQ(actions.decide(down(), &keys, c.passThrough, c.playing), c.press);
    EXPECT_EQ(actions.decide(up(), &keys, c.passThrough, c.playing), c.release);
  }
}

TEST(KeyActions, PassesOurOwnKeysAndKeysWithoutSettingsOrPosition) {
  const ProfileKeys keys = profileWith(1, [](KeyRecord& r) { r.Kind = 10; });
  KeyActions actions;
  EXPECT_EQ(actions.decide({A, false, true}, &keys, false, -1), KeyDecision{});
  EXPECT_EQ(actions.decide({A, true, true}, &keys, false, -1), KeyDecision{});
  EXPECT_EQ(actions.decide(down(), nullptr, false, -1), KeyDecision{});
  EXPECT_EQ(actions.decide(up(), nullptr, false, -1), KeyDecision{});
  EXPECT_EQ(actions.decide(down(0x07), &keys, false, -1), KeyDecision{}); // no position reports it
  EXPECT_EQ(actions.decide(up(0xFF), &keys, false, -1), KeyDecision{});
}

TEST(KeyActions, AutoRepeatFollowsThePressAndStartsNothingTwice) {
  const ProfileKeys remap = profileWith(1, [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk('B'); });
  const ProfileKeys program = profileWith(1, [](KeyRecord& r) { r.Kind = 9, r.ProgramPath[0] = u'C'; });
  KeyActions actions;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(actions.decide(down(), &remap, false, -1), (KeyDecision{KeyEffect::SendKey, 'B'}));
  EXPECT_EQ(actions.decide(up(), &remap, false, -1), (KeyDecision{KeyEffect::SendKey, 'B'}));
  EXPECT_EQ(actions.decide(down(), &program, false, -1).effect, KeyEffect::StartProgram);
  EXPECT_EQ(actions.decide(down(), &program, false, -1).effect, KeyEffect::Swallow);
  EXPECT_EQ(actions.decide(up(), &program, false, -1).effect, KeyEffect::Swallow);
  EXPECT_EQ(actions.decide(down(), &program, false, -1).effect, KeyEffect::StartProgram); // a new press
}

// A key held while the settings change is released as it was pressed: nothing stays stuck down.
TEST(KeyActions, AReleaseFollowsItsPressAcrossChanges) {
  const ProfileKeys remap = profileWith(1, [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk('B'); });
  const ProfileKeys disabled = profileWith(2, [](KeyRecord& r) { r.Kind = 10; });
  const ProfileKeys holdMacro = profileWith(3, [](KeyRecord& r) { macro(r, 1); });
  KeyActions actions;
  actions.decide(down(), &remap, false, -1);
  EXPECT_EQ(actions.decide(up(), &disabled, true, -1), (KeyDecision{KeyEffect::SendKey, 'B'}));
  actions.decide(down(), &disabled, false, -1);
  EXPECT_EQ(actions.decide(up(), &remap, false, -1), KeyDecision{KeyEffect::Swallow});
  actions.decide(down(), &holdMacro, false, -1);
  EXPECT_EQ(actions.decide(up(), nullptr, true, -1), (KeyDecision{KeyEffect::StopMacro, 0, 59}));
  actions.decide(down(), &disabled, true, -1); // passed while recording
  EXPECT_EQ(actions.decide(up(), &disabled, false, -1), KeyDecision{});
}

TEST(KeyActions, PadEnterAndExtendedKeys) {
  EXPECT_EQ(keyOfHookEvent(0x0D, true), 0x6C);
  EXPECT_EQ(keyOfHookEvent(0x0D, false), 0x0D);
  EXPECT_EQ(keyOfHookEvent('A', true), 'A');
  const struct {
    uint8_t vk, sent;
    bool extended;
  } cases[] = {{0x6C, 0x0D, true}, {0x0D, 0x0D, false}, {0x25, 0x25, true}, {0x2E, 0x2E, true},
               {0xA3, 0xA3, true}, {0xA2, 0xA2, false}, {0x6F, 0x6F, true}, {'A', 'A', false}};
  for (const auto& c : cases) {
    EXPECT_EQ(sendableKey(c.vk).vk, c.sent) << int(c.vk);
    EXPECT_EQ(sendableKey(c.vk).extended, c.extended) << int(c.vk);
  }
}

} // namespace
} // namespace q7
