// The linked-programs dialog and the colour editor as a user feels them, measured in-process:
//   open: from the dialog's construction to its first idle moment after showing (every paint of the
//         window and its controls done), against a bare dialog of the same size in the same run:
//         after the picture cache's prefetch, and without it (the cache empty: the dialog decodes
//         its own pictures) against a bare dialog that decodes the same four files;
//   cache memory: the process's committed bytes the prefetch added, against the cached parts' own
//         pixel bytes;
//   palette pick: a click on the colour editor's palette strip to the swatch showing the colour,
//         against a plain fill of the swatch's rectangle on the same window in the same run.
// Run under Wine (or Windows) with the program folder built (its Skins and Strings.xml are used).
#include "platform/win32/windows_only.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "../tests/e2e/driver.h"
#include "keys/sync_key_dialog.h"
#include "lighting/colour_editor_layout.h"
#include "lighting/whole_keyboard.h"
#include "platform/win32/win32_registry.h"
#include "text/string_lookup.h"
#include "keys/linked_programs_layout.h"
#include "ui/picture_cache.h"
#include "ui/region.h"
#include "ui/skin.h"

namespace {

using namespace q7;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Every committed byte of the process, private or mapped: a device-independent bitmap's pixels
// may live in a section of their own, which the private bytes do not count.
double committedMb() {
  size_t bytes = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize)
    if (info.State == MEM_COMMIT && (info.Type == MEM_PRIVATE || info.Type == MEM_MAPPED)) bytes += info.RegionSize;
  return bytes / 1048576.0;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The owner of every measured dialog: the dialogs' modal loop tells it when the queue runs dry.
struct Owner {
  HWND wnd = nullptr;
  std::function<void(HWND dialog)> onIdle; // called once per idle moment while a dialog runs
};
Owner g_owner;

LRESULT CALLBACK ownerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_owner.onIdle) {
    auto idle = g_owner.onIdle;
    idle(reinterpret_cast<HWND>(lParam));
    return 0;
  }
  return DefWindowProcW(wnd, message, wParam, lParam);
}

// The floor: an empty dialog of the same size that fills itself in one colour.
INT_PTR CALLBACK bareProc(HWND wnd, UINT message, WPARAM, LPARAM) {
  switch (message) {
  case WM_INITDIALOG:
    SetWindowPos(wnd, nullptr, 0, 0, kSkinCanvas.width, kSkinCanvas.height, SWP_NOZORDER | SWP_SHOWWINDOW);
    return TRUE;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    HBRUSH b = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(wnd, &ps);
    return TRUE;
  }
  case WM_ERASEBKGND:
    return TRUE;
  default:
    return FALSE;
  }
}

// The floor without the prefetch: the bare dialog that also decodes a family's four files.
const SkinFamily* g_decodes = nullptr;
INT_PTR CALLBACK bareDecodingProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG && g_decodes)
    for (const char* f : {g_decodes->normal, g_decodes->over, g_decodes->down, g_decodes->mask})
      loadSkinBitmap(skinFile(win32::widen(std::string_view(f))));
  return bareProc(wnd, message, wParam, lParam);
}

INT_PTR runBare(DLGPROC procedure = bareProc) {
  struct {
    DLGTEMPLATE t;
    WORD menu, cls, title;
  } tpl{};
  tpl.t.style = WS_POPUP | DS_SETFOREGROUND;
  tpl.t.cx = 100;
  tpl.t.cy = 100;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &tpl.t, g_owner.wnd, procedure, 0);
}

// Time from the call to the first idle moment once the dialog is visible; ends the dialog there.
double timeOpen(const std::function<void()>& run) {
  Clock::time_point shown{};
  const auto t0 = Clock::now();
  g_owner.onIdle = [&](HWND dialog) {
    if (!IsWindowVisible(dialog) || shown != Clock::time_point{}) return;
    shown = Clock::now();
    EndDialog(dialog, 2);
  };
  run();
  g_owner.onIdle = nullptr;
  return ms(shown - t0);
}

// Waits until the window shows colour at a client point.
bool waitPixel(HWND wnd, int x, int y, COLORREF colour, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    HDC dc = GetDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    if (c == colour) return true;
    if (GetTickCount64() > end) return false;
  }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  const std::wstring dist = e2e::distFolder();
  setSkinBaseFolder(dist);
  const std::wstring strings = dist + L"Strings.xml";
  setStringFilePath(std::u16string(strings.begin(), strings.end()));

  Gdiplus::GdiplusStartupInput gdiplusInput;
  ULONG_PTR gdiplus = 0;
  Gdiplus::GdiplusStartup(&gdiplus, &gdiplusInput, nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  WNDCLASSW wc{};
  wc.lpfnWndProc = ownerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"DialogsBenchOwner";
  RegisterClassW(&wc);
  g_owner.wnd = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP, 0, 0, kSkinCanvas.width, kSkinCanvas.height,
                                nullptr, nullptr, wc.hInstance, nullptr);

  SettingsImage image;
  win32::Win32Registry registry;
  LinkSlots slots{};
  const auto openSync = [&] {
    CSyncKeyDlg dialog(g_owner.wnd, 1, slots);
    dialog.runModal();
  };
  const auto openColour = [&] {
    CWholeKeyboard editor(g_owner.wnd, image, registry);
    editor.runModal();
  };
  const auto prefetch = [] {
    prefetchFamilies({&linked_programs::kSkin, &colour_editor::kSkins}, dialog::windowScale(g_owner.wnd));
    while (!prefetchDone()) Sleep(5);
  };
  std::vector<double> bare, sync, colour, syncRatio, colourRatio;
  std::vector<double> syncCold, colourCold, bareSync, bareColour, syncColdRatio, colourColdRatio;
  for (int i = 0; i < rounds; ++i) {
    // After the prefetch: each dialog's first opening with its pictures in the cache.
    clearPictureCache();
    prefetch();
    const double b = timeOpen([] { runBare(); });
    const double s = timeOpen(openSync);
    const double c = timeOpen(openColour);
    // Without it: the cache empty, each dialog decodes its own pictures.
    clearPictureCache();
    const double sc = timeOpen(openSync);
    clearPictureCache();
    const double cc = timeOpen(openColour);
    g_decodes = &linked_programs::kSkin;
    const double bs = timeOpen([] { runBare(bareDecodingProc); });
    g_decodes = &colour_editor::kSkins;
    const double bc = timeOpen([] { runBare(bareDecodingProc); });
    if (i == 0) continue; // the first round loads fonts and the decoder for the first time
    bare.push_back(b);
    sync.push_back(s);
    colour.push_back(c);
    syncRatio.push_back(s / b);
    colourRatio.push_back(c / b);
    syncCold.push_back(sc);
    colourCold.push_back(cc);
    bareSync.push_back(bs);
    bareColour.push_back(bc);
    syncColdRatio.push_back(sc / bs);
    colourColdRatio.push_back(cc / bc);
  }
  std::printf("open to first complete paint (median of %zu)\n", bare.size());
  std::printf("  after the prefetch: bare dialog %7.1f ms\n", median(bare));
  std::printf("  linked programs %7.1f ms   ratio %.2f   goal <= 1.5\n", median(sync), median(syncRatio));
  std::printf("  colour editor   %7.1f ms   ratio %.2f   goal <= 1.5\n", median(colour), median(colourRatio));
  std::printf("  without it (the dialog decodes its own pictures), against a bare dialog decoding the same files:\n");
  std::printf("  linked programs %7.1f ms   bare %7.1f ms   ratio %.2f   goal <= 1.5\n", median(syncCold),
              median(bareSync), median(syncColdRatio));
  std::printf("  colour editor   %7.1f ms   bare %7.1f ms   ratio %.2f   goal <= 1.5\n", median(colourCold),
              median(bareColour), median(colourColdRatio));

  // The cache's memory: every dialog family prefetched into an empty cache.
  {
    clearPictureCache();
    const double before = committedMb();
    prefetchFamilies({&kDefaultSkins, &kWarningSkins, &kWarning1Skins, &linked_programs::kSkin, &colour_editor::kSkins},
                     dialog::windowScale(g_owner.wnd));
    while (!prefetchDone()) Sleep(5);
    const double added = committedMb() - before, own = cachedPictureBytes() / 1048576.0;
    std::printf(
        "cache memory   committed bytes added %.2f MB   cached parts' pixel bytes %.2f MB   ratio %.2f   goal <= "
        "1.1\n",
        added, own, own > 0 ? added / own : 0.0);
  }

  // Where an opening goes: the four pictures and the window's shape from its mask.
  {
    std::vector<double> pictures, shape;
    for (int i = 0; i < rounds; ++i) {
      auto t0 = Clock::now();
      SkinBitmap mask;
      for (std::string_view f : {colour_editor::kNormalImage, colour_editor::kOverImage, colour_editor::kDownImage,
                                 colour_editor::kWindowMask}) {
        SkinBitmap b = loadSkinBitmap(skinFile(win32::widen(f)));
        if (f == colour_editor::kWindowMask) mask = std::move(b);
      }
      pictures.push_back(ms(Clock::now() - t0));
      t0 = Clock::now();
      win32::UniqueGdi<HRGN> region = regionFromMask(mask, kMaskKeyColour);
      shape.push_back(ms(Clock::now() - t0));
    }
    std::vector<double> lookups;
    for (int i = 0; i < rounds; ++i) {
      const auto t0 = Clock::now();
      lookupString(u"Wholekey", u"Default");
      lookups.push_back(ms(Clock::now() - t0));
    }
    std::printf("  of which: four pictures decoded %.1f ms, the shape from the mask %.1f ms, each of the texts "
                "looked up %.1f ms\n",
                median(pictures), median(shape), median(lookups));
  }

  // Palette picks: the editor stays open while the owner clicks the strip at idle moments.
  std::vector<double> picks, fills;
  {
    CWholeKeyboard editor(g_owner.wnd, image, registry);
    const Rect strip = colour_editor::kPaletteStrip, swatch = colour_editor::kSwatch;
    const int sx = (swatch.left + swatch.right) / 2, sy = (swatch.top + swatch.bottom) / 2;
    int step = 0;
    g_owner.onIdle = [&](HWND dialog) {
      if (!IsWindowVisible(dialog)) return;
      if (step >= rounds * 4) {
        EndDialog(dialog, 2);
        return;
      }
      const int x = strip.left + 3 + (step * 17) % (strip.width() - 6), y = (strip.top + strip.bottom) / 2;
      HDC dc = GetDC(dialog);
      const COLORREF shown = GetPixel(dc, x, y);
      ReleaseDC(dialog, dc);
      auto t0 = Clock::now();
      SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
      SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
      if (waitPixel(dialog, sx, sy, shown, 2000)) picks.push_back(ms(Clock::now() - t0));
      // The floor: the same rectangle filled plainly on the same window.
      const COLORREF plain = RGB(step % 200, 77, 3);
      t0 = Clock::now();
      dc = GetDC(dialog);
      HBRUSH brush = CreateSolidBrush(plain);
      const RECT rc{swatch.left, swatch.top, swatch.right, swatch.bottom};
      FillRect(dc, &rc, brush);
      DeleteObject(brush);
      ReleaseDC(dialog, dc);
      if (waitPixel(dialog, sx, sy, plain, 2000)) fills.push_back(ms(Clock::now() - t0));
      ++step;
    };
    editor.runModal();
    g_owner.onIdle = nullptr;
  }
  std::printf("palette pick to swatch shown  %.2f ms median of %zu   goal <= 16 ms   plain fill %.3f ms   ratio %.1f\n",
              median(picks), picks.size(), median(fills), median(fills) > 0 ? median(picks) / median(fills) : 0.0);

  DestroyWindow(g_owner.wnd);
  Gdiplus::GdiplusShutdown(gdiplus);
  return 0;
}
