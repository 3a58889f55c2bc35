#include "macro/macro_recording.h"

#include <algorithm>
#include <cstring>

#include "macro/macro_model.h"

namespace q7 {

void startRecording(RecordingState& state, KeyRecord& record) {
  state.recording = true;
  std::memset(record.Events, 0, sizeof record.Events);
  record.EventCount = 0;
  state.previousTime = 0;
  state.warned = false;
}

bool stopRecording(RecordingState& state, KeyRecord& record) {
  const bool wasRecording = state.recording;
  state.recording = false;
  if (!wasRecording || record.EventCount == 0) return false;
  return appendPause(record, 0);
}

ReportResult handleKeyReport(RecordingState& state, KeyRecord& record, uint32_t lines, uintptr_t w, intptr_t l,
                             Clock& clock) {
  ReportResult result;
  // A held key makes the system repeat its press: only the first becomes an event.
  if (w == state.previousW && l == state.previousL) return result;
  if (!state.recording) return result;
  if (lines >= kMaxRecordedLines) {
    result.outcome = ReportOutcome::LimitReached;
    result.warn = !state.warned;
    state.warned = true;
    return result;
  }
  const uint32_t now = clock.milliseconds();
  if (state.previousTime != 0 && record.EventCount >= 1) {
    const uint32_t elapsed = std::clamp<uint32_t>(now - state.previousTime, kMinRecordedPauseMs, kMaxPauseMs);
    if (appendPause(record, static_cast<uint16_t>(elapsed))) {
      result.pauseAdded = true;
      result.pauseMs = static_cast<uint16_t>(elapsed);
    }
  }
  if (!appendKey(record, static_cast<uint8_t>(w & 0xFF), (l & kReportReleased) != 0)) return result;
  result.outcome = ReportOutcome::Recorded;
  state.previousTime = clock.milliseconds();
  state.previousW = w;
  state.previousL = l;
  return result;
}

} // namespace q7
