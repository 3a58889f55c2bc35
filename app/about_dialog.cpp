#include "app/about_dialog.h"

#include <shellapi.h>

#include "app/about_layout.h"
#include "app/main_commands.h"
#include "platform/win32/handles.h"
#include "ui/fonts.h"
#include "ui/reflect.h"
#include "ui/region.h"

namespace q7 {

namespace {

std::wstring widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

} // namespace

void CAboutDlg::openWithShell(std::u16string_view url) {
  const std::wstring u(url.begin(), url.end());
  ShellExecuteW(nullptr, L"open", u.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

CAboutDlg::CAboutDlg(HWND owner, Lookup lookup, Opener open)
    : owner_(owner), lookup_(lookup ? lookup : lookupString), open_(open ? open : openWithShell) {}

void CAboutDlg::runModal() {
  EmptyDialogTemplate tpl{};
  tpl.header.style = WS_POPUP | WS_SYSMENU;
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &tpl.header, owner_, dialogProcOf<CAboutDlg>,
                          reinterpret_cast<LPARAM>(this));
  wnd_ = nullptr;
}

INT_PTR CAboutDlg::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    // A dialog procedure sees no WM_CREATE: the creation steps run first, then initialisation.
    onCreate();
    onInitDialog();
    return FALSE; // the focus is set already
  case WM_DRAWITEM: {
    LRESULT result = 0;
    return reflectToChild(message, wParam, lParam, result) ? TRUE : FALSE;
  }
  case WM_COMMAND:
    onCommand(lParam);
    return TRUE;
  case WM_CLOSE:
    EndDialog(wnd_, 1);
    return TRUE;
  case WM_LBUTTONDOWN:
    // The body is the handle to move the window by.
    ReleaseCapture();
    SendMessageW(wnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return TRUE;
  case WM_ERASEBKGND:
    return TRUE; // the paint covers the whole window
  case WM_PAINT:
    onPaint();
    return TRUE;
  default:
    return FALSE;
  }
}

void CAboutDlg::onCreate() {
  normal_ = loadSkinBitmap(skinFile(widen(about_window::kNormalImage)));
  over_ = loadSkinBitmap(skinFile(widen(about_window::kOverImage)));
  down_ = loadSkinBitmap(skinFile(widen(about_window::kDownImage)));
  mask_ = loadSkinBitmap(skinFile(widen(about_window::kWindowMask)));

  for (auto [button, r] : {std::pair{&home_, about_window::kHomePage}, std::pair{&support_, about_window::kSupport},
                           std::pair{&close_, about_window::kClose}}) {
    if (!button->create(wnd_, r)) continue;
    button->setImages(r.left, r.top, r.right, r.bottom, normal_, over_, down_, normal_);
  }
  // Without a mask (or with one that gives no region) the window stays rectangular.
  if (win32::UniqueGdi<HRGN> region = regionFromMask(mask_, kMaskKeyColour))
    if (SetWindowRgn(wnd_, region.get(), TRUE)) region.release();
}

void CAboutDlg::onInitDialog() {
  // Centred on the owner (on the screen's work area without one), always the layout's size so the
  // buttons stay where the pictures draw them.
  const int w = about_window::kSize.width, h = about_window::kSize.height;
  RECT over{};
  if (!owner_ || !GetWindowRect(owner_, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
  const std::u16string title = lookup_(u"ABOUT", u"TITLE");
  SetWindowTextW(wnd_, win32::wide(title.c_str()));
  MoveWindow(wnd_, (over.left + over.right - w) / 2, (over.top + over.bottom - h) / 2, w, h, TRUE);
  ShowWindow(wnd_, SW_SHOW);
  SetFocus(wnd_);
}

void CAboutDlg::onCommand(LPARAM lParam) {
  HWND from = reinterpret_cast<HWND>(lParam);
  // No control: Enter, Escape or the system menu's close.
  if (!from || from == close_.window())
    EndDialog(wnd_, 1);
  else if (from == home_.window())
    open_(kWebHome);
  else if (from == support_.window())
    open_(kWebSupport);
}

void CAboutDlg::onPaint() {
  win32::PaintScope paint(wnd_);
  RECT client{};
  GetClientRect(wnd_, &client);
  const int w = client.right, h = client.bottom;
  // Drawn off-screen and copied in one step.
  win32::UniqueDc canvasDc(CreateCompatibleDC(paint.dc()));
  win32::UniqueGdi<HBITMAP> canvas(CreateCompatibleBitmap(paint.dc(), w, h));
  if (!canvasDc || !canvas) return;
  win32::Selection onCanvas(canvasDc.get(), canvas.get());
  HDC dc = canvasDc.get();

  paintSkinFace(dc, normal_, w, h);

  // The texts are looked up on every paint, so they follow the string file as it is now.
  SetBkMode(dc, TRANSPARENT);
  const struct {
    const char16_t* key;
    const Rect& rect;
    const about_window::TextStyle& style;
  } lines[] = {{u"TITLE", about_window::kTitleText, about_window::kTitleStyle},
               {u"COMPANY", about_window::kCompanyText, about_window::kCompanyStyle}};
  for (const auto& line : lines) {
    const std::u16string text = lookup_(u"ABOUT", line.key);
    if (text.empty()) continue;
    win32::UniqueGdi<HFONT> font = createSkinFont(widen(line.style.face), line.style.height, line.style.weight);
    win32::Selection withFont(dc, font.get());
    SetTextColor(dc, line.style.colour);
    RECT r{line.rect.left, line.rect.top, line.rect.right, line.rect.bottom};
    DrawTextW(dc, win32::wide(text.c_str()), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  BitBlt(paint.dc(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

} // namespace q7
