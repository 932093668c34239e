// The combo box kind. Its window is as high as its drop-down list; the
// height the caller asks for is the closed box's, set through the
// selection field's item height.
#include <cstring>

#include "runtime/core/result_buffer.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_kinds.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/gadget/gadget_resize.h"

int32_t comboExtraHeight = -1;

namespace {

constexpr DWORD ComboStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_GROUP | CBS_HASSTRINGS;
constexpr DWORD ComboListFlags = CBS_DROPDOWNLIST | WS_TABSTOP;
static_assert(ComboStyle == 0x50A20200 && ComboListFlags == 0x10003, "the combo box's style and list flags");
// The extent of the drop-down list.
constexpr int ComboWindowHeight = 350;
// Any field height will do for measuring what the box adds around it.
constexpr int ComboProbeFieldHeight = 15;
// CB_SETITEMHEIGHT's index for the selection field.
constexpr WPARAM ComboSelectionField = static_cast<WPARAM>(-1);

GadgetKindTable ComboKindTable;

LRESULT Send(GadgetObject* gadget, UINT message, intptr_t wParam, LPARAM lParam = 0)
{
    return SendMessageA(gadget->window, message, static_cast<WPARAM>(wParam), lParam);
}

LPARAM TextArgument(const char* text)
{
    return reinterpret_cast<LPARAM>(text ? text : "");
}

int32_t ComboGetState(GadgetObject* gadget)
{
    return static_cast<int32_t>(Send(gadget, CB_GETCURSEL, 0));
}

int32_t ComboSetState(GadgetObject* gadget, int32_t index)
{
    return static_cast<int32_t>(Send(gadget, CB_SETCURSEL, index));
}

int32_t ComboSetText(GadgetObject* gadget, const char* text)
{
    // Bit 0: CBS_SIMPLE or CBS_DROPDOWNLIST, whose text is the selection.
    if (!(GetWindowLongPtrA(gadget->window, GWL_STYLE) & 1))
        return SetWindowTextA(gadget->window, text ? text : "");
    if (!text || !*text)
        return static_cast<int32_t>(Send(gadget, CB_SETCURSEL, -1));
    LRESULT index = Send(gadget, CB_FINDSTRINGEXACT, -1, TextArgument(text));
    if (index == CB_ERR)
        return CB_ERR;
    return static_cast<int32_t>(Send(gadget, CB_SETCURSEL, index));
}

int32_t ComboAddItem(GadgetObject* gadget, int32_t position, const char* text, int32_t)
{
    if (position >= -1)
        Send(gadget, CB_INSERTSTRING, position, TextArgument(text));
    return 0;
}

void ComboRemoveItem(GadgetObject* gadget, int32_t index)
{
    Send(gadget, CB_DELETESTRING, index);
}

void ComboClearItems(GadgetObject* gadget)
{
    Send(gadget, CB_RESETCONTENT, 0);
}

int32_t ComboCountItems(GadgetObject* gadget)
{
    return static_cast<int32_t>(Send(gadget, CB_GETCOUNT, 0));
}

void ComboGetItemText(GadgetObject* gadget, int32_t index, int32_t, int32_t position)
{
    LRESULT n = Send(gadget, CB_GETLBTEXTLEN, index);
    char* buffer = n == CB_ERR ? nullptr : ResultBufferReserve(static_cast<int32_t>(n), position);
    if (!buffer) {
        ResultBufferSetEnd(position);
        return;
    }
    buffer[0] = 0;
    Send(gadget, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
    ResultBufferRelease(static_cast<int32_t>(n) - static_cast<int32_t>(strlen(buffer)));
}

// Keeps the item's position and data.
int32_t ComboSetItemText(GadgetObject* gadget, int32_t index, const char* text, int32_t)
{
    LRESULT data = Send(gadget, CB_GETITEMDATA, index);
    if (Send(gadget, CB_DELETESTRING, index) == CB_ERR)
        return CB_ERR;
    Send(gadget, CB_INSERTSTRING, index, TextArgument(text));
    return static_cast<int32_t>(Send(gadget, CB_SETITEMDATA, index, data));
}

int32_t ComboSetItemData(GadgetObject* gadget, int32_t index, int32_t value)
{
    return static_cast<int32_t>(Send(gadget, CB_SETITEMDATA, index, value));
}

int32_t ComboGetItemData(GadgetObject* gadget, int32_t index)
{
    return static_cast<int32_t>(Send(gadget, CB_GETITEMDATA, index));
}

void ComboSetClosedHeight(GadgetObject* gadget, int32_t height)
{
    Send(gadget, CB_SETITEMHEIGHT, ComboSelectionField, height - comboExtraHeight);
}

// The window's height is the drop-down extent and stays.
void ComboResize(GadgetObject* gadget, int32_t x, int32_t y, int32_t width, int32_t height)
{
    GadgetResize(gadget, x, y, width, GadgetKeep);
    if (height != GadgetKeep)
        ComboSetClosedHeight(gadget, height);
}

void ComboMeasureExtraHeight(GadgetObject* gadget)
{
    comboExtraHeight = -1;
    Send(gadget, CB_SETITEMHEIGHT, ComboSelectionField, ComboProbeFieldHeight);
    RECT r = {};
    GetWindowRect(gadget->window, &r);
    comboExtraHeight = (r.bottom - r.top) - ComboProbeFieldHeight;
}

void ComboKindTableFill()
{
    GadgetKindTableReset(&ComboKindTable, GadgetKindComboBox);
    ComboKindTable.getState = ComboGetState;
    ComboKindTable.setState = ComboSetState;
    ComboKindTable.setText = ComboSetText;
    ComboKindTable.addItem = ComboAddItem;
    ComboKindTable.removeItem = ComboRemoveItem;
    ComboKindTable.clearItems = ComboClearItems;
    ComboKindTable.resize = ComboResize;
    ComboKindTable.countItems = ComboCountItems;
    ComboKindTable.getItemText = ComboGetItemText;
    ComboKindTable.setItemText = ComboSetItemText;
    ComboKindTable.setItemData = ComboSetItemData;
    ComboKindTable.getItemData = ComboGetItemData;
}

}  // namespace

intptr_t GadgetCreateComboBox(ObjectId number, int x, int y, int width, int height, uint32_t flags)
{
    if (!ComboKindTable.kindCode)
        ComboKindTableFill();
    const bool editable = flags & CBS_DROPDOWN;
    if (!editable)
        flags |= ComboListFlags;
    HWND control =
        GadgetCreateWindow(WS_EX_CLIENTEDGE, "ComboBox", nullptr, ComboStyle | flags, x, y, width, ComboWindowHeight);
    if (!control)
        return 0;
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    // Tab reaches an editable box through its edit field.
    if (editable) {
        if (HWND field = GetWindow(control, GW_CHILD))
            SetWindowLongPtrA(field, GWL_STYLE, GetWindowLongPtrA(field, GWL_STYLE) | WS_TABSTOP);
    }
    intptr_t result = GadgetRegister(number, object, control, &ComboKindTable);
    ComboMeasureExtraHeight(object);
    ComboSetClosedHeight(object, height);
    return result;
}
