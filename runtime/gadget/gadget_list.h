// The current gadget list: the window into which new gadgets are placed,
// and the per-window records that keep a list's state while another is in use.
#pragma once

#include <windows.h>
#include <cstdint>

constexpr int32_t GadgetListStackEntries = 10;

// The stock DEFAULT_GUI_FONT, read once by GadgetInit: the font of every
// new gadget until a program chooses another.
extern HFONT defaultGuiFont;

// The list in use, kept whole in a window's record while another is in use.
struct GadgetListFrame {
    HWND current;            // parent of every gadget created from now on; 0 = none
    HWND* stack;             // outer lists remembered while an inner one is open
    int32_t stackDepth;
    int32_t stackCapacity;
};

// The gadget library's single state record.
struct GadgetListState {
    GadgetListFrame frame;
    HFONT defaultFont;       // sent to each new gadget
    HWND libraryWindow;      // destroyed by GadgetEnd; nothing creates one
};

// Attached to each window that has been a gadget list, as the property
// "Nimb_GadgetStack_<InstanceHandle>".
struct GadgetListRecord {
    HWND window;
    GadgetListFrame saved;   // saved.stack is 0 while this window's list is in use
    WNDPROC previousProc;    // before GadgetListWindowProc
};

struct GadgetListPropertyName {
    char text[40];
};

GadgetListPropertyName GadgetListProperty();

// Made by GadgetInit; null before.
void GadgetListStateCreate();
GadgetListState* GadgetListStateGet();
// Null again, for RuntimeEnd just before the MainHeap that holds the state goes.
void GadgetListStateForget();

// current while no outer list is stacked, else the outermost one.
HWND GadgetListRoot(const GadgetListState* state);

// Makes window the current gadget list and returns the root of the list in
// use before the call (0 if none); with window 0 only returns that root.
HWND GadgetListUse(HWND window);

LRESULT CALLBACK GadgetListWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
