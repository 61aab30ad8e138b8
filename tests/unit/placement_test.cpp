#include <gtest/gtest.h>
#include <vector>
#include "test_support.h"
#include "../../app/face_paint.h"

namespace {

struct Placement {
    const char* what;
    BYTE alignH, alignV;
    SHORT marginX, marginY;
    int width, height;
    LONG cx, cy;
    int wholeHeight, secondLine;
    LONG x, y;
};

TEST(FaceTextOrigin, CentringMarginsAndOddValues)
{
    const Placement cases[] = {
        { "two-line date, centred in the upper half", 0, 0, 0, 0, 300, 101, 100, 20, 0, 0, 100, 15 },
        { "two-line time, centred in the lower half", 0, 0, 0, 0, 300, 101, 100, 20, 0, 1, 100, 65 },
        { "count or one-line text, centred in the whole height", 0, 0, 0, 0, 300, 101, 100, 20, 1, 0, 100, 40 },
        { "wider than the window: halving truncates toward zero", 0, 0, 0, 0, 100, 101, 105, 20, 1, 0, -2, 40 },
        { "taller than the window", 0, 0, 0, 0, 100, 10, 20, 15, 1, 0, 40, -2 },
        { "centring ignores the margins", 0, 0, 50, 30, 300, 101, 100, 20, 1, 0, 100, 40 },
        { "right margin: the text's width is not subtracted", 2, 1, 100, 0, 300, 101, 80, 20, 1, 0, 200, 0 },
        { "bottom margin 0 starts at the bottom edge", 1, 2, 0, 0, 300, 101, 80, 20, 1, 0, 0, 101 },
        { "left and top margins", 1, 1, 12, 7, 300, 101, 80, 20, 0, 1, 12, 7 },
        { "negative left and top margins", 1, 1, -10, -7, 300, 101, 80, 20, 0, 0, -10, -7 },
        { "negative right and bottom margins", 2, 2, -10, -5, 300, 101, 80, 20, 0, 0, 310, 106 },
        { "unknown alignments: x 0, y the top margin", 7, 7, 33, 12, 300, 101, 80, 20, 0, 1, 0, 12 },
        { "top margin over a centred x", 0, 1, 40, 5, 300, 101, 100, 20, 0, 0, 100, 5 },
        { "left margin beside a centred line of the lower half", 1, 0, 5, 40, 300, 101, 100, 20, 0, 1, 5, 65 },
    };
    for (const Placement& c : cases) {
        FaceItem item = {};
        item.alignH = c.alignH;
        item.alignV = c.alignV;
        item.marginX = c.marginX;
        item.marginY = c.marginY;
        SIZE text = { c.cx, c.cy };
        POINT pt = FaceTextOrigin(&item, c.width, c.height, text, c.wholeHeight, c.secondLine);
        EXPECT_EQ(pt.x, c.x) << c.what;
        EXPECT_EQ(pt.y, c.y) << c.what;
    }
}

/* Keeps every GDI handle the process can still get, but `spare`, until it dies. */
class GdiHoard {
public:
    explicit GdiHoard(int spare)
    {
        while (HGDIOBJ brush = CreateSolidBrush(0)) held_.push_back(brush);
        for (int i = 0; i < spare && !held_.empty(); i++) {
            DeleteObject(held_.back());
            held_.pop_back();
        }
    }
    ~GdiHoard()
    {
        for (HGDIOBJ obj : held_) DeleteObject(obj);
    }

private:
    std::vector<HGDIOBJ> held_;
};

/* How many GDI objects can be made now (up to 100). */
int SpareGdiHandles(void)
{
    std::vector<HGDIOBJ> made;
    while (made.size() < 100) {
        HGDIOBJ brush = CreateSolidBrush(0);
        if (!brush) break;
        made.push_back(brush);
    }
    for (HGDIOBJ obj : made) DeleteObject(obj);
    return (int)made.size();
}

/* A stopped face whose count was never formatted: nothing but background. The
   target is a 32-bit DIB of the window's client size standing for the paint DC, so
   its pixels can be read back. */
class FacePaint : public testing::Test {
protected:
    static constexpr COLORREF kBack = RGB(12, 34, 56);

    void SetUp() override
    {
        ResetState();
        gState->mode = Stopped;
        gState->options.backColor = kBack;
        wnd_ = CreateTestWindow();
        RECT rc;
        GetClientRect(wnd_, &rc);
        width_ = rc.right;
        height_ = rc.bottom;
        ASSERT_GT(width_ * height_, 0);

        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width_;
        bi.bmiHeader.biHeight = -height_;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        target_ = CreateCompatibleDC(NULL);
        dib_ = CreateDIBSection(target_, &bi, DIB_RGB_COLORS, (void**)&pixels_, NULL, 0);
        oldBitmap_ = SelectObject(target_, dib_);
        ASSERT_TRUE(pixels_ != NULL);
        memset(pixels_, 0xFF, (size_t)width_ * height_ * 4);
    }
    void TearDown() override
    {
        SelectObject(target_, oldBitmap_);
        DeleteObject(dib_);
        DeleteDC(target_);
        DestroyWindow(wnd_);
    }
    /* Paints with only `spare` GDI handles to be had; returns how many are left. */
    int PaintWithSpareHandles(int spare)
    {
        GdiHoard hoard(spare);
        EXPECT_EQ(SpareGdiHandles(), spare);
        PaintFace(wnd_, target_);
        return SpareGdiHandles();
    }
    /* Pixels of the target that are not the background colour. */
    int OtherPixels()
    {
        DWORD back = GetRValue(kBack) << 16 | GetGValue(kBack) << 8 | GetBValue(kBack);
        int other = 0;
        for (int i = 0; i < width_ * height_; i++) other += (pixels_[i] & 0xFFFFFF) != back;
        return other;
    }

    HWND wnd_;
    int width_, height_;
    HDC target_ = NULL;
    HBITMAP dib_ = NULL;
    HGDIOBJ oldBitmap_ = NULL;
    DWORD* pixels_ = nullptr;
};

TEST_F(FacePaint, EmptyTextPaintsOnlyTheBackgroundAndLeaksNothing)
{
    /* Room for the memory DC, its bitmap and the brush, and no more. */
    EXPECT_EQ(PaintWithSpareHandles(3), 3) << "the paint kept GDI objects";
    EXPECT_EQ(OtherPixels(), 0) << "of " << width_ << " x " << height_;
}

TEST_F(FacePaint, WithoutRoomForTheBitmapItDrawsStraightToTheDc)
{
    /* One handle: the memory DC is made, its bitmap is not. */
    EXPECT_EQ(PaintWithSpareHandles(1), 1) << "the paint kept GDI objects";
    EXPECT_EQ(OtherPixels(), 0) << "of " << width_ << " x " << height_;
}

}
