#include "ui/button_look.h"

namespace q7 {

ButtonLook bitmapBtn2Look(const Btn2State& s, const TextColours& c) {
  ButtonLook look;
  if (s.latched)
    look.image = StateImage::Hover;
  else if (s.pressed)
    look.image = StateImage::Pressed;
  else if (s.hover)
    look.image = StateImage::Hover;
  else if (s.disabled)
    look.image = StateImage::Disabled;
  else
    look.image = StateImage::Normal;

  if (s.pressed || s.latched)
    look.textColour = c.pressed;
  else if (s.hover)
    look.textColour = c.hover;
  else
    look.textColour = c.normal;
  if (!s.parentActive) look.textColour = c.normal;
  if (s.disabled) look.textColour = kDisabledTextColour;
  return look;
}

ButtonLook bitmapBtnLook(bool pressed, bool hover, bool disabled, const TextColours& c) {
  if (pressed) return {StateImage::Pressed, c.pressed};
  if (hover) return {StateImage::Hover, c.hover};
  if (disabled) return {StateImage::Disabled, kDisabledTextColour};
  return {StateImage::Normal, c.normal};
}

} // namespace q7
