// Moves the settings image between memory and the per-user registry, value by value, and writes
// the factory defaults on a first run.
#pragma once

#include "monitor/monitor_link.h"
#include "platform/registry.h"

#include <string>
#include <string_view>

namespace q7 {

inline constexpr char16_t kMainKeyPath[] = u"Software\\VORTAN\\Q7";

// What the store asks of the main window around a save.
class StoreView {
public:
  virtual ~StoreView() = default;
  virtual void setMainWindowEnabled(bool enabled) = 0;
  // The monitor was told of new settings; its acknowledgement enables the window again, or a
  // bounded wait runs out.
  virtual void awaitSaveAcknowledgement() = 0;
  virtual void repaintMainWindow() = 0;
};

// Fills the working copy from the registry and commits it; a first run (no main key) writes the
// factory defaults first and leaves ProfileCurrent 1 in the working copy. Returns true on a first run.
bool loadSettings(Registry& registry, StoreView& view);
// Writes the whole working copy, commits it and tells the monitor. The main window is disabled
// until the monitor acknowledges; with no monitor to tell it is enabled again at once. Returns true
// when the monitor was told (and an acknowledgement is awaited).
bool saveSettings(Registry& registry, MonitorLink& monitor, StoreView& view);
// The factory state of every profile, written to the registry and committed.
void writeFactoryDefaults(Registry& registry, StoreView& view);

// A value or key name built as the stored format spells them ("Button007", "LinkExe2", ...), held
// without allocating: a save or load builds some 22,000 of them.
class ValueName {
public:
  ValueName(std::u16string_view prefix, int number, int digits = 1);
  std::u16string_view view() const { return {text_, size_}; }
  operator std::u16string_view() const { return view(); }
  std::u16string str() const { return std::u16string(view()); }

private:
  char16_t text_[40];
  size_t size_ = 0;
};
inline ValueName valueName(std::u16string_view prefix, int number, int digits = 1) {
  return ValueName(prefix, number, digits);
}
std::u16string profileKeyPath(int profile);
std::u16string keySetKeyPath(int profile, int set);

// Reads "LinkExe%d" of every profile from the second tree into the working copy (activation refresh).
void readSecondTreeLinks(Registry& registry);

} // namespace q7
