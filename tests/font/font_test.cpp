#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "runtime/font/font.h"
#include "tests/support/runtime_heaps.h"

namespace {

class FontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnsureRuntimeHeaps();
        if (!FontTable)
            FontInit();
        ASSERT_NE(FontTable, nullptr);
    }
    void TearDown() override { FontEndAll(); }
};

LOGFONTA Describe(HFONT font)
{
    LOGFONTA description{};
    EXPECT_EQ(GetObjectA(font, sizeof description, &description), static_cast<int>(sizeof description));
    return description;
}

bool Exists(HFONT font)
{
    return GetObjectType(font) == OBJ_FONT;
}

int ObjectsInTable()
{
    int count = 0;
    ObjectId id;
    ObjectTableIterateBegin(FontTable);
    while (ObjectTableIterateNext(FontTable, &id))
        ++count;
    return count;
}

TEST_F(FontTest, HeightFollowsThePointSizeAtTheScreensResolution)
{
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(screen, nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    DeleteDC(screen);
    ASSERT_EQ(dpi, 96) << "the test prefix runs at 96 pixels per inch";

    intptr_t result = FontLoad(0, "Arial", 8);
    ASSERT_NE(result, 0);
    HFONT font = reinterpret_cast<HFONT>(result);
    EXPECT_EQ(FontHandle(0), font);
    LOGFONTA d = Describe(font);
    EXPECT_EQ(d.lfHeight, -11);  // 8 * 96 / 72 = 10.67, rounded
    EXPECT_EQ(d.lfWidth, 0);
    EXPECT_EQ(d.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(d.lfFaceName, "Arial");

    ASSERT_NE(FontLoad(1, "Arial", 12), 0);
    EXPECT_EQ(Describe(FontHandle(1)).lfHeight, -16);
}

TEST_F(FontTest, StyleFlagsSetWeightItalicUnderlineStrikeOutAndQuality)
{
    struct Case {
        int style;
        LONG weight;
        BYTE italic, underline, strikeOut, quality;
    };
    const Case cases[] = {
        {0, FW_NORMAL, 0, 0, 0, DEFAULT_QUALITY},
        {FontStyleBold | FontStyleItalic, FW_BOLD, 1, 0, 0, DEFAULT_QUALITY},
        {FontStyleHighQuality, FW_NORMAL, 0, 0, 0, PROOF_QUALITY},
        {FontStyleUnderline, FW_NORMAL, 0, 1, 0, DEFAULT_QUALITY},
        {FontStyleStrikeOut, FW_NORMAL, 0, 0, 1, DEFAULT_QUALITY},
        {0x31C, FW_BOLD, 1, 1, 1, PROOF_QUALITY},
        {0x1 | 0x2 | 0x20 | 0x80 | 0x400 | 0x10000, FW_NORMAL, 0, 0, 0, DEFAULT_QUALITY},  // ignored bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        intptr_t result = FontLoadStyled(2, "Tahoma", 9, c.style);
        ASSERT_NE(result, 0);
        LOGFONTA d = Describe(reinterpret_cast<HFONT>(result));
        EXPECT_EQ(d.lfWeight, c.weight);
        EXPECT_EQ(d.lfItalic, c.italic);
        EXPECT_EQ(d.lfUnderline, c.underline);
        EXPECT_EQ(d.lfStrikeOut, c.strikeOut);
        EXPECT_EQ(d.lfQuality, c.quality);
    }
}

TEST_F(FontTest, AutoNumberResultIsTheObjectHandle)
{
    intptr_t first = FontLoad(AutoNumber, "Arial", 10);
    intptr_t second = FontLoad(AutoNumber, "Arial", 10);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    HFONT font = FontHandle(first);
    ASSERT_TRUE(Exists(font));
    EXPECT_EQ(reinterpret_cast<FontObject*>(first)->font, font);
    EXPECT_NE(reinterpret_cast<intptr_t>(font), first);

    FontRelease(first);
    EXPECT_FALSE(Exists(font));
    EXPECT_EQ(FontHandle(first), nullptr);
    EXPECT_TRUE(Exists(FontHandle(second)));
}

TEST_F(FontTest, ReloadingANumberDeletesTheFontItHeld)
{
    HFONT first = reinterpret_cast<HFONT>(FontLoad(3, "Arial", 8));
    ASSERT_TRUE(Exists(first));
    HFONT second = reinterpret_cast<HFONT>(FontLoadStyled(3, "Arial", 10, FontStyleBold));
    ASSERT_TRUE(Exists(second));
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(FontHandle(3), second);
    EXPECT_EQ(Describe(second).lfWeight, FW_BOLD);
}

// GDI refuses new objects once the process's handle table is full.
TEST_F(FontTest, AFailedLoadLeavesTheNumberFree)
{
    HFONT first = reinterpret_cast<HFONT>(FontLoad(0, "Arial", 8));
    ASSERT_TRUE(Exists(first));

    std::vector<HFONT> fillers;
    while (fillers.size() < 200000) {
        HFONT filler = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
        if (!filler)
            break;
        fillers.push_back(filler);
    }
    intptr_t again = FontLoad(0, "Arial", 8);
    intptr_t automatic = FontLoad(AutoNumber, "Arial", 8);
    for (HFONT filler : fillers)
        DeleteObject(filler);
    ASSERT_LT(fillers.size(), 200000u) << "GDI never ran out of handles";

    EXPECT_EQ(again, 0);
    EXPECT_EQ(automatic, 0);
    EXPECT_FALSE(Exists(first)) << "the old font is deleted whatever the outcome";
    EXPECT_EQ(FontHandle(0), nullptr);
    EXPECT_EQ(ObjectsInTable(), 0) << "the failed AutoNumber load left its record";

    EXPECT_NE(FontLoad(0, "Arial", 8), 0);
}

TEST_F(FontTest, EndAllDeletesEveryFontOnce)
{
    std::vector<HFONT> fonts;
    for (ObjectId number : {0, 5, 20})
        fonts.push_back(reinterpret_cast<HFONT>(FontLoad(number, "Arial", 8)));
    intptr_t a = FontLoad(AutoNumber, "Arial", 9);
    intptr_t b = FontLoad(AutoNumber, "Arial", 10);
    fonts.push_back(FontHandle(a));
    fonts.push_back(FontHandle(b));
    for (HFONT font : fonts)
        ASSERT_TRUE(Exists(font));

    FontEndAll();
    for (HFONT font : fonts)
        EXPECT_FALSE(Exists(font));
    EXPECT_EQ(FontHandle(0), nullptr);
    EXPECT_EQ(FontHandle(20), nullptr);
    EXPECT_EQ(FontHandle(a), nullptr);
    EXPECT_EQ(ObjectsInTable(), 0);

    // A second pass finds nothing to delete, not even a font made since.
    HFONT outsider = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    FontEndAll();
    EXPECT_TRUE(Exists(outsider));
    DeleteObject(outsider);
}

TEST_F(FontTest, NumbersNamingNoFontGiveNothing)
{
    EXPECT_EQ(FontHandle(7), nullptr);
    FontRelease(7);
    EXPECT_EQ(FontHandle(-5), nullptr);
    EXPECT_EQ(FontHandle(0x7000), nullptr);
    EXPECT_EQ(FontLoad(-2, "Arial", 8), 0);
    EXPECT_EQ(ObjectsInTable(), 0);
}

}  // namespace
