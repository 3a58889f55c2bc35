// HID.exe: our monitor. It owns the hidden window "Q7PrismoMon" that the configuration program
// talks to, logs what it receives, answers every "settings saved" with the acknowledgement, and
// relays messages that a user or a test hands it to the main window. It carries the saved
// settings out on any keyboard: a keyboard hook acts on the current profile's keys (key_engine),
// the program in front chooses its linked profile, and a tray icon shows and offers the profiles.
// It reads the registry at start, on every 2026 (before it answers) and on every 1542; it never
// writes it.
//
//   HID.exe [--log FILE] [--ack-delay MS] [--no-ack] [--no-tray] [--test-messages]
//                                                       run the monitor (one per logon)
//   HID.exe --post MSG WPARAM LPARAM                    have the running monitor post to the main window
//   HID.exe --quit                                      end the running monitor
// The environment variables Q7MON_LOG, Q7MON_ACK_DELAY, Q7MON_NO_ACK, Q7MON_NO_TRAY and Q7MON_TEST_MESSAGES
// do the same as the options, so that a monitor started by the program without arguments can be steered too.
// For tests, Q7MON_TEST_HOOK_REFUSALS=N has the first N installs of the keyboard hook act as refused.
#include "platform/win32/windows_only.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>

#include <memory>
#include <shellapi.h>
#include <wtsapi32.h>

#include "companions/monitor/front_process.h"
#include "companions/monitor/key_engine.h"
#include "companions/monitor/process_end_watch.h"
#include "companions/monitor/tray_icon.h"
#include "keys/key_layout.h"
#include "monitor/elevation_notice.h"
#include "monitor/messages.h"
#include "monitor/monitor_link.h"
#include "monitor/monitor_settings.h"
#include "monitor/profile_follower.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_registry.h"
#include "text/string_lookup.h"

namespace {

using namespace q7;

constexpr UINT_PTR kAckTimer = 1;
constexpr UINT kReporterEnded = WM_APP + 30; // wParam: the process that reported keys has ended

void unhookWinEvent(HWINEVENTHOOK h) { UnhookWinEvent(h); }
using UniqueWinEventHook = win32::Unique<HWINEVENTHOOK, unhookWinEvent>;

struct Options {
  std::wstring logPath;
  int ackDelayMs = 0;
  bool noAck = false;
  bool post = false;
  bool quit = false;
  bool tray = true;
  bool testMessages = false; // kTestRemoveHook is honoured
  int hookRefusals = 0;      // for tests: the first installs of the hook act as refused
  long long postValues[3] = {0, 0, 0};
};

struct Monitor {
  Options options;
  HWND mainWindow = nullptr; // from the last 1538
  ULONGLONG startTick = GetTickCount64();
  int pendingAcks = 0;
  std::wstring folder; // the monitor's own folder, with a trailing backslash
  KeyLayout layout = KeyLayout::Ansi;
  int profile = -1;         // the current profile, -1 without settings
  ProfileFollower follower; // keeps a profile asked of the main window against a save made before it follows
  LinkedPrograms links;
  bool paused = false;
  std::unique_ptr<monitor::ProcessEndWatch> reporter; // the process whose hook library reports keys
  HWND foreground = nullptr;
  UniqueWinEventHook foregroundHook;
  UniqueWinEventHook focusHook; // until the system shows that it reports the window in front
  std::unique_ptr<ElevationNotice> elevationNotice;
  std::unique_ptr<monitor::KeyEngine> engine;
  std::unique_ptr<monitor::TrayIcon> tray;
  bool hookFailed = false; // told once until the hook is in place again
} g_monitor;

std::wstring env(const wchar_t* name) {
  wchar_t buf[1024];
  DWORD n = GetEnvironmentVariableW(name, buf, 1024);
  return (n > 0 && n < 1024) ? std::wstring(buf, n) : std::wstring();
}

// Appends one line to the log. Opened per line so that a reader sees every line as soon as it is written.
void appendLog(const char* line, size_t n) {
  if (g_monitor.options.logPath.empty()) return;
  win32::UniqueFile f(CreateFileW(g_monitor.options.logPath.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
  if (!f) return;
  DWORD written = 0;
  WriteFile(f.get(), line, static_cast<DWORD>(n), &written, nullptr);
}

unsigned long long uptimeMs() { return GetTickCount64() - g_monitor.startTick; }

void logLine(const char* what, UINT message, WPARAM wParam, LPARAM lParam) {
  char line[160];
  const int n = std::snprintf(line, sizeof line, "%llu %s %u %llu %lld\r\n", uptimeMs(), what, message,
                              static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
  if (n > 0) appendLog(line, std::min(static_cast<size_t>(n), sizeof line - 1));
}

// Tells the user something in a tray balloon, and writes it to the log as "<ms> balloon <text>"
// (UTF-8), also when the monitor runs without a tray icon.
void balloon(const std::wstring& text) {
  std::string line = std::to_string(uptimeMs()) + " balloon ";
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n > 0) {
    const size_t at = line.size();
    line.resize(at + static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), line.data() + at, n, nullptr, nullptr);
  }
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' '; // one balloon, one line
  line += "\r\n";
  appendLog(line.data(), line.size());
  if (g_monitor.tray) g_monitor.tray->balloon(text);
}

void postToMain(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND target = g_monitor.mainWindow;
  if (target && IsWindow(target)) PostMessageW(target, message, wParam, lParam);
}

void acknowledge() { postToMain(msg::kSaveAcknowledged, 0, 0); }

// Reads the linked programs and the keys of profile (-1: the stored current profile) and hands
// them to the hook; a running macro stops with the change.
void loadSettings(int profile) {
  win32::Win32Registry registry;
  g_monitor.links = readLinkedPrograms(registry);
  g_monitor.profile = profile >= 0 ? profile : readCurrentProfile(registry);
  std::shared_ptr<const ProfileKeys> keys = readProfileKeys(registry, g_monitor.profile, g_monitor.layout);
  if (g_monitor.engine) g_monitor.engine->setKeys(std::move(keys));
  if (g_monitor.tray) g_monitor.tray->show(g_monitor.profile, g_monitor.paused);
}

// A profile chosen here (program in front, tray): the monitor switches, and the main window too.
void switchProfile(int profile) {
  if (profile == g_monitor.profile) return;
  loadSettings(profile);
  g_monitor.follower.asked(profile);
  postToMain(msg::kSwitchProfile, static_cast<WPARAM>(profile), msg::kNoEcho);
}

// 2026: the settings in force before the answer, on the profile the window stored unless it is
// still to follow a switch asked of it.
void reloadSaved() {
  win32::Win32Registry registry;
  loadSettings(g_monitor.follower.saved(readCurrentProfile(registry)));
}

std::wstring processImage(HWND wnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  win32::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return {};
  wchar_t path[MAX_PATH * 2];
  DWORD n = MAX_PATH * 2;
  return QueryFullProcessImageNameW(process.get(), 0, path, &n) ? std::wstring(path, n) : std::wstring();
}

// Another window came to the front: its program's linked profile applies, and the user learns
// once that programs run as administrator keep their keys.
void foregroundChanged(HWND front) {
  if (!front || front == g_monitor.foreground) return;
  g_monitor.foreground = front;
  if (g_monitor.elevationNotice && g_monitor.elevationNotice->frontChanged(monitor::frontProcess(front)))
    balloon(ElevationNotice::kText);
  const std::wstring image = processImage(front);
  const int linked = linkedProfile(g_monitor.links, win32::u16(image.c_str()), g_monitor.profile);
  if (linked >= 0) switchProfile(linked);
}

// The system reports a new window in front (EVENT_SYSTEM_FOREGROUND). Wine reports it only as a
// change of the keyboard focus (EVENT_OBJECT_FOCUS), so both are watched until the first report of
// the window in front shows that the focus events are not needed.
void CALLBACK onForeground(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD, DWORD) {
  if (event == EVENT_SYSTEM_FOREGROUND) g_monitor.focusHook.reset();
  foregroundChanged(GetForegroundWindow());
}

// The hook library reports keys (reporting) for a process, or stopped: while it does, keys pass.
// A program that dies while it records must not leave the keys passing, so its end is watched.
void setReporter(bool reporting, DWORD processId, HWND wnd) {
  g_monitor.reporter.reset();
  if (reporting && processId)
    g_monitor.reporter = std::make_unique<monitor::ProcessEndWatch>(processId, wnd, kReporterEnded);
  if (g_monitor.engine) g_monitor.engine->setHookReporting(reporting);
}

// The system's text for an error code, without its line end.
std::wstring systemText(DWORD error) {
  wchar_t text[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                 static_cast<DWORD>(std::size(text)), nullptr);
  std::wstring s = text;
  while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' ')) s.pop_back();
  if (s.empty()) s = L"Error " + std::to_wstring(error) + L".";
  return s;
}

// Starts a program; when it cannot start, the user reads why in a balloon (the system shows no
// dialog of its own).
void startProgram(const std::wstring& path) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info)) return;
  const DWORD error = GetLastError();
  balloon(L"Could not start " + path + L": " + systemText(error));
}

void setPaused(bool paused) {
  g_monitor.paused = paused;
  if (g_monitor.engine) g_monitor.engine->setPaused(paused);
  if (g_monitor.tray) g_monitor.tray->show(g_monitor.profile, paused);
}

// The hook's state as the engine reports it: every failure and every install after the first is a
// line in the log; a hook that could not be installed is told to the user (the engine tries again).
void hookState(WPARAM state, LPARAM detail) {
  if (state != monitor::KeyEngine::kInstalled || detail != monitor::KeyEngine::kFirst)
    logLine("hook", monitor::KeyEngine::kHookState, state, detail);
  if (state == monitor::KeyEngine::kInstalled) g_monitor.hookFailed = false;
  if (state != monitor::KeyEngine::kFailed || g_monitor.hookFailed) return;
  g_monitor.hookFailed = true;
  balloon(L"Keys are not changed for now: the keyboard hook could not be installed. The monitor keeps trying.");
}

void command(HWND wnd, UINT id) {
  using monitor::TrayIcon;
  if (id >= TrayIcon::kProfileCommand && id <= TrayIcon::kProfileCommand + 8) {
    switchProfile(static_cast<int>(id - TrayIcon::kProfileCommand));
  } else if (id == TrayIcon::kOpenCommand) {
    startProgram(g_monitor.folder + L"Q7Config.exe");
  } else if (id == TrayIcon::kPauseCommand) {
    setPaused(!g_monitor.paused);
  } else if (id == TrayIcon::kQuitCommand) {
    DestroyWindow(wnd);
  }
}

LRESULT CALLBACK monitorProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case msg::kAnnounceWindow:
    logLine("recv", message, wParam, lParam);
    g_monitor.mainWindow = reinterpret_cast<HWND>(wParam);
    return 0;
  case msg::kSettingsSaved:
    logLine("recv", message, wParam, lParam);
    reloadSaved(); // in force before the answer
    if (g_monitor.options.noAck) return 0;
    if (g_monitor.options.ackDelayMs <= 0) {
      acknowledge();
    } else {
      ++g_monitor.pendingAcks;
      SetTimer(wnd, kAckTimer, static_cast<UINT>(g_monitor.options.ackDelayMs), nullptr);
    }
    return 0;
  case msg::kProfileShown:
    logLine("recv", message, wParam, lParam);
    if (wParam <= 8) loadSettings(g_monitor.follower.shown(static_cast<int>(wParam)));
    return 0;
  case msg::kHookStatus:
    logLine("recv", message, wParam, lParam);
    setReporter(wParam == 1, static_cast<DWORD>(lParam), wnd);
    return 0;
  case kReporterEnded:
    if (g_monitor.reporter && g_monitor.reporter->processId() == static_cast<DWORD>(wParam)) setReporter(false, 0, wnd);
    return 0;
  case monitor::KeyEngine::kStartProgram: {
    std::unique_ptr<std::wstring> path(reinterpret_cast<std::wstring*>(lParam));
    if (path && !path->empty()) startProgram(*path);
    return 0;
  }
  case monitor::KeyEngine::kHookState:
    hookState(wParam, lParam);
    return 0;
  case WM_WTSSESSION_CHANGE: // keys held at the lock are let go; the hook may be gone after it
    logLine("session", message, wParam, lParam);
    if (g_monitor.engine && wParam == WTS_SESSION_LOCK) g_monitor.engine->releaseAll();
    if (g_monitor.engine && wParam == WTS_SESSION_UNLOCK) g_monitor.engine->reinstall();
    return 0;
  case WM_POWERBROADCAST:
    if (g_monitor.engine && wParam == PBT_APMSUSPEND) g_monitor.engine->releaseAll();
    if (g_monitor.engine && (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND))
      g_monitor.engine->reinstall();
    return TRUE;
  case msg::kTestRemoveHook:
    logLine("recv", message, wParam, lParam);
    if (g_monitor.engine && g_monitor.options.testMessages) g_monitor.engine->dropHookForTest();
    return 0;
  case monitor::TrayIcon::kCallback:
    if (g_monitor.tray && (LOWORD(lParam) == WM_RBUTTONUP || LOWORD(lParam) == WM_LBUTTONUP))
      g_monitor.tray->openMenu(g_monitor.profile, g_monitor.paused);
    return 0;
  case WM_COMMAND:
    command(wnd, LOWORD(wParam));
    return 0;
  case WM_TIMER:
    if (wParam == kAckTimer) {
      KillTimer(wnd, kAckTimer);
      for (; g_monitor.pendingAcks > 0; --g_monitor.pendingAcks) acknowledge();
    }
    return 0;
  case WM_COPYDATA: {
    const auto* cd = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!cd || cd->dwData != msg::kMonitorPostTag || cd->cbData != 3 * sizeof(long long) || !cd->lpData) return FALSE;
    long long v[3];
    std::memcpy(v, cd->lpData, sizeof v);
    logLine("post", static_cast<UINT>(v[0]), static_cast<WPARAM>(v[1]), static_cast<LPARAM>(v[2]));
    postToMain(static_cast<UINT>(v[0]), static_cast<WPARAM>(v[1]), static_cast<LPARAM>(v[2]));
    return TRUE;
  }
  case WM_CLOSE:
    DestroyWindow(wnd);
    return 0;
  case WM_DESTROY:
    WTSUnRegisterSessionNotification(wnd);
    g_monitor.foregroundHook.reset();
    g_monitor.focusHook.reset();
    g_monitor.reporter.reset();
    g_monitor.tray.reset();
    g_monitor.engine.reset(); // the macro's keys released, the hook removed
    PostQuitMessage(0);
    return 0;
  default:
    if (message >= WM_USER) {
      logLine("recv", message, wParam, lParam);
      return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
  }
}

Options parse(int argc, wchar_t** argv) {
  Options o;
  o.logPath = env(L"Q7MON_LOG");
  if (!env(L"Q7MON_ACK_DELAY").empty()) o.ackDelayMs = _wtoi(env(L"Q7MON_ACK_DELAY").c_str());
  o.noAck = !env(L"Q7MON_NO_ACK").empty();
  o.tray = env(L"Q7MON_NO_TRAY").empty();
  o.testMessages = !env(L"Q7MON_TEST_MESSAGES").empty();
  o.hookRefusals = _wtoi(env(L"Q7MON_TEST_HOOK_REFUSALS").c_str());
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--log" && i + 1 < argc) {
      o.logPath = argv[++i];
    } else if (a == L"--ack-delay" && i + 1 < argc) {
      o.ackDelayMs = _wtoi(argv[++i]);
    } else if (a == L"--no-ack") {
      o.noAck = true;
    } else if (a == L"--test-messages") {
      o.testMessages = true;
    } else if (a == L"--no-tray") {
      o.tray = false;
    } else if (a == L"--quit") {
      o.quit = true;
    } else if (a == L"--post" && i + 3 < argc) {
      o.post = true;
      for (long long& v : o.postValues) v = std::wcstoll(argv[++i], nullptr, 0);
    }
  }
  return o;
}

int relay(const Options& o) {
  HWND monitor = FindWindowW(nullptr, L"Q7PrismoMon");
  if (!monitor) return 1;
  if (o.quit) return PostMessageW(monitor, WM_CLOSE, 0, 0) ? 0 : 1;
  COPYDATASTRUCT cd{msg::kMonitorPostTag, sizeof o.postValues, const_cast<long long*>(o.postValues)};
  return SendMessageW(monitor, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd)) ? 0 : 1;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  const Options options = parse(__argc, __wargv);
  if (options.post || options.quit) return relay(options);

  // One monitor per logon: a second copy ends at once.
  win32::UniqueHandle single(CreateMutexW(nullptr, FALSE, L"Q7PrismoMon.Instance"));
  if (!single || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  g_monitor.options = options;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = monitorProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"Q7PrismoMonClass";
  if (!RegisterClassExW(&wc)) return 1;
  // A hidden top-level window: message-only windows cannot be found by title.
  // It takes its title when the hook and the settings are in place: whoever finds it finds it ready.
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                             nullptr);
  if (!wnd) return 1;

  wchar_t exe[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
  g_monitor.folder.assign(exe, n);
  g_monitor.folder.erase(g_monitor.folder.find_last_of(L'\\') + 1);
  // The key tables of the installed string file's language, as the program uses them.
  setStringFilePath(win32::u16((g_monitor.folder + L"Strings.xml").c_str()));
  g_monitor.layout = keyLayoutFor(lookupString(u"MAIN", u"LANG"));
  g_monitor.engine = std::make_unique<monitor::KeyEngine>(wnd, options.hookRefusals);
  if (options.tray) g_monitor.tray = std::make_unique<monitor::TrayIcon>(wnd);
  loadSettings(-1);
  WTSRegisterSessionNotification(wnd, NOTIFY_FOR_THIS_SESSION);
  g_monitor.foreground = GetForegroundWindow(); // a program already in front does not switch
  g_monitor.elevationNotice = std::make_unique<ElevationNotice>(monitor::weAreElevated());
  // The program in front is told by the system as it changes: nothing wakes the monitor meanwhile.
  g_monitor.foregroundHook.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                                 onForeground, 0, 0, WINEVENT_OUTOFCONTEXT));
  g_monitor.focusHook.reset(
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, onForeground, 0, 0, WINEVENT_OUTOFCONTEXT));
  if (!g_monitor.foregroundHook && !g_monitor.focusHook)
    balloon(L"Profiles cannot follow the program in front: the system refused to report it.");
  SetWindowTextW(wnd, win32::wide(kMonitorTitle));
  logLine("start", 0, 0, 0);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
