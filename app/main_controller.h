// The main window's decisions, kept apart from the window so that they run and are tested without
// one: start-up against the monitor, the shown profile, saves and the monitor's answers.
#pragma once

#include "monitor/monitor_link.h"
#include "platform/registry.h"
#include "settings/registry_store.h"

namespace q7 {

// What the controller asks of the main window beyond the store's needs.
class MainView : public StoreView {
public:
  virtual void closeWindow() = 0;   // post WM_CLOSE to the main window
  virtual void activateWindow() = 0; // make the main window the active one
  virtual void showSelectedKeyNormal(int position) = 0;
  virtual void showProfile(int profile) = 0; // profile buttons, key looks and controls for this profile
};

class MainController {
public:
  MainController(Registry& registry, MonitorLink& monitor, MainView& view)
      : registry_(registry), monitor_(monitor), view_(view) {}

  // Initialisation from the monitor check on: false when there is no monitor (the program must
  // then end at once, having written nothing).
  bool initialise(WindowHandle mainWindow);
  void switchProfile(int p, bool notify);
  void save();
  void onSaveAcknowledged();        // 13317
  void onRelease(uintptr_t wParam); // 1544, and 1552 with wParam 16
  void onAcknowledgementOverdue();  // the bounded wait after a save ran out
  void deselectKey();

  int shownProfile() const { return shownProfile_; }
  int selectedKey() const { return selectedKey_; }
  void setSelectedKey(int position) { selectedKey_ = position; }
  bool editFlag() const { return editFlag_; }
  void setEditFlag(bool on) { editFlag_ = on; }
  bool closePending() const { return closePending_; }
  void setClosePending() { closePending_ = true; }
  bool awaitingAcknowledgement() const { return awaitingAck_; }

private:
  Registry& registry_;
  MonitorLink& monitor_;
  MainView& view_;
  int shownProfile_ = -1;
  int selectedKey_ = -1;
  bool editFlag_ = false;
  bool closePending_ = false;
  bool awaitingAck_ = false;
};

} // namespace q7
