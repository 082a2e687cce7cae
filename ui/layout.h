// MainWindow as data: the ids of the window, its controls and its menu, and
// the layout table the toolkit builds them from.
#pragma once

#include <span>

#include "toolkit/toolkit.h"

// Row ids of the layout; each equals the row's index, and a control's window
// id on the platform, which the end-to-end tests rely on.
enum : tk::Id {
  MainWindow,
  外形框1,             // the frame box, the window's only child
  标签1,               // the brightness readout
  超级按钮_最小化,     // "—": hides the window
  超级按钮_退出,       // "×": closes the program
  图形按钮_滑动按钮,   // the slider's knob
  图片框_滑动块底图,   // the slider's track
  标签_滑动块长度,     // hidden; its width holds the knob's distance along the track
  透明标签1,           // the end captions 暗 and 亮
  TrayMenu,
  ExitMenuItem,
  kLayoutRows,
};

std::span<const tk::Object> MainWindowLayout();
