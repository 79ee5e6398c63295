// What the archive-aware file access tests share: the default set installed,
// archives made by the test writer in the test's folder (which is also the
// current directory), and a check that every test leaves no file open and no
// archive cached.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "framework/archive/archive_file_access.h"
#include "framework/files/file_access_table.h"
#include "tests/support/stream_file_fixture.h"
#include "tools/archive_writer.h"

namespace archiveaccesstest {

class ArchiveFileAccessTest : public streamtest::StreamFileTest {
protected:
    void SetUp() override {
        StreamFileTest::SetUp();
        UseArchiveFiles(1);
        SetFileAccessTable(nullptr);
        RememberedArchive = {-1, {}, 0};
    }
    void TearDown() override {
        EXPECT_EQ(ArcOpenFiles.filesOpen, 0) << "a file was left open";
        // A failed test leaves nothing behind for the next one.
        for (int slot = 0; slot < ArchiveOpenFileLimit; ++slot)
            if (ArcOpenFiles.slots[slot] != nullptr) ArcStreamClose(slot | ArcFileHandleMarker);
        ShutAllArchives();
        EXPECT_EQ(ArchiveCache.entriesInUse, 0) << "an archive was left in use";
        RememberedArchive = {-1, {}, 0};
        ArchiveExtension = {};
        SetArchiveKeyText(nullptr);
        StreamFileTest::TearDown();
    }

    void MakeFolder(const std::string& name) { ASSERT_EQ(mkdir(HostPath(name).c_str(), 0755), 0); }

    void WriteArchive(const std::string& name, const archivetest::ArchiveWriter& writer,
                      const char* keyText = nullptr) {
        ASSERT_TRUE(archivetest::WriteHostFile(HostPath(name), writer.Build(keyText)));
    }

    // Everything left in the file, read a block at a time (synchronous reads).
    static std::string ReadToEnd(uintptr_t file) {
        std::string all;
        char block[777];
        for (;;) {
            const uint32_t got = FileStreamRead(block, 1, sizeof(block), file);
            if (got == 0 || got == static_cast<uint32_t>(-1)) break;
            all.append(block, got);
        }
        return all;
    }

    // The cache entry of the archive at `path` (relative to the folder), or
    // null when it is not cached.
    static ArchiveCacheEntry* CachedArchive(const std::string& path) {
        char full[ArchivePathBufferSize];
        if (ToUpperFullPath(path.c_str(), full) != 0) return nullptr;
        for (ArchiveCacheEntry* entry : ArchiveCache.slots)
            if (entry != nullptr && std::string(entry->path) == full) return entry;
        return nullptr;
    }
    static int UseCount(const std::string& path) {
        const ArchiveCacheEntry* entry = CachedArchive(path);
        return entry == nullptr ? -1 : entry->useCount;
    }
};

}  // namespace archiveaccesstest
