// Takes the pictures of the README and the help page from the real program: starts the program of
// a folder, saves its main window, and with --dialogs opens every window a user meets from it and
// saves each. Pictures are 24-bit BMP files (the run script turns them into small PNG files).
//   q7shots.exe FOLDER OUTPUT-PREFIX [--dialogs]
// writes OUTPUT-PREFIX-main.bmp and, with --dialogs, OUTPUT-PREFIX-<window>.bmp; prints each name.
#include "app/keyboard_layout_tables.h"
#include "keys/key_layout.h"
#include "app/main_window_layout.h"
#include "app/resource.h"
#include "tests/e2e/driver.h"
#include "text/string_lookup.h"

#include <cstdio>
#include <string>
#include <vector>

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;

// Writes what the screen shows of a window, within its shape, as a bottom-up 24-bit BMP file.
bool saveWindow(HWND wnd, const std::wstring& path) {
  RECT r, shape;
  if (!GetWindowRect(wnd, &r)) return false;
  const int kind = GetWindowRgnBox(wnd, &shape);
  if ((kind == SIMPLEREGION || kind == COMPLEXREGION) && !IsRectEmpty(&shape)) {
    OffsetRect(&shape, r.left, r.top);
    IntersectRect(&r, &r, &shape);
  }
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::vector<unsigned char> pixels(stride * h);
  const int rows = GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (rows != h) return false;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return false;
  const bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                  std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
  std::fclose(out);
  if (ok) std::wprintf(L"%ls\n", path.c_str());
  return ok;
}

HWND control(HWND main, main_window::Control id, std::u16string_view language) {
  const Rect r = main_window::controlRect(id, language);
  return childAt(main, r.left, r.top, r.right, r.bottom);
}

// Saves the window that an action opened over the main window, then closes it as its close box would.
void saveOpened(DWORD process, HWND main, const std::wstring& path) {
  HWND opened = waitForOtherWindow(process, main, 3000);
  if (!opened) {
    std::fwprintf(stderr, L"no window for %ls\n", path.c_str());
    return;
  }
  pumpFor(1500); // its first paint, and the pictures of its controls
  saveWindow(opened, path);
  PostMessageW(opened, WM_CLOSE, 0, 0);
  if (!waitGone(opened, 3000)) PostMessageW(opened, WM_COMMAND, IDCANCEL, 0);
  waitGone(opened, 3000);
  pumpFor(300);
}

int run(const std::wstring& folder, const std::wstring& prefix, bool dialogs, int dpi) {
  if (dpi && !setDisplayDpi(static_cast<DWORD>(dpi))) return 1;
  SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
  DeleteFileW(monitorLogPath().c_str());
  setStringFilePath(std::u16string(folder.begin(), folder.end()) + u"\\Strings.xml");
  const std::u16string language = lookupString(u"MAIN", u"LANG");
  Process program(folder + L"\\Q7Config.exe");
  HWND main = waitForWindow(program.id(), kWaitMs);
  if (!main || waitForLog(1542, kWaitMs) < 0) {
    std::fwprintf(stderr, L"the program did not start from %ls\n", folder.c_str());
    return 1;
  }
  pumpFor(2000);
  if (!dialogs) return saveWindow(main, prefix + L"-main.bmp") ? 0 : 1;

  // A key chosen, so that the per-key commands are there, then each window they open.
  const Rect key = keyRectangle(keyLayoutFor(language), 40);
  click(childAt(main, key.left, key.top, key.right, key.bottom));
  pumpFor(1000);
  if (!saveWindow(main, prefix + L"-main.bmp")) return 1;
  const struct {
    main_window::Control id;
    const wchar_t* name;
  } openers[] = {{main_window::Control::SingleKey, L"single-key"},
                 {main_window::Control::Macro, L"macro"},
                 {main_window::Control::Sync, L"programs"},
                 {main_window::Control::Disable, L"question"}};
  for (const auto& o : openers) {
    HWND button = control(main, o.id, language);
    if (!button || !IsWindowEnabled(button)) continue;
    click(button);
    saveOpened(program.id(), main, prefix + L"-" + o.name + L".bmp");
  }
  PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  saveOpened(program.id(), main, prefix + L"-about.bmp");
  return 0;
}

} // namespace
} // namespace q7::e2e

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: q7shots FOLDER OUTPUT-PREFIX [--dialogs | --dpi N]\n");
    return 2;
  }
  // --dpi: the main window alone, on a display of that DPI.
  const bool dialogs = argc > 3 && std::wstring(argv[3]) == L"--dialogs";
  const int dpi = argc > 4 && std::wstring(argv[3]) == L"--dpi" ? _wtoi(argv[4]) : 0;
  return q7::e2e::run(argv[1], argv[2], dialogs, dpi);
}
