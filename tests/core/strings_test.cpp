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

// A text getter as the gadget kinds write them: reserve an upper bound at
// the position, write, give back what was not used.
void GetTextInto(int32_t position, const std::string& text, int32_t upperBound)
{
    if (text.empty()) {
        ResultBufferSetEnd(position);
        return;
    }
    char* at = ResultBufferReserve(upperBound, position);
    ASSERT_NE(at, nullptr);
    memcpy(at, text.c_str(), text.size() + 1);
    ResultBufferRelease(upperBound - static_cast<int32_t>(text.size()));
}

// The caller's side of the protocol.
std::string CallGetter(const std::string& text, int32_t upperBound)
{
    int32_t position = ResultBuffer.resultUsed;
    GetTextInto(position, text, upperBound);
    EXPECT_EQ(ResultBuffer.resultUsed, position + static_cast<int32_t>(text.size()));
    ResultBuffer.resultUsed = position;
    return ResultBuffer.resultBase + position;
}

class StringsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StringInit();
        ASSERT_NE(StringHeap, nullptr);
        ASSERT_NE(ResultBuffer.resultBase, nullptr);
    }
};

TEST_F(StringsTest, ResultBufferGrowsOnlyWhenFourBytesOfCapacityWouldBeTouched)
{
    EXPECT_EQ(ResultBuffer.resultUsed, 0);
    EXPECT_EQ(ResultBuffer.resultCapacity, 16);
    EXPECT_EQ(BlockSize(ResultBuffer.resultBase), 16u);

    char* at = ResultBufferReserve(11, 0);
    EXPECT_EQ(at, ResultBuffer.resultBase);
    EXPECT_EQ(ResultBuffer.resultCapacity, 16);
    EXPECT_EQ(ResultBuffer.resultUsed, 11);

    ResultBufferSetEnd(0);
    at = ResultBufferReserve(12, 0);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at, ResultBuffer.resultBase);
    EXPECT_EQ(ResultBuffer.resultCapacity, 16396);
    EXPECT_EQ(BlockSize(ResultBuffer.resultBase), 16401u);
    EXPECT_EQ(ResultBuffer.resultUsed, 12);
}

TEST_F(StringsTest, ResultsReadBackAfterTheBufferGrows)
{
    // Something the caller keeps below its position must survive the move.
    char* kept = ResultBufferReserve(6, 0);
    ASSERT_NE(kept, nullptr);
    memcpy(kept, "kept!", 6);
    char* holder = nullptr;
    StringAssign(&holder, "a block after the buffer");

    std::string big(30000, 'x');
    big += "end";
    EXPECT_EQ(CallGetter(big, 40000), big);
    EXPECT_EQ(ResultBuffer.resultUsed, 6);
    EXPECT_EQ(ResultBuffer.resultCapacity, 6 + 40000 + 16384);
    EXPECT_STREQ(ResultBuffer.resultBase, "kept!");

    EXPECT_EQ(CallGetter("short", 5), "short");
    EXPECT_EQ(CallGetter("", 0), "");
    EXPECT_EQ(ResultBuffer.resultUsed, 6);
    EXPECT_TRUE(HeapValidate(StringHeap, HEAP_NO_SERIALIZE, nullptr));
    StringAssign(&holder, nullptr);
}

TEST_F(StringsTest, ReserveThatCannotBeHadChangesNothing)
{
    char* base = ResultBuffer.resultBase;
    EXPECT_EQ(ResultBufferReserve(INT32_MAX - 8, 0), nullptr);
    EXPECT_EQ(ResultBufferReserve(0x7FFF0000, 0), nullptr);
    EXPECT_EQ(ResultBuffer.resultBase, base);
    EXPECT_EQ(ResultBuffer.resultUsed, 0);
    EXPECT_EQ(ResultBuffer.resultCapacity, 16);
}

TEST_F(StringsTest, ReservingBeyondTheUsedBytesStillFitsTheBlock)
{
    // 0 used + 4 would not grow the 16-byte block, but the write goes to 14.
    char* at = ResultBufferReserve(4, 14);
    ASSERT_NE(at, nullptr);
    EXPECT_GE(BlockSize(ResultBuffer.resultBase), 18u);
    memcpy(at, "abc", 4);
    EXPECT_EQ(ResultBuffer.resultUsed, 18);
    EXPECT_TRUE(HeapValidate(StringHeap, HEAP_NO_SERIALIZE, nullptr));
}

TEST_F(StringsTest, AssignKeepsLengthPlusFiveAndDistinguishesNullFromEmpty)
{
    char* v = nullptr;
    StringAssign(&v, "");
    ASSERT_NE(v, nullptr);
    EXPECT_STREQ(v, "");
    EXPECT_EQ(BlockSize(v), 5u);

    StringAssign(&v, "twelve bytes");
    EXPECT_STREQ(v, "twelve bytes");
    EXPECT_EQ(BlockSize(v), 17u);
    StringAssign(&v, "ab");
    EXPECT_STREQ(v, "ab");
    EXPECT_EQ(BlockSize(v), 7u);

    StringAssign(&v, nullptr);
    EXPECT_EQ(v, nullptr);
    StringAssign(&v, nullptr);
    EXPECT_EQ(v, nullptr);
    EXPECT_TRUE(HeapValidate(StringHeap, HEAP_NO_SERIALIZE, nullptr));
}

TEST_F(StringsTest, AssignFromInsideTheVariablesOwnBlock)
{
    char* v = nullptr;
    StringAssign(&v, "hello wide world");
    StringAssign(&v, v + 6);
    EXPECT_STREQ(v, "wide world");
    EXPECT_EQ(BlockSize(v), 15u);
    StringAssign(&v, v);
    EXPECT_STREQ(v, "wide world");
    StringAssign(&v, v + 10);  // the terminating zero: empty, not null
    ASSERT_NE(v, nullptr);
    EXPECT_STREQ(v, "");
    EXPECT_TRUE(HeapValidate(StringHeap, HEAP_NO_SERIALIZE, nullptr));
    StringAssign(&v, nullptr);
}

TEST_F(StringsTest, AssignThatCannotGetABlockLeavesTheVariable)
{
    // A small heap with a maximum stands in for memory running out.
    HANDLE full = HeapCreate(HEAP_NO_SERIALIZE, 0, 64 * 1024);
    ASSERT_NE(full, nullptr);
    HANDLE saved = StringHeap;
    StringHeap = full;

    char* v = nullptr;
    StringAssign(&v, "short");
    ASSERT_NE(v, nullptr);
    std::string huge(256 * 1024, 'h');
    StringAssign(&v, huge.c_str());
    EXPECT_STREQ(v, "short");
    char* none = nullptr;
    StringAssign(&none, huge.c_str());
    EXPECT_EQ(none, nullptr);

    StringHeap = saved;
    HeapDestroy(full);
}

TEST_F(StringsTest, LengthCountsBytesBeforeTheZero)
{
    EXPECT_EQ(StringLength(nullptr), 0);
    EXPECT_EQ(StringLength(""), 0);
    EXPECT_EQ(StringLength("abc\0def"), 3);
    EXPECT_EQ(StringLength("\xe9t\xe9"), 3);
}

TEST_F(StringsTest, CompareIsExactAndTakesNullAsEmpty)
{
    EXPECT_EQ(StringCompare(nullptr, ""), 1);
    EXPECT_EQ(StringCompare("", nullptr), 1);
    EXPECT_EQ(StringCompare(nullptr, nullptr), 1);
    EXPECT_EQ(StringCompare(nullptr, "a"), 0);

    char a[] = "Keyvane";
    char b[] = "Keyvane";
    EXPECT_EQ(StringCompare(a, b), 1);
    EXPECT_EQ(StringCompare("Keyvane", "Keyvanf"), 0);
    EXPECT_EQ(StringCompare("Key", "Keyvane"), 0);
    EXPECT_EQ(StringCompare("Keyvane", "Key"), 0);
    EXPECT_EQ(StringCompare("keyvane", "Keyvane"), 0);
    EXPECT_EQ(StringCompare("\xe9", "\xc9"), 0);
    EXPECT_EQ(StringCompare("\xff", "\xff"), 1);
}

}  // namespace
