#include <gtest/gtest.h>

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

TEST_F(StringsTest, ResultBufferGrowsOnlyWhenItsLastFourBytesWouldBeReached)
{
    EXPECT_EQ(ResultBufferReserve(11, 0), ResultBuffer.resultBase);
    EXPECT_EQ(ResultBuffer.resultCapacity, 16);
    EXPECT_EQ(BlockSize(ResultBuffer.resultBase), 16u);
    ResultBufferSetEnd(0);
    ASSERT_NE(ResultBufferReserve(12, 0), nullptr);
    EXPECT_EQ(ResultBuffer.resultCapacity, 16396);
    EXPECT_EQ(BlockSize(ResultBuffer.resultBase), 16401u);
    EXPECT_EQ(ResultBuffer.resultUsed, 12);

    // Never a write outside the block: a reserve that cannot be had changes
    // nothing, and one at a position past the used bytes grows for it.
    // No heap of either target grants a block past the 32-bit size word.
    EXPECT_EQ(ResultBufferReserve(INT32_MAX - 8, 0), nullptr);
    EXPECT_EQ(ResultBuffer.resultCapacity, 16396);
    EXPECT_EQ(ResultBuffer.resultUsed, 12);
    ResultBufferSetEnd(0);
    memcpy(ResultBufferReserve(4, 16400), "abc", 4);
    EXPECT_GE(BlockSize(ResultBuffer.resultBase), 16404u);
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

TEST_F(StringsTest, AssignHoldsLengthPlusFiveAndTellsNullFromEmpty)
{
    char* v = nullptr;
    StringAssign(&v, "");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(BlockSize(v), 5u);
    StringAssign(&v, "hello wide world");
    StringAssign(&v, v + 6);  // a source inside the variable's own block
    EXPECT_STREQ(v, "wide world");
    EXPECT_EQ(BlockSize(v), 15u);
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
