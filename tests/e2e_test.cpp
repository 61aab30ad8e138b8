/* The real VELMOR.EXE, where the process is what must be seen: keys, sound, restart, shell. */
#include "support.h"
#include "../state/settings.h"
#include "../app/input.h"
#include "../engine/alarms.h"
#include "../app/tray.h"
#include "../options/options_dialog.h"
#include <commctrl.h>
#include "../res/resource.h"
#include <algorithm>
#include <mmsystem.h>

static const std::wstring kBuilt = L"Z:" VELMOR_EXE, kBuiltUtf8 = L"Z:" VELMOR_UTF8_EXE;  /* the twin asks for 65001 */

/* The visible window of the running copy, started from path unless that is empty. */
static HWND Start(const std::wstring& path)
{
    HWND wnd = NULL;
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi;
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!path.empty() && CreateProcessW(path.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        CloseHandle(pi.hThread), CloseHandle(pi.hProcess);
    WaitFor([&] { return (wnd = FindWindowW(L"VELMOR", NULL)) && IsWindowVisible(wnd); });
    return wnd;
}

/* Ends, at the end of a test, every copy of the program it started and the Notepad it
   opened, before the next test can start one of its own. */
struct EndCopies {
    ~EndCopies()
    {
        STARTUPINFOW si = { sizeof(si) };
        PROCESS_INFORMATION pi;
        WCHAR command[] = L"taskkill /f /im VELMOR.EXE /im notepad.exe";
        if (!CreateProcessW(NULL, command, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi)) return;
        WaitForSingleObject(pi.hProcess, 15000);
        CloseHandle(pi.hThread), CloseHandle(pi.hProcess);
    }
};

/* Types key, with a modifier key held, into wnd's thread once wnd has the foreground. */
static void Press(HWND wnd, BYTE key, BYTE modifier = 0)
{
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == wnd || (SetForegroundWindow(wnd), false); }));
    const BYTE keys[4] = { modifier, key, key, modifier };
    for (int i = 0; i < 4; i++)
        if (keys[i]) keybd_event(keys[i], (BYTE)MapVirtualKeyW(keys[i], 0), i < 2 ? 0 : KEYEVENTF_KEYUP, 0);
}

/* Records what the test run's sound sink plays, into buffers of half a second in turn. */
struct Recorder {
    /* A minute: the countdown scenario records for about 20 s, and a slow second must not run
       it out of buffers. */
    static const int halves = 120, rate = 44100;
    HWAVEIN in = NULL;
    WAVEHDR headers[halves] = {};
    std::vector<short> samples = std::vector<short>(halves * 22050);

    bool Start()
    {
        WAVEFORMATEX format = { WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0 };
        if (waveInOpen(&in, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL)) return false;
        for (int i = 0; i < halves; i++) {
            headers[i] = { (LPSTR)&samples[i * 22050], 44100 };
            waveInPrepareHeader(in, &headers[i], sizeof(WAVEHDR));
            waveInAddBuffer(in, &headers[i], sizeof(WAVEHDR));
        }
        return !waveInStart(in);
    }
    /* How many half seconds are recorded so far; the loudest sample from half second first
       to before last, of those. */
    size_t Filled() { size_t done = 0; while (done < halves && headers[done].dwFlags & WHDR_DONE) done++; return done; }
    int Peak(size_t first, size_t last)
    {
        int peak = 0;
        for (size_t i = first * 22050; i < std::min(last, Filled()) * 22050; i++) peak = std::max(peak, abs(samples[i]));
        return peak;
    }
    ~Recorder() { waveInReset(in); waveInClose(in); }
};

/* A countdown that ends with the window minimised is heard, from a WAVE file of a name no
   ANSI code page holds, or the built-in tone without one; set to ring until stopped, it is
   still heard two seconds on, its count blinking, and a key silences it. */
TEST_F(Fresh, CountdownEndHeardMinimisedOnceOrUntilAKey)
{
    Recorder recorder;
    ASSERT_TRUE(recorder.Start()) << "no sound sink to record";
    LoadSettings();
    lstrcpyW(gState->wavePath, L"C:\\時報☃.wav");
    ASSERT_TRUE(CopyFileW(L"Z:" TONE_WAV, gState->wavePath, FALSE));
    gState->countdownSeconds = 1;
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    for (BYTE until : { 0, 1, 2 }) {
        bool shown = false, hidden = false;
        if (until == 2) {
            gState->wavePath[0] = L'\0';
            gState->options.builtInSound = 1;
            until = 0;
        }
        gState->options.alarmUntilStopped = until;
        RunModal([&] { OnCommand(wnd, IDM_COUNTDOWN); }, { [] { return TopDialog() && Post(TopDialog(), WM_COMMAND, IDOK); } });
        ShowWindow(wnd, SW_MINIMIZE);
        ASSERT_TRUE(WaitFor([] { return gState->mode == Stopped; })) << "no end while minimised";
        size_t zero = recorder.Filled();
        ShowWindow(wnd, SW_RESTORE);
        ASSERT_TRUE(WaitFor([&] {
            RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
            std::vector<COLORREF> face = Pixels(wnd);
            (std::count(face.begin(), face.end(), RGB(0, 0, 128)) ? shown : hidden) = true;
            return recorder.Filled() >= zero + 6;
        }));
        EXPECT_GT(recorder.Peak(zero ? zero - 1 : 0, zero + 3), 1000) << "not heard, until stopped " << (int)until << ", built in " << (int)gState->options.builtInSound;
        EXPECT_TRUE((recorder.Peak(zero + 4, zero + 6) > 1000) == until && hidden == until) << "heard or blinking two seconds on";
        Post(wnd, WM_KEYDOWN, 'A');
        PumpAsTheLoop();
        size_t key = recorder.Filled();
        ASSERT_TRUE(WaitFor([&] { return recorder.Filled() >= key + 3; }));
        EXPECT_TRUE(recorder.Peak(key + 1, key + 3) < 1000 && shown) << "heard after a key, or never shown";
    }
}

/* From a folder named with a blank, 表 and a character of no ANSI code page, worked by its
   keys: a new title-bar choice restarts this very file, not the C:\velmor.exe a command
   line cut at the blank would, and Windows is told to start it; F1 opens the help beside it. */
TEST_F(Fresh, ProgramByItsKeysFromAFolderWithABlankAndJapaneseName)
{
    EndCopies endCopies;
    const std::wstring folder = L"C:\\velmor test 表𠮷", program = folder + L"\\VELMOR.EXE";
    CreateDirectoryW(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileW((GetACP() == CP_UTF8 ? kBuiltUtf8 : kBuilt).c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(kBuilt.c_str(), L"C:\\velmor.exe", FALSE));
    ASSERT_TRUE(CopyFileW((kBuilt.substr(0, kBuilt.size() - 3) + L"TXT").c_str(), (folder + L"\\VELMOR.TXT").c_str(), FALSE));
    /* Opening a text file copies it where the test looks: only the right path can. */
    RegSetValueW(HKEY_CLASSES_ROOT, L".txt", REG_SZ, L"VelmorTest.txt", 0);
    RegSetValueW(HKEY_CLASSES_ROOT, L"VelmorTest.txt\\shell\\open\\command", REG_SZ, L"cmd /c copy \"%1\" C:\\opened.txt", 0);
    DeleteFileW(L"C:\\opened.txt");

    HWND wnd = Start(program), dialog = NULL;
    Press(wnd, 'O', VK_CONTROL);
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindWindowW(L"#32770", L"オプション")) && IsWindowVisible(dialog); }));
    Press(dialog, 'T', VK_MENU);
    Press(dialog, 'S', VK_MENU);
    Press(dialog, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(wnd); })) << "the program did not end";
    WCHAR image[MAX_PATH] = L"";
    DWORD id = 0, size = MAX_PATH;
    GetWindowThreadProcessId(wnd = Start(L""), &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    EXPECT_TRUE(QueryFullProcessImageNameW(process, 0, image, &size) && program == image);
    CloseHandle(process);
    EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & WS_CAPTION, 0) << "the new copy has a title bar";
    WCHAR run[MAX_PATH] = L"";
    DWORD runSize = sizeof(run);
    RegGetValueW(HKEY_CURRENT_USER, REG_RUN, L"VELMOR", RRF_RT_REG_SZ, NULL, run, &runSize);
    EXPECT_EQ(L"\"" + program + L"\"", run);
    Press(wnd, VK_F1);
    EXPECT_TRUE(WaitFor([] { return GetFileAttributesW(L"C:\\opened.txt") != INVALID_FILE_ATTRIBUTES; })) << "F1 opened no help";
    RegSetValueW(HKEY_CLASSES_ROOT, L".txt", REG_SZ, L"VelmorNone.txt", 0);    /* no program opens text: Notepad reads it */
    Press(wnd, VK_F1);
    WCHAR title[MAX_PATH] = L"";
    EXPECT_TRUE(WaitFor([&] { return InternalGetWindowText(FindWindowW(L"Notepad", NULL), title, MAX_PATH) && wcsstr(title, L"VELMOR.TXT"); })) << title;
    PostMessageW(FindWindowW(L"Notepad", NULL), WM_CLOSE, 0, 0);
}

/* Two alarms of one minute ring as one in the alarm window, heard with the built-in tone;
   its second button silences them and brings them back five minutes on, its first ends
   them. The time signal: three short low pips a second apart, then a long high tone. */
TEST_F(Fresh, AlarmAndTimeSignalHeard)
{
    Recorder recorder;
    ASSERT_TRUE(recorder.Start()) << "no sound sink to record";
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL);
    const Alarm alarms[3] = { { { 1, 7, 30, 0, 1 }, L"起床" }, { { 1, 7, 30, 0, 0 }, L"薬" }, { { 1, 7, 31, 0, 1 }, L"後" } };
    memcpy(gState->alarms, alarms, sizeof(alarms)), gState->alarmCount = 3;
    ScheduleAlarms(NULL, UtcNow());
    WCHAR text[64] = L"";
    auto rings = [&](ULONGLONG at) {
        size_t from = recorder.Filled();
        RingDueAlarmsAt(wnd, NULL, at);
        GetDlgItemTextW(gState->ringWindow, IDC_RING_TEXT, text, 64);
        return WaitFor([&] { return recorder.Filled() >= from + 2; }) && recorder.Peak(from, from + 2) > 1000;
    };
    auto answer = [&](UINT button) {
        Post(gState->ringWindow, WM_COMMAND, button);
        size_t from = recorder.Filled();
        return WaitFor([&] { return recorder.Filled() >= from + 3; }) && !gState->ringWindow && recorder.Peak(from + 1, from + 3) < 1000;
    };
    EXPECT_TRUE(rings(UtcFromLocal(NULL, gState->alarms[0].wallTarget)));
    EXPECT_STREQ(text, L"7:30 起床\r\n7:30 薬");
    EXPECT_TRUE(answer(IDC_RING_SNOOZE)) << "still heard after snoozing";
    EXPECT_NEAR((double)(gState->snoozeAt - UtcNow()), (double)SNOOZE_TIME, 5.0 * FILETIME_SECOND);
    EXPECT_TRUE(rings(gState->snoozeAt) && !lstrcmpW(text, L"7:30 起床\r\n7:30 薬")) << "not back after five minutes";
    EXPECT_TRUE(answer(IDOK)) << "still heard after stopping";

    gState->options.chime = 1, ArmAlarms(wnd);
    size_t from = recorder.Filled(), onset = from * 22050;
    RingDueAlarmsAt(wnd, NULL, gState->chimeAt);
    ASSERT_TRUE(WaitFor([&] { return recorder.Filled() >= from + 10; }));
    while (onset < (from + 3) * 22050 && abs(recorder.samples[onset]) < 1000) onset++;
    /* Loudest sample, and zero crossings per second of sound, from first to last seconds after
       the onset: a busy machine leaves gaps in what it plays, and moves what follows later. */
    auto at = [&](double first, double last, bool crossings) {
        int peak = 0, crossed = 0, sounding = 1;
        for (size_t i = onset + (size_t)(first * Recorder::rate); i < onset + (size_t)(last * Recorder::rate); i++) {
            peak = std::max(peak, abs(recorder.samples[i]));
            crossed += (recorder.samples[i] < 0) != (recorder.samples[i + 1] < 0);
            sounding += abs(recorder.samples[i]) > 100;
        }
        return crossings ? crossed * Recorder::rate / sounding : peak;
    };
    for (double pip : { 0.0, 1.0, 2.0 }) {
        EXPECT_NEAR(at(pip + 0.01, pip + 0.09, true), 880, 90) << "pip " << pip;
        EXPECT_LT(at(pip + 0.2, pip + 0.9, false), 300) << "after pip " << pip;
    }
    EXPECT_NEAR(at(3.05, 3.95, true), 1760, 90) << "the top";
}

/* A global key another program holds is passed over without a word at start-up, and
   refused at Options OK with the key named, the page left open. */
TEST_F(Fresh, GlobalKeyHeldByAnotherProgram)
{
    EndCopies endCopies;
    const WORD key = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'J';
    Plant(NULL, L"Option", REG_BINARY, { 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, LOBYTE(key), HIBYTE(key) });
    ASSERT_TRUE(Start(GetACP() == CP_UTF8 ? kBuiltUtf8 : kBuilt));
    ASSERT_TRUE(WaitFor([] { return !RegisterHotKey(NULL, 9, MOD_CONTROL | MOD_ALT, 'J') || !UnregisterHotKey(NULL, 9); }));
    LoadSettings();
    HWND wnd = CreateMainWindow(SW_SHOWNORMAL), options = NULL;
    ApplyShellOptions(wnd);    /* no word of it: a message box would hold the test here */
    EXPECT_FALSE(gState->hotKeys & 2) << "a key another program holds";
    WCHAR said[256] = L"";
    RunModal([&] { OnCommand(wnd, IDM_OPTIONS); }, {
        [&] { return gWork && gWork->generalPage && Post(options = GetParent(gWork->generalPage), WM_COMMAND, IDOK); },
        [&] { HWND box = TopDialog(); return box && box != options && GetDlgItemTextW(box, 0xFFFF, said, 256) && EndDialog(box, IDOK); },
        [&] { return TopDialog() == options && IsWindowVisible(gWork->generalPage) && Post(options, WM_COMMAND, IDCANCEL); },
    });
    EXPECT_TRUE(wcsstr(said, L"「Ctrl+Alt+J」")) << said;
}
