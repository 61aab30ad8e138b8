#include "face.h"
#include "support.h"

/* Longer than a clock face holds one second, so a face that stays for this long
   across repaints is frozen, not merely between ticks. */
static const DWORD kSteadySpan = 1200;

bool ShowsClock(const Face& face)
{
    return face.Count(kDateColor) > 0 && face.Count(kTimeColor) > 0 && face.Count(kCountColor) == 0;
}

bool ShowsCount(const Face& face)
{
    return face.Count(kCountColor) > 0 && face.Count(kDateColor) == 0 && face.Count(kTimeColor) == 0;
}

bool WaitForFaceChange(HWND wnd, const Face& before)
{
    return WaitUntil([&] { return RepaintAndCapture(wnd) != before; });
}

bool WaitForFrozenFace(HWND wnd, Face* frozen)
{
    Face last = RepaintAndCapture(wnd);
    DWORD since = GetTickCount();
    return WaitUntil([&] {
        Face now = RepaintAndCapture(wnd);
        if (now != last) {
            last = now;
            since = GetTickCount();
        }
        *frozen = last;
        return GetTickCount() - since >= kSteadySpan;
    });
}

static bool WaitForCapture(HWND wnd, Face (*capture)(HWND), const FaceTest& test, Face* face,
                           DWORD timeoutMs)
{
    return WaitUntil([&] {
        *face = capture(wnd);
        return test(*face);
    }, timeoutMs);
}

bool WaitForFace(HWND wnd, const FaceTest& test, Face* face)
{
    return WaitForCapture(wnd, RepaintAndCapture, test, face, kDeadline);
}

bool WaitForShownFace(HWND wnd, const FaceTest& test, Face* face, DWORD timeoutMs)
{
    return WaitForCapture(wnd, CaptureFace, test, face, timeoutMs);
}
