// Feeds the main window's decisions what may come from outside: a profile file of any content,
// then any sequence of messages from other programs and of user commands, and finally everything
// that reads the records (key texts, counts, the ring). Nothing may crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "app/key_labels.h"
#include "app/main_controller.h"
#include "fuzz/fuzz_registry.h"
#include "app/us_keyboard_text.h"
#include "fakes/memory_files.h"
#include "monitor/messages.h"
#include "fakes/recording_messenger.h"
#include "fakes/us_typed_text.h"
#include "macro/macro_editor_controller.h"
#include "settings/settings_image.h"

namespace {

using namespace q7;

// The macro editor's window: a list that remembers nothing but its size and a selection that
// reaches past both ends of it.
struct QuietEditorView final : MacroEditorView {
  size_t lines = 0;
  void showLines(const std::vector<MacroListLine>& l, const std::vector<int>& selected) override {
    lines = l.size();
    for (int i : selected)
      if (i < 0 || static_cast<size_t>(i) >= lines) __builtin_trap(); // never selects a line it lacks
  }
  void addLine(const MacroListLine&) override { ++lines; }
  void rewriteLastLine(const std::u16string&) override {
    if (lines == 0) __builtin_trap();
  }
  void showLastLine() override {}
  void selectAll(bool) override {}
  std::vector<int> selectedLines() override {
    if (lines == 0) return {};
    return {0, static_cast<int>(lines / 2), static_cast<int>(lines - 1)};
  }
  int caretLine() override { return lines ? static_cast<int>(lines - 1) : -1; }
  void focusList() override {}
  void showRecordLatched(bool) override {}
  void showStopLatched(bool) override {}
  void setEditingEnabled(bool) override {}
  void showPauseMode(int) override {}
  void showPlayOption(int mode) override {
    if (mode < -1 || mode > 2) __builtin_trap();
  }
  std::u16string fieldText(EditorField f) override { return f == EditorField::Name ? u"name" : u"120"; }
  void setFieldText(EditorField, const std::u16string&) override {}
  int ask(EditorWarning) override { return kResultYes; }
  std::optional<uint8_t> askKeyToInsert() override { return uint8_t{0x42}; }
  void postLimitNotice() override {}
  void sendMacroStored() override {}
  void showPreview(const std::u16string&, std::optional<std::pair<uint32_t, uint64_t>>) override {}
  void showTestLatched(bool) override {}
  void scheduleTestTick(uint32_t) override {}
  void cancelTestTick() override {}
  bool putClipboardText(const std::u16string&) override { return true; }
  std::optional<std::u16string> clipboardText() override { return std::nullopt; }
  void showTextError(int, TextError) override {}
  void showNotice(EditorNotice) override {}
  void installHook() override {}
  void setHookStatus(int) override {}
  void close(int) override {}
};

struct StillClock final : Clock {
  uint32_t milliseconds() override { return now += 7; }
  uint32_t now = 1;
};

struct QuietView final : MainView, ModalWindows {
  ModalWindows& modalWindows() override { return *this; }
  void setMainWindowEnabled(bool) override {}
  void awaitSaveAcknowledgement() override {}
  void repaintMainWindow() override {}
  void closeWindow() override {}
  void activateWindow() override {}
  void minimiseWindow() override {}
  void refreshKey(int position, KeyRefreshMode) override {
    if (position < 0 || position >= kKeyCount) __builtin_trap(); // the controller never asks for another key
  }
  void clearKeyInfo() override {}
  void setPerKeyButtonsEnabled(bool) override {}
  void setProfileEditingEnabled(bool) override {}
  void setProfileButtonSelected(int button, bool) override {
    if (button < 0 || button > 5) __builtin_trap();
  }
  void clearApplyLook() override {}
  int ask(Warning kind) override {
    whileOpen();
    // One Yes an input at most. A Yes to the question before a profile switch saves (every value
    // written, the whole image copied: some 130 MB moved), so it is given only while a save is
    // allowed (see kInputsPerSave); otherwise that answer is No.
    if (answer == kResultYes && (yesGiven || (kind == Warning::Leave && !saveAllowed))) return kResultNo;
    yesGiven = yesGiven || answer == kResultYes;
    if (answer == kResultYes && kind == Warning::Leave) saveGiven = true;
    return answer;
  }
  std::optional<uint8_t> chooseSingleKey(uint8_t) override {
    whileOpen();
    return singleKey;
  }
  // An outside message arriving while a modal window is open (once per operation).
  void whileOpen() {
    const uint32_t m = std::exchange(nested, 0);
    if (!controller || m == 0) return;
    if (m % 3 == 0) controller->onSwitchRequest(m >> 2, 0);
    if (m % 3 == 1) controller->onSaveAcknowledged();
    if (m % 3 == 2) controller->onRelease(msg::kReleaseParam);
  }
  void postToSelf(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    posts.push_back({message, wParam, lParam});
  }
  std::optional<std::u16string> chooseProgram() override { return program; }
  std::optional<std::u16string> chooseProfileFile(bool) override { return std::u16string(u"in.prof"); }
  void showFileError() override {}
  void showSaveError(uint32_t) override {}
  void openUrl(std::u16string_view) override {}
  void openHelp() override {}
  bool editLinkedPrograms(int, LinkSlots& slots) override {
    slots.names[0][0] = u'f';
    return answer == kResultYes;
  }
  void runColourEditor() override { whileOpen(); }
  void showAbout() override {}
  void showPathTooLong() override {}
  void profileSwitched() override {}
  // The macro editor works through its commands on whatever record it is given.
  int editMacro(KeyRecord& record, bool loaded) override {
    whileOpen();
    QuietEditorView editorView;
    UsKeyboardText keyboard;
    test::UsTypedText typed;
    StillClock clock;
    MacroEditorController editor(editorView, keyboard, typed, clock, clock);
    if (loaded)
      editor.load(record);
    else
      editor.fill(record);
    editor.initialise();
    using macro_editor::Control;
    for (Control c :
         {Control::Up, Control::Down, Control::Copy, Control::Paste, Control::InsertKey, Control::ApplyPause,
          Control::PauseOption1, Control::ApplyPause, Control::Delete, Control::Paste, Control::Record})
      editor.onCommand(c);
    for (uintptr_t vk = 0x41; vk < 0x60; ++vk) editor.onHookKey(vk, vk & 1 ? 0x80 : 0);
    editor.onCommand(Control::Stop);
    editor.onCommand(Control::Ok);
    record = editor.working();
    return answer;
  }
  void bringMacroEditorForward() override {}
  void showWaitCursor(bool) override {}
  int answer = kResultNo;
  bool yesGiven = false;
  bool saveAllowed = false;
  bool saveGiven = false; // this input answered Yes to the question before a save
  std::optional<uint8_t> singleKey;
  MainController* controller = nullptr;
  uint32_t nested = 0;
  struct Post {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::vector<Post> posts; // what the controller posted to its own window, delivered after each operation
  std::u16string program = u"C:\\Games\\game.exe";
};

struct World {
  SettingsImage image;
  fuzz::FuzzRegistry registry;
  test::RecordingMessenger messenger;
  test::MemoryFiles files;
  MonitorLink link{messenger};
  QuietView view;
  MainController controller{image, registry, link, files, view};
  UsKeyboardText keyboard;
  KeyLabels labels = KeyLabels::forLanguage(u"EN", keyboard);
  size_t captionUnits = 0; // the key captions read no record: read once here
  uint32_t inputsSinceSave = 0;
  World() {
    messenger.windows[u"Q7PrismoMon"] = 1;
    controller.initialise(0x100);
    // A first run: the factory settings were written and read back, so the registry kept them.
    const ProfileRecord& last = image.profile(kProfileCount - 1);
    if (last.LEDIntensity != 4 || last.KeySets[kKeySetCount - 1].ProfileName[0] != u'N' ||
        last.KeySets[0].ProfileButton[17].KeyColor != 0x0000FFFF)
      __builtin_trap();
    view.controller = &controller;
    for (int k = 0; k < kKeyCount; ++k) captionUnits += labels.keyCaption(k).size();
  }
};

// A save costs as much as some hundred other inputs: allowing one in kInputsPerSave inputs at most
// keeps saves to a small part of the run's time, whatever inputs the corpus favours.
constexpr uint32_t kInputsPerSave = 256;

std::u16string lookup(std::u16string_view, std::u16string_view key) { return std::u16string(key); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* world = new World; // the settings stay between inputs; only records change
  World& w = *world;
  w.messenger.posted.clear();
  w.view.yesGiven = false;

  w.view.saveAllowed = w.inputsSinceSave >= kInputsPerSave;
  w.view.saveGiven = false;

  // The first part is a profile file. The first byte: bit 0 imports it into the shown profile at
  // once (an import zeroes the rest of a 7 MB record: in every input it would take most of the
  // time), the other bits give its length in units of 128 bytes.
  const uint8_t head = size == 0 ? 0 : data[0];
  const size_t fileSize = size == 0 ? 0 : std::min<size_t>((head >> 1) * 128u, size - 1);
  w.files.files[u"in.prof"].assign(data + (size ? 1 : 0), data + (size ? 1 : 0) + fileSize);
  if (head & 1) w.controller.onCommand(Command::Import);
  data += (size ? 1 : 0) + fileSize;
  size -= std::min(size, (size ? 1 : 0) + fileSize);

  // The rest: operations of 9 bytes each (kind, then two 32-bit values).
  for (; size >= 9; data += 9, size -= 9) {
    uint32_t a, b;
    std::memcpy(&a, data + 1, 4);
    std::memcpy(&b, data + 5, 4);
    w.view.answer = (a & 1) ? kResultYes : kResultNo;
    w.view.singleKey = (a & 2) ? std::optional<uint8_t>(static_cast<uint8_t>(a >> 8)) : std::nullopt;
    w.view.nested = b >> 24;
    switch (data[0] % 10) {
    case 0:
      w.controller.onSwitchRequest(a, static_cast<int32_t>(b));
      break;
    case 1:
      w.controller.onKeyCommand(static_cast<int32_t>(b));
      break;
    case 2:
      w.controller.onMacroMessage(a);
      break;
    case 3:
      w.controller.onRelease(a);
      break;
    case 4:
      w.controller.selectKey(static_cast<int32_t>(a));
      break;
    case 5:
      w.controller.deselectKey();
      break;
    case 6:
      w.controller.switchProfile(static_cast<int32_t>(a), b & 1);
      break;
    case 7: {
      // Commands that edit the working copy; saving and reloading are left out for speed.
      static constexpr Command kEdits[] = {Command::App,
                                           Command::Disable,
                                           Command::Default,
                                           Command::ResetProfile,
                                           Command::Import,
                                           Command::Export,
                                           Command::KeyButton,
                                           Command::Cancel,
                                           Command::SingleKey,
                                           Command::Sync,
                                           Command::WholeKeyboardColour,
                                           Command::Macro};
      w.controller.onCommand(kEdits[a % std::size(kEdits)], static_cast<int32_t>(b));
      break;
    }
    case 8:
      if (a & 2)
        w.controller.onOpenMacroEditor();
      else
        w.controller.onSaveAcknowledged();
      break;
    default:
      w.controller.onActivateApp();
      break;
    }
    // The window's queue: what the controller held while a modal window was open comes back.
    std::vector<QuietView::Post> posts;
    posts.swap(w.view.posts);
    for (const QuietView::Post& p : posts) {
      if (p.message == msg::kSwitchProfile) w.controller.onSwitchRequest(p.wParam, p.lParam);
      if (p.message == msg::kRelease) w.controller.onRelease(p.wParam);
    }
  }

  w.inputsSinceSave = w.view.saveGiven ? 0 : w.inputsSinceSave + 1;

  // Everything that reads the records must stay inside them.
  size_t total = w.captionUnits;
  for (int k = 0; k < kKeyCount; ++k) {
    const KeyRecord& r = w.image.currentProfile().Button[k];
    total += w.labels.keyFunctionText(r, lookup).size() + r.boundedEventCount();
  }
  const ProgressRing ring = progressRing(w.image.currentProfile().FuncKey);
  if (ring.percent < 0 || ring.percent > 100 || ring.sweepDegrees > 360.0) __builtin_trap();
  return total == static_cast<size_t>(-1) ? 1 : 0;
}
