#include "framework/files/stream_functions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class MemoryStreamTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        stream_ = OpenMemoryStream(data_, sizeof(data_));
        ASSERT_NE(stream_, 0u);
    }
    void TearDown() override {
        if (stream_ != 0) {
            EXPECT_EQ(memory_->close(stream_), 0);
        }
        PlatformTest::TearDown();
    }

    const uint8_t data_[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const StreamFunctions* memory_ = GetMemoryStreamFunctions();
    uintptr_t stream_ = 0;
};

TEST_F(MemoryStreamTest, ReadsWholeElementsThenTheShortTailAsOneThenSetsTheEndFlag) {
    uint8_t buffer[12];
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(memory_->read(buffer, 4, 3, stream_), 2u);
    EXPECT_EQ(std::memcmp(buffer, data_, 8), 0);
    EXPECT_EQ(buffer[8], 0xEE);
    EXPECT_EQ(memory_->tell(stream_), 8);

    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(memory_->read(buffer, 4, 3, stream_), 1u);
    EXPECT_EQ(buffer[0], 8);
    EXPECT_EQ(buffer[1], 9);
    EXPECT_EQ(buffer[2], 0xEE);
    EXPECT_EQ(memory_->tell(stream_), 10);
    EXPECT_EQ(memory_->endOfFile(stream_), 0);

    EXPECT_EQ(memory_->read(buffer, 4, 3, stream_), 0u);
    EXPECT_EQ(memory_->endOfFile(stream_), 1);
    EXPECT_EQ(memory_->idleCheck(stream_), 1);
}

TEST_F(MemoryStreamTest, SeeksClampToTheBlockAndClearTheEndFlag) {
    // Each seek starts at the end of the block with the end flag set.
    struct Case {
        int32_t offset;
        int origin;
        int32_t landed;
    };
    const Case cases[] = {
        {-5, 0, 0}, {17, 0, 10}, {-4, 1, 6},         {-19, 1, 0},
        {-4, 2, 6}, {7, 2, 10},  {INT32_MAX, 1, 10}, {INT32_MIN, 2, 0},
    };
    uint8_t byte;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << " from " << c.origin);
        ASSERT_EQ(memory_->seek(stream_, 10, 0), 0);
        ASSERT_EQ(memory_->read(&byte, 1, 1, stream_), 0u);
        ASSERT_EQ(memory_->endOfFile(stream_), 1);
        EXPECT_EQ(memory_->seek(stream_, c.offset, c.origin), 0);
        EXPECT_EQ(memory_->tell(stream_), c.landed);
        EXPECT_EQ(memory_->endOfFile(stream_), 0);
    }
}

TEST_F(MemoryStreamTest, AskingForNothingDeliversNothing) {
    uint8_t buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    ASSERT_EQ(memory_->seek(stream_, 7, 0), 0);
    EXPECT_EQ(memory_->read(buffer, 4, 0, stream_), 0u);
    EXPECT_EQ(memory_->read(buffer, 0, 4, stream_), 0u);
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(memory_->tell(stream_), 7);
}

TEST_F(MemoryStreamTest, LargeRequestsAreClampedWithoutOverflow) {
    uint8_t buffer[10];
    EXPECT_EQ(memory_->read(buffer, 0x10000, 0x10001, stream_), 1u);  // the product wraps in 32 bits
    EXPECT_EQ(std::memcmp(buffer, data_, 10), 0);
    EXPECT_EQ(memory_->tell(stream_), 10);
}

using MemoryStreamOpenTest = testsupport::PlatformTest;

TEST_F(MemoryStreamOpenTest, RefusesWhatItCannotHold) {
    uint8_t byte = 0;
    EXPECT_EQ(OpenMemoryStream(&byte, 0x80000000u), 0u);
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(OpenMemoryStream(&byte, 1), 0u);
    platform::ResetMachine();

    // An empty block is at its end at once.
    const uintptr_t empty = OpenMemoryStream(&byte, 0);
    ASSERT_NE(empty, 0u);
    EXPECT_EQ(MemStreamRead(&byte, 1, 1, empty), 0u);
    EXPECT_EQ(MemStreamEof(empty), 1);
    EXPECT_EQ(CloseMemoryStream(empty), 0);
}

}  // namespace
