// The keyboard view's rules that need no window: which look a key button gets and which of the
// three whole-window images feeds each of its four pictures. The layout tables are in
// keyboard_layout_tables.h, the key texts in key_labels.h.
#pragma once

#include <cstdint>

namespace q7 {

// The whole-window skin images the key pictures are cut from: "main_normal.jpg",
// "main_over.jpg" and "main_down.jpg".
enum class KeyImage : uint8_t { Normal, Over, Down };

enum class KeyLook : uint8_t { Default, Assigned, Selected };

// The image behind each picture of a key button.
struct KeyLookImages {
  KeyImage normal, hover, pressed, disabled;
  constexpr bool operator==(const KeyLookImages&) const = default;
};

// Every look keeps the normal image for the disabled picture, so disabled keys all look default.
constexpr KeyLookImages keyLookImages(KeyLook look) {
  switch (look) {
  case KeyLook::Assigned:
    return {KeyImage::Down, KeyImage::Over, KeyImage::Down, KeyImage::Normal};
  case KeyLook::Selected:
    return {KeyImage::Over, KeyImage::Over, KeyImage::Down, KeyImage::Normal};
  case KeyLook::Default:
    break;
  }
  return {KeyImage::Normal, KeyImage::Over, KeyImage::Down, KeyImage::Normal};
}

// How a key is refreshed: as the selected key, by its record's kind, or plainly.
enum class KeyRefreshMode : uint8_t { Selected, Normal, Default };

// The look of a key refreshed in a mode; kind is the Kind byte of the key's record (any value
// other than 0 marks the key as in use).
constexpr KeyLook keyLookFor(KeyRefreshMode mode, uint8_t kind) {
  switch (mode) {
  case KeyRefreshMode::Selected:
    return KeyLook::Selected;
  case KeyRefreshMode::Normal:
    return kind != 0 ? KeyLook::Assigned : KeyLook::Default;
  case KeyRefreshMode::Default:
    break;
  }
  return KeyLook::Default;
}

} // namespace q7
