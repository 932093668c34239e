#include "runtime/font/font.h"

ObjectTable* FontTable = nullptr;

namespace {

// Slots added when a number lies past the table: a program loads a few
// fonts, so the table seldom grows.
constexpr int32_t FontGrowthStep = 16;

FontObject* FontLookup(ObjectId font)
{
    return static_cast<FontObject*>(ObjectTableLookup(FontTable, font));
}

}  // namespace

void FontInit()
{
    FontTable = ObjectTableNew(sizeof(FontObject), FontGrowthStep, FontRelease);
}

intptr_t FontLoadStyled(ObjectId font, const char* faceName, int points, int style)
{
    // A live font under this number is deleted here, whatever comes next.
    auto* object = static_cast<FontObject*>(ObjectTableAllocate(FontTable, font));
    if (!object)
        return 0;

    int weight = (style & FontStyleBold) ? FW_BOLD : FW_NORMAL;
    DWORD italic = (style & FontStyleItalic) ? 1 : 0;
    DWORD underline = (style & FontStyleUnderline) ? 1 : 0;
    DWORD strikeOut = (style & FontStyleStrikeOut) ? 1 : 0;
    DWORD quality = (style & FontStyleHighQuality) ? PROOF_QUALITY : DEFAULT_QUALITY;

    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (!screen) {
        // An AutoNumber node has no number a later load would reuse.
        if (font == AutoNumber)
            ObjectTableRelease(FontTable, reinterpret_cast<ObjectId>(object));
        return 0;
    }
    // Negative: GDI matches the character height, not the cell height.
    int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    HFONT handle = CreateFontA(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE,
                               faceName);
    DeleteDC(screen);

    if (!handle) {
        if (font == AutoNumber)
            ObjectTableRelease(FontTable, reinterpret_cast<ObjectId>(object));
        return 0;
    }
    object->font = handle;
    return font == AutoNumber ? reinterpret_cast<intptr_t>(object) : reinterpret_cast<intptr_t>(handle);
}

intptr_t FontLoad(ObjectId font, const char* faceName, int points)
{
    return FontLoadStyled(font, faceName, points, 0);
}

HFONT FontHandle(ObjectId font)
{
    FontObject* object = FontLookup(font);
    return object ? object->font : nullptr;
}

void FontRelease(ObjectId font)
{
    FontObject* object = FontLookup(font);
    if (!object)
        return;
    DeleteObject(object->font);
    ObjectTableRelease(FontTable, font);
}

void FontEndAll()
{
    ObjectTableReleaseAll(FontTable);
}
