// The toolkit's five kinds of control on Win32: the frame box, the label, the
// transparent label, the picture box and the flat owner-drawn push button,
// each drawn in full by its own code, with the fonts, the decoded track image
// and the tooltip they need.
#include <windows.h>
// These need windows.h first.
#include <commctrl.h>
#include <wincodec.h>
#include <windowsx.h>

#include <string>

#include "toolkit/win32/internal.h"

namespace tk::win32 {
namespace {

constexpr wchar_t kFrameClass[] = L"ScreendimFrame";
constexpr wchar_t kLabelClass[] = L"ScreendimLabel";
constexpr wchar_t kPictureClass[] = L"ScreendimPicture";
constexpr UINT_PTR kButtonSubclass = 1;

COLORREF ColourOf(Colour colour) {
  return colour == kButtonFace ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

void Fill(HDC dc, const RECT& rect, Colour colour) {
  Brush brush{CreateSolidBrush(ColourOf(colour))};
  FillRect(dc, &rect, brush.get());
}

Live& LiveOf(HWND window) {
  return *reinterpret_cast<Live*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HFONT FontOf(const Live& live) {
  return live.font ? live.font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
  GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1);
  return text;
}

// The Chinese character set with no face name picks a face whose Chinese
// characters are 16 px wide and spaces 8 px at height -16 on every locale
// (SimSun on Windows, AR PL UMing under Wine); the captions are placed by it.
Font MakeFont(int height) {
  return Font{CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH,
                          nullptr)};
}

// The tooltip keeps the platform's own size and weight, but its face must
// draw Chinese: the standard tooltip font (Tahoma under Wine, Segoe UI on an
// English Windows) shows "修改" as two empty boxes where no font fallback
// steps in. The Chinese character set with no face name picks one that can.
HFONT TooltipFont() {
  static const Font font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW face{};
    face.lfHeight = -12;
    face.lfWeight = FW_NORMAL;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      face = metrics.lfStatusFont;
    face.lfCharSet = GB2312_CHARSET;
    face.lfFaceName[0] = L'\0';
    return Font{CreateFontIndirectW(&face)};
  }();
  return font.get();
}

void DrawLine(HDC dc, const Live& live, const RECT& rect, UINT extra) {
  const std::wstring text = TextOf(live.window);
  Selection font(dc, FontOf(live));
  SetTextColor(dc, ColourOf(live.row->fore));
  SetBkMode(dc, TRANSPARENT);
  RECT area = rect;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | extra);
}

void OnFramePaint(HWND window) {
  PaintDC paint(window);
  const Live& live = LiveOf(window);
  RECT client{};
  GetClientRect(window, &client);
  Fill(paint.get(), client, live.row->back);
  Pen pen{CreatePen(PS_INSIDEFRAME, 2, ColourOf(live.row->fore))};
  Brush fill{CreateSolidBrush(ColourOf(live.row->fill))};
  Selection with_pen(paint.get(), pen.get());
  Selection with_fill(paint.get(), fill.get());
  Rectangle(paint.get(), 0, 0, live.row->width, live.row->height);
}

// A transparent label paints nothing but its text: what lies beneath it has
// been painted first, since transparent windows are not clipped out of their
// parent and siblings.
void OnLabelPaint(HWND window) {
  PaintDC paint(window);
  const Live& live = LiveOf(window);
  RECT client{};
  GetClientRect(window, &client);
  if (live.row->kind == Kind::Label) Fill(paint.get(), client, live.row->back);
  DrawLine(paint.get(), live, client, 0);
}

void OnPicturePaint(HWND window) {
  PaintDC paint(window);
  const Live& live = LiveOf(window);
  RECT client{};
  GetClientRect(window, &client);
  if (!live.image) return Fill(paint.get(), client, live.row->back);
  MemoryDC source(paint.get());
  Selection image(source.get(), live.image.get());
  SetStretchBltMode(paint.get(), COLORONCOLOR);
  StretchBlt(paint.get(), 0, 0, client.right, client.bottom, source.get(), 0, 0, live.image_width,
             live.image_height, SRCCOPY);
}

// The frame box is the buttons' parent, so their drawing and clicks come here.
void OnDrawItem(const DRAWITEMSTRUCT& item) {
  const Live& live = LiveOf(item.hwndItem);
  const ButtonLook& look = live.row->button;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool hot = pressed || live.hover;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const Colour back = hot ? look.hover_back : focused ? look.focus_back : look.normal_back;
  const Colour text = hot ? look.hover_text : focused ? look.focus_text : look.normal_text;

  // Drawn off screen and copied in one go, so hovering never flickers.
  const RECT& rect = item.rcItem;
  MemoryDC buffer(item.hDC);
  Bitmap pixels{CreateCompatibleBitmap(item.hDC, rect.right - rect.left, rect.bottom - rect.top)};
  Selection target(buffer.get(), pixels.get());
  Fill(buffer.get(), rect, back);
  const std::wstring caption = TextOf(item.hwndItem);
  if (!caption.empty()) {
    Selection font(buffer.get(), FontOf(live));
    SetTextColor(buffer.get(), ColourOf(text));
    SetBkMode(buffer.get(), TRANSPARENT);
    RECT area = rect;
    if (pressed) OffsetRect(&area, 1, 1);
    // Measured as word-wrapped text, then centred both ways in the button.
    RECT measured = area;
    DrawTextW(buffer.get(), caption.c_str(), -1, &measured,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    area.top += (area.bottom - area.top - height) / 2;
    area.bottom = area.top + height;
    DrawTextW(buffer.get(), caption.c_str(), -1, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  }
  BitBlt(item.hDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
         buffer.get(), rect.left, rect.top, SRCCOPY);
}

void OnFrameCommand(WPARAM wparam, LPARAM lparam) {
  if (HIWORD(wparam) != BN_CLICKED) return;
  const Live& live = LiveOf(reinterpret_cast<HWND>(lparam));
  if (live.row->on.clicked) live.row->on.clicked();
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: OnFramePaint(window); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers everything
    case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam)); return TRUE;
    case WM_COMMAND: OnFrameCommand(wparam, lparam); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
  }
}

LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: OnLabelPaint(window); return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcW(window, message, wparam, lparam);
  }
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: OnPicturePaint(window); return 0;
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcW(window, message, wparam, lparam);
  }
}

int Modifiers(WPARAM keys) {
  return ((keys & MK_CONTROL) ? 1 : 0) | ((keys & MK_SHIFT) ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

void RaiseMouse(MouseHandler handler, WPARAM keys, LPARAM point) {
  if (handler) handler(GET_X_LPARAM(point), GET_Y_LPARAM(point), Modifiers(keys));
}

// Hover starts with the first move over the button and ends when the mouse
// leaves it; a pointer that arrives with the left button held does not
// start it. TrackMouseEvent works whether or not the window is active.
void OnButtonMouseMove(Live& live, WPARAM keys) {
  if (live.hover || (keys & MK_LBUTTON)) return;
  live.hover = true;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, live.window, 0};
  TrackMouseEvent(&track);
  InvalidateRect(live.window, nullptr, FALSE);
}

void OnButtonMouseLeave(Live& live) {
  live.hover = false;
  InvalidateRect(live.window, nullptr, FALSE);
}

// The handlers run first and return nothing; the button's own processing
// always follows, so it keeps taking the capture and drawing itself pressed.
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR) {
  Live& live = LiveOf(window);
  const Events& on = live.row->on;
  switch (message) {
    case WM_MOUSEMOVE:
      OnButtonMouseMove(live, wparam);
      RaiseMouse(on.mouse_moved, wparam, lparam);
      break;
    case WM_MOUSELEAVE: OnButtonMouseLeave(live); break;
    case WM_LBUTTONDOWN: RaiseMouse(on.left_pressed, wparam, lparam); break;
    case WM_LBUTTONUP: RaiseMouse(on.left_released, wparam, lparam); break;
    case WM_CAPTURECHANGED:
      if (on.capture_lost) on.capture_lost();
      break;
    case WM_NCDESTROY: RemoveWindowSubclass(window, ButtonProc, kButtonSubclass); break;
    default: break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

// Decodes an image carried as a resource with the platform's codecs into a
// 32-bit top-down DIB section.
void DecodeImage(Live& live, HINSTANCE instance, const char* name) {
  HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  auto* bytes = static_cast<BYTE*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return;

  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  UINT width = 0, height = 0;
  bool ok =
      SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&factory))) &&
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromMemory(bytes, SizeofResource(instance, found))) &&
      SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                 &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                      nullptr, 0, WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&width, &height));
  if (ok) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    Bitmap bitmap{CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0)};
    if (bitmap && SUCCEEDED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                                  static_cast<BYTE*>(pixels)))) {
      live.image = std::move(bitmap);
      live.image_width = static_cast<int>(width);
      live.image_height = static_cast<int>(height);
    }
  }
  for (IUnknown* object : {static_cast<IUnknown*>(converter), static_cast<IUnknown*>(frame),
                           static_cast<IUnknown*>(decoder), static_cast<IUnknown*>(stream),
                           static_cast<IUnknown*>(factory)})
    if (object) object->Release();
}

void RegisterClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
  RegisterClass(instance, kFrameClass, FrameProc);
  RegisterClass(instance, kLabelClass, LabelProc);
  RegisterClass(instance, kPictureClass, PictureProc);
}

void CreateControl(Live& live, HWND parent) {
  const tk::Object& row = *live.row;
  // Every control clips its siblings, so each paints only where no sibling
  // above it lies; a control with children leaves them to paint themselves.
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (row.visible ? WS_VISIBLE : 0);
  DWORD ex_style = 0;
  const wchar_t* window_class = kLabelClass;
  switch (row.kind) {
    case Kind::FrameBox:
      window_class = kFrameClass;
      style |= WS_CLIPCHILDREN;
      break;
    case Kind::Label: break;
    case Kind::TransparentLabel: ex_style = WS_EX_TRANSPARENT; break;
    case Kind::PictureBox: window_class = kPictureClass; break;
    case Kind::Button:
      window_class = WC_BUTTONW;
      style |= BS_OWNERDRAW;
      break;
    default: return;
  }
  if (row.font_height > 0) live.font = MakeFont(row.font_height);
  if (row.kind == Kind::PictureBox && row.image) DecodeImage(live, Toolkit().instance, row.image);
  const std::wstring text(row.text.begin(), row.text.end());
  live.window = CreateWindowExW(
      ex_style, window_class, text.c_str(), style, row.left, row.top, row.width, row.height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), Toolkit().instance, nullptr);
  if (!live.window) return;
  SetWindowLongPtrW(live.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&live));
  if (row.kind == Kind::Button) {
    SendMessageW(live.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(live)), FALSE);
    SetWindowSubclass(live.window, ButtonProc, kButtonSubclass, 0);
  }
}

void AddTooltips(HWND owner) {
  State& s = Toolkit();
  for (const Live& live : s.objects) {
    if (!live.window || live.row->tooltip.empty()) continue;
    if (!s.tooltip) {
      s.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                  nullptr, s.instance, nullptr);
      SendMessageW(s.tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
      if (HFONT font = TooltipFont())
        SendMessageW(s.tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    std::wstring text(live.row->tooltip.begin(), live.row->tooltip.end());
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(live.window);
    tool.lpszText = text.data();
    SendMessageW(s.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

PressRoute RouteOfPress(const Live& live) {
  switch (live.row->kind) {
    case Kind::Window: return PressRoute::MoveAndDispatch;
    case Kind::FrameBox:
    case Kind::Label:
    case Kind::PictureBox: return PressRoute::MoveOnly;
    default: return PressRoute::Dispatch;
  }
}

}  // namespace tk::win32
