// Which of its four pictures a skinned button shows and in which colour it writes its caption, for
// a given state. Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace q7 {

enum class StateImage : uint8_t { Normal, Hover, Pressed, Disabled };

struct TextColours {
  uint32_t normal = 0;
  uint32_t hover = 0;
  uint32_t pressed = 0;
};

struct ButtonLook {
  StateImage image = StateImage::Normal;
  uint32_t textColour = 0;
  constexpr bool operator==(const ButtonLook&) const = default;
};

// Caption colour of a disabled button.
inline constexpr uint32_t kDisabledTextColour = 0x007B7B7B;

// The face a window or button shows where its skin picture is missing or cannot be decoded.
inline constexpr uint32_t kPlainFaceColour = 0x00271F1B;

// State of a bitmap button (CBitmapBtn2) at drawing time.
struct Btn2State {
  bool latched = false;
  bool pressed = false;
  bool hover = false;
  bool disabled = false;
  bool parentActive = true; // the application's active window is the button's parent
};

// CBitmapBtn2: latched shows the hover picture and the pressed colour; an inactive parent writes in
// the normal colour; disabled always writes grey.
ButtonLook bitmapBtn2Look(const Btn2State& state, const TextColours& colours);

// CBitmapBtn: pressed, then hover, then disabled (grey), else normal.
ButtonLook bitmapBtnLook(bool pressed, bool hover, bool disabled, const TextColours& colours);

} // namespace q7
