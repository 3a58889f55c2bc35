#include "settings/factory_defaults.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace q7 {

namespace {

struct DefaultKeyColor {
  int position;
  uint32_t colour;
};
constexpr DefaultKeyColor kDefaultKeyColors[] = {
    {17, 0x0000FFFF}, {18, 0x0000FFFF}, {19, 0x0000FFFF}, {20, 0x0000FFFF}, {21, 0x0000FFFF}, {22, 0x0000FFFF},
    {37, 0x00FF8080}, {38, 0x000000FF}, {39, 0x000000FF}, {40, 0x000000FF}, {41, 0x000000FF}, {59, 0x0000FF00},
    {60, 0x0000FF00}, {61, 0x00FF0000}, {62, 0x00FF0000}, {79, 0x0000FF00},
};

} // namespace

void setText(char16_t* slot, size_t units, std::u16string_view text) {
  std::memset(slot, 0, units * sizeof(char16_t));
  std::copy_n(text.begin(), std::min(text.size(), units - 1), slot);
}

void applyLedDefaults(ProfileRecord& profile) {
  profile.LEDIntensity = 4;
  profile.LightingLED = 0x00FF00FF;
  profile.BreathingLED = 0x0000FFFF;
  profile.TriggerLED = 0x00FFFF00;
  profile.ExplosingLED = 0x00FFFFFF;
}

void resetProfileSettings(SettingsImage& image, int p) {
  p = safeProfileIndex(static_cast<uint32_t>(p));
  ProfileRecord& rec = image.profile(p);
  std::memset(&rec, 0, sizeof rec);
  if (p <= kLastProfileWithButton) image.header().ProfileColor[p] = kResetProfileColours[p];
  for (ProfileRecord& each : image.working().profiles) applyLedDefaults(each);
  applyKeySetZeroDefaults(rec);
}

void applyKeySetZeroDefaults(ProfileRecord& profile) {
  setText(profile.KeySets[0].ProfileName, 130, u"DEFAULT");
  for (const DefaultKeyColor& c : kDefaultKeyColors) profile.KeySets[0].ProfileButton[c.position].KeyColor = c.colour;
}

} // namespace q7
