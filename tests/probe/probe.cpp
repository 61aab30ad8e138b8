/* Stands in for VELMOR in the restart tests: writes its own file name and its
   command line, one per line, to the file that VELMOR_PROBE_OUT names, then stays
   while the event VelmorProbeHold exists and is not set, so the test sees it run. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char out[MAX_PATH], part[MAX_PATH + 8], module[2048];
    DWORD written;

    if (!GetEnvironmentVariableA("VELMOR_PROBE_OUT", out, sizeof(out))) return 1;
    DWORD length = GetModuleFileNameA(NULL, module, sizeof(module));
    const char* commandLine = GetCommandLineA();

    /* Written beside and renamed, so the test never reads half a report. */
    wsprintfA(part, "%s.part", out);
    HANDLE file = CreateFileA(part, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    WriteFile(file, module, length, &written, NULL);
    WriteFile(file, "\n", 1, &written, NULL);
    WriteFile(file, commandLine, lstrlenA(commandLine), &written, NULL);
    CloseHandle(file);
    MoveFileExA(part, out, MOVEFILE_REPLACE_EXISTING);

    HANDLE hold = OpenEventA(SYNCHRONIZE, FALSE, "VelmorProbeHold");
    if (hold) WaitForSingleObject(hold, 60000);
    return 0;
}
