// CMacroSetDlg: the macro editor, a skinned modal dialog over the main window. It translates the
// window's messages into the controller's operations (macro_editor_controller.h) and carries out
// what the controller asks of a window: the event list, the buttons and fields, the hook library,
// the questions and the messages to the main window.
#pragma once

#include "platform/win32/windows_only.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "keys/key_record.h"
#include "macro/macro_editor_controller.h"
#include "macro/macro_editor_layout.h"
#include "macro/macro_list_box.h"
#include "platform/win32/hook_library.h"
#include "platform/win32/posting_timer.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_keyboard_text.h"
#include "ui/bitmap_btn2.h"
#include "ui/crledit.h"
#include "ui/skinned_dialog.h"

namespace q7 {

class CMacroSetDlg final : public SkinnedDialog<CMacroSetDlg>, private MacroEditorView {
public:
  // Shows a question or notice of the warning dialog (the kinds of EditorWarning) owned by owner;
  // kResultYes or kResultNo.
  using Ask = std::function<int(HWND owner, int kind)>;

  // loaded: the editor opens on record as the key's own (MACRO); otherwise (1555) only its working
  // copy starts from record and the reference it compares with on closing stays empty.
  CMacroSetDlg(HWND owner, const KeyRecord& record, bool loaded, Ask ask);

  // Runs the editor modally: kResultYes for OK, otherwise kResultNo.
  int runModal();
  // The working copy, as the editor left it.
  const KeyRecord& record() const { return controller_.working(); }
  // While running.
  MacroEditorController& controller() { return controller_; }
  CMacroListBox& list() { return list_; }

private:
  friend class SkinnedDialog<CMacroSetDlg>;
  void onCreate();
  void onInit();
  void onScaleChanged();
  void takePictures(); // the pictures, shape and size at scale_
  void onCommand(UINT code, ControlCommand bound);
  void onDialogCommand(UINT) {} // Enter and Escape never close the editor
  void onClose() { controller_.onCommand(macro_editor::Control::Close); }
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
  void paintFace(HDC dc, int width, int height);
  void paintTexts(HDC dc);
  void onDestroy();
  // Keys aimed at the editor or its controls, before the dialog manager sees them; true swallows.
  bool onKey(const MSG& m);
  static LRESULT CALLBACK keyFilter(int code, WPARAM wParam, LPARAM lParam);
  // The context menu at a screen point; from the keyboard it opens at the list's current line.
  void showMenu(POINT at, bool fromKeyboard);

  CBitmapBtn2& button(macro_editor::Control id) { return buttons_[static_cast<size_t>(id)]; }
  CCrledit& field(EditorField f);
  HWND mainWindow() const;

  // MacroEditorView
  void showLines(const std::vector<MacroListLine>& lines, const std::vector<int>& selected) override;
  void addLine(const MacroListLine& line) override;
  void rewriteLastLine(const std::u16string& text) override;
  void showLastLine() override;
  void selectAll(bool selected) override;
  std::vector<int> selectedLines() override;
  int caretLine() override;
  void focusList() override;
  void showRecordLatched(bool latched) override;
  void showStopLatched(bool latched) override;
  void setEditingEnabled(bool enabled) override;
  void showPauseMode(int mode) override;
  void showPlayOption(int mode) override;
  std::u16string fieldText(EditorField field) override;
  void setFieldText(EditorField field, const std::u16string& text) override;
  int ask(EditorWarning kind) override;
  std::optional<uint8_t> askKeyToInsert() override;
  void postLimitNotice() override;
  void sendMacroStored() override;
  void installHook() override;
  void setHookStatus(int status) override;
  void close(int result) override;
  void showPreview(const std::u16string& text, std::optional<std::pair<uint32_t, uint64_t>> times) override;
  void showTestLatched(bool latched) override;
  void scheduleTestTick(uint32_t inMs) override;
  void cancelTestTick() override;
  bool putClipboardText(const std::u16string& text) override;
  std::optional<std::u16string> clipboardText() override;
  void showTextError(int line, TextError error) override;
  void showNotice(EditorNotice notice) override;

  struct Pictures;
  const Pictures* pictures_ = nullptr; // the skin pictures and the pieces cut from them, kept for the process
  Ask ask_;
  std::u16string languageCode_;
  win32::Win32KeyboardText keyboard_;
  win32::Win32Clock clock_;
  win32::PreciseClock playClock_;
  MacroEditorController controller_{*this, keyboard_, keyboard_, clock_, playClock_};
  std::optional<win32::PostingTimer> testTimer_; // calls test play back when its next event is due
  win32::UniqueHook keyFilter_;                  // onKey, from creation to destruction
  std::optional<win32::HookLibrary> hook_;       // loaded from creation to destruction
  std::array<CBitmapBtn2, std::size(macro_editor::kControls)> buttons_;
  std::array<CBitmapBtn2, std::size(macro_editor::kLabels)> labels_;
  CCrledit name_, pause_, count_;
  CCrledit preview_; // read-only: what test play types
  CMacroListBox list_;
  std::u16string headings_[std::size(macro_editor::kHeadings)];
};

} // namespace q7
