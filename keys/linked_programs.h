// The linked-programs dialog's decisions: a private copy of a profile's five program slots that the
// user fills from the file dialog or clears; OK hands the copy back, anything else changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q7 {

inline constexpr int kLinkSlots = 5;
inline constexpr int kLinkSlotUnits = 260;   // a 520-byte slot
inline constexpr int kLinkStoredUnits = 130; // what a save keeps of a slot

// The five LinkExe slots of a profile record, byte for byte.
struct LinkSlots {
  char16_t names[kLinkSlots][kLinkSlotUnits];
};
static_assert(sizeof(LinkSlots) == 2600);

// The file name of a path without its folder ("C:\Games\game.exe" gives "game.exe").
std::u16string_view fileNameOf(std::u16string_view path);
// A slot's text as a save keeps it: up to its terminator and at most 130 units, never past the slot.
std::u16string_view storedLinkName(const char16_t (&slot)[kLinkSlotUnits]);

class LinkedProgramsView {
public:
  virtual ~LinkedProgramsView() = default;
  // The file-open dialog for programs; nothing when cancelled.
  virtual std::optional<std::u16string> chooseProgram() = 0;
  virtual void repaintSlot(int slot) = 0;
  virtual void endDialog(int result) = 0; // kResultYes or kResultNo
};

class LinkedPrograms {
public:
  // Takes a copy of the 2600 bytes of the profile's slots.
  LinkedPrograms(int profile, const LinkSlots& slots, LinkedProgramsView& view);

  void clear();          // all five slots empty
  void browse(int slot); // a program chosen for the slot; only its file name is kept
  void ok();             // ends with kResultYes: the caller takes slots()
  void cancel();         // ends with kResultNo

  int profile() const { return profile_; }
  const LinkSlots& slots() const { return slots_; }
  std::u16string_view shownName(int slot) const;

private:
  int profile_;
  LinkSlots slots_;
  LinkedProgramsView& view_;
};

} // namespace q7
