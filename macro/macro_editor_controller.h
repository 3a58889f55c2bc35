// The macro editor's decisions, kept apart from its window: opening on a record, the list's lines,
// recording from the hook library's reports, every command and what it does to the working copy,
// the list and the selection, and what is handed back when the editor closes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keys/key_record.h"
#include "macro/macro_editor_layout.h"
#include "keys/macro_event.h"
#include "macro/macro_list_text.h"
#include "macro/macro_recording.h"
#include "macro/macro_test_play.h"
#include "macro/macro_text_form.h"
#include "macro/macro_undo.h"
#include "platform/clock.h"
#include "platform/keyboard_text.h"
#include "platform/typed_text.h"

namespace q7 {

// The warning dialog's kinds the editor raises.
enum class EditorWarning {
  DelayWarn = 4,   // a typed pause out of range
  MaxWarn = 5,     // the macro is full
  LeaveEditor = 9, // leave the editor with changes?
};

enum class EditorField { Name, Pause, Count };

// Notices about the system's clipboard.
enum class EditorNotice {
  ClipboardRefused, // the system's clipboard could not take the text
  NoClipboardText,  // there is no text on the system's clipboard
};

// The entries of the editor's context menu.
enum class MenuCommand { Undo, Redo, CopyAllText, PasteText };
struct MenuState {
  bool undo = false, redo = false, copyAllText = false, pasteText = false; // enabled
};

// A key going to the editor or one of its controls, and what the editor does with it.
struct EditorKey {
  uint8_t vk = 0;
  bool down = true; // a press (key down or its character); false for a release
  bool ctrl = false, shift = false, alt = false;
  bool inField = false;     // aimed at the name, pause or count field
  bool inList = false;      // aimed at the list of lines
  bool keyboardUse = false; // the windows are in keyboard use
};
enum class KeyAction {
  Pass,    // normal processing
  Swallow, // acts on nothing
  Undo,
  Redo,
  Menu,     // the context menu
  StopTest, // Escape during a test play
  // In keyboard use, in the list: Delete, Ctrl+Up and Ctrl+Down act as the Delete, Up and Down buttons.
  DeleteLines,
  LinesUp,
  LinesDown,
};
// While a recording runs every key is swallowed (the hook library records it).
KeyAction editorKeyAction(const EditorKey& key, bool recording, bool testing);

inline constexpr int kMaxNameLength = 20;
inline constexpr int kMaxDigits = 5;             // pause and count fields
inline constexpr uint32_t kEditLimitLines = 240; // copy, paste and insert key stay below this
inline constexpr uint16_t kInsertedPauseMs = 50;
inline constexpr uint16_t kAllLinesPauseMs = 25;
inline constexpr uint32_t kMinTypedPauseMs = 50;
inline constexpr uint32_t kMaxTypedPauseMs = 12750;

// What the controller asks of the editor's window.
class MacroEditorView {
public:
  virtual ~MacroEditorView() = default;
  // The event list. showLines replaces every line and selects the given ones.
  virtual void showLines(const std::vector<MacroListLine>& lines, const std::vector<int>& selected) = 0;
  virtual void addLine(const MacroListLine& line) = 0;
  virtual void rewriteLastLine(const std::u16string& text) = 0; // keeps the line's item data
  virtual void showLastLine() = 0;
  virtual void selectAll(bool selected) = 0;
  virtual std::vector<int> selectedLines() = 0; // ascending
  virtual int caretLine() = 0;                  // the line holding the list's focus; -1 for none
  virtual void focusList() = 0;
  // Buttons and fields.
  virtual void showRecordLatched(bool latched) = 0;
  virtual void showStopLatched(bool latched) = 0;
  // The controls a recording disables: OK, Cancel, the list commands, the options, apply pause and RECORD.
  virtual void setEditingEnabled(bool enabled) = 0;
  virtual void showPauseMode(int mode) = 0;  // ticks one option; the pause field only for mode 0
  virtual void showPlayOption(int mode) = 0; // -1 ticks none
  virtual std::u16string fieldText(EditorField field) = 0;
  virtual void setFieldText(EditorField field, const std::u16string& text) = 0;
  // Questions, the single-key dialog and the main window.
  virtual int ask(EditorWarning kind) = 0; // kResultYes or kResultNo
  virtual std::optional<uint8_t> askKeyToInsert() = 0;
  virtual void postLimitNotice() = 0; // 1552 with 0x612 to the main window
  virtual void sendMacroStored() = 0; // 1552 with 0x3400 to the main window
  // Test play: the preview field, the Test button's latch and the timer that calls back onTestTick.
  // times: the played and the stored time once a play has ended.
  virtual void showPreview(const std::u16string& text, std::optional<std::pair<uint32_t, uint64_t>> times) = 0;
  virtual void showTestLatched(bool latched) = 0;
  virtual void scheduleTestTick(uint32_t inMs) = 0;
  virtual void cancelTestTick() = 0;
  // The system's clipboard; false or nothing when it refuses.
  virtual bool putClipboardText(const std::u16string& text) = 0;
  virtual std::optional<std::u16string> clipboardText() = 0;
  virtual void showTextError(int line, TextError error) = 0;
  virtual void showNotice(EditorNotice notice) = 0;
  // The hook library.
  virtual void installHook() = 0;
  virtual void setHookStatus(int status) = 0;
  virtual void close(int result) = 0;
};

// The number in a digits-only field: its leading digits, at most five; 0 when there are none.
uint32_t fieldNumber(const std::u16string& text);

class MacroEditorController {
public:
  // clock measures recorded pauses; playClock times test play (a finer clock where there is one).
  MacroEditorController(MacroEditorView& view, KeyboardText& keyboard, TypedText& layout, Clock& clock,
                        Clock& playClock)
      : view_(view), keyboard_(keyboard), layout_(layout), clock_(clock), playClock_(playClock) {}

  // Opening with a record: both copies become it and the editor's state starts afresh.
  void load(const KeyRecord& record);
  // Opening without one: only the working copy is filled; the reference copy stays all zero.
  void fill(const KeyRecord& record) { working_ = record; }
  // The window exists: the list, the options and the fields show the working copy.
  void initialise();

  void onCommand(macro_editor::Control control);
  // A report of the hook library; 1 when it became a key event.
  int onHookKey(uintptr_t w, intptr_t l);

  // A field's text changed, by the user or by the program.
  void onFieldChanged(EditorField field);
  // The test play's timer.
  void onTestTick();
  MenuState menuState() const;
  void onMenu(MenuCommand command);
  // Escape, or anything else that stops a test play.
  void stopTest();

  void rebuildList();
  void storeFields(bool notify);

  const KeyRecord& working() const { return working_; }
  bool recording() const { return state_.recording; }
  bool warned() const { return state_.warned; }
  int pauseMode() const { return pauseMode_; }
  uint32_t clipboardLines() const { return clipboardLines_; }
  uint32_t listedLines() const { return lines_; }
  bool testing() const { return player_.playing(); }
  const MacroTestPlayer& player() const { return player_; }
  const UndoHistory& history() const { return history_; }

private:
  void runCommand(macro_editor::Control control);
  void record();
  void stop();
  void moveUp();
  void moveDown();
  void remove();
  void copy();
  void paste();
  void insertKey();
  void applyPause();
  void setPauseMode(int mode);
  void limitNotice();
  void insertLines(const uint8_t* pairs, uint32_t count);
  void pasteText();
  void copyAllText();
  void startTest();
  void endTest();
  EditorState state() const { return {working_, name_, count_}; }
  void restore(const EditorState& state);
  void undo();
  void redo();
  void showLines(std::vector<MacroListLine> lines, std::vector<int> selected);

  MacroEditorView& view_;
  KeyboardText& keyboard_;
  TypedText& layout_;
  Clock& clock_;
  Clock& playClock_;
  MacroTestPlayer player_;
  UndoHistory history_;
  std::optional<EditorState> beforeRecording_;
  std::u16string name_, count_; // the fields' texts as last seen
  KeyRecord working_{};
  KeyRecord reference_{};
  uint8_t clipboard_[kMaxMacroLines * kLineBytes] = {};
  uint32_t clipboardLines_ = 0;
  int pauseMode_ = 0;
  RecordingState state_;
  uint32_t lines_ = 0;      // lines in the list
  std::u16string lastText_; // the text of its last line
};

} // namespace q7
