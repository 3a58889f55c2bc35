#include "macro/macro_model.h"

#include <algorithm>
#include <cstring>

namespace q7 {

namespace {

uint8_t* slot(KeyRecord& record, uint32_t i) { return record.Events + i * sizeof(MacroEvent); }

bool append(KeyRecord& record, const MacroEvent& e) {
  const uint32_t n = record.boundedEventCount();
  if (n >= kMaxMacroEvents) return false;
  setEvent(record, n, e);
  record.EventCount = n + 1;
  return true;
}

} // namespace

bool appendKey(KeyRecord& record, uint8_t vk, bool released) { return append(record, keyEvent(vk, released)); }

bool appendPause(KeyRecord& record, uint16_t ms) { return append(record, pauseEvent(ms)); }

void removeLine(KeyRecord& record, uint32_t line) {
  const uint32_t n = record.boundedEventCount();
  if (line >= kMaxMacroLines || 2 * line >= n) return;
  const uint32_t first = 2 * line;
  const uint32_t removed = std::min<uint32_t>(2, n - first);
  std::memmove(slot(record, first), slot(record, first + removed), (n - first - removed) * sizeof(MacroEvent));
  std::memset(slot(record, n - removed), 0, removed * sizeof(MacroEvent));
  record.EventCount = n - removed;
}

bool insertLines(KeyRecord& record, uint32_t after, const uint8_t* lines, uint32_t lineCount) {
  const uint32_t n = record.boundedEventCount();
  if (lineCount == 0) return true;
  if (!lines || lineCount > kMaxMacroLines || n + 2 * lineCount > kMaxMacroEvents) return false;
  const uint32_t at = after >= kMaxMacroLines ? n : std::min<uint32_t>(2 * (after + 1), n);
  const uint32_t added = 2 * lineCount;
  std::memmove(slot(record, at + added), slot(record, at), (n - at) * sizeof(MacroEvent));
  std::memcpy(slot(record, at), lines, lineCount * kLineBytes);
  record.EventCount = n + added;
  return true;
}

void swapLines(KeyRecord& record, uint32_t i, uint32_t j) {
  const uint32_t n = record.boundedEventCount();
  if (i == j || i >= kMaxMacroLines || j >= kMaxMacroLines || 2 * i + 1 >= n || 2 * j + 1 >= n) return;
  uint8_t held[kLineBytes];
  std::memcpy(held, slot(record, 2 * i), kLineBytes);
  std::memcpy(slot(record, 2 * i), slot(record, 2 * j), kLineBytes);
  std::memcpy(slot(record, 2 * j), held, kLineBytes);
}

uint32_t macroLineCount(const KeyRecord& record) { return (record.boundedEventCount() + 1) / 2; }

} // namespace q7
