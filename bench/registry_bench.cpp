// Times the settings store against the bare registry work it cannot avoid, in the same run:
//   save  vs the same value writes (names, sizes, keys) with nothing else,
//   load  vs the same value reads,
//   commitSaved / hasUnsavedChanges vs plain memcpy / memcmp of the image.
// Prints medians and ratios; run under Wine (or Windows) from the Windows build.
#include "platform/win32/windows_only.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitor/monitor_link.h"
#include "platform/win32/win32_registry.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace {

using namespace q7;
using Clock = std::chrono::steady_clock;

struct NoWindows final : WindowMessenger {
  WindowHandle findWindow(std::u16string_view) override { return 0; }
  bool post(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return false; }
};

// Every value a save writes, grouped by key, with its width.
struct KeyValues {
  std::wstring path;
  std::vector<std::pair<std::wstring, DWORD>> values;
};

std::wstring w(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

// forLoad: the reads of a load, which also take "Language", the two whole-keyboard colour values
// of every profile key and the linked programs at their full slot width.
std::vector<KeyValues> layout(bool forLoad) {
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

double seconds(const std::function<void()>& f) {
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void pair(const char* what, int rounds, const std::function<void()>& ours, const std::function<void()>& floor) {
  std::vector<double> a, b, r;
  for (int i = 0; i < rounds; ++i) {
    const double x = seconds(ours), y = seconds(floor);
    a.push_back(x);
    b.push_back(y);
    r.push_back(x / y);
  }
  std::printf("%-22s ours %9.3f ms   floor %9.3f ms   ratio %.3f (median of %d pairs)\n", what, median(a) * 1e3,
              median(b) * 1e3, median(r), rounds);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  win32::Win32Registry registry;
  NoWindows none;
  MonitorLink monitor(none);
  SettingsImage image;
  loadSettings(registry, image); // first run: the keys exist from here on
  const auto writes = layout(false), reads = layout(true);
  size_t nw = 0, nr = 0;
  for (const auto& k : writes) nw += k.values.size();
  for (const auto& k : reads) nr += k.values.size();
  std::printf("%zu keys, %zu value writes per save, %zu value reads per load\n", writes.size(), nw, nr);

  pair(
      "saveSettings", rounds,
      [&] {
        saveSettings(registry, image);
        monitor.notifySaved(1);
      },
      [&] { floorWrite(writes, image); });
  pair(
      "loadSettings", rounds, [&] { loadSettings(registry, image); }, [&] { floorRead(reads); });

  static SettingsBlock scratch;
  bool differ = false;
  pair(
      "commitSaved", rounds * 4, [&] { image.commitSaved(); },
      [&] { std::memcpy(&scratch, &image.working(), sizeof scratch); });
  pair(
      "hasUnsavedChanges", rounds * 4, [&] { differ ^= image.hasUnsavedChanges(); },
      [&] { differ ^= std::memcmp(&scratch, &image.working(), sizeof scratch) != 0; });
  std::printf("(%d)\n", differ ? 1 : 0); // keeps the comparisons from being optimised away
  return 0;
}
