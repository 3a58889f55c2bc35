#include "macro/macro_editor_controller.h"

#include <algorithm>
#include <cstring>

#include "macro/macro_key_names.h"
#include "macro/macro_model.h"
#include "ui/dialog_result.h"

namespace q7 {

using macro_editor::Control;

uint32_t fieldNumber(const std::u16string& text) {
  uint32_t n = 0;
  for (size_t i = 0; i < text.size() && i < kMaxDigits && text[i] >= u'0' && text[i] <= u'9'; ++i)
    n = n * 10 + static_cast<uint32_t>(text[i] - u'0');
  return n;
}

KeyAction editorKeyAction(const EditorKey& key, bool recording, bool testing) {
  constexpr uint8_t kEscape = 0x1B, kF10 = 0x79, kApps = 0x5D;
  if (recording) return KeyAction::Swallow;
  if (!key.down) return KeyAction::Pass;
  if (key.vk == kEscape && testing) return KeyAction::StopTest;
  if (key.inField) return KeyAction::Pass; // a field's own keys, its own undo among them
  if (key.ctrl && !key.alt) {
    if (key.vk == 'Z') return key.shift ? KeyAction::Redo : KeyAction::Undo;
    if (key.vk == 'Y' && !key.shift) return KeyAction::Redo;
  }
  if ((key.vk == kF10 && key.shift && !key.ctrl && !key.alt) || (key.vk == kApps && !key.ctrl && !key.alt))
    return KeyAction::Menu;
  if (key.keyboardUse && key.inList && !key.alt && !key.shift) {
    constexpr uint8_t kUp = 0x26, kDown = 0x28, kDelete = 0x2E;
    if (key.vk == kDelete && !key.ctrl) return KeyAction::DeleteLines;
    if (key.vk == kUp && key.ctrl) return KeyAction::LinesUp;
    if (key.vk == kDown && key.ctrl) return KeyAction::LinesDown;
  }
  return KeyAction::Pass;
}

namespace {

std::u16string decimal(int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

// Line i's event pair lies within the 340 slots.
bool lineInSlots(int line) { return line >= 0 && line < kMaxMacroLines; }

} // namespace

void MacroEditorController::load(const KeyRecord& record) {
  working_ = record;
  reference_ = record;
  clipboardLines_ = 0;
  state_ = RecordingState{};
  pauseMode_ = 0;
}

void MacroEditorController::initialise() {
  pauseMode_ = 0;
  state_.recording = false;
  view_.showRecordLatched(false);
  view_.setHookStatus(0);
  rebuildList();
  const int32_t mode = working_.RepeatMode;
  view_.showPlayOption(mode >= 0 && mode <= 2 ? mode : -1);
  // Computed wide: a record from a file may hold the largest count.
  count_ = decimal(int64_t{working_.RepeatCount} + 1);
  view_.setFieldText(EditorField::Count, count_);
  view_.showPauseMode(0);
  const char16_t* name = working_.MacroName;
  name_ = std::u16string(name, std::find(name, name + std::size(working_.MacroName), u'\0'));
  view_.setFieldText(EditorField::Name, name_);
}

void MacroEditorController::onFieldChanged(EditorField field) {
  if (field == EditorField::Pause) {
    stopTest();
    return;
  }
  std::u16string& seen = field == EditorField::Name ? name_ : count_;
  std::u16string text = view_.fieldText(field);
  if (text == seen) return; // the program wrote what it knew
  stopTest();
  const EditorState before = state();
  seen = std::move(text);
  history_.push(before, field == EditorField::Name ? 1 : 2);
}

void MacroEditorController::restore(const EditorState& s) {
  working_ = s.record;
  name_ = s.name;
  count_ = s.count;
  view_.setFieldText(EditorField::Name, name_);
  view_.setFieldText(EditorField::Count, count_);
  const int32_t mode = working_.RepeatMode;
  view_.showPlayOption(mode >= 0 && mode <= 2 ? mode : -1);
  rebuildList();
}

void MacroEditorController::undo() {
  if (state_.recording) return;
  stopTest();
  if (std::optional<EditorState> s = history_.undo(state())) restore(*s);
}

void MacroEditorController::redo() {
  if (state_.recording) return;
  stopTest();
  if (std::optional<EditorState> s = history_.redo(state())) restore(*s);
}

MenuState MacroEditorController::menuState() const {
  if (state_.recording) return {};
  return {history_.canUndo(), history_.canRedo(), working_.boundedEventCount() >= 2, true};
}

void MacroEditorController::onMenu(MenuCommand command) {
  if (state_.recording) return;
  switch (command) {
  case MenuCommand::Undo:
    undo();
    break;
  case MenuCommand::Redo:
    redo();
    break;
  case MenuCommand::CopyAllText:
    copyAllText();
    break;
  case MenuCommand::PasteText: {
    stopTest();
    const EditorState before = state();
    pasteText();
    if (!(state() == before)) history_.push(before);
    break;
  }
  }
}

void MacroEditorController::showLines(std::vector<MacroListLine> lines, std::vector<int> selected) {
  std::erase_if(selected, [&](int i) { return i < 0 || static_cast<size_t>(i) >= lines.size(); });
  lines_ = static_cast<uint32_t>(lines.size());
  lastText_ = lines.empty() ? std::u16string() : lines.back().text;
  view_.showLines(lines, selected);
}

void MacroEditorController::rebuildList() { showLines(macroListLines(working_, keyboard_), view_.selectedLines()); }

void MacroEditorController::storeFields(bool notify) {
  if (working_.RepeatMode == 0)
    working_.RepeatCount = static_cast<int32_t>(fieldNumber(view_.fieldText(EditorField::Count))) - 1;
  const std::u16string name = view_.fieldText(EditorField::Name);
  // The field takes 20 characters; whatever it holds never runs past the name's slot.
  const size_t length = std::min(name.size(), std::size(working_.MacroName) - 1);
  std::copy_n(name.begin(), length, working_.MacroName);
  working_.MacroName[length] = u'\0';
  if (notify) view_.sendMacroStored();
}

void MacroEditorController::limitNotice() {
  if (state_.warned) return;
  view_.postLimitNotice();
  state_.warned = true;
}

void MacroEditorController::setPauseMode(int mode) {
  pauseMode_ = mode;
  view_.showPauseMode(mode);
}

namespace {

// Commands that change what the user edits and are each one step of undo. Recording is one step
// from RECORD to STOP; closing is none.
bool undoable(Control c) {
  switch (c) {
  case Control::Close:
  case Control::Ok:
  case Control::Cancel:
  case Control::Record:
  case Control::Stop:
  case Control::Test:
    return false;
  default:
    return true;
  }
}

// Commands that leave a test play running: it stops at the button and at any edit.
bool keepsTestPlaying(Control c) {
  return c == Control::Select || c == Control::SelectNone || c == Control::PauseOption0 || c == Control::PauseOption1 ||
         c == Control::Test;
}

} // namespace

void MacroEditorController::onCommand(Control control) {
  if (!keepsTestPlaying(control)) stopTest();
  if (undoable(control) && !state_.recording) {
    const EditorState before = state();
    runCommand(control);
    if (!(state() == before)) history_.push(before);
    return;
  }
  runCommand(control);
}

void MacroEditorController::runCommand(Control control) {
  switch (control) {
  case Control::Close:
    storeFields(false);
    if (std::memcmp(&working_, &reference_, sizeof working_) == 0 ||
        view_.ask(EditorWarning::LeaveEditor) == kResultYes)
      view_.close(kResultNo);
    break;
  case Control::Ok:
    storeFields(true);
    view_.close(kResultYes);
    break;
  case Control::Cancel:
    view_.close(kResultNo);
    break;
  case Control::Record:
    record();
    break;
  case Control::Stop:
    stop();
    break;
  case Control::Up:
    moveUp();
    break;
  case Control::Down:
    moveDown();
    break;
  case Control::Select:
    if (lines_ > 0) view_.selectAll(true);
    break;
  case Control::SelectNone:
    if (lines_ > 0) view_.selectAll(false);
    break;
  case Control::Delete:
    remove();
    break;
  case Control::Copy:
    copy();
    break;
  case Control::InsertKey:
    insertKey();
    break;
  case Control::Paste:
    paste();
    break;
  case Control::PauseOption0:
    setPauseMode(0);
    break;
  case Control::PauseOption1:
    setPauseMode(1);
    break;
  case Control::ApplyPause:
    applyPause();
    break;
  case Control::PlayOption0:
  case Control::PlayOption1:
  case Control::PlayOption2: {
    const int mode = static_cast<int>(control) - static_cast<int>(Control::PlayOption0);
    working_.RepeatMode = mode;
    view_.showPlayOption(mode);
    break;
  }
  case Control::Test:
    if (player_.playing())
      stopTest();
    else
      startTest();
    break;
  }
}

// --- Recording -----------------------------------------------------------------------------

void MacroEditorController::record() {
  if (!state_.recording) beforeRecording_ = state();
  view_.showStopLatched(false);
  setPauseMode(0);
  view_.showRecordLatched(true);
  view_.setHookStatus(1);
  view_.setEditingEnabled(false);
  startRecording(state_, working_);
  showLines({}, {});
  view_.focusList();
  view_.installHook();
  view_.setHookStatus(1);
}

void MacroEditorController::stop() {
  view_.showStopLatched(true);
  view_.showRecordLatched(false);
  view_.setHookStatus(0);
  setPauseMode(0);
  view_.setEditingEnabled(true);
  if (stopRecording(state_, working_)) rebuildList();
  // The whole recording is one step back to what was there before it.
  if (beforeRecording_ && !(state() == *beforeRecording_)) history_.push(*beforeRecording_);
  beforeRecording_.reset();
}

int MacroEditorController::onHookKey(uintptr_t w, intptr_t l) {
  const ReportResult r = handleKeyReport(state_, working_, lines_, w, l, clock_);
  if (r.pauseAdded && lines_ > 0) {
    lastText_ = lineTextWithPause(lastText_, r.pauseMs);
    view_.rewriteLastLine(lastText_);
  }
  if (r.warn) view_.ask(EditorWarning::MaxWarn);
  if (r.outcome != ReportOutcome::Recorded) return 0;
  const MacroListLine line{recordingLineText(macroKeyName(static_cast<uint8_t>(w & 0xFF), keyboard_)),
                           arrowFor((l & kReportReleased) == 0)};
  view_.addLine(line);
  ++lines_;
  lastText_ = line.text;
  view_.showLastLine();
  return 1;
}

// --- Editing -------------------------------------------------------------------------------

void MacroEditorController::moveUp() {
  const std::vector<int> selected = view_.selectedLines();
  if (selected.empty() || selected.front() == 0) return;
  std::vector<int> moved;
  for (int i : selected) {
    if (static_cast<uint32_t>(i) >= lines_) continue;
    swapLines(working_, static_cast<uint32_t>(i), static_cast<uint32_t>(i - 1));
    moved.push_back(i - 1);
  }
  showLines(macroListLines(working_, keyboard_), moved);
}

void MacroEditorController::moveDown() {
  const std::vector<int> selected = view_.selectedLines();
  if (selected.empty() || lines_ == 0 || selected.back() >= static_cast<int>(lines_) - 1) return;
  std::vector<int> moved;
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    swapLines(working_, static_cast<uint32_t>(*it), static_cast<uint32_t>(*it + 1));
    moved.insert(moved.begin(), *it + 1);
  }
  showLines(macroListLines(working_, keyboard_), moved);
}

void MacroEditorController::remove() {
  const std::vector<int> selected = view_.selectedLines();
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    removeLine(working_, static_cast<uint32_t>(*it));
    state_.warned = false;
  }
  showLines(macroListLines(working_, keyboard_), {});
}

void MacroEditorController::copy() {
  const std::vector<int> selected = view_.selectedLines();
  const uint32_t n = static_cast<uint32_t>(selected.size());
  if (n == 0) {
    clipboardLines_ = 0;
    return;
  }
  if (lines_ + n >= kEditLimitLines) {
    limitNotice();
    return;
  }
  clipboardLines_ = 0;
  for (int i : selected)
    if (lineInSlots(i) && clipboardLines_ < kMaxMacroLines)
      std::memcpy(clipboard_ + kLineBytes * clipboardLines_++, working_.Events + kLineBytes * i, kLineBytes);
  // The same lines as text on the system's clipboard, for other programs and other editors.
  MacroEvent events[kMaxMacroEvents];
  std::memcpy(events, clipboard_, clipboardLines_ * kLineBytes);
  if (!view_.putClipboardText(macroEventsText(events, 2 * clipboardLines_)))
    view_.showNotice(EditorNotice::ClipboardRefused);
}

void MacroEditorController::copyAllText() {
  const uint32_t whole = working_.boundedEventCount() / 2 * 2; // a key without its pause is no line yet
  MacroEvent events[kMaxMacroEvents];
  std::memcpy(events, working_.Events, whole * sizeof(MacroEvent));
  if (!view_.putClipboardText(macroEventsText(events, whole))) view_.showNotice(EditorNotice::ClipboardRefused);
}

void MacroEditorController::pasteText() {
  const std::optional<std::u16string> text = view_.clipboardText();
  if (!text) {
    view_.showNotice(EditorNotice::NoClipboardText);
    return;
  }
  const TextParse parsed = parseMacroText(*text);
  if (parsed.error) {
    view_.showTextError(parsed.errorLine, *parsed.error);
    return;
  }
  insertLines(reinterpret_cast<const uint8_t*>(parsed.events.data()), static_cast<uint32_t>(parsed.events.size() / 2));
}

void MacroEditorController::paste() { insertLines(clipboard_, clipboardLines_); }

void MacroEditorController::insertLines(const uint8_t* pairs, uint32_t count) {
  // Beyond the 340 event slots the paste is refused like one beyond the line limit, never cut short.
  if (lines_ + count >= kEditLimitLines || working_.boundedEventCount() + 2 * count > kMaxMacroEvents) {
    limitNotice();
    return;
  }
  if (working_.EventCount == 0) {
    std::memcpy(working_.Events, pairs, count * kLineBytes);
    working_.EventCount = 2 * count;
  } else {
    const int caret = view_.caretLine();
    if (caret < 0) {
      rebuildList();
      return;
    }
    const std::vector<int> selected = view_.selectedLines();
    const uint32_t after = selected.size() == 1 ? static_cast<uint32_t>(caret) : lines_ - 1;
    q7::insertLines(working_, after, pairs, count);
  }
  rebuildList();
}

void MacroEditorController::insertKey() {
  if (lines_ == 0 || view_.selectedLines().size() != 1) return;
  if (2 * working_.boundedEventCount() + 2 >= kEditLimitLines) {
    limitNotice();
    return;
  }
  const std::optional<uint8_t> key = view_.askKeyToInsert();
  const int caret = view_.caretLine();
  if (!key || *key == 0 || caret < 0) return;
  const MacroEvent events[4] = {keyEvent(*key, false), pauseEvent(kInsertedPauseMs), keyEvent(*key, true),
                                pauseEvent(kInsertedPauseMs)};
  q7::insertLines(working_, static_cast<uint32_t>(caret), reinterpret_cast<const uint8_t*>(events), 2);
  rebuildList();
}

void MacroEditorController::applyPause() {
  const uint32_t n = working_.boundedEventCount();
  if (pauseMode_ == 1) {
    for (uint32_t i = 0; i < n; ++i)
      if (MacroEvent e = eventAt(working_, i); e.isPause()) {
        e.PauseMs = kAllLinesPauseMs;
        setEvent(working_, i, e);
      }
  } else {
    const uint32_t v = fieldNumber(view_.fieldText(EditorField::Pause));
    if (v < kMinTypedPauseMs || v > kMaxTypedPauseMs) {
      view_.ask(EditorWarning::DelayWarn);
    } else {
      for (int line : view_.selectedLines()) {
        if (!lineInSlots(line) || static_cast<uint32_t>(2 * line + 1) >= n) continue;
        if (MacroEvent e = eventAt(working_, 2 * line + 1); e.isPause()) {
          e.PauseMs = static_cast<uint16_t>(v);
          setEvent(working_, 2 * line + 1, e);
        }
      }
    }
  }
  rebuildList();
}

// --- Test play -----------------------------------------------------------------------------

void MacroEditorController::startTest() {
  std::optional<uint32_t> rounds = 1;
  if (working_.RepeatMode == 0)
    rounds = fieldNumber(view_.fieldText(EditorField::Count));
  else if (working_.RepeatMode == 2)
    rounds.reset(); // until stopped
  player_.start(working_, rounds, playClock_.milliseconds());
  view_.showTestLatched(true);
  view_.showPreview(u"", std::nullopt);
  onTestTick();
}

void MacroEditorController::onTestTick() {
  if (!player_.playing()) return;
  const MacroTestPlayer::Step step = player_.advance(playClock_.milliseconds(), layout_, keyboard_);
  if (step.played > 0) view_.showPreview(player_.preview(), std::nullopt);
  if (!player_.playing())
    endTest();
  else if (step.nextInMs)
    view_.scheduleTestTick(*step.nextInMs);
}

void MacroEditorController::stopTest() {
  if (!player_.playing()) return;
  player_.stop();
  view_.cancelTestTick();
  endTest();
}

void MacroEditorController::endTest() {
  view_.showTestLatched(false);
  view_.showPreview(player_.preview(), std::pair{player_.playedMs(), player_.storedMs()});
}

} // namespace q7
