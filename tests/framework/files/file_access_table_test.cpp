#include "framework/files/file_access_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "framework/files/file_read_interface.h"
#include "framework/files/stream_functions.h"
#include "tests/support/stream_file_fixture.h"

namespace {

// A table whose routines only note how they were called.
struct Calls {
    std::string log;
} calls;

void Note(const char* what, uintptr_t a, intptr_t b = 0, intptr_t c = 0, intptr_t d = 0) {
    calls.log += std::string(what) + "(" + std::to_string(a) + "," + std::to_string(b) + "," +
                 std::to_string(c) + "," + std::to_string(d) + ")";
}

const FileAccessTable kRecordingTable = {
    [](const char* path, int cacheFlag, int unused, int asyncFlag) -> uintptr_t {
        calls.log += std::string("open:") + path;
        Note("", 0, cacheFlag, unused, asyncFlag);
        return 77;
    },
    [](uintptr_t file) { return Note("close", file), 11; },
    [](uintptr_t file) -> int32_t { return Note("tell", file), 12; },
    [](uintptr_t file, int32_t offset, int origin) { return Note("seek", file, offset, origin), 13; },
    [](void* buffer, uint32_t size, uint32_t count, uintptr_t file) -> uint32_t {
        return Note("read", file, size, count, buffer != nullptr), 14;
    },
    [](uintptr_t file) { return Note("eof", file), 15; },
    [](uintptr_t file) { return Note("idle", file), 16; },
    [](const char*) { return Note("chdir", 0), 17; },
    [](char*) { return Note("getdir", 0), 18; },
    [](const char*, FileInfoRecord*) -> uintptr_t { return Note("findfirst", 0), 19; },
    [](uintptr_t find, FileInfoRecord*) { return Note("findnext", find), 20; },
    [](uintptr_t find) { return Note("findclose", find), 21; },
};

class FileAccessTableTest : public streamtest::StreamFileTest {
protected:
    void SetUp() override {
        StreamFileTest::SetUp();
        calls.log.clear();
    }
    void TearDown() override {
        UseArchiveFiles(1);
        SetFileAccessTable(nullptr);
        StreamFileTest::TearDown();
    }
};

TEST_F(FileAccessTableTest, ForwardsEveryCallToTheTableInForceAtTheTimeOfTheCall) {
    // The file set is taken before the table changes: it looks the table up
    // at each call.
    const StreamFunctions* files = GetFileStreamFunctions();
    EXPECT_EQ(IsDefaultFileAccessTable(), 1);
    EXPECT_EQ(SetFileAccessTable(&kRecordingTable), 0);
    EXPECT_EQ(IsDefaultFileAccessTable(), 0);

    char byte;
    EXPECT_EQ(FileStreamOpen("x.bin", 2, 1, 3), 77u);
    EXPECT_EQ(FileStreamClose(5), 11);
    EXPECT_EQ(files->tell(5), 12);
    EXPECT_EQ(files->seek(5, -9, 2), 13);
    EXPECT_EQ(files->read(&byte, 3, 4, 5), 14u);
    EXPECT_EQ(files->endOfFile(5), 15);
    EXPECT_EQ(files->idleCheck(5), 16);
    EXPECT_EQ(files->close(6), 11);
    EXPECT_EQ(calls.log,
              "open:x.bin(0,2,1,3)close(5,0,0,0)tell(5,0,0,0)seek(5,-9,2,0)read(5,3,4,1)"
              "eof(5,0,0,0)idle(5,0,0,0)close(6,0,0,0)");

    // The reader opens without the cache, asynchronously on request.
    calls.log.clear();
    EXPECT_EQ(OpenFileForRead("y", 9), 77u);
    EXPECT_EQ(OpenFileForRead("z", 0), 77u);
    EXPECT_EQ(calls.log, "open:y(0,0,1,1)open:z(0,0,1,0)");

    EXPECT_EQ(SetFileAccessTable(nullptr), 0);
    EXPECT_EQ(IsDefaultFileAccessTable(), 1);
}

// Under a table of the caller's the reader cannot block on anything of the
// stream's: it asks the idle check again until the read is over.
TEST_F(FileAccessTableTest, ReadersAskACallersIdleCheckUntilTheReadIsOver) {
    static int idleChecks;
    FileAccessTable table = kRecordingTable;
    table.read = [](void* buffer, uint32_t, uint32_t, uintptr_t) -> uint32_t {
        *static_cast<char*>(buffer) = 'x';
        return 1;
    };
    table.endOfFile = [](uintptr_t) { return 0; };
    table.idleCheck = [](uintptr_t) { return ++idleChecks < 4 ? 0 : 1; };
    SetFileAccessTable(&table);
    idleChecks = 0;
    EXPECT_EQ(ReadFileChar(5), 'x');
    EXPECT_EQ(idleChecks, 4);
    SetFileAccessTable(nullptr);
}

TEST_F(FileAccessTableTest, NullInstallsTheSetThePlainFilesFlagChooses) {
    EXPECT_EQ(PlainFilesFlag, 0);
    EXPECT_EQ(UseArchiveFiles(0), 0);
    EXPECT_EQ(PlainFilesFlag, 1);
    SetFileAccessTable(nullptr);
    EXPECT_EQ(IsDefaultFileAccessTable(), 1);
    EXPECT_EQ(std::memcmp(&FileAccessTableInForce, &PlainFileAccessSet, sizeof(FileAccessTable)), 0);
    EXPECT_EQ(UseArchiveFiles(5), 0);
    EXPECT_EQ(PlainFilesFlag, 0);
}

TEST_F(FileAccessTableTest, MeasuresFilesByName) {
    WriteFile("empty.bin", "");
    WriteFile("some.bin", std::string(1234, 's'));
    EXPECT_EQ(GetFileSizeByName("missing.bin"), -1);
    EXPECT_EQ(GetFileSizeByName("empty.bin"), 0);
    EXPECT_EQ(GetFileSizeByName("some.bin"), 1234);
    // The file was closed again: a thread-served open, which shares nothing,
    // can have it.
    const uintptr_t file = FileStreamOpen("some.bin", 1, 1, 0);
    EXPECT_NE(file, 0u);
    if (file != 0) FileStreamClose(file);
}

TEST_F(FileAccessTableTest, ReadsBlocksAndTellsTheEndWithoutTheEndFlag) {
    WriteFile("ten.bin", "0123456789");
    for (int async : {0, 1}) {
        SCOPED_TRACE(async);
        const uintptr_t file = OpenFileForRead("ten.bin", async);
        ASSERT_NE(file, 0u);
        char buffer[12] = {};
        EXPECT_EQ(IsFileAtEnd(file), 0);
        EXPECT_EQ(ReadFileBytes(buffer, 4, file), 1);
        while (FileStreamIdleCheck(file) == 0) Sleep(0);
        EXPECT_EQ(std::string(buffer, 4), "0123");
        EXPECT_EQ(IsFileAtEnd(file), 0);
        EXPECT_EQ(FileStreamTell(file), 4);

        // Less than the block remains: nothing is delivered.
        std::memset(buffer, 0, sizeof(buffer));
        EXPECT_EQ(ReadFileBytes(buffer, 8, file), 0);
        EXPECT_EQ(buffer[0], 0);
        EXPECT_NE(FileStreamEof(file), 0);
        EXPECT_EQ(ReadFileBytes(buffer, -1, file), 0);

        EXPECT_EQ(ReadFileBytes(buffer, 6, file), 1);
        while (FileStreamIdleCheck(file) == 0) Sleep(0);
        EXPECT_EQ(std::string(buffer, 6), "456789");
        EXPECT_EQ(IsFileAtEnd(file), 1);
        EXPECT_EQ(FileStreamTell(file), 10);
        FileStreamClose(file);
    }
}

}  // namespace
