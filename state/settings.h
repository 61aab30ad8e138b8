/* Settings in HKEY_CURRENT_USER\Software\ORBA\VELMOR. */
#ifndef VELMOR_SETTINGS_H
#define VELMOR_SETTINGS_H

#include "clock_state.h"

#define REG_MAKER   L"Software\\ORBA"
#define REG_PRODUCT L"VELMOR"
#define REG_RUN     L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"
/* The longest path Windows gives without the \\?\ form, and its terminator. */
#define LONG_PATH_SIZE 32768

/* Font sizes beyond any screen, in pixels at 96 dpi. Past them GDI under Wine spends
   up to seconds on one line of text, and a width near 2^31 makes it fault inside
   TextOut, at every paint from then on: a stored font of such a size counts as
   unreadable, and the font dialog offers none. */
#define FONT_SIZE_LIMIT 4096

/* Owns one open registry key for the length of one load or save step. */
class RegKey {
public:
    HKEY hKey;

    RegKey(const WCHAR* path, int openOnly);
    RegKey(const WCHAR* basePath, const WCHAR* name, int openOnly);
    ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Open(HKEY root, const WCHAR* path, int openOnly);
    int ReadString(const WCHAR* name, WCHAR* buffer, int capacity);
    int ReadBinary(const WCHAR* name, void* buffer, DWORD size);
    int WriteString(const WCHAR* name, const WCHAR* text);
    int WriteBinary(const WCHAR* name, const void* data, DWORD size);
};

int  LoadSettings(void);
void SaveSettings(void);
void LoadFaceItem(const WCHAR* name, FaceLine* line);
void SaveFaceItem(const WCHAR* name, FaceLine* line);
void LoadAlarms(void);
void SaveAlarms(void);
DWORD ProgramPath(WCHAR* out);
void QuotePath(WCHAR* out, const WCHAR* path);
int  StartsWithWindows(const WCHAR* program);
void SetStartWithWindows(const WCHAR* program, int on);

#endif
