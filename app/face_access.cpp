#include "face_access.h"
#include <new>
#include <oleacc.h>
#include "../state/clock_state.h"
#include "../engine/face_text.h"
#include "../engine/count_modes.h"

static int IsSelf(VARIANT child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

/* The face's lines as shown at this moment, formatted afresh as the paint does them: date
   and time (the date line alone when it holds both), or the count line. */
static HRESULT FaceText(BSTR* text)
{
    ClockState* s = gState;
    WCHAR lines[2 * FACE_TEXT_SIZE];
    const WCHAR* shown = lines;

    if (s->mode != Clock) {
        FormatCountText();
        shown = s->count.text;
    } else {
        FormatClockTexts();
        if (s->options.oneLine) shown = s->date.text;
        else wsprintfW(lines, L"%s %s", s->date.text, s->time.text);
    }
    *text = SysAllocString(shown);
    return *text ? S_OK : E_OUTOFMEMORY;
}

/* A clock named and valued by the face's text; all else is the standard object of the
   client area. Late binding is not offered: it would reach the standard object's name. */
struct FaceAccessible final : IAccessible {
    LONG refs;
    IAccessible* standard;

    explicit FaceAccessible(IAccessible* client) : refs(1), standard(client) {}

    /* Ids come from __uuidof: in mingw-w64's oleacc import library, IID_IAccessible names a
       jump stub, not the id. */
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        *out = NULL;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) && iid != __uuidof(IAccessible))
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&refs); }
    STDMETHOD_(ULONG, Release)() override
    {
        LONG left = InterlockedDecrement(&refs);
        if (!left) {
            standard->Release();
            HeapFree(GetProcessHeap(), 0, this);
        }
        return left;
    }

    STDMETHOD(GetTypeInfoCount)(UINT* count) override { *count = 0; return S_OK; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

    STDMETHOD(get_accRole)(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child)) return standard->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_CLOCK;
        return S_OK;
    }
    STDMETHOD(get_accName)(VARIANT child, BSTR* name) override
    {
        return IsSelf(child) ? FaceText(name) : standard->get_accName(child, name);
    }
    STDMETHOD(get_accValue)(VARIANT child, BSTR* value) override
    {
        return IsSelf(child) ? FaceText(value) : standard->get_accValue(child, value);
    }

    STDMETHOD(get_accParent)(IDispatch** parent) override { return standard->get_accParent(parent); }
    STDMETHOD(get_accChildCount)(LONG* count) override { return standard->get_accChildCount(count); }
    STDMETHOD(get_accChild)(VARIANT child, IDispatch** out) override { return standard->get_accChild(child, out); }
    STDMETHOD(get_accDescription)(VARIANT child, BSTR* out) override { return standard->get_accDescription(child, out); }
    STDMETHOD(get_accState)(VARIANT child, VARIANT* out) override { return standard->get_accState(child, out); }
    STDMETHOD(get_accHelp)(VARIANT child, BSTR* out) override { return standard->get_accHelp(child, out); }
    STDMETHOD(get_accHelpTopic)(BSTR* file, VARIANT child, LONG* topic) override
    { return standard->get_accHelpTopic(file, child, topic); }
    STDMETHOD(get_accKeyboardShortcut)(VARIANT child, BSTR* out) override
    { return standard->get_accKeyboardShortcut(child, out); }
    STDMETHOD(get_accFocus)(VARIANT* out) override { return standard->get_accFocus(out); }
    STDMETHOD(get_accSelection)(VARIANT* out) override { return standard->get_accSelection(out); }
    STDMETHOD(get_accDefaultAction)(VARIANT child, BSTR* out) override { return standard->get_accDefaultAction(child, out); }
    STDMETHOD(accSelect)(LONG flags, VARIANT child) override { return standard->accSelect(flags, child); }
    STDMETHOD(accLocation)(LONG* x, LONG* y, LONG* width, LONG* height, VARIANT child) override
    { return standard->accLocation(x, y, width, height, child); }
    STDMETHOD(accNavigate)(LONG direction, VARIANT start, VARIANT* end) override
    { return standard->accNavigate(direction, start, end); }
    STDMETHOD(accHitTest)(LONG x, LONG y, VARIANT* out) override { return standard->accHitTest(x, y, out); }
    STDMETHOD(accDoDefaultAction)(VARIANT child) override { return standard->accDoDefaultAction(child); }
    STDMETHOD(put_accName)(VARIANT child, BSTR name) override { return standard->put_accName(child, name); }
    STDMETHOD(put_accValue)(VARIANT child, BSTR value) override { return standard->put_accValue(child, value); }
};

/* A screen reader asks for the client area: it gets the face, made for this request and
   gone when the reader lets it go. Any other part of the window is the system's. */
LRESULT OnGetObject(HWND wnd, WPARAM wParam, LPARAM lParam)
{
    IAccessible* standard;

    if ((LONG)lParam != OBJID_CLIENT) return DefWindowProcW(wnd, WM_GETOBJECT, wParam, lParam);
    /* The reader's calls must reach this thread, where the paint formats the same texts:
       COM starts here at the first request and stays; a later start only counts, and is
       taken back. */
    if (CoInitializeEx(NULL, COINIT_APARTMENTTHREADED) == S_FALSE) CoUninitialize();
    if (FAILED(CreateStdAccessibleObject(wnd, OBJID_CLIENT, __uuidof(IAccessible), (void**)&standard)))
        return 0;
    /* From the process heap, as everything else here: the C++ allocator would bring its
       exception runtime into the program. */
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(FaceAccessible));
    FaceAccessible* face = memory ? new (memory) FaceAccessible(standard) : NULL;
    if (!face) {
        standard->Release();
        return 0;
    }
    LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, face);
    face->Release();
    return result;
}
