// The guard in front of the Vorbis decoder: setup headers with a codebook of
// dimension 0, which the decoder does not survive, the walk of the codebooks
// within the packet, and sounds made from files that carry such a header.
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

namespace {

// A packet as its bits, '0' and '1', the low bit of each byte first: the
// order in which a Vorbis header packs its fields.
std::string ToBits(const std::string& bytes) {
    std::string bits;
    for (const char byte : bytes)
        for (int bit = 0; bit < 8; ++bit) bits += (static_cast<uint8_t>(byte) >> bit & 1) ? '1' : '0';
    return bits;
}

std::string FromBits(std::string bits) {
    bits.resize((bits.size() + 7) / 8 * 8, '0');
    std::string bytes(bits.size() / 8, '\0');
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1') bytes[i / 8] = static_cast<char>(bytes[i / 8] | 1 << (i % 8));
    return bytes;
}

std::string Field(uint64_t value, int width) {
    std::string bits;
    for (int bit = 0; bit < width; ++bit) bits += (value >> bit & 1) ? '1' : '0';
    return bits;
}

class BitCursor {
public:
    BitCursor(const std::string& bits, size_t at) : bits_(bits), at_(at) {}
    uint32_t Take(int width) {
        uint32_t value = 0;
        for (int bit = 0; bit < width; ++bit) value |= uint32_t(bits_.at(at_++) == '1') << bit;
        return value;
    }
    void Skip(size_t width) { at_ += width; }
    size_t at() const { return at_; }

private:
    const std::string& bits_;
    size_t at_;
};

int BitLength(uint32_t value) {
    int length = 0;
    for (; value != 0; value >>= 1) ++length;
    return length;
}

// Where the parts of a setup header lie, in bits from the packet's start.
struct CodebookPlace {
    size_t dimension;
    size_t lookup;  // the lookup type
    size_t values;  // the values of a type 1 or 2 lookup
    size_t end;
    uint32_t lookupType;
};
struct ResiduePlace {
    size_t type;
    std::vector<uint32_t> books;  // the books of its stages
};
struct SetupLayout {
    std::vector<CodebookPlace> books;
    std::vector<ResiduePlace> residues;
};

SetupLayout ReadLayout(const std::string& bits) {
    SetupLayout layout;
    BitCursor cursor(bits, 56);
    const uint32_t books = cursor.Take(8) + 1;
    for (uint32_t book = 0; book < books; ++book) {
        CodebookPlace place{};
        EXPECT_EQ(cursor.Take(24), 0x564342u);
        place.dimension = cursor.at();
        const uint32_t dimensions = cursor.Take(16);
        const uint32_t entries = cursor.Take(24);
        if (cursor.Take(1)) {
            cursor.Skip(5);
            for (uint32_t entry = 0; entry < entries;) entry += cursor.Take(BitLength(entries - entry));
        } else {
            const bool sparse = cursor.Take(1);
            for (uint32_t entry = 0; entry < entries; ++entry)
                if (!sparse || cursor.Take(1)) cursor.Skip(5);
        }
        place.lookup = cursor.at();
        place.lookupType = cursor.Take(4);
        place.values = cursor.at();
        if (place.lookupType != 0) {
            cursor.Skip(64);
            const uint32_t valueBits = cursor.Take(4) + 1;
            cursor.Skip(1);
            place.values = cursor.at();
            uint64_t values = uint64_t(entries) * dimensions;
            if (place.lookupType == 1) {
                values = 0;
                for (uint64_t side = 1;; ++side) {
                    uint64_t power = 1;
                    for (uint32_t d = 0; d < dimensions && power <= entries; ++d) power *= side;
                    if (power > entries) break;
                    values = side;
                }
            }
            cursor.Skip(values * valueBits);
        }
        place.end = cursor.at();
        layout.books.push_back(place);
    }
    const uint32_t times = cursor.Take(6) + 1;
    cursor.Skip(times * 16);
    const uint32_t floors = cursor.Take(6) + 1;
    for (uint32_t floor = 0; floor < floors; ++floor) {
        if (cursor.Take(16) == 0) {
            cursor.Skip(8 + 16 + 16 + 6 + 8);
            cursor.Skip((cursor.Take(4) + 1) * 8);
            continue;
        }
        std::vector<uint32_t> partitionClass(cursor.Take(5));
        uint32_t classes = 0;
        for (uint32_t& c : partitionClass) {
            c = cursor.Take(4);
            if (c + 1 > classes) classes = c + 1;
        }
        std::vector<uint32_t> classDimensions(classes);
        for (uint32_t& d : classDimensions) {
            d = cursor.Take(3) + 1;
            const uint32_t subclasses = cursor.Take(2);
            if (subclasses != 0) cursor.Skip(8);
            cursor.Skip((size_t(1) << subclasses) * 8);
        }
        cursor.Skip(2);
        const uint32_t rangeBits = cursor.Take(4);
        for (const uint32_t c : partitionClass) cursor.Skip(classDimensions[c] * rangeBits);
    }
    const uint32_t residues = cursor.Take(6) + 1;
    for (uint32_t residue = 0; residue < residues; ++residue) {
        ResiduePlace place;
        place.type = cursor.at();
        cursor.Skip(16 + 24 + 24 + 24);
        std::vector<uint32_t> cascade(cursor.Take(6) + 1);
        cursor.Skip(8);
        for (uint32_t& stages : cascade) {
            stages = cursor.Take(3);
            if (cursor.Take(1)) stages |= cursor.Take(5) << 3;
        }
        for (const uint32_t stages : cascade)
            for (int stage = 0; stage < 8; ++stage)
                if (stages >> stage & 1) place.books.push_back(cursor.Take(8));
        layout.residues.push_back(place);
    }
    return layout;
}

// The book's dimension made 0 and its lookup made `lookupType` (1 or 2)
// without values, a layout the decoder still reads to the end.
void EmptyBook(std::string* bits, const CodebookPlace& book, uint32_t lookupType) {
    bits->erase(book.values, book.end - book.values);
    bits->replace(book.lookup, 4, Field(lookupType, 4));
    bits->replace(book.dimension, 16, Field(0, 16));
}

// The decoder divides by the dimension of a residue's stage book when the
// residue is of type 0: the encoder writes types 1 and 2, so the residues
// are made type 0 as well.
std::string DividingSetup(const std::string& setup) {
    std::string bits = ToBits(setup);
    const SetupLayout layout = ReadLayout(bits);
    for (const ResiduePlace& residue : layout.residues) bits.replace(residue.type, 16, Field(0, 16));
    EmptyBook(&bits, layout.books.at(layout.residues.at(0).books.back()), 2);
    return FromBits(bits);
}

// With a type 1 lookup, the decoder loops for ever over a book of
// dimension 0.
std::string LoopingSetup(const std::string& setup) {
    std::string bits = ToBits(setup);
    const SetupLayout layout = ReadLayout(bits);
    EmptyBook(&bits, layout.books.at(layout.residues.at(0).books.back()), 1);
    return FromBits(bits);
}

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

// Decodes the file through the library alone: all of it, or a seek into it.
void DecodeWithTheLibraryAlone(const std::string& file, bool seek) {
    // The library's fault is to be seen as it is, not through a handler.
    std::signal(SIGFPE, SIG_DFL);
    struct Reader {
        const std::string* file;
        size_t at;
    } reader{&file, 0};
    const ov_callbacks callbacks{
        [](void* buffer, size_t size, size_t count, void* source) {
            auto* r = static_cast<Reader*>(source);
            const size_t bytes = std::min(size * count, r->file->size() - r->at);
            std::memcpy(buffer, r->file->data() + r->at, bytes);
            r->at += bytes;
            return bytes / size;
        },
        [](void* source, ogg_int64_t offset, int whence) {
            auto* r = static_cast<Reader*>(source);
            const ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(r->at)
                                                                                 : ogg_int64_t(r->file->size());
            if (base + offset < 0 || base + offset > ogg_int64_t(r->file->size())) return -1;
            r->at = static_cast<size_t>(base + offset);
            return 0;
        },
        nullptr,
        [](void* source) { return static_cast<long>(static_cast<Reader*>(source)->at); },
    };
    OggVorbis_File vorbis;
    if (ov_open_callbacks(&reader, &vorbis, nullptr, 0, callbacks) != 0) return;
    if (seek) {
        ov_pcm_seek(&vorbis, 5000);
    } else {
        char pcm[4096];
        int section = 0;
        while (ov_read(&vorbis, pcm, sizeof pcm, 0, 2, 1, &section) > 0) {
        }
    }
    ov_clear(&vorbis);
}

// The damaged file of the tests below is one the library dies on, by
// reading it or by seeking in it.
TEST(VorbisSetupDeathTest, TheLibraryDiesOnAResidueBookOfDimensionZero) {
    const std::string intact = soundtest::MakeOggVorbis(1, 22050, 20000);
    const std::string damaged = WithSetupHeader(intact, DividingSetup(SetupHeaderOf(intact)), 1234);
    EXPECT_EXIT(DecodeWithTheLibraryAlone(damaged, false), testing::KilledBySignal(SIGFPE), "");
    EXPECT_EXIT(DecodeWithTheLibraryAlone(damaged, true), testing::KilledBySignal(SIGFPE), "");
}

TEST(VorbisSetupCheckTest, CodebooksOfDimensionZeroAndHeadersThatCannotBeWalkedAreRefused) {
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
    // Ordered: a first length, then runs of 3 and 4 of the 7 entries, each
    // run in as many bits as the entries left need.
    const std::string ordered = Field(1, 1) + Field(1, 5) + Field(3, 3) + Field(4, 3);
    // Sparse: used entries carry their length.
    const std::string sparse = Field(0, 1) + Field(1, 1) + Field(1, 1) + Field(2, 5) + Field(0, 1) + Field(1, 1) +
                               Field(3, 5) + Field(0, 1) + Field(0, 1) + Field(0, 1) + Field(0, 1);
    const std::string plain = Field(0, 1) + Field(0, 1) + Field(1, 5) + Field(1, 5);
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
        {"ordered, lattice", {book(3, 7, ordered, 1, 1), book(1, 2, plain, 0, 0)}, true},
        // 7 entries in 2 dimensions: a lattice of side 2 (3 * 3 > 7).
        {"sparse, lattice", {book(2, 7, sparse, 1, 2), book(1, 2, plain, 0, 0)}, true},
        {"ordered, one value per entry and dimension", {book(2, 7, ordered, 2, 14), book(1, 2, plain, 0, 0)}, true},
        {"then a book of dimension 0", {book(3, 7, ordered, 1, 1), book(0, 2, plain, 0, 0)}, false},
        {"a run past the entries", {book(1, 7, Field(1, 1) + Field(1, 5) + Field(3, 3) + Field(5, 3), 0, 0)}, false},
        {"a value short", {book(2, 7, sparse, 1, 1), book(1, 2, plain, 0, 0)}, false},
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

TEST_F(VorbisSetupSoundTest, ASoundWithACodebookOfDimensionZeroIsRefusedAsDamaged) {
    const std::string intact = soundtest::MakeOggVorbis(1, 22050, 20000);
    const std::string setup = SetupHeaderOf(intact);
    struct File {
        const char* name;
        std::string bytes;
    };
    const File files[] = {
        {"a residue book divided by", WithSetupHeader(intact, DividingSetup(setup), 1234)},
        {"a lattice book looped over", WithSetupHeader(intact, LoopingSetup(setup), 1234)},
        {"an intact link, then such a link", intact + WithSetupHeader(intact, DividingSetup(setup), 4321)},
    };
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

}  // namespace
