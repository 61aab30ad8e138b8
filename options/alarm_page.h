/* The Alarms page: the list of alarms, the dialog that edits one, and the time signal. */
#ifndef VELMOR_ALARM_PAGE_H
#define VELMOR_ALARM_PAGE_H

#include "options_dialog.h"

INT_PTR CALLBACK AlarmsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AlarmEditDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
void ReadAlarmsPage(HWND page);
void ApplyAlarms(void);

#endif
