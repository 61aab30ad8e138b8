/* The compiled resources, read back from this test program, which links the same
   script as VELMOR.EXE: every id, text, style and rectangle the program relies on. */
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <vector>
#include "test_support.h"
#include "../../res/resource.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

struct Bytes {
    const BYTE* data;
    DWORD size;
};

/* The Japanese copy of one resource; data is null when it is missing. */
Bytes JapaneseResource(LPCSTR type, WORD id)
{
    HRSRC found = FindResourceExA(gInstance, type, MAKEINTRESOURCEA(id), kJapanese);
    if (!found) return { NULL, 0 };
    return { (const BYTE*)LockResource(LoadResource(gInstance, found)), SizeofResource(gInstance, found) };
}

std::string Utf8FromWide(const WCHAR* text, int length)
{
    if (length == 0) return "";
    char out[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, length, out, sizeof(out), NULL, NULL);
    return std::string(out, n);
}

/* ---- what the module holds, and in which language ---- */

/* A resource type or name as text: an ordinal by its number. */
std::string NameText(LPCSTR name)
{
    return IS_INTRESOURCE(name) ? std::to_string((WORD)(ULONG_PTR)name) : std::string(name);
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
{
    ((std::vector<std::string>*)list)->push_back(NameText(name));
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list)
{
    ((std::vector<WORD>*)list)->push_back(language);
    return TRUE;
}

BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR list)
{
    ((std::vector<std::string>*)list)->push_back(NameText(type));
    return TRUE;
}

std::vector<std::string> Names(LPCSTR type)
{
    std::vector<std::string> names;
    EnumResourceNamesA(gInstance, type, CollectName, (LONG_PTR)&names);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Ids(std::initializer_list<int> ids)
{
    std::vector<std::string> names;
    for (int id : ids) names.push_back(std::to_string(id));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Resources, ExactlyTheProgramsResourcesAllInJapanese)
{
    const struct { LPCSTR type; const char* what; std::vector<std::string> names; } inventory[] = {
        /* string blocks: 16 ids each, block n holding ids (n-1)*16 to (n-1)*16+15 */
        { RT_STRING, "string blocks", Ids({ 438, 444, 445, 446 }) },
        { RT_MENU, "menus", Ids({ IDR_MAINMENU, IDR_CONTEXTMENU }) },
        { RT_ACCELERATOR, "accelerator tables", Ids({ IDR_ACCEL }) },
        { RT_DIALOG, "dialogs", Ids({ IDD_ABOUT, IDD_COUNTDOWN, IDD_OPTIONS, IDD_PAGE_GENERAL,
                                      IDD_PAGE_DATE, IDD_PAGE_TIME, IDD_PAGE_COUNT }) },
        { RT_GROUP_ICON, "icons", Ids({ IDI_VELMOR }) },
        { RT_ICON, "icon images", Ids({ 1, 2 }) },
        { RT_VERSION, "version resources", Ids({ 1 }) },
        { RT_MANIFEST, "manifests", Ids({ 1 }) },
    };
    std::vector<std::string> expectedTypes, types;
    for (const auto& kind : inventory) {
        expectedTypes.push_back(NameText(kind.type));
        EXPECT_EQ(Names(kind.type), kind.names) << kind.what;
        for (const std::string& name : kind.names) {
            std::vector<WORD> languages;
            EnumResourceLanguagesA(gInstance, kind.type, MAKEINTRESOURCEA(std::stoi(name)), CollectLanguage,
                                   (LONG_PTR)&languages);
            EXPECT_EQ(languages, std::vector<WORD>{ kJapanese }) << kind.what << " " << name;
        }
    }
    EnumResourceTypesA(gInstance, CollectType, (LONG_PTR)&types);
    std::sort(types.begin(), types.end());
    std::sort(expectedTypes.begin(), expectedTypes.end());
    EXPECT_EQ(types, expectedTypes) << "resource types (RT_* numbers)";
}

/* ---- string table ---- */

TEST(Resources, StringTableTexts)
{
    const struct { UINT id; const char* text; } strings[] = {
        { IDS_WEEKDAY_EN, "SUNMONTUSWEDTHUFRISAT" }, { IDS_WEEKDAY_JA, "日月火水木金土" },
        { IDS_FACENAME, "ＭＳ 明朝" },
        { IDS_TAB_GENERAL, "一般" }, { IDS_TAB_DATE, "日付" }, { IDS_TAB_TIME, "時刻" }, { IDS_TAB_COUNT, "計測" },
        { IDS_WEEKDAY_ROW_EN, "英語" }, { IDS_WEEKDAY_ROW_JA, "日本語" }, { IDS_WEEKDAY_ROW_NONE, "無し" },
        { IDS_PLACE_CENTER, "中央" }, { IDS_PLACE_LEFT, "左マージン" }, { IDS_PLACE_RIGHT, "右マージン" },
        { IDS_PLACE_TOP, "上マージン" }, { IDS_PLACE_BOTTOM, "下マージン" },
    };
    for (const auto& s : strings) {
        char text[256] = "";
        EXPECT_EQ(LoadStringA(gInstance, s.id, text, sizeof(text)), lstrlenA(s.text)) << "string " << s.id;
        EXPECT_EQ(Utf8(text), Utf8(s.text)) << "string " << s.id;
    }

    /* The default face name goes byte for byte into a 32-byte LOGFONT field. */
    char face[32];
    ASSERT_EQ(LoadStringA(gInstance, IDS_FACENAME, face, sizeof(face)), 9);
    const BYTE faceBytes[] = { 0x82, 0x6C, 0x82, 0x72, 0x20, 0x96, 0xBE, 0x92, 0xA9, 0x00 };
    EXPECT_EQ(memcmp(face, faceBytes, sizeof(faceBytes)), 0);

    /* The home page address is ours to choose, but the shell must take it as a web address. */
    char home[260] = "";
    ASSERT_GT(LoadStringA(gInstance, IDS_HOMEPAGE, home, sizeof(home)), 0);
    std::string address = home;
    size_t host = address.rfind("https://", 0) == 0 ? 8 : address.rfind("http://", 0) == 0 ? 7 : 0;
    EXPECT_NE(host, 0u) << address;
    EXPECT_GT(address.size(), host) << "no host after the scheme";
    EXPECT_EQ(address.find_first_of(" \t"), std::string::npos) << address;
}

TEST(Resources, StringTableHoldsNoOtherIds)
{
    const std::set<UINT> ours = { IDS_HOMEPAGE, IDS_WEEKDAY_EN, IDS_WEEKDAY_JA, IDS_FACENAME,
                                  IDS_TAB_GENERAL, IDS_TAB_DATE, IDS_TAB_TIME, IDS_TAB_COUNT,
                                  IDS_WEEKDAY_ROW_EN, IDS_WEEKDAY_ROW_JA, IDS_WEEKDAY_ROW_NONE,
                                  IDS_PLACE_CENTER, IDS_PLACE_LEFT, IDS_PLACE_RIGHT, IDS_PLACE_TOP,
                                  IDS_PLACE_BOTTOM };
    /* All ids of the four blocks the module holds. */
    for (UINT id = 437 * 16; id < 446 * 16; id++) {
        char text[256];
        int length = LoadStringA(gInstance, id, text, sizeof(text));
        EXPECT_EQ(length > 0, ours.count(id) == 1) << "string " << id;
    }
}

/* ---- menus ---- */

enum RowKind { Popup, Item, Separator };

struct MenuRow {
    int depth;
    RowKind kind;
    UINT id;            /* items only */
    std::string text;   /* code page 932; empty for separators */
};

void ReadMenu(HMENU menu, int depth, std::vector<MenuRow>* rows)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        char text[256] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        RowKind kind = sub ? Popup : (state & MF_SEPARATOR) ? Separator : Item;
        /* Every item starts enabled and unticked: the mode decides the rest at run time.
           A popup's high byte is its item count, not flags. */
        UINT flags = sub ? LOBYTE(state) : state;
        if (kind != Separator) {
            EXPECT_EQ(flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBREAK | MF_MENUBARBREAK | MF_DEFAULT), 0u)
                << "state of " << Utf8(text);
        }
        rows->push_back({ depth, kind, kind == Item ? GetMenuItemID(menu, i) : 0, text });
        if (sub) ReadMenu(sub, depth + 1, rows);
    }
}

void ExpectMenu(WORD resource, const std::vector<MenuRow>& expected)
{
    ASSERT_NE(JapaneseResource(RT_MENU, resource).data, nullptr) << "menu " << resource;
    HMENU menu = LoadMenuA(gInstance, MAKEINTRESOURCEA(resource));
    ASSERT_NE(menu, nullptr) << "menu " << resource;
    std::vector<MenuRow> rows;
    ReadMenu(menu, 0, &rows);
    DestroyMenu(menu);
    static const std::string kinds[] = { "popup", "item", "separator" };
    for (size_t i = 0; i < std::max(rows.size(), expected.size()); i++) {
        if (i >= rows.size()) { ADD_FAILURE() << "menu " << resource << " lacks " << Utf8(expected[i].text.c_str()); continue; }
        if (i >= expected.size()) { ADD_FAILURE() << "menu " << resource << " has extra " << Utf8(rows[i].text.c_str()); continue; }
        const MenuRow& a = rows[i];
        const MenuRow& e = expected[i];
        std::string where = "menu " + std::to_string(resource) + " row " + std::to_string(i) + " (" +
                            Utf8(e.text.c_str()) + ")";
        EXPECT_EQ(kinds[a.kind], kinds[e.kind]) << where;
        EXPECT_EQ(a.depth, e.depth) << where;
        EXPECT_EQ(a.id, e.id) << where;
        EXPECT_EQ(Utf8(a.text.c_str()), Utf8(e.text.c_str())) << where;
    }
}

/* The Help items, at the given depth. */
std::vector<MenuRow> HelpItems(int depth)
{
    return { { depth, Item, IDM_HELP, "トピックの検索(&H)\tF1" },
             { depth, Separator, 0, "" },
             { depth, Item, IDM_HOMEPAGE, "ホームページへ(&W)" },
             { depth, Item, IDM_ABOUT, "バージョン情報(&A)" } };
}

/* The commands both menus share, down to Options. */
std::vector<MenuRow> CommandItems()
{
    return { { 1, Item, IDM_NOW, "現在日時(&N)\tSpace" },
             { 1, Separator, 0, "" },
             { 1, Item, IDM_COUNTUP, "カウントアップ(&A)\tCtrl+S" },
             { 1, Item, IDM_COUNTDOWN, "カウントダウン(&D)...\tCtrl+D" },
             { 1, Item, IDM_STOP, "カウント停止(&P)\tCtrl+T" },
             { 1, Separator, 0, "" },
             { 1, Item, IDM_OPTIONS, "オプション(&O)...\tCtrl+O" } };
}

std::vector<MenuRow> Join(std::initializer_list<std::vector<MenuRow>> parts)
{
    std::vector<MenuRow> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(Resources, MenuBar)
{
    ExpectMenu(IDR_MAINMENU, Join({ { { 0, Popup, 0, "処理(&D)" } },
                                    CommandItems(),
                                    { { 1, Separator, 0, "" }, { 1, Item, IDM_EXIT, "終了(&X)\tAlt+X" } },
                                    { { 0, Popup, 0, "ヘルプ(&H)" } },
                                    HelpItems(1) }));
}

TEST(Resources, ContextMenu)
{
    ExpectMenu(IDR_CONTEXTMENU, Join({ { { 0, Popup, 0, "&P" } },
                                       CommandItems(),
                                       { { 1, Popup, 0, "ヘルプ(&H)" } },
                                       HelpItems(2),
                                       { { 1, Separator, 0, "" }, { 1, Item, IDM_EXIT, "終了(&X)\tAlt+X" } } }));
}

/* ---- accelerators ---- */

TEST(Resources, AcceleratorTable)
{
    const ACCEL expected[] = {
        { FVIRTKEY, VK_SPACE, IDM_NOW },
        { FVIRTKEY, VK_BACK, IDM_STOP },
        { FVIRTKEY, VK_F1, IDM_HELP },
        { FVIRTKEY | FALT, 'X', IDM_EXIT },
        { FVIRTKEY | FCONTROL, 'D', IDM_COUNTDOWN },
        { FVIRTKEY | FCONTROL, 'O', IDM_OPTIONS },
        { FVIRTKEY | FCONTROL, 'S', IDM_COUNTUP },
        { FVIRTKEY | FCONTROL, 'T', IDM_STOP },
    };
    ASSERT_NE(JapaneseResource(RT_ACCELERATOR, IDR_ACCEL).data, nullptr);
    HACCEL table = LoadAcceleratorsA(gInstance, MAKEINTRESOURCEA(IDR_ACCEL));
    ASSERT_NE(table, nullptr);
    ACCEL entries[16];
    int count = CopyAcceleratorTableA(table, entries, 16);
    DestroyAcceleratorTable(table);
    ASSERT_EQ(count, 8);
    for (int i = 0; i < count; i++) {
        EXPECT_EQ(entries[i].key, expected[i].key) << "entry " << i;
        EXPECT_EQ(entries[i].fVirt, expected[i].fVirt) << "entry " << i << " flags (FNOINVERT is 0x02)";
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << "entry " << i;
    }
}

/* ---- dialog templates ---- */

struct Rect16 {
    short x, y, cx, cy;
    bool operator==(const Rect16& o) const { return x == o.x && y == o.y && cx == o.cx && cy == o.cy; }
};

std::ostream& operator<<(std::ostream& out, const Rect16& r)
{
    return out << r.x << ", " << r.y << ", " << r.cx << ", " << r.cy;
}

/* Little-endian fields of a template; reading past its end sets failed and yields zeros. */
struct TemplateReader {
    const BYTE* data;
    DWORD size;
    DWORD pos;
    bool failed;

    bool Need(DWORD n)
    {
        if (pos + n > size) failed = true;
        return !failed;
    }
    WORD Word()
    {
        if (!Need(2)) return 0;
        WORD w = data[pos] | (data[pos + 1] << 8);
        pos += 2;
        return w;
    }
    DWORD Dword()
    {
        WORD low = Word();
        return low | ((DWORD)Word() << 16);
    }
    std::string String()
    {
        std::vector<WCHAR> text;
        for (WORD c = Word(); c && !failed; c = Word()) text.push_back(c);
        return Utf8FromWide(text.data(), (int)text.size());
    }
    Rect16 Rect()
    {
        Rect16 r;
        r.x = (short)Word();
        r.y = (short)Word();
        r.cx = (short)Word();
        r.cy = (short)Word();
        return r;
    }
    /* A sz_Or_Ord field: a string as UTF-8, an ordinal as "#n", and with controlClass
       the predefined control classes by their names. */
    std::string StringOrOrdinal(bool controlClass)
    {
        if (!Need(2) || data[pos] != 0xFF || data[pos + 1] != 0xFF) return String();
        Word();
        WORD ordinal = Word();
        static const char* classes[] = { "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX" };
        if (controlClass && ordinal >= 0x80 && ordinal <= 0x85) return classes[ordinal - 0x80];
        return "#" + std::to_string(ordinal);
    }
    void AlignDword() { pos = (pos + 3) & ~3u; }
};

struct ControlTemplate {
    DWORD exStyle, style;
    Rect16 rect;
    DWORD id;
    std::string cls, text;   /* UTF-8 */
    WORD extraBytes;
};

struct DialogTemplate {
    WORD version, signature;
    DWORD exStyle, style;
    Rect16 rect;
    std::string menu, cls, caption;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::string face;
    std::vector<ControlTemplate> controls;
};

/* Reads a DLGTEMPLATEEX and its DLGITEMTEMPLATEEX records; false if the bytes end early. */
bool ParseDialog(Bytes bytes, DialogTemplate* dialog)
{
    TemplateReader in = { bytes.data, bytes.size, 0, false };
    dialog->version = in.Word();
    dialog->signature = in.Word();
    in.Dword();   /* help id */
    dialog->exStyle = in.Dword();
    dialog->style = in.Dword();
    WORD count = in.Word();
    dialog->rect = in.Rect();
    dialog->menu = in.StringOrOrdinal(false);
    dialog->cls = in.StringOrOrdinal(false);
    dialog->caption = in.String();
    dialog->pointSize = dialog->weight = 0;
    dialog->italic = dialog->charset = 0;
    if (dialog->style & DS_SETFONT) {
        dialog->pointSize = in.Word();
        dialog->weight = in.Word();
        WORD italicAndCharset = in.Word();
        dialog->italic = LOBYTE(italicAndCharset);
        dialog->charset = HIBYTE(italicAndCharset);
        dialog->face = in.String();
    }
    for (WORD i = 0; i < count && !in.failed; i++) {
        ControlTemplate c;
        in.AlignDword();
        in.Dword();   /* help id */
        c.exStyle = in.Dword();
        c.style = in.Dword();
        c.rect = in.Rect();
        c.id = in.Dword();
        c.cls = in.StringOrOrdinal(true);
        c.text = in.StringOrOrdinal(false);
        c.extraBytes = in.Word();
        in.pos += c.extraBytes;
        dialog->controls.push_back(c);
    }
    return !in.failed && in.pos <= in.size;
}

/* One control as the program expects it; text null means any non-empty text. */
struct ControlRow {
    int id;
    const char* cls;
    const char* text;   /* code page 932, or "#n" for an ordinal */
    Rect16 rect;
    DWORD style;
};

struct DialogRow {
    WORD id;
    const char* caption;
    Rect16 rect;
    DWORD style, exStyle;
    std::vector<ControlRow> controls;
};

void ExpectDialog(const DialogRow& expected)
{
    std::string name = "dialog " + std::to_string(expected.id);
    Bytes bytes = JapaneseResource(RT_DIALOG, expected.id);
    ASSERT_NE(bytes.data, nullptr) << name;
    DialogTemplate d;
    ASSERT_TRUE(ParseDialog(bytes, &d)) << name << ": the template ends early";
    ASSERT_EQ(d.version, 1) << name << " is not a DIALOGEX";
    ASSERT_EQ(d.signature, 0xFFFF) << name << " is not a DIALOGEX";

    EXPECT_EQ(d.caption, Utf8(expected.caption)) << name;
    EXPECT_EQ(d.rect, expected.rect) << name;
    EXPECT_EQ(d.style, expected.style) << name << std::hex << " style 0x" << d.style;
    EXPECT_EQ(d.exStyle, expected.exStyle) << name;
    EXPECT_EQ(d.menu, "") << name;
    EXPECT_EQ(d.cls, "") << name;
    EXPECT_EQ(d.pointSize, 9) << name;
    EXPECT_EQ(d.face, Utf8("ＭＳ Ｐゴシック")) << name;
    EXPECT_LE(d.weight, FW_NORMAL) << name << " font is bold";
    EXPECT_EQ(d.italic, 0) << name;
    EXPECT_TRUE(d.charset == DEFAULT_CHARSET || d.charset == SHIFTJIS_CHARSET) << name << " charset " << (int)d.charset;

    ASSERT_EQ(d.controls.size(), expected.controls.size()) << name << " control count";
    for (size_t i = 0; i < d.controls.size(); i++) {
        const ControlTemplate& a = d.controls[i];
        const ControlRow& e = expected.controls[i];
        std::string where = name + " control " + std::to_string(i) + " (id " + std::to_string(e.id) + ")";
        /* -1 may be stored as a 16-bit or a 32-bit all-ones value. */
        EXPECT_EQ(a.id == 0xFFFFFFFF ? 0xFFFFu : a.id, (DWORD)(WORD)e.id) << where;
        EXPECT_EQ(lstrcmpiA(a.cls.c_str(), e.cls), 0) << where << ": class " << a.cls << ", expected " << e.cls;
        if (e.text) EXPECT_EQ(a.text, Utf8(e.text)) << where;
        else EXPECT_NE(a.text, "") << where;
        EXPECT_EQ(a.rect, e.rect) << where;
        EXPECT_EQ(a.style, e.style) << where << std::hex << ": style 0x" << a.style << ", expected 0x" << e.style;
        EXPECT_EQ(a.exStyle, 0u) << where;
        EXPECT_EQ(a.extraBytes, 0) << where;
    }
}

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kLabel = 0x50000000;      /* WS_CHILD, WS_VISIBLE, SS_LEFT */
const DWORD kCombo = 0x50210043;      /* drop-down list, not sorted */
const DWORD kMargin = 0x50912080;     /* digits only, horizontal scroll */
const DWORD kDots = 0x50010300;       /* centred push button with a tab stop */
const DWORD kPage = 0x50C00440;       /* WS_CHILD, WS_VISIBLE, WS_CAPTION, DS_CONTROL, DS_SETFONT */

TEST(Resources, AboutBox)
{
    ExpectDialog({ IDD_ABOUT, "バージョン情報", { 0, 0, 205, 80 },
                   WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK, 0,
                   { { IDC_STATIC, "STATIC", "#102", { 10, 10, 16, 17 }, kChild | SS_ICON },
                     { IDC_ABOUT_NAME, "STATIC", "", { 32, 10, 108, 14 }, kChild | SS_CENTER },
                     { IDC_ABOUT_VERSION, "STATIC", "Ver", { 14, 40, 134, 9 }, kChild | SS_CENTER },
                     { IDC_STATIC, "STATIC", NULL, { 14, 56, 134, 9 }, kChild | SS_CENTER },
                     { IDC_STATIC, "STATIC", "", { 9, 70, 190, 1 }, kChild | SS_ETCHEDFRAME },
                     { IDOK, "BUTTON", "OK", { 156, 10, 44, 14 }, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON } } });
}

TEST(Resources, CountdownDialog)
{
    const DWORD field = kChild | WS_BORDER | WS_TABSTOP | ES_NUMBER;
    ExpectDialog({ IDD_COUNTDOWN, "カウントダウン", { 0, 0, 144, 59 },
                   WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK,
                   WS_EX_DLGMODALFRAME,
                   { { IDC_STATIC, "STATIC", "秒(&S):", { 8, 10, 32, 8 }, kChild | SS_LEFT },
                     { IDC_CD_SECONDS, "EDIT", "0", { 40, 8, 24, 13 }, field },
                     { IDC_STATIC, "STATIC", "分(&M):", { 8, 26, 32, 8 }, kChild | SS_LEFT },
                     { IDC_CD_MINUTES, "EDIT", "0", { 40, 24, 24, 13 }, field },
                     { IDC_STATIC, "STATIC", "時間(&H):", { 8, 42, 32, 8 }, kChild | SS_LEFT },
                     { IDC_CD_HOURS, "EDIT", "0", { 40, 40, 24, 13 }, field },
                     { IDOK, "BUTTON", "スタート", { 92, 8, 44, 14 },
                       kChild | WS_TABSTOP | BS_CENTER | BS_DEFPUSHBUTTON },
                     { IDCANCEL, "BUTTON", "キャンセル", { 92, 24, 44, 14 },
                       kChild | WS_TABSTOP | BS_CENTER | BS_PUSHBUTTON } } });
}

TEST(Resources, OptionsDialog)
{
    ExpectDialog({ IDD_OPTIONS, "オプション", { 0, 0, 226, 199 }, 0x90C800C4, 0,
                   { { IDC_TAB, "SysTabControl32", "", { 6, 6, 214, 170 }, 0x50010000 },
                     { IDOK, "BUTTON", "OK", { 6, 180, 50, 15 }, 0x50010301 },
                     { IDCANCEL, "BUTTON", "キャンセル", { 66, 180, 50, 15 }, 0x50010300 } } });
}

TEST(Resources, GeneralPage)
{
    ExpectDialog({ IDD_PAGE_GENERAL, "", { 12, 24, 188, 148 }, kPage, 0,
                   { { IDC_STATIC, "STATIC", "背景色(&B):", { 8, 18, 36, 8 }, kLabel },
                     { IDC_BACK_SWATCH, "STATIC", "", { 48, 16, 96, 12 }, 0x50001000 },
                     { IDC_BACK_BUTTON, "BUTTON", "...", { 150, 16, 13, 13 }, kDots },
                     { IDC_STATIC, "STATIC", "曜日(&W):", { 8, 38, 28, 8 }, kLabel },
                     { IDC_WEEKDAY, "COMBOBOX", "", { 48, 36, 60, 48 }, kCombo },
                     { IDC_ONELINE, "BUTTON", "１行(&O)", { 12, 68, 80, 8 }, 0x50010003 },
                     { IDC_NOTITLEBAR, "BUTTON", "タイトルバー無し(&T)", { 12, 85, 80, 8 }, 0x50010003 } } });
}

std::vector<ControlRow> FacePageControls()
{
    return { { IDC_STATIC, "STATIC", "フォント(&F):", { 8, 18, 36, 8 }, kLabel },
             { IDC_FONT_LABEL, "EDIT", "", { 44, 16, 96, 13 }, 0x50810880 },
             { IDC_COLOR_SWATCH, "STATIC", "", { 144, 16, 32, 13 }, 0x50001000 },
             { IDC_FONT_BUTTON, "BUTTON", "...", { 182, 16, 13, 13 }, kDots },
             { IDC_STATIC, "STATIC", "形式(&R):", { 8, 38, 32, 8 }, kLabel },
             { IDC_FORMAT, "COMBOBOX", "", { 44, 36, 96, 65 }, kCombo },
             { IDC_STATIC, "STATIC", "水平(&H):", { 8, 62, 32, 8 }, kLabel },
             { IDC_ALIGN_H, "COMBOBOX", "", { 44, 60, 60, 65 }, kCombo },
             { IDC_STATIC, "STATIC", "値(&X):", { 120, 62, 24, 8 }, kLabel },
             { IDC_MARGIN_X, "EDIT", "", { 144, 60, 32, 13 }, kMargin },
             { IDC_STATIC, "STATIC", "垂直(&V):", { 8, 82, 28, 13 }, kLabel },
             { IDC_ALIGN_V, "COMBOBOX", "", { 44, 80, 60, 65 }, kCombo },
             { IDC_STATIC, "STATIC", "値(&Y):", { 120, 82, 32, 8 }, kLabel },
             { IDC_MARGIN_Y, "EDIT", "", { 144, 80, 32, 13 }, kMargin } };
}

TEST(Resources, DateAndTimePages)
{
    for (WORD id : { IDD_PAGE_DATE, IDD_PAGE_TIME })
        ExpectDialog({ id, "", { 12, 24, 204, 148 }, kPage, 0, FacePageControls() });
}

TEST(Resources, MeasurementPage)
{
    std::vector<ControlRow> controls = FacePageControls();
    controls.push_back({ IDC_STATIC, "STATIC", "カウントダウン終了時の&WAVEファイル:", { 8, 104, 140, 8 }, kLabel });
    controls.push_back({ IDC_WAVE_PATH, "EDIT", "", { 8, 113, 168, 13 }, 0x50910080 });
    controls.push_back({ IDC_WAVE_BUTTON, "BUTTON", "...", { 182, 113, 13, 13 }, kDots });
    ExpectDialog({ IDD_PAGE_COUNT, "", { 12, 24, 204, 148 }, kPage, 0, controls });
}

/* ---- version resource ---- */

TEST(Resources, VersionResource)
{
    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, path, sizeof(path)), 0u);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileOS, 0x40004u);
    EXPECT_EQ(fixed->dwFileType, 1u);

    WORD* translation = NULL;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length));
    ASSERT_EQ(length, 4u) << "one language and code page pair";
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);

    const struct { const char* name; const char* value; } values[] = {
        { "CompanyName", "ORBA" }, { "FileDescription", "時間ツール" }, { "FileVersion", "0.11" },
        { "InternalName", "VELMOR" }, { "OriginalFilename", "VELMOR.EXE" }, { "ProductName", "VELMOR" },
        { "ProductVersion", "0.11.0" }, { "LegalCopyright", NULL },
    };
    for (const auto& v : values) {
        std::string query = std::string("\\StringFileInfo\\041103A4\\") + v.name;
        char* text = NULL;
        ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), (void**)&text, &length)) << v.name;
        if (v.value) EXPECT_EQ(Utf8(text), Utf8(v.value)) << v.name;
        else EXPECT_GT(lstrlenA(text), 0) << v.name;
    }
}

/* ---- icon ---- */

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, IconHoldsTwoSixteenColourImages)
{
    Bytes group = JapaneseResource(RT_GROUP_ICON, IDI_VELMOR);
    ASSERT_NE(group.data, nullptr);
    ASSERT_GE(group.size, 6u);
    const WORD* header = (const WORD*)group.data;
    EXPECT_EQ(header[1], 1) << "icon, not cursor";
    ASSERT_EQ(header[2], 2) << "image count";
    ASSERT_EQ(group.size, 6u + 2 * sizeof(GroupIconEntry));
    const GroupIconEntry* entries = (const GroupIconEntry*)(group.data + 6);

    std::set<int> sizes;
    for (int i = 0; i < 2; i++) {
        const GroupIconEntry& e = entries[i];
        sizes.insert(e.width);
        EXPECT_EQ(e.height, e.width) << "image " << i;
        EXPECT_EQ(e.colorCount, 16) << "image " << i;
        EXPECT_EQ(e.bitCount, 4) << "image " << i;

        Bytes image = JapaneseResource(RT_ICON, e.id);
        ASSERT_NE(image.data, nullptr) << "image " << e.id;
        EXPECT_EQ(image.size, e.bytesInRes) << "image " << e.id;
        ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
        const BITMAPINFOHEADER* bits = (const BITMAPINFOHEADER*)image.data;
        EXPECT_EQ(bits->biWidth, e.width) << "image " << e.id;
        EXPECT_EQ(bits->biHeight, 2 * e.height) << "image " << e.id << ": colour and mask";
        EXPECT_EQ(bits->biBitCount, 4) << "image " << e.id;

        /* The loader picks this image for its own size. */
        EXPECT_EQ(LookupIconIdFromDirectoryEx((PBYTE)group.data, TRUE, e.width, e.height, LR_DEFAULTCOLOR), e.id);
        HICON icon = (HICON)LoadImageA(gInstance, MAKEINTRESOURCEA(IDI_VELMOR), IMAGE_ICON, e.width, e.height,
                                       LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << "size " << (int)e.width;
        ICONINFO iconInfo;
        ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
        BITMAP colour = {};
        GetObjectA(iconInfo.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, e.width);
        EXPECT_EQ(colour.bmHeight, e.height);
        DeleteObject(iconInfo.hbmColor);
        DeleteObject(iconInfo.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::set<int>{ 16, 32 }));
}

/* ---- manifest ---- */

TEST(Resources, ManifestAsksForCommonControlsSix)
{
    Bytes manifest = JapaneseResource(RT_MANIFEST, 1);
    ASSERT_NE(manifest.data, nullptr);
    std::string xml((const char*)manifest.data, manifest.size);

    size_t name = xml.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(name, std::string::npos);
    size_t start = xml.rfind('<', name);
    size_t end = xml.find('>', name);
    ASSERT_NE(end, std::string::npos);
    std::string identity = xml.substr(start, end - start);
    EXPECT_EQ(identity.rfind("<assemblyIdentity", 0), 0u) << identity;
    EXPECT_NE(identity.find("version=\"6.0.0.0\""), std::string::npos) << identity;
    EXPECT_NE(identity.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << identity;
    size_t dependency = xml.rfind("<dependentAssembly>", start);
    EXPECT_NE(dependency, std::string::npos);
    EXPECT_EQ(xml.find("</dependentAssembly>", dependency), xml.find("</dependentAssembly>", start))
        << "the identity lies inside a dependentAssembly";

    size_t compatibility = xml.find("<compatibility");
    ASSERT_NE(compatibility, std::string::npos);
    size_t firstOs = xml.find("<supportedOS Id=\"{", compatibility);
    EXPECT_NE(firstOs, std::string::npos);
    EXPECT_LT(firstOs, xml.find("</compatibility>"));

    /* The manifest took effect: this process's activation context redirects the common
       controls to the side-by-side version 6 assembly. */
    ACTCTX_SECTION_KEYED_DATA redirection = { sizeof(redirection) };
    EXPECT_TRUE(FindActCtxSectionStringW(0, NULL, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                         &redirection));
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(comctl, path, sizeof(path));
    FreeLibrary(comctl);
    CharLowerA(path);
    EXPECT_NE(std::string(path).find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
        << path;
}

}  // namespace
