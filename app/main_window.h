// CKeyvaneDlg: the main window, a modal dialog on the empty template 102. It translates window
// messages into the controller's operations and carries out what the controller asks of a window.
#pragma once

#include "platform/win32/windows_only.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/key_labels.h"
#include "keys/key_layout.h"
#include "app/main_window_layout.h"
#include "app/main_controller.h"
#include "monitor/monitor_link.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_messenger.h"
#include "platform/win32/win32_keyboard_text.h"
#include "platform/win32/win32_registry.h"
#include "ui/bitmap_btn.h"
#include "ui/bitmap_btn2.h"
#include "ui/skin.h"
#include "ui/skinned_dialog.h"

namespace q7 {

class CMacroSetDlg;
class CWholeKeyboard;

class CKeyvaneDlg final : public SkinnedDialog<CKeyvaneDlg>, public MainView, private ModalWindows {
public:
  // Shows and edits image, the program's one settings image, which outlives the window.
  CKeyvaneDlg(HINSTANCE instance, SettingsImage& image);
  CKeyvaneDlg(const CKeyvaneDlg&) = delete;
  CKeyvaneDlg& operator=(const CKeyvaneDlg&) = delete;
  ~CKeyvaneDlg() override;

  // Runs the window modally; returns the dialog result.
  INT_PTR runModal() { return SkinnedDialog::runModal(); }

  // How long a save waits for the monitor's acknowledgement before the window is enabled anyway.
  static constexpr UINT kAcknowledgementWaitMs = 5000;

private:
  friend class SkinnedDialog<CKeyvaneDlg>;
  // The window's messages, as the dialog base hands them on.
  void onCreate();
  void onInit();
  void onCommand(UINT code, ControlCommand bound);
  bool onKeyboardKey(UINT vk, HWND focus);
  void onDialogCommand(UINT id);
  void onClose() { end(IDOK); }
  void onPaint();
  void onDestroy();
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

  void loadPictures();
  void createControls();
  void createControl(main_window::Control id);
  void cutControlPictures(main_window::Control id);
  void onScaleChanged();
  void buildKeyButtons();
  bool setKeyLook(int position, KeyLook look); // false when the key already looked so
  void nameKey(int position, const KeyRecord& record);
  CBitmapBtn& control(main_window::Control id) { return controls_[static_cast<size_t>(id)]; }
  void onSysCommand(WPARAM wParam, LPARAM lParam);
  void onLButtonDown(LPARAM lParam);
  bool onOutsideMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // MainView
  ModalWindows& modalWindows() override { return *this; }
  void setMainWindowEnabled(bool enabled) override;
  void awaitSaveAcknowledgement() override;
  void repaintMainWindow() override;
  void closeWindow() override;
  void activateWindow() override;
  void minimiseWindow() override;
  void refreshKey(int position, KeyRefreshMode mode) override;
  void clearKeyInfo() override;
  void setPerKeyButtonsEnabled(bool enabled) override;
  void setProfileEditingEnabled(bool enabled) override;
  void setProfileButtonSelected(int button, bool selected) override;
  void clearApplyLook() override;
  int ask(Warning kind) override;
  std::optional<uint8_t> chooseSingleKey(uint8_t ownKey) override;
  void postToSelf(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  int editMacro(KeyRecord& record, bool loaded) override;
  void bringMacroEditorForward() override;
  void profileSwitched() override;
  void showWaitCursor(bool on) override;
  std::optional<std::u16string> chooseProgram() override;
  std::optional<std::u16string> chooseProfileFile(bool forSaving) override;
  void showFileError() override;
  void showSaveError(uint32_t code) override;
  void openUrl(std::u16string_view url) override;
  void openHelp() override;
  bool editLinkedPrograms(int profile, LinkSlots& slots) override;
  void runColourEditor() override;
  void showAbout() override;
  void showPathTooLong() override;

  HINSTANCE instance_;
  SettingsImage& image_;
  win32::UniqueIcon icon_;
  win32::Win32Registry registry_;
  win32::Win32Messenger messenger_;
  win32::Win32Files files_;
  MonitorLink monitor_{messenger_};
  MainController controller_{image_, registry_, monitor_, files_, *this};
  std::u16string languageCode_;
  KeyLayout layout_ = KeyLayout::Ansi;
  win32::Win32KeyboardText keyboardText_;
  std::optional<KeyLabels> labels_;

  // Skin pictures: the three whole-window images, by KeyImage. (The base's pictures stay empty:
  // everything here is drawn from or cut out of these; the keys draw their pieces straight from them.)
  SkinBitmap keyImages_[3];
  // Each profile button's other normal look (hover picture when not selected, normal when selected).
  std::array<SkinImage, kLastProfileWithButton + 1> profileOtherLook_;
  std::array<bool, kLastProfileWithButton + 1> profileSelected_{};
  std::array<CBitmapBtn, std::size(main_window::kControls)> controls_;
  std::array<CBitmapBtn2, kKeyCount> keys_;
  CMacroSetDlg* macroEditor_ = nullptr;    // while the macro editor runs
  CWholeKeyboard* colourEditor_ = nullptr; // while the colour editor runs
  bool prefetched_ = false;                // the dialogs' pictures are being decoded ahead
};

} // namespace q7
