/* The ways back to a clock that is hidden, covered or lets the mouse through: the icon in
   the notification area and the global keys; and click-through, which needs one of them. */
#ifndef VELMOR_TRAY_H
#define VELMOR_TRAY_H

#include <windows.h>

#define WM_TRAY          (WM_APP + 1)
#define TRAY_ICON_ID     1
#define HOTKEY_SHOWHIDE  1
#define HOTKEY_COUNT     2

void AddTrayIcon(HWND wnd);
void RemoveTrayIcon(HWND wnd);
void RefreshTrayIcon(HWND wnd);
void OnTrayMessage(HWND wnd, WPARAM wParam, LPARAM lParam);
int  WindowInFront(HWND wnd);
int  WindowShown(HWND wnd);
void ShowOrHide(HWND wnd, int inFrontHides);
void RegisterHotKeys(HWND wnd);
void OnHotKey(HWND wnd, WPARAM id);
int  WayBack(void);
void ToggleClickThrough(HWND wnd);
void ApplyShellOptions(HWND wnd);

#endif
