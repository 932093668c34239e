#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "runtime/font/font.h"
#include "tests/support/runtime_heaps.h"

namespace {

// The font library calls CreateFontA through the import slot, filled here
// so that a creation can fail.
bool failCreation;

HFONT WINAPI CreateFontOrFail(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                              DWORD underline, DWORD strikeOut, DWORD charSet, DWORD precision, DWORD clipPrecision,
                              DWORD quality, DWORD pitch, LPCSTR face)
{
    static auto real = reinterpret_cast<decltype(&CreateFontA)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdi32.dll"), "CreateFontA")));
    return failCreation ? nullptr
                        : real(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                               precision, clipPrecision, quality, pitch, face);
}

}  // namespace

#ifdef _WIN64
#define CREATE_FONT_IMPORT "__imp_CreateFontA"
#else
#define CREATE_FONT_IMPORT "__imp__CreateFontA@56"
#endif
extern "C" {
decltype(&CreateFontA) createFontImport asm(CREATE_FONT_IMPORT) = CreateFontOrFail;
}

namespace {

class FontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureRuntimeHeaps();
        FontInit();
    }
    void TearDown() override { FontEndAll(); }
    static bool Exists(HFONT font) { return GetObjectType(font) == OBJ_FONT; }
};

// The test prefix runs at 96 pixels per inch: 8 points are 10.67 pixels,
// rounded, and negative for the character height.
TEST_F(FontTest, StyleFlagsChooseTheFont)
{
    const int rows[][6] = {
        // style, weight, italic, underline, strike-out, quality
        {0x1 | 0x2 | 0x20 | 0x80 | 0x400, FW_NORMAL, 0, 0, 0, DEFAULT_QUALITY},  // no style bits
        {FontStyleBold, FW_BOLD, 0, 0, 0, DEFAULT_QUALITY},
        {FontStyleItalic | FontStyleUnderline, FW_NORMAL, 1, 1, 0, DEFAULT_QUALITY},
        {FontStyleStrikeOut | FontStyleHighQuality, FW_NORMAL, 0, 0, 1, PROOF_QUALITY},
    };
    for (const auto& row : rows) {
        LOGFONTA d{};
        ASSERT_EQ(GetObjectA(reinterpret_cast<HFONT>(FontLoadStyled(2, "Tahoma", 8, row[0])), sizeof d, &d),
                  int(sizeof d));
        EXPECT_EQ(d.lfHeight, -11);
        EXPECT_STREQ(d.lfFaceName, "Tahoma");
        EXPECT_EQ((std::vector<int>{d.lfWeight, d.lfItalic, d.lfUnderline, d.lfStrikeOut, d.lfQuality}),
                  std::vector<int>(row + 1, row + 6))
            << "style " << row[0];
    }
}

// A second load deletes the number's font whatever its outcome; a failed
// one leaves the number free.
TEST_F(FontTest, LoadsReleasesAndFailures)
{
    HFONT first = reinterpret_cast<HFONT>(FontLoad(3, "Arial", 8));
    HFONT second = reinterpret_cast<HFONT>(FontLoad(3, "Arial", 10));
    ASSERT_TRUE(Exists(second));
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(FontHandle(3), second);
    failCreation = true;
    EXPECT_EQ(FontLoad(3, "Arial", 8), 0);
    EXPECT_EQ(FontLoad(AutoNumber, "Arial", 8), 0);
    failCreation = false;
    EXPECT_FALSE(Exists(second));
    EXPECT_EQ(FontHandle(3), nullptr);
    ObjectId id;
    ObjectTableIterateBegin(FontTable);
    EXPECT_EQ(ObjectTableIterateNext(FontTable, &id), nullptr) << "a failed load left its record";

    HFONT numbered = reinterpret_cast<HFONT>(FontLoad(20, "Arial", 8));
    const intptr_t automatic = FontLoad(AutoNumber, "Arial", 8), other = FontLoad(AutoNumber, "Arial", 8);
    HFONT released = FontHandle(automatic);
    ASSERT_TRUE(Exists(released) && Exists(FontHandle(other)));
    EXPECT_NE(reinterpret_cast<intptr_t>(released), automatic);
    FontRelease(automatic);
    EXPECT_FALSE(Exists(released));
    EXPECT_EQ(FontHandle(automatic), nullptr);
    HFONT left = FontHandle(other);
    EXPECT_TRUE(Exists(numbered) && Exists(left));
    FontEndAll();
    EXPECT_FALSE(Exists(numbered) || Exists(left));
}

}  // namespace
