// The archive key: the process-wide key text, the 12-byte key made from it
// at each open, and the keyed XOR by file position. The key is built at run
// time so that no copy of it stands in the program.
#include <cstring>

#include "framework/archive/archive_reader.h"
#include "framework/archive/archive_reader_parts.h"

ArchiveKeyTextState ArchiveKeyText = {};

namespace {

// Fill of the key when there is no key text, and the fallback key's byte.
constexpr uint8_t NoTextFillByte = 0x6B;
constexpr uint8_t FallbackKeyByte = 0x2D;
// The constants of the per-byte transform.
constexpr uint8_t C2 = 0x8E;
constexpr uint8_t C5 = 0x47;
constexpr uint8_t C9 = 0xD3;
constexpr uint8_t C10 = 0x19;
constexpr uint8_t C11 = 0xB5;

uint8_t RotateLeft(uint8_t value, int count) {
    return static_cast<uint8_t>((value << count) | (value >> (8 - count)));
}
uint8_t RotateRight(uint8_t value, int count) { return RotateLeft(value, 8 - count); }

}  // namespace

int SetArchiveKeyText(const char* text) {
    if (text == nullptr) {
        ArchiveKeyText.isSet = 0;
        return 0;
    }
    size_t length = strnlen(text, ArchiveKeySize);
    std::memcpy(ArchiveKeyText.text, text, length);
    ArchiveKeyText.text[length] = '\0';
    ArchiveKeyText.isSet = 1;
    return 0;
}

void MakeFallbackArchiveKey(uint8_t key[ArchiveKeySize]) {
    std::memset(key, FallbackKeyByte, ArchiveKeySize);
}

void DeriveArchiveKey(const char* keyText, uint8_t key[ArchiveKeySize]) {
    // An empty text could never fill the key by repetition; it counts as no
    // key text.
    size_t length = keyText == nullptr ? 0 : strnlen(keyText, ArchiveKeySize + 1);
    if (length == 0) {
        std::memset(key, NoTextFillByte, ArchiveKeySize);
    } else {
        for (int i = 0; i < ArchiveKeySize; ++i) key[i] = static_cast<uint8_t>(keyText[i % length]);
    }
    key[0] = static_cast<uint8_t>(~key[0]);
    key[1] = RotateLeft(key[1], 4);
    key[2] ^= C2;
    key[3] = static_cast<uint8_t>(~RotateLeft(key[3], 4));
    key[4] = static_cast<uint8_t>(~key[4]);
    key[5] ^= C5;
    key[6] = static_cast<uint8_t>(~key[6]);
    key[7] = static_cast<uint8_t>(~RotateRight(key[7], 3));
    key[8] = RotateLeft(key[8], 3);
    key[9] ^= C9;
    key[10] = static_cast<uint8_t>(RotateLeft(key[10], 4) ^ C10);
    key[11] ^= C11;
}

void XorWithArchiveKey(uint32_t count, void* buffer, uint32_t filePosition,
                       const uint8_t key[ArchiveKeySize]) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    uint32_t keyIndex = filePosition % ArchiveKeySize;
    uint32_t done = 0;
    // Single bytes until the key comes round to its start, then whole key
    // lengths as three words, then the tail.
    while (done < count && keyIndex != 0) {
        bytes[done++] ^= key[keyIndex];
        keyIndex = (keyIndex + 1) % ArchiveKeySize;
    }
    uint32_t keyWords[3];
    std::memcpy(keyWords, key, sizeof(keyWords));
    while (count - done >= ArchiveKeySize) {
        uint32_t words[3];
        std::memcpy(words, bytes + done, sizeof(words));
        words[0] ^= keyWords[0];
        words[1] ^= keyWords[1];
        words[2] ^= keyWords[2];
        std::memcpy(bytes + done, words, sizeof(words));
        done += ArchiveKeySize;
    }
    for (uint32_t i = 0; done < count; ++i) bytes[done++] ^= key[i];
}
