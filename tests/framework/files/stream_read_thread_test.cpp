#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/files/plain_file_stream.h"
#include "platform/platform.h"
#include "tests/support/stream_file_fixture.h"

namespace {

using streamtest::kAsync;
using streamtest::kCached;
using streamtest::kCachedAsync;
using streamtest::kModes;
using streamtest::Pattern;
using streamtest::StreamMode;

// The largest offset of any host descriptor open on `hostPath`, or -1. The
// read thread's descriptor tells how far it has read ahead.
long long HostReadOffset(const std::string& hostPath) {
    char wanted[PATH_MAX];
    if (realpath(hostPath.c_str(), wanted) == nullptr) return -1;
    long long offset = -1;
    DIR* descriptors = opendir("/proc/self/fd");
    if (descriptors == nullptr) return -1;
    while (dirent* entry = readdir(descriptors)) {
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        char target[PATH_MAX];
        const ssize_t length = readlink(link.c_str(), target, sizeof(target) - 1);
        if (length <= 0) continue;
        target[length] = '\0';
        if (std::strcmp(target, wanted) != 0) continue;
        FILE* info = std::fopen((std::string("/proc/self/fdinfo/") + entry->d_name).c_str(), "r");
        if (info == nullptr) continue;
        long long position = -1;
        if (std::fscanf(info, "pos: %lld", &position) == 1 && position > offset) offset = position;
        std::fclose(info);
    }
    closedir(descriptors);
    return offset;
}

bool WaitForHostReadOffset(const std::string& hostPath, long long offset) {
    for (int waited = 0; waited < 10000; waited += 2) {
        if (HostReadOffset(hostPath) == offset) return true;
        Sleep(2);
    }
    return false;
}

// Replaces the file's bytes behind the stream's back (the host ignores the
// stream's sharing).
void OverwriteHostFile(const std::string& hostPath, const std::string& bytes) {
    const int file = open(hostPath.c_str(), O_WRONLY);
    ASSERT_GE(file, 0);
    ASSERT_EQ(pwrite(file, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    close(file);
}

class ReadThreadTest : public streamtest::StreamFileTest, public testing::WithParamInterface<StreamMode> {};

using CachedReadThreadTest = ReadThreadTest;

// After 100 ms without a command the thread fills its 128 KiB window; reads
// that start at the window's first byte are served from it, and the part of a
// read beyond it comes from the file.
TEST_P(CachedReadThreadTest, ReadsAcrossTheReadAheadWindow) {
    const StreamMode mode = GetParam();
    const std::string before = Pattern(300000, 2);
    const std::string after = Pattern(300000, 3);
    WriteFile("window.bin", before);
    const uintptr_t stream = Open("window.bin", mode);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(WaitForHostReadOffset(HostPath("window.bin"), FileReadAheadCacheSize));
    OverwriteHostFile(HostPath("window.bin"), after);

    std::vector<char> buffer(200000);
    ASSERT_EQ(Win32FileRead(buffer.data(), 1, 1000, stream), 1000u);
    Settle(stream);
    EXPECT_EQ(std::memcmp(buffer.data(), before.data(), 1000), 0);
    ASSERT_EQ(Win32FileRead(buffer.data(), 4, 50000, stream), 50000u);
    Settle(stream);
    const size_t fromCache = FileReadAheadCacheSize - 1000;
    EXPECT_EQ(std::memcmp(buffer.data(), before.data() + 1000, fromCache), 0);
    EXPECT_EQ(std::memcmp(buffer.data() + fromCache, after.data() + FileReadAheadCacheSize,
                          200000 - fromCache),
              0);
    EXPECT_EQ(Win32FileTell(stream), 201000);

    // A seek empties the window: what follows is the file as it is now.
    ASSERT_EQ(Win32FileSeek(stream, 0, 0), 0);
    ASSERT_EQ(Win32FileRead(buffer.data(), 1, 1000, stream), 1000u);
    Settle(stream);
    EXPECT_EQ(std::memcmp(buffer.data(), after.data(), 1000), 0);
    EXPECT_EQ(Win32FileClose(stream), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, CachedReadThreadTest, testing::Values(kCached, kCachedAsync),
                         streamtest::ModeName);

// Random seeks and reads of up to 150000 bytes over a file three windows
// long, checked byte for byte against the file and the stream's rules.
TEST_P(ReadThreadTest, ReadsBackByteExactAtRandomSeeks) {
    const StreamMode mode = GetParam();
    const std::string bytes = Pattern(400000, 4);
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    WriteFile("random.bin", bytes);
    const uintptr_t stream = Open("random.bin", mode);
    ASSERT_NE(stream, 0u);

    uint32_t state = 12345u + static_cast<uint32_t>(mode.cache * 2 + mode.async);
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 8) & 0xFFFFFFu;
    };
    uint32_t position = 0;
    bool endFlag = false;
    std::vector<char> buffer(150000);
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        if (step % 60 == 59) Sleep(130);  // lets the thread read ahead
        if (next() % 3 == 0) {
            const int origin = static_cast<int>(next() % 3);
            const int32_t offset = static_cast<int32_t>(next() % 900000) - 450000;
            const int64_t base = origin == 0 ? 0 : (origin == 1 ? position : size);
            const int64_t target = base + offset;
            if (target < 0) {
                ASSERT_EQ(Win32FileSeek(stream, offset, origin), -1);
            } else {
                ASSERT_EQ(Win32FileSeek(stream, offset, origin), 0);
                position = static_cast<uint32_t>(target);
                endFlag = false;
            }
        }
        const uint32_t elementSize = 1 + next() % 7;
        const uint32_t most = (next() % 2 ? 2000 : 150000) / elementSize;
        const uint32_t count = next() % (most + 1);
        uint32_t expected = 0;
        if (position < size) {
            expected = count;
            if (uint64_t(elementSize) * count > size - position) expected = (size - position) / elementSize;
        }
        // Every other read is one its caller waits for, which an idle thread
        // without a cache leaves to the caller.
        const auto read = step % 2 == 0 ? Win32FileRead : Win32FileReadAndWait;
        ASSERT_EQ(read(buffer.data(), elementSize, count, stream), expected);
        Settle(stream);
        if (expected == 0) {
            endFlag = true;
        } else {
            ASSERT_EQ(std::memcmp(buffer.data(), bytes.data() + position, elementSize * expected), 0);
            position += elementSize * expected;
        }
        ASSERT_EQ(Win32FileTell(stream), static_cast<int32_t>(position));
        ASSERT_EQ(Win32FileEof(stream) != 0, endFlag);
    }
    EXPECT_EQ(Win32FileClose(stream), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ReadThreadTest, testing::ValuesIn(kModes), streamtest::ModeName);

class AsyncReadTest : public streamtest::StreamFileTest {
protected:
    static constexpr uint32_t kSize = 32u << 20;

    void SetUp() override {
        StreamFileTest::SetUp();
        // Mostly a hole, so that it costs no disk, with known bytes at its end.
        FILE* file = std::fopen(HostPath("big.bin").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fseek(file, kSize - 8, SEEK_SET), 0);
        ASSERT_EQ(std::fwrite("the tail", 1, 8, file), 8u);
        std::fclose(file);
        buffer_.assign(kSize, '\xEE');
    }

    bool TailArrived() const { return std::memcmp(buffer_.data() + kSize - 8, "the tail", 8) == 0; }

    std::vector<char> buffer_;
};

TEST_F(AsyncReadTest, ReturnsItsCountAtOnceAndIsIdleOnlyOnceTheDataIsThere) {
    bool sawBusy = false;
    for (int attempt = 0; attempt < 20 && !sawBusy; ++attempt) {
        const uintptr_t stream = Open("big.bin", kAsync);
        ASSERT_NE(stream, 0u);
        ASSERT_EQ(Win32FileRead(buffer_.data(), 1, kSize, stream), kSize);
        EXPECT_EQ(Win32FileTell(stream), static_cast<int32_t>(kSize));
        sawBusy = Win32FileIdleCheck(stream) == 0;
        Settle(stream);
        EXPECT_TRUE(TailArrived());
        EXPECT_EQ(Win32FileIdleCheck(stream), 1);
        EXPECT_EQ(Win32FileClose(stream), 0);
    }
    EXPECT_TRUE(sawBusy) << "the idle check never saw a read under way";
}

TEST_F(AsyncReadTest, CommandsAndCloseWaitForTheReadUnderWay) {
    uintptr_t stream = Open("big.bin", kAsync);
    ASSERT_NE(stream, 0u);
    ASSERT_EQ(Win32FileRead(buffer_.data(), 1, kSize, stream), kSize);
    EXPECT_EQ(Win32FileClose(stream), 0);
    EXPECT_TRUE(TailArrived());

    // A seek returns at once; the read behind it waits for the seek.
    buffer_.assign(kSize, '\xEE');
    stream = Open("big.bin", kAsync);
    ASSERT_NE(stream, 0u);
    ASSERT_EQ(Win32FileRead(buffer_.data(), 1, kSize, stream), kSize);
    EXPECT_EQ(Win32FileSeek(stream, -8, 2), 0);
    char tail[8] = {};
    ASSERT_EQ(Win32FileRead(tail, 8, 1, stream), 1u);
    Settle(stream);
    EXPECT_TRUE(TailArrived());
    EXPECT_EQ(std::memcmp(tail, "the tail", 8), 0);
    EXPECT_EQ(Win32FileClose(stream), 0);
}

// A read the caller waits for comes behind the read under way, which has
// delivered all of its data by then.
TEST_F(AsyncReadTest, AnAwaitedReadWaitsForTheReadUnderWay) {
    const uintptr_t stream = Open("big.bin", kAsync);
    ASSERT_NE(stream, 0u);
    ASSERT_EQ(Win32FileRead(buffer_.data(), 1, kSize - 8, stream), kSize - 8);
    char tail[8] = {};
    EXPECT_EQ(Win32FileReadAndWait(tail, 8, 1, stream), 1u);
    EXPECT_EQ(std::memcmp(tail, "the tail", 8), 0);
    // The last byte of the earlier read (in the file's hole) is there.
    EXPECT_EQ(buffer_[kSize - 9], '\0');
    EXPECT_EQ(Win32FileIdleCheck(stream), 1);
    EXPECT_EQ(Win32FileClose(stream), 0);
}

// Many short lives of thread-served streams, with closes that meet a read
// still under way; the fixture checks that every block came back.
TEST_F(AsyncReadTest, RepeatedStreamLivesLeaveNothingBehind) {
    const std::string bytes = Pattern(200000, 5);
    WriteFile("small.bin", bytes);
    std::vector<char> buffer(200000);
    for (int round = 0; round < 30; ++round) {
        for (const StreamMode& mode : {kCached, kAsync, kCachedAsync}) {
            SCOPED_TRACE(testing::Message() << mode.name << " round " << round);
            const uintptr_t stream = Open("small.bin", mode);
            ASSERT_NE(stream, 0u);
            ASSERT_EQ(Win32FileRead(buffer.data(), 1000, 1, stream), 1u);
            Settle(stream);
            ASSERT_EQ(std::memcmp(buffer.data(), bytes.data(), 1000), 0);
            ASSERT_EQ(Win32FileSeek(stream, 500, 1), 0);
            ASSERT_EQ(Win32FileRead(buffer.data(), 1, 200000, stream), 198500u);
            ASSERT_EQ(Win32FileClose(stream), 0);
            ASSERT_EQ(std::memcmp(buffer.data(), bytes.data() + 1500, 198500), 0);
        }
    }
}

}  // namespace
