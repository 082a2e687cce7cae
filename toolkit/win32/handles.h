// Tiny owners for the Win32 handles the toolkit makes: each frees its handle
// exactly once, copying is deleted, and moving hands the handle on. Each kind
// keeps a count of the handles alive, so a debug build can show that a
// thousand slider moves or repaints leave nothing behind.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

namespace tk::win32 {

enum class HandleKind { Gdi, Icon, Menu, Kernel, Count };

// Live handles of one kind, over the whole process.
inline std::atomic<int> live_handles[static_cast<int>(HandleKind::Count)];

inline int LiveHandles(HandleKind kind) { return live_handles[static_cast<int>(kind)].load(); }

template <typename H, HandleKind K, auto Free>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H handle) : handle_(handle) {
    if (handle_) ++live_handles[static_cast<int>(K)];
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~Owned() { reset(); }

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_) {
      Free(handle_);
      --live_handles[static_cast<int>(K)];
      handle_ = nullptr;
    }
  }

 private:
  H handle_ = nullptr;
};

inline void FreeGdi(HGDIOBJ object) { DeleteObject(object); }
inline void FreeIcon(HICON icon) { DestroyIcon(icon); }
inline void FreeMenu(HMENU menu) { DestroyMenu(menu); }
inline void FreeKernel(HANDLE handle) { CloseHandle(handle); }

using Font = Owned<HFONT, HandleKind::Gdi, FreeGdi>;
using Brush = Owned<HBRUSH, HandleKind::Gdi, FreeGdi>;
using Pen = Owned<HPEN, HandleKind::Gdi, FreeGdi>;
using Bitmap = Owned<HBITMAP, HandleKind::Gdi, FreeGdi>;
using Icon = Owned<HICON, HandleKind::Icon, FreeIcon>;
using Menu = Owned<HMENU, HandleKind::Menu, FreeMenu>;
using KernelHandle = Owned<HANDLE, HandleKind::Kernel, FreeKernel>;

// A memory device context, deleted with DeleteDC.
class MemoryDC {
 public:
  explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {
    if (dc_) ++live_handles[static_cast<int>(HandleKind::Gdi)];
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (dc_) {
      DeleteDC(dc_);
      --live_handles[static_cast<int>(HandleKind::Gdi)];
    }
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window) { BeginPaint(window_, &paint_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(window_, &paint_); }
  HDC get() const { return paint_.hdc; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

// Selects an object into a device context and puts the old one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace tk::win32
