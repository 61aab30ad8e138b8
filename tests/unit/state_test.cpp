/* The state record's stored layouts, its defaults and its three fonts. */
#include <gtest/gtest.h>
#include "test_support.h"
#include "state_helpers.h"

namespace {

using namespace statetest;

class StateRecord : public testing::Test {
protected:
    void SetUp() override { ResetState(); }
    void TearDown() override { ResetState(); }
};

TEST_F(StateRecord, DefaultFaceNameIsItsShiftJisBytes)
{
    EXPECT_STREQ(kDefaultFaceName, "ＭＳ 明朝") << "the sources are compiled to code page 932";
}

TEST_F(StateRecord, DefaultLogFontOfNullIsZero)
{
    EXPECT_EQ(DefaultLogFont(NULL), 0);
}

TEST_F(StateRecord, DefaultLogFontBytes)
{
    LOGFONTA lf;
    memset(&lf, 0xCC, sizeof(lf));
    EXPECT_EQ(DefaultLogFont(&lf), 1);
    EXPECT_EQ(Hex(&lf, sizeof(lf)), DefaultLogFontHex()) << "every byte outside the listed fields is zero";
    EXPECT_EQ(lf.lfHeight, 26);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(lf.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_EQ(Hex(lf.lfFaceName, 10), "82 6C 82 72 20 96 BE 92 A9 00");
    EXPECT_EQ(Utf8(lf.lfFaceName), Utf8("ＭＳ 明朝"));
}

TEST_F(StateRecord, DefaultFaceItemPerKind)
{
    const char* names[3] = { "date", "time", "count" };
    const COLORREF colors[3] = { RGB(0, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128) };
    for (int kind = 0; kind < 3; kind++) {
        FaceLine line;
        memset(&line, 0xCC, sizeof(line));
        line.font = NULL;
        DefaultFaceItem(&line, kind);

        EXPECT_EQ(line.item.color, colors[kind]) << names[kind];
        EXPECT_EQ(ItemHexWithoutSlot(line.item), DefaultItemHex(kind))
            << names[kind] << ": empty text, zero margins, format 0, centred, reserved zero";
        ExpectDefaultFont(line.font, names[kind]);
        if (line.font) DeleteObject(line.font);
    }
    /* The colours as stored bytes: black, green 00 80 00 00, navy 00 00 80 00. */
    EXPECT_EQ(DefaultItemHex(1).substr(36 * 3, 11), "00 80 00 00");
    EXPECT_EQ(DefaultItemHex(2).substr(36 * 3, 11), "00 00 80 00");
}

TEST_F(StateRecord, DefaultFaceItemsGetFontsOfTheirOwn)
{
    DefaultFaceItem(&gState->date, 0);
    DefaultFaceItem(&gState->time, 1);
    DefaultFaceItem(&gState->count, 2);
    EXPECT_NE(gState->date.font, gState->time.font);
    EXPECT_NE(gState->time.font, gState->count.font);
    EXPECT_NE(gState->date.font, gState->count.font);
}

TEST_F(StateRecord, ReleaseFaceFontsDeletesAndNullsEachFontAndMayRunTwice)
{
    DefaultFaceItem(&gState->date, 0);
    DefaultFaceItem(&gState->count, 2);
    gState->time.font = NULL;           /* a font whose creation failed */
    HFONT date = gState->date.font, count = gState->count.font;
    ASSERT_EQ(GetObjectType(date), (DWORD)OBJ_FONT);
    ASSERT_EQ(GetObjectType(count), (DWORD)OBJ_FONT);

    ReleaseFaceFonts();
    EXPECT_EQ(gState->date.font, (HFONT)NULL);
    EXPECT_EQ(gState->time.font, (HFONT)NULL);
    EXPECT_EQ(gState->count.font, (HFONT)NULL);
    EXPECT_EQ(GetObjectType(date), 0u) << "the date font was deleted";
    EXPECT_EQ(GetObjectType(count), 0u) << "the count font was deleted";

    ReleaseFaceFonts();                 /* the second Shutdown at log-off */
    EXPECT_EQ(gState->date.font, (HFONT)NULL);
}

TEST_F(StateRecord, FaceItemBytesOfTheGreenLineExample)
{
    FaceItem item;
    ZeroMemory(&item, sizeof(item));
    item.color = RGB(0, 128, 0);
    item.marginY = -5;
    item.marginX = 10;
    item.format = 5;
    item.alignH = 2;
    item.alignV = 1;
    const BYTE* bytes = (const BYTE*)&item;
    EXPECT_EQ(Hex(bytes, 32), Hex(std::vector<BYTE>(32, 0)));
    EXPECT_EQ(Hex(bytes + 36, 16), "00 80 00 00 FB FF 0A 00 05 02 01 00 00 00 00 00");
}

TEST_F(StateRecord, DefaultOptionsBytes)
{
    ClockOptions options;
    ZeroMemory(&options, sizeof(options));
    options.backColor = RGB(255, 255, 255);
    EXPECT_EQ(Hex(&options, sizeof(options)),
              "FF FF FF 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(DefaultOptionsHex(), Hex(&options, sizeof(options)));
}

TEST_F(StateRecord, FreshRecordIsZero)
{
    /* What start-up hands to LoadSettings: mode Clock, no rectangle, no path, no texts. */
    std::vector<BYTE> zero(sizeof(ClockState), 0);
    EXPECT_EQ(memcmp(gState, zero.data(), sizeof(ClockState)), 0);
    EXPECT_EQ(gState->mode, Clock);
    EXPECT_EQ(Clock, 0);
    EXPECT_EQ(CountUp, 1);
    EXPECT_EQ(Stopped, 2);
    EXPECT_EQ(CountDown, 3);
}

}
