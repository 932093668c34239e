// GDI fonts loaded by face name and point size, kept under numbers.
#pragma once

#include <windows.h>

#include "runtime/core/object_table.h"

struct FontObject {
    HFONT font;  // non-zero exactly while the font is live
};

// Style flags of FontLoadStyled; other bits are ignored.
constexpr int FontStyleUnderline = 0x4;
constexpr int FontStyleStrikeOut = 0x8;
constexpr int FontStyleHighQuality = 0x10;
constexpr int FontStyleBold = 0x100;
constexpr int FontStyleItalic = 0x200;

// The font table; null until FontInit.
extern ObjectTable* FontTable;

void FontInit();
// The HFONT for a numbered font, the object handle for AutoNumber, 0 on
// failure (the number is then free).
intptr_t FontLoadStyled(ObjectId font, const char* faceName, int points, int style);
intptr_t FontLoad(ObjectId font, const char* faceName, int points);
// 0 when the number or handle names no live font.
HFONT FontHandle(ObjectId font);
void FontRelease(ObjectId font);
void FontEndAll();
