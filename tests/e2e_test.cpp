/* The real VELMOR.EXE, worked as a user would, where the process itself is what must
   be seen: keys through its accelerators, its sound, its restart, its shell. */
#include "support.h"
#include "../res/resource.h"
#include <algorithm>
#include <mmsystem.h>

static const std::string kBuilt = "Z:" VELMOR_EXE;

/* The visible window of the running copy, started from path unless that is empty. */
static HWND Start(const std::string& path)
{
    HWND wnd = NULL;
    if (!path.empty()) WinExec(("\"" + path + "\"").c_str(), SW_SHOW);
    WaitFor([&] { return (wnd = FindWindowA("VELMOR", NULL)) && IsWindowVisible(wnd); });
    return wnd;
}

/* Each scenario ends every copy it started. */
class EndToEnd : public Fresh {
    void TearDown() override
    {
        WinExec("taskkill /f /im VELMOR.EXE", SW_HIDE);
        EXPECT_TRUE(WaitFor([] { return !FindWindowA("VELMOR", NULL); })) << "a copy still runs";
    }
};

/* Types key, with a modifier key held, into wnd's thread once wnd has the foreground. */
static void Press(HWND wnd, BYTE key, BYTE modifier = 0)
{
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == wnd || (SetForegroundWindow(wnd), false); }));
    const BYTE keys[4] = { modifier, key, key, modifier };
    for (int i = 0; i < 4; i++)
        if (keys[i]) keybd_event(keys[i], (BYTE)MapVirtualKeyA(keys[i], 0), i < 2 ? 0 : KEYEVENTF_KEYUP, 0);
}

/* Whether the face, repainted now and a quarter of a second later, shows a running
   count: the count's navy, changed within that time. */
static bool CountRuns(HWND wnd, bool runs)
{
    DWORD start = GetTickCount();
    RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<COLORREF> before = Pixels(wnd);
    WaitFor([&] { return GetTickCount() - start >= 250; });
    RedrawWindow(wnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    return Count(before, RGB(0, 0, 128)) && (Pixels(wnd) != before) == runs;
}

/* Records what the test run's sound sink plays, a quarter of a second a buffer in turn,
   and tells its loudest sample so far. */
struct Recorder {
    HWAVEIN in = NULL;
    WAVEHDR headers[8] = {};
    std::vector<short> samples = std::vector<short>(8 * 11025);
    int peak = 0;

    bool Start()
    {
        WAVEFORMATEX format = { WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0 };
        if (waveInOpen(&in, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL)) return false;
        for (int i = 0; i < 8; i++) {
            headers[i] = { (LPSTR)&samples[i * 11025], 22050 };
            waveInPrepareHeader(in, &headers[i], sizeof(WAVEHDR));
            waveInAddBuffer(in, &headers[i], sizeof(WAVEHDR));
        }
        return !waveInStart(in);
    }
    int Peak()
    {
        for (WAVEHDR& done : headers) {
            if (!(done.dwFlags & WHDR_DONE)) continue;
            for (DWORD i = 0; i < done.dwBytesRecorded / 2; i++) peak = std::max(peak, abs(((short*)done.lpData)[i]));
            done.dwFlags &= ~WHDR_DONE;
            waveInAddBuffer(in, &done, sizeof(WAVEHDR));
        }
        return peak;
    }
    ~Recorder()
    {
        waveInReset(in);
        waveInClose(in);
    }
};

/* Enter runs a count and Backspace freezes it; a Shift+Enter countdown of a second
   then plays the WAVE file at zero and stops. */
TEST_F(EndToEnd, CountsByKeysAndTheCountdownsSound)
{
    Plant(NULL, "Wave", REG_SZ, Of("Z:" TONE_WAV, sizeof("Z:" TONE_WAV)));
    Recorder recorder;
    ASSERT_TRUE(recorder.Start()) << "no sound sink to record";
    HWND wnd = Start(kBuilt), dialog = NULL;
    Press(wnd, VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return CountRuns(wnd, true); })) << "Enter started no count";
    Press(wnd, VK_BACK);
    EXPECT_TRUE(WaitFor([&] { return CountRuns(wnd, false); })) << "Backspace did not stop the count";
    Press(wnd, VK_RETURN, VK_SHIFT);
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindWindowA("#32770", "カウントダウン")) && IsWindowVisible(dialog); }));
    Press(dialog, '1');
    Press(dialog, VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return recorder.Peak() > 1000; })) << "heard nothing";
    EXPECT_TRUE(WaitFor([&] { return CountRuns(wnd, false); })) << "the countdown did not stop";
}

/* From a folder whose name holds a blank and 表 (whose second byte is a backslash):
   F1 hands the shell the help file beside the program, and a new title-bar choice
   starts this very program file again, not C:\velmor.exe, which a command line cut at
   the blank would start. */
TEST_F(EndToEnd, ProgramInAFolderOfABlankAndADoubleByteName)
{
    const std::string folder = "C:\\velmor test 表", program = folder + "\\VELMOR.EXE";
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileA(kBuilt.c_str(), program.c_str(), FALSE) && CopyFileA(kBuilt.c_str(), "C:\\velmor.exe", FALSE));
    ASSERT_TRUE(CopyFileA((kBuilt.substr(0, kBuilt.size() - 3) + "TXT").c_str(), (folder + "\\VELMOR.TXT").c_str(), FALSE));
    /* Opening a text file copies it where the test looks: only the right path can. */
    RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, "VelmorTest.txt", 0);
    RegSetValueA(HKEY_CLASSES_ROOT, "VelmorTest.txt\\shell\\open\\command", REG_SZ, "cmd /c copy \"%1\" C:\\opened.txt", 0);
    DeleteFileA("C:\\opened.txt");

    HWND wnd = Start(program), options = NULL, general = NULL;
    Press(wnd, VK_F1);
    EXPECT_TRUE(WaitFor([] { return GetFileAttributesA("C:\\opened.txt") != INVALID_FILE_ATTRIBUTES; })) << "F1 opened no help";
    PostMessageA(wnd, WM_COMMAND, IDM_OPTIONS, 0);
    /* The General page is the one page shown at first; its box is ticked, OK pressed. */
    ASSERT_TRUE(WaitFor([&] {
        options = FindWindowA("#32770", "オプション");
        for (general = NULL; options && (general = FindWindowExA(options, general, "#32770", NULL)) && !IsWindowVisible(general);) {}
        return general != NULL;
    }));
    SendDlgItemMessageA(general, IDC_NOTITLEBAR, BM_CLICK, 0, 0);
    PostMessageA(options, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(wnd); })) << "the program did not end";
    char image[MAX_PATH * 2] = "";
    DWORD id = 0, size = sizeof(image);
    GetWindowThreadProcessId(wnd = Start(""), &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    QueryFullProcessImageNameA(process, 0, image, &size);
    CloseHandle(process);
    EXPECT_EQ(image, program);
    EXPECT_EQ(GetWindowLongA(wnd, GWL_STYLE) & WS_CAPTION, 0) << "the new copy has a title bar";
}
