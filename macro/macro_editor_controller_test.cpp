#include "macro/macro_editor_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <map>
#include <set>
#include <string>

#include "fakes/us_typed_text.h"
#include "macro/macro_model.h"
#include "ui/dialog_result.h"

namespace q7 {
namespace {

using macro_editor::Control;

class Keys final : public KeyboardText {
public:
  std::optional<uint8_t> unshiftedCharacter(uint8_t vk) override {
    if (vk >= 'A' && vk <= 'Z') return static_cast<uint8_t>(vk - 'A' + 'a');
    return std::nullopt;
  }
};

class FakeClock final : public Clock {
public:
  uint32_t milliseconds() override { return now; }
  uint32_t now = 1000;
};

// The editor's window as far as the controller sees it: a multiple-selection list with a caret,
// the fields, the options and a record of everything else it was asked.
struct FakeEditorView final : MacroEditorView {
  std::vector<MacroListLine> lines;
  std::set<int> selected;
  int caret = -1;
  std::map<EditorField, std::u16string> fields;
  int pauseMode = -1, playOption = -2;
  bool recordLatched = false, stopLatched = false, editingEnabled = true;
  std::vector<EditorWarning> asked;
  std::deque<int> answers;
  std::optional<uint8_t> keyToInsert;
  int keyQuestions = 0, limitNotices = 0, storedNotices = 0, rebuilds = 0;
  std::vector<int> hookCalls; // statuses; -1 for installhook
  std::optional<int> closed;

  void showLines(const std::vector<MacroListLine>& l, const std::vector<int>& sel) override {
    ++rebuilds;
    lines = l;
    selected = std::set<int>(sel.begin(), sel.end());
    if (caret >= static_cast<int>(lines.size())) caret = -1;
  }
  void addLine(const MacroListLine& line) override { lines.push_back(line); }
  void rewriteLastLine(const std::u16string& text) override {
    ASSERT_FALSE(lines.empty());
    lines.back().text = text;
  }
  void showLastLine() override {}
  void selectAll(bool on) override {
    selected.clear();
    if (on)
      for (int i = 0; i < static_cast<int>(lines.size()); ++i) selected.insert(i);
  }
  std::vector<int> selectedLines() override { return {selected.begin(), selected.end()}; }
  int caretLine() override { return caret; }
  void focusList() override {}
  void showRecordLatched(bool on) override { recordLatched = on; }
  void showStopLatched(bool on) override { stopLatched = on; }
  void setEditingEnabled(bool on) override { editingEnabled = on; }
  void showPauseMode(int mode) override { pauseMode = mode; }
  void showPlayOption(int mode) override { playOption = mode; }
  std::u16string fieldText(EditorField f) override { return fields[f]; }
  void setFieldText(EditorField f, const std::u16string& text) override { fields[f] = text; }
  int ask(EditorWarning kind) override {
    asked.push_back(kind);
    if (answers.empty()) return kResultNo;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<uint8_t> askKeyToInsert() override {
    ++keyQuestions;
    return keyToInsert;
  }
  void postLimitNotice() override { ++limitNotices; }
  void sendMacroStored() override { ++storedNotices; }
  void installHook() override { hookCalls.push_back(-1); }
  void setHookStatus(int status) override { hookCalls.push_back(status); }
  void close(int result) override { closed = result; }
  void showPreview(const std::u16string& text, std::optional<std::pair<uint32_t, uint64_t>> t) override {
    preview = text;
    times = t;
  }
  void showTestLatched(bool on) override { testLatched = on; }
  void scheduleTestTick(uint32_t inMs) override { tickIn = inMs; }
  void cancelTestTick() override { tickIn.reset(); }
  bool putClipboardText(const std::u16string& text) override {
    if (clipboardRefuses) return false;
    clipboard = text;
    return true;
  }
  std::optional<std::u16string> clipboardText() override { return clipboard; }
  void showTextError(int line, TextError error) override { textErrors.push_back({line, error}); }
  void showNotice(EditorNotice notice) override { notices.push_back(notice); }

  std::u16string preview;
  std::optional<std::pair<uint32_t, uint64_t>> times;
  bool testLatched = false;
  std::optional<uint32_t> tickIn;
  std::optional<std::u16string> clipboard;
  bool clipboardRefuses = false;
  std::vector<std::pair<int, TextError>> textErrors;
  std::vector<EditorNotice> notices;

  // The list's key names in order, each with its arrow: "A↓ b↑" as "A b".
  std::string names() const {
    std::string out;
    for (const MacroListLine& l : lines) {
      if (!out.empty()) out += ' ';
      const std::u16string_view key =
          painterKeyPart(l.text).empty() ? std::u16string_view(l.text) : painterKeyPart(l.text);
      for (char16_t c : key) out += static_cast<char>(l.itemData == kArrowDown ? c : c - 'A' + 'a');
    }
    return out;
  }
};

// A macro of complete lines: 'A' ... 'Z' pressed, 'a' ... 'z' released, each with pause 10 × (index + 1).
KeyRecord macroOf(const std::string& keys) {
  KeyRecord r{};
  for (size_t i = 0; i < keys.size(); ++i) {
    const char c = keys[i];
    const bool released = c >= 'a' && c <= 'z';
    appendKey(r, static_cast<uint8_t>(released ? c - 'a' + 'A' : c), released);
    appendPause(r, static_cast<uint16_t>(10 * i + 10));
  }
  return r;
}

// The record's events as "A10 b20": key letter (lower case for a release), then its pause.
std::string describe(const KeyRecord& r) {
  std::string out;
  for (uint32_t i = 0; i < r.boundedEventCount(); ++i) {
    const MacroEvent e = eventAt(r, i);
    if (e.isPause()) {
      out += std::to_string(e.PauseMs);
    } else {
      if (!out.empty()) out += ' ';
      out += static_cast<char>(e.pressed() ? e.Vk : e.Vk - 'A' + 'a');
    }
  }
  return out;
}

std::set<int> range(int first, int end) {
  std::set<int> lines;
  for (int i = first; i < end; ++i) lines.insert(i);
  return lines;
}

std::string repeated(const std::string& unit, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += unit;
  return s;
}

class Editor : public ::testing::Test {
public: // for the tables of cases below
  void open(const KeyRecord& r) {
    editor.load(r);
    editor.initialise();
  }
  void select(std::set<int> lines, int caret = -1) {
    view.selected = std::move(lines);
    view.caret = caret >= 0 ? caret : (view.selected.empty() ? -1 : *view.selected.rbegin());
  }
  void press(uint8_t vk, uint32_t atMs) {
    clock.now = atMs;
    editor.onHookKey(vk, 0);
  }
  void release(uint8_t vk, uint32_t atMs) {
    clock.now = atMs;
    editor.onHookKey(vk, 0x80);
  }

  // The user types text into a field: the field changes, then tells the editor.
  void type(EditorField field, const std::u16string& text) {
    view.fields[field] = text;
    editor.onFieldChanged(field);
  }

  FakeEditorView view;
  Keys keys;
  test::UsTypedText layout;
  FakeClock clock;
  FakeClock playClock;
  MacroEditorController editor{view, keys, layout, clock, playClock};
};

// --- Opening and closing -----------------------------------------------------------------------

TEST_F(Editor, OpeningOnADefaultKey) {
  open(KeyRecord{});
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(view.fields[EditorField::Count], u"1");
  EXPECT_EQ(view.fields[EditorField::Name], u"");
  EXPECT_EQ(view.playOption, 0);
  EXPECT_EQ(view.pauseMode, 0);
  EXPECT_FALSE(view.recordLatched);
  EXPECT_EQ(view.hookCalls, std::vector<int>{0});
}

TEST_F(Editor, OpeningShowsTheRecordsFields) {
  KeyRecord r = macroOf("Ab");
  r.RepeatMode = 2;
  r.RepeatCount = 0x7FFFFFFF; // the largest a file can hold: shown without overflow
  std::u16string name = u"Combo";
  std::copy(name.begin(), name.end(), r.MacroName);
  open(r);
  EXPECT_EQ(view.names(), "A b");
  EXPECT_EQ(view.lines[0].text, u"A        10 MS");
  EXPECT_EQ(view.fields[EditorField::Count], u"2147483648");
  EXPECT_EQ(view.fields[EditorField::Name], u"Combo");
  EXPECT_EQ(view.playOption, 2);

  r.RepeatMode = 7; // no such option: none ticked
  open(r);
  EXPECT_EQ(view.playOption, -1);
}

TEST_F(Editor, RecordWithASingleEventShowsNoLine) {
  KeyRecord r{};
  appendKey(r, 'A', false);
  open(r);
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(editor.listedLines(), 0u);
}

TEST_F(Editor, ImportedCountsOpenAndEditWithinTheSlots) {
  // 340 key events and no pause: 340 lines, of which only the first 170 have a pair in the slots.
  KeyRecord r{};
  for (int i = 0; i < kMaxMacroEvents; ++i) appendKey(r, 'A', false);
  std::memset(r.MacroName, 0, sizeof r.MacroName);
  r.EventCount = 0xFFFFFFFF;
  open(r);
  EXPECT_EQ(view.lines.size(), 340u);
  select({0, 200, 339});
  for (Control c : {Control::Copy, Control::ApplyPause, Control::Up, Control::Down, Control::Delete, Control::Paste})
    editor.onCommand(c);
  EXPECT_LE(editor.working().boundedEventCount(), 340u);
  EXPECT_EQ(editor.working().MacroName[0], 0) << "nothing written past Events";
}

TEST_F(Editor, CloseAsksOnlyWhenSomethingChanged) {
  open(macroOf("Ab"));
  editor.onCommand(Control::Close);
  EXPECT_TRUE(view.asked.empty());
  EXPECT_EQ(view.closed, kResultNo);

  view.closed.reset();
  open(macroOf("Ab"));
  view.fields[EditorField::Name] = u"new";
  editor.onCommand(Control::Close);
  EXPECT_EQ(view.asked, std::vector<EditorWarning>{EditorWarning::LeaveEditor});
  EXPECT_FALSE(view.closed) << "No keeps the editor open";
  view.answers = {kResultYes};
  editor.onCommand(Control::Close);
  EXPECT_EQ(view.closed, kResultNo);
  EXPECT_EQ(view.storedNotices, 0);
}

TEST_F(Editor, OkStoresTheFieldsAndTellsTheMainWindow) {
  const struct {
    int32_t mode;
    const char16_t* count;
    int32_t stored;
  } cases[] = {
      {0, u"1", 0},    {0, u"0", -1}, {0, u"", -1},  {0, u"99999", 99998},
      {0, u"12x", 11}, {1, u"7", 41}, {2, u"7", 41}, // other modes keep the count
  };
  for (const auto& c : cases) {
    KeyRecord r = macroOf("A");
    r.RepeatMode = c.mode;
    r.RepeatCount = 41;
    open(r);
    view.fields[EditorField::Count] = c.count;
    view.fields[EditorField::Name] = u"Twenty characters ok";
    view.closed.reset();
    view.storedNotices = 0;
    editor.onCommand(Control::Ok);
    EXPECT_EQ(editor.working().RepeatCount, c.stored) << (&c - cases);
    EXPECT_EQ(std::u16string(editor.working().MacroName), u"Twenty characters ok");
    EXPECT_EQ(view.storedNotices, 1);
    EXPECT_EQ(view.closed, kResultYes);
  }
}

TEST_F(Editor, CancelStoresNothing) {
  open(macroOf("A"));
  view.fields[EditorField::Name] = u"x";
  editor.onCommand(Control::Cancel);
  EXPECT_EQ(view.closed, kResultNo);
  EXPECT_EQ(editor.working().MacroName[0], 0);
  EXPECT_EQ(view.storedNotices, 0);
}

TEST_F(Editor, PlayOptionsSetTheModeAtOnce) {
  open(macroOf("A"));
  for (int m : {2, 1, 0}) {
    editor.onCommand(static_cast<Control>(static_cast<int>(Control::PlayOption0) + m));
    EXPECT_EQ(editor.working().RepeatMode, m);
    EXPECT_EQ(view.playOption, m);
  }
}

// --- Moving, deleting, selecting ---------------------------------------------------------------

TEST_F(Editor, UpAndDownMoveTheSelectionAsABlock) {
  const struct {
    Control command;
    std::set<int> selected;
    const char* events;
    std::set<int> after;
  } cases[] = {
      {Control::Up, {2, 3}, "A10 C30 D40 B20 E50", {1, 2}},   {Control::Up, {1, 3}, "B20 A10 D40 C30 E50", {0, 2}},
      {Control::Up, {0, 3}, "A10 B20 C30 D40 E50", {0, 3}}, // line 0 selected: nothing
      {Control::Down, {1, 2}, "A10 D40 B20 C30 E50", {2, 3}}, {Control::Down, {0, 2}, "B20 A10 D40 C30 E50", {1, 3}},
      {Control::Down, {1, 4}, "A10 B20 C30 D40 E50", {1, 4}}, // last line selected: nothing
      {Control::Up, {}, "A10 B20 C30 D40 E50", {}},
  };
  for (const auto& c : cases) {
    open(macroOf("ABCDE"));
    select(c.selected);
    editor.onCommand(c.command);
    EXPECT_EQ(describe(editor.working()), c.events) << (&c - cases);
    EXPECT_EQ(view.selected, c.after) << (&c - cases);
  }
}

TEST_F(Editor, MovedLinesKeepTheirArrows) {
  open(macroOf("Ab"));
  select({1});
  editor.onCommand(Control::Up);
  EXPECT_EQ(view.names(), "b A");
  EXPECT_EQ(view.lines[0].itemData, kArrowUp);
}

TEST_F(Editor, DeleteRemovesTheSelectedLinesAndRearmsTheNotice) {
  open(macroOf(repeated("A", 150)));
  select({0});
  editor.onCommand(Control::Copy); // 151 < 240: copied
  select(range(0, 91));
  editor.onCommand(Control::Copy); // 150 + 91 lines: the limit
  EXPECT_EQ(view.limitNotices, 1);
  EXPECT_TRUE(editor.warned());
  select({1, 3});
  editor.onCommand(Control::Delete);
  EXPECT_EQ(view.lines.size(), 148u);
  EXPECT_TRUE(view.selected.empty());
  EXPECT_FALSE(editor.warned());
  EXPECT_EQ(editor.working().EventCount, 296u);
}

TEST_F(Editor, SelectAndSelectNoneActOnEveryLine) {
  open(macroOf("ABC"));
  editor.onCommand(Control::Select);
  EXPECT_EQ(view.selected, (std::set<int>{0, 1, 2}));
  editor.onCommand(Control::SelectNone);
  EXPECT_TRUE(view.selected.empty());
}

// --- Copy, paste and insert key ------------------------------------------------------------------

TEST_F(Editor, CopyAndPaste) {
  const struct {
    const char* keys;
    std::set<int> copied;
    std::set<int> selectedAtPaste;
    int caret;
    const char* events;
  } cases[] = {
      {"ABC", {0, 2}, {1}, 1, "A10 B20 A10 C30 C30"}, // after the one selected line
      {"ABC", {0}, {0, 1}, 1, "A10 B20 C30 A10"},     // several selected: after the last line
      {"ABC", {}, {1}, 1, "A10 B20 C30"},             // nothing copied: nothing pasted
      {"ABC", {0}, {}, -1, "A10 B20 C30"},            // no current line: nothing
  };
  for (const auto& c : cases) {
    open(macroOf(c.keys));
    select(c.copied);
    editor.onCommand(Control::Copy);
    select(c.selectedAtPaste, c.caret);
    editor.onCommand(Control::Paste);
    EXPECT_EQ(describe(editor.working()), c.events) << (&c - cases);
  }
}

TEST_F(Editor, PasteIntoAnEmptyMacroMakesTheClipboardTheMacro) {
  open(macroOf("AbC"));
  select({1, 2});
  editor.onCommand(Control::Copy);
  select({0});
  editor.onCommand(Control::Delete);
  select({0});
  editor.onCommand(Control::Delete);
  select({0});
  editor.onCommand(Control::Delete);
  ASSERT_EQ(editor.working().EventCount, 0u);
  view.caret = -1;
  editor.onCommand(Control::Paste);
  EXPECT_EQ(describe(editor.working()), "b20 C30");
  EXPECT_EQ(view.names(), "b C");
}

TEST_F(Editor, PasteBeyondTheEventSlotsIsRefusedWithTheNotice) {
  // 150 lines and 30 copied stay below 240 lines but would need 360 of the 340 slots.
  open(macroOf(repeated("A", 150)));
  const std::set<int> thirty = range(0, 30);
  select(thirty);
  editor.onCommand(Control::Copy);
  ASSERT_EQ(editor.clipboardLines(), 30u);
  select({5});
  const KeyRecord before = editor.working();
  editor.onCommand(Control::Paste);
  EXPECT_EQ(std::memcmp(&before, &editor.working(), sizeof before), 0) << "not cut into the record";
  EXPECT_EQ(view.limitNotices, 1);
  editor.onCommand(Control::Paste);
  EXPECT_EQ(view.limitNotices, 1) << "once until re-armed";
  // Exactly filling the slots is allowed.
  open(macroOf(repeated("A", 140)));
  select(thirty);
  editor.onCommand(Control::Copy);
  select({5});
  editor.onCommand(Control::Paste);
  EXPECT_EQ(editor.working().EventCount, 340u);
}

TEST_F(Editor, CopyWithNothingSelectedEmptiesTheClipboard) {
  open(macroOf("AB"));
  select({0});
  editor.onCommand(Control::Copy);
  EXPECT_EQ(editor.clipboardLines(), 1u);
  select({});
  editor.onCommand(Control::Copy);
  EXPECT_EQ(editor.clipboardLines(), 0u);
}

TEST_F(Editor, InsertKey) {
  open(macroOf("AC"));
  view.keyToInsert = 'B';
  select({0, 1});
  editor.onCommand(Control::InsertKey);
  EXPECT_EQ(view.keyQuestions, 0) << "two lines selected: nothing";
  select({0});
  editor.onCommand(Control::InsertKey);
  EXPECT_EQ(view.keyQuestions, 1);
  EXPECT_EQ(describe(editor.working()), "A10 B50 b50 C20");
  ASSERT_EQ(view.lines.size(), 4u);
  EXPECT_EQ(view.lines[1], (MacroListLine{u"B        50 MS", kArrowDown}));
  EXPECT_EQ(view.lines[2], (MacroListLine{u"B        50 MS", kArrowUp}));
  EXPECT_EQ(eventAt(editor.working(), 2).Usage, 0x05);

  view.keyToInsert.reset(); // the single-key dialog cancelled
  select({0});
  editor.onCommand(Control::InsertKey);
  EXPECT_EQ(editor.working().EventCount, 8u);
}

TEST_F(Editor, InsertKeyLimit) {
  // 2 × EventCount + 2 must stay below 240: 118 events may grow, 120 may not.
  for (auto [lines, allowed] : {std::pair{59, true}, std::pair{60, false}}) {
    open(macroOf(repeated("A", lines)));
    view.keyToInsert = 'B';
    view.limitNotices = 0;
    select({0});
    editor.onCommand(Control::InsertKey);
    EXPECT_EQ(editor.working().EventCount, 2u * lines + (allowed ? 4 : 0)) << lines;
    EXPECT_EQ(view.limitNotices, allowed ? 0 : 1) << lines;
  }
}

// --- Pauses --------------------------------------------------------------------------------------

TEST_F(Editor, PauseForEveryLine) {
  KeyRecord r = macroOf("Ab");
  open(r);
  editor.onCommand(Control::PauseOption1);
  EXPECT_EQ(view.pauseMode, 1);
  editor.onCommand(Control::ApplyPause);
  EXPECT_EQ(describe(editor.working()), "A25 b25");
  EXPECT_EQ(view.lines[1].text, u"B        25 MS");
}

TEST_F(Editor, PauseForSelectedLinesWithinItsBounds) {
  const struct {
    const char16_t* typed;
    std::set<int> selected;
    const char* events;
    bool warned;
  } cases[] = {
      {u"49", {0}, "A10 B20 C30", true},        {u"12751", {0}, "A10 B20 C30", true},
      {u"", {0}, "A10 B20 C30", true},          {u"50", {0, 2}, "A50 B20 C50", false},
      {u"12750", {1}, "A10 B12750 C30", false}, {u"300", {}, "A10 B20 C30", false},
  };
  for (const auto& c : cases) {
    open(macroOf("ABC"));
    view.asked.clear();
    view.rebuilds = 0;
    view.fields[EditorField::Pause] = c.typed;
    select(c.selected);
    editor.onCommand(Control::ApplyPause);
    EXPECT_EQ(describe(editor.working()), c.events) << (&c - cases);
    EXPECT_EQ(view.asked.size(), c.warned ? 1u : 0u) << (&c - cases);
    if (c.warned) {
      EXPECT_EQ(view.asked[0], EditorWarning::DelayWarn);
    }
    EXPECT_EQ(view.rebuilds, 1) << "the list is rebuilt in every case";
  }
}

// --- Recording -----------------------------------------------------------------------------------

TEST_F(Editor, RecordPressAndRelease) {
  open(macroOf("ZZZ"));
  select({1});
  view.hookCalls.clear();
  editor.onCommand(Control::Record);
  EXPECT_TRUE(editor.recording());
  EXPECT_TRUE(view.recordLatched);
  EXPECT_FALSE(view.editingEnabled);
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(editor.working().EventCount, 0u);
  EXPECT_EQ(view.hookCalls, (std::vector<int>{1, -1, 1}));

  press('A', 5000);
  EXPECT_EQ(describe(editor.working()), "A") << "the first key has no pause before it";
  EXPECT_EQ(view.lines.back(), (MacroListLine{u"A  ", kArrowDown}));
  release('A', 5130);
  EXPECT_EQ(describe(editor.working()), "A130 a");
  EXPECT_EQ(view.lines[0].text, u"A          130 MS");
  EXPECT_EQ(view.lines[1], (MacroListLine{u"A  ", kArrowUp}));

  editor.onCommand(Control::Stop);
  EXPECT_FALSE(editor.recording());
  EXPECT_TRUE(view.stopLatched);
  EXPECT_FALSE(view.recordLatched);
  EXPECT_TRUE(view.editingEnabled);
  EXPECT_EQ(describe(editor.working()), "A130 a0");
  const std::vector<MacroListLine> shown = {{u"A        130 MS", kArrowDown}, {u"A        0 MS", kArrowUp}};
  EXPECT_EQ(view.lines, shown);
  const uint8_t bytes[] = {0x41, 0x04, 0x80, 0, 0, 0, 0, 0xFF, 0, 0, 0x82, 0,
                           0x41, 0x04, 0,    0, 0, 0, 0, 0xFF, 0, 0, 0,    0};
  EXPECT_EQ(std::memcmp(editor.working().Events, bytes, sizeof bytes), 0);
  EXPECT_EQ(view.hookCalls.back(), 0);
}

TEST_F(Editor, ReportDecisions) {
  open(KeyRecord{});
  editor.onCommand(Control::Record);
  clock.now = 1000;
  EXPECT_EQ(editor.onHookKey('A', 0), 1);
  clock.now = 1005;
  EXPECT_EQ(editor.onHookKey('B', 0), 1);
  EXPECT_EQ(describe(editor.working()), "A20 B") << "5 ms become 20";
  clock.now = 1500;
  EXPECT_EQ(editor.onHookKey('B', 0), 0) << "a held key's repeated press";
  EXPECT_EQ(editor.onHookKey('B', 0), 0);
  clock.now = 71500; // 70 s later
  EXPECT_EQ(editor.onHookKey('B', 0x80), 1);
  EXPECT_EQ(describe(editor.working()), "A20 B65535 b") << "the longest pause, not its low 16 bits";
  EXPECT_EQ(editor.onHookKey(0x1'0000'0041, 0), 1) << "the low byte of the report is the key";
  EXPECT_EQ(eventAt(editor.working(), editor.working().EventCount - 1).Vk, 0x41);
}

TEST_F(Editor, EightyLinesPerRecording) {
  open(KeyRecord{});
  editor.onCommand(Control::Record);
  for (int i = 0; i < 80; ++i) press(static_cast<uint8_t>('A' + i % 2), 1000 + 30 * i);
  EXPECT_EQ(view.lines.size(), 80u);
  EXPECT_TRUE(view.asked.empty());
  EXPECT_EQ(editor.onHookKey('C', 0), 0);
  EXPECT_EQ(view.asked, std::vector<EditorWarning>{EditorWarning::MaxWarn}) << "the 81st key: dropped with the notice";
  EXPECT_EQ(editor.onHookKey('D', 0), 0);
  EXPECT_EQ(view.asked.size(), 1u) << "the 82nd: dropped silently";
  EXPECT_EQ(editor.working().EventCount, 159u);
  editor.onCommand(Control::Stop);
  EXPECT_EQ(editor.working().EventCount, 160u);

  editor.onCommand(Control::Record); // a new recording warns again
  for (int i = 0; i < 81; ++i) press(static_cast<uint8_t>('A' + i % 2), 9000 + 30 * i);
  EXPECT_EQ(view.asked.size(), 2u);
}

TEST_F(Editor, ReportsOutsideARecordingAndStopWithoutOne) {
  const KeyRecord r = macroOf("AbC");
  open(r);
  EXPECT_EQ(editor.onHookKey('X', 0), 0);
  editor.onCommand(Control::Stop);
  EXPECT_EQ(std::memcmp(&editor.working(), &r, sizeof r), 0);
  EXPECT_EQ(view.lines.size(), 3u);

  // Without any report (no hook library) RECORD then STOP leaves an empty macro.
  editor.onCommand(Control::Record);
  editor.onCommand(Control::Stop);
  EXPECT_EQ(editor.working().EventCount, 0u);
  EXPECT_TRUE(view.lines.empty());
}

TEST_F(Editor, RecordingResetsThePauseMode) {
  open(macroOf("A"));
  editor.onCommand(Control::PauseOption1);
  editor.onCommand(Control::Record);
  EXPECT_EQ(editor.pauseMode(), 0);
  editor.onCommand(Control::PauseOption1);
  editor.onCommand(Control::Stop);
  EXPECT_EQ(editor.pauseMode(), 0);
  EXPECT_EQ(view.pauseMode, 0);
}

// --- Undo and redo -----------------------------------------------------------------------------

// What the user sees of the editor: the record's events, mode and the two fields.
std::string shownState(const MacroEditorController& e, FakeEditorView& v) {
  std::string out = describe(e.working()) + " |mode " + std::to_string(e.working().RepeatMode) + " |";
  for (EditorField f : {EditorField::Name, EditorField::Count})
    for (char16_t c : v.fields[f]) out += static_cast<char>(c);
  return out;
}

TEST_F(Editor, EveryChangeIsOneStepBackAndForth) {
  const struct {
    const char* what;
    std::function<void(Editor&, MacroEditorController&)> change;
  } cases[] = {
      {"delete",
       [](Editor& t, MacroEditorController& e) {
         t.select({0, 2}), e.onCommand(Control::Delete);
       }},
      {"up",
       [](Editor& t, MacroEditorController& e) {
         t.select({1, 2}), e.onCommand(Control::Up);
       }},
      {"down", [](Editor& t, MacroEditorController& e) { t.select({0}), e.onCommand(Control::Down); }},
      {"paste",
       [](Editor& t, MacroEditorController& e) {
         t.select({0, 1});
         e.onCommand(Control::Copy);
         t.select({2});
         e.onCommand(Control::Paste);
       }},
      {"insert key",
       [](Editor& t, MacroEditorController& e) {
         t.view.keyToInsert = 'K';
         t.select({1});
         e.onCommand(Control::InsertKey);
       }},
      {"pause for selected lines",
       [](Editor& t, MacroEditorController& e) {
         t.view.fields[EditorField::Pause] = u"500";
         t.select({0, 1});
         e.onCommand(Control::ApplyPause);
       }},
      {"pause for all lines",
       [](Editor& t, MacroEditorController& e) {
         e.onCommand(Control::PauseOption1);
         e.onCommand(Control::ApplyPause);
       }},
      {"play mode", [](Editor& t, MacroEditorController& e) { e.onCommand(Control::PlayOption2); }},
      {"name",
       [](Editor& t, MacroEditorController& e) {
         t.view.fields[EditorField::Name] = u"Combo", e.onFieldChanged(EditorField::Name);
       }},
      {"count",
       [](Editor& t, MacroEditorController& e) {
         t.view.fields[EditorField::Count] = u"12", e.onFieldChanged(EditorField::Count);
       }},
      {"paste text",
       [](Editor& t, MacroEditorController& e) {
         t.view.clipboard = u"press Z\npause 7\n";
         t.select({0});
         e.onMenu(MenuCommand::PasteText);
       }},
      {"recording",
       [](Editor& t, MacroEditorController& e) {
         e.onCommand(Control::Record);
         t.clock.now = 100;
         e.onHookKey('Q', 0);
         t.clock.now = 150;
         e.onHookKey('Q', 0x80);
         e.onCommand(Control::Stop);
       }},
  };
  for (const auto& c : cases) {
    view = FakeEditorView{};
    MacroEditorController e{view, keys, layout, clock, playClock}; // a run of its own
    e.load(macroOf("AbCd"));
    e.initialise();
    const std::string before = shownState(e, view);
    c.change(*this, e);
    const std::string after = shownState(e, view);
    ASSERT_NE(after, before) << c.what;
    EXPECT_EQ(e.history().undoSteps(), 1u) << c.what;
    e.onMenu(MenuCommand::Undo);
    EXPECT_EQ(shownState(e, view), before) << c.what;
    EXPECT_EQ(view.playOption, 0) << c.what;
    e.onMenu(MenuCommand::Redo);
    EXPECT_EQ(shownState(e, view), after) << c.what;
    // Back at the stored state nothing counts as changed: the close button does not ask.
    e.onMenu(MenuCommand::Undo);
    view.asked.clear();
    e.onCommand(Control::Close);
    EXPECT_TRUE(view.asked.empty()) << c.what;
    EXPECT_EQ(view.closed, kResultNo) << c.what;
  }
}

TEST_F(Editor, CommandsThatChangeNothingAreNoSteps) {
  open(macroOf("AbC"));
  select({0});
  editor.onCommand(Control::Up);          // line 0 cannot move up
  editor.onCommand(Control::Select);      // the selection is not the macro
  editor.onCommand(Control::PlayOption0); // already mode 0
  editor.onCommand(Control::Copy);
  view.fields[EditorField::Pause] = u"10"; // refused
  editor.onCommand(Control::ApplyPause);
  EXPECT_EQ(editor.history().undoSteps(), 0u);
  EXPECT_FALSE(editor.menuState().undo);
}

TEST_F(Editor, TypingInAFieldIsOneStepAndTheProgramsOwnTextsNone) {
  open(macroOf("A"));
  for (const char16_t* t : {u"C", u"Co", u"Com"}) type(EditorField::Name, t);
  editor.onCommand(Control::PlayOption1);
  type(EditorField::Count, u"5");
  EXPECT_EQ(editor.history().undoSteps(), 3u);
  editor.onMenu(MenuCommand::Undo);
  editor.onFieldChanged(EditorField::Count); // the field tells of the text the undo wrote
  editor.onMenu(MenuCommand::Undo);
  editor.onMenu(MenuCommand::Undo);
  editor.onFieldChanged(EditorField::Name);
  EXPECT_EQ(view.fields[EditorField::Name], u"");
  EXPECT_EQ(view.fields[EditorField::Count], u"1");
  EXPECT_FALSE(editor.menuState().undo);
  EXPECT_TRUE(editor.menuState().redo);
}

TEST_F(Editor, TwoHundredStepsBack) {
  open(macroOf("A"));
  for (int i = 0; i < 300; ++i) editor.onCommand(i % 2 ? Control::PlayOption0 : Control::PlayOption1);
  for (int i = 0; i < 200; ++i) editor.onMenu(MenuCommand::Undo);
  EXPECT_EQ(editor.working().RepeatMode, 0); // 300 - 200 changes: an even number, mode 0
  for (int i = 0; i < 200; ++i) editor.onMenu(MenuCommand::Redo);
  EXPECT_EQ(editor.working().RepeatMode, 0);
  editor.onMenu(MenuCommand::Undo);
  EXPECT_EQ(editor.working().RepeatMode, 1);
}

TEST_F(Editor, NothingIsUndoneDuringARecording) {
  open(macroOf("AbC"));
  select({0});
  editor.onCommand(Control::Delete);
  editor.onCommand(Control::Record);
  press('Q', 100);
  EXPECT_FALSE(editor.menuState().undo);
  editor.onMenu(MenuCommand::Undo);
  view.clipboard = u"press Z\npause 7";
  editor.onMenu(MenuCommand::PasteText);
  EXPECT_EQ(describe(editor.working()), "Q");
  editor.onCommand(Control::Stop);
  editor.onMenu(MenuCommand::Undo); // the recording
  EXPECT_EQ(describe(editor.working()), "b20 C30");
  editor.onMenu(MenuCommand::Undo); // the delete
  EXPECT_EQ(describe(editor.working()), "A10 b20 C30");
}

TEST(EditorKeys, WhatEachKeyDoes) {
  const struct {
    EditorKey key;
    bool recording, testing;
    KeyAction action;
  } cases[] = {
      {{'Z', true, true}, false, false, KeyAction::Undo},
      {{'Z', true, true, true}, false, false, KeyAction::Redo},
      {{'Y', true, true}, false, false, KeyAction::Redo},
      {{'Z', true, true, false, true}, false, false, KeyAction::Pass},        // Ctrl+Alt+Z
      {{'Z', true, true, false, false, true}, false, false, KeyAction::Pass}, // a field's own undo
      {{'Z', true, false}, false, false, KeyAction::Pass},
      {{0x79, true, false, true}, false, false, KeyAction::Menu}, // Shift+F10
      {{0x79, true, false, false}, false, false, KeyAction::Pass},
      {{0x5D, true}, false, false, KeyAction::Menu}, // the menu key
      {{0x1B, true}, false, true, KeyAction::StopTest},
      {{0x1B, true, false, false, false, true}, false, true, KeyAction::StopTest},
      {{0x1B, true}, false, false, KeyAction::Pass},
      {{'Z', false, true}, false, false, KeyAction::Pass}, // its release
      // While recording nothing acts: shortcuts, the menu key, Tab, Enter, Escape, Delete, typing.
      {{'Z', true, true}, true, false, KeyAction::Swallow},
      {{0x5D, true}, true, false, KeyAction::Swallow},
      {{0x09, true}, true, false, KeyAction::Swallow},
      {{0x0D, true}, true, false, KeyAction::Swallow},
      {{0x1B, true}, true, true, KeyAction::Swallow},
      {{0x2E, true}, true, false, KeyAction::Swallow},
      {{'A', true, false, false, false, true}, true, false, KeyAction::Swallow},
      {{'A', false}, true, false, KeyAction::Swallow},
  };
  for (const auto& c : cases) EXPECT_EQ(editorKeyAction(c.key, c.recording, c.testing), c.action) << (&c - cases);
}

TEST(EditorKeys, InKeyboardUseTheListDeletesAndMovesLines) {
  constexpr uint8_t kUp = 0x26, kDown = 0x28, kDelete = 0x2E;
  const auto key = [](uint8_t vk, bool ctrl, bool inList, bool keyboardUse, bool down = true, bool shift = false) {
    EditorKey k;
    k.vk = vk;
    k.down = down;
    k.ctrl = ctrl;
    k.shift = shift;
    k.inList = inList;
    k.keyboardUse = keyboardUse;
    return k;
  };
  const struct {
    EditorKey key;
    bool recording;
    KeyAction action;
  } cases[] = {
      {key(kDelete, false, true, true), false, KeyAction::DeleteLines},
      {key(kUp, true, true, true), false, KeyAction::LinesUp},
      {key(kDown, true, true, true), false, KeyAction::LinesDown},
      {key(kUp, false, true, true), false, KeyAction::Pass},            // a plain arrow moves the list's caret
      {key(kDelete, true, true, true), false, KeyAction::Pass},         // Ctrl+Delete
      {key(kUp, true, true, true, true, true), false, KeyAction::Pass}, // Ctrl+Shift+Up extends the selection
      {key(kDelete, false, true, true, false), false, KeyAction::Pass}, // its release
      {key(kDelete, false, false, true), false, KeyAction::Pass},       // not in the list
      {key(kDelete, false, true, false), false, KeyAction::Pass},       // without keyboard use, as before
      {key(kDown, true, true, false), false, KeyAction::Pass},
      {key(kDelete, false, true, true), true, KeyAction::Swallow}, // while recording nothing acts
  };
  for (const auto& c : cases) EXPECT_EQ(editorKeyAction(c.key, c.recording, false), c.action) << (&c - cases);
}

// --- Macros as text --------------------------------------------------------------------------

TEST_F(Editor, CopyAlsoPutsTheLinesAsTextOnTheSystemClipboard) {
  open(macroOf("AbC"));
  select({0, 2});
  editor.onCommand(Control::Copy);
  EXPECT_EQ(view.clipboard, u"press A\r\npause 10\r\npress C\r\npause 30\r\n");
  EXPECT_EQ(editor.clipboardLines(), 2u);

  view.clipboardRefuses = true; // the internal clipboard still works, the user is told
  select({1});
  editor.onCommand(Control::Copy);
  EXPECT_EQ(editor.clipboardLines(), 1u);
  EXPECT_EQ(view.notices, std::vector<EditorNotice>{EditorNotice::ClipboardRefused});
}

TEST_F(Editor, TextCopiedOutAndPastedBackGivesTheSameEvents) {
  KeyRecord r = macroOf("AbCd");
  r.EventCount = 7; // a key without its pause is not yet a line of the text
  open(r);
  editor.onMenu(MenuCommand::CopyAllText);
  ASSERT_TRUE(view.clipboard);
  const std::u16string text = *view.clipboard;
  open(KeyRecord{});
  view.clipboard = u"# shared\r\n" + text;
  editor.onMenu(MenuCommand::PasteText);
  EXPECT_EQ(editor.working().EventCount, 6u);
  EXPECT_EQ(std::memcmp(editor.working().Events, r.Events, 6 * sizeof(MacroEvent)), 0);
}

TEST_F(Editor, PastedTextGoesInAtTheSelectionLikeThePasteCommand) {
  const struct {
    std::set<int> selected;
    int caret;
    const char* events;
  } cases[] = {
      {{0}, 0, "A10 Z7 b20 C30"},    // after the one selected line
      {{0, 1}, 1, "A10 b20 C30 Z7"}, // after the last line
      {{}, -1, "A10 b20 C30"},       // no current line: nothing
  };
  for (const auto& c : cases) {
    open(macroOf("AbC"));
    select(c.selected, c.caret);
    view.clipboard = u"press Z\npause 7";
    editor.onMenu(MenuCommand::PasteText);
    EXPECT_EQ(describe(editor.working()), c.events) << (&c - cases);
  }
}

TEST_F(Editor, PastedTextIsCheckedWholeBeforeAnythingChanges) {
  open(macroOf("AbC"));
  select({0});
  view.clipboard = u"press Z\npause 7\npress Nokey\npause 1";
  editor.onMenu(MenuCommand::PasteText);
  EXPECT_EQ(describe(editor.working()), "A10 b20 C30");
  EXPECT_EQ(view.textErrors, (std::vector<std::pair<int, TextError>>{{3, TextError::UnknownKey}}));
  EXPECT_EQ(editor.history().undoSteps(), 0u);

  view.clipboard.reset();
  editor.onMenu(MenuCommand::PasteText);
  EXPECT_EQ(view.notices, std::vector<EditorNotice>{EditorNotice::NoClipboardText});
}

TEST_F(Editor, PastedTextWithinTheLimitsOfThePasteCommand) {
  std::u16string text;
  for (int i = 0; i < 30; ++i) text += u"press A\npause 1\n";
  open(macroOf(repeated("A", 140)));
  select({0});
  view.clipboard = text;
  editor.onMenu(MenuCommand::PasteText); // 170 lines: full
  EXPECT_EQ(editor.working().EventCount, 340u);
  editor.onMenu(MenuCommand::PasteText); // beyond the slots: refused with the notice
  editor.onMenu(MenuCommand::PasteText); // once until re-armed
  EXPECT_EQ(editor.working().EventCount, 340u);
  EXPECT_EQ(view.limitNotices, 1);
}

// --- Test play ---------------------------------------------------------------------------------

TEST_F(Editor, TestPlaysTheWorkingCopyIntoThePreview) {
  KeyRecord r{};
  const std::tuple<int, bool, int> events[] = {{0xA0, false, 20}, {'H', false, 30}, {'H', true, 10},
                                               {0xA0, true, 10},  {'I', false, 20}, {'I', true, 0}};
  for (auto [vk, released, pause] : events) {
    appendKey(r, static_cast<uint8_t>(vk), released);
    appendPause(r, static_cast<uint16_t>(pause));
  }
  open(r);
  type(EditorField::Count, u"2");
  playClock.now = 5000;
  editor.onCommand(Control::Test);
  EXPECT_TRUE(view.testLatched);
  EXPECT_TRUE(editor.testing());
  for (int ticks = 0; editor.testing() && ticks < 100; ++ticks) {
    ASSERT_TRUE(view.tickIn);
    playClock.now += *view.tickIn + 3; // every tick a little late
    editor.onTestTick();
  }
  EXPECT_FALSE(view.testLatched);
  EXPECT_EQ(view.preview, u"HiHi");
  ASSERT_TRUE(view.times);
  EXPECT_EQ(view.times->second, 180u); // two rounds of 90 ms
  EXPECT_GT(view.times->first, 180u);
  EXPECT_EQ(editor.working().EventCount, 12u) << "test play changes nothing";
  EXPECT_EQ(editor.history().undoSteps(), 1u) << "only the count";
}

TEST_F(Editor, TheButtonEscapeAndAnyEditStopATestAtOnce) {
  const std::function<void(Editor&)> stops[] = {
      [](Editor& t) { t.editor.onCommand(Control::Test); },
      [](Editor& t) { t.editor.stopTest(); }, // Escape
      [](Editor& t) { t.select({0}), t.editor.onCommand(Control::Delete); },
      [](Editor& t) { t.type(EditorField::Name, u"x"); },
      [](Editor& t) { t.editor.onCommand(Control::PlayOption1); },
      [](Editor& t) { t.editor.onCommand(Control::Record); },
  };
  for (const auto& stop : stops) {
    KeyRecord r = macroOf("AaBb");
    r.RepeatMode = 2; // until stopped
    open(r);
    playClock.now = 0;
    editor.onCommand(Control::Test);
    playClock.now = 45;
    editor.onTestTick();
    EXPECT_EQ(view.preview, u"ab");
    playClock.now = 47;
    stop(*this);
    EXPECT_FALSE(editor.testing()) << (&stop - stops);
    EXPECT_FALSE(view.tickIn) << (&stop - stops);
    EXPECT_FALSE(view.testLatched) << (&stop - stops);
    ASSERT_TRUE(view.times) << (&stop - stops);
    EXPECT_EQ(*view.times, (std::pair<uint32_t, uint64_t>{45, 30})) << (&stop - stops);
    editor.onTestTick(); // a tick already on its way
    EXPECT_EQ(view.preview, u"ab");
  }
}

TEST(FieldNumber, DigitsOnlyAtMostFive) {
  const struct {
    const char16_t* text;
    uint32_t number;
  } cases[] = {{u"", 0}, {u"0", 0}, {u"50", 50}, {u"12750", 12750}, {u"999999", 99999}, {u"7a3", 7}, {u"-5", 0}};
  for (const auto& c : cases) EXPECT_EQ(fieldNumber(c.text), c.number) << (&c - cases);
}

} // namespace
} // namespace q7
