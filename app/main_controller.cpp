#include "app/main_controller.h"

#include <algorithm>
#include <cstring>

#include "keys/key_codes.h"
#include "keys/key_places.h"
#include "monitor/messages.h"
#include "keys/key_record.h"
#include "lighting/whole_key_colour.h"
#include "settings/factory_defaults.h"
#include "settings/key_counting.h"
#include "settings/profile_file.h"
#include "settings/settings_image.h"

namespace q7 {

ProgressRing progressRing(uint32_t funcKey) {
  // An imported FuncKey can hold anything: the ring never shows more than all keys.
  const uint64_t count = std::min<uint64_t>(funcKey, kKeyCount);
  return {static_cast<double>(count) * 360.0 / kKeyCount, static_cast<int>(count * 100 / kKeyCount)};
}

MainController::~MainController() {
  if (otherProfilesRead_.joinable()) otherProfilesRead_.join();
}

bool MainController::initialise(WindowHandle mainWindow) {
  if (monitor_.findMonitor() == 0) return false;
  monitor_.announceWindow(mainWindow);
  if (readInBackground_) {
    loadCurrentProfile(registry_, image_);
  } else {
    loadSettings(registry_, image_);
  }
  view_.repaintMainWindow();
  switchProfile(image_.currentIndex(), true);
  return true;
}

// --- Profiles ------------------------------------------------------------------------------

void MainController::startReadingOtherProfiles() {
  if (image_.allRead() || otherProfilesRead_.joinable()) return;
  // Every use of the registry on the window's side waits for this read: the two never overlap.
  otherProfilesRead_ = std::thread([this] {
    loadOtherProfiles(registry_, image_);
    if (otherProfilesDone_) otherProfilesDone_();
  });
}

void MainController::awaitAllProfiles() {
  if (image_.allRead()) return;
  startReadingOtherProfiles();
  view_.showWaitCursor(true);
  image_.waitUntilRead();
  view_.showWaitCursor(false);
  onOtherProfilesRead();
}

void MainController::onOtherProfilesRead() {
  if (!secondTreePending_ || !image_.allRead()) return;
  secondTreePending_ = false;
  readSecondTreeLinks(registry_, image_);
}

void MainController::switchProfile(int p, bool notify) {
  if (p < 0 || p >= kProfileCount || p == shownProfile_) return;
  if (!image_.isRead(p)) awaitAllProfiles();
  // Exactly one profile button carries the selected look: button 0 also stands for profile 6,
  // profiles 7 and 8 have none.
  const int lit = p == kPcModeProfileToo ? kPcModeProfile : (p <= kLastProfileWithButton ? p : -1);
  if (lit != litProfileButton_) {
    if (litProfileButton_ >= 0) view_.setProfileButtonSelected(litProfileButton_, false);
    if (lit >= 0) view_.setProfileButtonSelected(lit, true);
    litProfileButton_ = lit;
  }
  shownProfile_ = p;
  image_.header().ProfileCurrent = static_cast<uint32_t>(p);
  refreshControls();
  recountFuncKey(image_.profile(p));
  refreshAllKeys(KeyRefreshMode::Normal);
  if (notify) monitor_.notifyProfile(p);
  view_.profileSwitched();
  view_.repaintMainWindow();
}

void MainController::refreshControls() {
  view_.setPerKeyButtonsEnabled(false);
  view_.clearKeyInfo();
  view_.setProfileEditingEnabled(keysEditable());
  view_.repaintMainWindow();
}

void MainController::resetProfile() {
  awaitAllProfiles(); // the reset gives every profile its lighting defaults
  const int p = image_.currentIndex();
  ProfileRecord& rec = image_.profile(p);
  for (int k = 0; k < kKeyCount; ++k)
    if (rec.Button[k].inUse()) view_.refreshKey(k, KeyRefreshMode::Default);
  resetProfileSettings(image_, p);
  if (selectedKey_ >= 0) {
    view_.refreshKey(selectedKey_, KeyRefreshMode::Normal);
    selectedKey_ = -1;
  }
  refreshControls();
  editFlag_ = true;
}

void MainController::onProfileButton(int i) {
  if (i < 0 || i > kLastProfileWithButton) return;
  changeProfile(i, true, UnsavedEdits::Reload);
}

// The one way from one profile to another, whoever asks. With unsaved edits it asks first; Yes
// saves them. A profile button then reloads the whole image, dropping what was not saved; a request
// keeps the edits in the image. A save that failed keeps the edits unsaved and the flag set, and a
// profile button then stays where it is rather than lose them.
void MainController::changeProfile(int p, bool notify, UnsavedEdits edits) {
  awaitAllProfiles();
  const bool saveFailed = editFlag_ && ask(Warning::Leave) == kResultYes && !save();
  const bool reload = edits == UnsavedEdits::Reload;
  if (reload && saveFailed) return;
  if (reload && editFlag_) loadSettings(registry_, image_);
  switchProfile(p, notify);
  editFlag_ = saveFailed;
  if (!reload) return;
  // A reload while this profile stays shown brings back the stored ProfileCurrent; the shown
  // profile is what counts, and the monitor already knows it.
  if (shownProfile_ >= 0) image_.header().ProfileCurrent = static_cast<uint32_t>(shownProfile_);
  refreshAllKeys(KeyRefreshMode::Normal);
}

void MainController::onActivateApp() {
  // It writes into every profile: while they are read, it follows the read (onOtherProfilesRead).
  if (!image_.allRead()) {
    secondTreePending_ = true;
    return;
  }
  readSecondTreeLinks(registry_, image_);
}

// --- Keyboard view -------------------------------------------------------------------------

void MainController::refreshAllKeys(KeyRefreshMode mode) {
  for (int k = 0; k < kKeyCount; ++k) view_.refreshKey(k, mode);
}

void MainController::selectKey(int position) {
  if (position < 0 || position >= kKeyCount) return;
  if (selectedKey_ >= 0) view_.refreshKey(selectedKey_, KeyRefreshMode::Normal);
  selectedKey_ = position;
  view_.refreshKey(position, KeyRefreshMode::Selected);
  view_.setPerKeyButtonsEnabled(true);
}

void MainController::deselectKey() {
  if (selectedKey_ >= 0) {
    view_.refreshKey(selectedKey_, KeyRefreshMode::Normal);
    selectedKey_ = -1;
    refreshControls();
  }
}

KeyRecord* MainController::selectedRecord() {
  if (selectedKey_ < 0 || selectedKey_ >= kKeyCount || shownProfile_ < 0) return nullptr;
  return &image_.key(shownProfile_, selectedKey_);
}

void MainController::keyChanged() {
  view_.refreshKey(selectedKey_, KeyRefreshMode::Selected);
  view_.repaintMainWindow();
}

// --- Commands ------------------------------------------------------------------------------

// Writes every value and tells the monitor. The main window stays disabled until the monitor
// acknowledges; with no monitor to tell, no acknowledgement can come and it is enabled at once.
// The monitor is told even when a write failed: the registry may hold part of the new image, and
// the monitor acts on what the registry holds.
bool MainController::save() {
  awaitAllProfiles();
  view_.setMainWindowEnabled(false);
  const uint32_t failure = writeSettings(registry_, image_);
  // The monitor reads the registry as soon as it is told; the saved copy, the program's own, is
  // taken while it reads (the window stays disabled, so nothing is edited in between). Only what
  // the registry holds in full counts as saved.
  awaitingAck_ = monitor_.notifySaved(image_.currentIndex());
  if (failure == 0) image_.commitSaved();
  if (awaitingAck_)
    view_.awaitSaveAcknowledgement();
  else
    view_.setMainWindowEnabled(true);
  view_.repaintMainWindow();
  if (failure != 0) openModal([failure](ModalWindows& w) { w.showSaveError(failure); });
  return failure == 0;
}

void MainController::onSystemClose() {
  if (!modalOpen()) onCommand(Command::Close);
}

void MainController::onCommand(Command command, int index) {
  switch (command) {
  case Command::Ok:
    if (save()) view_.closeWindow();
    break;
  case Command::Cancel:
    view_.closeWindow();
    break;
  case Command::Apply:
    if (save()) {
      view_.clearApplyLook();
      editFlag_ = false;
    }
    break;
  case Command::Close:
    awaitAllProfiles();
    if (!image_.hasUnsavedChanges()) {
      view_.closeWindow();
    } else if (ask(Warning::Save) == kResultYes) {
      closePending_ = true; // closes when the monitor acknowledges
      if (!save()) {
        closePending_ = false; // the edits are not stored: the window stays
      } else if (!awaitingAck_) {
        // With no monitor to tell, no acknowledgement can come: the settings are stored, close now.
        view_.closeWindow();
      }
    } else {
      view_.closeWindow();
    }
    break;
  case Command::Minimise:
    view_.minimiseWindow();
    break;
  case Command::WebHome:
    view_.openUrl(kWebHome);
    break;
  case Command::WebSocial1:
    view_.openUrl(kWebSocial1);
    break;
  case Command::WebSocial2:
    view_.openUrl(kWebSocial2);
    break;
  case Command::Help:
    view_.openHelp();
    break;
  case Command::ResetProfile:
    resetProfile();
    break;
  case Command::Export:
    onExport();
    break;
  case Command::Import:
    onImport();
    break;
  case Command::Macro:
    onMacro();
    break;
  case Command::SingleKey:
    onSingleKey();
    break;
  case Command::Sync:
    onSync();
    break;
  case Command::WholeKeyboardColour:
    onWholeKeyboardColour();
    break;
  case Command::App:
    onApp();
    break;
  case Command::Disable:
    onDisable();
    break;
  case Command::Default:
    onDefault();
    break;
  case Command::ProfileButton:
    onProfileButton(index);
    break;
  case Command::KeyButton:
    selectKey(index);
    break;
  }
}

void MainController::onApp() {
  KeyRecord* rec = selectedRecord();
  if (!rec) return;
  if (!keyLimitReached(image_.currentProfile())) {
    const std::optional<std::u16string> chosen = openModal([](ModalWindows& w) { return w.chooseProgram(); });
    if (chosen && !chosen->empty()) {
      // The field holds 130 units (a full one without a terminator). A cut path would start
      // nothing: a longer one is stored in its short form, or refused when even that is too long.
      constexpr size_t kUnits = sizeof KeyRecord::ProgramPath / sizeof(char16_t);
      std::u16string path = *chosen;
      if (path.size() > kUnits) path = files_.shortPath(path);
      if (path.empty() || path.size() > kUnits) {
        openModal([](ModalWindows& w) { w.showPathTooLong(); });
      } else {
        countAssignment(image_.currentProfile(), rec->Kind);
        std::memset(rec->ProgramPath, 0, sizeof rec->ProgramPath);
        rec->Kind = static_cast<uint8_t>(KeyKind::Program);
        std::copy(path.begin(), path.end(), rec->ProgramPath);
        keyChanged();
      }
    }
  }
  editFlag_ = true;
}

void MainController::onSingleKey() {
  if (!selectedRecord()) return;
  // The dialog opens with the low byte of the key's own virtual-key code (the program's own codes
  // 1000 and more hand over their low byte too).
  const int32_t own = virtualKeyForCode(keyCodeAt(layout_, selectedKey_));
  const std::optional<uint8_t> captured =
      openModal([&](ModalWindows& w) { return w.chooseSingleKey(static_cast<uint8_t>(own & 0xFF)); });
  KeyRecord* rec = selectedRecord();
  if (!captured || !rec) return;
  // No FuncKey limit here: a single key may take the count past the number of keys.
  countAssignment(image_.currentProfile(), rec->Kind);
  std::memset(rec, 0, sizeof *rec);
  rec->setSingleKeyVk(*captured);
  rec->Kind = static_cast<uint8_t>(KeyKind::SingleKey);
  keyChanged();
  editFlag_ = true;
}

void MainController::onDisable() {
  KeyRecord* rec = selectedRecord();
  if (!rec || keyLimitReached(image_.currentProfile())) return;
  if (ask(Warning::Disable) != kResultYes) return;
  countAssignment(image_.currentProfile(), rec->Kind);
  std::memset(rec, 0, sizeof *rec);
  rec->Kind = static_cast<uint8_t>(KeyKind::Disabled);
  keyChanged();
  editFlag_ = true;
}

void MainController::onDefault() {
  KeyRecord* rec = selectedRecord();
  if (!rec || !rec->inUse()) return;
  if (ask(Warning::Default) != kResultYes) return;
  std::memset(rec, 0, sizeof *rec);
  keyChanged();
  countReset(image_.currentProfile());
}

namespace {
// Marks a macro editor open for as long as it runs.
class EditorOpen {
public:
  explicit EditorOpen(bool& flag) : flag_(flag) { flag_ = true; }
  EditorOpen(const EditorOpen&) = delete;
  EditorOpen& operator=(const EditorOpen&) = delete;
  ~EditorOpen() { flag_ = false; }

private:
  bool& flag_;
};
} // namespace

void MainController::onMacro() {
  const KeyRecord* rec = selectedRecord();
  if (!rec || keyLimitReached(image_.currentProfile())) return;
  // The key it was opened for: the selection may be released while the editor runs.
  const int p = shownProfile_, k = selectedKey_;
  KeyRecord edited = *rec;
  // Only the editor that runs now hands its record over: a flag left from an earlier OK would turn
  // this editor's Cancel into a store.
  macroSaved_ = false;
  macroEditorKey_ = k;
  const int result = openModal([&](ModalWindows& w) {
    EditorOpen open(macroEditorOpen_);
    return w.editMacro(edited, true);
  });
  if (result != kResultYes && !macroSaved_) return;
  if (edited.EventCount != 0) {
    KeyRecord& target = image_.key(p, k);
    countAssignment(image_.profile(p), target.Kind);
    target = edited;
    target.Kind = static_cast<uint8_t>(KeyKind::Macro);
    if (p == shownProfile_) {
      view_.refreshKey(k, k == selectedKey_ ? KeyRefreshMode::Selected : KeyRefreshMode::Normal);
      view_.repaintMainWindow();
    }
  }
  editFlag_ = true;
}

void MainController::onOpenMacroEditor() {
  // One editor at a time: a second would share the hook library with the first.
  if (macroEditorOpen_) {
    view_.bringMacroEditorForward();
    return;
  }
  KeyRecord record{};
  if (macroEditorKey_ >= 0) record = image_.key(image_.currentIndex(), macroEditorKey_);
  openModal([&](ModalWindows& w) {
    EditorOpen open(macroEditorOpen_);
    w.editMacro(record, false); // its result is not used
  });
}

void MainController::onExport() {
  awaitAllProfiles();
  auto path = openModal([](ModalWindows& w) { return w.chooseProfileFile(true); });
  if (!path) return;
  if (exportProfile(files_, *path, image_.currentProfile()) == FileResult::Failed)
    openModal([](ModalWindows& w) { w.showFileError(); });
}

void MainController::onImport() {
  awaitAllProfiles();
  auto path = openModal([](ModalWindows& w) { return w.chooseProfileFile(false); });
  if (!path) return;
  switch (importProfile(files_, *path, image_.currentProfile())) {
  case FileResult::CannotOpen:
    editFlag_ = true;
    return;
  case FileResult::Failed:
    openModal([](ModalWindows& w) { w.showFileError(); }); // the profile and the edit flag stay as they were
    return;
  case FileResult::Done:
    refreshControls();
    refreshAllKeys(KeyRefreshMode::Normal);
    editFlag_ = true;
    return;
  }
}

void MainController::onSync() {
  if (shownProfile_ < 0) return;
  ProfileRecord& rec = image_.profile(shownProfile_);
  LinkSlots slots;
  static_assert(sizeof slots == sizeof rec.LinkExe);
  std::memcpy(&slots, rec.LinkExe, sizeof slots);
  if (!openModal([&](ModalWindows& w) { return w.editLinkedPrograms(shownProfile_, slots); })) return;
  std::memcpy(rec.LinkExe, &slots, sizeof slots);
  editFlag_ = true;
}

void MainController::onWholeKeyboardColour() {
  awaitAllProfiles(); // the arrays come with the other profiles
  // Without the editor's stored OK, the profile's entries are put back when it closes.
  WholeKeyColourRun run(image_, image_.currentIndex());
  // It follows profile switches while it is open: requests go through to it.
  openModal([](ModalWindows& w) { w.runColourEditor(); }, Switches::PassThrough);
}

// --- Messages from outside -----------------------------------------------------------------

void MainController::onSwitchRequest(uintptr_t wParam, intptr_t lParam) {
  const uintptr_t requested = wParam == kPcModeProfileToo ? kPcModeProfile : wParam;
  if (requested >= static_cast<uintptr_t>(kProfileCount)) return; // no such profile: ignored entirely
  if (switchHolds_ > 0) {
    heldSwitch_.emplace(wParam, lParam); // carried out when the modal window has closed
    return;
  }
  changeProfile(static_cast<int>(requested), static_cast<uint32_t>(lParam) != msg::kNoEcho, UnsavedEdits::Keep);
}

void MainController::onSaveAcknowledged() {
  awaitingAck_ = false;
  if (modalOpen()) {
    heldAcknowledgement_ = true; // never enable the main window under a modal window
    return;
  }
  view_.setMainWindowEnabled(true);
  if (closePending_) view_.closeWindow();
}

void MainController::onAcknowledgementOverdue() {
  if (!awaitingAck_) return;
  awaitingAck_ = false;
  if (modalOpen()) {
    heldAcknowledgement_ = true;
    return;
  }
  view_.setMainWindowEnabled(true);
  // The settings were stored before the wait began; a close the user asked for goes ahead.
  if (closePending_) view_.closeWindow();
}

void MainController::onDeviceNotice() {
  ask(Warning::Device);
  view_.closeWindow();
}

void MainController::onRelease(uintptr_t wParam) {
  if (wParam != msg::kReleaseParam) return;
  awaitingAck_ = false;
  if (modalOpen()) {
    // The wait ends now; enabling, deselecting and activating wait for the modal window to close.
    heldRelease_ = true;
    return;
  }
  view_.setMainWindowEnabled(true);
  // Released while a close waits for its acknowledgement: the settings are stored, the close goes
  // ahead rather than leaving the flag to close the window after some later save.
  if (closePending_) {
    view_.closeWindow();
    return;
  }
  if (selectedKey_ >= 0) view_.refreshKey(selectedKey_, KeyRefreshMode::Normal);
  selectedKey_ = -1;
  view_.activateWindow();
}

void MainController::onMacroMessage(uintptr_t wParam) {
  if (wParam == msg::kReleaseParam) {
    onRelease(wParam);
  } else if (wParam == msg::kMacroStoredParam) {
    macroSaved_ = true;
  } else if (wParam == msg::kMacroStoredParam2) {
    ask(Warning::MaxWarn);
  }
}

int MainController::ask(Warning kind) {
  return openModal([kind](ModalWindows& w) { return w.ask(kind); });
}

void MainController::onAbout() {
  openModal([](ModalWindows& w) { w.showAbout(); });
}

// The last modal window has closed: what was held meanwhile is carried out. A release and a profile
// request go back through the window's message queue, so that they run after the command that
// opened the modal window has finished with the key and profile it was opened for.
void MainController::modalClosed() {
  if (heldAcknowledgement_ || heldRelease_) {
    heldAcknowledgement_ = false;
    if (!awaitingAck_) view_.setMainWindowEnabled(true);
    if (closePending_) {
      heldRelease_ = false;
      view_.closeWindow();
    }
  }
  if (heldRelease_) {
    heldRelease_ = false;
    view_.postToSelf(msg::kRelease, msg::kReleaseParam, 0);
  }
  releaseHeldSwitch();
}

void MainController::releaseHeldSwitch() {
  if (!heldSwitch_) return;
  const auto [wParam, lParam] = *heldSwitch_;
  heldSwitch_.reset();
  view_.postToSelf(msg::kSwitchProfile, wParam, lParam);
}

void MainController::onKeyCommand(intptr_t lParam) {
  KeyRecord* rec = selectedRecord();
  if (!rec) return;
  const uint32_t action = (static_cast<uint32_t>(lParam) >> 16) & 0xFFFF;
  const uint8_t low = static_cast<uint8_t>(lParam & 0xFF);
  switch (action) {
  case 0:
    std::memset(rec, 0, sizeof *rec);
    break;
  case 4:
  case 5:
  case 6:
  case 7:
    std::memset(rec, 0, sizeof *rec);
    rec->Kind = low;
    break;
  case 10:
    std::memset(rec, 0, sizeof *rec);
    rec->Kind = static_cast<uint8_t>(KeyKind::Disabled);
    break;
  default:
    return; // 1 and anything else: nothing
  }
  // FuncKey and the edit flag stay: the next recount repairs the count.
  view_.refreshKey(selectedKey_, KeyRefreshMode::Normal);
  selectedKey_ = -1;
}

} // namespace q7
