/* The Help menu: the About box, and the help file that F1 hands to the shell. */
#include "scene.h"
#include "../../res/resource.h"

class Help : public ClockScenario {};

/* A message box of the process: a visible "#32770" that no window owns. */
static HWND MessageBoxOf(DWORD processId)
{
    for (HWND box = NULL; (box = FindWindowExA(NULL, box, "#32770", NULL)) != NULL;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == processId && !GetWindow(box, GW_OWNER) && IsWindowVisible(box)) return box;
    }
    return NULL;
}

/* A message box's text: the one static control that holds any. */
static std::string MessageText(HWND box)
{
    std::string text;
    for (HWND child = NULL; (child = FindWindowExA(box, child, "Static", NULL)) != NULL;) {
        char buffer[520] = "";
        SendMessageA(child, WM_GETTEXT, sizeof(buffer), (LPARAM)buffer);
        if (buffer[0]) text = buffer;
    }
    return text;
}

static std::string SystemText(DWORD error)
{
    char text[520] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, text,
                   sizeof(text), NULL);
    return text;
}

/* While it lives, the shell opens .txt documents with the opener of the build, which
   records what it was asked to open. Wine's shell reads only the machine's classes
   (the current user's Software\\Classes is not merged in), so the association is
   made there, and whatever .txt named before is put back. */
class TextAssociation {
public:
    TextAssociation()
    {
        LONG size = sizeof(previous_);
        hadPrevious_ = RegQueryValueA(HKEY_CLASSES_ROOT, ".txt", previous_, &size) == ERROR_SUCCESS;
        std::string command = "\"" + OpenerPath() + "\" \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, kProgId, 0);
        RegSetValueA(HKEY_CLASSES_ROOT, (std::string(kProgId) + "\\shell\\open\\command").c_str(), REG_SZ,
                     command.c_str(), 0);
        DeleteFileA(Log().c_str());
    }
    ~TextAssociation()
    {
        if (hadPrevious_)
            RegSetValueA(HKEY_CLASSES_ROOT, ".txt", REG_SZ, previous_, 0);
        else
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ".txt");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
        DeleteFileA(Log().c_str());
    }
    TextAssociation(const TextAssociation&) = delete;
    TextAssociation& operator=(const TextAssociation&) = delete;

    /* The command line the opener was started with, once it has written it. */
    static std::string Log() { return OpenerPath() + ".log"; }

private:
    static constexpr const char* kProgId = "VelmorTestTxt";
    char previous_[MAX_PATH] = "";
    bool hadPrevious_ = false;
};

static std::string FileText(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[1024];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, NULL) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

/* The last argument of a command line, without its quotes. */
static std::string LastArgument(const std::string& commandLine)
{
    if (commandLine.empty() || commandLine.back() != '"') return commandLine.substr(commandLine.rfind(' ') + 1);
    size_t open = commandLine.rfind('"', commandLine.size() - 2);
    return open == std::string::npos ? "" : commandLine.substr(open + 1, commandLine.size() - open - 2);
}

TEST_F(Help, AboutBoxShowsNameAndVersionAndClosesEveryWayTwice)
{
    ASSERT_NO_FATAL_FAILURE(StartClock());
    for (int round = 0; round < 2; round++) {
        for (Dismissal way : { Dismissal::Ok, Dismissal::Escape, Dismissal::CloseBox }) {
            SCOPED_TRACE(DismissalName(way));
            ASSERT_TRUE(ChooseMenuItem(wnd, 'H', 'A'));
            HWND about = WaitForDialog(wnd, "バージョン情報");
            ASSERT_NE(about, nullptr) << "Alt+H, A opened no About box";
            EXPECT_EQ(ControlText(about, IDC_ABOUT_NAME), "VELMOR");
            EXPECT_EQ(ControlText(about, IDC_ABOUT_VERSION), "Version 0.11");
            ASSERT_TRUE(Dismiss(about, way));
            EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(wnd) != FALSE; }))
                << "the main window stayed disabled";
        }
    }
}

TEST_F(Help, F1WithoutTheHelpFileShowsTheSystemsWordsForAMissingFile)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    Folder& folder = MakeFolder(std::string(temp) + "velmor without help");
    ASSERT_TRUE(folder.CopyIn(ProgramPath(), "VELMOR.EXE"));
    ASSERT_NO_FATAL_FAILURE(StartClock(folder.File("VELMOR.EXE")));

    ASSERT_TRUE(PressKey(wnd, VK_F1));
    HWND box = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(app.ProcessId())) != NULL; }))
        << "F1 showed no error box";
    std::string text = MessageText(box);
    EXPECT_EQ(text, SystemText(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(text, SystemText(ERROR_SUCCESS));
    EXPECT_FALSE(IsWindowEnabled(wnd)) << "the box is not task-modal";
    ASSERT_TRUE(Dismiss(box, Dismissal::Ok));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(wnd) != FALSE; })) << "the main window stayed disabled";
}

TEST_F(Help, F1HandsTheShellTheHelpFileBesideTheProgram)
{
    TextAssociation association;
    Folder& folder = MakeFolder("C:\\velmor ヘルプ 表");
    ASSERT_TRUE(folder.CopyIn(ProgramPath(), "VELMOR.EXE"));
    ASSERT_TRUE(folder.CopyIn(BesideProgram("VELMOR.TXT"), "VELMOR.TXT"));
    ASSERT_NO_FATAL_FAILURE(StartClock(folder.File("VELMOR.EXE")));

    ASSERT_TRUE(PressKey(wnd, VK_F1));
    ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesA(TextAssociation::Log().c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "the shell opened nothing";
    std::string commandLine = FileText(TextAssociation::Log());
    EXPECT_EQ(LastArgument(commandLine), folder.File("VELMOR.TXT")) << "the opener got: " << commandLine;

    /* Keys are handled in order: Enter counts only once F1 is done, and an error box
       would have taken it. */
    ASSERT_NO_FATAL_FAILURE(CountUp());
    EXPECT_EQ(MessageBoxOf(app.ProcessId()), nullptr) << "an error box came";
}
