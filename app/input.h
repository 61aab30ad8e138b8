/* The user's input on the main window: keys, commands, menus and dragging. */
#ifndef VELMOR_INPUT_H
#define VELMOR_INPUT_H

#include <windows.h>

int  CommandEnabled(UINT id);
void OnCommand(HWND wnd, WPARAM wParam);
int  KeyEndsRinging(const MSG* msg);
void OnKeyDown(HWND wnd, WPARAM key);
UINT EnterCommand(int shift);
void UpdateMenuStates(HMENU menu);
void TrackContextMenu(HWND wnd, POINT at, int fromIcon);
void ShowContextMenu(HWND wnd, LPARAM lParam);
void OnLButtonDown(HWND wnd, LPARAM lParam);
void OnMouseMove(HWND wnd, LPARAM lParam);
void OnLButtonUp(void);
void EndDrag(void);

#endif
