// Random trees written by the test writer come back byte-exact through the
// reader: every version, with a key text, without one and with the fallback
// key, stored and packed members, Shift-JIS and mixed-case names looked up
// in another letter case, each way of opening, synchronous and asynchronous
// member reads. Listings give back the names as written.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "framework/base/base_functions.h"
#include "tests/framework/archive/archive_reader_fixture.h"

namespace archivereadertest {
namespace {

enum class KeyWay { NoText, Text, Fallback };
const char* const kKeyWayNames[] = {"NoText", "Text", "Fallback"};
void PrintTo(KeyWay way, std::ostream* out) { *out << kKeyWayNames[static_cast<int>(way)]; }

struct TreeFile {
    std::string folder;
    std::string name;
    std::string path;
    std::string contents;
};

// Name stems: mixed case, and Shift-JIS whose trail bytes include a
// backslash and capital letters (which must not be case-folded).
const char* const kStems[] = {"ReadMe", "data", "IMG", "表", "ソフト", "画像データ", "MiXeD.Name", "a"};

std::string RandomContents(std::mt19937& random) {
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> size(0, 9000);
    std::string bytes(size(random), '\0');
    switch (kind(random)) {
        case 0:  // noise
            for (char& c : bytes) c = static_cast<char>(random());
            break;
        case 1:  // a short repeating run, copies overlapping their own output
            for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>("xyz"[i % 3]);
            break;
        default: {  // text-like with repeats at many distances
            std::string words[] = {"kiln ", "archive ", "\x00\x01", "\xff\xfe\xfd", "stream "};
            std::string text;
            while (text.size() < bytes.size()) text += words[random() % 5];
            bytes = text.substr(0, bytes.size());
        }
    }
    return bytes;
}

// The same path with letters a to z in random case and random separators;
// two-byte characters are left whole.
std::string Recase(const std::string& path, std::mt19937& random) {
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsShiftJisLeadByte(c) && i + 1 < path.size()) {
            out += path.substr(i, 2);
            ++i;
        } else if (c == '\\') {
            out += (random() & 1) ? '/' : '\\';
        } else if (std::isalpha(c)) {
            out += static_cast<char>((random() & 1) ? std::toupper(c) : std::tolower(c));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::vector<TreeFile> RandomTree(std::mt19937& random, archivetest::ArchiveWriter& writer, bool packed) {
    std::vector<TreeFile> files;
    std::vector<std::string> folders{""};
    int serial = 0;
    for (int i = 0; i < 24; ++i) {
        const std::string& folder = folders[random() % folders.size()];
        // The serial keeps names unique whatever their letter case.
        std::string name = std::string(kStems[random() % 8]) + std::to_string(serial++);
        std::string path = folder.empty() ? name : folder + "\\" + name;
        if (random() % 4 == 0) {
            writer.AddFolder(path);
            folders.push_back(path);
        } else {
            files.push_back({folder, name, path, RandomContents(random)});
            writer.AddFile(path, files.back().contents, packed && (random() % 4 != 0));
        }
    }
    return files;
}

using Case = std::tuple<int, KeyWay, OpenWay, int>;

class ArchiveRoundTrip : public ArchiveReaderTest, public testing::WithParamInterface<Case> {};

TEST_P(ArchiveRoundTrip, MembersAndListingsComeBackExactly) {
    auto [version, keyWay, way, async] = GetParam();
    std::mt19937 random(1234 + version * 7 + static_cast<int>(keyWay) * 3);
    archivetest::ArchiveWriter writer(static_cast<uint16_t>(version));
    std::vector<TreeFile> files = RandomTree(random, writer, true);
    // The game's key text has 17 characters, of which 12 count.
    const char* keyText = "Kiln-17-char-key!";
    std::string bytes = keyWay == KeyWay::Text       ? writer.Build(keyText)
                        : keyWay == KeyWay::NoText   ? writer.Build(nullptr)
                                                     : writer.BuildWithFallbackKey();
    ASSERT_EQ(OpenBytes(bytes, way, keyWay == KeyWay::NoText ? nullptr : keyText), 0);

    for (const TreeFile& file : files) {
        std::string lookup = Recase(file.path, random);
        EXPECT_EQ(ReadMember(lookup.c_str(), async, 1 + random() % 3000), file.contents) << lookup;

        uint32_t offset = 0, size = 0;
        ASSERT_EQ(FindArchiveEntryData(&record_, lookup.c_str(), &offset, &size), 0);
        EXPECT_EQ(size, file.contents.size());
    }

    // Every folder's listing holds the names as written.
    std::map<std::string, std::set<std::string>> expected;
    for (const TreeFile& file : files) expected[file.folder].insert(file.name);
    for (const auto& [folder, names] : expected) {
        std::string pattern = folder.empty() ? "*" : folder + "\\*";
        FileInfoRecord info;
        uintptr_t find = FindFirstInArchive(&record_, pattern.c_str(), &info);
        ASSERT_NE(find, InvalidFindHandle) << pattern;
        auto* state = reinterpret_cast<ArchiveFindState*>(find);
        std::set<std::string> listed;
        for (;;) {
            if (!info.isDirectory) listed.insert(info.name);
            if (NextArchiveFindEntry(state, &info) != 0) break;
            state->index++;
        }
        FreeMemory(state);
        EXPECT_EQ(listed, names) << pattern;
    }
}

std::string CaseName(const testing::TestParamInfo<Case>& info) {
    auto [version, keyWay, way, async] = info.param;
    return "V" + std::to_string(version) + kKeyWayNames[static_cast<int>(keyWay)] + OpenWayName(way) +
           (async ? "Async" : "Sync");
}

INSTANTIATE_TEST_SUITE_P(AllWays, ArchiveRoundTrip,
                         testing::Combine(testing::Values(0, 1, 2, 3),
                                          testing::Values(KeyWay::NoText, KeyWay::Text, KeyWay::Fallback),
                                          testing::ValuesIn(kOpenWays), testing::Values(0, 1)),
                         CaseName);

}  // namespace
}  // namespace archivereadertest
