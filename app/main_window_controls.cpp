// The main window's controls: skin pictures, shape, command buttons, captions and the 114 key
// buttons, built from the window's layout table; and how they show the controller's decisions.
#include "app/main_window.h"

#include <optional>
#include <string>

#include "app/accessible_names.h"
#include "app/key_moves.h"
#include "app/keyboard_layout_tables.h"
#include "app/start_trace.h"
#include "settings/settings_image.h"
#include "text/string_lookup.h"

namespace q7 {

namespace {

using main_window::Control;
using main_window::ControlKind;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

using win32::widen;

bool perKeyButton(Control id) {
  switch (id) {
  case Control::Macro:
  case Control::SingleKey:
  case Control::App:
  case Control::Sync:
  case Control::Disable:
  case Control::Default:
    return true;
  default:
    return false;
  }
}

bool hasTooltip(Control id, std::u16string_view lang) {
  if (id == Control::WholeKeyboardColour) return true;
  if (id == Control::Default) return false;
  if (id == Control::Macro) return lang == u"DE";
  return perKeyButton(id);
}

// The command each button stands for; a profile tab and a key add their number.
constexpr struct {
  Control control;
  Command command;
} kCommands[] = {
    {Control::Ok, Command::Ok},
    {Control::Cancel, Command::Cancel},
    {Control::Apply, Command::Apply},
    {Control::Close, Command::Close},
    {Control::Minimise, Command::Minimise},
    {Control::WebLink1, Command::WebHome},
    {Control::WebLink2, Command::WebSocial1},
    {Control::WebLink3, Command::WebSocial2},
    {Control::Help, Command::Help},
    {Control::ResetProfile, Command::ResetProfile},
    {Control::Export, Command::Export},
    {Control::Import, Command::Import},
    {Control::Sync, Command::Sync},
    {Control::Macro, Command::Macro},
    {Control::SingleKey, Command::SingleKey},
    {Control::App, Command::App},
    {Control::Disable, Command::Disable},
    {Control::Default, Command::Default},
    {Control::WholeKeyboardColour, Command::WholeKeyboardColour},
};

std::optional<Command> commandOf(Control id) {
  for (const auto& m : kCommands)
    if (m.control == id) return m.command;
  return std::nullopt;
}

// What the controls without a caption are called for accessibility tools.
constexpr struct {
  Control control;
  const AccessText* text;
} kUncaptionedNames[] = {
    {Control::Picture, &access_text::kLogo},        {Control::Close, &access_text::kClose},
    {Control::Help, &access_text::kHelp},           {Control::Minimise, &access_text::kMinimise},
    {Control::WebLink1, &access_text::kWebHome},    {Control::WebLink2, &access_text::kWebSocial1},
    {Control::WebLink3, &access_text::kWebSocial2},
};

constexpr int kKeyboardViewGroup = 1;

constexpr Control kPerKeyButtons[] = {Control::Macro, Control::SingleKey, Control::App, Control::Disable,
                                      Control::Default};

} // namespace

void CKeyvaneDlg::loadPictures() {
  // The three pictures, decoded once as device bitmaps at the window's scale: the background, the
  // keys' pieces and the controls' images all come from these.
  const std::string_view files[3] = {main_window::kNormalImage, main_window::kOverImage, main_window::kDownImage};
  for (int i = 0; i < 3; ++i) keyImages_[i] = loadScaledSkin(widen(files[i]), scale_);

  const SkinBitmap mask = loadScaledSkin(widen(main_window::kWindowMask), scale_, Resample::Nearest);
  size_ = mask ? Size{mask.width(), mask.height()} : scale_.size(main_window::kSize);
  if (mask) dialog::shapeWindow(wnd_, mask);
}

void CKeyvaneDlg::createControls() {
  loadPictures();
  start_trace::mark("pictures");
  // The language code decides the layout, the legends and a few captions.
  languageCode_ = lookupString(u"MAIN", u"LANG");
  layout_ = keyLayoutFor(languageCode_);
  controller_.setKeyLayout(layout_);
  labels_.emplace(KeyLabels::forLanguage(languageCode_, keyboardText_));

  for (const main_window::ControlEntry& entry : main_window::kControls) createControl(entry.id);
  start_trace::mark("controls");
  buildKeyButtons();
  start_trace::mark("keys");

  MoveWindow(wnd_, 0, 0, size_.width, size_.height, TRUE);
  SetWindowPos(wnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void CKeyvaneDlg::onScaleChanged() {
  // The same window, controls and keys at the new scale: pictures, shape and size anew, every child
  // moved to its scaled rectangle with pieces of the new pictures. What the user edited lives in
  // the settings image and the controller, which stay as they are.
  loadPictures();
  for (const main_window::ControlEntry& entry : main_window::kControls) {
    control(entry.id).rescale(scale_);
    cutControlPictures(entry.id);
  }
  for (CBitmapBtn2& key : keys_) key.rescale(scale_);
  RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

void CKeyvaneDlg::cutControlPictures(Control id) {
  const Rect r = scale_.rect(main_window::controlRect(id, languageCode_));
  const SkinBitmap& normal = keyImages_[static_cast<int>(KeyImage::Normal)];
  const SkinBitmap& over = keyImages_[static_cast<int>(KeyImage::Over)];
  const SkinBitmap& down = keyImages_[static_cast<int>(KeyImage::Down)];
  const auto piece = [&](const SkinBitmap& from) { return cutImage(from, r.left, r.top, r.width(), r.height()); };
  CBitmapBtn& button = control(id);
  button.setPieces(piece(normal), piece(over), piece(down), piece(normal));
  // A profile tab shows its hover picture at rest while selected: that piece is kept aside, and
  // traded in at once for a tab that is selected already.
  if (id >= Control::Profile0 && id <= Control::Profile5) {
    const int tab = static_cast<int>(id) - static_cast<int>(Control::Profile0);
    profileOtherLook_[tab] = piece(over);
    if (profileSelected_[tab]) button.swapNormalImage(profileOtherLook_[tab]);
  }
}

void CKeyvaneDlg::createControl(Control id) {
  const main_window::ControlEntry& entry = main_window::control(id);
  const Rect r = main_window::controlRect(id, languageCode_);
  CBitmapBtn& button = control(id);
  if (!button.create(wnd_, r, scale_)) return;
  if (id >= Control::Profile0 && id <= Control::Profile5)
    bindCommand(button, Command::ProfileButton, static_cast<int>(id) - static_cast<int>(Control::Profile0));
  else if (const std::optional<Command> command = commandOf(id))
    bindCommand(button, *command);
  cutControlPictures(id);
  if (entry.mask) button.setMask(widen(entry.mask->file));

  std::u16string caption;
  if (!entry.text.empty()) caption = lookupString(u"MAIN", entry.text);
  if (id >= Control::Profile1 && id <= Control::Profile5)
    caption +=
        u" " +
        std::u16string(1, static_cast<char16_t>(u'0' + (static_cast<int>(id) - static_cast<int>(Control::Profile0))));

  button.setFontHeight(main_window::captionHeight(id, languageCode_));
  const int weight = main_window::captionWeight(entry.kind);
  switch (entry.kind) {
  case ControlKind::CommandButton:
    button.setColors(kBlack, kWhite, kWhite, weight);
    break;
  case ControlKind::ProfileButton:
    button.setColors(kBlack, kBlack, kBlack, weight);
    break;
  case ControlKind::WhiteButton:
  case ControlKind::Label:
    button.setColors(kWhite, kWhite, kWhite, weight);
    break;
  case ControlKind::Picture:
  case ControlKind::IconButton:
    break;
  }
  if (id == Control::KeyName) button.setTextRect(0, 0, 47, 48);
  button.setText(widen(caption), id == Control::KeyFunction ? 5 : 0, id == Control::KeyFunction ? 4 : 0);
  if (hasTooltip(id, languageCode_)) button.setTooltip(widen(caption));
  for (const auto& n : kUncaptionedNames)
    if (n.control == id) button.setAccessibleName(widen(accessText(*n.text, lookupString)));
  if (perKeyButton(id) && id != Control::Sync) EnableWindow(button.window(), FALSE);
}

void CKeyvaneDlg::buildKeyButtons() {
  const auto rects = keyRectangles(layout_);
  for (int k = 0; k < kKeyCount; ++k) {
    if (!keys_[k].create(wnd_, rects[k], scale_)) continue;
    bindCommand(keys_[k], Command::KeyButton, k);
    keys_[k].setTabStop(kKeyboardViewGroup); // the keyboard view is one stop
    setKeyLook(k, KeyLook::Default);
    nameKey(k, KeyRecord{});
    RedrawWindow(keys_[k].window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

bool CKeyvaneDlg::setKeyLook(int position, KeyLook look) {
  const KeyLookImages images = keyLookImages(look);
  auto pick = [&](KeyImage i) { return &keyImages_[static_cast<int>(i)]; };
  const Rect at = keyRectangle(layout_, position);
  return keys_[position].showPieces(pick(images.normal), pick(images.hover), pick(images.pressed),
                                    pick(images.disabled), at.left, at.top);
}

void CKeyvaneDlg::nameKey(int position, const KeyRecord& record) {
  if (!labels_ || !keyVisible(layout_, position)) return;
  const std::u16string name = keyAccessibleName(labels_->keyCaption(position), record,
                                                labels_->keyFunctionText(record, lookupString), lookupString);
  keys_[position].setAccessibleName(widen(name));
}

void CKeyvaneDlg::refreshKey(int position, KeyRefreshMode mode) {
  if (position < 0 || position >= kKeyCount || !keys_[position].window()) return;
  const int shown = controller_.shownProfile();
  const KeyRecord& record = image_.key(shown < 0 ? 0 : shown, position);
  nameKey(position, record);
  if (mode == KeyRefreshMode::Selected && labels_) {
    control(Control::KeyName).setText(widen(labels_->keyCaption(position)), 0, 0);
    control(Control::KeyFunction).setText(widen(labels_->keyFunctionText(record, lookupString)), 5, 4);
    // Screen readers follow the selection.
    NotifyWinEvent(EVENT_OBJECT_SELECTION, keys_[position].window(), OBJID_CLIENT, CHILDID_SELF);
  }
  // Tab into the keyboard view lands on the selected key.
  keys_[position].setTabCurrent(mode == KeyRefreshMode::Selected);
  // A key whose picture stays the same needs no repaint: a profile switch then redraws only the
  // keys whose look changes.
  if (setKeyLook(position, keyLookFor(mode, record.Kind)) || mode == KeyRefreshMode::Selected)
    RedrawWindow(keys_[position].window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CKeyvaneDlg::clearKeyInfo() {
  control(Control::KeyName).setText(L"", 0, 0);
  control(Control::KeyFunction).setText(L"", 5, 4);
}

void CKeyvaneDlg::setPerKeyButtonsEnabled(bool enabled) {
  for (Control id : kPerKeyButtons) EnableWindow(control(id).window(), enabled ? TRUE : FALSE);
}

void CKeyvaneDlg::setProfileEditingEnabled(bool enabled) {
  EnableWindow(control(Control::Import).window(), enabled);
  EnableWindow(control(Control::Export).window(), enabled);
  EnableWindow(control(Control::ResetProfile).window(), TRUE);
  for (CBitmapBtn2& k : keys_) EnableWindow(k.window(), enabled);
}

void CKeyvaneDlg::setProfileButtonSelected(int button, bool selected) {
  if (button < 0 || button > kLastProfileWithButton) return;
  const Control id = static_cast<Control>(static_cast<int>(Control::Profile0) + button);
  // The selected tab shows its hover picture at rest, like a selected key: the two normal looks
  // trade places.
  if (profileSelected_[button] != selected) {
    control(id).swapNormalImage(profileOtherLook_[button]);
    profileSelected_[button] = selected;
  }
  InvalidateRect(control(id).window(), nullptr, FALSE);
}

void CKeyvaneDlg::clearApplyLook() {
  // Forget hover and press: the pointer may have left while the window was disabled.
  SendMessageW(control(Control::Apply).window(), WM_MOUSELEAVE, 0, 0);
  InvalidateRect(control(Control::Apply).window(), nullptr, FALSE);
}

void CKeyvaneDlg::onDialogCommand(UINT id) {
  // The dialog's own OK and Cancel commands, which have no control, end the window as any
  // dialog's do. Enter and Escape never get here: the key filter keeps them away.
  if (id == IDOK || id == IDCANCEL) end(id);
}

bool CKeyvaneDlg::onKeyboardKey(UINT vk, HWND focus) {
  // The arrow keys move the selection through the keyboard view, by the keys' places.
  keyboard_use::Direction direction;
  switch (vk) {
  case VK_LEFT:
    direction = keyboard_use::Direction::Left;
    break;
  case VK_RIGHT:
    direction = keyboard_use::Direction::Right;
    break;
  case VK_UP:
    direction = keyboard_use::Direction::Up;
    break;
  case VK_DOWN:
    direction = keyboard_use::Direction::Down;
    break;
  default:
    return false;
  }
  int from = -1;
  for (int k = 0; k < kKeyCount; ++k)
    if (focus && keys_[k].window() == focus) from = k;
  if (from < 0) return false;
  const int to = keyMovedTo(layout_, from, direction);
  if (to < 0 || to == from || !IsWindowEnabled(keys_[to].window())) return true;
  controller_.onCommand(Command::KeyButton, to);
  SetFocus(keys_[to].window());
  return true;
}

void CKeyvaneDlg::onCommand(UINT, ControlCommand bound) {
  controller_.onCommand(static_cast<Command>(bound.command), bound.argument);
}

} // namespace q7
