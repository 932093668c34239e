#include "runtime/gadget/gadget_list.h"

#include <cstdio>

#include "runtime/core/heaps.h"
#include "runtime/core/instance.h"
#include "runtime/core/state_object.h"

HFONT defaultGuiFont = nullptr;

namespace {

void* listState = nullptr;

HWND* NewStack()
{
    return static_cast<HWND*>(MainHeapAllocZero(GadgetListStackEntries * sizeof(HWND)));
}

void StateInit(void* record)
{
    auto* state = static_cast<GadgetListState*>(record);
    state->frame.stack = NewStack();
    state->frame.stackCapacity = state->frame.stack ? GadgetListStackEntries : 0;
    state->defaultFont = defaultGuiFont;
}

void StateRelease(void* record)
{
    MainHeapFree(static_cast<GadgetListState*>(record)->frame.stack);
}

GadgetListRecord* RecordOf(HWND window, const GadgetListPropertyName& name)
{
    return static_cast<GadgetListRecord*>(GetPropA(window, name.text));
}

}  // namespace

GadgetListPropertyName GadgetListProperty()
{
    GadgetListPropertyName name;
    snprintf(name.text, sizeof name.text, "Nimb_GadgetStack_%i",
             static_cast<int>(reinterpret_cast<intptr_t>(InstanceHandle)));
    return name;
}

void GadgetListStateCreate()
{
    listState = StateObjectNew(sizeof(GadgetListState), StateInit, StateRelease);
}

GadgetListState* GadgetListStateGet()
{
    return static_cast<GadgetListState*>(StateObjectGet(listState));
}

void GadgetListStateForget()
{
    listState = nullptr;
}

HWND GadgetListRoot(const GadgetListState* state)
{
    if (state->frame.stackDepth == 0 || !state->frame.stack)
        return state->frame.current;
    return state->frame.stack[0];
}

HWND GadgetListUse(HWND window)
{
    GadgetListState* state = GadgetListStateGet();
    if (!state)
        return nullptr;
    HWND root = GadgetListRoot(state);
    if (!window)
        return root;

    GadgetListPropertyName name = GadgetListProperty();
    GadgetListRecord* record = RecordOf(window, name);
    GadgetListRecord* rootRecord = root ? RecordOf(root, name) : nullptr;

    // A window new to the lists gets its record (and, when the array in use
    // goes to root's record, a stack) before anything changes, so that a
    // failure leaves every list as it was.
    GadgetListRecord* fresh = nullptr;
    HWND* freshStack = nullptr;
    if (!record) {
        const bool needsStack = rootRecord || !state->frame.stack;
        fresh = static_cast<GadgetListRecord*>(MainHeapAllocZero(sizeof(GadgetListRecord)));
        freshStack = needsStack ? NewStack() : nullptr;
        if (!fresh || (needsStack && !freshStack) || !SetPropA(window, name.text, fresh)) {
            MainHeapFree(fresh);
            MainHeapFree(freshStack);
            return root;
        }
    }

    if (rootRecord) {
        rootRecord->saved = state->frame;
        state->frame.stack = nullptr;  // the array now belongs to root's record
    }

    if (record) {
        MainHeapFree(state->frame.stack);
        state->frame = record->saved;
        record->saved.stack = nullptr;
    } else {
        if (!state->frame.stack) {
            state->frame.stack = freshStack;
            state->frame.stackCapacity = GadgetListStackEntries;
        }
        state->frame.stackDepth = 0;
        state->frame.current = window;
        fresh->window = window;
        fresh->previousProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetListWindowProc)));
    }
    return root;
}

LRESULT CALLBACK GadgetListWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    GadgetListPropertyName name = GadgetListProperty();
    GadgetListRecord* record = RecordOf(hwnd, name);
    if (!record)
        return DefWindowProcA(hwnd, message, wParam, lParam);

    WNDPROC previous = record->previousProc;
    if (message == WM_NCDESTROY) {
        GadgetListState* state = GadgetListStateGet();
        if (state && record->window == GadgetListRoot(state)) {
            state->frame.current = nullptr;
            state->frame.stackDepth = 0;
        }
        MainHeapFree(record->saved.stack);
        MainHeapFree(record);
        RemovePropA(hwnd, name.text);
    }
    if (previous)
        return CallWindowProcA(previous, hwnd, message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
