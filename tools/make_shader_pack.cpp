// Writes the framework's shader pack: "KilnShaderPack.bin" (a vertex and a
// pixel directory of 16-bit byte-code sizes, then the byte code) packed into
// a keyed archive, the archive packed again, and the result written as a C++
// source file that defines the block and its size.
//
// The pack holds the two shaders the framework makes to see whether a device
// takes programmable shaders: a shader model 2.0 vertex shader that passes
// the position through, and a pixel shader that outputs constant register 0.
// Their byte code is written here token by token.
//
// Usage: kiln_make_shader_pack <output .cpp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/archive_writer.h"

namespace {

constexpr int kVertexRecords = 16384;
constexpr int kPixelRecords = 4608;
constexpr int kEntries = 6;
constexpr int kVertexShaderRecord = 5462;
constexpr int kVertexShaderEntry = 2;
constexpr int kPixelShaderRecord = 409;
constexpr int kPixelShaderEntry = 0;

// Tokens of the byte code.
constexpr uint32_t kVertexShader20 = 0xFFFE0200u;
constexpr uint32_t kPixelShader20 = 0xFFFF0200u;
constexpr uint32_t kEnd = 0x0000FFFFu;
constexpr uint32_t kParameter = 0x80000000u;

// An instruction with its opcode and the number of tokens that follow it.
constexpr uint32_t Instruction(uint32_t opcode, uint32_t length) { return opcode | length << 24; }
constexpr uint32_t kMov = 1;
constexpr uint32_t kDcl = 31;

// Register types: the low three bits in bits 28 to 30, the high two in bits
// 11 and 12.
constexpr uint32_t RegisterType(uint32_t type) { return (type & 7u) << 28 | (type >> 3) << 11; }
constexpr uint32_t kInput = 1;
constexpr uint32_t kConstant = 2;
constexpr uint32_t kRasterOut = 4;
constexpr uint32_t kColorOut = 8;

constexpr uint32_t kWriteAll = 0xFu << 16;       // destination mask .xyzw
constexpr uint32_t kNoSwizzle = 0xE4u << 16;     // source swizzle .xyzw
constexpr uint32_t Destination(uint32_t type, uint32_t number) {
    return kParameter | RegisterType(type) | kWriteAll | number;
}
constexpr uint32_t Source(uint32_t type, uint32_t number) { return kParameter | RegisterType(type) | kNoSwizzle | number; }

// vs_2_0: dcl_position v0; mov oPos, v0
const std::vector<uint32_t> kVertexCode = {
    kVertexShader20,
    Instruction(kDcl, 2), kParameter | 0u /* usage position, index 0 */, Destination(kInput, 0),
    Instruction(kMov, 2), Destination(kRasterOut, 0), Source(kInput, 0),
    kEnd,
};

// ps_2_0: mov oC0, c0
const std::vector<uint32_t> kPixelCode = {
    kPixelShader20,
    Instruction(kMov, 2), Destination(kColorOut, 0), Source(kConstant, 0),
    kEnd,
};

void PutSize(std::string& pack, size_t at, size_t bytes) {
    pack[at] = static_cast<char>(bytes & 0xFF);
    pack[at + 1] = static_cast<char>(bytes >> 8);
}

void PutCode(std::string& pack, const std::vector<uint32_t>& code) {
    for (uint32_t token : code) {
        for (int shift = 0; shift < 32; shift += 8) pack.push_back(static_cast<char>(token >> shift & 0xFF));
    }
}

std::string MakePack() {
    const size_t pixelDirectory = size_t{kVertexRecords} * kEntries * 2;
    const size_t codeStart = pixelDirectory + size_t{kPixelRecords} * kEntries * 2;
    std::string pack(codeStart, '\0');
    // Byte code follows in directory order: vertex records first.
    PutSize(pack, (size_t{kVertexShaderRecord} * kEntries + kVertexShaderEntry) * 2, kVertexCode.size() * 4);
    PutSize(pack, pixelDirectory + (size_t{kPixelShaderRecord} * kEntries + kPixelShaderEntry) * 2,
            kPixelCode.size() * 4);
    PutCode(pack, kVertexCode);
    PutCode(pack, kPixelCode);
    return pack;
}

bool WriteSource(const std::string& path, const std::string& block) {
    std::string text =
        "// Written by kiln_make_shader_pack: the shader pack archive, packed.\n"
        "#include <cstdint>\n\n"
        "extern const unsigned char KilnShaderPackArchiveBlock[];\n"
        "extern const uint32_t KilnShaderPackArchiveBlockSize;\n\n"
        "alignas(16) const unsigned char KilnShaderPackArchiveBlock[] = {";
    char number[8];
    for (size_t i = 0; i < block.size(); ++i) {
        if (i % 16 == 0) text += "\n   ";
        std::snprintf(number, sizeof(number), " %u,", static_cast<unsigned>(static_cast<uint8_t>(block[i])));
        text += number;
    }
    text += "\n};\nconst uint32_t KilnShaderPackArchiveBlockSize = " + std::to_string(block.size()) + ";\n";
    return archivetest::WriteHostFile(path, text);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output .cpp>\n", argv[0]);
        return 2;
    }
    archivetest::ArchiveWriter writer;
    writer.AddFile("KilnShaderPack.bin", MakePack(), true);
    // Keyed with the key of no key text, as the framework opens it.
    const std::string block = archivetest::PackData(writer.Build(nullptr));
    if (!WriteSource(argv[1], block)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
