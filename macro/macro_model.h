// The editing operations on a key record's macro. Event 2i is the key event of line i and event
// 2i + 1 its pause; a recording in progress leaves the newest key event without a pause (an odd
// count). Every operation stays within the 340 slots of Events, whatever EventCount claims: a count
// above 340 (from a file or another program) is taken as 340.
#pragma once

#include <cstdint>

#include "keys/key_record.h"
#include "keys/macro_event.h"

namespace q7 {

// Writes a key event into slot EventCount and counts it; false (nothing written) when the slots are full.
bool appendKey(KeyRecord& record, uint8_t vk, bool released);
// Writes a pause event into slot EventCount and counts it; false when the slots are full.
bool appendPause(KeyRecord& record, uint16_t ms);
// Removes line i: the events after it move down, the freed slots at the end are cleared. A line
// beyond the events changes nothing; the last line of an odd count is its key event alone.
void removeLine(KeyRecord& record, uint32_t line);
// Inserts lineCount lines (2 × lineCount events, 12 bytes each line) after line `after`, or at the
// end when the macro has no such line. Refused (false, nothing changed) when the events would not
// fit into the 340 slots.
bool insertLines(KeyRecord& record, uint32_t after, const uint8_t* lines, uint32_t lineCount);
// Exchanges the 12 bytes of lines i and j. Only complete lines (key event and pause within
// EventCount) are exchanged; otherwise nothing changes.
void swapLines(KeyRecord& record, uint32_t i, uint32_t j);

// Number of complete or started lines among the events: (EventCount + 1) / 2, bounded.
uint32_t macroLineCount(const KeyRecord& record);

} // namespace q7
