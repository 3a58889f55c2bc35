// What a key report of the hook library does while the macro editor records: which reports become
// key events, the pause measured before each, and the limit of 80 lines per recording.
#pragma once

#include <cstdint>

#include "keys/key_record.h"
#include "platform/clock.h"

namespace q7 {

inline constexpr uint32_t kMaxRecordedLines = 80;
inline constexpr uint32_t kMinRecordedPauseMs = 20;
inline constexpr uint32_t kMaxPauseMs = 0xFFFF;
inline constexpr intptr_t kReportReleased = 0x80; // lParam bit of a released key

struct RecordingState {
  bool recording = false;
  uintptr_t previousW = 0; // the last report that became a key event
  intptr_t previousL = 0;
  uint32_t previousTime = 0; // tick after the last recorded key event; 0 = none yet
  bool warned = false;       // the kind-5 notice was given; shared with the editor's limits
};

enum class ReportOutcome {
  Ignored,      // a repeat of the last report, or no recording running
  LimitReached, // dropped; the first drop of a recording also raises the notice
  Recorded,     // the key became an event
};

struct ReportResult {
  ReportOutcome outcome = ReportOutcome::Ignored;
  bool warn = false;       // LimitReached for the first time: show the kind-5 notice now
  bool pauseAdded = false; // a pause completes the line before the new key
  uint16_t pauseMs = 0;    // its length
};

// Starts a recording: the events are cleared and the time and notice forgotten. The previous report
// stays, as only opening the editor on a record forgets it.
void startRecording(RecordingState& state, KeyRecord& record);
// Ends a recording; true when one was running and its last key got the closing pause of 0 ms.
bool stopRecording(RecordingState& state, KeyRecord& record);
// One report (w the virtual-key code, l with bit 0x80 for a release) while lines lines are listed.
// The pause since the previous key is at least 20 ms; a longer one than 65,535 ms is kept as 65,535
// rather than wrapped to its low 16 bits.
ReportResult handleKeyReport(RecordingState& state, KeyRecord& record, uint32_t lines, uintptr_t w, intptr_t l,
                             Clock& clock);

} // namespace q7
