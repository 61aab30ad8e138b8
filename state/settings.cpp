#include "settings.h"

RegKey::RegKey(const char* path, int openOnly)
{
    Open(HKEY_CURRENT_USER, path, openOnly);
}

RegKey::RegKey(const char* basePath, const char* name, int openOnly)
{
    char path[MAX_PATH];
    wsprintfA(path, "%s\\%s", basePath, name);
    Open(HKEY_CURRENT_USER, path, openOnly);
}

RegKey::~RegKey()
{
    if (hKey) RegCloseKey(hKey);
    hKey = NULL;
}

/* Opens the key, or creates it (and its parents) unless openOnly is set. */
HKEY RegKey::Open(HKEY root, const char* path, int openOnly)
{
    LONG result;

    hKey = NULL;
    if (openOnly)
        result = RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &hKey);
    else
        result = RegCreateKeyExA(root, path, 0, NULL, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, NULL, &hKey, NULL);
    if (result != ERROR_SUCCESS) hKey = NULL;
    return hKey;
}

/* Copies a stored text into buffer, cut to capacity - 1 bytes at a whole character and
   always terminated, whether or not the stored bytes carried a terminator. Returns its
   length, 0 if none. */
int RegKey::ReadString(const char* name, char* buffer, int capacity)
{
    DWORD size = 0;
    if (RegQueryValueExA(hKey, name, NULL, NULL, NULL, &size) != ERROR_SUCCESS || size == 0)
        return 0;

    char* temp = (char*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)size + 1);
    if (!temp) return 0;
    int length = 0;
    if (RegQueryValueExA(hKey, name, NULL, NULL, (BYTE*)temp, &size) == ERROR_SUCCESS) {
        temp[size] = '\0';
        /* Half of a double-byte character would name another file, and lose its
           terminator in the next save. */
        const char* end = temp;
        while (*end && CharNextA(end) - temp < capacity) end = CharNextA(end);
        lstrcpynA(buffer, temp, (int)(end - temp) + 1);
        length = lstrlenA(buffer);
    }
    HeapFree(GetProcessHeap(), 0, temp);
    return length;
}

/* Reads at most size bytes; a larger stored value fails and leaves buffer alone. */
int RegKey::ReadBinary(const char* name, void* buffer, DWORD size)
{
    return RegQueryValueExA(hKey, name, NULL, NULL, (BYTE*)buffer, &size) == ERROR_SUCCESS;
}

int RegKey::WriteString(const char* name, const char* text)
{
    return RegSetValueExA(hKey, name, 0, REG_SZ, (const BYTE*)text, lstrlenA(text) + 1) == ERROR_SUCCESS;
}

int RegKey::WriteBinary(const char* name, const void* data, DWORD size)
{
    return RegSetValueExA(hKey, name, 0, REG_BINARY, (const BYTE*)data, size) == ERROR_SUCCESS;
}

static void FaceItemPath(char* path, const char* name)
{
    wsprintfA(path, "%s\\%s\\%s", REG_MAKER, REG_PRODUCT, name);
}

static int FontSizeDrawable(LONG size)
{
    return size >= -FONT_SIZE_LIMIT && size <= FONT_SIZE_LIMIT;
}

/* Loads one line; unless both "Option" and "Font" can be read, the whole line
   falls back to its default, font and all. */
void LoadFaceItem(const char* name, FaceLine* line)
{
    char path[128];
    LOGFONTA* lf = &line->logFont;

    FaceItemPath(path, name);
    RegKey key(path, 1);
    ZeroMemory(lf, sizeof(*lf));
    if (key.hKey && key.ReadBinary("Option", &line->item, sizeof(line->item))
                 && key.ReadBinary("Font", lf, sizeof(*lf))
                 && FontSizeDrawable(lf->lfHeight) && FontSizeDrawable(lf->lfWidth)) {
        /* A face name without terminator would be read past its 32 bytes by GDI. */
        lf->lfFaceName[LF_FACESIZE - 1] = '\0';
        ZeroMemory(line->item.text, sizeof(line->item.text));
        line->font = CreateFaceFont(lf);
        return;
    }
    int kind = name[0] == 'D' ? 0 : name[0] == 'T' ? 1 : 2;
    DefaultFaceItem(line, kind);
}

/* Stores one line, its font as loaded or chosen, at 96 dpi whatever the screen's; the
   font handle may already be gone, in the second save at log-off. Empties the live text. */
void SaveFaceItem(const char* name, FaceLine* line)
{
    char path[128];

    FaceItemPath(path, name);
    RegKey key(path, 0);
    key.WriteBinary("Font", &line->logFont, sizeof(line->logFont));
    ZeroMemory(line->text, sizeof(line->text));
    ZeroMemory(line->item.text, sizeof(line->item.text));
    line->item.font = (DWORD)(ULONG_PTR)line->font;
    key.WriteBinary("Option", &line->item, sizeof(line->item));
}

int LoadSettings(void)
{
    RegKey root(REG_MAKER, REG_PRODUCT, 0);
    ClockState* s = gState;

    root.ReadString("Wave", s->wavePath, sizeof(s->wavePath));
    if (!root.ReadBinary("Option", &s->options, sizeof(s->options))) {
        ZeroMemory(&s->options, sizeof(s->options));
        s->options.backColor = RGB(255, 255, 255);
    }
    if (!root.ReadBinary("Pos", &s->windowRect, sizeof(s->windowRect)))
        ZeroMemory(&s->windowRect, sizeof(s->windowRect));
    LoadFaceItem("Date", &s->date);
    LoadFaceItem("Time", &s->time);
    LoadFaceItem("Stop", &s->count);
    return 1;
}

void SaveSettings(void)
{
    RegKey root(REG_MAKER, REG_PRODUCT, 0);
    ClockState* s = gState;

    root.WriteString("Version", "0.11");
    root.WriteString("Wave", s->wavePath);
    root.WriteBinary("Option", &s->options, sizeof(s->options));
    root.WriteBinary("Pos", &s->windowRect, sizeof(s->windowRect));
    SaveFaceItem("Date", &s->date);
    SaveFaceItem("Time", &s->time);
    SaveFaceItem("Stop", &s->count);
}
