// The guard in front of the Vorbis decoder: setup headers with a codebook
// the decoder does not survive (of dimension 0, with code lengths that over-
// or under-fill the code tree, of too many entries), the walk of the
// codebooks within the packet, sounds made from files that carry such a
// header, and the encoder's own files, chained and side by side, which still
// play.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "framework/sound/vorbis_setup_check.h"
#include "tests/framework/sound/sound_test_fixture.h"
#include "tests/framework/sound/vorbis_setup_edits.h"

namespace {

using namespace vorbisedit;

// The header packets and the rest of a one-stream Ogg file.
std::vector<std::string> Packets(const std::string& file, std::vector<ogg_int64_t>* granules) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    std::memcpy(ogg_sync_buffer(&sync, static_cast<long>(file.size())), file.data(), file.size());
    ogg_sync_wrote(&sync, static_cast<long>(file.size()));
    ogg_stream_state stream;
    bool started = false;
    std::vector<std::string> packets;
    ogg_page page;
    while (ogg_sync_pageout(&sync, &page) == 1) {
        if (!started) ogg_stream_init(&stream, ogg_page_serialno(&page));
        started = true;
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) == 1) {
            packets.emplace_back(reinterpret_cast<const char*>(packet.packet), static_cast<size_t>(packet.bytes));
            if (granules != nullptr) granules->push_back(packet.granulepos);
        }
    }
    if (started) ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return packets;
}

std::string SetupHeaderOf(const std::string& file) { return Packets(file, nullptr).at(2); }

// The file paged again as stream `serial`, with `setup` for its setup header.
std::string WithSetupHeader(const std::string& file, const std::string& setup, int serial) {
    std::vector<ogg_int64_t> granules;
    std::vector<std::string> packets = Packets(file, &granules);
    packets.at(2) = setup;
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    std::string out;
    ogg_page page;
    auto take = [&](bool flush) {
        while ((flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0) {
            out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
            out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
        }
    };
    for (size_t i = 0; i < packets.size(); ++i) {
        ogg_packet packet{};
        packet.packet = reinterpret_cast<unsigned char*>(packets[i].data());
        packet.bytes = static_cast<long>(packets[i].size());
        packet.b_o_s = i == 0;
        packet.e_o_s = i + 1 == packets.size();
        packet.granulepos = granules[i];
        packet.packetno = static_cast<ogg_int64_t>(i);
        ogg_stream_packetin(&stream, &packet);
        // The headers end their own pages, as an encoder writes them.
        take(i < 3);
    }
    take(true);
    ogg_stream_clear(&stream);
    return out;
}

bool Usable(const std::string& setup) {
    return VorbisSetupCodebooksUsable(reinterpret_cast<const uint8_t*>(setup.data()), setup.size());
}

// The pages of the files (one stream each, under different numbers) side
// by side in one: every first page, then the others in turn.
std::string SideBySide(const std::vector<std::string>& files) {
    std::vector<std::vector<std::string>> pages(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        ogg_sync_state sync;
        ogg_sync_init(&sync);
        std::memcpy(ogg_sync_buffer(&sync, long(files[i].size())), files[i].data(), files[i].size());
        ogg_sync_wrote(&sync, long(files[i].size()));
        ogg_page page;
        while (ogg_sync_pageout(&sync, &page) == 1)
            pages[i].push_back(std::string(reinterpret_cast<const char*>(page.header), size_t(page.header_len)) +
                               std::string(reinterpret_cast<const char*>(page.body), size_t(page.body_len)));
        ogg_sync_clear(&sync);
    }
    std::string out;
    for (const auto& stream : pages) out += stream.front();
    for (size_t at = 1;; ++at) {
        bool any = false;
        for (const auto& stream : pages)
            if (at < stream.size()) {
                out += stream[at];
                any = true;
            }
        if (!any) return out;
    }
}

// The damages of the tests below, each in a file the encoder made.
struct Damage {
    const char* name;
    std::string (*edit)(const std::string& setup);
    int signal;  // what ends the library
};
const Damage kDamages[] = {
    {"a residue book of dimension 0", DividingSetup, SIGFPE},
    {"code lengths that over-fill the tree", [](const std::string& s) { return ChangedLengthSetup(s, -1); }, SIGFPE},
    {"code lengths that under-fill the tree", [](const std::string& s) { return ChangedLengthSetup(s, 1); }, SIGFPE},
    // Its table is built on the decoding thread's stack.
    {"a book of 2^20 entries", [](const std::string& s) { return WithBookOfEntries(s, 1u << 20); }, SIGSEGV},
};

// Each damaged file of the tests below is one the library dies on, by
// reading it or by seeking in it, when it is called again after an error.
TEST(VorbisSetupDeathTest, TheLibraryDiesOnEachDamage) {
    const std::string intact = soundtest::MakeOggVorbis(1, 22050, 20000);
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.name);
        const std::string damaged = WithSetupHeader(intact, damage.edit(SetupHeaderOf(intact)), 1234);
        EXPECT_EXIT(DecodeWithTheLibraryAlone(damaged, false), testing::KilledBySignal(damage.signal), "");
        EXPECT_EXIT(DecodeWithTheLibraryAlone(damaged, true), testing::KilledBySignal(damage.signal), "");
    }
}

TEST(VorbisSetupCheckTest, CodebooksTheDecoderCannotBuildAndHeadersThatCannotBeWalkedAreRefused) {
    const std::string intact = SetupHeaderOf(soundtest::MakeOggVorbis(2, 44100, 5000));
    const std::string bits = ToBits(intact);
    const SetupLayout layout = ReadLayout(bits);
    auto with = [&](size_t at, const std::string& field) {
        std::string edited = bits;
        edited.replace(at, field.size(), field);
        return FromBits(edited);
    };
    struct Case {
        const char* name;
        std::string setup;
        bool usable;
    };
    const Case cases[] = {
        {"intact", intact, true},
        {"first book of dimension 0", with(layout.books.front().dimension, Field(0, 16)), false},
        {"last book of dimension 0", with(layout.books.back().dimension, Field(0, 16)), false},
        {"a residue book divided by", DividingSetup(intact), false},
        {"a lattice book looped over", LoopingSetup(intact), false},
        {"a code length one shorter: over-full", ChangedLengthSetup(intact, -1), false},
        {"a code length one longer: under-full", ChangedLengthSetup(intact, 1), false},
        {"a book of 2^20 entries", WithBookOfEntries(intact, 1u << 20), false},
        {"a book of 2^16 entries", WithBookOfEntries(intact, 1u << 16), true},
        {"a lost sync", with(layout.books.at(3).dimension - 24, Field(0x564343, 24)), false},
        {"lookup type 3", with(layout.books.back().lookup, Field(3, 4)), false},
        {"not a setup header", "\x03vorbis" + intact.substr(7), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Usable(c.setup), c.usable);
    }

    // Cut anywhere within its codebooks, the header is refused, with no
    // read past the cut; cut after them, what follows is the decoder's.
    const size_t booksEnd = (layout.books.back().end + 7) / 8;
    for (size_t size = 0; size <= intact.size(); ++size) {
        const std::vector<uint8_t> cut(intact.begin(), intact.begin() + static_cast<std::ptrdiff_t>(size));
        ASSERT_EQ(VorbisSetupCodebooksUsable(cut.data(), cut.size()), size >= booksEnd) << size;
    }
}

TEST(VorbisSetupCheckTest, OrderedLengthsAndEveryLookupAreWalkedToTheNextBook) {
    auto book = [](uint32_t dimensions, uint32_t entries, const std::string& lengths, uint32_t lookup,
                   uint64_t values) {
        std::string bits = Field(0x564342, 24) + Field(dimensions, 16) + Field(entries, 24) + lengths +
                           Field(lookup, 4);
        if (lookup != 0) bits += Field(0, 32) + Field(1 << 21, 32) + Field(2, 4) + Field(0, 1) + Field(0, 3 * values);
        return bits;
    };
    // Ordered: a first length (2), then runs of 2, 3 and 2 of the 7 entries
    // at lengths 2, 3 and 4, each run in as many bits as the entries left
    // need: the codes fill the tree.
    const std::string ordered = Field(1, 1) + Field(1, 5) + Field(2, 3) + Field(3, 3) + Field(2, 2);
    // Sparse: used entries carry their length; two of length 1.
    const std::string sparse = Field(0, 1) + Field(1, 1) + Field(1, 1) + Field(0, 5) + Field(0, 1) + Field(1, 1) +
                               Field(0, 5) + Field(0, 1) + Field(0, 1) + Field(0, 1) + Field(0, 1);
    // Not ordered, not sparse: a length per entry.
    auto plain = [](std::vector<uint32_t> lengths) {
        std::string bits = Field(0, 1) + Field(0, 1);
        for (const uint32_t length : lengths) bits += Field(length - 1, 5);
        return bits;
    };
    // 1, 2, ..., 31, 32, 32.
    std::vector<uint32_t> lengthsDownTo32;
    for (uint32_t length = 1; length <= 32; ++length) lengthsDownTo32.push_back(length);
    lengthsDownTo32.push_back(32);
    auto unused = [](int entries) {
        std::string bits = Field(0, 1) + Field(1, 1);
        for (int entry = 0; entry < entries; ++entry) bits += Field(0, 1);
        return bits;
    };
    auto setup = [](const std::vector<std::string>& books) {
        std::string bits = ToBits("\x05vorbis") + Field(books.size() - 1, 8);
        for (const std::string& b : books) bits += b;
        return FromBits(bits);
    };
    struct Case {
        const char* name;
        std::vector<std::string> books;
        bool usable;
    };
    const Case cases[] = {
        // 7 entries in 3 dimensions: a lattice of side 1 (2 * 2 * 2 > 7).
        {"ordered, lattice", {book(3, 7, ordered, 1, 1), book(1, 2, plain({1, 1}), 0, 0)}, true},
        // 7 entries in 2 dimensions: a lattice of side 2 (3 * 3 > 7).
        {"sparse, lattice", {book(2, 7, sparse, 1, 2), book(1, 2, plain({1, 1}), 0, 0)}, true},
        {"ordered, one value per entry and dimension", {book(2, 7, ordered, 2, 14), book(1, 2, plain({1, 1}), 0, 0)}, true},
        {"then a book of dimension 0", {book(3, 7, ordered, 1, 1), book(0, 2, plain({1, 1}), 0, 0)}, false},
        {"a run past the entries", {book(1, 7, Field(1, 1) + Field(1, 5) + Field(3, 3) + Field(5, 3), 0, 0)}, false},
        // The decoder builds a single code of length 1, or no code at all,
        // though neither fills the tree.
        {"a single code of length 1", {book(1, 1, plain({1}), 0, 0)}, true},
        {"a single code of length 2", {book(1, 1, plain({2}), 0, 0)}, false},
        {"no code", {book(1, 3, unused(3), 0, 0)}, true},
        {"over-full", {book(1, 3, plain({1, 2, 1}), 0, 0)}, false},
        {"under-full", {book(1, 3, plain({2, 2, 2}), 0, 0)}, false},
        {"full, down to codes of 32 bits", {book(1, 33, plain(lengthsDownTo32), 0, 0)}, true},
        {"ordered, over-full", {book(1, 7, Field(1, 1) + Field(1, 5) + Field(3, 3) + Field(3, 3) + Field(1, 1), 0, 0)},
         false},
        {"ordered, past length 32", {book(1, 3, Field(1, 1) + Field(31, 5) + Field(1, 2) + Field(2, 2), 0, 0)}, false},
        {"a value short", {book(2, 7, sparse, 1, 1), book(1, 2, plain({1, 1}), 0, 0)}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Usable(setup(c.books)), c.usable);
    }
}

class VorbisSetupSoundTest : public soundtest::SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(StartSound());
    }
    void TearDown() override {
        SetSoundLoadType(kSoundLoadMemory);
        SoundTest::TearDown();
    }
};

TEST_F(VorbisSetupSoundTest, ASoundWithACodebookTheDecoderCannotSurviveIsRefusedAsDamaged) {
    const std::string intact = soundtest::MakeOggVorbis(1, 22050, 20000);
    const std::string setup = SetupHeaderOf(intact);
    struct File {
        std::string name;
        std::string bytes;
    };
    std::vector<File> files = {
        {"a lattice book looped over", WithSetupHeader(intact, LoopingSetup(setup), 1234)},
    };
    for (const Damage& damage : kDamages) {
        const std::string damaged = damage.edit(setup);
        files.push_back({damage.name, WithSetupHeader(intact, damaged, 1234)});
        files.push_back({std::string("an intact link, then ") + damage.name, intact + WithSetupHeader(intact, damaged, 4321)});
    }
    // Long links, which the library finds by seeking back and forth.
    const std::string longer = soundtest::MakeOggVorbis(1, 22050, 200000);
    files.push_back({"three long links, the middle one damaged",
                     longer + WithSetupHeader(longer, ChangedLengthSetup(SetupHeaderOf(longer), 1), 4321) +
                         WithSetupHeader(longer, SetupHeaderOf(longer), 5678)});
    struct Road {
        int loadType;
        std::vector<std::string> lines;
    };
    const std::vector<std::string> streamLines = {"音声データのオープンに失敗しました\r\n",
                                                  "右記のＷＡＶファイルのセットアップに失敗しました："};
    const Road roads[] = {
        {kSoundLoadMemory,
         {"音声ファイルのＰＣＭへの変換に失敗しました\r\n", "右記の音声ファイルのロードに失敗しました_2："}},
        {kSoundLoadStreamMemory, streamLines},
        {kSoundLoadStreamFile, streamLines},
    };
    const int blocks = LiveBlocks();
    for (const File& file : files) {
        for (const Road& road : roads) {
            SCOPED_TRACE(testing::Message() << file.name << ", load type " << road.loadType);
            SetSoundLoadType(road.loadType);
            const std::string path = WriteFile("damaged.ogg", file.bytes);
            ExpectLoadRefused(path, 1, road.lines, blocks);
        }
    }
    // The same file with its setup header as written still loads.
    const std::string path = WriteFile("intact.ogg", WithSetupHeader(intact, setup, 1234));
    const int handle = LoadSoundFileToHandle(path.c_str(), 1, -1);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(GetSoundHandleTotalSamples(handle), 20000);
    EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
}

// What the encoder writes passes the guard and plays: at every quality, in
// chained links (up to the first of another format), and as several streams
// side by side (the first plays).
TEST_F(VorbisSetupSoundTest, TheEncodersFilesStillPlay) {
    struct File {
        std::string name;
        std::string bytes;
        int64_t samples;
    };
    std::vector<File> files;
    for (int tenths = -1; tenths <= 10; ++tenths) {
        for (const int channels : {1, 2}) {
            const std::string file = soundtest::MakeOggVorbis(channels, 44100, 3000, float(tenths) / 10);
            EXPECT_TRUE(Usable(SetupHeaderOf(file))) << "quality " << tenths << "/10, " << channels << " channels";
            files.push_back({"quality " + std::to_string(tenths) + "/10, " + std::to_string(channels) + " channels",
                             file, 3000});
        }
    }
    files.push_back({"three links",
                     soundtest::MakeOggVorbis(2, 44100, 3000, -0.1f, 1) +
                         soundtest::MakeOggVorbis(2, 44100, 2000, 0.5f, 2) +
                         soundtest::MakeOggVorbis(2, 44100, 1000, 1.0f, 3),
                     6000});
    // The sound has one format: a link of another ends it.
    files.push_back({"three links, the last of another format",
                     soundtest::MakeOggVorbis(2, 44100, 3000, 0.3f, 1) +
                         soundtest::MakeOggVorbis(2, 44100, 2000, 0.3f, 2) +
                         soundtest::MakeOggVorbis(1, 22050, 4000, 0.3f, 3),
                     5000});
    std::vector<std::string> streams;
    for (int serial = 1; serial <= 5; ++serial)
        streams.push_back(soundtest::MakeOggVorbis(2, 44100, 1000u * uint32_t(serial + 1), 0.3f, serial));
    files.push_back({"five streams side by side", SideBySide(streams), 2000});
    for (const File& file : files) {
        SCOPED_TRACE(file.name);
        const std::string path = WriteFile("intact.ogg", file.bytes);
        const int handle = LoadSoundFileToHandle(path.c_str(), 1, -1);
        ASSERT_NE(handle, -1);
        EXPECT_EQ(GetSoundHandleTotalSamples(handle), file.samples);
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
}

}  // namespace
