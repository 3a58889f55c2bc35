#include "monitor/macro_schedule.h"

#include <algorithm>
#include <array>

#include "monitor/key_actions.h"

namespace q7 {

bool MacroScript::hasKeys() const {
  return std::any_of(steps.begin(), steps.end(), [](const MacroStep& s) { return !s.pause; });
}

MacroScript macroScript(const KeyRecord& record) {
  MacroScript script;
  const uint32_t n = record.boundedEventCount();
  script.steps.reserve(n);
  for (uint32_t i = 0; i < n; ++i) {
    const MacroEvent e = eventAt(record, i);
    if (e.isPause()) {
      script.steps.push_back({true, 0, false, e.PauseMs});
    } else if (usableVk(e.Vk)) {
      script.steps.push_back({false, e.Vk, (e.State & kKeyPressed) == 0, 0});
    }
  }
  if (record.RepeatMode == 1 || record.RepeatMode == 2) {
    script.plays = 0;
  } else {
    const int64_t plays = static_cast<int64_t>(record.RepeatCount) + 1;
    script.plays = static_cast<int>(std::clamp<int64_t>(plays, 1, kMaxPlays));
  }
  return script;
}

int playMacro(const MacroScript& script, MacroClock& clock, MacroKeys& keys, const std::atomic<bool>& stop) {
  std::array<bool, 256> down{};
  int played = 0;
  if (script.hasKeys()) {
    int64_t deadline = clock.nowMicros();
    bool stopped = false;
    while (!stopped && (script.plays == 0 || played < script.plays)) {
      const int64_t roundStart = deadline;
      for (const MacroStep& step : script.steps) {
        if (stop.load()) {
          stopped = true;
          break;
        }
        if (!step.pause) {
          keys.key(step.vk, step.release);
          down[step.vk] = !step.release;
          const int64_t now = clock.nowMicros();
          if (now > deadline + kMaxLatenessMicros) deadline = now;
          continue;
        }
        if (step.ms == 0) continue;
        deadline += int64_t{step.ms} * 1000;
        if (!clock.waitUntil(deadline)) {
          stopped = true;
          break;
        }
        const int64_t now = clock.nowMicros();
        if (now > deadline + kMaxLatenessMicros) deadline = now;
      }
      if (stopped || stop.load()) break;
      ++played;
      if (script.plays == 0 && deadline < roundStart + kMinRoundMicros) {
        deadline = roundStart + kMinRoundMicros;
        if (!clock.waitUntil(deadline)) break;
      }
    }
  }
  for (int vk = 0; vk < 256; ++vk)
    if (down[vk]) keys.key(static_cast<uint8_t>(vk), true);
  return played;
}

} // namespace q7
