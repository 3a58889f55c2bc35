// What the single-key dialog decides without a window: which key it hands back and which names it
// shows. Every key report replaces the captured key; without a report the dialog hands back the
// code it was opened with.
#pragma once

#include <cstdint>
#include <string>

#include "keys/single_key_dialog_layout.h"
#include "platform/keyboard_text.h"

namespace q7::single_key_dialog {

class Capture {
public:
  // keyboard names keys without a fixed name and must outlive the capture.
  Capture(uint8_t code, Mode mode, bool germanLegends, KeyboardText& keyboard)
      : given_(code), captured_(code), mode_(mode), germanLegends_(germanLegends), keyboard_(&keyboard) {}

  // A report of the hook library: the low byte of its wParam is the key; the flags do not matter
  // (a press and its release name the same key).
  void onReport(uintptr_t wParam) { captured_ = static_cast<uint8_t>(wParam & 0xFF); }

  uint8_t captured() const { return captured_; }
  std::u16string capturedName() const;
  // The name of the code the dialog was opened with (assign mode shows it as the current key).
  std::u16string currentName() const;
  // The captured name's colour, 0x00BBGGRR: black on the assign panel, white on the insert panel.
  uint32_t capturedColour() const { return mode_ == Mode::Assign ? kCapturedAssignColour : kCapturedInsertColour; }

private:
  uint8_t given_;
  uint8_t captured_;
  Mode mode_;
  bool germanLegends_;
  KeyboardText* keyboard_;
};

} // namespace q7::single_key_dialog
