// The path search remembers where it found no archive; what it remembers
// must never change what an open finds. Each change to the folders between
// two opens is seen by the second, as a search that remembers nothing would
// see it.
#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "framework/archive/archive_file_access.h"
#include "tests/support/archive_file_access_fixture.h"

namespace {

using archivetest::ArchiveWriter;

class MissingArchiveMemoryTest : public archiveaccesstest::ArchiveFileAccessTest {
public:
    // Everything in the file, or "<none>" when it does not open. The search
    // starts afresh each time but for what it remembers of missing archives.
    static std::string Contents(const std::string& path) {
        RememberedArchive = {-1, {}, 0};
        CloseUnusedArchives();
        const uintptr_t file = FileStreamOpen(path.c_str(), 0, 1, 0);
        if (file == 0) return "<none>";
        const std::string all = ReadToEnd(file);
        FileStreamClose(file);
        CloseUnusedArchives();
        return all;
    }

    // Files and folders are made in the current case's folder.
    std::string Here(const std::string& name) const { return caseFolder_.empty() ? name : caseFolder_ + "/" + name; }
    void Archive(const std::string& name, const std::string& member, const std::string& contents) {
        ArchiveWriter writer;
        writer.AddFile(member, contents);
        WriteArchive(Here(name), writer);
    }
    void Folder(const std::string& name) { std::filesystem::create_directories(HostPath(Here(name))); }
    void Plain(const std::string& name, const std::string& contents) { WriteFile(Here(name), contents); }
    void Remove(const std::string& name) { std::filesystem::remove_all(HostPath(Here(name))); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(HostPath(Here(name))); }
    void Rename(const std::string& from, const std::string& to) {
        std::filesystem::rename(HostPath(Here(from)), HostPath(Here(to)));
    }

    std::string caseFolder_;
};

// Each case: the folders before, the path read (twice, so that the second
// read is answered from what the first remembered), a change, and the path
// read again.
TEST_F(MissingArchiveMemoryTest, EachChangeBetweenTwoOpensIsSeenByTheSecond) {
    using Test = MissingArchiveMemoryTest;
    const struct {
        const char* name;
        std::function<void(Test&)> before;
        const char* path;
        std::function<void(Test&)> change;
        const char* first;
        const char* second;
    } cases[] = {
        {"an archive of the file's grandparent",
         [](Test& t) { t.Folder("data/img"), t.Plain("data/img/a.txt", "plain"); }, "data\\img\\a.txt",
         [](Test& t) { t.Archive("DATA.KPK", "IMG\\A.TXT", "archive"); }, "plain", "archive"},
        {"an archive of the file's own folder",
         [](Test& t) { t.Folder("data/img"), t.Plain("data/img/a.txt", "plain"); }, "data\\img\\a.txt",
         [](Test& t) { t.Archive("data/IMG.KPK", "A.TXT", "archive"); }, "plain", "archive"},
        {"an archive named in lower case",
         [](Test& t) { t.Folder("data"), t.Plain("data/a.txt", "plain"); }, "DATA\\A.TXT",
         [](Test& t) { t.Archive("data.kpk", "A.TXT", "archive"); }, "plain", "archive"},
        {"an archive renamed into place",
         [](Test& t) { t.Folder("data"), t.Plain("data/a.txt", "plain"); }, "data\\a.txt",
         [](Test& t) {
             t.Archive("incoming.bin", "A.TXT", "archive");
             t.Rename("incoming.bin", "DATA.KPK");
         },
         "plain", "archive"},
        {"folders that come into being with an archive in them", [](Test&) {}, "new\\sub\\a.txt",
         [](Test& t) { t.Folder("new"), t.Archive("new/SUB.KPK", "A.TXT", "archive"); }, "<none>", "archive"},
        // The upper-cased path finds GAME as it is written, no longer game.
        {"a folder whose name differs only in case, with an archive",
         [](Test& t) { t.Folder("game/data"), t.Plain("game/data/a.txt", "plain"); }, "game\\data\\a.txt",
         [](Test& t) { t.Folder("GAME"), t.Archive("GAME/DATA.KPK", "A.TXT", "archive"); }, "plain",
         "archive"},
        {"the archive of the drive alone, in the current directory",
         [](Test& t) { t.Folder("data"), t.Plain("data/a.txt", "plain"); }, "data\\a.txt",
         [](Test& t) {
             char full[ArchivePathBufferSize];
             ASSERT_EQ(ToUpperFullPath("data\\a.txt", full), 0);
             t.Archive(".KPK", full + 3, "archive");  // the path after "C:\"
         },
         "plain", "archive"},
        {"another extension for archives",
         [](Test& t) {
             t.Folder("data"), t.Plain("data/a.txt", "plain");
             t.Archive("DATA.ARC", "A.TXT", "archive");
         },
         "data\\a.txt",
         [](Test&) {
             std::strcpy(ArchiveExtension.text, "ARC");
             ArchiveExtension.length = 3;
         },
         "plain", "archive"},
    };
    int number = 0;
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        // A folder of its own for each case, as the current directory.
        caseFolder_ = "case" + std::to_string(number++);
        Folder("");
        ASSERT_TRUE(SetCurrentDirectoryA(WindowsPath(caseFolder_).c_str()));
        item.before(*this);
        EXPECT_EQ(Contents(item.path), item.first);
        EXPECT_EQ(Contents(item.path), item.first);
        item.change(*this);
        EXPECT_EQ(Contents(item.path), item.second);
        ArchiveExtension = {};
        ASSERT_TRUE(SetCurrentDirectoryA(WindowsPath("").c_str()));
    }
}


// Random changes to the folders on two paths, each followed by reads through
// what the search remembers and by reads of a search that starts with
// nothing remembered: both find the same.
TEST_F(MissingArchiveMemoryTest, AnswersAsASearchThatRemembersNothing) {
    using Test = MissingArchiveMemoryTest;
    const std::function<void(Test&)> changes[] = {
        [](Test& t) { t.Archive("A.KPK", "B\\C\\X.TXT", "A.KPK"); },
        [](Test& t) { t.Archive("a.kpk", "B\\Y.TXT", "a.kpk"); },
        [](Test& t) { t.Remove("A.KPK"); },
        [](Test& t) { t.Remove("a.kpk"); },
        [](Test& t) { t.Folder("a"), t.Archive("a/B.KPK", "C\\X.TXT", "a/B.KPK"); },
        [](Test& t) { t.Remove("a/B.KPK"); },
        [](Test& t) { t.Folder("a/b/c"), t.Plain("a/b/c/x.txt", "plain x"), t.Plain("a/b/y.txt", "plain y"); },
        [](Test& t) { t.Folder("a/b"), t.Archive("a/b/C.KPK", "X.TXT", "a/b/C.KPK"); },
        [](Test& t) { t.Remove("a/b"); },
        [](Test& t) { t.Remove("a"); },
        [](Test& t) { t.Folder("A/B"), t.Plain("A/B/y.txt", "A plain y"); },
        [](Test& t) { t.Folder("A"), t.Archive("A/b.kpk", "C\\X.TXT", "A/b.kpk"); },
        [](Test& t) { t.Remove("A"); },
        // The folder b takes the other case (a name the path only finds
        // when it does not exist as written).
        [](Test& t) {
            if (t.Exists("a/b") && !t.Exists("a/B")) t.Rename("a/b", "a/B");
            else if (t.Exists("a/B") && !t.Exists("a/b")) t.Rename("a/B", "a/b");
        },
    };
    uint32_t state = 20240601u;
    for (int step = 0; step < 300; ++step) {
        state = state * 1664525u + 1013904223u;
        const size_t which = (state >> 16) % std::size(changes);
        SCOPED_TRACE(testing::Message() << "step " << step << ", change " << which);
        changes[which](*this);
        for (const char* path : {"a\\b\\c\\x.txt", "a\\b\\y.txt"}) {
            const std::string remembered = Contents(path);
            const std::string again = Contents(path);
            ForgetMissingArchives();
            const std::string fresh = Contents(path);
            ASSERT_EQ(remembered, fresh) << path;
            ASSERT_EQ(again, fresh) << path;
        }
    }
}

}  // namespace
