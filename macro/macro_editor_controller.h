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
#include "platform/clock.h"
#include "platform/keyboard_text.h"

namespace q7 {

// The warning dialog's kinds the editor raises.
enum class EditorWarning {
  DelayWarn = 4,   // a typed pause out of range
  MaxWarn = 5,     // the macro is full
  LeaveEditor = 9, // leave the editor with changes?
};

enum class EditorField { Name, Pause, Count };

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
  // The hook library.
  virtual void installHook() = 0;
  virtual void setHookStatus(int status) = 0;
  virtual void close(int result) = 0;
};

// The number in a digits-only field: its leading digits, at most five; 0 when there are none.
uint32_t fieldNumber(const std::u16string& text);

class MacroEditorController {
public:
  MacroEditorController(MacroEditorView& view, KeyboardText& keyboard, Clock& clock)
      : view_(view), keyboard_(keyboard), clock_(clock) {}

  // Opening with a record: both copies become it and the editor's state starts afresh.
  void load(const KeyRecord& record);
  // Opening without one: only the working copy is filled; the reference copy stays all zero.
  void fill(const KeyRecord& record) { working_ = record; }
  // The window exists: the list, the options and the fields show the working copy.
  void initialise();

  void onCommand(macro_editor::Control control);
  // A report of the hook library; 1 when it became a key event.
  int onHookKey(uintptr_t w, intptr_t l);

  void rebuildList();
  void storeFields(bool notify);

  const KeyRecord& working() const { return working_; }
  bool recording() const { return state_.recording; }
  bool warned() const { return state_.warned; }
  int pauseMode() const { return pauseMode_; }
  uint32_t clipboardLines() const { return clipboardLines_; }
  uint32_t listedLines() const { return lines_; }

private:
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
  void showLines(std::vector<MacroListLine> lines, std::vector<int> selected);

  MacroEditorView& view_;
  KeyboardText& keyboard_;
  Clock& clock_;
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
