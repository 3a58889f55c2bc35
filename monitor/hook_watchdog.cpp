#include "monitor/hook_watchdog.h"

#include <algorithm>

namespace q7 {

namespace {

// Removes the oldest entry of place from one queue; false when there is none.
template <typename Queue> bool match(Queue& queue, uint32_t place) {
  const auto it = std::find_if(queue.begin(), queue.end(), [&](const auto& s) { return s.place == place; });
  if (it == queue.end()) return false;
  queue.erase(it);
  return true;
}

} // namespace

void HookWatchdog::expire(int64_t nowMs) {
  // A hook report waits for its raw input at most the grace time; older ones belong to keys that
  // raw input does not report (the system's own inserted keys).
  while (!hook_.empty() && nowMs - hook_.front().ms > kHookGraceMs) hook_.pop_front();
}

void HookWatchdog::rawKey(int64_t nowMs, uint32_t place) {
  expire(nowMs);
  if (match(hook_, place)) return;
  if (raw_.size() >= kMaxPending) raw_.pop_back(); // the oldest entry decides, keep it
  raw_.push_back({nowMs, place});
}

void HookWatchdog::hookKey(int64_t nowMs, uint32_t place) {
  expire(nowMs);
  if (match(raw_, place)) return;
  if (hook_.size() >= kMaxPending) hook_.pop_front();
  hook_.push_back({nowMs, place});
}

bool HookWatchdog::hookLost(int64_t nowMs) const { return !raw_.empty() && nowMs - raw_.front().ms >= kHookGraceMs; }

int64_t HookWatchdog::nextCheck() const { return raw_.empty() ? -1 : raw_.front().ms + kHookGraceMs; }

void HookWatchdog::reset() {
  raw_.clear();
  hook_.clear();
}

} // namespace q7
