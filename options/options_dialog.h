/* The Options dialog: a tab control over four pages that edit a working copy. */
#ifndef VELMOR_OPTIONS_DIALOG_H
#define VELMOR_OPTIONS_DIALOG_H

#include "../state/clock_state.h"

/* The working data of one face line's page. */
struct PageBlock {
    HWND     page;
    FaceItem item;
    LOGFONTW logFont;
    UINT     fontDpi;
    HBRUSH   swatchBrush;
};

/* What the dialog edits; lives only while it runs. */
struct OptionsWork {
    int          logPixelsY;
    int          currentPage;
    HWND         tabControl;
    HWND         generalPage;
    HBRUSH       backBrush;
    PageBlock    dateBlock;
    PageBlock    timeBlock;
    PageBlock    countBlock;
    ClockOptions options;
    int          startWithWindows;
};

extern OptionsWork* gWork;

int  RunOptionsDialog(HWND owner);
INT_PTR CALLBACK OptionsDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
int  CreateOptionsPages(HWND dlg);
void ShowOptionsPage(int index);
void EndOptionsDialog(HWND dlg, int ok);
void ApplyOptions(HWND owner);

#endif
