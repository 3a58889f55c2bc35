#include "companions/monitor/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace q7::monitor {

namespace {

HICON profileIcon(int profile, bool paused) {
  constexpr int kSize = 16;
  win32::WindowDc screen(nullptr);
  win32::UniqueDc dc(CreateCompatibleDC(screen.get()));
  win32::UniqueGdi<HBITMAP> colour(CreateCompatibleBitmap(screen.get(), kSize, kSize));
  win32::UniqueGdi<HBITMAP> mask(CreateBitmap(kSize, kSize, 1, 1, nullptr));
  {
    win32::Selection s(dc.get(), colour.get());
    RECT r{0, 0, kSize, kSize};
    win32::UniqueGdi<HBRUSH> face(CreateSolidBrush(paused ? RGB(90, 90, 90) : RGB(24, 28, 36)));
    FillRect(dc.get(), &r, face.get());
    win32::UniqueGdi<HBRUSH> edge(CreateSolidBrush(RGB(0, 200, 230)));
    FrameRect(dc.get(), &r, edge.get());
    wchar_t digit[2] = {profile >= 0 && profile <= 9 ? static_cast<wchar_t>(L'0' + profile) : L'-', 0};
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(255, 255, 255));
    DrawTextW(dc.get(), digit, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  {
    win32::Selection s(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, kSize, kSize, BLACKNESS); // every pixel opaque
  }
  ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
  return CreateIconIndirect(&info);
}

} // namespace

TrayIcon::TrayIcon(HWND window) : window_(window) {}

TrayIcon::~TrayIcon() {
  if (!added_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = 1;
  Shell_NotifyIconW(NIM_DELETE, &data);
}

void TrayIcon::show(int profile, bool paused) {
  win32::UniqueIcon icon(profileIcon(profile, paused));
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = 1;
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = kCallback;
  data.hIcon = icon.get();
  if (profile < 0)
    std::swprintf(data.szTip, std::size(data.szTip), L"Q7 Prismo: no settings");
  else
    std::swprintf(data.szTip, std::size(data.szTip), L"Q7 Prismo: profile %d%ls", profile, paused ? L" (paused)" : L"");
  if (!added_)
    added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  else
    Shell_NotifyIconW(NIM_MODIFY, &data);
  icon_ = std::move(icon);
}

void TrayIcon::balloon(const std::wstring& text) {
  if (!added_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = 1;
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO;
  std::swprintf(data.szInfoTitle, std::size(data.szInfoTitle), L"Q7 Prismo");
  const size_t n = std::min(text.size(), std::size(data.szInfo) - 1); // cut to the field, never past it
  std::wmemcpy(data.szInfo, text.data(), n);
  data.szInfo[n] = 0;
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::openMenu(int profile, bool paused) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (int p = 0; p <= 5; ++p) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), p == 0 ? L"PC mode (profile 0)" : L"Profile %d", p);
    AppendMenuW(menu, MF_STRING | (p == profile ? MF_CHECKED : 0), kProfileCommand + p, text);
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kOpenCommand, L"open configuration");
  AppendMenuW(menu, MF_STRING | (paused ? MF_CHECKED : 0), kPauseCommand, L"pause");
  AppendMenuW(menu, MF_STRING, kQuitCommand, L"quit");
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(window_);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  PostMessageW(window_, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

} // namespace q7::monitor
