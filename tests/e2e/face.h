/* The clock's face as the scenarios test it: which lines it shows, and waiting for it. */
#ifndef VELMOR_E2E_FACE_H
#define VELMOR_E2E_FACE_H

#include "../host/face_pixels.h"
#include <functional>

/* The face colours of a first start. */
const COLORREF kDateColor = RGB(0, 0, 0);
const COLORREF kTimeColor = RGB(0, 128, 0);
const COLORREF kCountColor = RGB(0, 0, 128);

/* The clock face: date and time colours, no count colour. */
bool ShowsClock(const Face& face);
/* A count face: the count colour and neither of the clock's line colours. */
bool ShowsCount(const Face& face);

/* Waits until the face differs from before. */
bool WaitForFaceChange(HWND wnd, const Face& before);
/* Waits until repaint after repaint shows the same face for longer than a running
   count or clock would hold still, and gives that face. */
bool WaitForFrozenFace(HWND wnd, Face* frozen);
typedef std::function<bool(const Face&)> FaceTest;
/* Waits for a face for which test holds, and gives it. */
bool WaitForFace(HWND wnd, const FaceTest& test, Face* face);
/* The same without asking for paints: what the window draws by its own accord. */
bool WaitForShownFace(HWND wnd, const FaceTest& test, Face* face, DWORD timeoutMs);

#endif
