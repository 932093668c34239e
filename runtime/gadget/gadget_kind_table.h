// The table of routines through which every operation on a gadget reaches
// the gadget's kind. One static table per kind, shared by its gadgets.
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

struct GadgetObject;

constexpr int32_t GadgetKindButton = 1;
constexpr int32_t GadgetKindString = 2;
constexpr int32_t GadgetKindText = 3;
constexpr int32_t GadgetKindCheckBox = 4;
constexpr int32_t GadgetKindFrame = 7;
constexpr int32_t GadgetKindComboBox = 8;
constexpr int32_t GadgetKindEditor = 22;

// 37 pointer-sized words, the row every kind was laid out in: an operation
// finds its routine at the same word whatever the kind. The second word
// holds the table's size in bytes.
constexpr int GadgetKindTableWords = 37;
constexpr intptr_t GadgetKindTableSize = GadgetKindTableWords * sizeof(void*);

// Returns NotHandled (runtime/core/not_handled.h) to leave the message to
// the parent's ordinary handling, else what the parent must return.
using GadgetParentMessageRoutine = LRESULT (*)(GadgetObject* gadget, HWND parent, UINT message, WPARAM wParam,
                                               LPARAM lParam);
using GadgetReleaseRoutine = void (*)(GadgetObject* gadget);
using GadgetGetStateRoutine = int32_t (*)(GadgetObject* gadget);
using GadgetSetStateRoutine = int32_t (*)(GadgetObject* gadget, int32_t state);
// Text getters leave their text in the string result buffer at position.
using GadgetGetTextRoutine = void (*)(GadgetObject* gadget, int32_t position);
using GadgetSetTextRoutine = int32_t (*)(GadgetObject* gadget, const char* text);
using GadgetAddItemRoutine = int32_t (*)(GadgetObject* gadget, int32_t position, const char* text, int32_t extra);
using GadgetAddItemExRoutine = int32_t (*)(GadgetObject* gadget, int32_t position, const char* text, int32_t extra1,
                                           int32_t extra2);
using GadgetRemoveItemRoutine = void (*)(GadgetObject* gadget, int32_t item);
using GadgetClearItemsRoutine = void (*)(GadgetObject* gadget);
// Any of the four may be GadgetKeep.
using GadgetResizeRoutine = void (*)(GadgetObject* gadget, int32_t x, int32_t y, int32_t width, int32_t height);
using GadgetCountItemsRoutine = int32_t (*)(GadgetObject* gadget);
using GadgetGetItemTextRoutine = void (*)(GadgetObject* gadget, int32_t item, int32_t column, int32_t position);
using GadgetSetItemTextRoutine = int32_t (*)(GadgetObject* gadget, int32_t item, const char* text, int32_t column);
using GadgetGetMeasureRoutine = int32_t (*)(GadgetObject* gadget);
using GadgetGetAttributeRoutine = int32_t (*)(GadgetObject* gadget, int32_t attribute);
using GadgetSetAttributeRoutine = void (*)(GadgetObject* gadget, int32_t attribute, int32_t value);
// colour is a COLORREF or -1 for the system default.
using GadgetSetColorRoutine = void (*)(GadgetObject* gadget, int32_t which, int32_t colour);
using GadgetGetColorRoutine = int32_t (*)(GadgetObject* gadget, int32_t which);
using GadgetSetItemDataRoutine = int32_t (*)(GadgetObject* gadget, int32_t item, int32_t value);
using GadgetGetItemDataRoutine = int32_t (*)(GadgetObject* gadget, int32_t item);

// 37 words, each as wide as a pointer. A zero routine word means the kind has no such routine; the
// operation that would call it falls back to a plain Win32 call or to
// nothing. The unused words have no routine in any kind.
struct GadgetKindTable {
    intptr_t kindCode;                             // 1
    intptr_t tableSize;                            // 2
    GadgetParentMessageRoutine parentMessage;      // 3
    GadgetReleaseRoutine release;                  // 4
    GadgetGetStateRoutine getState;                // 5
    GadgetSetStateRoutine setState;                // 6
    GadgetGetTextRoutine getText;                  // 7
    GadgetSetTextRoutine setText;                  // 8
    GadgetAddItemRoutine addItem;                  // 9
    GadgetAddItemExRoutine addItemEx;              // 10
    GadgetRemoveItemRoutine removeItem;            // 11
    GadgetClearItemsRoutine clearItems;            // 12
    GadgetResizeRoutine resize;                    // 13
    GadgetCountItemsRoutine countItems;            // 14
    void* unused15;                                // 15
    void* unused16;                                // 16
    GadgetGetItemTextRoutine getItemText;          // 17
    GadgetSetItemTextRoutine setItemText;          // 18
    void* unused19;                                // 19
    GadgetGetMeasureRoutine getX;                  // 20
    GadgetGetMeasureRoutine getY;                  // 21
    GadgetGetMeasureRoutine getWidth;              // 22
    GadgetGetMeasureRoutine getHeight;             // 23
    void* unused24;                                // 24
    void* unused25;                                // 25
    void* unused26;                                // 26
    GadgetGetAttributeRoutine getAttribute;        // 27
    GadgetSetAttributeRoutine setAttribute;        // 28
    void* unused29;                                // 29
    void* unused30;                                // 30
    GadgetSetColorRoutine setColor;                // 31
    GadgetGetColorRoutine getColor;                // 32
    void* unused33;                                // 33
    void* unused34;                                // 34
    GadgetSetItemDataRoutine setItemData;          // 35
    GadgetGetItemDataRoutine getItemData;          // 36
    void* unused37;                                // 37
};

static_assert(sizeof(GadgetKindTable) == GadgetKindTableSize, "one pointer-sized word per entry");
static_assert(offsetof(GadgetKindTable, release) == 3 * sizeof(void*), "word 4");
static_assert(offsetof(GadgetKindTable, getItemText) == 16 * sizeof(void*), "word 17");
static_assert(offsetof(GadgetKindTable, getX) == 19 * sizeof(void*), "word 20");
static_assert(offsetof(GadgetKindTable, getAttribute) == 26 * sizeof(void*), "word 27");
static_assert(offsetof(GadgetKindTable, setColor) == 30 * sizeof(void*), "word 31");
static_assert(offsetof(GadgetKindTable, setItemData) == 34 * sizeof(void*), "word 35");
#ifndef _WIN64
// The 32-bit program's table is the 148-byte row its kinds were laid out in.
static_assert(GadgetKindTableSize == 148, "37 words of 4 bytes");
#endif
