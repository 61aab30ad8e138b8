/* Changing the title-bar choice in the Options dialog restarts the program, which
   then opens in the other frame at the same place. */
#include "scene.h"
#include "options.h"
#include "../../res/resource.h"

static const char kProgramFolder[] = "C:\\velmor test 表";

/* A harmless program where a command line of the bare, unquoted program path would
   lead: the opener, which leaves a log when it runs. */
class Decoy {
public:
    Decoy() { CopyFileA(OpenerPath().c_str(), kPath, FALSE); }
    ~Decoy()
    {
        DeleteFileA(kPath);
        DeleteFileA(Log().c_str());
    }
    bool Ran() const { return GetFileAttributesA(Log().c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    static constexpr const char* kPath = "C:\\velmor.exe";
    static std::string Log() { return std::string(kPath) + ".log"; }
};

class TitleBarRestart : public ClockScenario {
protected:
    /* Ticks or unticks the title-bar box `clicks` times and presses OK. */
    void ClickTitleBarBoxAndOk(int clicks)
    {
        HWND dialog = OpenOptionsDialog(wnd);
        ASSERT_NE(dialog, nullptr) << "Ctrl+O opened no Options dialog";
        HWND general = OptionsPages(dialog)[GeneralPage];
        ASSERT_NE(general, nullptr);
        for (int i = 0; i < clicks; i++) Click(general, IDC_NOTITLEBAR);
        ASSERT_TRUE(Dismiss(dialog, Dismissal::Ok));
        ASSERT_TRUE(WaitForOptionsClosed(dialog, wnd));
    }

    /* The old copy ends and a new one of the same program file opens at rect. */
    void ExpectRestartedAt(const RECT& rect, const std::string& program)
    {
        DWORD old = app.ProcessId();
        ASSERT_TRUE(app.FollowRestart()) << (decoy.Ran() ? "the restart started C:\\velmor.exe instead" : "");
        wnd = app.Window();
        EXPECT_NE(app.ProcessId(), old);
        EXPECT_EQ(app.ImagePath(), program);
        EXPECT_TRUE(SameRect(WindowRect(wnd), rect)) << "the new copy opened at " << RectText(WindowRect(wnd))
                                                     << ", not at " << RectText(rect);
        Face face;
        EXPECT_TRUE(WaitForFace(wnd, ShowsClock, &face)) << "the new copy shows no clock";
        EXPECT_FALSE(decoy.Ran()) << "the restart also started C:\\velmor.exe";
    }

    Decoy decoy;
};

static bool HasFrame(HWND wnd)
{
    return (GetWindowLongA(wnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION && GetMenu(wnd) != NULL;
}

TEST_F(TitleBarRestart, ChoiceReopensTheProgramFromItsFolderInTheOtherFrame)
{
    Folder& folder = MakeFolder(kProgramFolder);
    ASSERT_TRUE(folder.CopyIn(ProgramPath(), "VELMOR.EXE"));
    RECT stored = { 160, 120, 520, 360 };
    PlantSetting("Pos", REG_BINARY, StoredRect(stored));

    ASSERT_NO_FATAL_FAILURE(StartClock(folder.File("VELMOR.EXE")));
    ASSERT_TRUE(HasFrame(wnd));
    RECT rect = WindowRect(wnd);
    ASSERT_NO_FATAL_FAILURE(ClickTitleBarBoxAndOk(1));
    ASSERT_NO_FATAL_FAILURE(ExpectRestartedAt(rect, folder.File("VELMOR.EXE")));
    EXPECT_EQ(GetWindowLongA(wnd, GWL_STYLE) & WS_CAPTION, 0) << "the new copy has a caption";
    EXPECT_EQ(GetMenu(wnd), nullptr) << "the new copy has a menu bar";

    ASSERT_NO_FATAL_FAILURE(ClickTitleBarBoxAndOk(1));
    ASSERT_NO_FATAL_FAILURE(ExpectRestartedAt(rect, folder.File("VELMOR.EXE")));
    EXPECT_TRUE(HasFrame(wnd)) << "the third copy has no caption or no menu bar";
}

TEST_F(TitleBarRestart, TickingAndUntickingBeforeOkRestartsNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    ASSERT_NO_FATAL_FAILURE(ClickTitleBarBoxAndOk(2));
    /* The apply is over: a restart would have destroyed the window by now. */
    EXPECT_TRUE(Answers(wnd)) << "the window is gone";
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(HasFrame(wnd));
    std::vector<BYTE> options;
    ASSERT_TRUE(ReadSetting("Option", &options));
    EXPECT_EQ(options.at(6), 0) << "a title-less window was stored";
}
