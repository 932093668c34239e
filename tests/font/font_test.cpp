#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "runtime/font/font.h"
#include "tests/support/runtime_heaps.h"

namespace {

class FontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureRuntimeHeaps();
        FontInit();
    }
    void TearDown() override { FontEndAll(); }
};

LOGFONTA Describe(intptr_t font)
{
    LOGFONTA d{};
    EXPECT_EQ(GetObjectA(reinterpret_cast<HFONT>(font), sizeof d, &d), int(sizeof d));
    return d;
}

bool Exists(HFONT font)
{
    return GetObjectType(font) == OBJ_FONT;
}

int FontsInTable()
{
    int count = 0;
    ObjectId id;
    for (ObjectTableIterateBegin(FontTable); ObjectTableIterateNext(FontTable, &id);)
        ++count;
    return count;
}

TEST_F(FontTest, EightPointsAtNinetySixDpiAreElevenPixelsHigh)
{
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    DeleteDC(screen);
    ASSERT_EQ(dpi, 96) << "the test prefix runs at 96 pixels per inch";

    intptr_t font = FontLoad(0, "Arial", 8);
    EXPECT_EQ(reinterpret_cast<intptr_t>(FontHandle(0)), font);
    LOGFONTA d = Describe(font);
    EXPECT_EQ(d.lfHeight, -11);  // 8 * 96 / 72 = 10.67 rounded; negative: the character height
    EXPECT_STREQ(d.lfFaceName, "Arial");
}

TEST_F(FontTest, StyleFlagsSetWeightItalicUnderlineStrikeOutAndQuality)
{
    const int cases[][6] = {
        // style, weight, italic, underline, strike-out, quality
        {0x1 | 0x2 | 0x20 | 0x80 | 0x400, FW_NORMAL, 0, 0, 0, DEFAULT_QUALITY},  // no style bits
        {FontStyleBold, FW_BOLD, 0, 0, 0, DEFAULT_QUALITY},
        {FontStyleItalic, FW_NORMAL, 1, 0, 0, DEFAULT_QUALITY},
        {FontStyleUnderline, FW_NORMAL, 0, 1, 0, DEFAULT_QUALITY},
        {FontStyleStrikeOut, FW_NORMAL, 0, 0, 1, DEFAULT_QUALITY},
        {FontStyleHighQuality, FW_NORMAL, 0, 0, 0, PROOF_QUALITY},
    };
    for (const auto& c : cases) {
        LOGFONTA d = Describe(FontLoadStyled(2, "Tahoma", 9, c[0]));
        std::vector<int> got{d.lfWeight, d.lfItalic, d.lfUnderline, d.lfStrikeOut, d.lfQuality};
        EXPECT_EQ(got, std::vector<int>(c + 1, c + 6)) << "style " << c[0];
    }
}

// The font library calls CreateFontA through the import slot; this test
// program fills that slot itself, so that it can make creations fail.
bool failCreation;

HFONT WINAPI CreateFontOrFail(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                              DWORD underline, DWORD strikeOut, DWORD charSet, DWORD precision, DWORD clipPrecision,
                              DWORD quality, DWORD pitch, LPCSTR face)
{
    if (failCreation)
        return nullptr;
    static auto real = reinterpret_cast<decltype(&CreateFontA)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdi32.dll"), "CreateFontA")));
    return real(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet, precision,
                clipPrecision, quality, pitch, face);
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

// A second load deletes the number's font whatever its outcome.
TEST_F(FontTest, ReloadingANumberDeletesItsFontAndAFailedLoadLeavesItFree)
{
    HFONT first = reinterpret_cast<HFONT>(FontLoad(3, "Arial", 8));
    ASSERT_TRUE(Exists(first));
    HFONT second = reinterpret_cast<HFONT>(FontLoad(3, "Arial", 10));
    ASSERT_TRUE(Exists(second));
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(FontHandle(3), second);

    failCreation = true;
    intptr_t again = FontLoad(3, "Arial", 8), automatic = FontLoad(AutoNumber, "Arial", 8);
    failCreation = false;
    EXPECT_EQ(again, 0);
    EXPECT_EQ(automatic, 0);
    EXPECT_FALSE(Exists(second));
    EXPECT_EQ(FontHandle(3), nullptr);
    EXPECT_EQ(FontsInTable(), 0) << "a failed load left its record";
    EXPECT_NE(FontLoad(3, "Arial", 8), 0);
}

// An AutoNumber load gives the object's handle, not the font's.
TEST_F(FontTest, ReleaseAndEndAllDeleteTheFonts)
{
    std::vector<HFONT> fonts;
    for (ObjectId number : {0, 5, 20})
        fonts.push_back(reinterpret_cast<HFONT>(FontLoad(number, "Arial", 8)));
    intptr_t first = FontLoad(AutoNumber, "Arial", 8), second = FontLoad(AutoNumber, "Arial", 8);
    HFONT released = FontHandle(first);
    fonts.push_back(FontHandle(second));
    ASSERT_TRUE(Exists(released));
    EXPECT_NE(first, second);
    EXPECT_NE(reinterpret_cast<intptr_t>(released), first);

    FontRelease(first);
    EXPECT_FALSE(Exists(released));
    EXPECT_EQ(FontHandle(first), nullptr);
    for (HFONT font : fonts)
        ASSERT_TRUE(Exists(font));
    FontEndAll();
    for (HFONT font : fonts)
        EXPECT_FALSE(Exists(font));
    EXPECT_EQ(FontsInTable(), 0);
}

}  // namespace
