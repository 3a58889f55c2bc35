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
#include "registry_floor.h"

namespace {

using namespace q7;
using namespace q7::bench;
using Clock = std::chrono::steady_clock;

struct NoWindows final : WindowMessenger {
  WindowHandle findWindow(std::u16string_view) override { return 0; }
  bool post(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return false; }
};

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
  const auto writes = registryLayout(false), reads = registryLayout(true);
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
