#include "macro/macro_set_dlg.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "keys/single_key_dlg.h"
#include "macro/macro_editor_texts.h"
#include "monitor/messages.h"
#include "platform/win32/clipboard.h"
#include "text/access_text.h"
#include "text/string_lookup.h"
#include "ui/dialog_result.h"
#include "ui/fonts.h"
#include "ui/picture_cache.h"
#include "ui/skin_family.h"
#include "ui/window_messages.h"

namespace q7 {

using namespace macro_editor;

namespace {

std::wstring wideText(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

constexpr SkinFamily kSkins{kNormalImage.data(), kOverImage.data(), kDownImage.data(), kWindowMask.data(), kPanel};

// The controls a recording disables: everything but the close and stop buttons.
constexpr Control kEditingControls[] = {
    Control::Ok,          Control::Cancel,       Control::Select,       Control::SelectNone,  Control::Up,
    Control::Down,        Control::PauseOption0, Control::PauseOption1, Control::ApplyPause,  Control::Copy,
    Control::Delete,      Control::InsertKey,    Control::Paste,        Control::PlayOption0, Control::PlayOption1,
    Control::PlayOption2, Control::Record,       Control::Test,
};

// The fields report their changes as commands of their own, after the controls' commands.
constexpr int kFieldCommand = 1000;
constexpr UINT_PTR kTestPlayTimer = 1; // the window timer that serves test play without the timer thread
constexpr EditorField kFields[] = {EditorField::Name, EditorField::Pause, EditorField::Count};

// The context menu's entries, numbered from 1 (TrackPopupMenu's 0 is "nothing chosen").
constexpr MenuCommand kMenuEntries[] = {MenuCommand::Undo, MenuCommand::Redo, MenuCommand::CopyAllText,
                                        MenuCommand::PasteText};

// A text of the editor from the string file, or its English text where the file has none.
std::u16string editorText(const EditorText& t) {
  std::u16string text = lookupString(u"MACRO", t.key);
  return text.empty() ? std::u16string(t.english) : text;
}

std::u16string replaced(std::u16string text, std::u16string_view mark, const std::u16string& with) {
  if (const size_t at = text.find(mark); at != std::u16string::npos) text.replace(at, mark.size(), with);
  return text;
}

std::u16string decimalText(uint64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

// The one editor whose keys the filter watches; editors never nest.
CMacroSetDlg* keyTarget = nullptr;

struct MenuHandle {
  HMENU menu = CreatePopupMenu();
  MenuHandle() = default;
  MenuHandle(const MenuHandle&) = delete;
  MenuHandle& operator=(const MenuHandle&) = delete;
  ~MenuHandle() {
    if (menu) DestroyMenu(menu);
  }
};

// What the buttons that show only a picture are called for accessibility tools: the texts beside
// them in the window.
std::u16string uncaptionedName(Control id) {
  switch (id) {
  case Control::Close:
    return accessText(access_text::kClose, lookupString);
  case Control::Record:
    return lookupString(u"MACRO", u"RECORD");
  case Control::Stop:
    return lookupString(u"MACRO", u"STOP");
  case Control::PauseOption0:
    return lookupString(u"MACRO", u"SELDELAY");
  case Control::PauseOption1:
    return lookupString(u"MACRO", u"ALLDELAY");
  case Control::PlayOption0:
    return lookupString(u"MACRO", u"REPEAT1");
  case Control::PlayOption1:
    return lookupString(u"MACRO", u"REPEAT2");
  case Control::PlayOption2:
    return lookupString(u"MACRO", u"REPEAT3");
  default:
    return {};
  }
}
} // namespace

// The editor's pictures come from the process-wide picture cache, which decodes a picture again when
// its file changed, so a skin replaced while the program runs shows at the next opening. The pieces
// the controls show are cut once per decoded picture and scale and kept for the process: opening the
// editor again, or moving it back to a display it was on, costs no decoding, no region scan and no
// cutting.
struct CMacroSetDlg::Pictures {
  Scale scale;
  FamilyPictures source; // as the cache handed them out; other bitmaps mean other files
  std::array<std::array<SkinBitmap, 3>, std::size(kControls)> buttons; // normal, over, down
  std::array<SkinBitmap, std::size(kLabels)> labels;

  // At most this many scales are kept: a window sent one DPI change after another (by any
  // program) never piles up pieces.
  static constexpr size_t kMaxScales = 3;

  static bool same(const FamilyPictures& a, const FamilyPictures& b) {
    return a.normal.get() == b.normal.get() && a.over.get() == b.over.get() && a.down.get() == b.down.get() &&
           a.shape == b.shape;
  }

  // inUse: the entry the asking window still shows, never dropped.
  static const Pictures& forScale(Scale scale, const Pictures* inUse = nullptr) {
    static std::vector<std::unique_ptr<Pictures>> cached;
    FamilyPictures now = familyPictures(kSkins, scale);
    for (auto it = cached.begin(); it != cached.end(); ++it) {
      if ((*it)->scale != scale) continue;
      if (same((*it)->source, now)) return **it;
      if (it->get() != inUse) cached.erase(it); // cut from pictures that changed
      break;
    }
    if (cached.size() >= kMaxScales) {
      const auto oldest = std::find_if(cached.begin(), cached.end(), [&](const auto& p) { return p.get() != inUse; });
      if (oldest != cached.end()) cached.erase(oldest);
    }
    auto p = std::make_unique<Pictures>();
    p->scale = scale;
    p->source = std::move(now);
    for (const ControlEntry& c : kControls) {
      const Rect r = scale.rect(c.rect);
      auto& pieces = p->buttons[static_cast<size_t>(c.id)];
      pieces[0] = cutBitmap(p->source.normal, r.left, r.top, r.right, r.bottom);
      pieces[1] = cutBitmap(p->source.over, r.left, r.top, r.right, r.bottom);
      pieces[2] = cutBitmap(p->source.down, r.left, r.top, r.right, r.bottom);
    }
    for (size_t i = 0; i < std::size(kLabels); ++i) {
      const Rect r = scale.rect(kLabels[i].rect);
      p->labels[i] = cutBitmap(p->source.normal, r.left, r.top, r.right, r.bottom);
    }
    cached.push_back(std::move(p));
    return *cached.back();
  }
};

CMacroSetDlg::CMacroSetDlg(HWND owner, const KeyRecord& record, bool loaded, Ask ask)
    : SkinnedDialog(owner), ask_(std::move(ask)) {
  if (loaded)
    controller_.load(record);
  else
    controller_.fill(record);
}

int CMacroSetDlg::runModal() { return SkinnedDialog::runModal() == kResultYes ? kResultYes : kResultNo; }

void CMacroSetDlg::onCreate() {
  languageCode_ = lookupString(u"MAIN", u"LANG");
  takePictures();
  const Pictures& p = *pictures_;

  for (const ControlEntry& c : kControls) {
    CBitmapBtn2& b = button(c.id);
    if (!b.create(wnd_, c.rect, scale_)) continue;
    bindCommand(b, c.id);
    const auto& pieces = p.buttons[static_cast<size_t>(c.id)];
    b.showPieces(&pieces[0], &pieces[1], &pieces[2], &pieces[0]);
    if (c.kind == ControlKind::Text) {
      b.setTextColours(kWhite, kWhite, kWhite);
      b.setFontHeight(kCaptionHeight);
      std::u16string caption = lookupString(c.section, c.text);
      if (caption.empty() && c.id == Control::Test) caption = kTestCaption.english; // a string file without it
      b.setText(wideText(caption), 0);
    } else {
      b.setAccessibleName(wideText(uncaptionedName(c.id)));
    }
  }
  for (size_t i = 0; i < std::size(kLabels); ++i) {
    const Label& l = kLabels[i];
    if (!labelShown(l, languageCode_)) continue;
    CBitmapBtn2& label = labels_[i];
    if (!label.create(wnd_, l.rect, scale_)) continue;
    // A label shows the face in every state; it has no command.
    const SkinBitmap* face = &p.labels[i];
    label.showPieces(face, face, face, face);
    label.setTextColours(kWhite, kWhite, kWhite);
    label.setFontHeight(kLabelHeight);
    label.setText(wideText(lookupString(u"MACRO", l.text)), 1);
  }
  for (auto [f, rect, digits, limit] :
       {std::tuple{&name_, kNameField, false, kMaxNameLength}, std::tuple{&pause_, kPauseField, true, kMaxDigits},
        std::tuple{&count_, kCountField, true, kMaxDigits}}) {
    if (!f->create(wnd_, rect, digits, scale_)) continue;
    f->useSystemFont();
    f->setTextColour(kFieldText);
    f->setBackgroundColour(kFieldBackground);
    SendMessageW(f->window(), EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
  }
  for (EditorField f : kFields) bindCommand(field(f), kFieldCommand + static_cast<int>(f));
  if (preview_.create(wnd_, kPreviewField, false, scale_)) {
    preview_.useSystemFont();
    preview_.setTextColour(kFieldText);
    preview_.setBackgroundColour(kFieldBackground);
    SendMessageW(preview_.window(), EM_SETREADONLY, TRUE, 0);
  }
  testTimer_.emplace(wnd_, msg::kTestPlayDue);
  // After the base's Enter and Escape filter, so that this one sees the keys first.
  keyTarget = this;
  keyFilter_.reset(SetWindowsHookExW(WH_MSGFILTER, &CMacroSetDlg::keyFilter, nullptr, GetCurrentThreadId()));
  SetWindowTextW(pause_.window(), std::to_wstring(kPauseFieldStart).c_str());
  list_.create(wnd_, scale_);
  for (size_t i = 0; i < std::size(kHeadings); ++i) headings_[i] = lookupString(u"MACRO", kHeadings[i].text);

  // Loaded before the window first shows, so that showing it installs the hook for this window.
  hook_.emplace();
  hook_->install(wnd_);
}

void CMacroSetDlg::takePictures() {
  const Pictures& p = Pictures::forScale(scale_, pictures_);
  pictures_ = &p;
  if (win32::UniqueGdi<HRGN> shape = copyShape(p.source); shape && SetWindowRgn(wnd_, shape.get(), TRUE))
    shape.release();          // the window owns it now
  size_ = scale_.size(kSize); // the buttons stand where the layout puts them, whatever the picture's size
}

void CMacroSetDlg::onScaleChanged() {
  // The same controls at the new scale, with pieces of that scale's pictures. The macro's lines,
  // the selection and the fields' texts live in the controls and the controller, which stay.
  takePictures();
  const Pictures& p = *pictures_;
  for (const ControlEntry& c : kControls) {
    CBitmapBtn2& b = button(c.id);
    if (!b.window()) continue;
    b.rescale(scale_);
    const auto& pieces = p.buttons[static_cast<size_t>(c.id)];
    b.showPieces(&pieces[0], &pieces[1], &pieces[2], &pieces[0]);
  }
  for (size_t i = 0; i < std::size(kLabels); ++i) {
    CBitmapBtn2& label = labels_[i];
    if (!label.window()) continue;
    label.rescale(scale_);
    const SkinBitmap* face = &p.labels[i];
    label.showPieces(face, face, face, face);
  }
  for (CCrledit* f : {&name_, &pause_, &count_, &preview_}) f->rescale(scale_);
  list_.rescale(scale_);
  RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

void CMacroSetDlg::onInit() { controller_.initialise(); }

void CMacroSetDlg::onCommand(UINT code, ControlCommand bound) {
  if (bound.command >= kFieldCommand) {
    if (code == EN_CHANGE) controller_.onFieldChanged(static_cast<EditorField>(bound.command - kFieldCommand));
    return;
  }
  if (code == BN_CLICKED) controller_.onCommand(static_cast<macro_editor::Control>(bound.command));
}

LRESULT CALLBACK CMacroSetDlg::keyFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && lParam && keyTarget) {
    try {
      if (keyTarget->onKey(*reinterpret_cast<const MSG*>(lParam))) return TRUE;
    } catch (...) {
      // Nothing crosses the hook; the key goes on as usual.
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CMacroSetDlg::onKey(const MSG& m) {
  if (!wnd_ || (m.hwnd != wnd_ && !IsChild(wnd_, m.hwnd))) return false; // another window's (a nested dialog's)
  const bool press = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
  const bool other = m.message == WM_KEYUP || m.message == WM_SYSKEYUP || m.message == WM_CHAR ||
                     m.message == WM_SYSCHAR || m.message == WM_DEADCHAR || m.message == WM_SYSDEADCHAR;
  if (!press && !other) return false;
  EditorKey key;
  key.vk = static_cast<uint8_t>(m.wParam & 0xFF);
  key.down = press;
  key.ctrl = GetKeyState(VK_CONTROL) < 0;
  key.shift = GetKeyState(VK_SHIFT) < 0;
  key.alt = GetKeyState(VK_MENU) < 0;
  key.inField = m.hwnd == name_.window() || m.hwnd == pause_.window() || m.hwnd == count_.window();
  key.inList = m.hwnd == list_.window();
  key.keyboardUse = keyboardUseOn();
  switch (editorKeyAction(key, controller_.recording(), controller_.testing())) {
  case KeyAction::Pass:
    return false;
  case KeyAction::Swallow:
    return true;
  case KeyAction::Undo:
    controller_.onMenu(MenuCommand::Undo);
    return true;
  case KeyAction::Redo:
    controller_.onMenu(MenuCommand::Redo);
    return true;
  case KeyAction::Menu:
    // Opened from the dialog's own message, not inside this filter: the menu runs a loop of its own.
    PostMessageW(wnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list_.window()), MAKELPARAM(-1, -1));
    return true;
  case KeyAction::StopTest:
    controller_.stopTest();
    return true;
  case KeyAction::DeleteLines:
    controller_.onCommand(Control::Delete);
    return true;
  case KeyAction::LinesUp:
    controller_.onCommand(Control::Up);
    return true;
  case KeyAction::LinesDown:
    controller_.onCommand(Control::Down);
    return true;
  }
  return false;
}

void CMacroSetDlg::showMenu(POINT at, bool fromKeyboard) {
  const MenuState state = controller_.menuState();
  if (controller_.recording()) return;
  if (fromKeyboard) {
    HWND list = list_.window();
    RECT r{};
    const int caret = list_.caretLine();
    if (!list || caret < 0 ||
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
      GetClientRect(list, &r);
    at = {r.left + 8, r.bottom};
    ClientToScreen(list ? list : wnd_, &at);
  }
  MenuHandle menu;
  if (!menu.menu) return;
  const bool enabled[] = {state.undo, state.redo, state.copyAllText, state.pasteText};
  const std::u16string texts[] = {editorText(kMenuUndo) + u"\tCtrl+Z", editorText(kMenuRedo) + u"\tCtrl+Y",
                                  editorText(kMenuCopyText), editorText(kMenuPasteText)};
  for (size_t i = 0; i < std::size(kMenuEntries); ++i) {
    if (i == 2) AppendMenuW(menu.menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.menu, MF_STRING | (enabled[i] ? MF_ENABLED : MF_GRAYED), i + 1, wideText(texts[i]).c_str());
  }
  const int chosen = static_cast<int>(
      TrackPopupMenu(menu.menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, wnd_, nullptr));
  if (chosen >= 1 && chosen <= static_cast<int>(std::size(kMenuEntries))) controller_.onMenu(kMenuEntries[chosen - 1]);
}

bool CMacroSetDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
  case WM_SHOWWINDOW:
    if (hook_) {
      if (wParam) {
        hook_->install(wnd_);
        hook_->setStatus(1);
      } else {
        hook_->setStatus(0);
        hook_->remove();
      }
    }
    return false;
  case WM_CONTEXTMENU: {
    // The editor's own menu on a right click on the list (which itself sends no notice) or the
    // menu key; a point of -1, -1 comes from the keyboard.
    const HWND from = reinterpret_cast<HWND>(wParam);
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const bool fromKeyboard = at.x == -1 && at.y == -1;
    if (from != list_.window() && !(fromKeyboard && from == wnd_)) return false;
    showMenu(at, fromKeyboard);
    result = TRUE;
    return true;
  }
  case msg::kTestPlayDue:
    controller_.onTestTick();
    return true;
  case WM_TIMER:
    if (wParam != kTestPlayTimer) return false;
    KillTimer(wnd_, kTestPlayTimer);
    controller_.onTestTick();
    return true;
  case msg::kHookKey: {
    // A report rewrites a line, adds one and scrolls: the list redraws once, afterwards.
    const bool hold = controller_.recording();
    if (hold) list_.holdRedraw(true);
    result = controller_.onHookKey(wParam, lParam);
    if (hold) list_.holdRedraw(false);
    return true;
  }
  default:
    return false;
  }
}

void CMacroSetDlg::paintFace(HDC dc, int width, int height) {
  paintSkinFace(dc, pictures_ ? pictures_->source.normal : normal_, width, height);
}

void CMacroSetDlg::paintTexts(HDC dc) {
  const TextStyle& style = headingStyle(languageCode_);
  for (size_t i = 0; i < std::size(kHeadings); ++i)
    drawText(dc, headings_[i], headingRect(kHeadings[i], languageCode_), style,
             i == 0 ? DT_RIGHT : DT_LEFT); // the name's heading stands right-aligned beside its field
}

void CMacroSetDlg::onDestroy() {
  controller_.stopTest();
  testTimer_.reset();
  keyFilter_.reset();
  if (keyTarget == this) keyTarget = nullptr;
  hook_.reset(); // status 0, hook removed, library unloaded
}

CCrledit& CMacroSetDlg::field(EditorField f) {
  switch (f) {
  case EditorField::Name:
    return name_;
  case EditorField::Pause:
    return pause_;
  case EditorField::Count:
    break;
  }
  return count_;
}

HWND CMacroSetDlg::mainWindow() const {
  const std::u16string title = lookupString(u"MAIN", u"NAME");
  return FindWindowW(nullptr, win32::wide(title.c_str()));
}

// --- MacroEditorView ---------------------------------------------------------------------------

void CMacroSetDlg::showLines(const std::vector<MacroListLine>& lines, const std::vector<int>& selected) {
  list_.setLines(lines, selected);
}
void CMacroSetDlg::addLine(const MacroListLine& line) { list_.addLine(line); }
void CMacroSetDlg::rewriteLastLine(const std::u16string& text) { list_.rewriteLastLine(text); }
void CMacroSetDlg::showLastLine() { list_.showLastLine(); }
void CMacroSetDlg::selectAll(bool selected) { list_.selectAll(selected); }
std::vector<int> CMacroSetDlg::selectedLines() { return list_.selectedLines(); }
int CMacroSetDlg::caretLine() { return list_.caretLine(); }
void CMacroSetDlg::focusList() { SetFocus(list_.window()); }

void CMacroSetDlg::showRecordLatched(bool latched) { button(Control::Record).setLatched(latched); }
void CMacroSetDlg::showStopLatched(bool latched) { button(Control::Stop).setLatched(latched); }

void CMacroSetDlg::setEditingEnabled(bool enabled) {
  for (Control c : kEditingControls)
    if (HWND b = button(c).window()) EnableWindow(b, enabled ? TRUE : FALSE);
}

void CMacroSetDlg::showPauseMode(int mode) {
  button(Control::PauseOption0).setLatched(mode == 0);
  button(Control::PauseOption1).setLatched(mode == 1);
  if (pause_.window()) EnableWindow(pause_.window(), mode == 0 ? TRUE : FALSE);
}

void CMacroSetDlg::showPlayOption(int mode) {
  button(Control::PlayOption0).setLatched(mode == 0);
  button(Control::PlayOption1).setLatched(mode == 1);
  button(Control::PlayOption2).setLatched(mode == 2);
}

std::u16string CMacroSetDlg::fieldText(EditorField f) {
  HWND wnd = field(f).window();
  if (!wnd) return {};
  const int length = GetWindowTextLengthW(wnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), length + 1)));
  return std::u16string(text.begin(), text.end());
}

void CMacroSetDlg::setFieldText(EditorField f, const std::u16string& text) {
  if (HWND wnd = field(f).window()) SetWindowTextW(wnd, wideText(text).c_str());
}

int CMacroSetDlg::ask(EditorWarning kind) { return ask_ ? ask_(wnd_, static_cast<int>(kind)) : kResultNo; }

std::optional<uint8_t> CMacroSetDlg::askKeyToInsert() {
  CSinglekeyDlg dialog(wnd_, 0, single_key_dialog::Mode::Insert);
  if (dialog.runModal() != kResultYes) return std::nullopt;
  return dialog.capturedKey();
}

void CMacroSetDlg::postLimitNotice() {
  if (HWND main = mainWindow()) PostMessageW(main, msg::kMacroStored, msg::kMacroStoredParam2, 0);
}

void CMacroSetDlg::sendMacroStored() {
  if (HWND main = mainWindow()) SendMessageW(main, msg::kMacroStored, msg::kMacroStoredParam, 0);
}

void CMacroSetDlg::installHook() {
  if (hook_) hook_->install(wnd_);
}

void CMacroSetDlg::setHookStatus(int status) {
  if (hook_) hook_->setStatus(status);
}

void CMacroSetDlg::close(int result) { end(result); }

void CMacroSetDlg::showPreview(const std::u16string& text, std::optional<std::pair<uint32_t, uint64_t>> times) {
  HWND field = preview_.window();
  if (!field) return;
  std::u16string shown = text;
  if (times) {
    if (!shown.empty()) shown += u"   ";
    shown +=
        replaced(replaced(editorText(kTestTimes), u"%1", decimalText(times->first)), u"%2", decimalText(times->second));
  }
  SetWindowTextW(field, wideText(shown).c_str());
  // The newest characters in view.
  const LRESULT end = GetWindowTextLengthW(field);
  SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(field, EM_SCROLLCARET, 0, 0);
}

void CMacroSetDlg::showTestLatched(bool latched) { button(Control::Test).setLatched(latched); }

void CMacroSetDlg::scheduleTestTick(uint32_t inMs) {
  if (testTimer_ && testTimer_->arm(inMs)) return;
  // Without the timer thread the window's own timer serves, in its coarser steps.
  SetTimer(wnd_, kTestPlayTimer, std::max<UINT>(inMs, USER_TIMER_MINIMUM), nullptr);
}

void CMacroSetDlg::cancelTestTick() {
  if (testTimer_) testTimer_->cancel();
  KillTimer(wnd_, kTestPlayTimer);
}

bool CMacroSetDlg::putClipboardText(const std::u16string& text) { return win32::putClipboardText(wnd_, text); }

std::optional<std::u16string> CMacroSetDlg::clipboardText() { return win32::clipboardText(wnd_); }

void CMacroSetDlg::showTextError(int line, TextError error) {
  const std::u16string text =
      replaced(replaced(editorText(kTextErrorLine), u"%1", decimalText(static_cast<uint64_t>(line))), u"%2",
               editorText(textErrorReason(error)));
  MessageBoxW(wnd_, wideText(text).c_str(), wideText(editorText(kMenuPasteText)).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CMacroSetDlg::showNotice(EditorNotice notice) {
  const EditorText& t = notice == EditorNotice::ClipboardRefused ? kClipboardRefused : kNoClipboardText;
  MessageBoxW(wnd_, wideText(editorText(t)).c_str(), wideText(lookupString(u"MAIN", u"NAME")).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

} // namespace q7
