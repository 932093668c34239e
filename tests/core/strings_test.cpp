#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "runtime/core/result_buffer.h"
#include "runtime/core/strings.h"

namespace {

SIZE_T BlockSize(const void* block)
{
    return HeapSize(StringHeap, HEAP_NO_SERIALIZE, block);
}

// Both sides of the result protocol around a getter that reserves an upper
// bound and gives back what it did not use.
std::string Result(const std::string& text, int32_t upperBound)
{
    int32_t position = ResultBuffer.resultUsed;
    if (text.empty()) {
        ResultBufferSetEnd(position);
    } else {
        memcpy(ResultBufferReserve(upperBound, position), text.c_str(), text.size() + 1);
        ResultBufferRelease(upperBound - static_cast<int32_t>(text.size()));
    }
    EXPECT_EQ(ResultBuffer.resultUsed, position + static_cast<int32_t>(text.size()));
    ResultBuffer.resultUsed = position;
    return ResultBuffer.resultBase + position;
}

class StringsTest : public ::testing::Test {
protected:
    void SetUp() override { StringInit(); }
};

// Every reserve has room inside the block for what it hands out, and the
// buffer grows with a margin: a thousand short results grow it once.
TEST_F(StringsTest, ResultBufferNeverWritesOutsideItsBlockAndGrowsOnceForManyResults)
{
    SIZE_T size = BlockSize(ResultBuffer.resultBase);
    int growths = 0;
    for (int i = 0; i < 1000; ++i) {
        char* at = ResultBufferReserve(10, ResultBuffer.resultUsed);
        ASSERT_NE(at, nullptr);
        ASSERT_LE(at + 10 - ResultBuffer.resultBase, static_cast<ptrdiff_t>(BlockSize(ResultBuffer.resultBase)));
        memset(at, 'r', 10);
        growths += BlockSize(ResultBuffer.resultBase) != size;
        size = BlockSize(ResultBuffer.resultBase);
    }
    EXPECT_EQ(growths, 1);

    // A reserve that cannot be had changes nothing; one at a position past
    // the used bytes grows for it. No heap of either target grants a block
    // past the 32-bit size word.
    const int32_t used = ResultBuffer.resultUsed;
    EXPECT_EQ(ResultBufferReserve(INT32_MAX - 8, 0), nullptr);
    EXPECT_EQ(ResultBuffer.resultUsed, used);
    EXPECT_EQ(BlockSize(ResultBuffer.resultBase), size);
    const int32_t beyond = static_cast<int32_t>(size) + 100;
    ResultBufferSetEnd(0);
    memcpy(ResultBufferReserve(4, beyond), "abc", 4);
    EXPECT_GE(BlockSize(ResultBuffer.resultBase), static_cast<SIZE_T>(beyond + 4));
    EXPECT_TRUE(HeapValidate(StringHeap, HEAP_NO_SERIALIZE, nullptr));
}

TEST_F(StringsTest, ResultsAreReadAtTheBaseAsItIsAfterTheCall)
{
    memcpy(ResultBufferReserve(6, 0), "kept!", 6);  // the caller's earlier bytes
    char* behind = nullptr;
    StringAssign(&behind, "a block behind the buffer, so that growing moves it");
    std::string big(30000, 'x');
    EXPECT_EQ(Result(big, 40000), big);
    EXPECT_STREQ(ResultBuffer.resultBase, "kept!");
    EXPECT_EQ(Result("short", 5), "short");
    EXPECT_EQ(Result("", 0), "");
    EXPECT_EQ(ResultBuffer.resultUsed, 6);
    StringAssign(&behind, nullptr);
}

TEST_F(StringsTest, AssignTakesASourceInsideItsOwnBlockAndTellsNullFromEmpty)
{
    char* v = nullptr;
    StringAssign(&v, "");
    ASSERT_NE(v, nullptr);
    EXPECT_STREQ(v, "");
    StringAssign(&v, "hello wide world");
    StringAssign(&v, v + 6);  // a source inside the variable's own block
    EXPECT_STREQ(v, "wide world");
    StringAssign(&v, nullptr);
    EXPECT_EQ(v, nullptr);
    EXPECT_TRUE(HeapValidate(StringHeap, HEAP_NO_SERIALIZE, nullptr));
}

TEST_F(StringsTest, AssignThatCannotGetABlockLeavesTheVariable)
{
    // A small heap with a maximum stands in for memory running out.
    HANDLE saved = StringHeap;
    StringHeap = HeapCreate(HEAP_NO_SERIALIZE, 0, 64 * 1024);
    char* v = nullptr;
    StringAssign(&v, "short");
    StringAssign(&v, std::string(256 * 1024, 'h').c_str());
    EXPECT_STREQ(v, "short");
    HeapDestroy(StringHeap);
    StringHeap = saved;
}

TEST_F(StringsTest, LengthAndExactComparison)
{
    EXPECT_EQ(StringLength(nullptr), 0);
    EXPECT_EQ(StringLength(""), 0);
    EXPECT_EQ(StringLength("abc"), 3);
    EXPECT_EQ(StringCompare(nullptr, ""), 1);
    char copy[] = "Keyvane";
    EXPECT_EQ(StringCompare("Keyvane", copy), 1);
    EXPECT_EQ(StringCompare("Keyvane", "Keyvanf"), 0);
    EXPECT_EQ(StringCompare("Key", "Keyvane"), 0);
    EXPECT_EQ(StringCompare("keyvane", "Keyvane"), 0);
    EXPECT_EQ(StringCompare("\xe9", "\xc9"), 0);
}

}  // namespace
