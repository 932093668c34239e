#include <richedit.h>

#include <cstring>

#include "runtime/core/result_buffer.h"
#include "runtime/gadget/gadget_editor.h"
#include "runtime/gadget/gadget_kind_words.h"

namespace {

// emptyItemState values.
constexpr int32_t NoEmptyItem = 0;
constexpr int32_t EmptyItemHeld = 1;     // empty text standing for one empty line
constexpr int32_t EmptyItemWritten = 2;  // that line is now a real line break

// EM_GETLINE reads the buffer's size from its first 16-bit word.
constexpr int32_t LineSizeLimit = 0xFFFF;
// Room beyond the line: its line break, and the terminating zero.
constexpr int32_t LineSlack = 3;

LRESULT Send(GadgetObject* gadget, UINT message, intptr_t wParam, LPARAM lParam = 0)
{
    return SendMessageA(gadget->window, message, static_cast<WPARAM>(wParam), lParam);
}

LRESULT LineIndex(GadgetObject* gadget, int32_t line)
{
    return Send(gadget, EM_LINEINDEX, line);
}

LRESULT TextLength(GadgetObject* gadget)
{
    return Send(gadget, WM_GETTEXTLENGTH, 0);
}

// Editing hides the selection, so that the control does not flicker.
void ShowSelection(GadgetObject* gadget, bool show)
{
    Send(gadget, EM_HIDESELECTION, show ? FALSE : TRUE);
}

void Select(GadgetObject* gadget, LRESULT from, LRESULT to)
{
    Send(gadget, EM_SETSEL, from, to);
}

// Undoable.
void Replace(GadgetObject* gadget, const char* text)
{
    Send(gadget, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

int32_t EmptyItemState(GadgetObject* gadget)
{
    return KindWordGet(gadget, EditorWord::emptyItemState);
}

void SetEmptyItemState(GadgetObject* gadget, int32_t state)
{
    KindWordSet(gadget, EditorWord::emptyItemState, state);
}

void AppendLine(GadgetObject* gadget, const char* text)
{
    LRESULT length = TextLength(gadget);
    Select(gadget, length, length);
    if (EmptyItemState(gadget) == EmptyItemHeld) {
        Replace(gadget, "\n");
        SetEmptyItemState(gadget, EmptyItemWritten);
    }
    if (length != 0)
        Replace(gadget, "\n");
    else if (!*text && EmptyItemState(gadget) == NoEmptyItem)
        SetEmptyItemState(gadget, EmptyItemHeld);
    Replace(gadget, text);
}

}  // namespace

void EditorGetText(GadgetObject* gadget, int32_t position)
{
    int n = GetWindowTextLengthA(gadget->window);
    char* buffer = ResultBufferReserve(n, position);
    if (!buffer) {
        ResultBufferSetEnd(position);
        return;
    }
    buffer[0] = 0;
    GetWindowTextA(gadget->window, buffer, n + 1);
}

int32_t EditorSetText(GadgetObject* gadget, const char* text)
{
    if (!text || !*text) {
        EditorClearItems(gadget);
        return 1;
    }
    // The text replaces any empty line held or written before it.
    SetEmptyItemState(gadget, NoEmptyItem);
    return SetWindowTextA(gadget->window, text);
}

int32_t EditorAddItem(GadgetObject* gadget, int32_t position, const char* text, int32_t)
{
    if (!text)
        text = "";
    LRESULT start = LineIndex(gadget, position);
    ShowSelection(gadget, false);
    if (start != -1 && position != -1) {
        // The held empty line now follows a real line break; a later
        // append must not write it out again.
        if (EmptyItemState(gadget) == EmptyItemHeld)
            SetEmptyItemState(gadget, EmptyItemWritten);
        Select(gadget, start, start);
        Replace(gadget, text);
        Replace(gadget, "\n");
    } else {
        AppendLine(gadget, text);
    }
    ShowSelection(gadget, true);
    return 0;
}

void EditorRemoveItem(GadgetObject* gadget, int32_t line)
{
    LRESULT start = LineIndex(gadget, line);
    // -1 would name the caret's line.
    if (line < 0 || start == -1)
        return;
    const int32_t count = EditorCountItems(gadget);
    LRESULT next = LineIndex(gadget, line + 1);
    // The last line has no break of its own to go with it: the one before
    // it goes instead, or an empty line would be left in its place.
    if (next == -1 && line > 0) {
        LRESULT previous = LineIndex(gadget, line - 1);
        start = previous + Send(gadget, EM_LINELENGTH, previous);
    }
    ShowSelection(gadget, false);
    Select(gadget, start, next);
    Replace(gadget, "");
    ShowSelection(gadget, true);
    // An empty text left by one of several lines is the one empty line
    // that remains.
    if (TextLength(gadget) == 0)
        SetEmptyItemState(gadget, count > 1 ? EmptyItemHeld : NoEmptyItem);
}

void EditorClearItems(GadgetObject* gadget)
{
    SetWindowTextA(gadget->window, "");
    SetEmptyItemState(gadget, NoEmptyItem);
}

int32_t EditorCountItems(GadgetObject* gadget)
{
    if (TextLength(gadget) == 0 && EmptyItemState(gadget) == NoEmptyItem)
        return 0;
    return static_cast<int32_t>(Send(gadget, EM_GETLINECOUNT, 0));
}

void EditorGetItemText(GadgetObject* gadget, int32_t line, int32_t, int32_t position)
{
    LRESULT start = LineIndex(gadget, line);
    LRESULT length = Send(gadget, EM_LINELENGTH, start);
    const int32_t size = static_cast<int32_t>(length < LineSizeLimit - LineSlack ? length + LineSlack : LineSizeLimit);
    char* buffer = ResultBufferReserve(size, position);
    if (!buffer) {
        ResultBufferSetEnd(position);
        return;
    }
    const WORD sizeWord = static_cast<WORD>(size);
    memcpy(buffer, &sizeWord, sizeof sizeWord);
    LRESULT got = Send(gadget, EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer));
    // A line longer than the buffer fills it without a terminating zero:
    // keep what fits.
    if (got < 0)
        got = 0;
    else if (got >= size)
        got = size - 1;
    if (got > 0 && buffer[got - 1] == '\r')
        --got;
    ResultBufferRelease(size - static_cast<int32_t>(got));
    buffer[got] = 0;
}

int32_t EditorSetItemText(GadgetObject* gadget, int32_t line, const char* text, int32_t)
{
    LRESULT start = LineIndex(gadget, line);
    LRESULT length = Send(gadget, EM_LINELENGTH, start);
    ShowSelection(gadget, false);
    Select(gadget, start, start + length);
    Replace(gadget, text ? text : "");
    ShowSelection(gadget, true);
    return 0;
}
