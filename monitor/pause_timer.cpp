#include "monitor/pause_timer.h"

namespace q7 {

PauseTimer::PauseTimer(PauseTimerSystem& system)
    : system_(system),
      kind_(system.createHighResolutionTimer() ? PauseTimerKind::HighResolution : PauseTimerKind::RaisedResolution) {}

PauseTimer::~PauseTimer() { macroEnds(); }

void PauseTimer::macroStarts() {
  if (playing_) return;
  playing_ = true;
  if (kind_ == PauseTimerKind::RaisedResolution) raised_ = system_.raiseResolution();
}

void PauseTimer::macroEnds() {
  playing_ = false;
  if (!raised_) return;
  system_.restoreResolution();
  raised_ = false;
}

bool PauseTimer::waitUntil(int64_t micros) {
  for (;;) {
    if (system_.stopRequested()) return false;
    const int64_t left = micros - system_.nowMicros();
    if (left <= 0) return true;
    if (left > earlyMicros()) {
      if (!system_.waitFor(left - earlyMicros())) return false;
    } else {
      system_.yield();
    }
  }
}

} // namespace q7
