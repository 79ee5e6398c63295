// What the stream and file tests share: files written into a fresh folder
// (which is also the current directory), the four ways of opening a plain
// file stream, and a check that every test gives back the blocks it took from
// the framework's allocator.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

#include "framework/files/plain_file_stream.h"
#include "framework/base/tracked_memory.h"
#include "platform/platform.h"
#include "tests/support/started_log_fixture.h"

namespace streamtest {

// Deterministic bytes that differ between seeds.
inline std::string Pattern(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

struct StreamMode {
    const char* name;
    int cache;
    int async;
};

inline void PrintTo(const StreamMode& mode, std::ostream* out) { *out << mode.name; }

inline constexpr StreamMode kDirect{"Direct", 0, 0};
inline constexpr StreamMode kCached{"Cached", 1, 0};
inline constexpr StreamMode kAsync{"Async", 0, 1};
inline constexpr StreamMode kCachedAsync{"CachedAsync", 1, 1};
inline constexpr StreamMode kModes[] = {kDirect, kCached, kAsync, kCachedAsync};

inline std::string ModeName(const testing::TestParamInfo<StreamMode>& info) { return info.param.name; }

class StreamFileTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        blocksAtStart_ = LiveBlocks();
    }
    void TearDown() override {
        EXPECT_EQ(LiveBlocks(), blocksAtStart_) << "a record, cache or buffer was left behind";
        EXPECT_EQ(CheckMemoryAllocations(), 0);
        StartedLogTest::TearDown();
    }

    // The allocator's count of live blocks, as its dump tells it.
    int LiveBlocks() {
        const size_t mark = LogText().size();
        DumpMemoryAllocations();
        const std::string dump = LogSince(mark);
        const size_t at = dump.find("Alloc num:");
        return at == std::string::npos ? -1 : std::atoi(dump.c_str() + at + 10);
    }

    std::string HostPath(const std::string& name) const { return folder_.hostPath() + "/" + name; }
    std::string WindowsPath(const std::string& name) const { return folder_.windowsPath() + "\\" + name; }

    void WriteFile(const std::string& name, const std::string& bytes) {
        FILE* file = std::fopen(HostPath(name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }

    uintptr_t Open(const std::string& name, const StreamMode& mode) {
        return Win32FileOpen(WindowsPath(name).c_str(), mode.cache, 1, mode.async);
    }

    // An asynchronous read has its data once the stream is idle.
    static void Settle(uintptr_t stream) {
        while (Win32FileIdleCheck(stream) == 0) Sleep(0);
    }

    int blocksAtStart_ = 0;
};

}  // namespace streamtest
