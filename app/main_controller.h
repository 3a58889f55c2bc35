// The main window's decisions, kept apart from the window so that they run and are tested without
// one: start-up against the monitor, profiles, commands, and the messages from outside.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "keys/key_layout.h"
#include "app/keyboard_view.h"
#include "app/main_commands.h"
#include "keys/key_record.h"
#include "keys/linked_programs.h"
#include "monitor/monitor_link.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace q7 {

// The program's modal windows over the main window. The controller reaches them only through
// MainController::openModal, which holds the outside messages while one runs: a window added here
// cannot be opened outside that scope.
class ModalWindows {
public:
  virtual ~ModalWindows() = default;
  virtual int ask(Warning kind) = 0; // kResultYes or kResultNo
  // The single-key dialog in assign mode, opened with the selected key's own code: the captured
  // virtual-key code after OK, nothing after Cancel.
  virtual std::optional<uint8_t> chooseSingleKey(uint8_t ownKey) = 0;
  virtual std::optional<std::u16string> chooseProgram() = 0;
  virtual std::optional<std::u16string> chooseProfileFile(bool forSaving) = 0;
  virtual void showFileError() = 0;
  // A save the registry refused: the system's text for code, the first failure's error code.
  virtual void showSaveError(uint32_t code) = 0;
  // The linked-programs dialog on a copy of a profile's five slots: true on OK, with slots then
  // holding what the dialog hands back.
  virtual bool editLinkedPrograms(int profile, LinkSlots& slots) = 0;
  // Runs the colour editor modally on the current profile.
  virtual void runColourEditor() = 0;
  // Runs the macro editor modally on record and leaves its working copy there. loaded: opened by
  // MACRO on the selected key's record; otherwise opened from outside (1555) on the record of the key
  // last handed to an editor. kResultYes for OK, otherwise kResultNo.
  virtual int editMacro(KeyRecord& record, bool loaded) = 0;
  virtual void showAbout() = 0;
  // A program whose path does not fit the key record, even in its short form, was refused.
  virtual void showPathTooLong() = 0;
};

// What the controller asks of the main window.
class MainView {
public:
  virtual ~MainView() = default;
  // The modal windows, for MainController::openModal alone.
  virtual ModalWindows& modalWindows() = 0;
  virtual void setMainWindowEnabled(bool enabled) = 0;
  // The monitor was told of new settings; its acknowledgement enables the window again, or a
  // bounded wait runs out.
  virtual void awaitSaveAcknowledgement() = 0;
  virtual void repaintMainWindow() = 0;
  virtual void closeWindow() = 0;    // post WM_CLOSE to the main window
  virtual void activateWindow() = 0; // make the main window the active one
  virtual void minimiseWindow() = 0;
  // Gives key button position its look for mode in the shown profile and redraws it at once; the
  // selected mode also fills the two key information texts.
  virtual void refreshKey(int position, KeyRefreshMode mode) = 0;
  virtual void clearKeyInfo() = 0;
  virtual void setPerKeyButtonsEnabled(bool enabled) = 0;
  // IMPORT, EXPORT and the 114 key buttons; RESETPROFILE stays enabled.
  virtual void setProfileEditingEnabled(bool enabled) = 0;
  virtual void setProfileButtonSelected(int button, bool selected) = 0;
  virtual void clearApplyLook() = 0;
  // Posts a message to the main window, to be handled once the current one is done.
  virtual void postToSelf(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
  virtual void openUrl(std::u16string_view url) = 0;
  virtual void openHelp() = 0;
  virtual void bringMacroEditorForward() = 0;
  // Another profile is shown: a window open over the main window that follows the profile (the
  // colour editor) shows it too.
  virtual void profileSwitched() = 0;
  // The wait cursor while a command waits for the profiles still being read.
  virtual void showWaitCursor(bool on) = 0;
};

// The progress ring of assigned keys: sweep in degrees and the percentage shown.
struct ProgressRing {
  double sweepDegrees;
  int percent;
};
ProgressRing progressRing(uint32_t funcKey);

class MainController {
public:
  // Works on image, the program's one settings image, which outlives the controller.
  MainController(SettingsImage& image, Registry& registry, MonitorLink& monitor, Files& files, MainView& view)
      : image_(image), registry_(registry), monitor_(monitor), files_(files), view_(view) {}
  MainController(const MainController&) = delete;
  MainController& operator=(const MainController&) = delete;
  ~MainController(); // waits for a read still running

  // Opens one of the program's modal windows over the main window: open is called with the modal
  // windows and its result handed back. Meanwhile a profile request is held (the latest wins) and
  // carried out once the window has closed, so that what the window edits lands in the profile and
  // key it was opened for; an acknowledgement, a release or the overdue wait ends the save wait but
  // enables the main window only when the modal window has closed. A window that follows switches
  // itself (the colour editor) lets profile requests through.
  enum class Switches { Held, PassThrough };
  template <typename Open> decltype(auto) openModal(Open&& open, Switches switches = Switches::Held) {
    ModalScope modal(*this, switches == Switches::Held);
    return open(view_.modalWindows());
  }

  // The keyboard layout the window shows (chosen by the string file's language).
  void setKeyLayout(KeyLayout layout) { layout_ = layout; }

  // Initialisation from the monitor check on: false when there is no monitor (the program must
  // then end at once, having written nothing).
  bool initialise(WindowHandle mainWindow);
  // Asked before initialise: initialise then reads the header and the current profile alone, and
  // startReadingOtherProfiles (the window calls it after its first paint, so that the read does not
  // compete with the start) reads the others on a thread of their own; done is called on that thread
  // when they are in, and the window then calls onOtherProfilesRead on its own thread. Whatever
  // touches another profile waits for the read, and starts it if it has not started yet.
  void readOtherProfilesInBackground(std::function<void()> done) {
    readInBackground_ = true;
    otherProfilesDone_ = std::move(done);
  }
  void startReadingOtherProfiles();
  void onOtherProfilesRead();

  // Profiles.
  void switchProfile(int p, bool notify);
  void refreshControls();
  void resetProfile();
  void onProfileButton(int i);
  void onActivateApp();
  void onAbout(); // the system menu's About

  // Keyboard view.
  void selectKey(int position);
  void deselectKey(); // a click on the window background

  // Commands and saving.
  void onCommand(Command command, int index = 0);
  // Stores the image and tells the monitor; false (after telling the user) when the registry
  // refused a write: the edits then stay unsaved.
  bool save();
  // The system's Close (Alt+F4, the taskbar, the system menu): the close button's command, so that
  // unsaved edits are asked about. Nothing while one of the program's modal windows is open: that
  // window is answered first.
  void onSystemClose();

  // Messages from outside.
  void onSwitchRequest(uintptr_t wParam, intptr_t lParam); // 1537
  void onSaveAcknowledged();                               // 13317
  void onDeviceNotice();                                   // 13316
  void onRelease(uintptr_t wParam);                        // 1544, and 1552 with wParam 16
  void onMacroMessage(uintptr_t wParam);                   // 1552
  void onKeyCommand(intptr_t lParam);                      // 1281
  void onOpenMacroEditor();                                // 1555
  void onAcknowledgementOverdue();                         // the bounded wait after a save ran out

  int shownProfile() const { return shownProfile_; }
  int selectedKey() const { return selectedKey_; }
  bool editFlag() const { return editFlag_; }
  bool macroSaved() const { return macroSaved_; }
  bool closePending() const { return closePending_; }
  bool awaitingAcknowledgement() const { return awaitingAck_; }
  bool keysEditable() const { return !isPcModeProfile(shownProfile_); }
  bool modalOpen() const { return modalDepth_ > 0; }

private:
  KeyRecord* selectedRecord();
  void keyChanged(); // a per-key command succeeded
  void refreshAllKeys(KeyRefreshMode mode);
  void onApp();
  void onSingleKey();
  // Lives while a modal window opened by openModal is open.
  class ModalScope {
  public:
    ModalScope(MainController& c, bool holdsSwitches) : c_(c), holdsSwitches_(holdsSwitches) {
      ++c_.modalDepth_;
      if (holdsSwitches_) ++c_.switchHolds_;
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() {
      if (holdsSwitches_) --c_.switchHolds_;
      if (--c_.modalDepth_ == 0)
        c_.modalClosed();
      else if (holdsSwitches_ && c_.switchHolds_ == 0)
        c_.releaseHeldSwitch(); // back in a window that lets switches through
    }

  private:
    MainController& c_;
    bool holdsSwitches_;
  };
  // What a profile switch does with unsaved edits after its question: a profile button reloads the
  // whole image, a request (1537: the monitor, its tray, a linked program) keeps them in it.
  enum class UnsavedEdits { Reload, Keep };
  void changeProfile(int p, bool notify, UnsavedEdits edits);
  int ask(Warning kind);
  // Blocks, with the wait cursor, until every profile is read.
  void awaitAllProfiles();
  void modalClosed();
  void releaseHeldSwitch();
  void onDisable();
  void onDefault();
  void onMacro();
  void onExport();
  void onImport();
  void onSync();
  void onWholeKeyboardColour();

  SettingsImage& image_;
  Registry& registry_;
  MonitorLink& monitor_;
  bool readInBackground_ = false;
  std::function<void()> otherProfilesDone_;
  std::thread otherProfilesRead_;
  bool secondTreePending_ = false; // an activation came while the profiles were read
  Files& files_;
  MainView& view_;
  int shownProfile_ = -1;
  int selectedKey_ = -1;
  int litProfileButton_ = -1;
  bool editFlag_ = false;
  bool macroSaved_ = false;
  bool closePending_ = false;
  bool awaitingAck_ = false;
  KeyLayout layout_ = KeyLayout::Ansi;
  // Outside messages held while a modal window is open.
  int modalDepth_ = 0;
  int switchHolds_ = 0;                                      // open modal windows that hold profile requests
  std::optional<std::pair<uintptr_t, intptr_t>> heldSwitch_; // the latest 1537
  bool heldAcknowledgement_ = false;                         // 13317 or the wait ran out
  bool heldRelease_ = false;                                 // 1544 or 1552 with 16
  int macroEditorKey_ = -1;                                  // the key position last handed to a macro editor
  bool macroEditorOpen_ = false;
};

} // namespace q7
