// The macro editor's speed, measured inside one process under Wine (or Windows):
//   open: from the editor's construction on a full 170-line macro to its first complete paint (the
//         dialog loop's first idle moment), against a bare dialog of the same size with a plain list
//         box filled with the same 170 texts;
//   rebuild: the list rebuilt from the 170-line record and repainted, against filling a plain list
//         box with the same texts;
//   report: one key report of the hook library handled during a recording, early (lines 1 ... 10,
//         no scroll bar yet), in the middle (20 ... 30) and late (70 ... 80) in the recording, against
//         adding one text to a plain list box with a scroll bar.
// Uses the program folder's skins and string file.
#include "platform/win32/windows_only.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "macro/macro_list_text.h"
#include "macro/macro_model.h"
#include "macro/macro_set_dlg.h"
#include "monitor/messages.h"
#include "platform/win32/win32_keyboard_text.h"
#include "text/string_lookup.h"
#include "ui/skin.h"

namespace {

using namespace q7;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

KeyRecord fullMacro() {
  KeyRecord r{};
  for (int i = 0; i < kMaxMacroLines; ++i) {
    appendKey(r, static_cast<uint8_t>('A' + i % 26), i % 2 != 0);
    appendPause(r, static_cast<uint16_t>(20 + 37 * i));
  }
  r.Kind = 2;
  return r;
}

std::vector<std::wstring> texts(const KeyRecord& r) {
  win32::Win32KeyboardText keyboard;
  std::vector<std::wstring> out;
  for (const MacroListLine& l : macroListLines(r, keyboard)) out.emplace_back(l.text.begin(), l.text.end());
  return out;
}

// What the owner does at the dialog's first idle moment.
struct Run {
  Clock::time_point start;
  double firstPaint = -1;
  void (*atIdle)(HWND dialog) = nullptr;
};
Run g_run;

LRESULT CALLBACK ownerProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_run.firstPaint < 0) {
    g_run.firstPaint = ms(Clock::now() - g_run.start);
    HWND dialog = reinterpret_cast<HWND>(lParam);
    if (g_run.atIdle) g_run.atIdle(dialog);
    EndDialog(dialog, 2);
    return 0;
  }
  return DefWindowProcW(wnd, message, wParam, lParam);
}

// The floor dialog: empty template, a plain list box filled at initialisation.
std::vector<std::wstring> g_texts;
INT_PTR CALLBACK bareProc(HWND wnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  MoveWindow(wnd, 0, 0, 1000, 720, FALSE);
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 530, 130, 173, 188,
                              wnd, nullptr, GetModuleHandleW(nullptr), nullptr);
  for (const std::wstring& t : g_texts) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
  ShowWindow(wnd, SW_SHOW);
  return TRUE;
}

struct alignas(4) EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu = 0, windowClass = 0, title = 0;
};

double openBare(HWND owner) {
  g_run = {Clock::now(), -1, nullptr};
  EmptyTemplate tpl{};
  tpl.header.style = WS_POPUP | WS_SYSMENU;
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &tpl.header, owner, bareProc, 0);
  return g_run.firstPaint;
}

CMacroSetDlg* g_editor = nullptr;
std::vector<double> g_rebuilds, g_fills, g_texts170, g_listFills, g_listPaints, g_early, g_middle, g_late, g_floorAdds;

int noQuestion(HWND, int) { return kResultNo; }

double openEditor(HWND owner, const KeyRecord& r, void (*atIdle)(HWND)) {
  g_run = {Clock::now(), -1, atIdle};
  CMacroSetDlg editor(owner, r, true, noQuestion);
  g_editor = &editor;
  editor.runModal();
  g_editor = nullptr;
  return g_run.firstPaint;
}

void measureInside(HWND dialog) {
  HWND list = g_editor->list().window();
  for (int i = 0; i < 15; ++i) {
    const auto t0 = Clock::now();
    g_editor->controller().rebuildList();
    UpdateWindow(list);
    g_rebuilds.push_back(ms(Clock::now() - t0));
  }
  // The rebuild's two parts: the 170 line texts, and the list filled with them and painted.
  {
    win32::Win32KeyboardText keyboard;
    const KeyRecord r = fullMacro();
    for (int i = 0; i < 15; ++i) {
      const auto t0 = Clock::now();
      const std::vector<MacroListLine> lines = macroListLines(r, keyboard);
      const auto t1 = Clock::now();
      g_editor->list().setLines(lines, {});
      const auto t2 = Clock::now();
      UpdateWindow(list);
      g_texts170.push_back(ms(t1 - t0));
      g_listFills.push_back(ms(Clock::now() - t1));
      g_listPaints.push_back(ms(Clock::now() - t2));
    }
  }
  // The floor: a plain list box of the same size filled with the same texts and painted.
  HWND plain = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 300, 130, 173, 188, dialog,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 15; ++i) {
    const auto t0 = Clock::now();
    SendMessageW(plain, WM_SETREDRAW, FALSE, 0);
    SendMessageW(plain, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& t : g_texts) SendMessageW(plain, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    SendMessageW(plain, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(plain, nullptr, TRUE);
    UpdateWindow(plain);
    g_fills.push_back(ms(Clock::now() - t0));
  }
  SendMessageW(plain, LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < 80; ++i) {
    const std::wstring t = L"A  ";
    const auto t0 = Clock::now();
    SendMessageW(plain, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    g_floorAdds.push_back(ms(Clock::now() - t0));
  }
  DestroyWindow(plain);

  // A recording of 80 keys, as the hook library reports them.
  g_editor->controller().onCommand(macro_editor::Control::Record);
  for (int i = 0; i < 80; ++i) {
    const auto t0 = Clock::now();
    SendMessageW(dialog, msg::kHookKey, 'A' + i % 26, i % 2 ? 0x80 : 0);
    const double t = ms(Clock::now() - t0);
    if (i < 10) g_early.push_back(t);
    if (i >= 20 && i < 30) g_middle.push_back(t);
    if (i >= 70) g_late.push_back(t);
  }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  const std::wstring dist = std::wstring(Q7_DIST_DIR) + L"\\";
  setSkinBaseFolder(dist);
  setStringFilePath(std::u16string(dist.begin(), dist.end()) + u"Strings.xml");

  WNDCLASSW wc{};
  wc.lpfnWndProc = ownerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, wc.lpszClassName, L"Bench owner", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 720, nullptr,
                               nullptr, wc.hInstance, nullptr);

  const KeyRecord macro = fullMacro();
  g_texts = texts(macro);
  std::vector<double> editor, bare, ratio;
  openEditor(owner, macro, nullptr); // warm-up: fonts, pictures and the library once
  openBare(owner);
  for (int i = 0; i < rounds; ++i) {
    const double e = openEditor(owner, macro, nullptr);
    const double b = openBare(owner);
    editor.push_back(e);
    bare.push_back(b);
    ratio.push_back(e / b);
  }
  std::printf("open to first paint    editor %7.1f ms   bare dialog with a plain list %7.1f ms   (170 lines)\n",
              median(editor), median(bare));
  std::printf("                       editor / bare = %.2f   goal <= 1.5 (median of %d pairs)\n", median(ratio),
              rounds);

  openEditor(owner, macro, measureInside);
  std::printf("rebuildList, 170 lines %7.2f ms (painted)   plain list filled %7.2f ms   ratio %.2f   goal <= 16 ms\n",
              median(g_rebuilds), median(g_fills), median(g_rebuilds) / std::max(median(g_fills), 1e-3));
  std::printf("    of which            line texts %7.2f ms   list filled and painted %7.2f ms (the paint %7.2f ms)\n",
              median(g_texts170), median(g_listFills), median(g_listPaints));
  std::printf("key report, lines 1-10 %7.3f ms   lines 20-30 %7.3f ms   lines 70-80 %7.3f ms   late / middle %.2f"
              "   goal <= 1 ms, constant\n",
              median(g_early), median(g_middle), median(g_late), median(g_late) / std::max(median(g_middle), 1e-6));
  std::printf("                       plain list add %7.3f ms   report / add %.2f\n", median(g_floorAdds),
              median(g_late) / std::max(median(g_floorAdds), 1e-6));
  DestroyWindow(owner);
  return 0;
}
