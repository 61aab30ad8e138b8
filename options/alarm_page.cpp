#include "alarm_page.h"
#include "face_pages.h"
#include "../engine/alarms.h"
#include "../res/resource.h"
#include <commctrl.h>

/* "月水金", or 毎日, or 1 回 for an alarm that rings once. */
static void FormatAlarmDays(WCHAR* out, BYTE days)
{
    WCHAR names[8] = L"";
    int n = 0;
    LoadStringW(gInstance, IDS_WEEKDAY_JA, names, ARRAYSIZE(names));
    days &= EVERY_DAY;
    if (days == EVERY_DAY) lstrcpyW(out, L"毎日");
    else if (!days) lstrcpyW(out, L"1 回");
    else {
        for (int day = 0; day < 7; day++)
            if (days & 1 << day) out[n++] = names[day];
        out[n] = L'\0';
    }
}

/* Writes an alarm's row: time, days and label, ticked while it is on. */
static void ShowAlarmRow(HWND list, int row, int insert)
{
    const Alarm* alarm = &gWork->alarms[row].alarm;
    WCHAR time[8], days[8];
    LVITEMW item = { LVIF_TEXT, row, 0, 0, 0, time };

    wsprintfW(time, L"%d:%02d", alarm->option.hour, alarm->option.minute);
    FormatAlarmDays(days, alarm->option.days);
    SendMessageW(list, insert ? LVM_INSERTITEMW : LVM_SETITEMW, 0, (LPARAM)&item);
    ListView_SetItemText(list, row, 1, days);
    ListView_SetItemText(list, row, 2, (WCHAR*)alarm->label);
    ListView_SetCheckState(list, row, alarm->option.on == 1);
}

static int SelectedAlarm(HWND page)
{
    return (int)SendDlgItemMessageW(page, IDC_ALARM_LIST, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

/* Add while there is room, edit and delete while a row is chosen. */
static void UpdateAlarmButtons(HWND page)
{
    int chosen = SelectedAlarm(page) >= 0;
    EnableWindow(GetDlgItem(page, IDC_ALARM_ADD), gWork->alarmCount < MAX_ALARMS);
    EnableWindow(GetDlgItem(page, IDC_ALARM_EDIT), chosen);
    EnableWindow(GetDlgItem(page, IDC_ALARM_DELETE), chosen);
}

static void SelectAlarm(HWND page, int row)
{
    HWND list = GetDlgItem(page, IDC_ALARM_LIST);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
    UpdateAlarmButtons(page);
}

static int InitAlarmsPage(HWND page)
{
    static const WCHAR* const chimes[3] = { L"なし", L"毎正時", L"30 分ごと" };
    static const struct { const WCHAR* title; int width; } columns[3] = { { L"時刻", 20 }, { L"曜日", 30 }, { L"ラベル", 50 } };
    HWND list = GetDlgItem(page, IDC_ALARM_LIST);
    RECT rc;

    GetClientRect(list, &rc);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 3; i++) {
        LVCOLUMNW column = { LVCF_TEXT | LVCF_WIDTH, 0, rc.right * columns[i].width / 100, (WCHAR*)columns[i].title };
        SendMessageW(list, LVM_INSERTCOLUMNW, i, (LPARAM)&column);
    }
    gWork->alarmCount = gState->alarmCount;
    for (int i = 0; i < gWork->alarmCount; i++) {
        gWork->alarms[i].alarm = gState->alarms[i];
        gWork->alarms[i].source = i;
        ShowAlarmRow(list, i, 1);
    }
    for (const WCHAR* row : chimes) SendDlgItemMessageW(page, IDC_CHIME, CB_ADDSTRING, 0, (LPARAM)row);
    BYTE chime = gState->options.chime;
    SendDlgItemMessageW(page, IDC_CHIME, CB_SETCURSEL, chime == 1 || chime == 2 ? chime : 0, 0);
    UpdateAlarmButtons(page);
    return 1;
}

/* Edits the alarm of row, or a new one at the end (row -1) from the next whole hour.
   An alarm edited is an alarm wanted: OK switches it on. */
static void EditAlarm(HWND page, int row)
{
    HWND list = GetDlgItem(page, IDC_ALARM_LIST);
    int added = row < 0;
    if (added) {
        if (gWork->alarmCount >= MAX_ALARMS) return;
        SYSTEMTIME now;
        GetLocalTime(&now);
        row = gWork->alarmCount;
        ZeroMemory(&gWork->alarms[row], sizeof(gWork->alarms[row]));
        gWork->alarms[row].source = -1;
        gWork->alarms[row].alarm.option.hour = (BYTE)((now.wHour + 1) % 24);
        gWork->alarms[row].alarm.option.untilStopped = 1;
    }
    Alarm edited = gWork->alarms[row].alarm;
    if (DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_ALARM_EDIT), GetParent(page), AlarmEditDlgProc, (LPARAM)&edited) != IDOK)
        return;
    gWork->alarms[row].alarm = edited;
    gWork->alarms[row].touched = 1;
    if (added) gWork->alarmCount++;
    ShowAlarmRow(list, row, added);
    SelectAlarm(page, row);
}

static void DeleteAlarm(HWND page, int row)
{
    if (row < 0) return;
    MoveMemory(&gWork->alarms[row], &gWork->alarms[row + 1], (gWork->alarmCount - row - 1) * sizeof(AlarmBlock));
    gWork->alarmCount--;
    SendDlgItemMessageW(page, IDC_ALARM_LIST, LVM_DELETEITEM, row, 0);
    if (row < gWork->alarmCount || --row >= 0) SelectAlarm(page, row);
    UpdateAlarmButtons(page);
}

/* A tick switched in the list switches the alarm; a tick set by the page itself changes
   nothing. */
static void OnAlarmListChange(HWND page, const NMLISTVIEW* change)
{
    UINT image = (change->uNewState & LVIS_STATEIMAGEMASK) >> 12;
    if (change->iItem >= 0 && change->iItem < gWork->alarmCount && (change->uChanged & LVIF_STATE) && image) {
        AlarmBlock* block = &gWork->alarms[change->iItem];
        BYTE on = image == 2;
        if (on != (block->alarm.option.on == 1)) {
            block->alarm.option.on = on;
            block->touched = 1;
        }
    }
    UpdateAlarmButtons(page);
}

static void OnAlarmListNotify(HWND page, const NMHDR* hdr)
{
    if (hdr->idFrom != IDC_ALARM_LIST) return;
    if (hdr->code == LVN_ITEMCHANGED) OnAlarmListChange(page, (const NMLISTVIEW*)hdr);
    else if (hdr->code == NM_DBLCLK && SelectedAlarm(page) >= 0) EditAlarm(page, SelectedAlarm(page));
    else if (hdr->code == LVN_KEYDOWN && ((const NMLVKEYDOWN*)hdr)->wVKey == VK_DELETE) DeleteAlarm(page, SelectedAlarm(page));
}

INT_PTR CALLBACK AlarmsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitAlarmsPage(page);
    case WM_NOTIFY:
        OnAlarmListNotify(page, (const NMHDR*)lParam);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ALARM_ADD:    EditAlarm(page, -1); break;
        case IDC_ALARM_EDIT:   EditAlarm(page, SelectedAlarm(page)); break;
        case IDC_ALARM_DELETE: DeleteAlarm(page, SelectedAlarm(page)); break;
        }
        break;
    }
    return FALSE;
}

/* No selection reads as no time signal. */
void ReadAlarmsPage(HWND page)
{
    LRESULT chime = SendDlgItemMessageW(page, IDC_CHIME, CB_GETCURSEL, 0, 0);
    gWork->options.chime = (BYTE)(chime == 1 || chime == 2 ? chime : 0);
}

/* The list as the page leaves it; an alarm the page did not touch keeps the switch a
   ring may have thrown while it was open. Each waits from now for its next moment. */
void ApplyAlarms(void)
{
    Alarm alarms[MAX_ALARMS];
    for (int i = 0; i < gWork->alarmCount; i++) {
        const AlarmBlock* block = &gWork->alarms[i];
        alarms[i] = block->alarm;
        if (!block->touched && block->source >= 0) alarms[i].option.on = gState->alarms[block->source].option.on;
    }
    CopyMemory(gState->alarms, alarms, gWork->alarmCount * sizeof(Alarm));
    gState->alarmCount = gWork->alarmCount;
    ScheduleAlarms(NULL, UtcNow());
}

static void InitAlarmEdit(HWND dlg, const Alarm* alarm)
{
    SetWindowLongPtrW(dlg, DWLP_USER, (LONG_PTR)alarm);
    SendDlgItemMessageW(dlg, IDC_AE_HOUR_SPIN, UDM_SETRANGE32, 0, 23);
    SendDlgItemMessageW(dlg, IDC_AE_MINUTE_SPIN, UDM_SETRANGE32, 0, 59);
    SetDlgItemInt(dlg, IDC_AE_HOUR, alarm->option.hour, FALSE);
    SetDlgItemInt(dlg, IDC_AE_MINUTE, alarm->option.minute, FALSE);
    for (int day = 0; day < 7; day++)
        CheckDlgButton(dlg, IDC_AE_SUNDAY + day, alarm->option.days & 1 << day ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(dlg, IDC_AE_LABEL, EM_LIMITTEXT, ALARM_LABEL_SIZE - 1, 0);
    SetDlgItemTextW(dlg, IDC_AE_LABEL, alarm->label);
    /* One more than a path can hold, so that a path too long is refused, not cut. */
    SendDlgItemMessageW(dlg, IDC_AE_WAVE_PATH, EM_LIMITTEXT, MAX_PATH, 0);
    SetDlgItemTextW(dlg, IDC_AE_WAVE_PATH, alarm->wave);
    CheckRadioButton(dlg, IDC_AE_TONE, IDC_AE_FILE, alarm->wave[0] ? IDC_AE_FILE : IDC_AE_TONE);
    CheckDlgButton(dlg, IDC_AE_UNTIL, alarm->option.untilStopped == 1 ? BST_CHECKED : BST_UNCHECKED);
}

static int RefuseAlarm(HWND dlg, int control, const WCHAR* text)
{
    MessageBoxW(dlg, text, L"アラーム", MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(dlg, control));
    return 0;
}

/* Takes the fields into the alarm, switched on; refuses a time no clock shows, and a
   WAVE file chosen without a path or with one too long to store. */
static int ReadAlarmEdit(HWND dlg)
{
    Alarm* alarm = (Alarm*)GetWindowLongPtrW(dlg, DWLP_USER);
    WCHAR wave[MAX_PATH + 1];
    BOOL hourRead, minuteRead;
    UINT hour = GetDlgItemInt(dlg, IDC_AE_HOUR, &hourRead, FALSE), minute = GetDlgItemInt(dlg, IDC_AE_MINUTE, &minuteRead, FALSE);
    int file = IsDlgButtonChecked(dlg, IDC_AE_FILE) == BST_CHECKED;
    int length = GetDlgItemTextW(dlg, IDC_AE_WAVE_PATH, wave, ARRAYSIZE(wave));

    if (!hourRead || !minuteRead || hour > 23 || minute > 59)
        return RefuseAlarm(dlg, IDC_AE_HOUR, L"時刻は 0 時 0 分から 23 時 59 分までで入力してください。");
    if (file && !length) return RefuseAlarm(dlg, IDC_AE_WAVE_PATH, L"WAVE ファイルを選んでください。");
    if (file && length >= MAX_PATH)
        return RefuseAlarm(dlg, IDC_AE_WAVE_PATH, L"WAVEファイルのパスが長すぎます。もっと短いパスのファイルを選んでください。");
    alarm->option.on = 1;
    alarm->option.hour = (BYTE)hour;
    alarm->option.minute = (BYTE)minute;
    alarm->option.days = 0;
    for (int day = 0; day < 7; day++)
        if (IsDlgButtonChecked(dlg, IDC_AE_SUNDAY + day) == BST_CHECKED) alarm->option.days |= 1 << day;
    alarm->option.untilStopped = IsDlgButtonChecked(dlg, IDC_AE_UNTIL) == BST_CHECKED;
    GetDlgItemTextW(dlg, IDC_AE_LABEL, alarm->label, ALARM_LABEL_SIZE);
    lstrcpyW(alarm->wave, file ? wave : L"");
    return 1;
}

static void ChooseAlarmWave(HWND dlg)
{
    WCHAR current[MAX_PATH + 1], chosen[MAX_PATH];
    if (!GetDlgItemTextW(dlg, IDC_AE_WAVE_PATH, current, ARRAYSIZE(current))) current[0] = L'\0';
    if (PickWaveFile(dlg, chosen, current)) SetDlgItemTextW(dlg, IDC_AE_WAVE_PATH, chosen);
}

INT_PTR CALLBACK AlarmEditDlgProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitAlarmEdit(dlg, (const Alarm*)lParam);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_AE_WAVE_BUTTON:
            ChooseAlarmWave(dlg);
            return TRUE;
        case IDC_AE_WAVE_PATH:
            /* A path typed or chosen is the sound wanted. */
            if (HIWORD(wParam) == EN_CHANGE && GetWindowTextLengthW((HWND)lParam))
                CheckRadioButton(dlg, IDC_AE_TONE, IDC_AE_FILE, IDC_AE_FILE);
            return TRUE;
        case IDOK:
            if (ReadAlarmEdit(dlg)) EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
