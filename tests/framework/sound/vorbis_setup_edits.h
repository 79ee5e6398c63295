// Vorbis setup headers edited the way damaged files have them: a packet
// taken apart into its bits, the places of its codebooks and residues, and
// edits that give it a codebook the decoder does not survive.
#pragma once

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorbisedit {

// A packet as its bits, '0' and '1', the low bit of each byte first: the
// order in which a Vorbis header packs its fields.
inline std::string ToBits(const std::string& bytes) {
    std::string bits;
    for (const char byte : bytes)
        for (int bit = 0; bit < 8; ++bit) bits += (static_cast<uint8_t>(byte) >> bit & 1) ? '1' : '0';
    return bits;
}

inline std::string FromBits(std::string bits) {
    bits.resize((bits.size() + 7) / 8 * 8, '0');
    std::string bytes(bits.size() / 8, '\0');
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1') bytes[i / 8] = static_cast<char>(bytes[i / 8] | 1 << (i % 8));
    return bytes;
}

inline std::string Field(uint64_t value, int width) {
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

inline int BitLength(uint32_t value) {
    int length = 0;
    for (; value != 0; value >>= 1) ++length;
    return length;
}

// Where the parts of a setup header lie, in bits from the packet's start.
struct CodebookPlace {
    size_t dimension;
    // Where the length of each used entry lies, and the length, when the
    // lengths are not ordered.
    std::vector<std::pair<size_t, uint32_t>> lengths;
    size_t lookup;  // the lookup type
    size_t values;  // the values of a type 1 or 2 lookup
    size_t end;
    uint32_t lookupType;
};
struct ResiduePlace {
    size_t type;
    uint32_t classBook;  // the book of its partition classes
    std::vector<uint32_t> books;  // the books of its stages
};
struct SetupLayout {
    std::vector<CodebookPlace> books;
    std::vector<ResiduePlace> residues;
};

inline SetupLayout ReadLayout(const std::string& bits) {
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
                if (!sparse || cursor.Take(1)) {
                    const size_t at = cursor.at();
                    place.lengths.emplace_back(at, cursor.Take(5) + 1);
                }
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
        place.classBook = cursor.Take(8);
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
inline void EmptyBook(std::string* bits, const CodebookPlace& book, uint32_t lookupType) {
    bits->erase(book.values, book.end - book.values);
    bits->replace(book.lookup, 4, Field(lookupType, 4));
    bits->replace(book.dimension, 16, Field(0, 16));
}

// The decoder divides by the dimension of a residue's stage book when the
// residue is of type 0: the encoder writes types 1 and 2, so the residues
// are made type 0 as well.
inline std::string DividingSetup(const std::string& setup) {
    std::string bits = ToBits(setup);
    const SetupLayout layout = ReadLayout(bits);
    for (const ResiduePlace& residue : layout.residues) bits.replace(residue.type, 16, Field(0, 16));
    EmptyBook(&bits, layout.books.at(layout.residues.at(0).books.back()), 2);
    return FromBits(bits);
}

// With a type 1 lookup, the decoder loops for ever over a book of
// dimension 0.
inline std::string LoopingSetup(const std::string& setup) {
    std::string bits = ToBits(setup);
    const SetupLayout layout = ReadLayout(bits);
    EmptyBook(&bits, layout.books.at(layout.residues.at(0).books.back()), 1);
    return FromBits(bits);
}

// One code length of the first residue's class book made `change` longer
// (under-filling the code tree) or shorter (over-filling it): the decoder
// cannot build the book, and leaves it and the books after it empty (of
// dimension 0) for the next call, which divides by the class book's
// dimension as soon as a floor decodes (the floors' books come first).
inline std::string ChangedLengthSetup(const std::string& setup, int change) {
    std::string bits = ToBits(setup);
    const SetupLayout layout = ReadLayout(bits);
    const CodebookPlace& book = layout.books.at(layout.residues.at(0).classBook);
    for (const auto& [at, length] : book.lengths) {
        const int changed = int(length) + change;
        if (changed < 1 || changed > 32) continue;
        bits.replace(at, 5, Field(uint32_t(changed - 1), 5));
        return FromBits(bits);
    }
    ADD_FAILURE() << "no length to change";
    return setup;
}

// A book of `entries` entries (a power of 2) added after the last one: one
// dimension, all codes of one length, which fill the code tree.
inline std::string WithBookOfEntries(const std::string& setup, uint32_t entries) {
    std::string bits = ToBits(setup);
    const SetupLayout layout = ReadLayout(bits);
    const int length = BitLength(entries) - 1;
    const std::string book = Field(0x564342, 24) + Field(1, 16) + Field(entries, 24) + Field(1, 1) +
                             Field(uint32_t(length - 1), 5) + Field(entries, BitLength(entries)) + Field(0, 4);
    bits.insert(layout.books.back().end, book);
    bits.replace(56, 8, Field(layout.books.size(), 8));
    return FromBits(bits);
}

// Decodes the file through the library alone, as a player that goes on
// after an error would: all of it, or a seek into it, each tried twice.
inline void DecodeWithTheLibraryAlone(const std::string& file, bool seek) {
    // The library's fault is to be seen as it is, not through a handler.
    std::signal(SIGFPE, SIG_DFL);
    std::signal(SIGSEGV, SIG_DFL);
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
    // Beside other streams (a movie's), the open leaves the decoder at the
    // end of the sound.
    if (ov_pcm_tell(&vorbis) != 0) ov_raw_seek(&vorbis, 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (seek) {
            ov_pcm_seek(&vorbis, 5000);
            continue;
        }
        char pcm[4096];
        int section = 0;
        while (ov_read(&vorbis, pcm, sizeof pcm, 0, 2, 1, &section) > 0) {
        }
    }
    ov_clear(&vorbis);
}

}  // namespace vorbisedit
