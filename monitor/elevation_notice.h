// The system hides the keys typed into a program that runs as administrator from the hook of a
// program that does not: the monitor cannot change them there. It tells the user so once, the
// first time such a window comes to the front, and never asks for elevation itself.
#pragma once

namespace q7 {

// What the monitor could learn of the process that owns the window in front.
struct FrontProcess {
  bool opened = false;       // the process could be opened for a query
  bool accessDenied = false; // opening it was refused: it runs above the monitor
  bool tokenRead = false;    // its elevation could be read
  bool elevated = false;     // what was read
};

// Whether the monitor's hook cannot see the keys of that process.
bool runsAboveUs(const FrontProcess& front, bool weAreElevated);

class ElevationNotice {
public:
  static constexpr const wchar_t* kText = L"Keys are not changed in programs run as administrator";
  explicit ElevationNotice(bool weAreElevated) : weAreElevated_(weAreElevated) {}
  // A window came to the front: true when the notice is to be shown now.
  bool frontChanged(const FrontProcess& front);

private:
  bool weAreElevated_;
  bool shown_ = false;
};

} // namespace q7
