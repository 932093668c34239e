#include "runtime/window/live_sizing.h"

#include "runtime/core/not_handled.h"
#include "runtime/core/state_object.h"

SizingState* sizingStateRecord;

void LiveSizingInit()
{
    sizingStateRecord = static_cast<SizingState*>(StateObjectNew(sizeof(SizingState), nullptr, nullptr));
}

namespace {

// The pointer rests this far inside the right and bottom borders (and, for
// the top-left corner, inside the top and left ones), so the arrow keys put
// the cursor where applying it leaves the rectangle as it is.
constexpr LONG BorderOffset = 2;
constexpr LONG ArrowStep = 10;
// WM_SYSCOMMAND's wParam: the system keeps the low four bits for itself,
// so the command is compared without them; for SC_SIZE they carry the
// WMSZ_* edge that the mouse grabbed (0 for the keyboard).
constexpr WPARAM SystemCommandMask = 0xFFF0;
constexpr WPARAM SizingEdgeMask = 0x000F;

struct ArrowChoice {
    WPARAM key;
    int32_t from;
    int32_t to;
};

// The first arrow picks a side, one at right angles turns it into a corner.
constexpr ArrowChoice ArrowChoices[] = {
    {VK_LEFT, 0, WMSZ_LEFT},    {VK_LEFT, WMSZ_TOP, WMSZ_TOPLEFT},       {VK_LEFT, WMSZ_BOTTOM, WMSZ_BOTTOMLEFT},
    {VK_UP, 0, WMSZ_TOP},       {VK_UP, WMSZ_RIGHT, WMSZ_TOPRIGHT},      {VK_UP, WMSZ_LEFT, WMSZ_TOPLEFT},
    {VK_RIGHT, 0, WMSZ_RIGHT},  {VK_RIGHT, WMSZ_TOP, WMSZ_TOPRIGHT},     {VK_RIGHT, WMSZ_BOTTOM, WMSZ_BOTTOMRIGHT},
    {VK_DOWN, 0, WMSZ_BOTTOM},  {VK_DOWN, WMSZ_RIGHT, WMSZ_BOTTOMRIGHT}, {VK_DOWN, WMSZ_LEFT, WMSZ_BOTTOMLEFT},
};

bool MovesLeft(int32_t edge)
{
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}

bool MovesRight(int32_t edge)
{
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}

bool MovesTop(int32_t edge)
{
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}

bool MovesBottom(int32_t edge)
{
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

void ShowSystemCursor(LPCSTR id)
{
    SetCursor(static_cast<HCURSOR>(LoadImageA(nullptr, id, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE)));
}

// Keeps the distance between a moved side and the fixed one within limits.
void ClampLowSide(LONG* side, LONG fixed, LONG minSize, LONG maxSize)
{
    if (fixed - *side < minSize)
        *side = fixed - minSize;
    else if (fixed - *side > maxSize)
        *side = fixed - maxSize;
}

void ClampHighSide(LONG* side, LONG fixed, LONG minSize, LONG maxSize)
{
    if (*side - fixed < minSize)
        *side = fixed + minSize;
    else if (*side - fixed > maxSize)
        *side = fixed + maxSize;
}

void ApplyPoint(SizingState* s, POINT p)
{
    RECT& r = s->sizingRect;
    const POINT& min = s->limits.ptMinTrackSize;
    const POINT& max = s->limits.ptMaxTrackSize;
    const LONG corner = s->edge == WMSZ_TOPLEFT ? BorderOffset : 0;
    if (MovesLeft(s->edge)) {
        r.left = p.x - corner;
        ClampLowSide(&r.left, r.right, min.x, max.x);
    }
    if (MovesRight(s->edge)) {
        r.right = p.x + BorderOffset;
        ClampHighSide(&r.right, r.left, min.x, max.x);
    }
    if (MovesTop(s->edge)) {
        r.top = p.y - corner;
        ClampLowSide(&r.top, r.bottom, min.y, max.y);
    }
    if (MovesBottom(s->edge)) {
        r.bottom = p.y + BorderOffset;
        ClampHighSide(&r.bottom, r.top, min.y, max.y);
    }
}

void MoveToSizingRect(HWND window, RECT r)
{
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// The point is in screen coordinates.
void ResizeTo(SizingState* s, HWND window, POINT p)
{
    ApplyPoint(s, p);
    SendMessageA(window, WM_SIZING, static_cast<WPARAM>(s->edge), reinterpret_cast<LPARAM>(&s->sizingRect));
    MoveToSizingRect(window, s->sizingRect);
}

void FillLimits(HWND window, MINMAXINFO* limits)
{
    *limits = {};
    limits->ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_BORDER)
        limits->ptMaxPosition = {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
    else if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_WINDOWEDGE)
        limits->ptMaxPosition = {GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE)};
    limits->ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    limits->ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
}

LRESULT StartSizing(SizingState* s, HWND window, WPARAM wParam)
{
    BOOL fullWindowDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullWindowDrag, 0);
    if (!fullWindowDrag)
        return NotHandled;

    s->edge = static_cast<int32_t>(wParam & SizingEdgeMask);
    s->active = 1;
    GetWindowRect(window, &s->sizingRect);
    FillLimits(window, &s->limits);
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&s->limits));
    // The window gets a button-down to pair with the button-up that may end
    // the sizing, also when the sizing began from the keyboard.
    if (GetKeyState(VK_LBUTTON) == 0)
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SetCapture(window);
    PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);

    s->restoreCursor = s->edge == 0;
    if (s->restoreCursor) {
        GetCursorPos(&s->savedCursor);
        ShowSystemCursor(IDC_SIZEALL);
    }
    return 0;
}

// The cursor point that chooses an edge: the inverse of ApplyPoint.
POINT EdgeCursorPoint(const RECT& r, int32_t edge, POINT cursor)
{
    const LONG corner = edge == WMSZ_TOPLEFT ? BorderOffset : 0;
    POINT p = cursor;
    if (MovesLeft(edge))
        p.x = r.left + corner;
    else if (MovesRight(edge))
        p.x = r.right - BorderOffset;
    if (MovesTop(edge))
        p.y = r.top + corner;
    else if (MovesBottom(edge))
        p.y = r.bottom - BorderOffset;
    return p;
}

LPCSTR EdgeCursorShape(int32_t edge)
{
    switch (edge) {
    case WMSZ_LEFT:
    case WMSZ_RIGHT: return IDC_SIZEWE;
    case WMSZ_TOP:
    case WMSZ_BOTTOM: return IDC_SIZENS;
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMRIGHT: return IDC_SIZENWSE;
    default: return IDC_SIZENESW;
    }
}

POINT ArrowStepPoint(WPARAM key, POINT cursor)
{
    switch (key) {
    case VK_LEFT: cursor.x -= ArrowStep; break;
    case VK_RIGHT: cursor.x += ArrowStep; break;
    case VK_UP: cursor.y -= ArrowStep; break;
    default: cursor.y += ArrowStep; break;
    }
    return cursor;
}

void HandleArrow(SizingState* s, HWND window, WPARAM key)
{
    POINT cursor;
    GetCursorPos(&cursor);
    for (const ArrowChoice& c : ArrowChoices) {
        if (c.key == key && c.from == s->edge) {
            s->edge = c.to;
            const POINT p = EdgeCursorPoint(s->sizingRect, c.to, cursor);
            SetCursorPos(p.x, p.y);
            ShowSystemCursor(EdgeCursorShape(c.to));
            return;
        }
    }
    const POINT p = ArrowStepPoint(key, cursor);
    SetCursorPos(p.x, p.y);
    ResizeTo(s, window, p);
}

LRESULT HandleKeyDown(SizingState* s, HWND window, WPARAM key)
{
    switch (key) {
    case VK_RETURN:
    case VK_ESCAPE:
        ReleaseCapture();  // ends the sizing through WM_CAPTURECHANGED
        return 0;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        HandleArrow(s, window, key);
        return NotHandled;  // the key goes on to default processing too
    default:
        return NotHandled;
    }
}

void EndSizing(SizingState* s, HWND window)
{
    PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    s->active = 0;
    if (s->restoreCursor)
        SetCursorPos(s->savedCursor.x, s->savedCursor.y);
}

}  // namespace

LRESULT LiveSizingFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SizingState* s = sizingStateRecord;
    if (!s)
        return NotHandled;
    if (!s->active)
        return message == WM_SYSCOMMAND && (wParam & SystemCommandMask) == SC_SIZE ? StartSizing(s, window, wParam)
                                                                                   : NotHandled;
    switch (message) {
    case WM_MOUSEMOVE: {
        s->restoreCursor = 0;
        POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        MapWindowPoints(window, nullptr, &p, 1);
        ResizeTo(s, window, p);
        return 0;
    }
    case WM_KEYDOWN:
        return HandleKeyDown(s, window, wParam);
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        EndSizing(s, window);
        return 0;
    case WM_DESTROY:
        // Wine takes the capture from a window it destroys without sending
        // WM_CAPTURECHANGED; a sizing left active would resize whichever
        // window of the library next sees a mouse move.
        if (GetCapture() == window || !GetCapture())
            EndSizing(s, window);
        return NotHandled;
    default:
        return NotHandled;
    }
}
