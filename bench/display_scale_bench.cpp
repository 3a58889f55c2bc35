// The program on a display at 200 % against the same program at 100 %, started alternately in the
// same run: the start to the first painted key cap, and the memory the larger pictures add against
// the size of those pictures themselves.
//   display_scale_bench [rounds]
// Run under Wine (or Windows) with the program folder's HID.exe able to start; the display's DPI is
// set in the prefix's registry before each start and 96 is left behind.
#include "platform/win32/windows_only.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "platform/win32/win32_registry.h"
#include "settings/registry_store.h"
#include "start_timing.h"
#include "ui/scale.h"
#include "ui/skin.h"

namespace {

using namespace q7;
using namespace q7::bench;

// The bytes of the three whole-window pictures the program keeps, as it loads them at a scale.
double picturesMb(Scale scale) {
  setSkinBaseFolder(e2e::distFolder());
  double bytes = 0;
  for (std::string_view file : {main_window::kNormalImage, main_window::kOverImage, main_window::kDownImage}) {
    const SkinBitmap b = loadScaledSkin(win32::widen(file), scale);
    BITMAP info{};
    if (b && GetObjectW(b.get(), sizeof info, &info)) bytes += static_cast<double>(info.bmWidthBytes) * b.height();
  }
  setSkinBaseFolder({});
  return bytes / 1048576.0;
}

// The bytes of the pieces the window cuts from those pictures for its controls, 32 bits a pixel as
// the graphics library holds them: normal, hover, pressed and disabled, and a profile tab's other look.
double controlPiecesMb(Scale scale) {
  double bytes = 0;
  for (const main_window::ControlEntry& entry : main_window::kControls) {
    const Rect r = scale.rect(main_window::controlRect(entry.id, u"EN"));
    const int pieces = entry.kind == main_window::ControlKind::ProfileButton ? 5 : 4;
    bytes += 4.0 * r.width() * r.height() * pieces;
  }
  return bytes / 1048576.0;
}

struct Figures {
  std::vector<double> start;
  std::vector<double> memory;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  const std::wstring dist = e2e::distFolder();
  SetEnvironmentVariableW(L"Q7MON_LOG", e2e::monitorLogPath().c_str());
  {
    win32::Win32Registry registry; // stored settings: no start is a first run
    SettingsImage image;
    loadSettings(registry, image);
  }
  e2e::Process monitor(dist + L"HID.exe");
  Sleep(500);

  const int dpis[2] = {96, 192};
  Figures at[2];
  for (int i = 0; i < rounds; ++i)
    for (int d = 0; d < 2; ++d) {
      const Scale s{dpis[d]};
      e2e::setDisplayDpi(static_cast<DWORD>(s.dpi));
      const Rect cap = s.rect(keyRectangle(KeyLayout::Ansi, 40)); // a key cap: never black once painted
      HWND main = nullptr;
      e2e::Process program;
      at[d].start.push_back(
          timeStart(dist + L"Q7Config.exe", (cap.left + cap.right) / 2, cap.top + s.px(3), &main, &program));
      e2e::pumpFor(500); // settled after its first paint
      at[d].memory.push_back(memoryOf(program.id()).privateMb);
      PostMessageW(main, WM_CLOSE, 0, 0);
      program.wait(10000);
    }
  e2e::setDisplayDpi(96);
  e2e::Process(dist + L"HID.exe", L"--quit").wait(5000);

  const double start96 = median(at[0].start), start192 = median(at[1].start);
  // The program waits 500 ms for its monitor at every start, whatever the scale.
  std::printf("start to first paint   100 %% %8.1f ms   200 %% %8.1f ms   200 %% / 100 %% = %.2f   goal <= 1.3   "
              "(less the 500 ms wait: %.2f)\n",
              start96, start192, start192 / start96, (start192 - 500) / (start96 - 500));
  const double memory96 = median(at[0].memory), memory192 = median(at[1].memory);
  const double whole96 = picturesMb(Scale{96}), whole192 = picturesMb(Scale{192});
  const double pieces96 = controlPiecesMb(Scale{96}), pieces192 = controlPiecesMb(Scale{192});
  const double pictures96 = whole96 + pieces96, pictures192 = whole192 + pieces192;
  std::printf("memory after start     100 %% %.1f MB   200 %% %.1f MB   added %.1f MB; the larger pictures add "
              "%.1f MB themselves (%.1f against %.1f MB: whole-window pictures %.1f against %.1f, the controls' "
              "pieces %.1f against %.1f): added / theirs = %.2f   goal <= 1\n",
              memory96, memory192, memory192 - memory96, pictures192 - pictures96, pictures192, pictures96, whole192,
              whole96, pieces192, pieces96, (memory192 - memory96) / (pictures192 - pictures96));
  return 0;
}
