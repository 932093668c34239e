#include <gtest/gtest.h>

#include <vector>

#include "runtime/font/font.h"
#include "tests/support/import_slot.h"
#include "tests/support/runtime_start.h"

// The font library calls CreateFontA through the import slot, so that a
// creation can fail.
static bool failCreation;
static HFONT WINAPI CreateFontOrFail(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                                     DWORD underline, DWORD strikeOut, DWORD charSet, DWORD precision,
                                     DWORD clipPrecision, DWORD quality, DWORD pitch, LPCSTR face)
{
    static auto real = SystemFunction(&CreateFontA, "gdi32.dll", "CreateFontA");
    return failCreation ? nullptr
                        : real(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                               precision, clipPrecision, quality, pitch, face);
}
KEYVANE_REPLACE_IMPORT(CreateFontA, 56, CreateFontOrFail);

namespace {

bool Exists(intptr_t font)
{
    return GetObjectType(reinterpret_cast<HFONT>(font)) == OBJ_FONT;
}

// Style flags choose the font (its height: the main window's suite, Arial 8).
// A second load deletes the number's font whatever its outcome; a failed one
// leaves the number free. An AutoNumber load gives the object's handle.
TEST(Font, StylesLoadsAndFailures)
{
    EnsureRuntime();
    const int rows[][6] = {
        // style, weight, italic, underline, strike-out, quality
        {FontStyleBold | 0x1 | 0x2 | 0x20 | 0x80 | 0x400, FW_BOLD, 0, 0, 0, DEFAULT_QUALITY},  // other bits ignored
        {FontStyleItalic | FontStyleUnderline, FW_NORMAL, 1, 1, 0, DEFAULT_QUALITY},
        {FontStyleStrikeOut | FontStyleHighQuality, FW_NORMAL, 0, 0, 1, PROOF_QUALITY},
    };
    for (const auto& row : rows) {
        LOGFONTA d{};
        GetObjectA(reinterpret_cast<HFONT>(FontLoadStyled(3, "Tahoma", 8, row[0])), sizeof d, &d);
        EXPECT_EQ((std::vector<int>{d.lfWeight, d.lfItalic, d.lfUnderline, d.lfStrikeOut, d.lfQuality}),
                  std::vector<int>(row + 1, row + 6))
            << "style " << row[0];
    }

    const intptr_t first = reinterpret_cast<intptr_t>(FontHandle(3)), second = FontLoad(3, "Arial", 10);
    EXPECT_TRUE(Exists(second) && !Exists(first));
    failCreation = true;
    EXPECT_EQ(FontLoad(3, "Arial", 8), 0);
    EXPECT_EQ(FontLoad(AutoNumber, "Arial", 8), 0);
    failCreation = false;
    EXPECT_FALSE(Exists(second) || Exists(reinterpret_cast<intptr_t>(FontHandle(3))));
    EXPECT_EQ(FontTable->autoListHead, nullptr) << "a failed AutoNumber load left its record";

    const intptr_t automatic = FontLoad(AutoNumber, "Arial", 8);
    const intptr_t font = reinterpret_cast<intptr_t>(FontHandle(automatic));
    EXPECT_TRUE(Exists(font) && font != automatic);
    FontEndAll();
    EXPECT_FALSE(Exists(font) || FontHandle(automatic));
}

}  // namespace
