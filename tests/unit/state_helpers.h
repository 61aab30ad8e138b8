/* Helpers of the state record and settings store tests: bytes as hex, the
   default font spelled out byte by byte, and font descriptions of live handles. */
#ifndef VELMOR_STATE_HELPERS_H
#define VELMOR_STATE_HELPERS_H

#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "test_support.h"

/* In a namespace of their own: other test files define helpers of the same names. */
namespace statetest {

/* "ＭＳ 明朝" in Shift-JIS. */
static const char kDefaultFaceName[] = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";

/* Bytes as "00 80 FB ...", as a hex dump shows them. */
inline std::string Hex(const void* data, size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    const BYTE* bytes = (const BYTE*)data;
    std::string out;
    for (size_t i = 0; i < size; i++) {
        if (i) out += ' ';
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}
inline std::string Hex(const std::vector<BYTE>& bytes) { return Hex(bytes.data(), bytes.size()); }

/* The default LOGFONTA, byte for byte. */
inline std::string DefaultLogFontHex()
{
    BYTE b[60] = {};
    b[0] = 26;                      /* lfHeight 26 */
    b[16] = 0x90; b[17] = 0x01;     /* lfWeight 400 */
    b[23] = 128;                    /* lfCharSet SHIFTJIS_CHARSET */
    b[27] = 1;                      /* lfPitchAndFamily FIXED_PITCH */
    memcpy(b + 28, kDefaultFaceName, 9);
    return Hex(b, sizeof(b));
}

/* The LOGFONTA that GetObjectA reports for a font, in a zeroed buffer (Wine leaves
   the bytes after the face name's terminator as they were), or "null font". */
inline std::string FontHex(HFONT font)
{
    if (!font) return "null font";
    LOGFONTA lf;
    ZeroMemory(&lf, sizeof(lf));
    if (GetObjectA(font, sizeof(lf), &lf) != (int)sizeof(lf)) return "no LOGFONTA";
    return Hex(&lf, sizeof(lf));
}

/* A stored or live item with its font slot zeroed: the slot's value has no meaning. */
inline std::string ItemHexWithoutSlot(const FaceItem& item)
{
    FaceItem copy = item;
    copy.font = 0;
    return Hex(&copy, sizeof(copy));
}

/* The default options: FF FF FF 00 and 28 zero bytes. */
inline std::string DefaultOptionsHex()
{
    std::vector<BYTE> b(32, 0);
    b[0] = b[1] = b[2] = 0xFF;
    return Hex(b);
}

/* The default item of a kind, slot zeroed. */
inline std::string DefaultItemHex(int kind)
{
    static const COLORREF colors[3] = { 0x00000000, 0x00008000, 0x00800000 };
    FaceItem item;
    ZeroMemory(&item, sizeof(item));
    item.color = colors[kind];
    return Hex(&item, sizeof(item));
}

/* The font is the built-in one: its description is the default LOGFONTA and GDI
   realises it as a 26-unit fixed-pitch Shift-JIS "ＭＳ 明朝". */
inline void ExpectDefaultFont(HFONT font, const std::string& what)
{
    ASSERT_NE(font, (HFONT)NULL) << what;
    EXPECT_EQ(FontHex(font), DefaultLogFontHex()) << what;

    HDC dc = CreateCompatibleDC(NULL);
    HFONT old = (HFONT)SelectObject(dc, font);
    TEXTMETRICA tm;
    char face[LF_FACESIZE] = {};
    SIZE narrow = {}, wide = {};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm)) << what;
    GetTextFaceA(dc, sizeof(face), face);
    GetTextExtentPoint32A(dc, "iiii", 4, &narrow);
    GetTextExtentPoint32A(dc, "WWWW", 4, &wide);
    SelectObject(dc, old);
    DeleteDC(dc);

    EXPECT_EQ(Utf8(face), Utf8(kDefaultFaceName)) << what;
    EXPECT_EQ(tm.tmHeight, 26) << what;
    EXPECT_EQ(tm.tmCharSet, SHIFTJIS_CHARSET) << what;
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << what << ": the bit set means variable pitch";
    EXPECT_EQ(narrow.cx, wide.cx) << what << ": fixed pitch";
}

}

#endif
