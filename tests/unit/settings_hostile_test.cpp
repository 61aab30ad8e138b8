/* The settings store against a hostile registry: whatever the settings key holds, loading
   must not crash and must leave a state that can be drawn and saved, and what a
   save stores must load back as the same state. A fixed seed keeps every run
   the same; each iteration plants random contents of random types and sizes in
   every value, loads, draws with the real face code, saves and loads again. */
#include <gtest/gtest.h>
#include <chrono>
#include <climits>
#include <random>
#include "test_support.h"
#include "state_helpers.h"
#include "../../state/settings.h"
#include "../../app/face_paint.h"
#include "../../engine/face_text.h"

namespace {

using namespace statetest;

/* About 7 ms an iteration under Wine: some 30 s in all. */
const int kIterations = 4000;
const unsigned kSeed = 0x56454C4Du;    /* "VELM" */

const char kKey[] = "Software\\ORBA\\VELMOR";
const char* const kLines[3] = { "Date", "Time", "Stop" };

struct Planted {
    std::string key, name;
    DWORD type;
    std::vector<BYTE> bytes;
    BYTE after;
};

/* What a load put into the state, the font slot left out. */
struct Loaded {
    std::string options, rect, wave, items[3];
};

FaceLine* Line(int kind)
{
    FaceLine* lines[3] = { &gState->date, &gState->time, &gState->count };
    return lines[kind];
}

Loaded Take()
{
    Loaded l;
    l.options = Hex(&gState->options, sizeof(gState->options));
    l.rect = Hex(&gState->windowRect, sizeof(gState->windowRect));
    l.wave = gState->wavePath;
    for (int kind = 0; kind < 3; kind++) l.items[kind] = ItemHexWithoutSlot(Line(kind)->item);
    return l;
}

/* The path as REG_SZ hands it back: stored through the ANSI code page as UTF-16
   and read back, then cut to 259 bytes by the next load. Bytes that are not
   code page 932 text do not survive that trip unchanged. */
std::string AfterRegistryTrip(const std::string& path)
{
    wchar_t wide[1024];
    char narrow[2048];
    if (!MultiByteToWideChar(932, 0, path.c_str(), -1, wide, 1024)) return "<no conversion>";
    if (!WideCharToMultiByte(932, 0, wide, -1, narrow, sizeof(narrow), NULL, NULL)) return "<no conversion>";
    narrow[MAX_PATH - 1] = '\0';
    return narrow;
}

class Hostile {
public:
    std::vector<Planted> planted;

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    DWORD Any32() { return (DWORD)rng(); }
    BYTE AnyByte() { return (BYTE)Int(0, 255); }

    /* Plants contents in all the values, some of them missing. */
    void PlantAll()
    {
        planted.clear();
        if (Chance(3)) return;                      /* no settings key at all */
        PlantValue(NULL, "Version", Generic(5));
        PlantValue(NULL, "Wave", Wave());
        PlantValue(NULL, "Option", Generic(32, Options()));
        PlantValue(NULL, "Pos", Generic(16, Rect()));
        for (const char* line : kLines) {
            if (Chance(8)) continue;                /* no subkey */
            if (Chance(4)) {                        /* a subkey without values */
                Create(line);
                continue;
            }
            PlantValue(line, "Option", Generic(52, Item()));
            PlantValue(line, "Font", Generic(60, Font()));
        }
    }

    std::string Describe() const
    {
        std::string out;
        for (const Planted& p : planted) {
            out += p.key + " \"" + p.name + "\" type " + std::to_string(p.type) + ", " +
                   std::to_string(p.bytes.size()) + " bytes: " +
                   Hex(p.bytes.data(), std::min<size_t>(p.bytes.size(), 80)) +
                   (p.bytes.size() > 80 ? " ..." : "") + ", then " + Hex(&p.after, 1) + "\n";
        }
        return out.empty() ? "nothing planted\n" : out;
    }

private:
    std::mt19937 rng{ kSeed };

    struct Value {
        bool missing;
        DWORD type;
        std::vector<BYTE> bytes;
    };

    /* For the string types RegSetValueExA, as on NT, looks at the byte after the data
       and counts it as the terminator when it is zero and the last byte is not. That
       byte is the plant's, so that every run stores the same. */
    BYTE After() { return Chance(50) ? 0 : (BYTE)Int(1, 255); }

    static void Create(const char* sub)
    {
        std::string path = sub ? std::string(kKey) + "\\" + sub : std::string(kKey);
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                            NULL) == ERROR_SUCCESS)
            RegCloseKey(key);
    }

    void PlantValue(const char* sub, const char* name, const Value& v)
    {
        if (v.missing) return;
        std::string path = sub ? std::string(kKey) + "\\" + sub : std::string(kKey);
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                            NULL) != ERROR_SUCCESS)
            return;
        std::vector<BYTE> buffer(v.bytes);
        buffer.push_back(After());
        RegSetValueExA(key, name, 0, v.type, buffer.data(), (DWORD)v.bytes.size());
        RegCloseKey(key);
        planted.push_back({ path, name, v.type, v.bytes, buffer.back() });
    }

    DWORD Type()
    {
        static const DWORD others[] = { REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD,
                                        REG_NONE, REG_DWORD_BIG_ENDIAN, 0x12345678 };
        return Chance(55) ? REG_BINARY : others[Int(0, 7)];
    }

    std::vector<BYTE> Bytes(size_t n)
    {
        std::vector<BYTE> b(n);
        for (BYTE& x : b) x = Chance(15) ? 0 : AnyByte();
        return b;
    }

    /* A value of random type and size: mostly the record's size, sometimes a little
       off, often anything up to 200 bytes, now and then huge. The record's bytes
       (when given) fill the front, random bytes the rest. */
    Value Generic(size_t record, std::vector<BYTE> shaped = {})
    {
        Value v;
        v.missing = Chance(12);
        v.type = Type();
        size_t size;
        int r = Int(0, 99);
        if (r < 1) size = (size_t)Int(4096, 300000);
        else if (r < 45) size = record;
        else if (r < 60) size = (size_t)std::max(0, (int)record + Int(-3, 3));
        else size = (size_t)Int(0, 200);
        v.bytes = Bytes(size);
        if (!shaped.empty() && !Chance(10))
            memcpy(v.bytes.data(), shaped.data(), std::min(size, shaped.size()));
        return v;
    }

    Value Wave()
    {
        Value v;
        v.missing = Chance(12);
        static const DWORD types[] = { REG_SZ, REG_SZ, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_BINARY,
                                       REG_MULTI_SZ, REG_DWORD };
        v.type = types[Int(0, 7)];
        int length = Chance(20) ? Int(240, 420) : Int(0, 120);
        std::string text;
        switch (Int(0, 3)) {
        case 0:                         /* an ASCII path */
            text = "C:\\";
            while ((int)text.size() < length) text += (char)Int(0x20, 0x7E);
            break;
        case 1:                         /* code page 932 text: kana, kanji, ASCII */
            while ((int)text.size() < length) {
                if (Chance(30)) {
                    text += (char)Int(0x21, 0x7E);
                } else {
                    text += (char)(Chance(50) ? 0x82 : Int(0x88, 0x9F));
                    text += (char)Int(0x9F, 0xF1);
                }
            }
            break;
        default: {                      /* bytes of no code page */
            std::vector<BYTE> b = Bytes((size_t)length);
            text.assign(b.begin(), b.end());
            break;
        }
        }
        v.bytes.assign(text.begin(), text.end());
        if (Chance(70)) v.bytes.push_back(0);   /* otherwise stored without terminator */
        if (Chance(3)) v.bytes.assign((size_t)Int(4096, 300000), (BYTE)Int('a', 'z'));
        return v;
    }

    std::vector<BYTE> Options()
    {
        std::vector<BYTE> b = Bytes(32);
        if (Chance(60)) {
            b[4] = (BYTE)Int(0, 3);
            b[5] = (BYTE)Int(0, 1);
            b[6] = (BYTE)Int(0, 1);
        }
        return b;
    }

    LONG Coordinate()
    {
        static const LONG extremes[] = { 0, -1, 1, LONG_MIN, LONG_MAX, -32768, 32767, 65536, -100000 };
        return Chance(40) ? extremes[Int(0, 8)] : (LONG)Int(-3000, 3000);
    }

    std::vector<BYTE> Rect()
    {
        RECT rc = { Coordinate(), Coordinate(), Coordinate(), Coordinate() };
        std::vector<BYTE> b(16);
        memcpy(b.data(), &rc, 16);
        return b;
    }

    std::vector<BYTE> Item()
    {
        FaceItem item;
        std::vector<BYTE> b = Bytes(52);
        memcpy(&item, b.data(), 52);
        if (Chance(60)) {
            static const BYTE formats[] = { 0, 1, 5, 6, 10, 11, 2, 255 };
            item.format = formats[Int(0, 7)];
            item.alignH = (BYTE)Int(0, 3);
            item.alignV = (BYTE)Int(0, 3);
            item.marginX = (SHORT)Int(-200, 200);
            item.marginY = (SHORT)Int(-200, 200);
        }
        memcpy(b.data(), &item, 52);
        return b;
    }

    /* Any size: beyond 4096 units the load counts the font unreadable (GDI under Wine
       faults or takes seconds there). Sizes near the limit are drawable but slow to
       rasterise, a tenth of a second a line, so they come now and then. */
    LONG Size()
    {
        static const LONG extremes[] = { LONG_MIN, LONG_MAX, LONG_MAX - 1, -LONG_MAX, 4097, -4097,
                                         17793, 65536, -65536, 100000, 1 << 24, -(1 << 24) };
        int r = Int(0, 99);
        if (r < 25) return extremes[Int(0, 11)];
        if (r < 27) return Chance(50) ? 4096 : -4096;
        if (r < 30) return (LONG)Any32();
        if (r < 32) return (LONG)Int(-4096, 4096);
        return (LONG)Int(-300, 300);
    }

    LONG Weight()
    {
        static const LONG weights[] = { 0, 100, 400, 700, 900, 1000, -1, LONG_MIN, LONG_MAX, 5000 };
        return Chance(20) ? (LONG)Any32() : weights[Int(0, 9)];
    }

    std::vector<BYTE> Font()
    {
        LOGFONTA lf;
        std::vector<BYTE> noise = Bytes(sizeof(lf));
        memcpy(&lf, noise.data(), sizeof(lf));
        lf.lfHeight = Size();
        lf.lfWidth = Chance(60) ? 0 : Size();
        lf.lfEscapement = Chance(60) ? 0 : Chance(50) ? Int(-3600, 3600) : (LONG)Any32();
        lf.lfOrientation = Chance(60) ? 0 : (LONG)Any32();
        lf.lfWeight = Weight();
        if (Chance(50)) lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 0;
        static const BYTE charsets[] = { SHIFTJIS_CHARSET, ANSI_CHARSET, DEFAULT_CHARSET, SYMBOL_CHARSET,
                                         OEM_CHARSET, HANGUL_CHARSET, GB2312_CHARSET, 77 };
        lf.lfCharSet = Chance(50) ? charsets[Int(0, 7)] : AnyByte();
        static const char* names[] = { "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9",   /* ＭＳ 明朝 */
                                       "@\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9",  /* vertical */
                                       "IPAMincho", "IPAGothic", "Arial", "System", "Terminal",
                                       "Marlett", "Symbol", "", "No Such Face At All" };
        switch (Int(0, 3)) {
        case 0:
        case 1:
            ZeroMemory(lf.lfFaceName, sizeof(lf.lfFaceName));
            lstrcpynA(lf.lfFaceName, names[Int(0, 10)], sizeof(lf.lfFaceName));
            break;
        case 2:                         /* 32 bytes without terminator */
            for (char& c : lf.lfFaceName) c = (char)Int(1, 255);
            break;
        default:                        /* noise, a terminator somewhere or nowhere */
            break;
        }
        std::vector<BYTE> b(sizeof(lf));
        memcpy(b.data(), &lf, sizeof(lf));
        return b;
    }
};

bool Terminated(const char* text, size_t capacity) { return memchr(text, 0, capacity) != NULL; }

/* The state can be used: every text ends inside its buffer, and so does the face
   name of every font. */
void ExpectUsable(const char* when)
{
    for (int kind = 0; kind < 3; kind++) {
        const FaceLine* line = Line(kind);
        EXPECT_TRUE(Terminated(line->text, sizeof(line->text))) << when << ", " << kLines[kind] << " text";
        if (line->font) {
            LOGFONTA lf;
            memset(&lf, 0xCC, sizeof(lf));
            EXPECT_EQ(GetObjectA(line->font, sizeof(lf), &lf), (int)sizeof(lf)) << when << ", " << kLines[kind];
            EXPECT_TRUE(Terminated(lf.lfFaceName, sizeof(lf.lfFaceName)))
                << when << ", " << kLines[kind] << " face name";
        }
    }
    EXPECT_TRUE(Terminated(gState->wavePath, sizeof(gState->wavePath))) << when << ", wavePath";
}

/* What one save must have stored, whatever was there before. */
void ExpectSaved()
{
    HKEY root;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &root), ERROR_SUCCESS);
    const struct { const char* name; DWORD type, size; } values[] = {
        { "Version", REG_SZ, 5 }, { "Option", REG_BINARY, 32 }, { "Pos", REG_BINARY, 16 },
        { "Wave", REG_SZ, (DWORD)lstrlenA(gState->wavePath) + 1 },
    };
    /* A path that is not code page 932 text comes back in other bytes, maybe more. */
    const bool plainPath = AfterRegistryTrip(gState->wavePath) == gState->wavePath;
    for (const auto& v : values) {
        DWORD type = 0, size = 0;
        EXPECT_EQ(RegQueryValueExA(root, v.name, NULL, &type, NULL, &size), ERROR_SUCCESS) << v.name;
        EXPECT_EQ(type, v.type) << v.name;
        if (plainPath || strcmp(v.name, "Wave")) {
            EXPECT_EQ(size, v.size) << v.name;
        }
    }
    RegCloseKey(root);

    for (int kind = 0; kind < 3; kind++) {
        std::string path = std::string(kKey) + "\\" + kLines[kind];
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        FaceItem item;
        DWORD type = 0, size = sizeof(item);
        EXPECT_EQ(RegQueryValueExA(key, "Option", NULL, &type, (BYTE*)&item, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, (DWORD)REG_BINARY);
        EXPECT_EQ(size, 52u);
        EXPECT_EQ(Hex(item.text, 32), Hex(std::vector<BYTE>(32, 0))) << kLines[kind];
        if (Line(kind)->font) {
            LOGFONTA lf;
            type = 0;
            size = sizeof(lf);
            EXPECT_EQ(RegQueryValueExA(key, "Font", NULL, &type, (BYTE*)&lf, &size), ERROR_SUCCESS);
            EXPECT_EQ(type, (DWORD)REG_BINARY);
            EXPECT_EQ(size, 60u);
            EXPECT_EQ(Hex(&lf, sizeof(lf)), FontHex(Line(kind)->font)) << kLines[kind];
        }
        EXPECT_EQ(Line(kind)->text[0], '\0') << kLines[kind] << ": the save empties the live text";
        RegCloseKey(key);
    }
}

TEST(SettingsHostile, AnyContentLoadsDrawsSavesAndLoadsBackTheSame)
{
    Hostile hostile;
    HWND wnd = CreateTestWindow();
    ASSERT_NE(wnd, (HWND)NULL);
    gMainWnd = wnd;
    HDC windowDC = GetDC(wnd);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, 320, 120);
    HBITMAP oldBitmap = (HBITMAP)SelectObject(memoryDC, bitmap);

    /* How far the planted contents got: lines drawn in a stored font, stored options
       taken, and paths that the registry hands back in other bytes. */
    int nullFonts = 0, storedFonts = 0, storedOptions = 0, pathsChangedByTheTrip = 0, slowest = 0;
    double slowestMs = 0;
    auto start = std::chrono::steady_clock::now();

    for (int i = 0; i < kIterations; i++) {
        auto began = std::chrono::steady_clock::now();
        DeleteSettingsKey();
        ResetState();
        hostile.PlantAll();

        EXPECT_EQ(LoadSettings(), 1);
        ExpectUsable("first load");
        Loaded first = Take();
        if (first.options != DefaultOptionsHex()) storedOptions++;
        for (int kind = 0; kind < 3; kind++) {
            EXPECT_EQ(Hex(Line(kind)->item.text, 32), Hex(std::vector<BYTE>(32, 0)))
                << kLines[kind] << ": a stored text is never taken";
            if (!Line(kind)->font) nullFonts++;
            if (FontHex(Line(kind)->font) != DefaultLogFontHex()) storedFonts++;
        }

        /* Draw it, in the clock and the count modes, with the real face code. */
        static const ClockMode modes[] = { Clock, Clock, CountUp, Stopped };
        gState->mode = modes[hostile.Int(0, 3)];
        gState->tickMark = hostile.Any32();
        /* A fault inside GDI ends the process before gtest can say where: this names
           the iteration and its fonts first. */
        if (getenv("VELMOR_HOSTILE_TRACE")) {
            fprintf(stderr, "iter %d mode %d\n", i, gState->mode);
            for (int kind = 0; kind < 3; kind++)
                fprintf(stderr, "  %s %s\n", kLines[kind], FontHex(Line(kind)->font).c_str());
            fflush(stderr);
        }
        PaintFace(wnd, windowDC);
        FormatClockTexts();
        for (int kind = 0; kind < 3; kind++) DrawFaceItem(memoryDC, Line(kind), 320, 120, kind == 1);
        ExpectUsable("after drawing");

        SaveSettings();
        ExpectSaved();

        ResetState();
        EXPECT_EQ(LoadSettings(), 1);
        ExpectUsable("second load");
        Loaded second = Take();
        EXPECT_EQ(second.options, first.options) << "options";
        EXPECT_EQ(second.rect, first.rect) << "windowRect";
        for (int kind = 0; kind < 3; kind++)
            EXPECT_EQ(second.items[kind], first.items[kind]) << kLines[kind] << " item, font slot aside";
        std::string expectedWave = AfterRegistryTrip(first.wave);
        if (expectedWave != first.wave) pathsChangedByTheTrip++;
        EXPECT_EQ(second.wave, expectedWave) << "wavePath, as the registry's code-page trip gives it back";
        if (expectedWave == first.wave) {
            EXPECT_EQ(second.wave, first.wave) << "wavePath of code page 932 text";
        }

        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
        if (ms > slowestMs) {
            slowestMs = ms;
            slowest = i;
        }
        if (HasFailure()) {
            ADD_FAILURE() << "iteration " << i << " of seed " << kSeed << " planted:\n" << hostile.Describe();
            break;
        }
    }

    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%d iterations in %.1f s, slowest %d at %.0f ms; of %d lines %d in a stored font, %d "
           "with a null font; %d stored options; %d paths changed by the registry's code-page trip\n",
           kIterations, total, slowest, slowestMs, 3 * kIterations, storedFonts, nullFonts,
           storedOptions, pathsChangedByTheTrip);

    ResetState();
    SelectObject(memoryDC, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    ReleaseDC(wnd, windowDC);
    DestroyWindow(wnd);
    gMainWnd = NULL;
    DeleteSettingsKey();
}

}
