/* Alarms: as stored, as listed, and when they wake the clock. */
#include "support.h"
#include "../state/settings.h"
#include "../engine/alarms.h"
#include "../options/options_dialog.h"
#include "../app/input.h"
#include "../res/resource.h"
#include <commctrl.h>

/* Whatever Alarms holds loads as alarms that ring only at a time a clock shows, is listed on
   the page Ctrl+L opens, and saves at OK to load back the same, renumbered, reserved bytes
   and all; a once alarm that rang is stored switched off. */
TEST_F(Fresh, StoredAlarmsLoadListSaveAndLoadBack)
{
    const std::wstring long63(63, L'ラ');
    const struct { const WCHAR* number; Bytes option, label, wave; std::wstring row; } planted[] = {
        { L"1", { 1, 7, 30, 0x3E, 1, 0xAA, 0xBB, 0xCC }, Text(L"起床"), Text(L""), L"on 7:30 月火水木金 起床" },
        { L"2", { 1, 24, 0, 0, 1 }, Text(L"夜"), {}, L"off 0:00 1 回 夜" },
        { L"3", { 1, 6, 60, 0xFF, 1 }, {}, {}, L"off 0:00 毎日 " },
        { L"4", { 1, 6, 5 }, Text(L"薬"), {}, L"on 6:05 1 回 薬" },
        { L"5", Bytes(9, 1), Text(long63 + L"ラララ"), Text(std::wstring(300, L'w')), L"off 0:00 1 回 " + long63 },
        { L"7", { 1, 23, 59, 0x41, 2 }, { 'a', 0, 'b', 0 }, {}, L"on 23:59 日土 ab" },
        { L"21", { 1, 12, 0 }, {}, {}, L"" },
    };
    for (const auto& p : planted) {
        std::wstring key = std::wstring(L"Alarms\\") + p.number;
        for (auto value : { std::make_pair(L"Option", &p.option), std::make_pair(L"Label", &p.label), std::make_pair(L"Wave", &p.wave) })
            if (!value.second->empty()) Plant(key.c_str(), value.first, value.second == &p.option ? REG_BINARY : REG_SZ, *value.second);
    }
    LoadSettings();
    ClockState loaded = *gState;
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    std::vector<std::wstring> rows;
    RunModal([&] { OnCommand(wnd, IDM_ALARMS); }, { [&] {
        if (!gWork || !gWork->alarmPage || !IsWindowVisible(gWork->alarmPage)) return false;
        HWND list = GetDlgItem(gWork->alarmPage, IDC_ALARM_LIST);
        for (int i = 0; i < ListView_GetItemCount(list); i++) {
            WCHAR text[3][80] = {};
            for (int column = 0; column < 3; column++) ListView_GetItemText(list, i, column, text[column], 80);
            rows.push_back(std::wstring(ListView_GetCheckState(list, i) ? L"on " : L"off ") + text[0] + L" " + text[1] + L" " + text[2]);
        }
        return Post(GetParent(gWork->alarmPage), WM_COMMAND, IDOK);
    } });
    ASSERT_EQ(rows.size(), 6u);
    for (size_t i = 0; i < rows.size(); i++) EXPECT_EQ(rows[i], planted[i].row) << "row " << i;
    EXPECT_EQ(Stored(L"Alarms\\1", L"Option"), planted[0].option) << "reserved bytes lost";
    EXPECT_EQ(Stored(L"Alarms\\2", L"Option"), Bytes({ 0, 0, 0, 0, 1, 0, 0, 0 }));
    EXPECT_EQ(Stored(L"Alarms\\5", L"Label"), Text(long63));
    EXPECT_EQ(Stored(L"Alarms\\5", L"Wave"), Text(std::wstring(259, L'w')));
    EXPECT_EQ(Stored(L"Alarms\\6", L"Option"), Bytes({ 1, 23, 59, 0x41, 2, 0, 0, 0 }));
    EXPECT_EQ(Stored(L"Alarms\\7", L"Option"), Bytes()) << "an alarm left past the end";
    LoadAlarms();
    for (int i = 0; i < 6; i++) {
        const Alarm &again = gState->alarms[i], &first = loaded.alarms[i];
        EXPECT_TRUE(!memcmp(&again, &first, offsetof(Alarm, wallTarget))) << "loaded back otherwise, alarm " << i;
    }
    ScheduleAlarms(NULL, UtcNow());
    RingDueAlarmsAt(wnd, NULL, UtcFromLocal(NULL, gState->alarms[3].wallTarget));
    EXPECT_EQ(Stored(L"Alarms\\4", L"Option").at(0), 0) << "a once alarm still on after its ring";
    EXPECT_TRUE(EndRinging(wnd));
}

/* Twenty alarms and the time signal wake the clock at the first of their moments and at no
   other; with none on, nothing does. Asleep past a moment: nine minutes late it rings,
   eleven it is passed over, a once alarm switches off either way. With Options open an
   alarm rings all the same. */
TEST_F(Fresh, AlarmsWakeOnlyAtTheirMoments)
{
    const TIME_ZONE_INFORMATION cet = { -60, L"", { 0, 10, 0, 5, 3, 0, 0, 0 }, 0, L"", { 0, 3, 0, 5, 2, 0, 0, 0 }, -60 };
    SYSTEMTIME at = { 2026, 12, 0, 9, 8, 10, 0, 0 };    /* 9:10 in Central Europe */
    ULARGE_INTEGER now;
    SystemTimeToFileTime(&at, (FILETIME*)&now);
    static const struct { BYTE chime; DWORD snooze, delay; } rows[] = {
        { 0, 0, 3000000 }, { 2, 0, 1197000 }, { 1, 61000, 61000 }, { 3, 0, 3000000 },
    };
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    gState->alarmCount = MAX_ALARMS;
    for (int i = 0; i < MAX_ALARMS; i++) gState->alarms[i].option = { (BYTE)(i != 0), (BYTE)(10 + i / 2), (BYTE)(59 - i), EVERY_DAY };
    for (const auto& r : rows) {
        ScheduleAlarms(&cet, now.QuadPart);    /* the first on rings at 10:58, the first of all at 10:00 */
        gState->alarms[0].wallTarget = LocalFromUtc(&cet, now.QuadPart + 50 * FILETIME_MINUTE);
        gState->options.chime = r.chime;
        gState->snoozeAt = r.snooze ? now.QuadPart + r.snooze * FILETIME_MS : 0;
        EXPECT_EQ(ArmAlarmsAt(wnd, &cet, now.QuadPart), r.delay) << "row " << &r - rows;
        EXPECT_TRUE(KillTimer(wnd, TIMER_ALARM));
    }
    for (int i = 0; i < MAX_ALARMS; i++) gState->alarms[i].wallTarget = 0;
    gState->options.chime = gState->snoozeAt = 0;
    EXPECT_TRUE(ArmAlarmsAt(wnd, &cet, now.QuadPart) == 0 && !KillTimer(wnd, TIMER_ALARM)) << "a timer with nothing due";

    gState->alarmCount = 1, gState->alarms[0].option = { 1, 10, 0, 0 };
    for (int late : { 9, 11 }) {
        gState->alarms[0].option.on = 1;
        ScheduleAlarms(&cet, now.QuadPart);
        RingDueAlarmsAt(wnd, &cet, now.QuadPart + (50 + late) * FILETIME_MINUTE);
        EXPECT_TRUE(Ringing() == (late == 9) && !gState->alarms[0].option.on) << late << " minutes late";
        EndRinging(wnd);
    }
    gState->alarms[0].option.on = 1, gState->alarms[0].wallTarget = LocalFromUtc(NULL, UtcNow() + FILETIME_SECOND);
    ArmAlarms(wnd);
    bool rang = false;
    RunModal([&] { RunOptionsDialog(wnd, OPTIONS_GENERAL); }, {
        [&] { return (rang = gWork && gState->ringWindow) && Post(gState->ringWindow, WM_COMMAND, IDOK); },
        [] { return gWork && !gState->ringWindow && Post(GetParent(gWork->generalPage), WM_COMMAND, IDCANCEL); },
    });
    EXPECT_TRUE(rang) << "no alarm while Options was open";
}
