#include "app/main_window.h"

#include <commdlg.h>
#include <gdiplus.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/about_dialog.h"
#include "app/warning_dialog.h"
#include "ui/reflect.h"
#include "app/resource.h"
#include "monitor/messages.h"
#include "ui/dialog_proc.h"
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
  const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), nullptr, dialogProcOf<CKeyvaneDlg>,
                                         reinterpret_cast<LPARAM>(this));
  keyFilterHook_.reset();
  active_ = nullptr;
  return result;
}

LRESULT CALLBACK CKeyvaneDlg::keyFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && active_ &&
      isEnterOrEscapeFor(active_->wnd_, *reinterpret_cast<const MSG*>(lParam), true))
    return TRUE;
  return CallNextHookEx(nullptr, code, wParam, lParam);
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
    onCommand(wParam, lParam);
    return TRUE;
  case WM_DRAWITEM:
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORSTATIC: {
    LRESULT result = 0;
    if (!reflectToChild(message, wParam, lParam, result)) return FALSE;
    if (message == WM_DRAWITEM) return TRUE;
    return static_cast<INT_PTR>(result);
  }
  case WM_ACTIVATEAPP:
    controller_.onActivateApp();
    return FALSE;
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

  createControls();
}

BOOL CKeyvaneDlg::onInitDialog() {

  if (HMENU menu = GetSystemMenu(wnd_, FALSE)) {
    wchar_t about[128] = {};
    if (LoadStringW(instance_, IDS_ABOUTBOX, about, 128) > 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about);
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
  if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about(wnd_);
    about.runModal();
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
    if (wParam == msg::kReleaseParam) KillTimer(wnd_, kAckTimer);
    controller_.onRelease(wParam);
    return true;
  case msg::kMacroStored:
    if (wParam == msg::kReleaseParam) KillTimer(wnd_, kAckTimer);
    controller_.onMacroMessage(wParam);
    return true;
  case msg::kSwitchProfile:
    controller_.onSwitchRequest(wParam, lParam);
    return true;
  case msg::kDeviceNotice:
    controller_.onDeviceNotice();
    return true;
  case msg::kKeyCommand:
    controller_.onKeyCommand(lParam);
    return true;
  case msg::kOpenMacroEditor:
    return true; // the macro editor opens here once it exists
  default:
    return false;
  }
}

namespace {

// The generic sans-serif family, or any installed family where the system has none (a fresh Wine
// prefix has no fonts behind the generic names).
std::unique_ptr<Gdiplus::FontFamily> sansSerifFamily() {
  if (const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif(); generic && generic->IsAvailable())
    return std::unique_ptr<Gdiplus::FontFamily>(generic->Clone());
  Gdiplus::InstalledFontCollection installed;
  if (installed.GetFamilyCount() <= 0) return nullptr;
  auto family = std::make_unique<Gdiplus::FontFamily>();
  int found = 0;
  installed.GetFamilies(1, family.get(), &found);
  return found == 1 ? std::move(family) : nullptr;
}

} // namespace

void CKeyvaneDlg::onPaint() {
  if (IsIconic(wnd_)) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd_, &ps);
    RECT rc;
    GetClientRect(wnd_, &rc);
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, icon_.get());
    EndPaint(wnd_, &ps);
    return;
  }
  // The whole window is drawn every time, whatever the update region.
  RECT rc;
  GetClientRect(wnd_, &rc);
  HDC dc = GetDC(wnd_);
  {
    Gdiplus::Graphics g(dc);
    const SkinBitmap& background = keyImages_[static_cast<int>(KeyImage::Normal)];
    if (background && background.width() == rc.right && background.height() == rc.bottom) {
      // The picture has the window's size: a plain copy of its device bitmap shows the same
      // pixels as the graphics library's stretched drawing, many times faster.
      win32::UniqueDc from(CreateCompatibleDC(dc));
      win32::Selection select(from.get(), background.get());
      BitBlt(dc, 0, 0, rc.right, rc.bottom, from.get(), 0, 0, SRCCOPY);
    } else if (normal_) {
      g.DrawImage(normal_.get(), 0, 0, rc.right, rc.bottom);
    } else {
      // Without a skin picture the window keeps a plain dark face.
      Gdiplus::SolidBrush face(Gdiplus::Color(255, 0x1B, 0x1F, 0x27));
      g.FillRectangle(&face, 0, 0, rc.right, rc.bottom);
    }

    const ProgressRing ring = progressRing(currentProfile().FuncKey);
    Gdiplus::Pen pen(Gdiplus::Color(0xFF, 0x4C, 0x14, 0x79), 12.5f);
    if (ring.sweepDegrees > 0) g.DrawArc(&pen, 95, 368, 43, 43, 270.0f, static_cast<Gdiplus::REAL>(ring.sweepDegrees));
    if (auto family = sansSerifFamily()) {
      Gdiplus::Font font(family.get(), 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
      Gdiplus::StringFormat format;
      format.SetAlignment(Gdiplus::StringAlignmentCenter);
      format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
      Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
      const std::wstring text = std::to_wstring(ring.percent) + L"%";
      g.DrawString(text.c_str(), -1, &font, Gdiplus::RectF(103, 382, 30, 14), &format, &white);
    }
  }
  ReleaseDC(wnd_, dc);
  ValidateRect(wnd_, nullptr);
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

void CKeyvaneDlg::minimiseWindow() { SendMessageW(wnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0); }

int CKeyvaneDlg::ask(Warning kind) {
  CWarningDlg dialog(wnd_, static_cast<int>(kind));
  return dialog.runModal() == kAnswerYes ? kAnswerYes : kAnswerNo;
}

namespace {

std::optional<std::u16string> fileDialog(HWND owner, bool save, const wchar_t* filter, const wchar_t* ext,
                                         const wchar_t* folder, DWORD flags) {
  wchar_t file[MAX_PATH] = {};
  std::wstring initial = std::wstring(L"*.") + ext;
  initial.copy(file, MAX_PATH - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder;
  ofn.lpstrDefExt = ext;
  ofn.Flags = flags | OFN_EXPLORER;
  const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return std::u16string(win32::u16(file));
}

} // namespace

std::optional<std::u16string> CKeyvaneDlg::chooseProgram() {
  wchar_t folder[MAX_PATH] = {};
  ExpandEnvironmentStringsW(L"%ProgramFiles%", folder, MAX_PATH);
  return fileDialog(wnd_, false, L"Execute File(*.exe)\0*.exe\0", L"exe", folder,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
}

std::optional<std::u16string> CKeyvaneDlg::chooseProfileFile(bool forSaving) {
  wchar_t documents[MAX_PATH] = {};
  SHGetSpecialFolderPathW(wnd_, documents, CSIDL_PERSONAL, FALSE);
  const DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | (forSaving ? 0 : OFN_FILEMUSTEXIST);
  return fileDialog(wnd_, forSaving, L"Profile File(*.prof)\0*.prof\0", L"prof", documents, flags);
}

void CKeyvaneDlg::showFileError() {
  // The system's own text for the error that ended the transfer.
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  MessageBoxW(wnd_, text ? text : L"The file could not be read or written.", nullptr, MB_OK | MB_ICONEXCLAMATION);
  if (text) LocalFree(text);
}

void CKeyvaneDlg::openUrl(std::u16string_view url) {
  const std::wstring u(url.begin(), url.end());
  ShellExecuteW(nullptr, L"open", u.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CKeyvaneDlg::openHelp() {
  std::wstring folder = programFolder();
  if (!folder.empty()) folder.pop_back();
  const std::wstring help = folder + L"\\Help\\index.html";
  ShellExecuteW(nullptr, L"open", help.c_str(), nullptr, nullptr, SW_SHOW);
}

} // namespace q7
