#include "ui_support.h"

#include <gdiplus.h>

#include <cstdlib>

#include "platform/win32/handles.h"
#include "ui/reflect.h"
#include "ui/skin.h"

namespace q7::uitest {

bool writeBytes(const std::wstring& path, const std::string& bytes) {
  win32::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool writeBmp(const std::wstring& path, int width, int height, const std::function<COLORREF(int, int)>& colourAt) {
  const int stride = (width * 3 + 3) & ~3;
  const uint32_t imageBytes = static_cast<uint32_t>(stride) * height;
  std::string file(54 + imageBytes, '\0');
  auto put16 = [&](size_t at, uint16_t v) { file[at] = char(v & 0xFF), file[at + 1] = char(v >> 8); };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = char((v >> (8 * i)) & 0xFF);
  };
  file[0] = 'B', file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height)); // bottom-up
  put16(26, 1);
  put16(28, 24);
  put32(34, imageBytes);
  for (int y = 0; y < height; ++y) {
    char* row = file.data() + 54 + static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colourAt(x, y);
      row[3 * x] = char(GetBValue(c)), row[3 * x + 1] = char(GetGValue(c)), row[3 * x + 2] = char(GetRValue(c));
    }
  }
  return writeBytes(path, file);
}

TempSkins::TempSkins() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  const std::wstring base = std::wstring(temp) + L"q7skins" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                            std::to_wstring(++serial) + L"\\";
  CreateDirectoryW(base.c_str(), nullptr);
  skins_ = base + L"Skins\\";
  CreateDirectoryW(skins_.c_str(), nullptr);
  setSkinBaseFolder(base);
}

TempSkins::~TempSkins() { setSkinBaseFolder({}); }

void TempSkins::solid(const std::wstring& name, int width, int height, COLORREF colour) const {
  writeBmp(path(name), width, height, [&](int, int) { return colour; });
}

void TempSkins::mask(const std::wstring& name, int width, int height, const Rect& keep) const {
  writeBmp(path(name), width, height,
           [&](int x, int y) { return keep.contains(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255); });
}

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

TestWindow::TestWindow(const Rect& r, COLORREF colour) : colour_(colour) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"Q7UiTestWindow";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  wnd_ = CreateWindowExW(0, L"Q7UiTestWindow", L"ui test", WS_POPUP | WS_VISIBLE, r.left, r.top, r.width(), r.height(),
                         nullptr, nullptr, GetModuleHandleW(nullptr), this);
  SetForegroundWindow(wnd_);
  SetActiveWindow(wnd_);
  redrawNow(wnd_);
}

TestWindow::~TestWindow() {
  if (wnd_) {
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, 0);
    DestroyWindow(wnd_);
  }
}

LRESULT CALLBACK TestWindow::windowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(wnd, message, wParam, lParam);
  LRESULT reflected = 0;
  if (reflectToChild(message, wParam, lParam, reflected)) return reflected;
  if (message == WM_MEASUREITEM && reflectMeasureToChild(wnd, lParam)) return TRUE;
  switch (message) {
  case WM_COMMAND:
    self->commands.push_back({wParam, lParam});
    return 0;
  case WM_ERASEBKGND: {
    RECT r{};
    GetClientRect(wnd, &r);
    win32::UniqueGdi<HBRUSH> brush(CreateSolidBrush(self->colour_));
    FillRect(reinterpret_cast<HDC>(wParam), &r, brush.get());
    return 1;
  }
  default:
    if (message >= WM_USER && self->onMessage) {
      self->onMessage(message, wParam, lParam);
      return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
  }
}

namespace {
std::vector<MSG> g_dispatched;
}

int dispatchedCount(UINT message, HWND wnd) {
  int n = 0;
  for (const MSG& m : g_dispatched)
    if (m.message == message && m.hwnd == wnd) ++n;
  return n;
}

void pumpPending() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) g_dispatched.push_back(m);
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

bool pumpUntil(const std::function<bool()>& done, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    pumpPending();
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

COLORREF pixel(HWND wnd, int x, int y) {
  win32::WindowDc dc(wnd);
  return GetPixel(dc.get(), x, y);
}

COLORREF screenPixel(POINT at) {
  win32::WindowDc dc(nullptr);
  return GetPixel(dc.get(), at.x, at.y);
}

void redrawNow(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int countPixels(HWND wnd, const Rect& area, const std::function<bool(COLORREF)>& accept) {
  win32::WindowDc dc(wnd);
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (accept(GetPixel(dc.get(), x, y))) ++n;
  return n;
}

Rect boundsOfPixels(HWND wnd, const Rect& area, const std::function<bool(COLORREF)>& accept) {
  win32::WindowDc dc(wnd);
  Rect b{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (accept(GetPixel(dc.get(), x, y))) {
        b.left = std::min(b.left, x), b.top = std::min(b.top, y);
        b.right = std::max(b.right, x + 1), b.bottom = std::max(b.bottom, y + 1);
      }
  return b.empty() ? Rect{} : b;
}

bool similar(COLORREF a, COLORREF b, int tolerance) {
  if (a == CLR_INVALID || b == CLR_INVALID) return false;
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

void mouseMoveTo(int x, int y) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(x, 65535, w - 1);
  in.mi.dy = MulDiv(y, 65535, h - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void mouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

POINT screenPoint(HWND wnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(wnd, &p);
  return p;
}

Rect childRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right, r.bottom};
}

std::wstring windowText(HWND wnd) {
  wchar_t text[256] = {};
  GetWindowTextW(wnd, text, 256);
  return text;
}

} // namespace q7::uitest
