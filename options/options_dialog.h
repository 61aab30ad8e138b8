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
    HFONT    previewFont;
};

/* An alarm on the Alarms page, and the clock's alarm it came from. */
struct AlarmBlock {
    Alarm alarm;
    int   source;       /* index among the clock's alarms; -1 for one added */
    int   touched;      /* edited or switched here: else it keeps what a ring did meanwhile */
};

/* The pages in the order of their tabs. */
enum { OPTIONS_GENERAL, OPTIONS_DATE, OPTIONS_TIME, OPTIONS_COUNT, OPTIONS_ALARMS, OPTIONS_PAGES };

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
    HWND         alarmPage;
    AlarmBlock   alarms[MAX_ALARMS];
    int          alarmCount;
};

extern OptionsWork* gWork;

int  RunOptionsDialog(HWND owner, int page);
INT_PTR CALLBACK OptionsDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
int  CreateOptionsPages(HWND dlg);
void ShowOptionsPage(int index);
void EndOptionsDialog(HWND dlg, int ok);
void ApplyOptions(HWND owner);

#endif
