// Test play of a macro inside the editor: its key events at the times its pauses give, typed into
// a preview text through the keyboard layout with the modifiers held at that moment. Nothing is
// sent to the system; the caller asks advance() whenever the next event is due (or later) and
// shows preview().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keys/key_record.h"
#include "platform/keyboard_text.h"
#include "platform/typed_text.h"

namespace q7 {

// The preview keeps at most this many characters, the newest.
inline constexpr size_t kPreviewLength = 2000;
// At most this many events are played by one advance(), so that a macro whose pauses are all 0
// played until stopped still lets the window breathe between calls.
inline constexpr uint32_t kEventsPerAdvance = 400;

class MacroTestPlayer {
public:
  // rounds: how many times the macro is played; nothing plays it until stopped. now: the clock's
  // milliseconds at the start.
  void start(const KeyRecord& record, std::optional<uint32_t> rounds, uint32_t now);

  struct Step {
    uint32_t played = 0;              // key events played by this call
    uint32_t lateMs = 0;              // how long after its time the first of them was played
    std::optional<uint32_t> nextInMs; // when to call again; nothing once the play has ended
  };
  Step advance(uint32_t now, TypedText& layout, KeyboardText& names);
  // Ends the play at once; nothing more is played.
  void stop();

  bool playing() const { return playing_; }
  const std::u16string& preview() const { return preview_; }
  // Since the start: the time at which the last event (or the end) was played, and the time the
  // stored pauses give it.
  uint32_t playedMs() const { return playedMs_; }
  uint64_t storedMs() const { return storedMs_; }

private:
  struct Key {
    uint8_t vk;
    bool pressed;
    uint32_t offset; // ms from the round's start
  };
  void play(const Key& key, TypedText& layout, KeyboardText& names);

  std::vector<Key> keys_;
  uint64_t roundMs_ = 0;
  uint32_t rounds_ = 0;
  bool endless_ = false;
  uint32_t start_ = 0;
  uint64_t round_ = 0;
  size_t next_ = 0;
  bool playing_ = false;
  KeyState held_{};
  std::u16string preview_;
  uint32_t playedMs_ = 0;
  uint64_t storedMs_ = 0;
};

} // namespace q7
