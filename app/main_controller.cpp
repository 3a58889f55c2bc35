#include "app/main_controller.h"

#include "app/window_messages.h"
#include "keys/key_record.h"
#include "settings/settings_image.h"

namespace q7 {

bool MainController::initialise(WindowHandle mainWindow) {
  if (monitor_.findMonitor() == 0) return false;
  monitor_.announceWindow(mainWindow);
  loadSettings(registry_, view_);
  switchProfile(safeProfileIndex(working().header.ProfileCurrent), true);
  return true;
}

void MainController::switchProfile(int p, bool notify) {
  if (p < 0 || p >= kProfileCount || p == shownProfile_) return;
  shownProfile_ = p;
  working().header.ProfileCurrent = static_cast<uint32_t>(p);
  recountFuncKey(profile(p));
  view_.showProfile(p);
  if (notify) monitor_.notifyProfile(p);
  view_.repaintMainWindow();
}

void MainController::save() {
  awaitingAck_ = saveSettings(registry_, monitor_, view_);
}

void MainController::onSaveAcknowledged() {
  awaitingAck_ = false;
  view_.setMainWindowEnabled(true);
  if (closePending_) view_.closeWindow();
}

void MainController::onAcknowledgementOverdue() {
  if (!awaitingAck_) return;
  awaitingAck_ = false;
  view_.setMainWindowEnabled(true);
}

void MainController::deselectKey() {
  if (selectedKey_ >= 0) view_.showSelectedKeyNormal(selectedKey_);
  selectedKey_ = -1;
}

void MainController::onRelease(uintptr_t wParam) {
  if (wParam != msg::kReleaseParam) return;
  awaitingAck_ = false;
  view_.setMainWindowEnabled(true);
  deselectKey();
  view_.activateWindow();
}

} // namespace q7
