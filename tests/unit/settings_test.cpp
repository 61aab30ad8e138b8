/* The registry settings store, against the real (Wine) registry under
   HKCU\Software\ORBA\VELMOR. Values are planted and read back with the plain
   registry calls, so every byte that the store reads or writes is the test's. */
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <type_traits>
#include "test_support.h"
#include "state_helpers.h"
#include "../../state/settings.h"
#include "../../app/face_paint.h"

namespace {

using namespace statetest;

const char kKey[] = "Software\\ORBA\\VELMOR";
const char* const kLines[3] = { "Date", "Time", "Stop" };

std::string KeyPath(const char* sub)
{
    return sub ? std::string(kKey) + "\\" + sub : std::string(kKey);
}

bool KeyExists(const char* sub)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

/* Stores exactly these bytes with this type (sub NULL: the program's key). For the
   string types RegSetValueExA, as on NT, also counts the byte after data when that
   byte is zero and the last one is not: data must be followed by the byte meant. */
void Plant(const char* sub, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(sub).c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                              NULL, &key, NULL), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE*)data, size), ERROR_SUCCESS)
        << KeyPath(sub) << " " << name;
    RegCloseKey(key);
}
void PlantBinary(const char* sub, const char* name, const void* data, DWORD size)
{
    Plant(sub, name, REG_BINARY, data, size);
}

void Remove(const char* sub, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(sub).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

struct Stored {
    bool found = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

Stored Read(const char* sub, const char* name)
{
    Stored s;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return s;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, NULL, &s.type, NULL, &size) == ERROR_SUCCESS) {
        s.bytes.resize(size + 1);
        if (RegQueryValueExA(key, name, NULL, &s.type, s.bytes.data(), &size) == ERROR_SUCCESS) {
            s.found = true;
            s.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return s;
}

/* The sorted list of what entry(key, i, &text) gives for i = 0, 1, ... until it fails. */
std::vector<std::string> Enumerate(const char* sub, bool (*entry)(HKEY, DWORD, std::string*))
{
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    std::string text;
    for (DWORD i = 0; entry(key, i, &text); i++) out.push_back(text);
    RegCloseKey(key);
    std::sort(out.begin(), out.end());
    return out;
}

/* The values of a key, each as "Name:type:size". */
std::vector<std::string> Values(const char* sub)
{
    return Enumerate(sub, [](HKEY key, DWORD i, std::string* text) {
        char name[256];
        DWORD nameSize = sizeof(name), type = 0, size = 0;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, NULL, &size) != ERROR_SUCCESS) return false;
        *text = std::string(name) + ":" + std::to_string(type) + ":" + std::to_string(size);
        return true;
    });
}

std::vector<std::string> Subkeys(const char* sub)
{
    return Enumerate(sub, [](HKEY key, DWORD i, std::string* text) {
        char name[256];
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) return false;
        *text = name;
        return true;
    });
}

std::vector<std::string> Names(std::initializer_list<const char*> names)
{
    std::vector<std::string> out(names.begin(), names.end());
    std::sort(out.begin(), out.end());
    return out;
}

FaceLine* Line(int kind)
{
    FaceLine* lines[3] = { &gState->date, &gState->time, &gState->count };
    return lines[kind];
}

/* An item with every field set, the reserved bytes included. */
FaceItem SampleItem(BYTE seed)
{
    FaceItem item;
    ZeroMemory(&item, sizeof(item));
    item.color = RGB(seed, 0x34, 0x56);
    item.marginY = -7;
    item.marginX = 300;
    item.format = 10;
    item.alignH = 1;
    item.alignV = 2;
    for (int i = 0; i < 5; i++) item.reserved[i] = (BYTE)(seed + 0x11 * (i + 1));
    return item;
}

LOGFONTA SampleFont(LONG height)
{
    LOGFONTA lf;
    ZeroMemory(&lf, sizeof(lf));
    lf.lfHeight = height;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    lstrcpyA(lf.lfFaceName, "IPAMincho");
    return lf;
}

/* Fills the stack below the caller with a pattern, so that a local the store
   forgot to set shows that pattern rather than a lucky zero. */
__attribute__((noinline)) void DirtyStack(BYTE pattern)
{
    volatile BYTE junk[32768];
    for (size_t i = 0; i < sizeof(junk); i++) junk[i] = pattern;
}

class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteSettingsKey();
        ResetState();
    }
    void TearDown() override
    {
        ResetState();
        DeleteSettingsKey();
    }
};

/* ---- RegKey ---- */

TEST_F(Settings, RegKeyOpensOnlyExistingKeysUnlessAskedToCreate)
{
    static_assert(!std::is_copy_constructible<RegKey>::value, "RegKey objects are never copied");
    {
        RegKey key(KeyPath("Date").c_str(), 1);
        EXPECT_EQ(key.hKey, (HKEY)NULL);
    }
    EXPECT_FALSE(KeyExists(NULL)) << "openOnly does not create";
    {
        RegKey key(KeyPath("Date").c_str(), 0);
        EXPECT_NE(key.hKey, (HKEY)NULL);
    }
    EXPECT_TRUE(KeyExists("Date")) << "created with the missing key above it";
    {
        RegKey key("Software\\ORBA", "VELMOR", 1);
        ASSERT_NE(key.hKey, (HKEY)NULL);
        EXPECT_EQ(key.WriteString("S", "abc"), 1);
        BYTE data[3] = { 1, 2, 3 };
        EXPECT_EQ(key.WriteBinary("B", data, 3), 1);

        char buffer[8];
        lstrcpyA(buffer, "keep");
        EXPECT_EQ(key.ReadString("Missing", buffer, sizeof(buffer)), 0);
        EXPECT_STREQ(buffer, "keep") << "a missing value leaves the buffer alone";
        EXPECT_EQ(key.ReadString("S", buffer, sizeof(buffer)), 3);
        EXPECT_STREQ(buffer, "abc");
        EXPECT_EQ(key.ReadString("S", buffer, 3), 2) << "cut to capacity - 1";
        EXPECT_STREQ(buffer, "ab");

        BYTE read[4] = { 9, 9, 9, 9 };
        EXPECT_EQ(key.ReadBinary("B", read, 2), 0) << "a value larger than the record fails";
        EXPECT_EQ(Hex(read, 4), "09 09 09 09");
        EXPECT_EQ(key.ReadBinary("B", read, 4), 1);
        EXPECT_EQ(Hex(read, 4), "01 02 03 09");
    }
    EXPECT_EQ(Hex(Read(NULL, "S").bytes), "61 62 63 00") << "the terminator is stored";
    EXPECT_EQ(Read(NULL, "S").type, (DWORD)REG_SZ);
    EXPECT_EQ(Read(NULL, "B").type, (DWORD)REG_BINARY);
}

/* ---- First start and first save ---- */

TEST_F(Settings, FirstStartCreatesAnEmptyKeyAndLoadsTheDefaults)
{
    ASSERT_FALSE(KeyExists(NULL));
    EXPECT_EQ(LoadSettings(), 1);

    EXPECT_TRUE(KeyExists(NULL));
    EXPECT_TRUE(Values(NULL).empty());
    EXPECT_TRUE(Subkeys(NULL).empty()) << "loading creates no line subkey";
    for (const char* line : kLines) EXPECT_FALSE(KeyExists(line)) << line;

    const ClockState* s = gState;
    EXPECT_EQ(Hex(&s->options, 32), DefaultOptionsHex()) << "white, English suffix, two lines, framed";
    EXPECT_EQ(s->options.backColor, RGB(255, 255, 255));
    EXPECT_EQ(s->options.weekday, 0);
    EXPECT_EQ(s->options.oneLine, 0);
    EXPECT_EQ(s->options.noTitleBar, 0);
    EXPECT_EQ(Hex(&s->windowRect, 16), Hex(std::vector<BYTE>(16, 0)));
    EXPECT_EQ(s->wavePath[0], '\0');
    EXPECT_EQ(s->mode, Clock);
    const char* names[3] = { "date", "time", "count" };
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(ItemHexWithoutSlot(Line(kind)->item), DefaultItemHex(kind)) << names[kind];
        EXPECT_EQ(Line(kind)->text[0], '\0') << names[kind];
        ExpectDefaultFont(Line(kind)->font, names[kind]);
    }
    EXPECT_EQ(s->date.item.color, RGB(0, 0, 0));
    EXPECT_EQ(s->time.item.color, RGB(0, 128, 0));
    EXPECT_EQ(s->count.item.color, RGB(0, 0, 128));
}

TEST_F(Settings, FirstSaveWritesEveryValue)
{
    LoadSettings();
    SaveSettings();

    EXPECT_EQ(Values(NULL), Names({ "Version:1:5", "Wave:1:1", "Option:3:32", "Pos:3:16" }))
        << "name:type:size, REG_SZ 1, REG_BINARY 3";
    EXPECT_EQ(Hex(Read(NULL, "Version").bytes), "30 2E 31 31 00") << "\"0.11\" and its terminator";
    EXPECT_EQ(Hex(Read(NULL, "Wave").bytes), "00") << "an empty path is the terminator alone";
    EXPECT_EQ(Hex(Read(NULL, "Option").bytes), DefaultOptionsHex());
    EXPECT_EQ(Hex(Read(NULL, "Pos").bytes), Hex(std::vector<BYTE>(16, 0)));

    EXPECT_EQ(Subkeys(NULL), Names({ "Date", "Stop", "Time" }));
    for (int kind = 0; kind < 3; kind++) {
        const char* line = kLines[kind];
        EXPECT_EQ(Values(line), Names({ "Option:3:52", "Font:3:60" })) << line;
        Stored option = Read(line, "Option");
        ASSERT_EQ(option.bytes.size(), 52u) << line;
        FaceItem stored;
        memcpy(&stored, option.bytes.data(), 52);
        EXPECT_EQ(ItemHexWithoutSlot(stored), DefaultItemHex(kind)) << line;
        EXPECT_EQ(stored.font, (DWORD)(ULONG_PTR)Line(kind)->font)
            << line << ": the slot holds the low 32 bits of the live handle";
        EXPECT_EQ(Hex(Read(line, "Font").bytes), DefaultLogFontHex()) << line;
    }
}

TEST_F(Settings, FirstStartWithoutWritableFontsStoresNoFontAndLoadsDefaultsNextTime)
{
    LoadSettings();
    ReleaseFaceFonts();         /* as if every CreateFontIndirectA had failed */
    SaveSettings();
    for (const char* line : kLines)
        EXPECT_EQ(Values(line), Names({ "Option:3:52" })) << line << ": no bytes that were never set";

    ResetState();
    LoadSettings();
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(ItemHexWithoutSlot(Line(kind)->item), DefaultItemHex(kind)) << kLines[kind];
        ExpectDefaultFont(Line(kind)->font, kLines[kind]);
    }
}

/* ---- Byte examples ---- */

TEST_F(Settings, SaveFaceItemStoresTheGreenLineExample)
{
    LOGFONTA lf;
    DefaultLogFont(&lf);
    FaceLine line;
    ZeroMemory(&line, sizeof(line));
    line.font = CreateFontIndirectA(&lf);
    line.item.color = RGB(0, 128, 0);
    line.item.marginY = -5;
    line.item.marginX = 10;
    line.item.format = 5;
    line.item.alignH = 2;
    line.item.alignV = 1;
    lstrcpyA(line.text, "2:5:7 PM");
    lstrcpyA(line.item.text, "stale");

    SaveFaceItem("Time", &line);

    Stored option = Read("Time", "Option");
    ASSERT_EQ(option.bytes.size(), 52u);
    EXPECT_EQ(option.type, (DWORD)REG_BINARY);
    EXPECT_EQ(Hex(option.bytes.data(), 32), Hex(std::vector<BYTE>(32, 0)));
    DWORD slot;
    memcpy(&slot, option.bytes.data() + 32, 4);
    EXPECT_EQ(slot, (DWORD)(ULONG_PTR)line.font);
    EXPECT_EQ(Hex(option.bytes.data() + 36, 16), "00 80 00 00 FB FF 0A 00 05 02 01 00 00 00 00 00");
    EXPECT_EQ(Hex(Read("Time", "Font").bytes), DefaultLogFontHex());
    EXPECT_EQ(line.text[0], '\0') << "the live text is emptied";
    EXPECT_EQ(Hex(line.item.text, 32), Hex(std::vector<BYTE>(32, 0)));
    DeleteObject(line.font);
}

TEST_F(Settings, PosBytesAndRoundTrip)
{
    LoadSettings();
    SetRect(&gState->windowRect, 100, 50, 430, 250);
    SaveSettings();
    EXPECT_EQ(Hex(Read(NULL, "Pos").bytes), "64 00 00 00 32 00 00 00 AE 01 00 00 FA 00 00 00");

    ResetState();
    LoadSettings();
    EXPECT_EQ(gState->windowRect.left, 100);
    EXPECT_EQ(gState->windowRect.top, 50);
    EXPECT_EQ(gState->windowRect.right, 430);
    EXPECT_EQ(gState->windowRect.bottom, 250);

    /* Negative screen coordinates (a monitor left of the primary) are signed. */
    SetRect(&gState->windowRect, -1200, -3, -800, 300);
    SaveSettings();
    ResetState();
    LoadSettings();
    EXPECT_EQ(gState->windowRect.left, -1200);
    EXPECT_EQ(gState->windowRect.top, -3);
    EXPECT_EQ(gState->windowRect.right, -800);
}

TEST_F(Settings, MissingOrOversizedPosIsZero)
{
    BYTE pos[17];
    memset(pos, 0x22, sizeof(pos));
    PlantBinary(NULL, "Pos", pos, 17);
    gState->windowRect.left = 5;
    LoadSettings();
    EXPECT_EQ(Hex(&gState->windowRect, 16), Hex(std::vector<BYTE>(16, 0)));
}

TEST_F(Settings, NegativeMarginRoundTrip)
{
    LoadSettings();
    gState->count.item.marginY = -5;
    gState->count.item.marginX = -32768;
    SaveSettings();
    Stored option = Read("Stop", "Option");
    ASSERT_EQ(option.bytes.size(), 52u);
    EXPECT_EQ(Hex(option.bytes.data() + 40, 4), "FB FF 00 80");

    ResetState();
    LoadSettings();
    EXPECT_EQ(gState->count.item.marginY, -5);
    EXPECT_EQ(gState->count.item.marginX, -32768);
}

TEST_F(Settings, EverySettingRoundTrips)
{
    LoadSettings();
    gState->options.backColor = RGB(1, 2, 3);
    gState->options.weekday = 1;
    gState->options.oneLine = 1;
    gState->options.noTitleBar = 1;
    lstrcpyA(gState->wavePath, "C:\\音\\ring.wav");
    SetRect(&gState->windowRect, 1, 2, 3, 4);
    for (int kind = 0; kind < 3; kind++) {
        Line(kind)->item = SampleItem((BYTE)(kind + 1));
        DeleteObject(Line(kind)->font);
        LOGFONTA lf = SampleFont(-20 - kind);
        Line(kind)->font = CreateFontIndirectA(&lf);
    }
    ClockState before = *gState;
    std::string fonts[3];
    for (int kind = 0; kind < 3; kind++) fonts[kind] = FontHex(Line(kind)->font);
    SaveSettings();

    ResetState();
    LoadSettings();
    EXPECT_EQ(Hex(&gState->options, 32), Hex(&before.options, 32));
    EXPECT_STREQ(gState->wavePath, before.wavePath);
    EXPECT_EQ(Hex(&gState->windowRect, 16), Hex(&before.windowRect, 16));
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(ItemHexWithoutSlot(Line(kind)->item), ItemHexWithoutSlot(SampleItem((BYTE)(kind + 1))))
            << kLines[kind];
        EXPECT_EQ(FontHex(Line(kind)->font), fonts[kind]) << kLines[kind];
    }
}

/* ---- Edge cases of loading ---- */

TEST_F(Settings, OptionWithoutFontLoadsTheWholeDefaultLine)
{
    LOGFONTA lf = SampleFont(40);
    for (int kind = 0; kind < 3; kind++) {
        FaceItem item = SampleItem(0x70);
        PlantBinary(kLines[kind], "Option", &item, sizeof(item));
    }
    PlantBinary("Time", "Font", &lf, sizeof(lf));   /* the one complete line */
    LoadSettings();

    EXPECT_EQ(ItemHexWithoutSlot(gState->date.item), DefaultItemHex(0))
        << "colour, placement, margins and format return to the default with the font";
    ExpectDefaultFont(gState->date.font, "date");
    EXPECT_EQ(ItemHexWithoutSlot(gState->count.item), DefaultItemHex(2));
    ExpectDefaultFont(gState->count.font, "count");
    EXPECT_EQ(ItemHexWithoutSlot(gState->time.item), ItemHexWithoutSlot(SampleItem(0x70)));
    EXPECT_EQ(FontHex(gState->time.font), Hex(&lf, sizeof(lf)));
}

TEST_F(Settings, FontWithoutOptionOrOversizedValuesLoadTheDefaultLine)
{
    LOGFONTA lf = SampleFont(40);
    FaceItem item = SampleItem(0x70);
    BYTE big[61];
    memset(big, 0x33, sizeof(big));
    PlantBinary("Date", "Font", &lf, sizeof(lf));                   /* no Option */
    PlantBinary("Time", "Option", big, 53);                         /* Option too long */
    PlantBinary("Time", "Font", &lf, sizeof(lf));
    PlantBinary("Stop", "Option", &item, sizeof(item));
    PlantBinary("Stop", "Font", big, 61);                           /* Font too long */
    LoadSettings();
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(ItemHexWithoutSlot(Line(kind)->item), DefaultItemHex(kind)) << kLines[kind];
        ExpectDefaultFont(Line(kind)->font, kLines[kind]);
    }
}

TEST_F(Settings, ShortRootOptionLoadsOnlyItsBytes)
{
    const BYTE five[5] = { 0x11, 0x22, 0x33, 0x00, 0x01 };
    PlantBinary(NULL, "Option", five, sizeof(five));
    LoadSettings();
    EXPECT_EQ(gState->options.backColor, 0x00332211u);
    EXPECT_EQ(gState->options.weekday, 1);
    EXPECT_EQ(gState->options.oneLine, 0);
    EXPECT_EQ(gState->options.noTitleBar, 0);
    std::vector<BYTE> expected(32, 0);
    memcpy(expected.data(), five, sizeof(five));
    EXPECT_EQ(Hex(&gState->options, 32), Hex(expected)) << "the other 27 bytes stay zero";
}

TEST_F(Settings, RootOptionOf33BytesGivesTheDefaults)
{
    BYTE options[33];
    memset(options, 0x01, sizeof(options));
    PlantBinary(NULL, "Option", options, 33);
    LoadSettings();
    EXPECT_EQ(Hex(&gState->options, 32), DefaultOptionsHex());

    ResetState();
    PlantBinary(NULL, "Option", options, 32);
    LoadSettings();
    EXPECT_EQ(Hex(&gState->options, 32), Hex(options, 32)) << "32 bytes are taken whole";
}

TEST_F(Settings, ValuesOfOtherTypesThatFitAreTakenByteForByte)
{
    const BYTE pos[16] = { 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0 };
    Plant(NULL, "Pos", REG_NONE, pos, sizeof(pos));
    const DWORD color = 0x00123456;
    Plant(NULL, "Option", REG_DWORD, &color, sizeof(color));
    LoadSettings();
    EXPECT_EQ(gState->windowRect.left, 1);
    EXPECT_EQ(gState->windowRect.bottom, 4);
    EXPECT_EQ(gState->options.backColor, color);
    EXPECT_EQ(gState->options.weekday, 0);
}

TEST_F(Settings, LongWaveIsCutTo259Bytes)
{
    std::string wave(300, 'x');
    for (size_t i = 0; i < wave.size(); i++) wave[i] = (char)('a' + i % 26);
    Plant(NULL, "Wave", REG_SZ, wave.c_str(), (DWORD)wave.size() + 1);
    LoadSettings();
    EXPECT_EQ(lstrlenA(gState->wavePath), 259);
    EXPECT_EQ(std::string(gState->wavePath), wave.substr(0, 259));
}

TEST_F(Settings, WaveWithoutTerminatorLoadsItsBytes)
{
    const char path[] = "C:\\sounds\\end.wav";
    const char stored[] = "C:\\sounds\\end.wav*";   /* the byte after is not a terminator */
    Plant(NULL, "Wave", REG_SZ, stored, lstrlenA(path));
    ASSERT_EQ(Values(NULL), Names({ "Wave:1:17" })) << "17 bytes, no terminator";
    LoadSettings();
    EXPECT_STREQ(gState->wavePath, path);

    ResetState();
    memset(gState->wavePath, 'z', sizeof(gState->wavePath));   /* no help from a zero buffer */
    Plant(NULL, "Wave", REG_BINARY, stored, lstrlenA(path));
    ASSERT_EQ(Values(NULL), Names({ "Wave:3:17" }));
    LoadSettings();
    EXPECT_STREQ(gState->wavePath, path);
}

TEST_F(Settings, MissingOrEmptyWaveLeavesThePathAsItWas)
{
    lstrcpyA(gState->wavePath, "before");
    LoadSettings();
    EXPECT_STREQ(gState->wavePath, "before");

    ReleaseFaceFonts();
    Plant(NULL, "Wave", REG_BINARY, "", 0);
    LoadSettings();
    EXPECT_STREQ(gState->wavePath, "before");
}

TEST_F(Settings, ReservedBytesAreCarriedThroughLoadAndSave)
{
    ClockOptions options;
    for (int i = 0; i < 32; i++) ((BYTE*)&options)[i] = (BYTE)(0xA0 + i);
    options.weekday = 2;
    options.oneLine = 1;
    options.noTitleBar = 0;
    PlantBinary(NULL, "Option", &options, sizeof(options));
    LOGFONTA lf;
    DefaultLogFont(&lf);
    FaceItem items[3];
    for (int kind = 0; kind < 3; kind++) {
        items[kind] = SampleItem((BYTE)(0x40 * kind + 1));
        PlantBinary(kLines[kind], "Option", &items[kind], sizeof(FaceItem));
        PlantBinary(kLines[kind], "Font", &lf, sizeof(lf));
    }

    LoadSettings();
    EXPECT_EQ(Hex(&gState->options, 32), Hex(&options, 32));
    for (int kind = 0; kind < 3; kind++)
        EXPECT_EQ(Hex(Line(kind)->item.reserved, 5), Hex(items[kind].reserved, 5)) << kLines[kind];

    SaveSettings();
    EXPECT_EQ(Hex(Read(NULL, "Option").bytes), Hex(&options, 32));
    for (int kind = 0; kind < 3; kind++) {
        Stored stored = Read(kLines[kind], "Option");
        ASSERT_EQ(stored.bytes.size(), 52u);
        FaceItem item;
        memcpy(&item, stored.bytes.data(), 52);
        EXPECT_EQ(ItemHexWithoutSlot(item), ItemHexWithoutSlot(items[kind])) << kLines[kind];
    }
}

TEST_F(Settings, SaveLeavesEveryTextEmpty)
{
    LOGFONTA lf;
    DefaultLogFont(&lf);
    for (int kind = 0; kind < 3; kind++) {
        FaceItem item = SampleItem(9);
        memset(item.text, 'T', sizeof(item.text));     /* stored text, even unterminated */
        PlantBinary(kLines[kind], "Option", &item, sizeof(item));
        PlantBinary(kLines[kind], "Font", &lf, sizeof(lf));
    }
    LoadSettings();
    for (int kind = 0; kind < 3; kind++)
        EXPECT_EQ(Hex(Line(kind)->item.text, 32), Hex(std::vector<BYTE>(32, 0)))
            << kLines[kind] << ": a stored text is never taken";

    lstrcpyA(gState->date.text, "2001/05/08(TUS) 14:05:07");
    lstrcpyA(gState->time.text, "14:05:07");
    lstrcpyA(gState->count.text, "00:00:07.3");
    for (int kind = 0; kind < 3; kind++) memset(Line(kind)->item.text, 'x', 32);
    SaveSettings();
    for (int kind = 0; kind < 3; kind++) {
        Stored stored = Read(kLines[kind], "Option");
        ASSERT_EQ(stored.bytes.size(), 52u);
        EXPECT_EQ(Hex(stored.bytes.data(), 32), Hex(std::vector<BYTE>(32, 0))) << kLines[kind];
        EXPECT_EQ(Line(kind)->text[0], '\0') << kLines[kind] << ": the live text is empty";
        EXPECT_EQ(Hex(Line(kind)->item.text, 32), Hex(std::vector<BYTE>(32, 0))) << kLines[kind];
    }
}

TEST_F(Settings, VersionIsNeverInterpreted)
{
    LoadSettings();
    gState->options.backColor = RGB(9, 8, 7);
    lstrcpyA(gState->wavePath, "a.wav");
    SetRect(&gState->windowRect, 10, 20, 30, 40);
    gState->time.item = SampleItem(3);
    SaveSettings();

    auto snapshot = []() {
        std::string s = Hex(&gState->options, 32) + "|" + gState->wavePath + "|" +
                        Hex(&gState->windowRect, 16);
        for (int kind = 0; kind < 3; kind++)
            s += "|" + ItemHexWithoutSlot(Line(kind)->item) + "|" + FontHex(Line(kind)->font);
        return s;
    };
    ResetState();
    LoadSettings();
    const std::string expected = snapshot();

    Plant(NULL, "Version", REG_SZ, "9.99", 5);
    ResetState();
    LoadSettings();
    EXPECT_EQ(snapshot(), expected) << "another version";

    const DWORD number = 11;
    Plant(NULL, "Version", REG_DWORD, &number, sizeof(number));
    ResetState();
    LoadSettings();
    EXPECT_EQ(snapshot(), expected) << "a version of another type";

    Remove(NULL, "Version");
    ResetState();
    LoadSettings();
    EXPECT_EQ(snapshot(), expected) << "no version";
    EXPECT_FALSE(Read(NULL, "Version").found) << "loading does not write it";

    SaveSettings();
    EXPECT_EQ(Hex(Read(NULL, "Version").bytes), "30 2E 31 31 00") << "every save writes it";
}

/* ---- Mended faults ---- */

TEST_F(Settings, FontOfASizeNoScreenNeedsLoadsTheDefaultLine)
{
    /* Under Wine, lfWidth near 2^31 with a tall font faults inside TextOut, and
       sizes in the tens of thousands take seconds a paint: beyond 4096 units a stored
       font counts as unreadable. The first case crashed the program at every start. */
    const struct { LONG height, width; bool kept; } cases[] = {
        { 2000, LONG_MAX, false }, { 2000, LONG_MIN, false }, { 17793, 0, false },
        { LONG_MIN, 0, false }, { LONG_MAX, 0, false }, { 4097, 0, false }, { -4097, 0, false },
        { 20, 4097, false }, { 20, -4097, false },
        { 4096, 0, true }, { -4096, 4096, true }, { 26, -4096, true }, { 0, 0, true },
    };
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateBitmap(320, 120, 1, 32, NULL);
    HBITMAP oldBitmap = (HBITMAP)SelectObject(dc, bitmap);
    for (const auto& c : cases) {
        std::string what = "lfHeight " + std::to_string(c.height) + ", lfWidth " + std::to_string(c.width);
        DeleteSettingsKey();
        ResetState();
        FaceItem item = SampleItem(5);
        LOGFONTA lf = SampleFont(c.height);
        lf.lfWidth = c.width;
        PlantBinary("Time", "Option", &item, sizeof(item));
        PlantBinary("Time", "Font", &lf, sizeof(lf));
        LoadSettings();
        if (c.kept) {
            EXPECT_EQ(ItemHexWithoutSlot(gState->time.item), ItemHexWithoutSlot(item)) << what;
            EXPECT_EQ(FontHex(gState->time.font), Hex(&lf, sizeof(lf))) << what;
        } else {
            EXPECT_EQ(ItemHexWithoutSlot(gState->time.item), DefaultItemHex(1)) << what;
            ExpectDefaultFont(gState->time.font, what);
        }
        lstrcpyA(gState->time.text, "21:18:37");
        DrawFaceItem(dc, &gState->time, 320, 120, 1);
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(Settings, UnterminatedFaceNameIsCutAtItsLastByte)
{
    LOGFONTA lf = SampleFont(30);
    memset(lf.lfFaceName, 'A', sizeof(lf.lfFaceName));
    lf.lfFaceName[0] = 'B';
    /* Bytes right after the name, had GDI read on, would be the next value's. */
    FaceItem item = SampleItem(1);
    PlantBinary("Date", "Option", &item, sizeof(item));
    PlantBinary("Date", "Font", &lf, sizeof(lf));
    LoadSettings();

    ASSERT_NE(gState->date.font, (HFONT)NULL);
    LOGFONTA got;
    ZeroMemory(&got, sizeof(got));
    ASSERT_EQ(GetObjectA(gState->date.font, sizeof(got), &got), (int)sizeof(got));
    EXPECT_EQ(std::string(got.lfFaceName), "B" + std::string(30, 'A')) << "byte 31 becomes 0, the rest stays";
    LOGFONTA expected = lf;
    expected.lfFaceName[31] = '\0';
    EXPECT_EQ(Hex(&got, 28), Hex(&expected, 28)) << "the other fields as stored";
    EXPECT_EQ(ItemHexWithoutSlot(gState->date.item), ItemHexWithoutSlot(item));

    SaveSettings();
    EXPECT_EQ(Hex(Read("Date", "Font").bytes), Hex(&expected, sizeof(expected)));
}

TEST_F(Settings, ShortFontLeavesTheRestZero)
{
    const LONG height = 40;
    FaceItem item = SampleItem(1);
    PlantBinary("Date", "Option", &item, sizeof(item));
    PlantBinary("Date", "Font", &height, sizeof(height));
    LOGFONTA noName = SampleFont(-33);
    PlantBinary("Time", "Option", &item, sizeof(item));
    PlantBinary("Time", "Font", &noName, offsetof(LOGFONTA, lfFaceName) + 3);   /* "IPA" */
    DirtyStack(0xCC);
    LoadSettings();

    LOGFONTA expected;
    ZeroMemory(&expected, sizeof(expected));
    expected.lfHeight = height;
    EXPECT_EQ(FontHex(gState->date.font), Hex(&expected, sizeof(expected)))
        << "4 stored bytes, 56 zero bytes";
    expected = noName;
    ZeroMemory(expected.lfFaceName + 3, sizeof(expected.lfFaceName) - 3);
    EXPECT_EQ(FontHex(gState->time.font), Hex(&expected, sizeof(expected)));
    EXPECT_EQ(ItemHexWithoutSlot(gState->date.item), ItemHexWithoutSlot(item)) << "the line is the stored one";
}

TEST_F(Settings, SaveWithoutFontsKeepsTheStoredFont)
{
    LoadSettings();
    DeleteObject(gState->date.font);
    LOGFONTA lf = SampleFont(-44);
    gState->date.font = CreateFontIndirectA(&lf);
    SaveSettings();
    Stored fonts[3];
    for (int kind = 0; kind < 3; kind++) fonts[kind] = Read(kLines[kind], "Font");
    ASSERT_EQ(fonts[0].bytes.size(), 60u);
    EXPECT_EQ(Hex(fonts[0].bytes), Hex(&lf, sizeof(lf)));

    /* Log-off: Shutdown ran for WM_ENDSESSION, released the fonts, and runs again
       for WM_DESTROY. The second save meets null fonts. */
    ReleaseFaceFonts();
    gState->date.item.color = RGB(200, 100, 50);
    SaveSettings();

    for (int kind = 0; kind < 3; kind++) {
        Stored again = Read(kLines[kind], "Font");
        EXPECT_EQ(Hex(again.bytes), Hex(fonts[kind].bytes)) << kLines[kind] << ": the earlier Font stays";
        EXPECT_NE(Hex(again.bytes), Hex(std::vector<BYTE>(60, 0))) << kLines[kind];
    }
    Stored option = Read("Date", "Option");
    ASSERT_EQ(option.bytes.size(), 52u);
    FaceItem stored;
    memcpy(&stored, option.bytes.data(), 52);
    EXPECT_EQ(stored.color, RGB(200, 100, 50)) << "Option is still written";

    ResetState();
    LoadSettings();
    EXPECT_EQ(FontHex(gState->date.font), Hex(&lf, sizeof(lf))) << "the user's font survives the log-off";
    EXPECT_EQ(gState->date.item.color, RGB(200, 100, 50));
}

TEST_F(Settings, SavedFontHoldsNoStrayBytes)
{
    /* GetObjectA fills the face name up to its terminator only; what follows must
       not be whatever the stack held. */
    LoadSettings();
    DirtyStack(0xCC);
    SaveSettings();
    for (const char* line : kLines)
        EXPECT_EQ(Hex(Read(line, "Font").bytes), DefaultLogFontHex()) << line;

    ReleaseFaceFonts();
    LOGFONTA lf = SampleFont(-20);
    gState->time.font = CreateFontIndirectA(&lf);
    DirtyStack(0x5A);
    SaveFaceItem("Time", &gState->time);
    EXPECT_EQ(Hex(Read("Time", "Font").bytes), Hex(&lf, sizeof(lf)));
}

}
