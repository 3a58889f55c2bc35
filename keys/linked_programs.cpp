#include "keys/linked_programs.h"

#include <algorithm>
#include <cstring>

#include "ui/dialog_result.h"

namespace q7 {

std::u16string_view fileNameOf(std::u16string_view path) {
  const size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

std::u16string_view storedLinkName(const char16_t (&slot)[kLinkSlotUnits]) {
  size_t n = 0;
  while (n < kLinkStoredUnits && slot[n] != 0) ++n;
  return {slot, n};
}

LinkedPrograms::LinkedPrograms(int profile, const LinkSlots& slots, LinkedProgramsView& view)
    : profile_(profile), view_(view) {
  std::memcpy(&slots_, &slots, sizeof slots_);
}

void LinkedPrograms::clear() {
  std::memset(&slots_, 0, sizeof slots_);
  for (int i = 0; i < kLinkSlots; ++i) view_.repaintSlot(i);
}

void LinkedPrograms::browse(int slot) {
  if (slot < 0 || slot >= kLinkSlots) return;
  const std::optional<std::u16string> path = view_.chooseProgram();
  if (!path) return;
  const std::u16string_view name = fileNameOf(*path);
  if (name.empty()) return;
  char16_t* target = slots_.names[slot];
  std::memset(target, 0, sizeof slots_.names[slot]);
  // Always leaves the terminator inside the slot.
  std::copy_n(name.begin(), std::min<size_t>(name.size(), kLinkSlotUnits - 1), target);
  view_.repaintSlot(slot);
}

void LinkedPrograms::ok() { view_.endDialog(kResultYes); }

void LinkedPrograms::cancel() { view_.endDialog(kResultNo); }

std::u16string_view LinkedPrograms::shownName(int slot) const {
  if (slot < 0 || slot >= kLinkSlots) return {};
  return storedLinkName(slots_.names[slot]);
}

} // namespace q7
