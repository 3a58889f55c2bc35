// Helpers of the Wine tests of the skinned windows: skin pictures written at run time, a plain
// top-level window that hosts controls, message pumping, pixels and real mouse input.
#pragma once

#include "platform/win32/windows_only.h"

#include <functional>
#include <string>
#include <vector>

#include "platform/rect.h"

namespace q7::uitest {

// A 24-bit BMP file; colourAt(x, y) gives 0x00BBGGRR.
bool writeBmp(const std::wstring& path, int width, int height, const std::function<COLORREF(int, int)>& colourAt);
bool writeBytes(const std::wstring& path, const std::string& bytes);

// A fresh "Skins" folder under the temp folder, read instead of the program's while it lives.
class TempSkins {
public:
  TempSkins();
  ~TempSkins();
  std::wstring path(const std::wstring& name) const { return skins_ + name; }
  void solid(const std::wstring& name, int width, int height, COLORREF colour) const;
  // Black inside keep, white elsewhere.
  void mask(const std::wstring& name, int width, int height, const Rect& keep) const;

private:
  std::wstring skins_;
};

// GDI+ for one test.
class GdiplusSession {
public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
  ULONG_PTR token_ = 0;
};

// A top-level window painted in one colour. It hands owner drawing, row measurement and colour requests back to its
// children, records the commands it receives and passes messages from WM_USER up to onMessage.
class TestWindow {
public:
  TestWindow(const Rect& screenRect, COLORREF colour);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return wnd_; }

  struct Command {
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Command> commands;
  std::function<void(UINT, WPARAM, LPARAM)> onMessage;

private:
  static LRESULT CALLBACK windowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND wnd_ = nullptr;
  COLORREF colour_;
};

// Dispatches (with translation) every message waiting for this thread.
void pumpPending();
// How many times pumpPending has dispatched message to wnd so far.
int dispatchedCount(UINT message, HWND wnd);
// Dispatches until done() holds, at most ms; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD ms = 10000);

// The colour at a client point of a window, as drawn (CLR_INVALID outside its visible region).
COLORREF pixel(HWND wnd, int x, int y);
// The colour on the screen at a screen point.
COLORREF screenPixel(POINT at);
// Repaints a window and its children now.
void redrawNow(HWND wnd);
// Pixels of a client rectangle that satisfy accept.
int countPixels(HWND wnd, const Rect& area, const std::function<bool(COLORREF)>& accept);
// The bounding box of those pixels (empty when none).
Rect boundsOfPixels(HWND wnd, const Rect& area, const std::function<bool(COLORREF)>& accept);
bool similar(COLORREF a, COLORREF b, int tolerance = 40);

// Real mouse input through the system's input queue, in screen coordinates.
void mouseMoveTo(int x, int y);
void mouseButton(bool down);
POINT screenPoint(HWND wnd, int x, int y);

// A child window's rectangle in its parent's client coordinates.
Rect childRect(HWND child);
std::wstring windowText(HWND wnd);

} // namespace q7::uitest
