// The walk over shader byte code that decides whether it is well formed.
//
// Instruction tokens have bit 31 clear, their opcode in bits 0 to 15 and,
// from shader model 2 on, the number of tokens that follow in bits 24 to 27.
// The tokens that follow (destination and source parameters) have bit 31
// set, except the constants a def, defi or defb instruction carries. Shader
// model 1 gives no length: an instruction's parameters are the tokens with
// bit 31 set that follow it, and a def carries a parameter and four values.
// A comment is opcode 0xFFFE with its length in bits 16 to 30; the end token
// is 0x0000FFFF.
#include "platform/d3d9/shader_byte_code.h"

namespace platform::d3d9 {
namespace {

constexpr DWORD kEndToken = 0x0000FFFFu;
constexpr DWORD kCommentOpcode = 0xFFFEu;
constexpr DWORD kPhaseOpcode = 0xFFFDu;  // ps_1_4 only
constexpr DWORD kDefOpcode = 81;
constexpr DWORD kDefiOpcode = 48;
constexpr DWORD kDefbOpcode = 47;
constexpr DWORD kReservedOpcode = 75;
// A bound on the walk, far above the longest shader model 3 program.
constexpr size_t kMostTokens = size_t{1} << 18;

bool IsParameter(DWORD token) { return (token & 0x80000000u) != 0; }

bool KnownOpcode(DWORD opcode, DWORD major, DWORD minor, ShaderKind kind) {
    if (opcode == kPhaseOpcode) return kind == ShaderKind::Pixel && major == 1 && minor == 4;
    if (opcode <= 48) return true;                        // nop to defi
    return opcode >= 64 && opcode <= 96 && opcode != kReservedOpcode;  // texcoord to breakp
}

bool KnownVersion(DWORD major, DWORD minor, ShaderKind kind) {
    switch (major) {
        case 1: return kind == ShaderKind::Vertex ? minor == 1 : (minor >= 1 && minor <= 4);
        case 2: return minor <= 1;  // 2.0 and 2.x
        case 3: return minor == 0;
        default: return false;
    }
}

}  // namespace

size_t ShaderTokenCount(const DWORD* code, ShaderKind kind, DWORD highestVersion) {
    if (code == nullptr) return 0;
    const DWORD kindBits = kind == ShaderKind::Vertex ? 0xFFFE0000u : 0xFFFF0000u;
    const DWORD version = code[0];
    if ((version & 0xFFFF0000u) != kindBits) return 0;
    const DWORD major = D3DSHADER_VERSION_MAJOR(version);
    const DWORD minor = D3DSHADER_VERSION_MINOR(version);
    if (!KnownVersion(major, minor, kind)) return 0;
    if ((highestVersion & 0xFFFF0000u) != kindBits || (version & 0xFFFFu) > (highestVersion & 0xFFFFu)) return 0;

    size_t at = 1;
    while (at < kMostTokens) {
        const DWORD token = code[at];
        if (token == kEndToken) return at + 1;
        if (IsParameter(token)) return 0;  // a parameter with no instruction
        const DWORD opcode = token & 0xFFFFu;
        if (opcode == kCommentOpcode) {
            at += 1 + ((token >> 16) & 0x7FFFu);
            continue;
        }
        if (!KnownOpcode(opcode, major, minor, kind)) return 0;
        const bool carriesConstants = opcode == kDefOpcode || opcode == kDefiOpcode || opcode == kDefbOpcode;
        if (major >= 2) {
            const size_t length = (token >> 24) & 0xFu;
            // The constants' instructions have fixed lengths: a destination
            // and four values, or one value for defb. Holding them to it keeps
            // the walk inside the instruction when the values cannot be told
            // from tokens.
            if (carriesConstants && length != (opcode == kDefbOpcode ? 2u : 5u)) return 0;
            for (size_t i = 1; i <= length; ++i) {
                // A def's first token is its destination; the rest are values.
                if ((!carriesConstants || i == 1) && !IsParameter(code[at + i])) return 0;
            }
            at += 1 + length;
        } else if (carriesConstants) {
            if (!IsParameter(code[at + 1])) return 0;
            at += 6;
        } else {
            ++at;
            while (at < kMostTokens && IsParameter(code[at])) ++at;
        }
    }
    return 0;
}

}  // namespace platform::d3d9
