// The archive's LZ unpacker on hand-made token streams: the format's own
// examples, and a table of malformed streams that must be refused without
// reading or writing out of bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/archive/archive_reader.h"
#include "tools/archive_writer.h"

namespace {

// A packed block: header with the unpacked size, the packed size (header
// included) and the escape byte, then `tokens`.
std::string Block(uint32_t unpackedSize, uint8_t escape, const std::string& tokens) {
    std::string block(9, '\0');
    uint32_t packedSize = static_cast<uint32_t>(9 + tokens.size());
    for (int i = 0; i < 4; ++i) {
        block[i] = static_cast<char>(unpackedSize >> (8 * i));
        block[4 + i] = static_cast<char>(packedSize >> (8 * i));
    }
    block[8] = static_cast<char>(escape);
    return block + tokens;
}

std::string Unpack(const std::string& block) {
    uint32_t size = UnpackArchiveData(block.data(), nullptr);
    std::vector<uint8_t> out(size + 1, 0xEE);
    if (UnpackArchiveDataBounded(reinterpret_cast<const uint8_t*>(block.data()), block.size(), out.data(), size) != 0)
        return "<refused>";
    EXPECT_EQ(out[size], 0xEE) << "wrote past the unpacked size";
    return std::string(out.begin(), out.end() - 1);
}

TEST(ArchiveUnpack, LiteralThenSelfOverlappingCopyGivesTenBytes) {
    // Escape 0xF0; code 0x28: length (0x28 >> 3) + 4 = 9, one distance byte 0.
    std::string block = Block(10, 0xF0, std::string("A\xF0\x28\x00", 4));
    EXPECT_EQ(Unpack(block), std::string(10, 'A'));
    std::string out(10, '\0');
    EXPECT_EQ(UnpackArchiveData(block.data(), out.data()), 10u);
    EXPECT_EQ(out, std::string(10, 'A'));
}

TEST(ArchiveUnpack, EscapedEscapeIsALiteralAndCodeAboveEscapeSkipsIt) {
    // Escape 0x08. Code byte 0x09 stands for code value 0x08: length 5,
    // one distance byte (1 -> distance 2).
    EXPECT_EQ(Unpack(Block(3, 0x08, "\x08\x08xy")), "\x08xy");
    EXPECT_EQ(Unpack(Block(7, 0x08, "ab\x08\x09\x01")), "abababa");
}

TEST(ArchiveUnpack, ExtendedLengthAndThreeDistanceBytes) {
    // Code 0x06: bit 2 (extra length byte 0x02 -> length (0 | 2 << 5) + 4 =
    // 68), two low bits 2 -> three distance bytes (0 -> distance 1).
    EXPECT_EQ(Unpack(Block(69, 0xFF, std::string("Z\xFF\x06\x02\x00\x00\x00", 7))), std::string(69, 'Z'));
}

TEST(ArchiveUnpack, NullDestinationOnlyTellsTheSize) {
    std::string block = Block(1234, 0x00, "junk");
    EXPECT_EQ(UnpackArchiveData(block.data(), nullptr), 1234u);
}

TEST(ArchiveUnpack, WriterPackedDataRoundTrips) {
    std::string data;
    for (int i = 0; i < 70000; ++i) data += static_cast<char>((static_cast<unsigned>(i) * i) % 7 + (i / 5000));
    data += std::string(9000, 'q');  // longer than one copy can take
    EXPECT_EQ(Unpack(archivetest::PackData(data)), data);
    EXPECT_EQ(Unpack(archivetest::PackData(data, 'q')), data);
}

struct BadStream {
    const char* what;
    std::string block;
    uint64_t available;  // 0: the block's size
};

TEST(ArchiveUnpack, MalformedStreamsAreRefused) {
    const BadStream cases[] = {
        {"distance before the output's start", Block(6, 0xF0, std::string("AB\xF0\x00\x05", 5)), 0},
        {"code with both low bits set", Block(8, 0xF0, std::string("AAAA\xF0\x03\x00\x00\x00", 9)), 0},
        {"copy past the unpacked size", Block(5, 0xF0, std::string("A\xF0\x28\x00", 4)), 0},
        {"literal past the unpacked size", Block(1, 0xF0, "AB"), 0},
        {"output shorter than the unpacked size", Block(4, 0xF0, "AB"), 0},
        {"escape at the end", Block(2, 0xF0, "A\xF0"), 0},
        {"missing extra length byte", Block(40, 0xF0, std::string("A\xF0\x04", 3)), 0},
        {"missing distance bytes", Block(10, 0xF0, std::string("A\xF0\x2A\x00", 4)), 0},
        {"packed size beyond the input", Block(10, 0xF0, std::string("A\xF0\x28\x00", 4)), 8},
        {"packed size below the header", std::string("\x01\0\0\0\x04\0\0\0\xF0", 9), 0},
    };
    for (const BadStream& c : cases) {
        uint64_t available = c.available ? c.available : c.block.size();
        uint32_t size = UnpackArchiveData(c.block.data(), nullptr);
        std::vector<uint8_t> out(size);
        EXPECT_EQ(UnpackArchiveDataBounded(reinterpret_cast<const uint8_t*>(c.block.data()), available, out.data(), size),
                  -1)
            << c.what;
    }
    // The unbounded routine refuses by its own header: 0, nothing past the end.
    std::string bad = Block(6, 0xF0, std::string("AB\xF0\x00\x05", 5));
    std::vector<uint8_t> out(6);
    EXPECT_EQ(UnpackArchiveData(bad.data(), out.data()), 0u);
}

}  // namespace
