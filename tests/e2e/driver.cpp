#include "driver.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace q7::e2e {

Process::Process(const std::wstring& exe, const std::wstring& args) {
  std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
  std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &info_))
    info_ = {};
}

Process::Process(Process&& o) noexcept : info_(o.info_) { o.info_ = {}; }

Process& Process::operator=(Process&& o) noexcept {
  std::swap(info_, o.info_);
  return *this;
}

Process::~Process() {
  if (info_.hProcess) {
    if (running()) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

DWORD Process::wait(DWORD ms) {
  if (!info_.hProcess) return STILL_ACTIVE;
  if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool Process::running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::wstring distFolder() { return std::wstring(Q7_DIST_DIR) + L"\\"; }

std::wstring freshFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

bool copyFile(const std::wstring& from, const std::wstring& to) { return CopyFileW(from.c_str(), to.c_str(), FALSE); }

int copyFolder(const std::wstring& from, const std::wstring& to) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((from + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int copied = 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      copied += copyFile(from + found.cFileName, to + found.cFileName);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return copied;
}

void pumpFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    Sleep(10);
  }
}

std::vector<HWND> windowsOf(DWORD processId) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND wnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        if (pid == s->pid && IsWindowVisible(wnd)) s->found.push_back(wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitForWindow(DWORD processId, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    auto found = windowsOf(processId);
    if (!found.empty()) return found.front();
    Sleep(50);
  } while (GetTickCount64() < end);
  return nullptr;
}

std::wstring monitorLogPath() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"q7mon.log";
}

std::vector<LogLine> readLog() {
  std::vector<LogLine> lines;
  FILE* f = _wfopen(monitorLogPath().c_str(), L"rb");
  if (!f) return lines;
  char buf[256];
  while (std::fgets(buf, sizeof buf, f)) {
    unsigned long long ms = 0;
    char kind[16] = {};
    LogLine l;
    if (std::sscanf(buf, "%llu %15s %u %llu %lld", &ms, kind, &l.message, &l.wParam, &l.lParam) == 5) {
      l.kind = kind;
      lines.push_back(l);
    }
  }
  std::fclose(f);
  return lines;
}

int waitForLog(unsigned message, DWORD ms, size_t from) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    const auto lines = readLog();
    for (size_t i = from; i < lines.size(); ++i)
      if (lines[i].kind == "recv" && lines[i].message == message) return static_cast<int>(i);
    Sleep(50);
  } while (GetTickCount64() < end);
  return -1;
}

bool keyExists(const wchar_t* path) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::vector<uint8_t> registryValue(const std::wstring& path, const wchar_t* name) {
  HKEY key;
  std::vector<uint8_t> v;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    v.resize(size);
    RegQueryValueExW(key, name, nullptr, nullptr, v.data(), &size);
  }
  RegCloseKey(key);
  return v;
}

HWND childAt(HWND parent, int left, int top, int right, int bottom) {
  struct Search {
    HWND parent;
    RECT want;
    HWND found;
  } search{parent, {left, top, right, bottom}, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetParent(child) != s->parent) return TRUE;
        // Relative to the parent's window rectangle: the program's windows have no frame, and
        // another process's client origin can lag behind a window that was just moved.
        RECT r, p;
        GetWindowRect(child, &r);
        GetWindowRect(s->parent, &p);
        OffsetRect(&r, -p.left, -p.top);
        if (EqualRect(&r, &s->want)) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

HWND waitForOtherWindow(DWORD processId, HWND main, DWORD ms, HWND also) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    for (HWND w : windowsOf(processId))
      if (w != main && w != also) return w;
    Sleep(30);
  } while (GetTickCount64() < end);
  return nullptr;
}

bool waitGone(HWND wnd, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (IsWindow(wnd) && IsWindowVisible(wnd)) {
    if (GetTickCount64() > end) return false;
    Sleep(30);
  }
  return true;
}

bool waitEnabled(HWND wnd, bool enabled, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while ((IsWindowEnabled(wnd) != FALSE) != enabled) {
    if (GetTickCount64() > end) return false;
    Sleep(30);
  }
  return true;
}

std::wstring windowText(HWND wnd) {
  wchar_t text[512] = {};
  GetWindowTextW(wnd, text, 512);
  return text;
}

COLORREF screenPixel(HWND wnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(wnd, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

bool answerFileDialog(DWORD processId, HWND main, const std::wstring& path, DWORD ms, HWND also) {
  HWND dlg = waitForOtherWindow(processId, main, ms, also);
  if (!dlg) return false;
  Sleep(300); // let the dialog finish its initialisation
  HWND name = GetDlgItem(dlg, 0x47C);
  if (!name) name = GetDlgItem(dlg, 0x480);
  if (!name) return false;
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  return waitGone(dlg, ms);
}

bool setDisplayDpi(DWORD dpi) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LSTATUS s = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
  return s == ERROR_SUCCESS;
}

} // namespace q7::e2e
