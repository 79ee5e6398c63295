// A .kpk archive writer: the shader pack tool writes the framework's shader
// pack with it, and tests make their own fixtures with it. It is written
// from the format description alone and shares no code with the reader: its
// own key derivation, its own keyed XOR and its own greedy LZ packer. Never
// shipped.
//
// Paths use backslashes or slashes; names are kept as given (Shift-JIS bytes
// in, Shift-JIS bytes out). Folders named on a file's path are made as needed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace archivetest {

using ArchiveKey = std::array<uint8_t, 12>;

// The key the format makes of a key text; null or empty means no key text.
ArchiveKey KeyFromText(const char* keyText);
// The fixed key a reader falls back to when the derived one does not decode
// the header.
ArchiveKey FallbackKey();
// XORs `bytes` as if they stood at file position `position` onwards. Its own
// inverse: it both encodes and decodes.
void ApplyKey(std::string& bytes, const ArchiveKey& key, uint32_t position = 0);

// The archive's packed form of `data` (9-byte header and tokens), with the
// escape byte chosen as the least frequent byte of `data`.
std::string PackData(const std::string& data);
// The same with a given escape byte.
std::string PackData(const std::string& data, uint8_t escape);

struct ArchiveWriterFile {
    std::string path;
    std::string contents;
    bool packed = false;
    uint32_t attributes = 0x20;
    FILETIME creationTime{0x2A6B1C00u, 0x01D5E3F1u};
    FILETIME lastAccessTime{0x2A6B1C00u, 0x01D5E3F1u};
    FILETIME lastWriteTime{0x3B7C2D00u, 0x01D5E3F2u};
};

class ArchiveWriter {
public:
    // Versions 0 and 1 store every file as it is, whatever `packed` says.
    explicit ArchiveWriter(uint16_t version = 3) : version_(version) {}

    // A folder (and the folders above it), empty unless files go in.
    void AddFolder(const std::string& path);
    void AddFile(const ArchiveWriterFile& file);
    void AddFile(const std::string& path, const std::string& contents, bool packed = false);

    // The archive's bytes as they go into the file, keyed with the key of
    // `keyText` (null: no key text).
    std::string Build(const char* keyText) const;
    // The same keyed with the fallback key.
    std::string BuildWithFallbackKey() const;
    // Unkeyed: the decoded archive, for tests that damage a field and then
    // key the result themselves with ApplyKey.
    std::string BuildDecoded() const;

private:
    struct Node;
    uint16_t version_;
    std::vector<std::string> folders_;
    std::vector<ArchiveWriterFile> files_;
};

// Writes `bytes` to the host file `hostPath`; false on failure.
bool WriteHostFile(const std::string& hostPath, const std::string& bytes);

}  // namespace archivetest
