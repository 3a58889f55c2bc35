// Move-only owners of the system's handles, each closing its handle with the matching call.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/windows_only.h"

#include <utility>

namespace q7::win32 {

template <typename H, auto Close> class Unique {
  static constexpr H Invalid{};

public:
  Unique() = default;
  explicit Unique(H h) : h_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Invalid)) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Invalid));
    return *this;
  }
  ~Unique() { reset(); }

  H get() const { return h_; }
  explicit operator bool() const { return h_ != Invalid; }
  H release() { return std::exchange(h_, Invalid); }
  void reset(H h = Invalid) {
    if (h_ != Invalid) Close(h_);
    h_ = h;
  }

private:
  H h_ = Invalid;
};

inline void closeKey(HKEY k) { RegCloseKey(k); }
inline void closeHandle(HANDLE h) { CloseHandle(h); }
inline void destroyWindow(HWND w) { DestroyWindow(w); }
inline void deleteObject(HGDIOBJ o) { DeleteObject(o); }
inline void destroyIcon(HICON i) { DestroyIcon(i); }
inline void freeLibrary(HMODULE m) { FreeLibrary(m); }
inline void deleteDc(HDC dc) { DeleteDC(dc); }
inline void globalFree(HGLOBAL g) { GlobalFree(g); }
inline void unhook(HHOOK h) { UnhookWindowsHookEx(h); }
template <typename T> void releaseCom(T* p) { p->Release(); }

using UniqueKey = Unique<HKEY, closeKey>;
using UniqueHandle = Unique<HANDLE, closeHandle>;
using UniqueWindow = Unique<HWND, destroyWindow>;
using UniqueIcon = Unique<HICON, destroyIcon>;
using UniqueLibrary = Unique<HMODULE, freeLibrary>;
template <typename T> using UniqueGdi = Unique<T, deleteObject>;
using UniqueDc = Unique<HDC, deleteDc>; // from CreateCompatibleDC
using UniqueGlobal = Unique<HGLOBAL, globalFree>;
using UniqueHook = Unique<HHOOK, unhook>;
template <typename T> using UniqueCom = Unique<T*, releaseCom<T>>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
public:
  explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  HDC get() const { return dc_; }

private:
  HWND wnd_;
  HDC dc_;
};

// BeginPaint ... EndPaint.
class PaintScope {
public:
  explicit PaintScope(HWND wnd) : wnd_(wnd) { dc_ = BeginPaint(wnd, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(wnd_, &ps_); }
  HDC dc() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }

private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// An object selected into a device context, the previous one restored at the end of the scope.
class Selection {
public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (old_) SelectObject(dc_, old_);
  }

private:
  HDC dc_;
  HGDIOBJ old_;
};

// A file handle: CreateFileW's INVALID_HANDLE_VALUE is kept as "no handle".
class UniqueFile : public UniqueHandle {
public:
  UniqueFile() = default;
  explicit UniqueFile(HANDLE h) : UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

// A held mutex: released and closed together.
class HeldMutex {
public:
  HeldMutex() = default;
  explicit HeldMutex(HANDLE h) : h_(h) {}
  HeldMutex(HeldMutex&&) = default;
  HeldMutex& operator=(HeldMutex&&) = default;
  ~HeldMutex() {
    if (h_) ReleaseMutex(h_.get());
  }
  explicit operator bool() const { return static_cast<bool>(h_); }

private:
  UniqueHandle h_;
};

inline const wchar_t* wide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline const char16_t* u16(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
// The same text as a wide string: UTF-16 as it is, ASCII (the layout tables' names) unit by unit.
inline std::wstring widen(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::wstring widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

} // namespace q7::win32
