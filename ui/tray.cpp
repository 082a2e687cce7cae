// The tray icon is the window's handle: with the window hidden it is the only
// way back to it and the only way to end the program from within, so it is
// put back whenever the notification area is re-created.
#include "ui/tray.h"

#include "toolkit/toolkit.h"
#include "ui/layout.h"

namespace {

constexpr std::u16string_view kTrayTooltip = u"屏幕亮度";

}  // namespace

void InstallTrayIcon() { tk::SetTrayIcon(MainWindow, tk::kTrayIconImage, kTrayTooltip); }

// Explorer restarting loses every tray icon; without ours a hidden window
// could never be shown or closed again, and the screen would stay dimmed.
void OnTaskbarCreated() { InstallTrayIcon(); }

void OnTrayEvent(int type) {
  if (type == tk::kTrayLeftClick) {
    if (!tk::GetVisible(MainWindow)) {
      tk::SetLeft(MainWindow, tk::GetCursorX() - kShowLeftOfCursor);
      tk::SetTop(MainWindow, tk::GetCursorY() - kShowAboveCursor);
    }
    tk::SetVisible(MainWindow, !tk::GetVisible(MainWindow));
  } else if (type == tk::kTrayContextMenu) {
    tk::PopUpTrayMenu(MainWindow, TrayMenu);
  }
}

void OnMinimiseClicked() { tk::SetVisible(MainWindow, false); }

void OnCloseClicked() { tk::RequestDestroy(MainWindow); }

void OnExitMenuItemSelected() { tk::RequestDestroy(MainWindow); }
