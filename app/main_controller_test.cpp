#include "app/main_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <map>

#include "fakes/gated_registry.h"
#include "fakes/memory_files.h"
#include "fakes/memory_registry.h"
#include "fakes/recording_messenger.h"
#include "keys/key_codes.h"
#include "keys/key_places.h"
#include "lighting/whole_key_colour.h"
#include "monitor/messages.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace q7 {
namespace {

struct FakeMainView final : MainView, ModalWindows {
  std::vector<std::string> calls; // window-level events in order
  std::vector<Warning> asked;
  std::deque<int> answers;             // answers to give; kResultNo when none is left
  std::map<int, KeyRefreshMode> looks; // last mode each key was refreshed with
  std::map<int, bool> profileButtons;
  bool perKeyEnabled = false, editingEnabled = false;
  std::optional<std::u16string> program, profileFile;
  int fileErrors = 0;
  std::optional<uint8_t> singleKey; // what the single-key dialog hands back; nothing: Cancel
  std::vector<uint8_t> singleKeyOpenedWith;
  std::function<void()> whileOpen; // outside messages arriving while a modal window is open
  struct Post {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Post&) const = default;
  };
  std::vector<Post> posts; // to the main window itself

  ModalWindows& modalWindows() override { return *this; }
  void setMainWindowEnabled(bool enabled) override { calls.push_back(enabled ? "enable" : "disable"); }
  void awaitSaveAcknowledgement() override { calls.push_back("await"); }
  void repaintMainWindow() override {}
  void closeWindow() override { calls.push_back("close"); }
  void activateWindow() override { calls.push_back("activate"); }
  void minimiseWindow() override { calls.push_back("minimise"); }
  void refreshKey(int position, KeyRefreshMode mode) override { looks[position] = mode; }
  void clearKeyInfo() override {}
  void setPerKeyButtonsEnabled(bool on) override { perKeyEnabled = on; }
  void setProfileEditingEnabled(bool on) override { editingEnabled = on; }
  void setProfileButtonSelected(int b, bool on) override { profileButtons[b] = on; }
  void clearApplyLook() override {}
  int ask(Warning kind) override {
    asked.push_back(kind);
    if (whileOpen) whileOpen();
    if (answers.empty()) return kResultNo;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<uint8_t> chooseSingleKey(uint8_t ownKey) override {
    singleKeyOpenedWith.push_back(ownKey);
    if (whileOpen) whileOpen();
    return singleKey;
  }
  void postToSelf(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    posts.push_back({message, wParam, lParam});
  }
  std::optional<std::u16string> chooseProgram() override { return program; }
  std::optional<std::u16string> chooseProfileFile(bool) override { return profileFile; }
  void showFileError() override { ++fileErrors; }
  std::vector<uint32_t> saveErrors;
  void showSaveError(uint32_t code) override {
    calls.push_back("save error");
    saveErrors.push_back(code);
  }
  void openUrl(std::u16string_view url) override { calls.push_back("url " + std::string(url.begin(), url.end())); }
  void openHelp() override { calls.push_back("help"); }
  // The linked-programs dialog: what it sees, and what the user does in it.
  std::function<bool(int, LinkSlots&)> linkedPrograms = [](int, LinkSlots&) { return false; };
  bool editLinkedPrograms(int p, LinkSlots& slots) override {
    if (whileOpen) whileOpen();
    return linkedPrograms(p, slots);
  }
  std::function<void()> onWaitCursor; // runs while the wait cursor is shown
  void showWaitCursor(bool on) override {
    calls.push_back(on ? "wait cursor" : "arrow");
    if (on && onWaitCursor) onWaitCursor();
  }
  std::function<void()> colourEditor = [] {};
  void runColourEditor() override {
    calls.push_back("colour editor");
    colourEditor();
  }
  int pathsRefused = 0;
  void showPathTooLong() override {
    calls.push_back("path too long");
    ++pathsRefused;
  }
  void showAbout() override {
    calls.push_back("about");
    if (whileOpen) whileOpen();
  }
  // What the macro editor does with its record; without one it is cancelled untouched.
  std::function<int(KeyRecord&, bool)> macroEditor;
  int editorsOpened = 0, editorsBroughtForward = 0;
  int editMacro(KeyRecord& record, bool loaded) override {
    ++editorsOpened;
    return macroEditor ? macroEditor(record, loaded) : kResultNo;
  }
  void bringMacroEditorForward() override { ++editorsBroughtForward; }
  std::vector<int> switchesTold;     // the profile shown each time the view was told of a switch
  std::function<int()> shownProfile; // what the window shows when it is told
  void profileSwitched() override { switchesTold.push_back(shownProfile ? shownProfile() : -1); }

  int lit() const {
    int n = -1;
    for (auto [b, on] : profileButtons)
      if (on) n = n == -1 ? b : -2; // -2: more than one
    return n;
  }
};

class Controller : public ::testing::Test {
protected:
  void SetUp() override {
    messenger.windows[u"Q7PrismoMon"] = 0x99;
    ASSERT_TRUE(controller.initialise(0x1234)); // a first run: profile 1 shown
    messenger.posted.clear();
    view.calls.clear();
  }
  std::vector<uint32_t> notified() const {
    std::vector<uint32_t> p;
    for (const auto& m : messenger.posted)
      if (m.message == 1542) p.push_back(static_cast<uint32_t>(m.wParam));
    return p;
  }
  int saves() const {
    int n = 0;
    for (const auto& m : messenger.posted) n += m.message == 2026;
    return n;
  }
  void makeEdit() { // an edited key that the edit flag knows of
    controller.selectKey(5);
    view.answers = {kResultYes};
    controller.onCommand(Command::Disable);
    ASSERT_TRUE(controller.editFlag());
  }

  SettingsImage image;
  test::MemoryRegistry reg;
  test::RecordingMessenger messenger;
  test::MemoryFiles files;
  MonitorLink link{messenger};
  FakeMainView view;
  MainController controller{image, reg, link, files, view};
};

// --- Start and profiles --------------------------------------------------------------------------

TEST_F(Controller, WithoutMonitorNothingIsWrittenOrSent) {
  test::MemoryRegistry empty;
  test::RecordingMessenger none;
  MonitorLink noLink(none);
  MainController c(image, empty, noLink, files, view);
  EXPECT_FALSE(c.initialise(0x1234));
  EXPECT_TRUE(empty.keys.empty());
  EXPECT_EQ(empty.writeCount, 0u);
  EXPECT_TRUE(none.posted.empty());
  EXPECT_EQ(c.shownProfile(), -1);
}

TEST_F(Controller, FirstRunAnnouncesTheWindowThenShowsProfileOne) {
  SettingsImage fromScratch;
  test::MemoryRegistry fresh;
  MainController c(fromScratch, fresh, link, files, view);
  ASSERT_TRUE(c.initialise(0x1234));
  const std::vector<test::Posted> expected = {{0x99, 1538, 0x1234, 0}, {0x99, 1542, 1, 0}};
  EXPECT_EQ(messenger.posted, expected);
  EXPECT_EQ(c.shownProfile(), 1);
  EXPECT_EQ(fresh.keys.size(), 190u);
  EXPECT_TRUE(fromScratch.hasUnsavedChanges()); // the stored ProfileCurrent is still 0
}

TEST_F(Controller, SwitchingLightsOneButtonLocksPcModeAndRecounts) {
  struct Case {
    int profile, lit;
    bool editable;
  } cases[] = {{0, 0, false}, {3, 3, true}, {6, 0, false}, {7, -1, true}, {8, -1, true}, {5, 5, true}};
  for (const Case& c : cases) {
    image.key(c.profile, 40).Kind = 10;
    image.key(c.profile, 92).Kind = 5; // hidden in the ANSI layout, still counted
    image.profile(c.profile).FuncKey = 77;
    controller.switchProfile(c.profile, true);
    EXPECT_EQ(view.lit(), c.lit) << c.profile;
    EXPECT_EQ(view.editingEnabled, c.editable) << c.profile;
    EXPECT_FALSE(view.perKeyEnabled);
    EXPECT_EQ(image.profile(c.profile).FuncKey, 2u);
    EXPECT_EQ(view.looks.size(), 114u);
    EXPECT_EQ(image.header().ProfileCurrent, static_cast<uint32_t>(c.profile));
  }
  EXPECT_EQ(notified(), (std::vector<uint32_t>{0, 3, 6, 7, 8, 5}));
  controller.switchProfile(5, true); // already shown: nothing
  controller.switchProfile(9, true);
  EXPECT_EQ(notified().size(), 6u);
}

TEST_F(Controller, ProfileButtonWithoutEditsSwitchesWithoutAsking) {
  image.profile(3).Name[0] = u'x'; // not an edit the flag knows of: survives
  controller.onCommand(Command::ProfileButton, 3);
  EXPECT_TRUE(view.asked.empty());
  EXPECT_EQ(controller.shownProfile(), 3);
  EXPECT_EQ(image.profile(3).Name[0], u'x');
  EXPECT_EQ(notified(), std::vector<uint32_t>{3});
  EXPECT_FALSE(controller.editFlag());
}

TEST_F(Controller, ProfileButtonWithEditsAsksAndReloadsEveryProfile) {
  makeEdit();
  image.profile(7).RainType = 9; // an unsaved edit in another profile
  view.answers = {kResultNo};
  controller.onCommand(Command::ProfileButton, 2);
  EXPECT_EQ(view.asked.back(), Warning::Leave);
  EXPECT_EQ(image.key(1, 5).Kind, 0); // every edit thrown away
  EXPECT_EQ(image.profile(7).RainType, 0u);
  EXPECT_EQ(controller.shownProfile(), 2);
  EXPECT_FALSE(controller.editFlag());
  EXPECT_EQ(saves(), 0);

  makeEdit(); // now in profile 2
  view.answers = {kResultYes};
  controller.onCommand(Command::ProfileButton, 4);
  EXPECT_EQ(saves(), 1);
  EXPECT_EQ(image.key(2, 5).Kind, 10); // saved, then reloaded
  EXPECT_EQ(controller.shownProfile(), 4);
}

TEST_F(Controller, ProfileButtonOfTheShownProfileKeepsProfileCurrentEqualToIt) {
  // The registry still holds ProfileCurrent 0 from the first run; profile 1 is shown.
  makeEdit();
  view.answers = {kResultNo};
  controller.onCommand(Command::ProfileButton, 1);
  EXPECT_EQ(view.asked.back(), Warning::Leave);
  EXPECT_EQ(controller.shownProfile(), 1);
  EXPECT_EQ(image.header().ProfileCurrent, 1u);
  EXPECT_TRUE(notified().empty()); // no switch, so nothing to tell
  EXPECT_FALSE(controller.editFlag());
  EXPECT_EQ(view.looks.at(5), KeyRefreshMode::Normal);
}

TEST_F(Controller, ResetOfProfileTwo) {
  controller.switchProfile(2, false);
  ProfileRecord& r = image.profile(2);
  r.Name[0] = u'N';
  r.LinkExe[4][0] = u'L';
  r.KeySets[3].ProfileName[0] = u'S';
  r.Button[8].Kind = 9;
  r.ProfileCount = 1;
  image.profile(6).LEDIntensity = 1;
  image.profile(6).LightingLED = 0x123;
  controller.selectKey(8);
  controller.onCommand(Command::ResetProfile);
  EXPECT_TRUE(view.asked.empty());
  EXPECT_TRUE(controller.editFlag());
  EXPECT_EQ(image.header().ProfileColor[2], 0x000000FFu);
  EXPECT_EQ(r.Name[0], 0);
  EXPECT_EQ(r.LinkExe[4][0], 0);
  EXPECT_EQ(r.KeySets[3].ProfileName[0], 0);
  EXPECT_EQ(std::u16string(r.KeySets[0].ProfileName), u"DEFAULT");
  EXPECT_EQ(r.KeySets[0].ProfileButton[37].KeyColor, 0x00FF8080u);
  EXPECT_EQ(r.Button[8].Kind, 0);
  EXPECT_EQ(r.FuncKey, 0u);
  EXPECT_EQ(r.ProfileCount, 0); // not set by a reset
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(image.profile(p).LEDIntensity, 4) << p;
    EXPECT_EQ(image.profile(p).LightingLED, 0x00FF00FFu) << p;
    EXPECT_EQ(image.profile(p).ExplosingLED, 0x00FFFFFFu) << p;
  }
  EXPECT_EQ(controller.selectedKey(), -1);
  EXPECT_EQ(view.looks.at(8), KeyRefreshMode::Normal);
  EXPECT_FALSE(view.perKeyEnabled);
}

TEST_F(Controller, ResetInPcModeGivesNoColourToProfileSix) {
  controller.switchProfile(6, false);
  image.header().ProfileColor[6] = 0xABCDEF;
  controller.onCommand(Command::ResetProfile);
  EXPECT_EQ(image.header().ProfileColor[6], 0xABCDEFu);
  EXPECT_EQ(std::u16string(image.profile(6).KeySets[0].ProfileName), u"DEFAULT");
}

TEST_F(Controller, ActivationReadsLinkedProgramsFromTheSecondTree) {
  const std::u16string game = u"game.exe";
  std::vector<uint8_t> v(reinterpret_cast<const uint8_t*>(game.c_str()),
                         reinterpret_cast<const uint8_t*>(game.c_str() + game.size() + 1));
  reg.keys[u"Software\\Arvel\\Prismo\\Profile3"][u"LinkExe2"] = v;
  controller.onActivateApp();
  EXPECT_EQ(std::u16string(image.profile(3).LinkExe[2]), game);
  controller.onCommand(Command::Close);
  EXPECT_EQ(view.asked.back(), Warning::Save);
}

// --- Keyboard view ---------------------------------------------------------------------------------

TEST_F(Controller, SelectingMovesTheSelectionAndBackgroundClickClearsIt) {
  image.key(1, 10).Kind = 2;
  controller.selectKey(10);
  controller.selectKey(20);
  EXPECT_EQ(view.looks.at(10), KeyRefreshMode::Normal);
  EXPECT_EQ(view.looks.at(20), KeyRefreshMode::Selected);
  EXPECT_TRUE(view.perKeyEnabled);
  controller.selectKey(20);
  EXPECT_EQ(controller.selectedKey(), 20);
  controller.selectKey(114);
  controller.selectKey(-1);
  EXPECT_EQ(controller.selectedKey(), 20);
  controller.deselectKey();
  EXPECT_EQ(controller.selectedKey(), -1);
  EXPECT_EQ(view.looks.at(20), KeyRefreshMode::Normal);
  EXPECT_FALSE(view.perKeyEnabled);
}

// --- Per-key commands ------------------------------------------------------------------------------

TEST_F(Controller, DisableAsksCountsOnceAndSetsTheEditFlag) {
  controller.selectKey(30);
  view.answers = {kResultNo};
  controller.onCommand(Command::Disable);
  EXPECT_EQ(image.key(1, 30).Kind, 0);
  EXPECT_FALSE(controller.editFlag());
  image.key(1, 30).Events[100] = 7; // left over from an earlier function
  view.answers = {kResultYes, kResultYes};
  controller.onCommand(Command::Disable);
  controller.onCommand(Command::Disable); // already disabled: no second count
  EXPECT_EQ(view.asked, (std::vector<Warning>{Warning::Disable, Warning::Disable, Warning::Disable}));
  EXPECT_EQ(image.key(1, 30).Kind, 10);
  EXPECT_EQ(image.key(1, 30).Events[100], 0);
  EXPECT_EQ(image.profile(1).FuncKey, 1u);
  EXPECT_TRUE(controller.editFlag());
  EXPECT_EQ(view.looks.at(30), KeyRefreshMode::Selected);
}

TEST_F(Controller, DefaultFreesAKeyWithoutTheEditFlagAndNeverWraps) {
  controller.selectKey(3);
  controller.onCommand(Command::Default); // already default: no question
  EXPECT_TRUE(view.asked.empty());
  image.key(1, 3).Kind = 10; // from message 1281: never counted
  ASSERT_EQ(image.profile(1).FuncKey, 0u);
  view.answers = {kResultYes};
  controller.onCommand(Command::Default);
  EXPECT_EQ(view.asked, std::vector<Warning>{Warning::Default});
  EXPECT_EQ(image.key(1, 3).Kind, 0);
  EXPECT_EQ(image.profile(1).FuncKey, 0u);
  EXPECT_FALSE(controller.editFlag());
  // A later switch asks nothing, and the cleared key stays cleared.
  controller.onCommand(Command::ProfileButton, 4);
  EXPECT_EQ(view.asked.size(), 1u);
  EXPECT_EQ(image.key(1, 3).Kind, 0);

  controller.onCommand(Command::ProfileButton, 1);
  controller.selectKey(9);
  view.answers = {kResultYes, kResultYes};
  controller.onCommand(Command::Disable);
  EXPECT_EQ(image.profile(1).FuncKey, 1u);
  controller.onCommand(Command::Default);
  EXPECT_EQ(image.profile(1).FuncKey, 0u);
}

// The record holds 130 units of a program's path. A longer path is never cut (its key would start
// nothing): its short form is stored when that fits, otherwise the choice is refused with a message.
TEST_F(Controller, AppStoresAPathThatFitsOrItsShortFormAndRefusesTheRest) {
  const auto pathOf = [](size_t units) {
    std::u16string p = u"C:\\Games\\";
    p.append(units - p.size() - 4, u'g');
    return p + u".exe";
  };
  struct Case {
    const char* what;
    std::u16string chosen;
    std::optional<std::u16string> shortForm; // what the system gives for the chosen path
    std::optional<std::u16string> stored;    // nothing: refused
  } cases[] = {
      {"short", u"C:\\Games\\run.exe", std::nullopt, u"C:\\Games\\run.exe"},
      {"exactly 130", pathOf(130), std::nullopt, pathOf(130)},
      {"131, short form fits", pathOf(131), u"C:\\GAMES\\GGGGGG~1.EXE", u"C:\\GAMES\\GGGGGG~1.EXE"},
      {"160, short form of 130", pathOf(160), pathOf(130), pathOf(130)},
      {"160, no short form", pathOf(160), std::nullopt, std::nullopt},
      {"160, short form too long", pathOf(160), pathOf(131), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    controller.selectKey(12);
    KeyRecord& r = image.key(1, 12);
    std::memset(&r, 0, sizeof r);
    r.Kind = 2; // a macro key keeps its events and name
    r.EventCount = 2;
    r.MacroName[0] = u'M';
    image.profile(1).FuncKey = 1;
    files.shortForms.clear();
    if (c.shortForm) files.shortForms[c.chosen] = *c.shortForm;
    view.program = c.chosen;
    view.pathsRefused = 0;
    controller.onCommand(Command::App);
    EXPECT_EQ(r.EventCount, 2u);
    EXPECT_EQ(r.MacroName[0], u'M');
    EXPECT_EQ(image.profile(1).FuncKey, 1u);
    EXPECT_TRUE(controller.editFlag());
    if (c.stored) {
      EXPECT_EQ(r.Kind, 9);
      std::u16string field = *c.stored; // the whole field: the path, then zeros
      field.resize(130, u'\0');
      EXPECT_EQ(std::u16string(r.ProgramPath, 130), field);
      EXPECT_EQ(view.pathsRefused, 0);
    } else {
      EXPECT_EQ(r.Kind, 2) << "the key keeps what it did";
      EXPECT_EQ(r.ProgramPath[0], 0);
      EXPECT_EQ(view.pathsRefused, 1);
    }
    EXPECT_EQ(r.reserved2[0], 0); // nothing past the field
  }
}

TEST_F(Controller, AppCancelledStillSetsTheEditFlag) {
  controller.selectKey(12);
  view.program.reset();
  controller.onCommand(Command::App);
  EXPECT_EQ(image.key(1, 12).Kind, 0);
  EXPECT_TRUE(controller.editFlag());
  controller.onCommand(Command::ProfileButton, 2);
  EXPECT_EQ(view.asked, std::vector<Warning>{Warning::Leave});
}

TEST_F(Controller, TheKeyLimitStopsAppAndDisable) {
  controller.selectKey(50);
  image.profile(1).FuncKey = 114;
  view.program = u"C:\\x.exe";
  view.answers = {kResultYes};
  controller.onCommand(Command::Disable);
  EXPECT_TRUE(view.asked.empty());
  EXPECT_FALSE(controller.editFlag());
  controller.onCommand(Command::App);
  EXPECT_EQ(image.key(1, 50).Kind, 0);
  EXPECT_TRUE(controller.editFlag()); // APP still marks an edit
  EXPECT_EQ(image.profile(1).FuncKey, 114u);
}

TEST_F(Controller, PerKeyCommandsNeedASelectionAndEditableProfile) {
  view.program = u"C:\\x.exe";
  view.answers = {kResultYes, kResultYes};
  controller.onCommand(Command::Disable);
  controller.onCommand(Command::App);
  EXPECT_TRUE(view.asked.empty());
  for (const KeyRecord& k : image.profile(1).Button) ASSERT_EQ(k.Kind, 0);
}

// The position whose key sends virtualKey in a layout.
int positionOf(KeyLayout layout, int32_t virtualKey) {
  for (int k = 0; k < kKeyCount; ++k)
    if (virtualKeyForCode(keyCodeAt(layout, k)) == virtualKey) return k;
  return -1;
}

TEST_F(Controller, SingleKeyStoresTheCapturedKeyAsKindOneWithoutALimit) {
  struct Case {
    const char* what;
    uint8_t kindBefore;
    uint32_t funcKeyBefore;
    std::optional<uint8_t> captured;
    uint32_t funcKeyAfter;
  } cases[] = {
      {"default key", 0, 3, 'Q', 4},
      {"macro key: counted already", 2, 3, 0xA2, 3},
      {"all keys counted: no limit", 0, 114, 'Z', 115},
      {"cancel", 2, 3, std::nullopt, 3},
  };
  for (const Case& c : cases) {
    controller.onCommand(Command::ProfileButton, 1); // edits of the last case dropped, flag cleared
    const int position = positionOf(KeyLayout::Ansi, 'A');
    ASSERT_GE(position, 0);
    KeyRecord& r = image.key(1, position);
    std::memset(&r, 0, sizeof r);
    r.Kind = c.kindBefore;
    r.EventCount = 4;
    r.Events[1] = 0x41; // left over from an earlier function
    r.Events[6] = 0x99;
    r.MacroName[0] = u'M';
    image.profile(1).FuncKey = c.funcKeyBefore;
    controller.selectKey(position);
    view.singleKey = c.captured;
    view.singleKeyOpenedWith.clear();
    controller.onCommand(Command::SingleKey);

    EXPECT_EQ(view.singleKeyOpenedWith, std::vector<uint8_t>{0x41}) << c.what;
    EXPECT_EQ(image.profile(1).FuncKey, c.funcKeyAfter) << c.what;
    EXPECT_EQ(controller.editFlag(), c.captured.has_value()) << c.what;
    if (!c.captured) {
      EXPECT_EQ(r.Kind, c.kindBefore);
      EXPECT_EQ(r.Events[6], 0x99);
      continue;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
    EXPECT_EQ(bytes[0], 1) << c.what;
    EXPECT_EQ(bytes[17], *c.captured) << c.what;
    // Everything else of the record is zero.
    int nonZero = 0;
    for (size_t i = 0; i < sizeof r; ++i) nonZero += i != 0 && i != 17 && bytes[i] != 0;
    EXPECT_EQ(nonZero, 0) << c.what;
    EXPECT_EQ(view.looks.at(position), KeyRefreshMode::Selected);
  }
}

TEST_F(Controller, SingleKeyOpensWithTheLowByteOfTheKeysOwnCode) {
  struct Case {
    KeyLayout layout;
    int32_t ownCode;
    uint8_t handedOver;
  } cases[] = {
      {KeyLayout::Ansi, 0x1B, 0x1B},     // Esc
      {KeyLayout::Iso, 1003, 235},       // the ISO key left of Enter
      {KeyLayout::Japanese, 0x20, 0x20}, // Space
  };
  for (const Case& c : cases) {
    const int position = positionOf(c.layout, c.ownCode);
    ASSERT_GE(position, 0) << c.ownCode;
    controller.setKeyLayout(c.layout);
    controller.selectKey(position);
    view.singleKeyOpenedWith.clear();
    controller.onCommand(Command::SingleKey);
    EXPECT_EQ(view.singleKeyOpenedWith, std::vector<uint8_t>{c.handedOver}) << c.ownCode;
  }
  controller.deselectKey();
  view.singleKeyOpenedWith.clear();
  controller.onCommand(Command::SingleKey); // no key selected: no dialog
  EXPECT_TRUE(view.singleKeyOpenedWith.empty());
}

// --- Saving and leaving ------------------------------------------------------------------------------

TEST_F(Controller, OkSavesAndClosesCancelJustCloses) {
  makeEdit();
  view.calls.clear();
  controller.onCommand(Command::Cancel);
  EXPECT_EQ(view.calls, std::vector<std::string>{"close"});
  EXPECT_TRUE(view.asked.size() == 1); // only the DISABLE question
  EXPECT_EQ(saves(), 0);
  view.calls.clear();
  controller.onCommand(Command::Ok);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "await", "close"}));
  EXPECT_EQ(saves(), 1);
}

TEST_F(Controller, ApplySavesAndClearsTheEditFlag) {
  makeEdit();
  controller.onCommand(Command::Apply);
  EXPECT_FALSE(controller.editFlag());
  EXPECT_FALSE(image.hasUnsavedChanges());
  EXPECT_EQ(*reg.value(profileKeyPath(1), u"Button005"), [] {
    std::vector<uint8_t> v(3100, 0);
    v[0] = 10;
    return v;
  }());
  EXPECT_EQ(messenger.posted.back(), (test::Posted{0x99, 2026, 1, 1}));
}

// The monitor reads the registry while the program takes its saved copy: the notice goes out as
// soon as the values are written, and the copy counts the edits saved once it is taken.
TEST_F(Controller, TheMonitorIsToldBeforeTheSavedCopyIsTaken) {
  std::vector<bool> unsavedAtNotice;
  messenger.onPost = [&] { unsavedAtNotice.push_back(image.hasUnsavedChanges()); };
  int key = 5;
  for (Command c : {Command::Apply, Command::Ok}) {
    controller.selectKey(key++); // a key not yet edited
    view.answers = {kResultYes};
    controller.onCommand(Command::Disable);
    ASSERT_TRUE(image.hasUnsavedChanges());
    unsavedAtNotice.clear();
    controller.onCommand(c);
    ASSERT_EQ(messenger.posted.back().message, 2026u);
    EXPECT_EQ(unsavedAtNotice, std::vector<bool>{true}) << static_cast<int>(c);
    EXPECT_FALSE(image.hasUnsavedChanges()) << static_cast<int>(c);
    controller.onSaveAcknowledged();
  }
}

TEST_F(Controller, SaveWithoutMonitorEnablesTheWindowAgainAtOnce) {
  makeEdit();
  messenger.windows.clear();
  view.calls.clear();
  controller.onCommand(Command::Apply);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "enable"}));
  EXPECT_EQ(saves(), 0);
  EXPECT_FALSE(image.hasUnsavedChanges());
}

TEST_F(Controller, CloseButtonAfterAMereSwitchAsks) {
  controller.onCommand(Command::Apply);
  controller.onSaveAcknowledged();
  view.calls.clear();
  controller.onCommand(Command::Close); // nothing unsaved: closes at once
  EXPECT_EQ(view.calls, std::vector<std::string>{"close"});
  EXPECT_TRUE(view.asked.empty());

  view.calls.clear();
  controller.switchProfile(3, true);
  view.answers = {kResultNo};
  controller.onCommand(Command::Close);
  EXPECT_EQ(view.asked, std::vector<Warning>{Warning::Save});
  EXPECT_EQ(view.calls, std::vector<std::string>{"close"});
  EXPECT_EQ(saves(), 1);
}

TEST_F(Controller, CloseButtonWithYesWaitsForTheAcknowledgement) {
  view.answers = {kResultYes};
  controller.onCommand(Command::Close);
  EXPECT_TRUE(controller.closePending());
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "await"}));
  controller.onSaveAcknowledged();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "await", "enable", "close"}));
}

TEST_F(Controller, CloseButtonWithYesClosesOnceNoAcknowledgementCanCome) {
  // The monitor never answers: the bounded wait ends, the window closes with the settings stored.
  view.answers = {kResultYes};
  controller.onCommand(Command::Close);
  controller.onAcknowledgementOverdue();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "await", "enable", "close"}));
  EXPECT_EQ(saves(), 1);
}

TEST_F(Controller, CloseButtonWithYesThenAReleaseCloses) {
  view.answers = {kResultYes};
  controller.onCommand(Command::Close);
  controller.onRelease(16);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "await", "enable", "close"}));
}

TEST_F(Controller, CloseButtonWithYesAndNoMonitorClosesAfterSaving) {
  messenger.windows.clear();
  const auto writesBefore = reg.writeCount;
  view.answers = {kResultYes};
  controller.onCommand(Command::Close);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "enable", "close"}));
  EXPECT_GT(reg.writeCount, writesBefore) << "stored before closing";
}

// The system's Close (Alt+F4, taskbar, system menu) is the close button: it asks before losing edits.
TEST_F(Controller, SystemCloseAsksLikeTheCloseButton) {
  struct Case {
    const char* what;
    bool edited;
    int answer;
    std::vector<Warning> asked;
    std::vector<std::string> calls;
    int saves;
  } cases[] = {
      {"nothing unsaved", false, kResultNo, {}, {"close"}, 0},
      {"edits, No", true, kResultNo, {Warning::Save}, {"close"}, 0},
      {"edits, Yes", true, kResultYes, {Warning::Save}, {"disable", "await"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.edited) {
      makeEdit();
    } else {
      controller.onCommand(Command::Apply);
      controller.onSaveAcknowledged();
    }
    messenger.posted.clear();
    view.calls.clear();
    view.asked.clear();
    view.answers = {c.answer};
    controller.onSystemClose();
    EXPECT_EQ(view.asked, c.asked);
    EXPECT_EQ(view.calls, c.calls);
    EXPECT_EQ(saves(), c.saves);
    if (c.saves) {
      controller.onSaveAcknowledged();
      EXPECT_EQ(view.calls.back(), "close") << "closes on the acknowledgement";
    }
  }
  // While a modal window is open the system's Close waits for it: no second question.
  makeEdit();
  view.calls.clear();
  view.asked.clear();
  view.whileOpen = [this] { controller.onSystemClose(); };
  view.answers = {kResultNo};
  controller.onDeviceNotice(); // a notice is open meanwhile, then the window closes
  view.whileOpen = nullptr;
  EXPECT_EQ(view.asked, std::vector<Warning>{Warning::Device});
}

TEST_F(Controller, TheWindowIsNeverLeftDisabled) {
  controller.onCommand(Command::Apply);
  controller.onAcknowledgementOverdue();
  controller.onSaveAcknowledged(); // late: harmless
  controller.onAcknowledgementOverdue();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "await", "enable", "enable"}));
  view.calls.clear();
  messenger.windows.clear(); // the monitor is gone
  controller.onCommand(Command::Apply);
  EXPECT_FALSE(controller.awaitingAcknowledgement());
  EXPECT_EQ(view.calls, (std::vector<std::string>{"disable", "enable"}));
}

// A save the registry refuses is no success: the user is told with the system's code, the edits
// stay unsaved, nothing that asked for the save closes or reloads, and the monitor is still told.
TEST_F(Controller, ASaveTheRegistryRefusesKeepsTheEditsAndTheWindow) {
  struct Case {
    const char* what;
    std::function<void(MainController&)> run;
    int shownAfter;
  } cases[] = {
      {"OK", [](MainController& c) { c.onCommand(Command::Ok); }, 1},
      {"Apply", [](MainController& c) { c.onCommand(Command::Apply); }, 1},
      {"close button, Yes", [](MainController& c) { c.onCommand(Command::Close); }, 1},
      {"profile button, Yes", [](MainController& c) { c.onCommand(Command::ProfileButton, 3); }, 1},
      {"request, Yes", [](MainController& c) { c.onSwitchRequest(3, 12345); }, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    controller.switchProfile(1, false);
    makeEdit(); // key 5 of profile 1 disabled
    reg.unwritable = {u"Button005"};
    messenger.posted.clear();
    view.calls.clear();
    view.saveErrors.clear();
    view.answers = {kResultYes};
    c.run(controller);
    EXPECT_EQ(view.saveErrors, std::vector<uint32_t>{test::MemoryRegistry::kAccessDenied});
    EXPECT_TRUE(controller.editFlag());
    EXPECT_TRUE(image.hasUnsavedChanges());
    EXPECT_EQ(image.key(1, 5).Kind, 10) << "the edit is still in the image";
    EXPECT_EQ(image.saved().profiles[1].Button[5].Kind, 0);
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "close"), 0);
    EXPECT_FALSE(controller.closePending());
    EXPECT_EQ(saves(), 1) << "the monitor acts on what the registry holds";
    EXPECT_EQ(controller.shownProfile(), c.shownAfter);
    controller.onSaveAcknowledged();
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "close"), 0) << "not even on the acknowledgement";
    EXPECT_EQ(view.calls.back(), "enable");

    // Once the registry takes the writes again the same edits are saved.
    reg.unwritable.clear();
    controller.onCommand(Command::Apply);
    EXPECT_FALSE(controller.editFlag());
    EXPECT_FALSE(image.hasUnsavedChanges());
    EXPECT_EQ(reg.value(profileKeyPath(1), u"Button005")->at(0), 10);
    EXPECT_EQ(view.saveErrors.size(), 1u);
    controller.onSaveAcknowledged();
    image.key(1, 5).Kind = 0;
    image.profile(1).FuncKey = 0;
    controller.onCommand(Command::Apply);
    controller.onSaveAcknowledged();
  }
}

TEST_F(Controller, WindowButtonsOpenTheirTargets) {
  controller.onCommand(Command::Minimise);
  controller.onCommand(Command::Help);
  controller.onCommand(Command::WebHome);
  controller.onCommand(Command::WebSocial1);
  controller.onCommand(Command::WebSocial2);
  ASSERT_EQ(view.calls.size(), 5u);
  EXPECT_EQ(view.calls[0], "minimise");
  EXPECT_EQ(view.calls[1], "help");
  EXPECT_EQ(view.calls[2].rfind("url https://", 0), 0u);
  EXPECT_NE(view.calls[2], view.calls[3]);
  EXPECT_NE(view.calls[3], view.calls[4]);
  EXPECT_FALSE(controller.editFlag());
}

// --- Messages from outside ---------------------------------------------------------------------------

TEST_F(Controller, SwitchRequests) {
  struct Case {
    uintptr_t wParam;
    intptr_t lParam;
    int shown;
    std::vector<uint32_t> notified;
  } cases[] = {
      {6, 0, 0, {0}},    // 6 means 0
      {4, 12345, 4, {}}, // no echo
      {12345, 0, 4, {}}, // no such profile: ignored
      {9, 0, 4, {}},     {uintptr_t(-1), 0, 4, {}}, {7, 1, 7, {7}},
  };
  for (const Case& c : cases) {
    messenger.posted.clear();
    controller.onSwitchRequest(c.wParam, c.lParam);
    EXPECT_EQ(controller.shownProfile(), c.shown) << c.wParam;
    EXPECT_EQ(notified(), c.notified) << c.wParam;
  }
  EXPECT_TRUE(view.asked.empty());
}

TEST_F(Controller, SwitchRequestWithEditsAsksAndKeepsThemOnNo) {
  makeEdit();
  controller.onSwitchRequest(12, 0); // ignored entirely: no question, flag kept
  EXPECT_EQ(view.asked.size(), 1u);
  EXPECT_TRUE(controller.editFlag());
  view.answers = {kResultNo};
  controller.onSwitchRequest(1, 0); // the profile already shown
  EXPECT_EQ(view.asked.back(), Warning::Leave);
  EXPECT_FALSE(controller.editFlag());
  EXPECT_TRUE(notified().empty());
  EXPECT_EQ(image.key(1, 5).Kind, 10); // No keeps the edits in the working copy
  makeEdit();
  view.answers = {kResultYes};
  controller.onSwitchRequest(2, 0);
  EXPECT_EQ(saves(), 1);
  EXPECT_EQ(controller.shownProfile(), 2);
}

TEST_F(Controller, KeyCommands) {
  struct Case {
    uint32_t lParam;
    int kind; // -1: unchanged
  } cases[] = {
      {0x00000000, 0},  {0x00040005, 5},  {0x000700FF, 255}, {0x000A0003, 10},
      {0x00010004, -1}, {0x00030004, -1}, {0x00080004, -1},  {0xFFFF0004, -1},
  };
  for (const Case& c : cases) {
    KeyRecord& r = image.key(1, 44);
    std::memset(&r, 0, sizeof r);
    r.Kind = 2;
    r.EventCount = 6;
    image.profile(1).FuncKey = 1;
    controller.selectKey(44);
    controller.onKeyCommand(static_cast<intptr_t>(c.lParam));
    if (c.kind < 0) {
      EXPECT_EQ(r.Kind, 2) << std::hex << c.lParam;
      EXPECT_EQ(r.EventCount, 6u);
      EXPECT_EQ(controller.selectedKey(), 44);
    } else {
      EXPECT_EQ(r.Kind, c.kind) << std::hex << c.lParam;
      EXPECT_EQ(r.EventCount, 0u);
      EXPECT_EQ(controller.selectedKey(), -1);
      EXPECT_EQ(view.looks.at(44), KeyRefreshMode::Normal);
    }
    EXPECT_EQ(image.profile(1).FuncKey, 1u); // the next recount repairs it
    EXPECT_FALSE(controller.editFlag());
  }
  controller.deselectKey();
  controller.onKeyCommand(0x000A0000); // nothing selected: nothing happens
  for (const KeyRecord& k : image.profile(1).Button) ASSERT_NE(k.Kind, 10);
  image.key(1, 44).Kind = 5;
  controller.switchProfile(2, false);
  controller.switchProfile(1, false);
  EXPECT_EQ(image.profile(1).FuncKey, 1u); // counted as in use
}

TEST_F(Controller, DeviceNoticeReleaseAndMacroMessages) {
  controller.onDeviceNotice();
  EXPECT_EQ(view.asked, std::vector<Warning>{Warning::Device});
  EXPECT_EQ(view.calls, std::vector<std::string>{"close"});

  view.calls.clear();
  controller.selectKey(42);
  controller.onRelease(15);
  controller.onMacroMessage(15);
  EXPECT_TRUE(view.calls.empty());
  controller.onMacroMessage(16);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"enable", "activate"}));
  EXPECT_EQ(controller.selectedKey(), -1);
  EXPECT_EQ(view.looks.at(42), KeyRefreshMode::Normal);

  EXPECT_FALSE(controller.macroSaved());
  controller.onMacroMessage(0x3400);
  EXPECT_TRUE(controller.macroSaved());
  controller.onMacroMessage(0x612);
  EXPECT_EQ(view.asked.back(), Warning::MaxWarn);
}

// While a modal window is open a profile request waits for it to close (the latest wins), so the
// answer or the edit lands in the profile and key it was made for.
TEST_F(Controller, ProfileRequestsWaitForTheModalWindowAndTheLatestWins) {
  const auto requests = [this] {
    controller.onSwitchRequest(3, 0);
    controller.onSwitchRequest(99, 0); // no such profile: not even held
    controller.onSwitchRequest(4, 12345);
    EXPECT_EQ(controller.shownProfile(), 1); // nothing switched under the open window
    EXPECT_TRUE(view.posts.empty());
  };
  const FakeMainView::Post latest{msg::kSwitchProfile, 4, 12345};

  // A question open: DISABLE answered Yes edits the key of profile 1.
  controller.selectKey(7);
  view.answers = {kResultYes};
  view.whileOpen = requests;
  controller.onCommand(Command::Disable);
  view.whileOpen = nullptr;
  EXPECT_EQ(image.key(1, 7).Kind, 10);
  EXPECT_EQ(image.key(3, 7).Kind, 0);
  EXPECT_EQ(image.key(4, 7).Kind, 0);
  ASSERT_EQ(view.posts, std::vector<FakeMainView::Post>{latest});
  EXPECT_TRUE(notified().empty());

  // Back through the window's queue, once the command is done: now it switches, asking first.
  view.answers = {kResultNo};
  controller.onSwitchRequest(view.posts[0].wParam, view.posts[0].lParam);
  EXPECT_EQ(view.asked.back(), Warning::Leave);
  EXPECT_EQ(controller.shownProfile(), 4);

  // An editor open: the single key lands in the key it was opened for.
  controller.onSwitchRequest(2, 0);
  controller.selectKey(9);
  view.singleKey = 'X';
  view.posts.clear();
  view.whileOpen = [this] { controller.onSwitchRequest(5, 0); };
  controller.onCommand(Command::SingleKey);
  view.whileOpen = nullptr;
  EXPECT_EQ(image.key(2, 9).Kind, 1);
  EXPECT_EQ(image.key(2, 9).singleKeyVk(), 'X');
  EXPECT_EQ(image.key(5, 9).Kind, 0);
  EXPECT_EQ(controller.shownProfile(), 2);
  EXPECT_EQ(view.posts, (std::vector<FakeMainView::Post>{{msg::kSwitchProfile, 5, 0}}));

  // The linked-programs dialog open: the programs land in the profile it was opened for.
  view.posts.clear();
  view.whileOpen = [this] { controller.onSwitchRequest(5, 0); };
  view.linkedPrograms = [](int, LinkSlots& slots) {
    slots.names[0][0] = u'g';
    return true;
  };
  controller.onCommand(Command::Sync);
  view.whileOpen = nullptr;
  EXPECT_EQ(image.profile(2).LinkExe[0][0], u'g');
  EXPECT_EQ(controller.shownProfile(), 2);
  EXPECT_EQ(view.posts, (std::vector<FakeMainView::Post>{{msg::kSwitchProfile, 5, 0}}));
}

// An acknowledgement that arrives while a modal window is open ends the save wait, but the main
// window under it is enabled only when it has closed.
TEST_F(Controller, AcknowledgementsWhileAModalWindowIsOpenEnableTheOwnerWhenItCloses) {
  struct Case {
    const char* what;
    std::function<void(MainController&)> acknowledge;
    bool repostsRelease;
  } acks[] = {
      {"13317", [](MainController& c) { c.onSaveAcknowledged(); }, false},
      {"1544 with 16", [](MainController& c) { c.onRelease(16); }, true},
      {"1552 with 16", [](MainController& c) { c.onMacroMessage(16); }, true},
      {"wait ran out", [](MainController& c) { c.onAcknowledgementOverdue(); }, false},
  };
  for (const Case& a : acks) {
    for (const bool editor : {false, true}) {
      controller.selectKey(11);
      controller.save(); // the window waits, disabled
      ASSERT_TRUE(controller.awaitingAcknowledgement());
      view.calls.clear();
      view.posts.clear();
      view.whileOpen = [&] {
        a.acknowledge(controller);
        EXPECT_FALSE(controller.awaitingAcknowledgement()) << a.what;
        EXPECT_TRUE(view.calls.empty()) << a.what << " editor " << editor; // not enabled, not activated
        EXPECT_EQ(controller.selectedKey(), 11) << a.what;
      };
      view.singleKey.reset();
      if (editor)
        controller.onCommand(Command::SingleKey);
      else
        controller.onDeviceNotice();
      view.whileOpen = nullptr;
      ASSERT_FALSE(view.calls.empty()) << a.what;
      EXPECT_EQ(view.calls.front(), "enable") << a.what << " editor " << editor;
      const std::vector<FakeMainView::Post> reposted = a.repostsRelease
                                                           ? std::vector<FakeMainView::Post>{{msg::kRelease, 16, 0}}
                                                           : std::vector<FakeMainView::Post>{};
      EXPECT_EQ(view.posts, reposted) << a.what;
    }
  }
}

TEST_F(Controller, AcknowledgementWithACloseWaitingClosesWhenTheModalWindowHasClosed) {
  makeEdit();
  view.answers = {kResultYes};
  controller.onCommand(Command::Close); // save, then close on the acknowledgement
  ASSERT_TRUE(controller.closePending());
  view.calls.clear();
  view.whileOpen = [this] {
    controller.onSaveAcknowledged();
    EXPECT_TRUE(view.calls.empty());
  };
  controller.onMacroMessage(0x612); // a notice opens meanwhile
  view.whileOpen = nullptr;
  EXPECT_EQ(view.calls, (std::vector<std::string>{"enable", "close"}));
}

// --- Profile files ---------------------------------------------------------------------------------------

TEST_F(Controller, ExportThenImportIntoAnotherProfileIsByteIdentical) {
  ProfileRecord& src = image.profile(1);
  src.Name[0] = u'A';
  src.LinkExe[2][3] = u'z';
  src.Button[7].Kind = 9;
  src.KeySets[19].ProfileButton[113].KeyColor = 0x00ABCDEF;
  src.RainType = 42; // an unsaved edit is exported too
  view.profileFile = u"C:\\users\\me\\Documents\\mine.prof";
  controller.onCommand(Command::Export);
  EXPECT_FALSE(controller.editFlag());
  ASSERT_EQ(files.files.at(*view.profileFile).size(), sizeof(ProfileRecord));

  controller.switchProfile(4, false);
  controller.onCommand(Command::Import);
  EXPECT_EQ(0, std::memcmp(&image.profile(4), &image.profile(1), sizeof(ProfileRecord)));
  EXPECT_TRUE(controller.editFlag());
  EXPECT_EQ(view.looks.at(7), KeyRefreshMode::Normal);
}

TEST_F(Controller, ImportsOfOtherLengths) {
  view.profileFile = u"f.prof";
  struct Case {
    size_t size;
  } cases[] = {{0}, {100}, {sizeof(ProfileRecord) + 5000}};
  for (const Case& c : cases) {
    std::memset(&image.profile(1), 0x5A, sizeof(ProfileRecord));
    files.files[u"f.prof"] = std::vector<uint8_t>(c.size, 0x11);
    controller.onCommand(Command::Import);
    const auto* b = reinterpret_cast<const uint8_t*>(&image.profile(1));
    const size_t taken = std::min(c.size, sizeof(ProfileRecord));
    for (size_t i = 0; i < sizeof(ProfileRecord); i += 997)
      ASSERT_EQ(b[i], i < taken ? 0x11 : 0) << c.size << " @" << i;
    EXPECT_EQ(b[sizeof(ProfileRecord) - 1], c.size > sizeof(ProfileRecord) ? 0x11 : 0);
    EXPECT_EQ(image.profile(2).Name[0], 0); // the next record is untouched
  }
}

TEST_F(Controller, ImportFailures) {
  view.profileFile.reset(); // cancelled: nothing at all
  controller.onCommand(Command::Import);
  EXPECT_FALSE(controller.editFlag());

  view.profileFile = u"missing.prof"; // cannot be opened: only the flag
  controller.onCommand(Command::Import);
  EXPECT_TRUE(controller.editFlag());
  EXPECT_EQ(view.fileErrors, 0);

  controller.onCommand(Command::Apply);
  ASSERT_FALSE(controller.editFlag());
  image.profile(1).Name[0] = u'K';
  files.files[u"bad.prof"] = std::vector<uint8_t>(5000, 0x22);
  files.failing.insert(u"bad.prof");
  view.profileFile = u"bad.prof"; // a read error: message, nothing changes
  controller.onCommand(Command::Import);
  EXPECT_EQ(view.fileErrors, 1);
  EXPECT_EQ(image.profile(1).Name[0], u'K');
  EXPECT_FALSE(controller.editFlag());
}

TEST_F(Controller, FailedExportKeepsTheOldFile) {
  files.files[u"old.prof"] = {1, 2, 3};
  files.failing.insert(u"old.prof");
  view.profileFile = u"old.prof";
  controller.onCommand(Command::Export);
  EXPECT_EQ(view.fileErrors, 1);
  EXPECT_EQ(files.files.at(u"old.prof"), (std::vector<uint8_t>{1, 2, 3}));
  files.unopenable.insert(u"locked.prof");
  view.profileFile = u"locked.prof";
  controller.onCommand(Command::Export); // cannot be created: silently nothing
  EXPECT_EQ(view.fileErrors, 1);
}

// --- The macro editor ----------------------------------------------------------------------------

// An editor that records two events and ends with result.
std::function<int(KeyRecord&, bool)> recordingEditor(int result) {
  return [result](KeyRecord& r, bool) {
    r.EventCount = 2;
    r.Events[0] = 0x41;
    r.MacroName[0] = u'M';
    return result;
  };
}

TEST_F(Controller, MacroStoresWhatTheEditorConfirmed) {
  const struct {
    int result;
    uint32_t events; // what the editor leaves in EventCount
    bool stored;
    bool editFlag;
  } cases[] = {
      {kResultYes, 2, true, true},
      {kResultYes, 0, false, true}, // no events: no macro, but the edit flag
      {kResultNo, 2, false, false},
  };
  for (const auto& c : cases) {
    controller.onCommand(Command::Apply); // clears the edit flag
    image.key(1, 7) = KeyRecord{};
    image.profile(1).FuncKey = 0;
    controller.selectKey(7);
    view.macroEditor = [&](KeyRecord& r, bool loaded) {
      EXPECT_TRUE(loaded);
      r.EventCount = c.events;
      r.Events[0] = 0x41;
      return c.result;
    };
    controller.onCommand(Command::Macro);
    EXPECT_EQ(view.editorsOpened, 1);
    EXPECT_EQ(image.key(1, 7).Kind, c.stored ? 2 : 0) << (&c - cases);
    EXPECT_EQ(image.key(1, 7).EventCount, c.stored ? 2u : 0u) << (&c - cases);
    EXPECT_EQ(image.profile(1).FuncKey, c.stored ? 1u : 0u) << (&c - cases);
    EXPECT_EQ(controller.editFlag(), c.editFlag) << (&c - cases);
    if (c.stored) {
      EXPECT_EQ(view.looks[7], KeyRefreshMode::Selected);
    }
    view.editorsOpened = 0;
  }
}

TEST_F(Controller, MacroEditorStartsFromTheKeysRecordAndCountsOnce) {
  KeyRecord& k = image.key(1, 9);
  k = KeyRecord{};
  k.Kind = static_cast<uint8_t>(KeyKind::Macro);
  k.EventCount = 4;
  k.RepeatCount = 6;
  image.profile(1).FuncKey = 1;
  controller.selectKey(9);
  view.macroEditor = [](KeyRecord& r, bool) {
    EXPECT_EQ(r.EventCount, 4u);
    EXPECT_EQ(r.RepeatCount, 6);
    r.RepeatCount = 2;
    return kResultYes;
  };
  controller.onCommand(Command::Macro);
  EXPECT_EQ(image.key(1, 9).RepeatCount, 2);
  EXPECT_EQ(image.profile(1).FuncKey, 1u) << "already in use: not counted again";
}

TEST_F(Controller, MacroRefusedAtTheKeyLimitAndWithoutASelection) {
  controller.onCommand(Command::Macro);
  EXPECT_EQ(view.editorsOpened, 0);
  controller.selectKey(7);
  image.profile(1).FuncKey = 114;
  controller.onCommand(Command::Macro);
  EXPECT_EQ(view.editorsOpened, 0);
  EXPECT_FALSE(controller.editFlag());
}

TEST_F(Controller, OnlyTheEditorJustConfirmedHandsItsRecordOver) {
  image.key(1, 7) = KeyRecord{};
  image.key(1, 8) = KeyRecord{};
  controller.selectKey(7);
  // The editor's OK tells the main window before it closes.
  view.macroEditor = [&](KeyRecord& r, bool b) {
    controller.onMacroMessage(0x3400);
    return recordingEditor(kResultYes)(r, b);
  };
  controller.onCommand(Command::Macro);
  ASSERT_EQ(image.key(1, 7).Kind, 2);
  ASSERT_TRUE(controller.macroSaved());

  // A later editor on another key, cancelled after recording: nothing is stored.
  controller.selectKey(8);
  view.macroEditor = recordingEditor(kResultNo);
  controller.onCommand(Command::Macro);
  EXPECT_EQ(image.key(1, 8).Kind, 0);
  EXPECT_EQ(image.key(1, 8).EventCount, 0u);

  // The stored notice of the editor that runs still counts, whatever it answers.
  view.macroEditor = [&](KeyRecord& r, bool b) {
    controller.onMacroMessage(0x3400);
    return recordingEditor(kResultNo)(r, b);
  };
  controller.onCommand(Command::Macro);
  EXPECT_EQ(image.key(1, 8).Kind, 2);
}

TEST_F(Controller, TheEditedMacroLandsOnTheKeyItWasOpenedFor) {
  image.key(1, 7) = KeyRecord{};
  controller.selectKey(7);
  view.macroEditor = [&](KeyRecord& r, bool b) {
    controller.onKeyCommand(0); // an outside key command clears the selection meanwhile
    return recordingEditor(kResultYes)(r, b);
  };
  controller.onCommand(Command::Macro);
  EXPECT_EQ(controller.selectedKey(), -1);
  EXPECT_EQ(image.key(1, 7).Kind, 2);
  EXPECT_EQ(image.key(1, 7).MacroName[0], u'M');
}

TEST_F(Controller, ProfileRequestWhileTheEditorIsOpenWaitsForIt) {
  image.key(1, 7) = KeyRecord{};
  image.key(3, 7) = KeyRecord{};
  controller.selectKey(7);
  view.macroEditor = [&](KeyRecord& r, bool b) {
    controller.onSwitchRequest(3, 0);
    EXPECT_EQ(controller.shownProfile(), 1) << "not switched under the editor";
    return recordingEditor(kResultYes)(r, b);
  };
  controller.onCommand(Command::Macro);
  EXPECT_EQ(image.key(1, 7).Kind, 2) << "the macro lands in the profile it was made for";
  EXPECT_EQ(image.key(3, 7).Kind, 0);
  ASSERT_EQ(view.posts.size(), 1u);
  EXPECT_EQ(view.posts[0].message, 1537u);
}

TEST_F(Controller, OutsideRequestOpensTheEditorOnTheKeyLastHandedOver) {
  controller.onOpenMacroEditor();
  KeyRecord seen{};
  bool loaded = true;
  view.macroEditor = [&](KeyRecord& r, bool l) {
    seen = r;
    loaded = l;
    r.EventCount = 2;
    return kResultYes;
  };
  controller.onOpenMacroEditor();
  EXPECT_FALSE(loaded);
  EXPECT_EQ(seen.EventCount, 0u) << "no key handed over yet: an empty record";

  image.key(1, 12) = KeyRecord{};
  image.key(1, 12).EventCount = 6;
  controller.selectKey(12);
  view.macroEditor = {};
  controller.onCommand(Command::Macro); // hands key 12 over, then is cancelled
  controller.deselectKey();
  view.macroEditor = [&](KeyRecord& r, bool l) {
    seen = r;
    loaded = l;
    r.EventCount = 2;
    controller.onMacroMessage(0x3400);
    return kResultYes;
  };
  controller.onOpenMacroEditor();
  EXPECT_EQ(seen.EventCount, 6u);
  EXPECT_EQ(image.key(1, 12).EventCount, 6u) << "its result is not used";
  EXPECT_FALSE(controller.editFlag());
}

TEST_F(Controller, OutsideRequestWhileAnEditorIsOpenBringsItForward) {
  controller.selectKey(7);
  view.macroEditor = [&](KeyRecord&, bool) {
    controller.onOpenMacroEditor();
    controller.onOpenMacroEditor();
    return kResultNo;
  };
  controller.onCommand(Command::Macro);
  EXPECT_EQ(view.editorsOpened, 1);
  EXPECT_EQ(view.editorsBroughtForward, 2);
  view.macroEditor = {};
  controller.onOpenMacroEditor(); // closed again: a new one opens
  EXPECT_EQ(view.editorsOpened, 2);
}

TEST(ProgressRingTest, ArcAndPercentage) {
  struct Case {
    uint32_t count;
    double sweep;
    int percent;
  } cases[] = {{0, 0.0, 0},       {1, 360.0 / 114, 0}, {57, 180.0, 50},
               {114, 360.0, 100}, {115, 360.0, 100},   {4294967295u, 360.0, 100}};
  for (const Case& c : cases) {
    const ProgressRing r = progressRing(c.count);
    EXPECT_DOUBLE_EQ(r.sweepDegrees, c.sweep) << c.count;
    EXPECT_EQ(r.percent, c.percent) << c.count;
  }
}

TEST_F(Controller, SyncHandsACopyOfTheShownProfilesSlotsAndTakesItBackOnlyOnOk) {
  controller.switchProfile(4, false);
  const std::u16string kept = u"kept.exe";
  std::copy(kept.begin(), kept.end(), image.profile(4).LinkExe[1]);
  image.profile(4).LinkExe[4][259] = u'Q'; // every byte of the slots travels, terminator or not
  const auto before = [&] {
    LinkSlots s;
    std::memcpy(&s, image.profile(4).LinkExe, sizeof s);
    return s;
  }();
  struct Case {
    const char* name;
    bool ok;
    std::function<void(LinkSlots&)> edit;
  };
  const Case cases[] = {
      {"clear then CANCEL", false, [](LinkSlots& s) { std::memset(&s, 0, sizeof s); }},
      {"a program then CANCEL", false, [](LinkSlots& s) { s.names[0][0] = u'x'; }},
      {"clear then OK", true, [](LinkSlots& s) { std::memset(&s, 0, sizeof s); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::memcpy(image.profile(4).LinkExe, &before, sizeof before);
    LinkSlots expected = before;
    if (c.ok) c.edit(expected);
    int seenProfile = -1;
    view.linkedPrograms = [&](int p, LinkSlots& slots) {
      seenProfile = p;
      EXPECT_EQ(0, std::memcmp(&slots, &before, sizeof slots));
      c.edit(slots);
      return c.ok;
    };
    controller.onCommand(Command::Apply); // clears the edit flag
    controller.onCommand(Command::Sync);
    EXPECT_EQ(seenProfile, 4);
    EXPECT_EQ(0, std::memcmp(image.profile(4).LinkExe, &expected, sizeof expected));
    EXPECT_EQ(controller.editFlag(), c.ok);
  }
  EXPECT_EQ(image.profile(3).LinkExe[1][0], 0); // no other profile
}

// The colour editor is a modal window like the others: what would enable the main window under it
// waits until it has closed (else a second editor could be opened), but a profile request reaches
// it at once, because it follows switches. The About window holds everything.
TEST_F(Controller, ColourEditorAndAboutHoldTheOutsideMessagesButTheEditorFollowsSwitches) {
  struct Case {
    const char* what;
    std::function<void(MainController&)> outside;
    bool repostsRelease;
  } cases[] = {
      {"13317", [](MainController& c) { c.onSaveAcknowledged(); }, false},
      {"1544 with 16", [](MainController& c) { c.onRelease(16); }, true},
      {"wait ran out", [](MainController& c) { c.onAcknowledgementOverdue(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    controller.save(); // the window waits, disabled
    view.calls.clear();
    view.posts.clear();
    int shownInside = -1;
    view.colourEditor = [&] {
      c.outside(controller);
      EXPECT_EQ(view.calls, std::vector<std::string>{"colour editor"}) << "nothing enabled under the editor";
      controller.onSwitchRequest(3, 12345);
      shownInside = controller.shownProfile();
    };
    controller.onCommand(Command::WholeKeyboardColour);
    EXPECT_EQ(shownInside, 3) << "the switch went through to the editor";
    ASSERT_GE(view.calls.size(), 2u);
    EXPECT_EQ(view.calls[1], "enable");
    const std::vector<FakeMainView::Post> reposted =
        c.repostsRelease ? std::vector<FakeMainView::Post>{{msg::kRelease, 16, 0}} : std::vector<FakeMainView::Post>{};
    EXPECT_EQ(view.posts, reposted);
    controller.switchProfile(1, false);

    // The About window holds the switch too.
    controller.save();
    view.calls.clear();
    view.posts.clear();
    view.whileOpen = [&] {
      c.outside(controller);
      controller.onSwitchRequest(4, 0);
      EXPECT_EQ(view.calls, std::vector<std::string>{"about"});
      EXPECT_EQ(controller.shownProfile(), 1);
    };
    controller.onAbout();
    view.whileOpen = nullptr;
    ASSERT_GE(view.calls.size(), 2u);
    EXPECT_EQ(view.calls[1], "enable");
    EXPECT_EQ(view.posts.back(), (FakeMainView::Post{msg::kSwitchProfile, 4, 0}));
  }
  // A question the editor's switch asks holds a second request until it is answered, then lets it
  // through to the editor still open.
  makeEdit();
  view.posts.clear();
  view.whileOpen = [this] { controller.onSwitchRequest(5, 12345); };
  view.colourEditor = [this] {
    view.answers = {kResultNo};
    controller.onSwitchRequest(2, 12345);
    EXPECT_EQ(controller.shownProfile(), 2);
    EXPECT_EQ(view.posts, (std::vector<FakeMainView::Post>{{msg::kSwitchProfile, 5, 12345}}));
  };
  controller.onCommand(Command::WholeKeyboardColour);
  view.whileOpen = nullptr;
  EXPECT_EQ(view.asked.back(), Warning::Leave);
}

// Every profile switch is told to the main window at once, by a call, so that the colour editor
// open over it shows the new profile; a request for the profile already shown tells nothing.
TEST_F(Controller, EverySwitchIsToldToTheWindowWhileTheColourEditorIsOpen) {
  view.shownProfile = [this] { return controller.shownProfile(); };
  view.switchesTold.clear(); // the start showed profile 1
  std::vector<int> toldWhileOpen;
  view.colourEditor = [&] {
    controller.onSwitchRequest(3, 12345);
    controller.onSwitchRequest(3, 12345); // already shown
    controller.onSwitchRequest(9, 0);     // no such profile
    controller.onSwitchRequest(6, 0);     // 6 is profile 0
    toldWhileOpen = view.switchesTold;
  };
  controller.onCommand(Command::WholeKeyboardColour);
  EXPECT_EQ(toldWhileOpen, (std::vector<int>{3, 0}));
  controller.onCommand(Command::ProfileButton, 4);
  EXPECT_EQ(view.switchesTold, (std::vector<int>{3, 0, 4}));
}

TEST_F(Controller, ColourEditorRunPutsTheEntryBackUnlessItsOkStoredIt) {
  image.WholeKeyColorStatus[1] = 0;
  image.WholeKeyColor[1] = 0x000A0B0C;
  image.WholeKeyColorSaved = true; // left from an earlier run
  view.colourEditor = [this] {
    EXPECT_FALSE(image.WholeKeyColorSaved); // cleared when the run begins
    image.WholeKeyColorStatus[1] = 1;
    image.WholeKeyColor[1] = 0x00FFFFFF;
  };
  controller.onCommand(Command::WholeKeyboardColour);
  EXPECT_EQ(image.WholeKeyColorStatus[1], 0);
  EXPECT_EQ(image.WholeKeyColor[1], 0x000A0B0Cu);
  EXPECT_FALSE(controller.editFlag());

  view.colourEditor = [this] {
    image.WholeKeyColorStatus[1] = 1;
    image.WholeKeyColor[1] = 0x00FFFFFF;
    image.WholeKeyColorSaved = true;
    image.WholeKeyColor[1] = 0x00000001; // changed after OK: kept in memory
  };
  controller.onCommand(Command::WholeKeyboardColour);
  EXPECT_EQ(image.WholeKeyColorStatus[1], 1);
  EXPECT_EQ(image.WholeKeyColor[1], 0x00000001u);
  EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "colour editor"), 2);
}

// --- The profiles other than the current one, read after the window shows -----------------------

// A stored image with profile 2 current and something of its own in profile 7, read by a controller
// whose registry holds every other profile's keys at a gate. The wait cursor opens the gate, so a
// command that waits finds the read complete, and one that does not wait finds it held.
class BackgroundRead : public ::testing::Test {
public:
  static constexpr int kCurrent = 2;
  static constexpr uint32_t kStoredLighting = 0x00123456;

  void SetUp() override {
    SettingsImage stored;
    ASSERT_TRUE(loadSettings(reg, stored));
    stored.header().ProfileCurrent = kCurrent;
    stored.key(7, 3).Kind = 10;
    stored.profile(7).LightingLED = kStoredLighting;
    stored.profile(7).LinkExe[0][0] = u'o';
    ASSERT_EQ(saveSettings(reg, stored), 0u);
    stored.WholeKeyColorStatus[8] = 1;
    stored.WholeKeyColor[8] = 0x00ABCDEF;
    ASSERT_EQ(saveWholeKeyColours(reg, stored, 8), 0u);

    messenger.windows[u"Q7PrismoMon"] = 0x99;
    view.onWaitCursor = [this] { gated.release(); };
    controller.readOtherProfilesInBackground([this] { done.set_value(); });
    ASSERT_TRUE(controller.initialise(0x1234));
    EXPECT_FALSE(image.allRead());
    if (startRead) controller.startReadingOtherProfiles(); // as the window does after its first paint
  }
  void TearDown() override {
    gated.release(); // a command that did not wait leaves the read at the gate
    image.waitUntilRead();
  }
  bool waited() const { return std::count(view.calls.begin(), view.calls.end(), "wait cursor") == 1; }

  bool startRead = true;
  SettingsImage image;
  test::MemoryRegistry reg;
  test::GatedRegistry gated{reg, [](std::u16string_view path) {
                              for (int p = 0; p < kProfileCount; ++p)
                                if (p != kCurrent && path.substr(0, profileKeyPath(p).size()) == profileKeyPath(p))
                                  return true;
                              return false;
                            }};
  test::RecordingMessenger messenger;
  test::MemoryFiles files;
  MonitorLink link{messenger};
  FakeMainView view;
  std::promise<void> done;
  MainController controller{image, gated, link, files, view};
};

TEST_F(BackgroundRead, TheCurrentProfileShowsWhileTheOthersAreStillRead) {
  EXPECT_EQ(controller.shownProfile(), kCurrent);
  EXPECT_TRUE(image.isRead(kCurrent));
  EXPECT_FALSE(image.allRead());
  EXPECT_EQ(view.looks.size(), static_cast<size_t>(kKeyCount));
  EXPECT_FALSE(waited());
  gated.release();
  done.get_future().wait();
  EXPECT_TRUE(image.allRead());
  EXPECT_EQ(image.key(7, 3).Kind, 10);
  EXPECT_EQ(image.WholeKeyColor[8], 0x00ABCDEFu);
  EXPECT_FALSE(image.hasUnsavedChanges()); // each slice read is also the saved copy's
}

TEST_F(BackgroundRead, AnEditOfTheCurrentProfileDuringTheReadStaysUnsaved) {
  controller.selectKey(5);
  view.answers = {kResultYes};
  controller.onCommand(Command::Disable);
  gated.release();
  done.get_future().wait();
  EXPECT_TRUE(image.hasUnsavedChanges());
  EXPECT_EQ(image.saved().profiles[kCurrent].Button[5].Kind, 0);
  EXPECT_EQ(image.key(kCurrent, 5).Kind, 10);
}

TEST_F(BackgroundRead, AnActivationDuringTheReadReadsTheSecondTreeAfterIt) {
  const std::u16string game = u"game.exe";
  reg.keys[u"Software\\Arvel\\Prismo\\Profile7"][u"LinkExe0"] = std::vector<uint8_t>(
      reinterpret_cast<const uint8_t*>(game.c_str()), reinterpret_cast<const uint8_t*>(game.c_str() + game.size() + 1));
  controller.onActivateApp();
  EXPECT_FALSE(waited()); // the window stays usable
  gated.release();
  done.get_future().wait();
  controller.onOtherProfilesRead(); // what the window does when the read tells it
  EXPECT_EQ(std::u16string(image.profile(7).LinkExe[0]), game);
  controller.onActivateApp(); // from now on at once
  EXPECT_EQ(std::u16string(image.profile(7).LinkExe[0]), game);
}

class BackgroundReadNotStarted : public BackgroundRead {
public:
  BackgroundReadNotStarted() { startRead = false; }
};

TEST_F(BackgroundReadNotStarted, ACommandBeforeTheReadStartsItAndWaits) {
  controller.onSwitchRequest(7, 0);
  EXPECT_TRUE(waited());
  EXPECT_EQ(controller.shownProfile(), 7);
  EXPECT_EQ(image.key(7, 3).Kind, 10);
  done.get_future().wait();
}

struct WaitCase {
  const char* what;
  std::function<void(BackgroundRead&)> run;
  std::function<void(BackgroundRead&)> check; // once the read is complete
};

void PrintTo(const WaitCase& c, std::ostream* os) { *os << c.what; }

class BackgroundReadWaits : public BackgroundRead, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(BackgroundReadWaits, WithTheWaitCursorAndSeesEveryProfileRead) {
  GetParam().run(*this);
  EXPECT_TRUE(waited());
  EXPECT_TRUE(image.allRead());
  gated.release();
  image.waitUntilRead();
  GetParam().check(*this);
}

const WaitCase kWaitCases[] = {
    {"SwitchRequest", [](BackgroundRead& t) { t.controller.onSwitchRequest(7, 0); },
     [](BackgroundRead& t) {
       EXPECT_EQ(t.controller.shownProfile(), 7);
       EXPECT_EQ(t.image.key(7, 3).Kind, 10);
       EXPECT_EQ(t.image.profile(7).LightingLED, BackgroundRead::kStoredLighting);
     }},
    {"ProfileButton", [](BackgroundRead& t) { t.controller.onCommand(Command::ProfileButton, 5); },
     [](BackgroundRead& t) { EXPECT_EQ(t.controller.shownProfile(), 5); }},
    {"Apply", [](BackgroundRead& t) { t.controller.onCommand(Command::Apply); },
     [](BackgroundRead& t) { // profile 7 was written as stored, not as an unread, empty slice
       const auto* kind = t.reg.value(profileKeyPath(7), u"Button003");
       ASSERT_NE(kind, nullptr);
       EXPECT_EQ((*kind)[0], 10);
     }},
    {"Reset", [](BackgroundRead& t) { t.controller.onCommand(Command::ResetProfile); },
     [](BackgroundRead& t) { // the reset's lighting defaults reach profile 7 and stay there
       EXPECT_EQ(t.image.profile(7).LightingLED, 0x00FF00FFu);
       EXPECT_EQ(t.image.key(7, 3).Kind, 10);
     }},
    {"CloseButton", [](BackgroundRead& t) { t.controller.onCommand(Command::Close); },
     [](BackgroundRead& t) {
       EXPECT_TRUE(t.view.asked.empty());
       EXPECT_EQ(t.view.calls.back(), "close");
     }},
    {"ColourEditor",
     [](BackgroundRead& t) {
       t.view.colourEditor = [&t] { EXPECT_EQ(t.image.WholeKeyColor[8], 0x00ABCDEFu); };
       t.controller.onCommand(Command::WholeKeyboardColour);
     },
     [](BackgroundRead& t) { EXPECT_EQ(std::count(t.view.calls.begin(), t.view.calls.end(), "colour editor"), 1); }},
    {"Export",
     [](BackgroundRead& t) {
       t.view.profileFile = u"p.prof";
       t.controller.onCommand(Command::Export);
     },
     [](BackgroundRead& t) { EXPECT_EQ(t.files.files.count(u"p.prof"), 1u); }},
    {"Import",
     [](BackgroundRead& t) {
       t.files.files[u"in.prof"] = std::vector<uint8_t>(16, 0);
       t.view.profileFile = u"in.prof";
       t.controller.onCommand(Command::Import);
     },
     [](BackgroundRead& t) { EXPECT_TRUE(t.controller.editFlag()); }},
};

INSTANTIATE_TEST_SUITE_P(Commands, BackgroundReadWaits, ::testing::ValuesIn(kWaitCases),
                         [](const ::testing::TestParamInfo<WaitCase>& info) { return std::string(info.param.what); });

} // namespace
} // namespace q7
