// soak.exe: runs the real screendim.exe under load and abuse, for a bounded
// number of cycles, and checks every one: it always ends with exit code 0,
// the display gets back exactly the ramp it had, only one copy ever runs,
// the program keeps answering, and no ramp on the display is one the slider
// could not have written.
//
//   soak.exe [--short]           the cycles on a display with gamma and a tray
//   soak.exe --refusing-ramp     on a display that refuses gamma ramps
//
// The path of the program comes from SCREENDIM_EXE. Prints one line per
// cycle kind and a last line "N passed, N failed"; exits 1 if any failed.
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ramp = std::array<WORD, 768>;

constexpr wchar_t kMainClass[] = L"ScreendimWindow";
constexpr int kRampTolerance = 257;  // the display rounds words to multiples of 257
constexpr UINT kTrayCallback = WM_APP + 1;
constexpr int kCloseButton = 4;
constexpr int kKnob = 5;
constexpr int kTrack = 6;

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds deadline = 5000ms) {
  const auto end = Clock::now() + deadline;
  for (;;) {
    if (condition()) return true;
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
}

// ---- the display's ramp

Ramp ReadScreenRamp() {
  Ramp ramp{};
  HDC screen = GetDC(nullptr);
  GetDeviceGammaRamp(screen, ramp.data());
  ReleaseDC(nullptr, screen);
  return ramp;
}

bool WriteScreenRamp(Ramp ramp) {
  HDC screen = GetDC(nullptr);
  const bool ok = SetDeviceGammaRamp(screen, ramp.data()) != FALSE;
  ReleaseDC(nullptr, screen);
  return ok;
}

Ramp IdentityRamp() {
  Ramp ramp{};
  for (int i = 0; i < 768; ++i) ramp[i] = static_cast<WORD>((i % 256) * 257);
  return ramp;
}

// A gamma curve: restoring must give back what was there, not the identity.
Ramp CurvedRamp(double gamma) {
  Ramp ramp{};
  for (int i = 0; i < 768; ++i)
    ramp[i] = static_cast<WORD>(std::lround(std::pow((i % 256) / 255.0, gamma) * 65535.0));
  return ramp;
}

Ramp Scaled(const Ramp& captured, int offset) {
  Ramp ramp{};
  for (std::size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = static_cast<WORD>(captured[i] * static_cast<long long>(100 + offset) / 100);
  return ramp;
}

int RampDistance(const Ramp& a, const Ramp& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
  return worst;
}

// The captured ramp, or one the slider writes (offsets -50 to -12 of it),
// read back within the display's rounding.
bool RampIsOneTheProgramWrites(const Ramp& now, const Ramp& captured) {
  if (RampDistance(now, captured) <= kRampTolerance) return true;
  for (int offset = -50; offset <= -12; ++offset)
    if (RampDistance(now, Scaled(captured, offset)) <= kRampTolerance) return true;
  return false;
}

// ---- processes and windows

std::wstring ProgramPath() {
  wchar_t value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(L"SCREENDIM_EXE", value, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(value, length) : L"screendim.exe";
}

struct Search {
  DWORD pid;
  bool visible_only;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectMainWindows(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (wcscmp(name, kMainClass) != 0) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (search.pid && pid != search.pid) return TRUE;
  if (search.visible_only && !IsWindowVisible(window)) return TRUE;
  search.found.push_back(window);
  return TRUE;
}

std::vector<HWND> MainWindows(DWORD pid, bool visible_only) {
  Search search{pid, visible_only, {}};
  EnumWindows(CollectMainWindows, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (!info_.hProcess) return;
    if (Running()) {
      if (HWND window = FindWindowNow()) PostMessageW(window, WM_CLOSE, 0, 0);
      if (!WaitForExit(5000ms)) TerminateProcess(info_.hProcess, 1);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }

  bool Start() {
    const std::wstring exe = ProgramPath();
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info_) != FALSE;
  }
  HWND FindWindowNow() const {
    const auto windows = MainWindows(info_.dwProcessId, false);
    return windows.empty() ? nullptr : windows.front();
  }
  HWND Window(std::chrono::milliseconds deadline = 10000ms) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
          const auto windows = MainWindows(info_.dwProcessId, true);
          found = windows.empty() ? nullptr : windows.front();
          return found != nullptr;
        },
        deadline);
    return found;
  }
  HWND Control(int id) const {
    HWND frame = GetDlgItem(FindWindowNow(), 1);
    return GetDlgItem(frame, id);
  }
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds deadline = 10000ms) const {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0)
      return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD thread_id() const { return info_.dwThreadId; }

 private:
  PROCESS_INFORMATION info_{};
};

// True when the window's thread answers a message within 2 s.
bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

POINT Centre(HWND window) {
  const RECT rect = ScreenRect(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Runs a shell command on the X side and waits for it; what it printed.
// Under Wine the handle of a Unix process does not tell when it ends, so the
// shell renames its output into place as its last act and that is waited
// for. The output goes through /tmp, which both sides reach (Z: is /).
std::string Shell(const std::string& command) {
  static unsigned serial = 0;
  char unix_file[MAX_PATH];
  std::snprintf(unix_file, sizeof(unix_file), "/tmp/soak-%lu-%u.out", GetCurrentProcessId(),
                ++serial);
  const std::string file = unix_file;
  std::string line = "Z:\\bin\\sh -c \"(" + command + ") > " + file + ".part 2>&1; mv " + file +
                     ".part " + file + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &info))
    return {};
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  std::string windows_file = "Z:" + file;
  std::replace(windows_file.begin(), windows_file.end(), '/', '\\');
  std::string output;
  WaitFor([&] { return GetFileAttributesA(windows_file.c_str()) != INVALID_FILE_ATTRIBUTES; },
          20000ms);
  if (FILE* in = std::fopen(windows_file.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), in)) > 0) output.append(buffer, n);
    std::fclose(in);
  }
  DeleteFileA(windows_file.c_str());
  return output;
}

void Xdo(const std::string& arguments) {
  Shell("xdotool " + arguments);
}

std::string Num(long value) {
  return std::to_string(value);
}

// Where the notification area put the program's icon: the small X window
// of Wine's explorer that the tray panel embeds, as the X tools list it
// (1 × 1 helpers aside: "0x600008 (has no name): ("explorer.exe" "explorer.exe")  20x36+0+0
// +1899+1043").
std::optional<POINT> TrayIconCentre() {
  const std::string out = Shell("xwininfo -root -tree | grep explorer.exe");
  std::size_t at = 0;
  while ((at = out.find(")  ", at)) != std::string::npos) {
    at += 3;
    int w = 0, h = 0, x = 0, y = 0;
    if (std::sscanf(out.c_str() + at, "%dx%d%*[-+]%*d%*[-+]%*d +%d+%d", &w, &h, &x, &y) == 4 &&
        w >= 8 && w <= 40 && h >= 8 && h <= 40)
      return POINT{x + w / 2, y + h / 2};
  }
  return std::nullopt;
}

// The pop-up menu the program shows, if one is up.
BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM param) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (wcscmp(name, L"#32768") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

HWND VisibleMenu() {
  HWND menu = nullptr;
  EnumWindows(FindVisibleMenu, reinterpret_cast<LPARAM>(&menu));
  return menu;
}

bool InModalLoop(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(thread, &info)) return false;
  return (info.flags & (GUI_INMOVESIZE | GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

// ---- the cycles

struct Tally {
  const char* kind;
  int passed = 0, failed = 0;
  std::vector<std::string> faults;
  void Check(bool ok, const std::string& what) {
    if (ok) return;
    if (faults.size() < 8) faults.push_back(what);
    ok_ = false;
  }
  void EndCycle() {
    (ok_ ? passed : failed)++;
    ok_ = true;
  }
  bool ok_ = true;
};

// Starts a copy on a known ramp and waits for it to dim; the ramp before.
std::optional<Ramp> StartOnRamp(Program& program, const Ramp& ramp, Tally& tally) {
  tally.Check(WriteScreenRamp(ramp), "the display refused the starting ramp");
  const Ramp before = ReadScreenRamp();
  if (!program.Start()) {
    tally.Check(false, "could not start the program");
    return std::nullopt;
  }
  HWND window = program.Window();
  tally.Check(window != nullptr, "no window appeared");
  if (!window) return std::nullopt;
  const bool dimmed = WaitFor(
      [&] { return RampDistance(ReadScreenRamp(), Scaled(before, -25)) <= kRampTolerance; });
  tally.Check(dimmed, "the screen was not dimmed to three quarters");
  return before;
}

void CheckEndedRestored(Program& program, const Ramp& before, Tally& tally,
                        const std::string& how) {
  const auto code = program.WaitForExit();
  tally.Check(code.has_value(), how + ": the program did not end");
  tally.Check(!code || *code == 0,
              how + ": exit code " + (code ? Num(static_cast<long>(*code)) : ""));
  tally.Check(ReadScreenRamp() == before, how + ": the ramp was not restored exactly");
}

void CloseCycles(int cycles, Tally& tally) {
  for (int i = 0; i < cycles; ++i) {
    Program program;
    const Ramp start = i % 2 ? CurvedRamp(0.8 + 0.05 * (i % 5)) : IdentityRamp();
    const auto before = StartOnRamp(program, start, tally);
    if (before) {
      HWND window = program.FindWindowNow();
      std::string how;
      switch (i % 3) {
        case 0: {
          how = "close button";
          const POINT at = Centre(program.Control(kCloseButton));
          Xdo("mousemove " + Num(at.x) + " " + Num(at.y) + " click 1");
          break;
        }
        case 1: {
          how = "tray menu";
          const auto icon = TrayIconCentre();
          tally.Check(icon.has_value(), "tray menu: the tray icon was not found");
          if (!icon) break;
          Xdo("mousemove " + Num(icon->x) + " " + Num(icon->y) + " click 3");
          HWND menu = nullptr;
          tally.Check(WaitFor([&] { return (menu = VisibleMenu()) != nullptr; }),
                      "tray menu: no menu opened");
          if (!menu) break;
          const POINT item = Centre(menu);
          Xdo("mousemove " + Num(item.x) + " " + Num(item.y) + " click 1");
          break;
        }
        default:
          how = "WM_CLOSE";
          PostMessageW(window, WM_CLOSE, 0, 0);
          break;
      }
      CheckEndedRestored(program, *before, tally, how);
    }
    tally.EndCycle();
  }
}

void PairCycles(int cycles, Tally& tally) {
  for (int i = 0; i < cycles; ++i) {
    const Ramp before = i % 2 ? CurvedRamp(0.9) : IdentityRamp();
    tally.Check(WriteScreenRamp(before), "the display refused the starting ramp");
    const Ramp captured = ReadScreenRamp();
    {
      Program a, b;
      const bool started = a.Start() && b.Start();
      tally.Check(started, "could not start two copies");
      if (started) {
        const bool one = WaitFor([&] { return a.Running() != b.Running(); }, 10000ms);
        tally.Check(one, "not exactly one copy stayed");
        if (one) {
          Program& survivor = a.Running() ? a : b;
          Program& quitter = a.Running() ? b : a;
          const auto code = quitter.WaitForExit();
          tally.Check(code && *code == 0, "the second copy did not end with 0");
          tally.Check(survivor.Window() != nullptr, "the survivor shows no window");
          tally.Check(MainWindows(0, true).size() == 1, "more than one window is shown");
          tally.Check(WaitFor([&] {
                        return RampDistance(ReadScreenRamp(), Scaled(captured, -25)) <=
                               kRampTolerance;
                      }),
                      "the survivor did not dim the screen");
          PostMessageW(survivor.FindWindowNow(), WM_CLOSE, 0, 0);
          CheckEndedRestored(survivor, captured, tally, "pair");
        }
      }
    }
    tally.EndCycle();
  }
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = static_cast<LONG>(std::lround(x * 65535.0 / (GetSystemMetrics(SM_CXSCREEN) - 1)));
    input.mi.dy = static_cast<LONG>(std::lround(y * 65535.0 / (GetSystemMetrics(SM_CYSCREEN) - 1)));
  }
  SendInput(1, &input, sizeof(input));
}

bool CursorAt(int x, int y) {
  return WaitFor([&] {
    POINT point{};
    GetCursorPos(&point);
    return point.x == x && point.y == y;
  });
}

// Real input: presses the knob, drags it to and fro across the track and
// well beyond both of its ends, releases; every so often the window is
// hidden and shown from the tray. The ramp is read after every move batch.
void DragCycles(int cycles, int moves_per_cycle, int toggles_per_cycle, Tally& tally,
                long& total_moves, long& total_toggles) {
  std::mt19937 random(6);
  for (int i = 0; i < cycles; ++i) {
    Program program;
    const auto before = StartOnRamp(program, IdentityRamp(), tally);
    if (before) {
      HWND window = program.FindWindowNow();
      const int per_drag = 100;
      for (int done = 0; done < moves_per_cycle; done += per_drag) {
        const RECT track = ScreenRect(program.Control(kTrack));
        const POINT knob = Centre(program.Control(kKnob));
        SendMouse(MOUSEEVENTF_MOVE, knob.x, knob.y);
        CursorAt(knob.x, knob.y);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        const int y = knob.y;
        std::uniform_int_distribution<int> x_of(track.left - 120, track.right + 120);
        for (int m = 0; m < per_drag; ++m) {
          // Sweeps and jumps: across the track, past its ends, back.
          const int x = m % 10 == 0
                            ? x_of(random)
                            : track.left - 60 + (m * 37 + done) % (track.right - track.left + 120);
          SendMouse(MOUSEEVENTF_MOVE, x, y + (m % 7) - 3);
          ++total_moves;
          if (m % 10 == 9) {
            tally.Check(RampIsOneTheProgramWrites(ReadScreenRamp(), *before),
                        "a ramp the slider cannot write");
          }
        }
        SendMouse(MOUSEEVENTF_LEFTUP);
        tally.Check(Answers(window), "the program stopped answering during a drag");
        tally.Check(RampIsOneTheProgramWrites(ReadScreenRamp(), *before),
                    "a ramp the slider cannot write after a drag");
        // Toggles through the tray's callback, each waited for, with the
        // pointer mid-screen, where a shown window is placed.
        SendMouse(MOUSEEVENTF_MOVE, GetSystemMetrics(SM_CXSCREEN) / 2,
                  GetSystemMetrics(SM_CYSCREEN) / 2);
        CursorAt(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
        const int toggles = toggles_per_cycle * per_drag / std::max(moves_per_cycle, per_drag);
        for (int t = 0; t < toggles; ++t) {
          const bool shown = IsWindowVisible(window) != FALSE;
          PostMessageW(window, kTrayCallback, 1, WM_LBUTTONUP);
          tally.Check(WaitFor([&] { return (IsWindowVisible(window) != FALSE) != shown; }),
                      "a tray click did not toggle the window");
          ++total_toggles;
        }
        if (!IsWindowVisible(window)) {
          PostMessageW(window, kTrayCallback, 1, WM_LBUTTONUP);
          WaitFor([&] { return IsWindowVisible(window) != FALSE; });
        }
        tally.Check(Answers(window), "the program stopped answering after tray toggles");
      }
      PostMessageW(window, WM_CLOSE, 0, 0);
      CheckEndedRestored(program, *before, tally, "drag");
    }
    tally.EndCycle();
  }
}

// Messages from another process: tray callbacks with arbitrary codes, mouse
// traffic at random places on the window and the knob, unknown private
// messages. A press on the window's surface starts a window move and a
// right click on the tray opens the menu; both are modal loops that a user
// ends (release, Escape), and so does this.
void StrayCycles(int cycles, int messages_per_cycle, Tally& tally, long& total_messages) {
  std::mt19937 random(61);
  constexpr int kBatch = 100;
  for (int i = 0; i < cycles; ++i) {
    Program program;
    const auto before = StartOnRamp(program, CurvedRamp(0.85), tally);
    if (before) {
      HWND window = program.FindWindowNow();
      HWND knob = program.Control(kKnob);
      std::uniform_int_distribution<int> coordinate(-400, 400);
      std::uniform_int_distribution<int> word(0, 0xFFFF);
      std::uniform_int_distribution<int> kind(0, 9);
      for (int sent = 0; sent < messages_per_cycle; sent += kBatch) {
        for (int m = 0; m < kBatch; ++m) {
          const LPARAM at = MAKELPARAM(coordinate(random), coordinate(random));
          switch (kind(random)) {
            case 0:
            case 1: {
              // Any notification but the two that open the menu.
              UINT code = static_cast<UINT>(word(random));
              if (code == WM_RBUTTONUP || code == WM_CONTEXTMENU) code = WM_MOUSEMOVE;
              PostMessageW(window, kTrayCallback, static_cast<WPARAM>(word(random)), code);
              break;
            }
            case 2: PostMessageW(window, WM_MOUSEMOVE, word(random) & 0x1F, at); break;
            case 3:
              // The press starts the window's move loop once the loop has
              // taken it; only a release that comes after that ends it.
              PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
              WaitFor([&] { return InModalLoop(program.thread_id()); }, 500ms);
              PostMessageW(window, WM_LBUTTONUP, 0, at);
              WaitFor([&] { return !InModalLoop(program.thread_id()); }, 500ms);
              break;
            case 4:
              PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, at);
              PostMessageW(window, WM_RBUTTONUP, 0, at);
              break;
            case 5:
            case 6: PostMessageW(knob, WM_MOUSEMOVE, word(random) & 0x1F, at); break;
            case 7:
              PostMessageW(knob, WM_LBUTTONDOWN, MK_LBUTTON, at);
              PostMessageW(knob, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(coordinate(random), 5));
              PostMessageW(knob, WM_LBUTTONUP, 0, at);
              break;
            case 8: PostMessageW(knob, WM_LBUTTONDBLCLK, MK_LBUTTON, at); break;
            default: {
              std::uniform_int_distribution<UINT> app(WM_APP + 2, 0xBFFF);
              PostMessageW(random() % 2 ? window : knob, app(random), word(random), word(random));
              break;
            }
          }
          ++total_messages;
        }
        // A menu opened on purpose, ended with Escape.
        if ((sent / kBatch) % 10 == 0) {
          PostMessageW(window, kTrayCallback, 1, WM_RBUTTONUP);
          HWND menu = nullptr;
          tally.Check(WaitFor([&] { return (menu = VisibleMenu()) != nullptr; }),
                      "a right click on the tray opened no menu");
          if (menu) {
            // Escape from xdotool goes to the X focus, which with no window
            // manager and a menu opened by a posted click is not the menu's,
            // and a click on the bare root window never reaches Wine; then
            // the system's own cancel ends the menu.
            Xdo("key Escape");
            if (!WaitFor([] { return VisibleMenu() == nullptr; }, 500ms))
              PostMessageW(window, WM_CANCELMODE, 0, 0);
            tally.Check(WaitFor([] { return VisibleMenu() == nullptr; }), "the menu stayed up");
          }
          total_messages += 2;
        }
        PostMessageW(knob, WM_LBUTTONUP, 0, 0);
        tally.Check(Answers(window), "the program stopped answering after a batch");
        // A move loop still running would take the next real input; end it
        // the way a user would.
        if (InModalLoop(program.thread_id())) {
          Xdo("key Escape");
          if (!WaitFor([&] { return !InModalLoop(program.thread_id()); }, 500ms))
            PostMessageW(window, WM_CANCELMODE, 0, 0);
          tally.Check(WaitFor([&] { return !InModalLoop(program.thread_id()); }),
                      "a modal loop did not end on Escape");
        }
        tally.Check(RampIsOneTheProgramWrites(ReadScreenRamp(), *before),
                    "a ramp the slider cannot write");
      }
      tally.Check(program.Running(), "the program ended during stray input");
      if (!IsWindowVisible(window)) {
        PostMessageW(window, kTrayCallback, 1, WM_LBUTTONUP);
        WaitFor([&] { return IsWindowVisible(window) != FALSE; });
      }
      PostMessageW(window, WM_CLOSE, 0, 0);
      CheckEndedRestored(program, *before, tally, "after stray input");
    }
    tally.EndCycle();
  }
}

// On a display without gamma the program must still come up and go cleanly.
void RefusingRampCycles(int cycles, Tally& tally) {
  Ramp probe = IdentityRamp();
  HDC screen = GetDC(nullptr);
  const bool refuses = GetDeviceGammaRamp(screen, probe.data()) == FALSE &&
                       SetDeviceGammaRamp(screen, probe.data()) == FALSE;
  ReleaseDC(nullptr, screen);
  tally.Check(refuses, "this display accepts gamma ramps: the cycle proves nothing here");
  for (int i = 0; i < cycles; ++i) {
    Program program;
    const bool started = program.Start();
    tally.Check(started, "could not start the program");
    HWND window = started ? program.Window() : nullptr;
    tally.Check(window != nullptr, "no window appeared");
    if (window) {
      tally.Check(Answers(window), "the program does not answer");
      PostMessageW(window, WM_CLOSE, 0, 0);
      const auto code = program.WaitForExit();
      tally.Check(code && *code == 0, "did not end with exit code 0");
    }
    tally.EndCycle();
  }
}

void Print(const Tally& tally, const std::string& detail, double seconds) {
  std::printf("%-22s %3d passed, %d failed  (%s; %.1f s)\n", tally.kind, tally.passed, tally.failed,
              detail.c_str(), seconds);
  for (const std::string& fault : tally.faults) std::printf("    fault: %s\n", fault.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  bool short_run = false, refusing = false;
  std::string only;  // one cycle kind, while working on it
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--short")
      short_run = true;
    else if (arg == "--refusing-ramp")
      refusing = true;
    else if (arg.rfind("--only=", 0) == 0)
      only = arg.substr(7);
    else {
      std::fprintf(stderr, "usage: soak.exe [--short] [--refusing-ramp] [--only=KIND]\n");
      return 2;
    }
  }
  for (HWND window : MainWindows(0, false)) PostMessageW(window, WM_CLOSE, 0, 0);
  WaitFor([] { return MainWindows(0, false).empty(); });

  std::vector<Tally> tallies;
  auto run = [&](const char* kind, auto body) {
    if (!only.empty() && only != kind) return;
    Tally tally{kind};
    const auto start = Clock::now();
    const std::string detail = body(tally);
    Print(tally, detail, std::chrono::duration<double>(Clock::now() - start).count());
    tallies.push_back(tally);
  };

  if (refusing) {
    run("refused-ramp", [&](Tally& t) {
      const int n = short_run ? 2 : 5;
      RefusingRampCycles(n, t);
      return Num(n) + " start/answer/close cycles";
    });
  } else {
    run("close", [&](Tally& t) {
      const int n = short_run ? 3 : 50;
      CloseCycles(n, t);
      return Num(n) + " cycles: close button, tray menu, WM_CLOSE in turn";
    });
    run("pairs", [&](Tally& t) {
      const int n = short_run ? 2 : 20;
      PairCycles(n, t);
      return Num(n) + " pairs";
    });
    run("drag", [&](Tally& t) {
      long moves = 0, toggles = 0;
      if (short_run)
        DragCycles(1, 300, 30, t, moves, toggles);
      else
        DragCycles(5, 1000, 100, t, moves, toggles);
      return Num(moves) + " moves, " + Num(toggles) + " tray toggles";
    });
    run("stray", [&](Tally& t) {
      long messages = 0;
      if (short_run)
        StrayCycles(1, 500, t, messages);
      else
        StrayCycles(2, 5000, t, messages);
      return Num(messages) + " messages";
    });
  }

  int passed = 0, failed = 0;
  for (const Tally& tally : tallies) {
    passed += tally.passed;
    failed += tally.failed;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
