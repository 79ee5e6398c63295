// Bounds-checked views of an archive's table block. Every directory record,
// entry run and name record is reached through these, so an offset or count
// that points outside the table block (or file data outside the archive)
// makes the lookup fail instead of reading out of bounds.
#include <cstring>

#include "framework/archive/archive_reader.h"
#include "framework/archive/archive_reader_parts.h"

namespace {

// Room in the table block behind `table`.
uint64_t BytesBehind(const ArchiveRecord* record, const uint8_t* table) {
    return record->header.tableBlockSize - static_cast<uint64_t>(table - record->tableBlock);
}

}  // namespace

uint32_t ArchiveEntrySize(const ArchiveRecord* record) {
    return record->header.version >= ArchivePackedVersion ? 44 : 40;
}

bool IsArchiveEntryPacked(const ArchiveRecord* record, const ArchiveFileEntry* entry) {
    return record->header.version >= ArchivePackedVersion && entry->packedSize != ArchiveStoredMark;
}

const ArchiveDirectoryRecord* ArchiveDirectoryAt(const ArchiveRecord* record, uint32_t offset) {
    if (uint64_t{offset} + sizeof(ArchiveDirectoryRecord) > BytesBehind(record, record->directoryTable))
        return nullptr;
    return reinterpret_cast<const ArchiveDirectoryRecord*>(record->directoryTable + offset);
}

int32_t ArchiveDirectoryEntryCount(const ArchiveRecord* record,
                                   const ArchiveDirectoryRecord* directory) {
    int32_t count = directory->entryCount;
    if (count <= 0) return 0;
    uint64_t end = uint64_t{directory->firstEntryOffset} + uint64_t(count) * ArchiveEntrySize(record);
    if (end > BytesBehind(record, record->fileTable)) return -1;
    return count;
}

const ArchiveFileEntry* ArchiveDirectoryEntry(const ArchiveRecord* record,
                                              const ArchiveDirectoryRecord* directory,
                                              int32_t index) {
    return reinterpret_cast<const ArchiveFileEntry*>(
        record->fileTable + directory->firstEntryOffset + uint64_t(index) * ArchiveEntrySize(record));
}

const uint8_t* ArchiveEntryName(const ArchiveRecord* record, const ArchiveFileEntry* entry,
                                uint16_t* unitCount, uint16_t* parity) {
    uint64_t room = record->header.tableBlockSize;
    uint64_t offset = entry->nameOffset;
    if (offset + 4 > room) return nullptr;
    const uint8_t* name = record->nameTable + offset;
    uint16_t units;
    std::memcpy(&units, name, 2);
    if (offset + 4 + uint64_t{units} * 4 > room) return nullptr;
    *unitCount = units;
    std::memcpy(parity, name + 2, 2);
    return name;
}

int ArchiveEntryNameMatches(const ArchiveRecord* record, const ArchiveFileEntry* entry,
                            const ArchiveSearchName* name) {
    if (name->unitCount == 0) return 0;
    uint16_t units;
    uint16_t parity;
    const uint8_t* stored = ArchiveEntryName(record, entry, &units, &parity);
    if (stored == nullptr || units != name->unitCount || parity != name->parity) return 0;
    return std::memcmp(stored + 4, name->searchForm, uint32_t{units} * 4) == 0;
}

const ArchiveFileEntry* FindArchiveEntryByName(const ArchiveRecord* record,
                                               const ArchiveSearchName* name, bool wantFolder) {
    const ArchiveDirectoryRecord* directory = record->currentDirectory;
    int32_t count = ArchiveDirectoryEntryCount(record, directory);
    for (int32_t i = 0; i < count; ++i) {
        const ArchiveFileEntry* entry = ArchiveDirectoryEntry(record, directory, i);
        bool isFolder = (entry->attributes & ArchiveDirectoryAttribute) != 0;
        if (isFolder == wantFolder && ArchiveEntryNameMatches(record, entry, name)) return entry;
    }
    return nullptr;
}

int64_t ArchiveEntryStoredLength(const ArchiveRecord* record, const ArchiveFileEntry* entry) {
    uint64_t length = entry->size;
    if (IsArchiveEntryPacked(record, entry)) {
        length = entry->packedSize;
        if (length < ArchivePackedHeaderSize) return -1;
    }
    uint64_t start = uint64_t{record->header.dataAreaOffset} + entry->dataOffset;
    if (start + length > record->size) return -1;
    return static_cast<int64_t>(length);
}
