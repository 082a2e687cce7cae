// The layout of MainWindow: every control's kind, place, texts, colours,
// fonts and images, and the handlers bound to its events. The rows below the
// frame box are in stacking order, topmost first.
//
// The knob starts at 187 with the length label 159 wide and the readout at 66:
// the place the slider's own rule gives for the -25 % that start-up applies,
// so the knob, the readout and the screen agree from the first frame.
#include "ui/layout.h"

#include <array>

#include "app/app.h"
#include "ui/slider.h"
#include "ui/tray.h"

namespace {

using tk::Kind;
using tk::Rgb;

constexpr tk::Colour kBlue = Rgb(42, 87, 154);
constexpr tk::Colour kLightBlue = Rgb(62, 109, 182);
constexpr tk::Colour kRed = Rgb(255, 0, 0);
constexpr tk::Colour kWhite = Rgb(255, 255, 255);
constexpr tk::Colour kCaptionBlue = Rgb(0, 96, 192);
constexpr tk::Colour kMagenta = Rgb(255, 0, 255);

constexpr tk::ButtonLook kBlueButton{kBlue, kWhite, kLightBlue, kWhite, kBlue, kWhite};
constexpr tk::ButtonLook kCloseButton{kBlue, kWhite, kRed, kWhite, kBlue, kWhite};

constexpr std::array<tk::Object, kLayoutRows> kLayout{{
    {.id = MainWindow, .kind = Kind::Window, .name = "MainWindow", .width = 314, .height = 110,
     .back = kWhite, .image = tk::kProgramIcon,
     .on = {.created = OnMainWindowCreated,
            .destroying = OnMainWindowDestroying,
            .tray = OnTrayEvent,
            .session_ending = OnSessionEnding,
            .tray_area_reset = OnTaskbarCreated}},
    {.id = 外形框1, .kind = Kind::FrameBox, .parent = MainWindow, .name = "外形框1", .left = 2,
     .top = 2, .width = 310, .height = 86, .back = tk::kButtonFace, .fore = kBlue, .fill = kWhite},
    {.id = 标签1, .kind = Kind::Label, .parent = 外形框1, .name = "标签1", .left = 0, .top = 0,
     .width = 228, .height = 28, .text = u"        屏幕亮度：66", .back = kBlue, .fore = kWhite,
     .font_height = 16},
    {.id = 超级按钮_最小化, .kind = Kind::Button, .parent = 外形框1, .name = "超级按钮_最小化",
     .left = 229, .top = 0, .width = 40, .height = 28, .text = u"—", .tooltip = u"修改",
     .font_height = 14, .button = kBlueButton, .on = {.clicked = OnMinimiseClicked}},
    {.id = 超级按钮_退出, .kind = Kind::Button, .parent = 外形框1, .name = "超级按钮_退出",
     .left = 270, .top = 0, .width = 40, .height = 28, .text = u"×", .font_height = 16,
     .button = kCloseButton, .on = {.clicked = OnCloseClicked}},
    {.id = 图形按钮_滑动按钮, .kind = Kind::Button, .parent = 外形框1, .name = "图形按钮_滑动按钮",
     .left = 187, .top = 41, .width = 12, .height = 28, .font_height = 14, .button = kBlueButton,
     .on = {.left_pressed = OnKnobPressed,
            .mouse_moved = OnKnobMoved,
            .left_released = OnKnobReleased,
            .capture_lost = OnKnobCaptureLost}},
    {.id = 图片框_滑动块底图, .kind = Kind::PictureBox, .parent = 外形框1, .name = "图片框_滑动块底图",
     .left = 28, .top = 51, .width = 252, .height = 8, .back = tk::kButtonFace,
     .image = tk::kTrackImage},
    {.id = 标签_滑动块长度, .kind = Kind::Label, .parent = 外形框1, .name = "标签_滑动块长度",
     .left = 28, .top = 65, .width = 159, .height = 4, .visible = false, .back = kMagenta},
    {.id = 透明标签1, .kind = Kind::TransparentLabel, .parent = 外形框1, .name = "透明标签1",
     .left = 7, .top = 46, .width = 301, .height = 17,
     .text = u"暗                                 亮", .fore = kCaptionBlue, .font_height = 16},
    {.id = TrayMenu, .kind = Kind::Menu, .parent = MainWindow, .name = "TrayMenu",
     .visible = false, .text = u"菜单"},
    {.id = ExitMenuItem, .kind = Kind::MenuItem, .parent = TrayMenu, .name = "ExitMenuItem",
     .text = u"退出", .on = {.selected = OnExitMenuItemSelected}},
}};

constexpr bool RowsAreInIdOrder() {
  for (std::size_t i = 0; i < kLayout.size(); ++i)
    if (kLayout[i].id != static_cast<tk::Id>(i)) return false;
  return true;
}
static_assert(RowsAreInIdOrder(), "the toolkit finds a row by its id");
static_assert(kLayout[0].kind == Kind::Window, "the window comes first");

}  // namespace

std::span<const tk::Object> MainWindowLayout() { return kLayout; }
