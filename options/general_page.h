/* The General page: background colour, weekday suffix, one line, title bar. */
#ifndef VELMOR_GENERAL_PAGE_H
#define VELMOR_GENERAL_PAGE_H

#include <windows.h>

extern COLORREF gCustomColors[16];
extern int      gCustomColorsReady;

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
int     InitGeneralPage(HWND page);
void    ReadGeneralPage(HWND page);
INT_PTR SwatchCtlColor(HWND page, WPARAM hdc, LPARAM control);
int     PickColor(HWND owner, COLORREF* color);
void    ReplaceBrush(HBRUSH* brush, COLORREF color, HWND swatch);
void    FillComboFromStrings(HWND combo, const UINT* ids, int count);
UINT    HotKeyModifiers(WORD key);
int     HotKeyUsable(WORD key);
int     GlobalKeysFree(HWND page);

#endif
