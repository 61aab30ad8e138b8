/* Stands in for the program the shell opens a document with, or for a program that
   must not be started at all: it writes the command line it was given to a file named
   after itself plus ".log", so a scenario can read what was asked of it, and ends. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char log[MAX_PATH + 4], part[MAX_PATH + 9];
    DWORD length = GetModuleFileNameA(NULL, log, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    lstrcatA(log, ".log");
    /* Renamed into place when complete, so the scenario never reads half of it. */
    wsprintfA(part, "%s.part", log);

    HANDLE file = CreateFileA(part, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const char* commandLine = GetCommandLineA();
    DWORD written = 0;
    BOOL complete = WriteFile(file, commandLine, lstrlenA(commandLine), &written, NULL);
    CloseHandle(file);
    return complete && MoveFileExA(part, log, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
