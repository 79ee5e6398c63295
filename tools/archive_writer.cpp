// The archive writer of the tools and the tests. Layout: the 24-byte
// header, the data area (every file's bytes, stored or packed, one after
// another), then the table block: name records, file entries (each folder's
// entries together, folders in breadth-first order) and directory records
// (the root first).
#include "tools/archive_writer.h"

#include <cstdio>
#include <cstring>

namespace archivetest {
namespace {

// The format's fixed values; the reader must agree with them.
constexpr uint8_t kNoTextFill = 0x6B;
constexpr uint8_t kFallbackByte = 0x2D;
constexpr uint8_t kXor2 = 0x8E, kXor5 = 0x47, kXor9 = 0xD3, kXor10 = 0x19, kXor11 = 0xB5;

uint8_t Rol(uint8_t v, int n) { return static_cast<uint8_t>((v << n) | (v >> (8 - n))); }
uint8_t Ror(uint8_t v, int n) { return static_cast<uint8_t>((v >> n) | (v << (8 - n))); }

bool IsLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void Put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Set32(std::string& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i < path.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(path[i]);
        if (IsLead(b) && i + 1 < path.size()) {
            part += path.substr(i, 2);
            ++i;
        } else if (b == '\\' || b == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part.push_back(static_cast<char>(b));
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// A name record: unit count, parity, upper-cased search form padded with 1 to
// 4 zero bytes, then the name as written and a zero.
std::string NameRecord(const std::string& name) {
    std::string form;
    for (size_t i = 0; i < name.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(name[i]);
        if (IsLead(b) && i + 1 < name.size()) {
            form += name.substr(i, 2);
            ++i;
        } else {
            form.push_back(static_cast<char>(b >= 'a' && b <= 'z' ? b - 32 : b));
        }
    }
    uint16_t units = static_cast<uint16_t>((form.size() + 4) / 4);
    uint16_t parity = 0;
    for (char c : form) parity = static_cast<uint16_t>(parity + static_cast<uint8_t>(c));
    form.resize(units * 4u, '\0');
    std::string record;
    Put16(record, units);
    Put16(record, parity);
    record += form;
    record += name;
    record.push_back('\0');
    return record;
}

void PutCopy(std::string& out, uint8_t escape, uint32_t length, uint32_t distance) {
    uint32_t lengthCode = length - 4;
    uint32_t d = distance - 1;
    uint32_t distanceBytes = d < 0x100 ? 1 : d < 0x10000 ? 2 : 3;
    bool extended = lengthCode >= 32;
    uint32_t value = ((lengthCode & 31) << 3) | (extended ? 4 : 0) | (distanceBytes - 1);
    out.push_back(static_cast<char>(escape));
    out.push_back(static_cast<char>(value < escape ? value : value + 1));
    if (extended) out.push_back(static_cast<char>(lengthCode >> 5));
    for (uint32_t i = 0; i < distanceBytes; ++i) out.push_back(static_cast<char>((d >> (8 * i)) & 0xFF));
}

}  // namespace

struct ArchiveWriter::Node {
    std::string name;
    bool folder = true;
    const ArchiveWriterFile* file = nullptr;
    std::vector<Node> children;

    Node& Folder(const std::string& childName) {
        for (Node& child : children)
            if (child.folder && child.name == childName) return child;
        children.push_back(Node{childName, true, nullptr, {}});
        return children.back();
    }
};

ArchiveKey KeyFromText(const char* keyText) {
    ArchiveKey key;
    size_t length = keyText == nullptr ? 0 : std::strlen(keyText);
    for (size_t i = 0; i < 12; ++i)
        key[i] = length == 0 ? kNoTextFill : static_cast<uint8_t>(keyText[i % (length > 12 ? 12 : length)]);
    key[0] = static_cast<uint8_t>(~key[0]);
    key[1] = Rol(key[1], 4);
    key[2] ^= kXor2;
    key[3] = static_cast<uint8_t>(~Rol(key[3], 4));
    key[4] = static_cast<uint8_t>(~key[4]);
    key[5] ^= kXor5;
    key[6] = static_cast<uint8_t>(~key[6]);
    key[7] = static_cast<uint8_t>(~Ror(key[7], 3));
    key[8] = Rol(key[8], 3);
    key[9] ^= kXor9;
    key[10] = static_cast<uint8_t>(Rol(key[10], 4) ^ kXor10);
    key[11] ^= kXor11;
    return key;
}

ArchiveKey FallbackKey() {
    ArchiveKey key;
    key.fill(kFallbackByte);
    return key;
}

void ApplyKey(std::string& bytes, const ArchiveKey& key, uint32_t position) {
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<uint8_t>(bytes[i]) ^ key[(position + i) % 12]);
}

std::string PackData(const std::string& data) {
    size_t counts[256] = {};
    for (char c : data) counts[static_cast<uint8_t>(c)]++;
    int escape = 0;
    for (int b = 1; b < 256; ++b)
        if (counts[b] < counts[escape]) escape = b;
    return PackData(data, static_cast<uint8_t>(escape));
}

std::string PackData(const std::string& data, uint8_t escape) {
    constexpr uint32_t kMaxLength = 8195;
    constexpr uint32_t kMaxDistance = 1u << 24;
    constexpr int kChainTries = 32;
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    const size_t size = data.size();
    std::vector<int64_t> head(1 << 16, -1);
    std::vector<int64_t> previous(size, -1);
    auto hash = [&](size_t i) {
        uint32_t v;
        std::memcpy(&v, bytes + i, 4);
        return (v * 2654435761u) >> 16;
    };
    auto insert = [&](size_t i) {
        if (i + 4 > size) return;
        uint32_t h = hash(i);
        previous[i] = head[h];
        head[h] = static_cast<int64_t>(i);
    };

    std::string out;
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, 0);
    out.push_back(static_cast<char>(escape));
    size_t i = 0;
    while (i < size) {
        uint32_t bestLength = 0;
        uint32_t bestDistance = 0;
        if (i + 4 <= size) {
            int64_t candidate = head[hash(i)];
            for (int tries = 0; candidate >= 0 && tries < kChainTries; ++tries, candidate = previous[candidate]) {
                size_t distance = i - static_cast<size_t>(candidate);
                if (distance > kMaxDistance) break;
                uint32_t length = 0;
                while (i + length < size && length < kMaxLength && bytes[candidate + length] == bytes[i + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = static_cast<uint32_t>(distance);
                }
            }
        }
        if (bestLength >= 4) {
            PutCopy(out, escape, bestLength, bestDistance);
            for (uint32_t k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            out.push_back(static_cast<char>(bytes[i]));
            if (bytes[i] == escape) out.push_back(static_cast<char>(escape));
            insert(i);
            ++i;
        }
    }
    Set32(out, 4, static_cast<uint32_t>(out.size()));
    return out;
}

void ArchiveWriter::AddFolder(const std::string& path) { folders_.push_back(path); }

void ArchiveWriter::AddFile(const ArchiveWriterFile& file) { files_.push_back(file); }

void ArchiveWriter::AddFile(const std::string& path, const std::string& contents, bool packed) {
    ArchiveWriterFile file;
    file.path = path;
    file.contents = contents;
    file.packed = packed;
    files_.push_back(file);
}

std::string ArchiveWriter::BuildDecoded() const {
    Node root;
    for (const std::string& folder : folders_) {
        Node* node = &root;
        for (const std::string& part : SplitPath(folder)) node = &node->Folder(part);
    }
    for (const ArchiveWriterFile& file : files_) {
        std::vector<std::string> parts = SplitPath(file.path);
        Node* node = &root;
        for (size_t k = 0; k + 1 < parts.size(); ++k) node = &node->Folder(parts[k]);
        node->children.push_back(Node{parts.back(), false, &file, {}});
    }

    const bool versionPacks = version_ >= 2;
    // Folders breadth-first: their directory records and entry runs.
    std::vector<const Node*> folders{&root};
    for (size_t k = 0; k < folders.size(); ++k)
        for (const Node& child : folders[k]->children)
            if (child.folder) folders.push_back(&child);
    auto directoryOffset = [&](const Node* folder) {
        for (size_t k = 0; k < folders.size(); ++k)
            if (folders[k] == folder) return static_cast<uint32_t>(k * 16);
        return 0xFFFFFFFFu;
    };

    std::string data, names, entries, directories;
    for (size_t k = 0; k < folders.size(); ++k) {
        const Node* folder = folders[k];
        uint32_t parent = 0xFFFFFFFFu;
        for (size_t p = 0; p < k; ++p)
            for (const Node& child : folders[p]->children)
                if (&child == folder) parent = static_cast<uint32_t>(p * 16);
        Put32(directories, 0);
        Put32(directories, parent);
        Put32(directories, static_cast<uint32_t>(folder->children.size()));
        Put32(directories, static_cast<uint32_t>(entries.size()));
        for (const Node& child : folder->children) {
            Put32(entries, static_cast<uint32_t>(names.size()));
            names += NameRecord(child.name);
            const ArchiveWriterFile* file = child.file;
            Put32(entries, child.folder ? 0x10u : file->attributes);
            FILETIME none{0, 0};
            for (const FILETIME& t : {child.folder ? none : file->creationTime,
                                      child.folder ? none : file->lastAccessTime,
                                      child.folder ? none : file->lastWriteTime}) {
                Put32(entries, t.dwLowDateTime);
                Put32(entries, t.dwHighDateTime);
            }
            if (child.folder) {
                Put32(entries, directoryOffset(&child));
                Put32(entries, 0);
                if (versionPacks) Put32(entries, 0xFFFFFFFFu);
                continue;
            }
            Put32(entries, static_cast<uint32_t>(data.size()));
            Put32(entries, static_cast<uint32_t>(file->contents.size()));
            if (versionPacks && file->packed) {
                std::string packed = PackData(file->contents);
                Put32(entries, static_cast<uint32_t>(packed.size()));
                data += packed;
            } else {
                if (versionPacks) Put32(entries, 0xFFFFFFFFu);
                data += file->contents;
            }
        }
    }

    std::string archive;
    Put16(archive, 0x504B);
    Put16(archive, version_);
    uint32_t tableSize = static_cast<uint32_t>(names.size() + entries.size() + directories.size());
    Put32(archive, tableSize);
    Put32(archive, 24);
    Put32(archive, static_cast<uint32_t>(24 + data.size()));
    Put32(archive, static_cast<uint32_t>(names.size()));
    Put32(archive, static_cast<uint32_t>(names.size() + entries.size()));
    archive += data;
    archive += names;
    archive += entries;
    archive += directories;
    return archive;
}

std::string ArchiveWriter::Build(const char* keyText) const {
    std::string archive = BuildDecoded();
    ApplyKey(archive, KeyFromText(keyText));
    return archive;
}

std::string ArchiveWriter::BuildWithFallbackKey() const {
    std::string archive = BuildDecoded();
    ApplyKey(archive, FallbackKey());
    return archive;
}

bool WriteHostFile(const std::string& hostPath, const std::string& bytes) {
    FILE* file = std::fopen(hostPath.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace archivetest
