#include "macro/macro_test_play.h"

#include <algorithm>

#include "keys/macro_event.h"
#include "macro/macro_key_names.h"
#include "macro/macro_text_form.h"

namespace q7 {

namespace {

constexpr uint8_t kHeld = 0x80;

bool isModifier(uint8_t vk) { return (vk >= 0x10 && vk <= 0x12) || (vk >= 0xA0 && vk <= 0xA5); }

// The key state the layout reads: the held keys, and the side-neutral code of a held modifier.
KeyState layoutState(const KeyState& held) {
  KeyState state = held;
  const auto either = [&](uint8_t neutral, uint8_t left, uint8_t right) {
    if (held[neutral] || held[left] || held[right]) state[neutral] = kHeld;
  };
  either(0x10, 0xA0, 0xA1);
  either(0x11, 0xA2, 0xA3);
  either(0x12, 0xA4, 0xA5);
  return state;
}

bool printable(const std::u16string& text) {
  if (text.empty()) return false;
  for (char16_t c : text)
    if (c < 0x20 || c == 0x7F) return false;
  return true;
}

} // namespace

void MacroTestPlayer::start(const KeyRecord& record, std::optional<uint32_t> rounds, uint32_t now) {
  keys_.clear();
  roundMs_ = 0;
  const uint32_t n = record.boundedEventCount();
  for (uint32_t i = 0; i < n; ++i) {
    const MacroEvent e = eventAt(record, i);
    if (e.isPause())
      roundMs_ += e.PauseMs;
    else
      keys_.push_back({e.Vk, e.pressed(), static_cast<uint32_t>(roundMs_)});
  }
  endless_ = !rounds;
  rounds_ = rounds.value_or(0);
  start_ = now;
  round_ = 0;
  next_ = 0;
  held_ = {};
  preview_.clear();
  playedMs_ = 0;
  storedMs_ = 0;
  playing_ = true;
}

void MacroTestPlayer::stop() { playing_ = false; }

void MacroTestPlayer::play(const Key& key, TypedText& layout, KeyboardText& names) {
  if (!key.pressed) {
    held_[key.vk] = 0;
    return;
  }
  const KeyState state = layoutState(held_);
  held_[key.vk] = kHeld;
  if (isModifier(key.vk)) return; // shown through the keys it changes
  std::u16string shown = layout.typed(key.vk, state);
  const bool control = state[0x11] && !state[0x12]; // Ctrl without Alt (which with Ctrl is AltGr)
  if (control || !printable(shown)) {
    std::u16string name = macroKeyName(key.vk, names);
    if (name.empty()) name = textKeyName(key.vk);
    std::u16string bracketed(1, u'[');
    if (state[0x11]) bracketed += u"Ctrl+";
    if (state[0x12]) bracketed += u"Alt+";
    bracketed += name;
    bracketed += u']';
    shown = std::move(bracketed);
  }
  preview_ += shown;
  if (preview_.size() > kPreviewLength) preview_.erase(0, preview_.size() - kPreviewLength);
}

MacroTestPlayer::Step MacroTestPlayer::advance(uint32_t now, TypedText& layout, KeyboardText& names) {
  Step step;
  if (!playing_) return step;
  const uint64_t elapsed = static_cast<uint32_t>(now - start_); // the clock wraps; a play is far shorter
  const bool endless = endless_;
  while (step.played < kEventsPerAdvance) {
    if (keys_.empty() || (!endless && round_ >= rounds_)) {
      // The end: after the last round's closing pause.
      const uint64_t end = endless ? 0 : roundMs_ * rounds_;
      if (elapsed < end) {
        step.nextInMs = static_cast<uint32_t>(end - elapsed);
        return step;
      }
      playing_ = false;
      playedMs_ = static_cast<uint32_t>(elapsed);
      storedMs_ = end;
      return step;
    }
    const Key& key = keys_[next_];
    const uint64_t due = round_ * roundMs_ + key.offset;
    if (due > elapsed) {
      step.nextInMs = static_cast<uint32_t>(std::min<uint64_t>(due - elapsed, UINT32_MAX));
      return step;
    }
    if (step.played == 0) step.lateMs = static_cast<uint32_t>(elapsed - due);
    play(key, layout, names);
    ++step.played;
    playedMs_ = static_cast<uint32_t>(elapsed);
    storedMs_ = due;
    if (++next_ == keys_.size()) {
      next_ = 0;
      ++round_;
    }
  }
  step.nextInMs = 0; // more are due already
  return step;
}

} // namespace q7
