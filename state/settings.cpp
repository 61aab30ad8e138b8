#include "settings.h"
#include <stdlib.h>

static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName), "fonts differ in the face name only");

RegKey::RegKey(const WCHAR* path, int openOnly)
{
    Open(HKEY_CURRENT_USER, path, openOnly);
}

RegKey::RegKey(const WCHAR* basePath, const WCHAR* name, int openOnly)
{
    WCHAR path[MAX_PATH];
    wsprintfW(path, L"%s\\%s", basePath, name);
    Open(HKEY_CURRENT_USER, path, openOnly);
}

RegKey::~RegKey()
{
    if (hKey) RegCloseKey(hKey);
    hKey = NULL;
}

/* Opens the key, or creates it (and its parents) unless openOnly is set. */
HKEY RegKey::Open(HKEY root, const WCHAR* path, int openOnly)
{
    LONG result;

    hKey = NULL;
    if (openOnly)
        result = RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &hKey);
    else
        result = RegCreateKeyExW(root, path, 0, NULL, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, NULL, &hKey, NULL);
    if (result != ERROR_SUCCESS) hKey = NULL;
    return hKey;
}

/* Copies a stored text into buffer, cut to capacity - 1 units at a whole character and
   always terminated, whether or not the stored text carried a terminator. The registry
   holds texts as UTF-16, those older copies write through the ANSI functions too.
   Returns its length, 0 if none. */
int RegKey::ReadString(const WCHAR* name, WCHAR* buffer, int capacity)
{
    DWORD size = 0;
    if (RegQueryValueExW(hKey, name, NULL, NULL, NULL, &size) != ERROR_SUCCESS || size == 0)
        return 0;

    WCHAR* temp = (WCHAR*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)size + sizeof(WCHAR));
    if (!temp) return 0;
    int length = 0;
    if (RegQueryValueExW(hKey, name, NULL, NULL, (BYTE*)temp, &size) == ERROR_SUCCESS) {
        temp[size / sizeof(WCHAR)] = L'\0';
        length = lstrlenW(temp);
        if (length >= capacity) {
            length = capacity - 1;
            /* Half of a surrogate pair would name another file. */
            if (length > 0 && IS_HIGH_SURROGATE(temp[length - 1])) length--;
        }
        CopyMemory(buffer, temp, length * sizeof(WCHAR));
        buffer[length] = L'\0';
    }
    HeapFree(GetProcessHeap(), 0, temp);
    return length;
}

/* Reads at most size bytes; a larger stored value fails and leaves buffer alone. */
int RegKey::ReadBinary(const WCHAR* name, void* buffer, DWORD size)
{
    return RegQueryValueExW(hKey, name, NULL, NULL, (BYTE*)buffer, &size) == ERROR_SUCCESS;
}

int RegKey::WriteString(const WCHAR* name, const WCHAR* text)
{
    DWORD size = (lstrlenW(text) + 1) * sizeof(WCHAR);
    return RegSetValueExW(hKey, name, 0, REG_SZ, (const BYTE*)text, size) == ERROR_SUCCESS;
}

int RegKey::WriteBinary(const WCHAR* name, const void* data, DWORD size)
{
    return RegSetValueExW(hKey, name, 0, REG_BINARY, (const BYTE*)data, size) == ERROR_SUCCESS;
}

static void FaceItemPath(WCHAR* path, const WCHAR* name)
{
    wsprintfW(path, L"%s\\%s\\%s", REG_MAKER, REG_PRODUCT, name);
}

/* Within the limit as stored and as drawn at the window's resolution. */
static int FontSizeDrawable(LONG size)
{
    return size >= -FONT_SIZE_LIMIT && size <= FONT_SIZE_LIMIT && abs(MulDiv(size, gState->dpi, 96)) <= FONT_SIZE_LIMIT;
}

/* The stored font is the LOGFONTA older copies write, its face name in the system's ANSI
   code page. A name that code page cannot store again whole is cut to what it can, so
   that what is saved loads back the same. */
static void LoadedFont(LOGFONTA* stored, LOGFONTW* lf)
{
    char again[LF_FACESIZE];

    /* A face name without terminator would be read past its 32 bytes. */
    stored->lfFaceName[LF_FACESIZE - 1] = '\0';
    ZeroMemory(lf, sizeof(*lf));
    CopyMemory(lf, stored, offsetof(LOGFONTA, lfFaceName));
    if (!MultiByteToWideChar(CP_ACP, 0, stored->lfFaceName, -1, lf->lfFaceName, LF_FACESIZE))
        lf->lfFaceName[0] = L'\0';
    for (int n = lstrlenW(lf->lfFaceName); n > 0 && !AnsiFaceName(lf->lfFaceName, again);)
        lf->lfFaceName[--n] = L'\0';
}

/* The stored form of a line's font: sizes at 96 dpi, whatever resolution it was chosen at. */
static void StoredFont(const FaceLine* line, LOGFONTA* stored)
{
    CopyMemory(stored, &line->logFont, offsetof(LOGFONTA, lfFaceName));
    stored->lfHeight = StoredFontHeight(line->logFont.lfHeight, line->fontDpi);
    stored->lfWidth = MulDiv(line->logFont.lfWidth, 96, line->fontDpi);
    AnsiFaceName(line->logFont.lfFaceName, stored->lfFaceName);
}

/* Loads one line; unless both "Option" and "Font" can be read, the whole line
   falls back to its default, font and all. */
void LoadFaceItem(const WCHAR* name, FaceLine* line)
{
    WCHAR path[128];
    LOGFONTA stored;

    FaceItemPath(path, name);
    RegKey key(path, 1);
    ZeroMemory(&stored, sizeof(stored));
    if (key.hKey && key.ReadBinary(L"Option", &line->item, sizeof(line->item))
                 && key.ReadBinary(L"Font", &stored, sizeof(stored))
                 && FontSizeDrawable(stored.lfHeight) && FontSizeDrawable(stored.lfWidth)) {
        LoadedFont(&stored, &line->logFont);
        ZeroMemory(line->item.text, sizeof(line->item.text));
        line->fontDpi = 96;
        line->font = CreateFaceFont(&line->logFont, 96, 0);
        return;
    }
    int kind = name[0] == L'D' ? 0 : name[0] == L'T' ? 1 : 2;
    DefaultFaceItem(line, kind);
}

/* Stores one line, its font as loaded or chosen; the font handle may already be gone, in
   the second save at log-off. Empties the live text. */
void SaveFaceItem(const WCHAR* name, FaceLine* line)
{
    WCHAR path[128];
    LOGFONTA stored;

    FaceItemPath(path, name);
    RegKey key(path, 0);
    StoredFont(line, &stored);
    key.WriteBinary(L"Font", &stored, sizeof(stored));
    ZeroMemory(line->text, sizeof(line->text));
    ZeroMemory(line->item.text, sizeof(line->item.text));
    line->item.font = (DWORD)(ULONG_PTR)line->font;
    key.WriteBinary(L"Option", &line->item, sizeof(line->item));
}

int LoadSettings(void)
{
    RegKey root(REG_MAKER, REG_PRODUCT, 0);
    ClockState* s = gState;

    root.ReadString(L"Wave", s->wavePath, ARRAYSIZE(s->wavePath));
    if (!root.ReadBinary(L"Option", &s->options, sizeof(s->options))) {
        ZeroMemory(&s->options, sizeof(s->options));
        s->options.backColor = RGB(255, 255, 255);
        /* A first start: a countdown ends audibly. Stored options of older copies hold 0
           there, and their users keep silence without a WAVE file. */
        s->options.builtInSound = 1;
    }
    if (!root.ReadBinary(L"Pos", &s->windowRect, sizeof(s->windowRect)))
        ZeroMemory(&s->windowRect, sizeof(s->windowRect));
    LoadFaceItem(L"Date", &s->date);
    LoadFaceItem(L"Time", &s->time);
    LoadFaceItem(L"Stop", &s->count);
    LoadAlarms();
    return 1;
}

void SaveSettings(void)
{
    RegKey root(REG_MAKER, REG_PRODUCT, 0);
    ClockState* s = gState;

    root.WriteString(L"Version", L"0.11");
    root.WriteString(L"Wave", s->wavePath);
    root.WriteBinary(L"Option", &s->options, sizeof(s->options));
    root.WriteBinary(L"Pos", &s->windowRect, sizeof(s->windowRect));
    SaveFaceItem(L"Date", &s->date);
    SaveFaceItem(L"Time", &s->time);
    SaveFaceItem(L"Stop", &s->count);
    SaveAlarms();
}

static void AlarmPath(WCHAR* path, int number)
{
    wsprintfW(path, L"%s\\%s\\Alarms\\%d", REG_MAKER, REG_PRODUCT, number);
}

/* The alarms "1", "2", ... in list order; a number missing is passed over. An "Option"
   that cannot be read, or a time no clock shows, loads as an alarm switched off at 0:00,
   so that nothing stored rings at a time it does not show; its label and sound stay. */
void LoadAlarms(void)
{
    ClockState* s = gState;
    WCHAR path[64];

    s->alarmCount = 0;
    for (int number = 1; number <= MAX_ALARMS; number++) {
        AlarmPath(path, number);
        RegKey key(path, 1);
        if (!key.hKey) continue;
        Alarm* alarm = &s->alarms[s->alarmCount++];
        ZeroMemory(alarm, sizeof(*alarm));
        if (!key.ReadBinary(L"Option", &alarm->option, sizeof(alarm->option))) ZeroMemory(&alarm->option, sizeof(alarm->option));
        if (alarm->option.hour > 23 || alarm->option.minute > 59) {
            alarm->option.on = 0;
            alarm->option.hour = alarm->option.minute = 0;
        }
        key.ReadString(L"Label", alarm->label, ALARM_LABEL_SIZE);
        key.ReadString(L"Wave", alarm->wave, MAX_PATH);
    }
}

/* Stores the list as it is, and removes the numbers past its end. */
void SaveAlarms(void)
{
    ClockState* s = gState;
    WCHAR path[64];

    for (int number = 1; number <= MAX_ALARMS; number++) {
        AlarmPath(path, number);
        if (number > s->alarmCount) {
            RegDeleteTreeW(HKEY_CURRENT_USER, path);
            continue;
        }
        const Alarm* alarm = &s->alarms[number - 1];
        RegKey key(path, 0);
        key.WriteBinary(L"Option", &alarm->option, sizeof(alarm->option));
        key.WriteString(L"Label", alarm->label);
        key.WriteString(L"Wave", alarm->wave);
    }
}

/* The path of this program file in out, LONG_PATH_SIZE units: its length, or 0 when
   there is none or it came cut. */
DWORD ProgramPath(WCHAR* out)
{
    DWORD length = GetModuleFileNameW(gInstance, out, LONG_PATH_SIZE);
    return length < LONG_PATH_SIZE ? length : 0;
}

/* The path in double quotes, for a command line: out holds LONG_PATH_SIZE + 2 units. */
void QuotePath(WCHAR* out, const WCHAR* path)
{
    out[0] = L'"';
    lstrcpynW(out + 1, path, LONG_PATH_SIZE);
    lstrcatW(out, L"\"");
}

/* Whether Windows opens program at log-on: its Run value "VELMOR" names that file. */
int StartsWithWindows(const WCHAR* program)
{
    WCHAR value[LONG_PATH_SIZE + 2];
    RegKey run(REG_RUN, 1);
    int length = run.hKey ? run.ReadString(REG_PRODUCT, value, ARRAYSIZE(value)) : 0;
    WCHAR* named = value;
    if (length >= 2 && value[0] == L'"' && value[length - 1] == L'"') {
        value[length - 1] = L'\0';
        named++;
    }
    return length > 0 && CompareStringOrdinal(named, -1, program, -1, TRUE) == CSTR_EQUAL;
}

/* Has Windows open program at log-on, quoted for the blanks of its folders; or no longer,
   where the value names this very file: another copy's is left alone. */
void SetStartWithWindows(const WCHAR* program, int on)
{
    WCHAR quoted[LONG_PATH_SIZE + 2];
    if (on) {
        RegKey run(REG_RUN, 0);
        QuotePath(quoted, program);
        run.WriteString(REG_PRODUCT, quoted);
    } else if (StartsWithWindows(program)) {
        RegKey run(REG_RUN, 1);
        RegDeleteValueW(run.hKey, REG_PRODUCT);
    }
}
