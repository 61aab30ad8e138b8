/* The Help menu: About box, help file, home page, and the error box. */
#ifndef VELMOR_HELP_MENU_H
#define VELMOR_HELP_MENU_H

#include <windows.h>

#define HELP_FILE_NAME L"VELMOR.TXT"

extern HFONT gAboutFont;

INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
int  AnimateDialog(HWND window, int show);
int  HelpFilePath(const WCHAR* modulePath, WCHAR* out, int size);
void OpenHelpFile(HWND owner);
void OpenHomePage(HWND owner);
void ShellOpen(HWND owner, const WCHAR* target);
DWORD ShellErrorCode(INT_PTR result, DWORD lastError);
int  ShowErrorBox(const WCHAR* text, UINT id, const WCHAR* file = NULL);

#endif
