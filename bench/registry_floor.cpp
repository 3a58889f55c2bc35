#include "registry_floor.h"

#include <cstdint>
#include <string_view>

#include "platform/registry.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace q7::bench {

namespace {

std::wstring w(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

} // namespace

std::vector<KeyValues> registryLayout(bool forLoad) {
  std::vector<KeyValues> keys;
  keys.push_back({w(kMainKeyPath), {}});
  if (forLoad) keys.back().values.push_back({L"Language", 4});
  for (const wchar_t* n :
       {L"ProfileTotle", L"ProfileCurrent", L"AutoSwitch", L"ShowScreen", L"TrayIcon", L"LightOption"})
    keys.back().values.push_back({n, 1});
  for (const wchar_t* n : {L"Thumbkey", L"SetColor", L"ProfileColor"}) keys.back().values.push_back({n, 36});
  for (int p = 0; p < kProfileCount; ++p) {
    KeyValues k{w(profileKeyPath(p)), {}};
    for (const wchar_t* n : {L"DeviceMode", L"AutoSwitch", L"FuncKey", L"LEDIntensity", L"AudioType", L"ProfileCount"})
      k.values.push_back({n, 1});
    for (const wchar_t* n : {L"LightingLED", L"BreathingLED", L"TriggerLED", L"ExplosingLED", L"AudioLED", L"AudioLED",
                             L"AudioLED", L"ExplosingType", L"RandomType", L"WaveType", L"RainType"})
      k.values.push_back({n, 4});
    k.values.push_back({L"Name", 260});
    for (int i = 0; i < kLinkCount; ++i) k.values.push_back({w(valueName(kLinkExeValue, i)), forLoad ? 520u : 260u});
    for (int b = 0; b < kKeyCount; ++b) k.values.push_back({w(valueName(kButtonValue, b, kKeyRecordDigits)), 3100});
    if (forLoad) k.values.insert(k.values.end(), {{L"WholeKeyColorStatus", 9}, {L"WholeKeyColor", 36}});
    keys.push_back(k);
    for (int j = 0; j < kKeySetCount; ++j) {
      KeyValues s{w(keySetKeyPath(p, j)), {}};
      s.values.push_back({L"ProfileName", 260});
      for (int b = 0; b < kKeyCount; ++b) s.values.push_back({w(valueName(u"ProfileButton", b, 3)), 3100});
      keys.push_back(s);
    }
  }
  return keys;
}

void floorWrite(const std::vector<KeyValues>& keys, const SettingsImage& image) {
  const auto* source = reinterpret_cast<const uint8_t*>(&image.working());
  size_t at = 0;
  for (const KeyValues& k : keys) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, k.path.c_str(), 0, nullptr, 0, kRegistryAccess, nullptr, &h, nullptr))
      continue;
    for (const auto& [name, size] : k.values) {
      RegSetValueExW(h, name.c_str(), 0, REG_BINARY, source + at, size);
      at = (at + size) % (sizeof(SettingsBlock) - 4096);
    }
    RegCloseKey(h);
  }
}

void floorRead(const std::vector<KeyValues>& keys) {
  static uint8_t sink[4096];
  for (const KeyValues& k : keys) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, k.path.c_str(), 0, kRegistryAccess, &h)) continue;
    for (const auto& [name, size] : k.values) {
      DWORD got = size;
      RegQueryValueExW(h, name.c_str(), nullptr, nullptr, sink, &got);
    }
    RegCloseKey(h);
  }
}

} // namespace q7::bench
