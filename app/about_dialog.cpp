#include "app/about_dialog.h"

#include "app/about_layout.h"
#include "app/main_commands.h"
#include "text/access_text.h"
#include "ui/skin_family.h"

namespace q7 {

namespace {
using about_window::kSkins;
enum class AboutCommand { Home, Support, Close };
} // namespace

CAboutDlg::CAboutDlg(HWND owner, Lookup lookup, Opener open)
    : SkinnedDialog(owner, {.placement = Placement::OwnerCentre, .keepEnterEscape = false}),
      lookup_(lookup ? lookup : lookupString), open_(open ? open : static_cast<Opener>(win32::openWithShell)) {}

void CAboutDlg::onCreate() {
  loadSkins(kSkins);
  // Always the layout's size, so the buttons stay where the pictures draw them.
  size_ = scale_.size(about_window::kSize);
  // The three buttons are parts of the picture; their names say what they do.
  for (auto [button, r, command, name] :
       {std::tuple{&home_, about_window::kHomePage, AboutCommand::Home, &access_text::kWebHome},
        std::tuple{&support_, about_window::kSupport, AboutCommand::Support, &access_text::kSupport},
        std::tuple{&close_, about_window::kClose, AboutCommand::Close, &access_text::kClose}})
    if (makeButton(*button, r)) {
      bindCommand(*button, command);
      button->setAccessibleName(win32::widen(accessText(*name, lookup_)));
    }
}

void CAboutDlg::onScaleChanged() {
  SkinnedDialog::onScaleChanged();
  size_ = scale_.size(about_window::kSize);
}

void CAboutDlg::onInit() {
  const std::u16string title = lookup_(u"ABOUT", u"TITLE");
  SetWindowTextW(wnd_, win32::wide(title.c_str()));
}

void CAboutDlg::onCommand(UINT, ControlCommand bound) {
  switch (static_cast<AboutCommand>(bound.command)) {
  case AboutCommand::Close:
    end(kResultYes);
    break;
  case AboutCommand::Home:
    open_(kWebHome);
    break;
  case AboutCommand::Support:
    open_(kWebSupport);
    break;
  }
}

bool CAboutDlg::onMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) {
  if (message != WM_LBUTTONDOWN) return false;
  // The body is the handle to move the window by.
  dialog::dragWindow(wnd_);
  result = TRUE;
  return true;
}

void CAboutDlg::paintTexts(HDC dc) {
  // The texts are looked up on every paint, so they follow the string file as it is now.
  drawText(dc, lookup_(u"ABOUT", u"TITLE"), about_window::kTitleText, about_window::kTitleStyle, DT_CENTER);
  drawText(dc, lookup_(u"ABOUT", u"COMPANY"), about_window::kCompanyText, about_window::kCompanyStyle, DT_CENTER);
}

} // namespace q7
