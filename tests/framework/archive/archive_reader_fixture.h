// What the archive reader's tests share: archives made by the test writer,
// opened in each of the reader's ways (from memory, read whole with and
// without waiting, kept on disk), and members read back through the reader's
// stream, synchronously or asynchronously in chunks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/archive/archive_reader.h"
#include "framework/base/tracked_memory.h"
#include "tests/support/stream_file_fixture.h"
#include "tools/archive_writer.h"

namespace archivereadertest {

enum class OpenWay { Memory, Whole, WholeNoWait, OnDisk };

inline const char* OpenWayName(OpenWay way) {
    switch (way) {
        case OpenWay::Memory: return "Memory";
        case OpenWay::Whole: return "Whole";
        case OpenWay::WholeNoWait: return "WholeNoWait";
        case OpenWay::OnDisk: return "OnDisk";
    }
    return "?";
}

// Readable parameter values, so that test names stay the same from build to build.
inline void PrintTo(OpenWay way, std::ostream* os) { *os << OpenWayName(way); }

inline constexpr OpenWay kOpenWays[] = {OpenWay::Memory, OpenWay::Whole, OpenWay::WholeNoWait, OpenWay::OnDisk};

class ArchiveReaderTest : public streamtest::StreamFileTest {
protected:
    void SetUp() override {
        StreamFileTest::SetUp();
        ZeroArchiveRecord(&record_);
    }
    void TearDown() override {
        ShutArchive(&record_);
        StreamFileTest::TearDown();
    }

    // Opens `bytes` on record_; the image of a memory open lives in image_.
    int OpenBytes(const std::string& bytes, OpenWay way, const char* keyText) {
        if (way == OpenWay::Memory) {
            image_.assign(bytes.begin(), bytes.end());
            return OpenArchiveInMemory(&record_, image_.data(), static_cast<uint32_t>(image_.size()), keyText);
        }
        WriteFile("test.kpk", bytes);
        const std::string path = WindowsPath("test.kpk");
        if (way == OpenWay::OnDisk) return OpenArchiveFileOnDisk(&record_, path.c_str(), keyText);
        return OpenArchiveFileWhole(&record_, path.c_str(), keyText, way == OpenWay::WholeNoWait ? 1 : 0);
    }

    // The whole member, read in chunks of `chunk` bytes; "<missing>" when it
    // does not open.
    std::string ReadMember(const char* path, int async, uint32_t chunk = 4096) {
        ArchiveFileStream stream;
        if (OpenArchiveMember(&stream, &record_, path, async) != 0) return "<missing>";
        std::string contents;
        std::vector<uint8_t> buffer(chunk);
        for (;;) {
            uint32_t got = ReadArchiveMember(&stream, buffer.data(), chunk);
            while (PollArchiveMemberRead(&stream) == 0) Sleep(0);
            if (got == 0) break;
            contents.append(reinterpret_cast<const char*>(buffer.data()), got);
        }
        EXPECT_EQ(ArchiveMemberEof(&stream), -1);
        CloseArchiveMember(&stream);
        return contents;
    }

    // The names a listing gives, in its order; "<none>" when it fails.
    std::vector<std::string> List(const char* pattern) {
        std::vector<std::string> names;
        FileInfoRecord info;
        uintptr_t find = FindFirstInArchive(&record_, pattern, &info);
        if (find == InvalidFindHandle) return {"<none>"};
        auto* state = reinterpret_cast<ArchiveFindState*>(find);
        for (;;) {
            names.push_back(info.name);
            if (NextArchiveFindEntry(state, &info) != 0) break;
            state->index++;
        }
        FreeMemory(state);
        return names;
    }

    ArchiveRecord record_;
    std::vector<uint8_t> image_;
};

}  // namespace archivereadertest
