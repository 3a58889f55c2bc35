#include "app/main_window.h"

#include <commdlg.h>
#include <gdiplus.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/about_dialog.h"
#include "app/about_layout.h"
#include "keys/linked_programs_layout.h"
#include "keys/single_key_dialog_layout.h"
#include "lighting/colour_editor_layout.h"
#include "ui/picture_cache.h"
#include "app/warning_dialog.h"
#include "macro/macro_set_dlg.h"
#include "keys/single_key_dlg.h"
#include "keys/sync_key_dialog.h"
#include "lighting/whole_keyboard.h"
#include "ui/reflect.h"
#include "app/resource.h"
#include "platform/win32/file_dialog.h"
#include "app/start_trace.h"
#include "platform/win32/shell.h"
#include "monitor/messages.h"
#include "settings/settings_image.h"
#include "text/string_lookup.h"

namespace q7 {

namespace {
constexpr UINT_PTR kAckTimer = 1;
// Posted by the thread that reads the profiles other than the current one when it is done.
constexpr UINT kOtherProfilesRead = WM_APP + 1;
constexpr float kPercentPixels = 12.0f; // the percentage's font: 9 points at 96 DPI
} // namespace

CKeyvaneDlg::CKeyvaneDlg(HINSTANCE instance, SettingsImage& image)
    : SkinnedDialog(nullptr,
                    {.placement = Placement::Self, .filterKeyUps = true, .resource = IDD_MAIN, .focusSelf = false}),
      instance_(instance), image_(image) {}

CKeyvaneDlg::~CKeyvaneDlg() = default;

bool CKeyvaneDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
  case WM_SYSCOMMAND:
    onSysCommand(wParam, lParam);
    result = TRUE;
    return true;
  case WM_QUERYDRAGICON:
    result = reinterpret_cast<INT_PTR>(icon_.get());
    return true;
  case WM_LBUTTONDOWN:
    onLButtonDown(lParam);
    result = TRUE;
    return true;
  case WM_MOUSEMOVE:
    SetActiveWindow(wnd_);
    return false;
  case WM_ACTIVATEAPP:
    controller_.onActivateApp();
    return false;
  case kOtherProfilesRead:
    start_trace::mark("other");
    controller_.onOtherProfilesRead();
    result = TRUE;
    return true;
  case WM_TIMER:
    if (wParam == kAckTimer) {
      KillTimer(wnd_, kAckTimer);
      controller_.onAcknowledgementOverdue();
    }
    result = TRUE;
    return true;
  default:
    result = TRUE;
    return onOutsideMessage(message, wParam, lParam);
  }
}

void CKeyvaneDlg::onCreate() {
  start_trace::mark("window");
  win32::openWithShell(win32::programFolder() + L"HID.exe");
  // The monitor gets 500 ms to come up before anything is asked of it. The window builds its
  // pictures, controls and keys meanwhile: none of that needs the monitor, and the window is not
  // shown before this returns.
  const ULONGLONG monitorReady = GetTickCount64() + 500;

  wchar_t self[MAX_PATH], drive[_MAX_DRIVE], dir[_MAX_DIR], strings[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (_wsplitpath_s(self, drive, _MAX_DRIVE, dir, _MAX_DIR, nullptr, 0, nullptr, 0) == 0 &&
      _wmakepath_s(strings, MAX_PATH, drive, dir, L"Strings", L"xml") == 0)
    setStringFilePath(win32::u16(strings));

  createControls();
  if (const ULONGLONG now = GetTickCount64(); now < monitorReady) Sleep(static_cast<DWORD>(monitorReady - now));
  start_trace::mark("monitor-wait");
}

void CKeyvaneDlg::onInit() {

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

  start_trace::mark("init");
  controller_.readOtherProfilesInBackground([wnd = wnd_] { PostMessageW(wnd, kOtherProfilesRead, 0, 0); });
  if (!controller_.initialise(reinterpret_cast<WindowHandle>(wnd_))) ExitProcess(0); // no monitor: end, write nothing
  start_trace::mark("settings");
}

void CKeyvaneDlg::onSysCommand(WPARAM wParam, LPARAM lParam) {
  if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
    controller_.onAbout();
    return;
  }
  // Alt+F4, the taskbar's and the system menu's Close ask about unsaved edits as the close button
  // does; WM_CLOSE itself stays the program's own silent close.
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    controller_.onSystemClose();
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
    controller_.onOpenMacroEditor();
    return true;
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
    if (background) {
      // The picture normally has the window's size and is copied as it is; another size is
      // stretched over the window.
      win32::UniqueDc from(CreateCompatibleDC(dc));
      win32::Selection select(from.get(), background.get());
      if (background.width() == rc.right && background.height() == rc.bottom) {
        BitBlt(dc, 0, 0, rc.right, rc.bottom, from.get(), 0, 0, SRCCOPY);
      } else {
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, rc.right, rc.bottom, from.get(), 0, 0, background.width(), background.height(), SRCCOPY);
      }
    } else {
      // Without a skin picture the window keeps a plain dark face.
      paintSkinFace(dc, SkinBitmap(), rc.right, rc.bottom);
    }

    const ProgressRing ring = progressRing(image_.currentProfile().FuncKey);
    const main_window::ProgressRing& at = main_window::kProgressRing;
    Gdiplus::Pen pen(Gdiplus::Color(at.argb), scale_.px(at.penWidth));
    const Rect arc = scale_.rect(at.arcBox);
    if (ring.sweepDegrees > 0)
      g.DrawArc(&pen, arc.left, arc.top, arc.width(), arc.height(), 270.0f,
                static_cast<Gdiplus::REAL>(ring.sweepDegrees));
    if (auto family = sansSerifFamily()) {
      // Nine points at 96 DPI, in pixels so that the window's scale decides and not the device's.
      Gdiplus::Font font(family.get(), scale_.px(kPercentPixels), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
      Gdiplus::StringFormat format;
      format.SetAlignment(Gdiplus::StringAlignmentCenter);
      format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
      Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
      const std::wstring text = std::to_wstring(ring.percent) + L"%";
      const Rect box = scale_.rect(at.percentBox);
      g.DrawString(text.c_str(), -1, &font,
                   Gdiplus::RectF(static_cast<Gdiplus::REAL>(box.left), static_cast<Gdiplus::REAL>(box.top),
                                  static_cast<Gdiplus::REAL>(box.width()), static_cast<Gdiplus::REAL>(box.height())),
                   &format, &white);
    }
  }
  ReleaseDC(wnd_, dc);
  ValidateRect(wnd_, nullptr);
  start_trace::mark("first-paint");
  start_trace::finish();
  controller_.startReadingOtherProfiles(); // once; the window is up
  if (!prefetched_) {
    // The dialogs' pictures are decoded in idle time from now on, so that each opens at once.
    prefetched_ = true;
    prefetchFamilies({&kDefaultSkins, &kWarningSkins, &kWarning1Skins, &single_key_dialog::kAssignSkin,
                      &linked_programs::kSkin, &colour_editor::kSkins, &about_window::kSkins},
                     scale_);
  }
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
  return dialog.runModal();
}

std::optional<uint8_t> CKeyvaneDlg::chooseSingleKey(uint8_t ownKey) {
  CSinglekeyDlg dialog(wnd_, ownKey, single_key_dialog::Mode::Assign);
  if (dialog.runModal() != kResultYes) return std::nullopt;
  return dialog.capturedKey();
}

void CKeyvaneDlg::postToSelf(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  PostMessageW(wnd_, message, wParam, lParam);
}

// The editor's questions are kinds of the warning dialog.
static_assert(static_cast<int>(EditorWarning::DelayWarn) == static_cast<int>(Warning::DelayWarn));
static_assert(static_cast<int>(EditorWarning::MaxWarn) == static_cast<int>(Warning::MaxWarn));
static_assert(static_cast<int>(EditorWarning::LeaveEditor) == static_cast<int>(Warning::LeaveEditor));

int CKeyvaneDlg::editMacro(KeyRecord& record, bool loaded) {
  CMacroSetDlg editor(wnd_, record, loaded, [](HWND owner, int kind) {
    CWarningDlg question(owner, kind);
    return question.runModal();
  });
  struct Running {
    CMacroSetDlg*& slot;
    ~Running() { slot = nullptr; }
  } running{macroEditor_ = &editor};
  const int result = editor.runModal();
  record = editor.record();
  return result;
}

void CKeyvaneDlg::bringMacroEditorForward() {
  if (HWND editor = macroEditor_ ? macroEditor_->window() : nullptr) {
    SetForegroundWindow(editor);
    BringWindowToTop(editor);
  }
}

std::optional<std::u16string> CKeyvaneDlg::chooseProgram() {
  wchar_t folder[MAX_PATH] = {};
  ExpandEnvironmentStringsW(L"%ProgramFiles%", folder, MAX_PATH);
  return win32::fileDialog(wnd_, false, L"Execute File(*.exe)\0*.exe\0", L"exe", folder,
                           OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
}

std::optional<std::u16string> CKeyvaneDlg::chooseProfileFile(bool forSaving) {
  wchar_t documents[MAX_PATH] = {};
  SHGetSpecialFolderPathW(wnd_, documents, CSIDL_PERSONAL, FALSE);
  const DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | (forSaving ? 0 : OFN_FILEMUSTEXIST);
  return win32::fileDialog(wnd_, forSaving, L"Profile File(*.prof)\0*.prof\0", L"prof", documents, flags);
}

namespace {
// Tells the user of a failure in the system's own text for code (fallback where it has none).
void showSystemError(HWND owner, DWORD code, const wchar_t* fallback) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  MessageBoxW(owner, text ? text : fallback, nullptr, MB_OK | MB_ICONEXCLAMATION);
  if (text) LocalFree(text);
}
} // namespace

void CKeyvaneDlg::showFileError() {
  // The error that ended the transfer.
  showSystemError(wnd_, GetLastError(), L"The file could not be read or written.");
}

void CKeyvaneDlg::showSaveError(uint32_t code) { showSystemError(wnd_, code, L"The settings could not be stored."); }

bool CKeyvaneDlg::editLinkedPrograms(int profile, LinkSlots& slots) {
  CSyncKeyDlg dialog(wnd_, profile, slots);
  if (dialog.runModal() != kResultYes) return false;
  slots = dialog.slots();
  return true;
}

void CKeyvaneDlg::runColourEditor() {
  CWholeKeyboard editor(wnd_, image_, registry_);
  struct Running {
    CWholeKeyboard*& slot;
    ~Running() { slot = nullptr; }
  } running{colourEditor_ = &editor};
  editor.runModal();
}

void CKeyvaneDlg::showWaitCursor(bool on) { SetCursor(LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW)); }

void CKeyvaneDlg::profileSwitched() {
  if (colourEditor_) colourEditor_->followProfile();
}

void CKeyvaneDlg::showPathTooLong() {
  // Another string file may lack the text: the program still says what happened.
  std::u16string text = lookupString(u"WARNING", u"PATHLONG");
  if (text.empty())
    text = u"The path of this program is longer than 130 characters, even in its short form. Move the program to "
           u"a shorter folder and choose it again.";
  const std::u16string title = lookupString(u"WARNING", u"WARNING");
  MessageBoxW(wnd_, win32::wide(text.c_str()), title.empty() ? nullptr : win32::wide(title.c_str()),
              MB_OK | MB_ICONEXCLAMATION);
}

void CKeyvaneDlg::showAbout() {
  CAboutDlg about(wnd_);
  about.runModal();
}

void CKeyvaneDlg::openUrl(std::u16string_view url) { win32::openWithShell(url); }

void CKeyvaneDlg::openHelp() { win32::openWithShell(win32::programFolder() + L"Help\\index.html", SW_SHOW); }

} // namespace q7
