// The tray icon and the window commands: show, hide and close.
#pragma once

inline constexpr int kShowLeftOfCursor = 157;  // centres the 314-wide window
inline constexpr int kShowAboveCursor = 120;   // its bottom 30 px above the cursor

void InstallTrayIcon();
void OnTrayEvent(int type);
void OnTaskbarCreated();
void OnMinimiseClicked();
void OnCloseClicked();
void OnExitMenuItemSelected();
