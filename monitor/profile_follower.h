// Which profile the monitor carries out while it and the main window each move the profile. The
// monitor switches by itself (the program in front, the tray) and asks the window to follow with
// 1537 and no echo; the window names the profile it shows with 1542 and stores its profile with
// every save (2026). A save that the window makes before it follows (Yes to its question stores the
// profile it is leaving) must not take the monitor back: the window follows the request next.
#pragma once

namespace q7 {

class ProfileFollower {
public:
  // The monitor switched to profile by itself and asked the main window to follow.
  void asked(int profile) { asked_ = profile; }
  // 1542: the window shows profile; that is the one to carry out, and any request is answered.
  int shown(int profile) {
    asked_ = -1;
    return profile;
  }
  // 2026: the settings were saved with stored as the current profile (-1 when none could be read).
  // The profile to carry out: the one asked for until the window has stored it, otherwise stored.
  int saved(int stored) {
    if (asked_ < 0) return stored;
    const int keep = asked_;
    if (stored == asked_) asked_ = -1;
    return keep;
  }
  int asked() const { return asked_; }

private:
  int asked_ = -1;
};

} // namespace q7
