#include "framework/files/plain_file_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/stream_file_fixture.h"

namespace {

using streamtest::kCached;
using streamtest::kAsync;
using streamtest::kDirect;
using streamtest::kModes;
using streamtest::Pattern;
using streamtest::StreamMode;

using PlainFileStreamTest = streamtest::StreamFileTest;

class PlainFileStreamModeTest : public PlainFileStreamTest,
                                public testing::WithParamInterface<StreamMode> {};

TEST_P(PlainFileStreamModeTest, DeliversWholeElementsOnlyAndSetsTheEndFlagWhenNothingIsLeft) {
    const StreamMode mode = GetParam();
    WriteFile("ten.bin", "0123456789");
    const uintptr_t stream = Open("ten.bin", mode);
    ASSERT_NE(stream, 0u);
    char buffer[16] = {};

    EXPECT_EQ(Win32FileRead(buffer, 4, 3, stream), 2u);
    Settle(stream);
    EXPECT_EQ(std::string(buffer, 8), "01234567");
    EXPECT_EQ(Win32FileTell(stream), 8);
    EXPECT_EQ(Win32FileEof(stream), 0);
    // Two bytes remain, less than one element: never delivered.
    EXPECT_EQ(Win32FileRead(buffer, 4, 3, stream), 0u);
    EXPECT_EQ(Win32FileEof(stream), -1);
    EXPECT_EQ(Win32FileTell(stream), 8);
    // Element size 0 changes nothing, the end flag included.
    EXPECT_EQ(Win32FileRead(buffer, 0, 3, stream), 0u);
    EXPECT_EQ(Win32FileEof(stream), -1);

    // Reading exactly to the end leaves the flag clear; the next read sets it.
    ASSERT_EQ(Win32FileSeek(stream, 0, 0), 0);
    EXPECT_EQ(Win32FileEof(stream), 0);
    std::memset(buffer, 0, sizeof(buffer));
    EXPECT_EQ(Win32FileRead(buffer, 1, 10, stream), 10u);
    Settle(stream);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(Win32FileEof(stream), 0);
    EXPECT_EQ(Win32FileRead(buffer, 1, 1, stream), 0u);
    EXPECT_EQ(Win32FileEof(stream), -1);
    EXPECT_EQ(Win32FileIdleCheck(stream), 1);

    // 2 x 0x80000001 is 2 in 32 bits; the request is still far beyond the file.
    ASSERT_EQ(Win32FileSeek(stream, 0, 0), 0);
    std::memset(buffer, 0, sizeof(buffer));
    EXPECT_EQ(Win32FileRead(buffer, 2, 0x80000001u, stream), 5u);
    Settle(stream);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(Win32FileTell(stream), 10);
    EXPECT_EQ(Win32FileClose(stream), 0);
}

TEST_P(PlainFileStreamModeTest, SeeksFromEachOriginWithoutClamping) {
    const StreamMode mode = GetParam();
    WriteFile("ten.bin", "0123456789");
    const uintptr_t stream = Open("ten.bin", mode);
    ASSERT_NE(stream, 0u);
    char byte = 0;

    EXPECT_EQ(Win32FileSeek(stream, -3, 2), 0);
    EXPECT_EQ(Win32FileTell(stream), 7);
    EXPECT_EQ(Win32FileSeek(stream, 2, 1), 0);
    EXPECT_EQ(Win32FileTell(stream), 9);
    EXPECT_EQ(Win32FileRead(&byte, 1, 5, stream), 1u);
    Settle(stream);
    EXPECT_EQ(byte, '9');

    // Beyond the end: accepted, and a read there finds nothing.
    EXPECT_EQ(Win32FileSeek(stream, 5, 2), 0);
    EXPECT_EQ(Win32FileTell(stream), 15);
    EXPECT_EQ(Win32FileRead(&byte, 1, 1, stream), 0u);
    EXPECT_EQ(Win32FileEof(stream), -1);

    // A target before the start is refused and changes nothing.
    EXPECT_EQ(Win32FileSeek(stream, -16, 1), -1);
    EXPECT_EQ(Win32FileTell(stream), 15);
    EXPECT_EQ(Win32FileEof(stream), -1);
    EXPECT_EQ(Win32FileSeek(stream, -1, 0), -1);

    EXPECT_EQ(Win32FileSeek(stream, 4, 0), 0);
    EXPECT_EQ(Win32FileRead(&byte, 1, 1, stream), 1u);
    Settle(stream);
    EXPECT_EQ(byte, '4');
    EXPECT_EQ(Win32FileClose(stream), 0);
}

// The size is taken at open; a file that shrinks afterwards delivers only
// what it still holds, and a synchronous read says so.
TEST_P(PlainFileStreamModeTest, ReadsReportWhatTheFileReallyDelivered) {
    const StreamMode mode = GetParam();
    const std::string bytes = Pattern(300000, 1);
    WriteFile("shrinks.bin", bytes);
    const uintptr_t stream = Open("shrinks.bin", mode);
    ASSERT_NE(stream, 0u);
    ASSERT_EQ(truncate(HostPath("shrinks.bin").c_str(), 200000), 0);

    std::vector<char> buffer(20000, '\0');
    ASSERT_EQ(Win32FileSeek(stream, 190000, 0), 0);
    const uint32_t got = Win32FileRead(buffer.data(), 4, 5000, stream);
    Settle(stream);
    EXPECT_EQ(std::memcmp(buffer.data(), bytes.data() + 190000, 10000), 0);
    if (mode.async) {
        // An asynchronous read answers before its data arrives.
        EXPECT_EQ(got, 5000u);
        EXPECT_EQ(Win32FileTell(stream), 210000);
    } else {
        EXPECT_EQ(got, 2500u);
        EXPECT_EQ(Win32FileTell(stream), 200000);
        EXPECT_EQ(Win32FileEof(stream), 0);
        EXPECT_EQ(Win32FileRead(buffer.data(), 4, 5000, stream), 0u);
        EXPECT_EQ(Win32FileEof(stream), -1);
    }

    // A read whose caller waits for it says what arrived, in every mode.
    ASSERT_EQ(Win32FileSeek(stream, 190000, 0), 0);
    std::fill(buffer.begin(), buffer.end(), '\0');
    EXPECT_EQ(Win32FileReadAndWait(buffer.data(), 4, 5000, stream), 2500u);
    EXPECT_EQ(std::memcmp(buffer.data(), bytes.data() + 190000, 10000), 0);
    EXPECT_EQ(Win32FileTell(stream), 200000);
    EXPECT_EQ(Win32FileEof(stream), 0);
    EXPECT_EQ(Win32FileReadAndWait(buffer.data(), 4, 5000, stream), 0u);
    EXPECT_EQ(Win32FileEof(stream), -1);
    EXPECT_EQ(Win32FileIdleCheck(stream), 1);
    EXPECT_EQ(Win32FileClose(stream), 0);
}

TEST_P(PlainFileStreamModeTest, MissingFilesAndOverlongPathsOpenNothingWithoutALogLine) {
    const StreamMode mode = GetParam();
    const size_t mark = LogText().size();
    EXPECT_EQ(Open("missing.bin", mode), 0u);
    const std::string longName(300, 'a');
    EXPECT_EQ(Win32FileOpen(longName.c_str(), mode.cache, 1, mode.async), 0u);
    EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(LogSince(mark), "");
}

INSTANTIATE_TEST_SUITE_P(Modes, PlainFileStreamModeTest, testing::ValuesIn(kModes), streamtest::ModeName);

TEST_F(PlainFileStreamTest, AThreadServedStreamHoldsItsFileWithoutSharing) {
    WriteFile("held.bin", "abc");
    const size_t mark = LogText().size();
    for (const StreamMode& holder : {kCached, kAsync}) {
        SCOPED_TRACE(holder.name);
        const uintptr_t held = Open("held.bin", holder);
        ASSERT_NE(held, 0u);
        for (const StreamMode& second : kModes) EXPECT_EQ(Open("held.bin", second), 0u) << second.name;
        EXPECT_EQ(Win32FileClose(held), 0);
        const uintptr_t again = Open("held.bin", kDirect);
        EXPECT_NE(again, 0u);
        if (again != 0) Win32FileClose(again);
    }
    EXPECT_EQ(LogSince(mark), "");
}

TEST_F(PlainFileStreamTest, AThreadThatCannotOpenItsFileEndsAndTheOpenIsLogged) {
    WriteFile("shared.bin", "abc");
    const uintptr_t direct = Open("shared.bin", kDirect);
    ASSERT_NE(direct, 0u);
    // Plain streams share reading with one another.
    const uintptr_t second = Open("shared.bin", kDirect);
    EXPECT_NE(second, 0u);

    const size_t mark = LogText().size();
    EXPECT_EQ(Open("shared.bin", kCached), 0u);
    EXPECT_EQ(LogSince(mark), "0:ファイルのオープンに失敗しました\r\n");
    EXPECT_EQ(Win32FileClose(second), 0);
    EXPECT_EQ(Win32FileClose(direct), 0);
}

TEST_F(PlainFileStreamTest, AllocationFailuresOpenNothing) {
    WriteFile("file.bin", "abc");
    const char* cacheMessage = "ファイル読み込みキャッシュ用メモリの確保に失敗しました\r\n";

    // The record: no message of the stream's own.
    size_t mark = LogText().size();
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(Open("file.bin", kCached), 0u);
    EXPECT_EQ(LogSince(mark).find(cacheMessage), std::string::npos);

    // The cache, the allocation after the record.
    mark = LogText().size();
    platform::Profile().failures.heap.failAllocationNumber = 2;
    EXPECT_EQ(Open("file.bin", kCached), 0u);
    EXPECT_NE(LogSince(mark).find(cacheMessage), std::string::npos);

    // Without the cache flag the stream needs no cache.
    platform::Profile().failures.heap.failAllocationNumber = 2;
    const uintptr_t stream = Open("file.bin", kAsync);
    EXPECT_NE(stream, 0u);
    platform::Profile().failures.heap.failAllocationNumber = 0;
    if (stream != 0) Win32FileClose(stream);
}

}  // namespace
