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

// Keys known by their place: the pad without Num Lock, a release under another virtual key, the
// Left Ctrl that AltGr brings, and other programs' input.
TEST(KeyActions, KeysAreKnownByTheirPlace) {
  ProfileKeys keys;
  keys.profile = 1;
  keys.mapPositions(KeyLayout::Ansi);
  auto record = [&](uint8_t vk) -> KeyRecord& { return keys.records[keys.positionOfVk[vk]]; };
  for (uint8_t vk : {0x23, 0x28, 0x2D, 0x2E, 0xA2}) record(vk).Kind = 10; // End, Down, Ins, Del, Left Ctrl disabled
  const struct {
    uint8_t pad, target;
  } remaps[] = {{0x61, 'B'}, {0x62, 'C'}, {0x65, 'D'}, {0x60, 'F'}, {0x6E, 'G'}, {'A', 'E'}};
  for (const auto& m : remaps) record(m.pad).Kind = 1, record(m.pad).setSingleKeyVk(m.target);

  const KeyDecision swallow{KeyEffect::Swallow}, pass{};
  auto send = [](uint8_t vk) { return KeyDecision{KeyEffect::SendKey, vk}; };
  const struct Case {
    const char* name;
    KeyEvent press, release;
    KeyDecision pressed, released;
  } cases[] = {
      {"pad 1 with Num Lock off is not End",
       {0x23, false, false, 0x4F},
       {0x23, true, false, 0x4F},
       send('B'),
       send('B')},
      {"End of the navigation block",
       {0x23, false, false, 0x4F, true},
       {0x23, true, false, 0x4F, true},
       swallow,
       swallow},
      {"pad 2 pressed under Shift, released as pad 2",
       {0x28, false, false, 0x50},
       {0x62, true, false, 0x50},
       send('C'),
       send('C')},
      {"Down arrow pressed, released after Num Lock came on",
       {0x28, false, false, 0x50, true},
       {0x28, true, false, 0x50, true},
       swallow,
       swallow},
      {"pad 5 as Clear", {0x0C, false, false, 0x4C}, {0x65, true, false, 0x4C}, send('D'), send('D')},
      {"pad 0 as Insert", {0x2D, false, false, 0x52}, {0x2D, true, false, 0x52}, send('F'), send('F')},
      {"pad point as Delete", {0x2E, false, false, 0x53}, {0x6E, true, false, 0x53}, send('G'), send('G')},
      {"Insert of the navigation block",
       {0x2D, false, false, 0x52, true},
       {0x2D, true, false, 0x52, true},
       swallow,
       swallow},
      {"AltGr's Left Ctrl passes", {0xA2, false, false, 0x21D}, {0xA2, true, false, 0x21D}, pass, pass},
      {"a real Left Ctrl", {0xA2, false, false, 0x1D}, {0xA2, true, false, 0x1D}, swallow, swallow},
      {"another program's input passes",
       {'A', false, false, 0x1E, false, true},
       {'A', true, false, 0x1E, false, true},
       pass,
       pass},
      {"physical A", {'A', false, false, 0x1E}, {'A', true, false, 0x1E}, send('E'), send('E')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyActions actions;
    EXPECT_EQ(actions.decide(c.press, &keys, false, -1), c.pressed);
    EXPECT_EQ(actions.decide(c.press, &keys, false, -1), c.pressed) << "auto-repeat";
    EXPECT_EQ(actions.decide(c.release, &keys, false, -1), c.released);
  }
}

// Another program's key and AltGr's Left Ctrl leave a held key's memory alone.
TEST(KeyActions, PassedInputDoesNotDisturbAHeldKey) {
  const ProfileKeys remap = profileWith(1, [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk('B'); });
  KeyActions actions;
  EXPECT_EQ(actions.decide({A, false, false, 0x1E}, &remap, false, -1), (KeyDecision{KeyEffect::SendKey, 'B'}));
  EXPECT_EQ(actions.decide({A, true, false, 0x1E, false, true}, &remap, false, -1), KeyDecision{});
  EXPECT_EQ(actions.decide({A, true, false, 0x1E}, &remap, false, -1), (KeyDecision{KeyEffect::SendKey, 'B'}));
}

// After the monitor released what it held, a key still held down sends nothing more.
TEST(KeyActions, AfterTheKeysWereReleasedAHeldKeyIsSwallowedUntilItsRelease) {
  const ProfileKeys remap = profileWith(1, [](KeyRecord& r) { r.Kind = 1, r.setSingleKeyVk('B'); });
  const ProfileKeys holdMacro = profileWith(1, [](KeyRecord& r) { macro(r, 1); });
  KeyActions actions;
  actions.decide(down(), &remap, false, -1);
  actions.decide(down('S'), &remap, false, -1); // passed: the user's own key
  actions.keysReleased();
  EXPECT_EQ(actions.decide(down(), &remap, false, -1), KeyDecision{KeyEffect::Swallow});
  EXPECT_EQ(actions.decide(up(), &remap, false, -1), KeyDecision{KeyEffect::Swallow});
  EXPECT_EQ(actions.decide(up('S'), &remap, false, -1), KeyDecision{});
  EXPECT_EQ(actions.decide(down(), &remap, false, -1), (KeyDecision{KeyEffect::SendKey, 'B'})); // a new press
  actions.decide(up(), &remap, false, -1);
  actions.decide(down(), &holdMacro, false, -1);
  actions.keysReleased();
  EXPECT_EQ(actions.decide(up(), &holdMacro, false, -1), KeyDecision{KeyEffect::Swallow});
  actions.decide(down(), &remap, false, -1);
  actions.forget();
  EXPECT_EQ(actions.decide(down(), &remap, false, -1), (KeyDecision{KeyEffect::SendKey, 'B'}));
}

TEST(KeyActions, PadEnterAndExtendedKeys) {
  EXPECT_EQ(keyOfHookEvent(0x0D, 0x1C, true), 0x6C);
  EXPECT_EQ(keyOfHookEvent(0x0D, 0x1C, false), 0x0D);
  EXPECT_EQ(keyOfHookEvent('A', 0x1E, true), 'A');
  const struct {
    uint8_t vk, sent;
    bool extended;
  } cases[] = {{0x6C, 0x0D, true},  {0x0D, 0x0D, false}, {0x25, 0x25, true}, {0x2E, 0x2E, true}, {0xA3, 0xA3, true},
               {0xA2, 0xA2, false}, {0x6F, 0x6F, true},  {'A', 'A', false},  {0x2C, 0x2C, true}, {0x03, 0x03, true},
               {0xAD, 0xAD, true},  {0x13, 0x13, false}, {0x67, 0x67, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(sendableKey(c.vk).vk, c.sent) << int(c.vk);
    EXPECT_EQ(sendableKey(c.vk).extended, c.extended) << int(c.vk);
  }
  // The pad's scan codes, which every layout shares.
  const struct {
    uint8_t vk, scan;
  } pad[] = {{0x60, 0x52}, {0x61, 0x4F}, {0x65, 0x4C}, {0x69, 0x49}, {0x6E, 0x53},
             {0x6F, 0x35}, {0x6C, 0x1C}, {0x6A, 0x37}, {'A', 0},     {0x23, 0}};
  for (const auto& c : pad) EXPECT_EQ(sendableKey(c.vk).padScan, c.scan) << int(c.vk);
}

} // namespace
} // namespace q7
