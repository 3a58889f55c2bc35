#include "app/main_window.h"

#include <cstdlib>

#include "app/about_dialog.h"
#include "app/resource.h"
#include "app/window_messages.h"
#include "settings/settings_image.h"
#include "text/string_lookup.h"

namespace q7 {

namespace {
constexpr UINT_PTR kAckTimer = 1;
}

CKeyvaneDlg* CKeyvaneDlg::active_ = nullptr;

std::wstring programFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  const size_t slash = p.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash + 1);
}

CKeyvaneDlg::CKeyvaneDlg(HINSTANCE instance) : instance_(instance) {}

CKeyvaneDlg::~CKeyvaneDlg() {
  if (active_ == this) active_ = nullptr;
}

INT_PTR CKeyvaneDlg::runModal() {
  active_ = this;
  // Enter and Escape must never reach the dialog manager, which would turn them into OK/Cancel.
  keyFilterHook_.reset(SetWindowsHookExW(WH_MSGFILTER, keyFilter, nullptr, GetCurrentThreadId()));
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), nullptr, dialogProc,
                                         reinterpret_cast<LPARAM>(this));
  keyFilterHook_.reset();
  active_ = nullptr;
  return result;
}

LRESULT CALLBACK CKeyvaneDlg::keyFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && active_ && active_->wnd_) {
    const MSG* m = reinterpret_cast<const MSG*>(lParam);
    if ((m->message == WM_KEYDOWN || m->message == WM_KEYUP) && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE) &&
        (m->hwnd == active_->wnd_ || IsChild(active_->wnd_, m->hwnd)))
      return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK CKeyvaneDlg::dialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CKeyvaneDlg* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CKeyvaneDlg*>(lParam);
    self->wnd_ = wnd;
    SetWindowLongPtrW(wnd, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<CKeyvaneDlg*>(GetWindowLongPtrW(wnd, DWLP_USER));
  }
  if (!self || self->wnd_ != wnd) return FALSE;
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    return FALSE; // nothing crosses into the system's code
  }
}

INT_PTR CKeyvaneDlg::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG:
    // A dialog procedure sees no WM_CREATE: the creation steps run first, then initialisation.
    onCreate();
    return onInitDialog();
  case WM_SYSCOMMAND:
    onSysCommand(wParam, lParam);
    return TRUE;
  case WM_QUERYDRAGICON:
    return reinterpret_cast<INT_PTR>(icon_.get());
  case WM_LBUTTONDOWN:
    onLButtonDown(lParam);
    return TRUE;
  case WM_MOUSEMOVE:
    SetActiveWindow(wnd_);
    return FALSE;
  case WM_COMMAND:
    // Enter and Escape arrive as IDOK / IDCANCEL with no control: they never close the window.
    return TRUE;
  case WM_TIMER:
    if (wParam == kAckTimer) {
      KillTimer(wnd_, kAckTimer);
      controller_.onAcknowledgementOverdue();
    }
    return TRUE;
  case WM_ERASEBKGND:
    return TRUE; // the paint covers the whole window
  case WM_PAINT:
    onPaint();
    return TRUE;
  case WM_CLOSE:
    EndDialog(wnd_, IDOK);
    return TRUE;
  case WM_DESTROY:
    onDestroy();
    return FALSE;
  default:
    return onOutsideMessage(message, wParam, lParam) ? TRUE : FALSE;
  }
}

void CKeyvaneDlg::onCreate() {
  const std::wstring folder = programFolder();
  const std::wstring monitor = folder + L"HID.exe";
  ShellExecuteW(nullptr, L"open", monitor.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  Sleep(500);

  wchar_t self[MAX_PATH], drive[_MAX_DRIVE], dir[_MAX_DIR], strings[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (_wsplitpath_s(self, drive, _MAX_DRIVE, dir, _MAX_DIR, nullptr, 0, nullptr, 0) == 0 &&
      _wmakepath_s(strings, MAX_PATH, drive, dir, L"Strings", L"xml") == 0)
    setStringFilePath(win32::u16(strings));

  // Control creation: the language code is read here.
  languageCode_ = lookupString(u"MAIN", u"LANG");
}

BOOL CKeyvaneDlg::onInitDialog() {
  layout_ = keyLayoutFor(languageCode_);

  if (HMENU menu = GetSystemMenu(wnd_, FALSE)) {
    wchar_t about[128] = {};
    if (LoadStringW(instance_, IDS_ABOUTBOX, about, 128) > 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(menu, MF_STRING, msg::kAboutCommand, about);
    }
  }

  icon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  SendMessageW(wnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
  SendMessageW(wnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));

  const std::u16string title = lookupString(u"MAIN", u"NAME");
  SetWindowTextW(wnd_, win32::wide(title.c_str()));

  if (!controller_.initialise(reinterpret_cast<WindowHandle>(wnd_))) ExitProcess(0); // no monitor: end, write nothing
  return TRUE;
}

void CKeyvaneDlg::onSysCommand(WPARAM wParam, LPARAM lParam) {
  if ((wParam & 0xFFF0) == msg::kAboutCommand) {
    CAboutDlg about(instance_);
    about.runModal(wnd_);
    return;
  }
  DefWindowProcW(wnd_, WM_SYSCOMMAND, wParam, lParam);
}

void CKeyvaneDlg::onLButtonDown(LPARAM lParam) {
  controller_.deselectKey();
  POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ClientToScreen(wnd_, &pt);
  // Drag the window by any point of its background.
  PostMessageW(wnd_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
}

bool CKeyvaneDlg::onOutsideMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case msg::kEndProcess:
    ExitProcess(0); // at once: no save, no destruction steps
  case msg::kSaveAcknowledged:
    KillTimer(wnd_, kAckTimer);
    controller_.onSaveAcknowledged();
    return true;
  case msg::kRelease:
  case msg::kMacroStored:
    if (wParam == msg::kReleaseParam) KillTimer(wnd_, kAckTimer);
    controller_.onRelease(wParam);
    return true;
  case msg::kSwitchProfile: {
    // Indexes outside 0 ... 8 are ignored entirely.
    const uintptr_t p = wParam == 6 ? 0 : wParam;
    if (p < static_cast<uintptr_t>(kProfileCount)) {
      controller_.switchProfile(static_cast<int>(p), static_cast<uint32_t>(lParam) != msg::kNoEcho);
      controller_.setEditFlag(false);
    }
    return true;
  }
  default:
    (void)lParam;
    return false;
  }
}

void CKeyvaneDlg::onPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd_, &ps);
  // Without a skin picture the window keeps a plain dark face.
  win32::UniqueGdi<HBRUSH> face(CreateSolidBrush(RGB(0x1B, 0x1F, 0x27)));
  FillRect(dc, &ps.rcPaint, face.get());
  EndPaint(wnd_, &ps);
}

void CKeyvaneDlg::onDestroy() {
  KillTimer(wnd_, kAckTimer);
  monitor_.announceGone();
}

void CKeyvaneDlg::setMainWindowEnabled(bool enabled) { EnableWindow(wnd_, enabled ? TRUE : FALSE); }

void CKeyvaneDlg::awaitSaveAcknowledgement() { SetTimer(wnd_, kAckTimer, kAcknowledgementWaitMs, nullptr); }

void CKeyvaneDlg::repaintMainWindow() {
  if (wnd_) InvalidateRect(wnd_, nullptr, FALSE);
}

void CKeyvaneDlg::closeWindow() { PostMessageW(wnd_, WM_CLOSE, 0, 0); }

void CKeyvaneDlg::activateWindow() { SetActiveWindow(wnd_); }

void CKeyvaneDlg::showSelectedKeyNormal(int) {}

void CKeyvaneDlg::showProfile(int) {}

} // namespace q7
