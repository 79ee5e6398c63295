// A short, seeded fuzz run of the reader: a few thousand archives with
// random bytes overwritten (mostly in the header and the table block, where
// damage reaches furthest) are opened, walked, listed and read. Nothing may
// crash or touch memory out of bounds; a memory image must come back to its
// stored bytes at shut, and no block may be left behind.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/framework/archive/archive_reader_fixture.h"

namespace archivereadertest {
namespace {

void Exercise(ArchiveRecord* record) {
    static const char* const kPaths[] = {"A.TXT", "p.bin", "dir\\f.txt", "Dir\\Sub\\表.dat", "dir\\sub\\..\\f.txt",
                                         "\\A.TXT", "nothing"};
    for (const char* path : kPaths) {
        for (int async = 0; async < 2; ++async) {
            ArchiveFileStream stream;
            if (OpenArchiveMember(&stream, record, path, async) != 0) continue;
            uint8_t buffer[700];
            while (ReadArchiveMember(&stream, buffer, sizeof(buffer)) != 0) {
                while (PollArchiveMemberRead(&stream) == 0) Sleep(0);
            }
            SeekArchiveMember(&stream, -100, 2);
            ReadArchiveMember(&stream, buffer, sizeof(buffer));
            CloseArchiveMember(&stream);
        }
    }
    for (const char* pattern : {"*", "DIR\\*", "dir\\sub\\*.*", "?.TXT"}) {
        FileInfoRecord info;
        uintptr_t find = FindFirstInArchive(record, pattern, &info);
        if (find == InvalidFindHandle) continue;
        auto* state = reinterpret_cast<ArchiveFindState*>(find);
        for (int i = 0; i < 100 && NextArchiveFindEntry(state, &info) == 0; ++i) state->index++;
        FreeMemory(state);
    }
    ChangeArchiveDirectory(record, "dir\\sub", 1, nullptr);
    ChangeArchiveDirectory(record, "..", 1, nullptr);
}

TEST_F(ArchiveReaderTest, FuzzedArchivesNeverCrash) {
    archivetest::ArchiveWriter writer(3);
    writer.AddFile("A.TXT", "0123456789");
    writer.AddFile("P.BIN", std::string(300, 'p') + "tail" + std::string(200, 'q'), true);
    writer.AddFile("DIR\\F.TXT", "eff", true);
    writer.AddFile("DIR\\Sub\\表.dat", std::string(1000, '\x01'), false);
    const std::string good = writer.BuildDecoded();
    const size_t tableBlock = static_cast<uint8_t>(good[12]) | static_cast<uint8_t>(good[13]) << 8;

    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        int damages = 1 + random() % 6;
        for (int d = 0; d < damages; ++d) {
            size_t at;
            switch (random() % 4) {
                case 0: at = 4 + random() % 20; break;  // the header past the magic
                case 1: at = random() % bytes.size(); break;
                default: at = tableBlock + random() % (bytes.size() - tableBlock); break;
            }
            bytes[at] = static_cast<char>(random() % 3 == 0 ? 0xFF : random());
        }
        if (random() % 20 == 0) bytes.resize(random() % bytes.size());
        archivetest::ApplyKey(bytes, archivetest::KeyFromText(nullptr));
        // Files need a read thread per open; most rounds use memory.
        OpenWay way = round % 60 == 0 ? OpenWay::OnDisk : round % 60 == 30 ? OpenWay::Whole : OpenWay::Memory;
        if (OpenBytes(bytes, way, nullptr) != 0) continue;
        Exercise(&record_);
        ShutArchive(&record_);
        if (way == OpenWay::Memory) {
            ASSERT_EQ(std::string(image_.begin(), image_.end()), bytes) << round;
        }
    }
}

}  // namespace
}  // namespace archivereadertest
