// The frame kind: a captioned group box, or a static rectangle that shows
// only its border.
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_kinds.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/gadget/gadget_resize.h"

namespace {

constexpr DWORD GroupBoxStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX;
constexpr DWORD StaticFrameStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | SS_CENTER;
static_assert(GroupBoxStyle == 0x50020007 && StaticFrameStyle == 0x54020001, "the frames' style words");

constexpr uint32_t FrameGroupBox = 0;
constexpr uint32_t FrameSunken = 1;
constexpr uint32_t FrameStaticEdge = 2;

GadgetKindTable FrameKindTable;
// The Static class procedure, the same for every static frame.
WNDPROC frameClassProc;

void FrameResize(GadgetObject* gadget, int32_t x, int32_t y, int32_t width, int32_t height)
{
    GadgetResize(gadget, x, y, width, height);
    // A frame paints nothing inside, so the parent must paint what it covers.
    HWND parent = GetParent(gadget->window);
    RECT r = {};
    GetWindowRect(gadget->window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(parent, &r, TRUE);
}

HWND CreateStaticFrame(uint32_t flags, int x, int y, int width, int height)
{
    DWORD exStyle = 0;
    DWORD style = StaticFrameStyle;
    if (flags == FrameSunken)
        exStyle = WS_EX_CLIENTEDGE;
    else if (flags == FrameStaticEdge)
        exStyle = WS_EX_STATICEDGE;
    else
        style |= WS_BORDER;
    HWND control = GadgetCreateWindow(exStyle, "Static", nullptr, style, x, y, width, height);
    if (control)
        frameClassProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FramePaintProc)));
    return control;
}

}  // namespace

LRESULT CALLBACK FramePaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        ValidateRect(hwnd, nullptr);
        return 0;
    }
    return CallWindowProcA(frameClassProc, hwnd, message, wParam, lParam);
}

intptr_t GadgetCreateFrame(ObjectId number, int x, int y, int width, int height, const char* text, uint32_t flags)
{
    if (!FrameKindTable.kindCode) {
        GadgetKindTableReset(&FrameKindTable, GadgetKindFrame);
        FrameKindTable.resize = FrameResize;
    }
    HWND control = flags == FrameGroupBox
                       ? GadgetCreateWindow(0, "Button", text ? text : "", GroupBoxStyle, x, y, width, height)
                       : CreateStaticFrame(flags, x, y, width, height);
    if (!control)
        return 0;
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    return GadgetRegister(number, object, control, &FrameKindTable);
}
