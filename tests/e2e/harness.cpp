// The end-to-end harness: processes, windows, the gamma ramp, X input and
// screen captures, all through the real Win32 API under Wine.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace e2e {
namespace {

constexpr wchar_t kMainClass[] = L"ScreendimWindow";

std::wstring Environment(const wchar_t* name, const wchar_t* fallback) {
  wchar_t value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(value, length) : fallback;
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

void WriteBmp(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + bytes;
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(pixels.data(), 1, bytes, out);
    std::fclose(out);
  }
}

}  // namespace

Ramp ReadScreenRamp() {
  Ramp ramp{};
  HDC screen = GetDC(nullptr);
  GetDeviceGammaRamp(screen, ramp.data());
  ReleaseDC(nullptr, screen);
  return ramp;
}

bool WriteScreenRamp(const Ramp& ramp) {
  HDC screen = GetDC(nullptr);
  Ramp copy = ramp;
  const bool ok = SetDeviceGammaRamp(screen, copy.data()) != FALSE;
  ReleaseDC(nullptr, screen);
  return ok;
}

Ramp IdentityRamp() {
  Ramp ramp{};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 256; ++i) ramp[c * 256 + i] = static_cast<WORD>(i * 257);
  return ramp;
}

Ramp CurvedRamp() {
  Ramp ramp{};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 256; ++i)
      ramp[c * 256 + i] = static_cast<WORD>(std::lround(std::pow(i / 255.0, 0.8) * 65535.0));
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

Program::~Program() {
  if (!info_.hProcess) return;
  if (Running() && !Close()) TerminateProcess(info_.hProcess, 1);
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

bool Program::Start() {
  std::wstring exe = Environment(L"SCREENDIM_EXE", L"screendim.exe");
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_) != FALSE;
}

HWND Program::FindWindowNow() const {
  const auto windows = MainWindows(info_.dwProcessId, false);
  return windows.empty() ? nullptr : windows.front();
}

HWND Program::Window(std::chrono::milliseconds deadline) {
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

HWND Program::Control(int id) {
  HWND frame = GetDlgItem(Window(), kFrame);
  return id == kFrame ? frame : GetDlgItem(frame, id);
}

std::optional<DWORD> Program::WaitForExit(std::chrono::milliseconds deadline) {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool Program::Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Program::Close() {
  if (HWND window = FindWindowNow()) PostMessageW(window, WM_CLOSE, 0, 0);
  return WaitForExit();
}

std::vector<HWND> AllMainWindows() { return MainWindows(0, true); }

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

void Xdo(const std::string& arguments) {
  std::string command = "Z:\\bin\\sh -c \"xdotool " + arguments + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &info))
      << "could not run xdotool " << arguments;
  WaitForSingleObject(info.hProcess, 5000);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
}

void MovePointer(int x, int y) {
  Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
  EXPECT_TRUE(WaitFor([&] {
    POINT point{};
    GetCursorPos(&point);
    return point.x == x && point.y == y;
  })) << "the pointer did not reach " << x << "," << y;
}

Capture::Capture(const RECT& area)
    : width_(area.right - area.left), height_(area.bottom - area.top) {
  pixels_.resize(static_cast<std::size_t>(width_) * height_);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = source[i] & 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

std::uint32_t Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFF000000u;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

std::string Capture::Save(const std::string& name) const {
  const std::wstring folder = Environment(L"E2E_ARTIFACTS", L".");
  const std::string path = std::string(folder.begin(), folder.end()) + "\\" + name + ".bmp";
  WriteBmp(path, width_, height_, pixels_);
  return path;
}

std::string Hex(std::uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof(text), "#%06X", static_cast<unsigned>(rgb));
  return text;
}

void ScreendimTest::SetUp() {
  for (HWND window : AllMainWindows()) PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([] { return AllMainWindows().empty(); })) << "a copy from before is still running";
  ASSERT_TRUE(WriteScreenRamp(IdentityRamp())) << "the display refuses gamma ramps";
}

void ScreendimTest::TearDown() {
  for (HWND window : AllMainWindows()) PostMessageW(window, WM_CLOSE, 0, 0);
  WaitFor([] { return AllMainWindows().empty(); });
}

}  // namespace e2e
