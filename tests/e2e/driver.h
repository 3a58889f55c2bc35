// A small driver for end-to-end tests: starts programs, finds their windows, reads the monitor's
// log and the registry.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <vector>

namespace q7::e2e {

struct LogLine {
  std::string kind; // "start", "recv", "post"
  unsigned message = 0;
  unsigned long long wParam = 0;
  long long lParam = 0;
};

class Process {
public:
  Process() = default;
  Process(const std::wstring& exe, const std::wstring& args = L"");
  Process(Process&& o) noexcept;
  Process& operator=(Process&& o) noexcept;
  ~Process();

  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  // Waits for the end; returns the exit code, or STILL_ACTIVE when it did not end in time.
  DWORD wait(DWORD ms);
  bool running() const;

private:
  PROCESS_INFORMATION info_{};
};

// The distribution folder under test, with a trailing backslash.
std::wstring distFolder();
// A fresh folder under the prefix's temp folder.
std::wstring freshFolder(const wchar_t* name);
bool copyFile(const std::wstring& from, const std::wstring& to);
// Copies every file of a folder (not its subfolders); from and to end in a backslash. Gives how many.
int copyFolder(const std::wstring& from, const std::wstring& to);

// The visible top-level window of a process, waiting up to ms for it.
HWND waitForWindow(DWORD processId, DWORD ms);
std::vector<HWND> windowsOf(DWORD processId);

std::wstring monitorLogPath();
std::vector<LogLine> readLog();
// Waits until the log holds a "recv" line of message (after index from); returns its index or -1.
int waitForLog(unsigned message, DWORD ms, size_t from = 0);

bool keyExists(const wchar_t* path);
std::vector<uint8_t> registryValue(const std::wstring& path, const wchar_t* name);

void pumpFor(DWORD ms);

// The display's DPI (LogPixels) for every program started from now on in this prefix.
bool setDisplayDpi(DWORD dpi);

// The child window of parent whose client rectangle in parent is (left, top)-(right, bottom).
HWND childAt(HWND parent, int left, int top, int right, int bottom);
// Clicks a button of another process as the user would (posted, so a dialog it opens cannot block us).
void click(HWND button);
// A visible top-level window of the process other than main (and also), waiting up to ms.
HWND waitForOtherWindow(DWORD processId, HWND main, DWORD ms, HWND also = nullptr);
// Waits until the window is gone.
bool waitGone(HWND wnd, DWORD ms);
// Waits until the window's enabled state is as wanted.
bool waitEnabled(HWND wnd, bool enabled, DWORD ms);
std::wstring windowText(HWND wnd);
// The colour on screen at a client point of a window.
COLORREF screenPixel(HWND wnd, int x, int y);
// Fills in the file name of a file dialog of the process and confirms it.
// also: a dialog of the program already open under the file dialog.
bool answerFileDialog(DWORD processId, HWND main, const std::wstring& path, DWORD ms, HWND also = nullptr);

} // namespace q7::e2e
