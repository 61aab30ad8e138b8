/* Settings in HKEY_CURRENT_USER\Software\ORBA\VELMOR. */
#ifndef VELMOR_SETTINGS_H
#define VELMOR_SETTINGS_H

#include "clock_state.h"

#define REG_MAKER   "Software\\ORBA"
#define REG_PRODUCT "VELMOR"

/* Font sizes beyond any screen, in pixels at 96 dpi. Past them GDI under Wine spends
   up to seconds on one line of text, and a width near 2^31 makes it fault inside
   TextOut, at every paint from then on: a stored font of such a size counts as
   unreadable, and the font dialog offers none. */
#define FONT_SIZE_LIMIT 4096

/* Owns one open registry key for the length of one load or save step. */
class RegKey {
public:
    HKEY hKey;

    RegKey(const char* path, int openOnly);
    RegKey(const char* basePath, const char* name, int openOnly);
    ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    virtual HKEY Open(HKEY root, const char* path, int openOnly);
    int ReadString(const char* name, char* buffer, int capacity);
    int ReadBinary(const char* name, void* buffer, DWORD size);
    int WriteString(const char* name, const char* text);
    int WriteBinary(const char* name, const void* data, DWORD size);
};

int  LoadSettings(void);
void SaveSettings(void);
void LoadFaceItem(const char* name, FaceLine* line);
void SaveFaceItem(const char* name, FaceLine* line);

#endif
