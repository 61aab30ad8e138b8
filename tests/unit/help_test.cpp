#include <gtest/gtest.h>
#include "test_support.h"
#include "dialog_driver.h"
#include "../../help/help_menu.h"
#include <shellapi.h>

namespace {

using namespace dialogdrive;

/* 表 and ソ end in the byte 0x5C, the backslash. */
TEST(HelpPath, SeparatorSearchStepsOverDoubleByteCharacters)
{
    const char* path = "C:\\表\\ソ表";
    const char* last = FindLastSeparator(path);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last - path, 5) << "the backslash after 表, not the trail byte of the last ソ or 表";
    EXPECT_EQ(FindLastSeparator("表ソ"), nullptr) << "trail bytes only";
    EXPECT_EQ(FindLastSeparator("VELMOR.EXE"), nullptr);
    EXPECT_EQ(FindLastSeparator(""), nullptr);
}

TEST(HelpPath, HelpFileBesideTheProgram)
{
    char out[MAX_PATH];
    ASSERT_EQ(HelpFilePath("C:\\Program Files\\時計 表\\VELMOR.EXE", out, sizeof(out)), 1);
    EXPECT_EQ(Utf8(out), Utf8("C:\\Program Files\\時計 表\\VELMOR.TXT"));
    ASSERT_EQ(HelpFilePath("C:\\ソ\\x.exe", out, sizeof(out)), 1);
    EXPECT_EQ(Utf8(out), Utf8("C:\\ソ\\VELMOR.TXT"));

    lstrcpyA(out, "untouched");
    EXPECT_EQ(HelpFilePath("VELMOR.EXE", out, sizeof(out)), 0) << "no folder: nothing to open";
    EXPECT_STREQ(out, "untouched");
}

TEST(HelpPath, APathThatWouldNotFitIsRefusedWhole)
{
    char out[MAX_PATH];
    /* A folder of 248 bytes and "\VELMOR.TXT" make 259 bytes: the most that fits. */
    std::string folder = "C:\\" + std::string(245, 'a');
    std::string module = folder + "\\V.EXE";
    ASSERT_EQ(HelpFilePath(module.c_str(), out, sizeof(out)), 1);
    EXPECT_EQ(std::string(out), folder + "\\VELMOR.TXT");
    EXPECT_EQ(lstrlenA(out), 259);

    lstrcpyA(out, "untouched");
    module = folder + "b\\V.EXE";
    EXPECT_EQ(HelpFilePath(module.c_str(), out, sizeof(out)), -1) << "one byte more";
    EXPECT_STREQ(out, "untouched") << "never a cut path";
}

TEST(HelpShell, ErrorOfAFailedShellExecute)
{
    EXPECT_EQ(ShellErrorCode(SE_ERR_NOASSOC, 0), (DWORD)ERROR_NO_ASSOCIATION);
    EXPECT_EQ(ShellErrorCode(SE_ERR_FNF, 0), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ShellErrorCode(SE_ERR_ACCESSDENIED, 0), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_EQ(ShellErrorCode(0, 0), (DWORD)ERROR_OUTOFMEMORY) << "out of resources";
    EXPECT_EQ(ShellErrorCode(SE_ERR_NOASSOC, ERROR_ACCESS_DENIED), (DWORD)ERROR_ACCESS_DENIED)
        << "the thread's own error comes first";
}

/* Shows the error box and gives the text it showed, closing it as a user would. */
std::string ErrorBoxText(const char* text, UINT id, DWORD lastError)
{
    std::string shown;
    HWND box = NULL;
    DialogScript script;
    script.Wait("the error box", [&] { return (box = FindThreadDialog([](HWND) { return true; })) != NULL; })
        .Do("read and close it", [&] {
            shown = TextOf(GetDlgItem(box, 0xFFFF));
            Click(box, IDOK);
        });
    script.Run([&] {
        SetLastError(lastError);
        return (INT_PTR)ShowErrorBox(text, id);
    });
    return shown;
}

TEST(HelpShell, ErrorBoxSaysWhatWentWrong)
{
    EXPECT_EQ(Utf8(ErrorBoxText("ヘルプ", 0, 0).c_str()), Utf8("ヘルプ"));

    char expected[520];
    ASSERT_NE(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                             ERROR_FILE_NOT_FOUND, 0, expected, sizeof(expected), NULL), 0u);
    EXPECT_EQ(Utf8(ErrorBoxText(NULL, (UINT)-1, ERROR_FILE_NOT_FOUND).c_str()), Utf8(expected));
    EXPECT_EQ(ErrorBoxText("", (UINT)-1, 0xE0001234), "Unknown Error. (3758101044)")
        << "an error the system has no words for is still named";
    EXPECT_EQ(ErrorBoxText(NULL, 12345, 0), "Unknown Error. (12345)");
}

}
