// Opening an archive: the header check shared by the three ways of opening,
// and the opens from memory, from a file read whole and from a file that
// stays on disk. Every header offset is checked against the archive's size
// before anything is read through it.
#include <cstring>

#include "framework/archive/archive_reader.h"
#include "framework/archive/archive_reader_parts.h"
#include "framework/files/plain_file_stream.h"
#include "framework/base/tracked_memory.h"
#include "platform/platform.h"

int DecodeArchiveHeader(const uint8_t stored[ArchiveHeaderSize], const char* keyText,
                        uint8_t key[ArchiveKeySize], ArchiveHeader* header) {
    DeriveArchiveKey(keyText, key);
    std::memcpy(header, stored, ArchiveHeaderSize);
    XorWithArchiveKey(ArchiveHeaderSize, header, 0, key);
    if (header->magic != ArchiveMagic) {
        MakeFallbackArchiveKey(key);
        std::memcpy(header, stored, ArchiveHeaderSize);
        XorWithArchiveKey(ArchiveHeaderSize, header, 0, key);
    }
    if (header->magic != ArchiveMagic || header->version > ArchiveNewestVersion) return -1;
    return 0;
}

int CheckArchiveHeaderBounds(const ArchiveHeader& header, uint64_t size) {
    if (size < ArchiveHeaderSize) return -1;
    if (uint64_t{header.tableBlockOffset} + header.tableBlockSize > size) return -1;
    if (header.dataAreaOffset > size) return -1;
    if (header.fileTableOffset > header.tableBlockSize) return -1;
    if (uint64_t{header.directoryTableOffset} + sizeof(ArchiveDirectoryRecord) > header.tableBlockSize)
        return -1;
    return 0;
}

void SetArchiveTables(ArchiveRecord* record, uint8_t* tableBlock) {
    record->tableBlock = tableBlock;
    record->nameTable = tableBlock;
    record->fileTable = tableBlock + record->header.fileTableOffset;
    record->directoryTable = tableBlock + record->header.directoryTableOffset;
    record->currentDirectory = reinterpret_cast<const ArchiveDirectoryRecord*>(record->directoryTable);
}

int ZeroArchiveRecord(ArchiveRecord* record) {
    std::memset(record, 0, sizeof(*record));
    return 0;
}

int OpenArchiveInMemory(ArchiveRecord* record, void* image, uint32_t size, const char* keyText) {
    if (record->image != nullptr || record->file != 0) return -1;
    if (image == nullptr || size < ArchiveHeaderSize) return -1;
    auto* bytes = static_cast<uint8_t*>(image);
    uint8_t key[ArchiveKeySize];
    ArchiveHeader header;
    if (DecodeArchiveHeader(bytes, keyText, key, &header) != 0) return -1;
    if (CheckArchiveHeaderBounds(header, size) != 0) return -1;

    XorWithArchiveKey(size, bytes, 0, key);
    std::memcpy(&header, bytes, ArchiveHeaderSize);
    if (header.magic != ArchiveMagic || header.version > ArchiveNewestVersion) {
        XorWithArchiveKey(size, bytes, 0, key);
        return -1;
    }
    record->header = header;
    record->image = bytes;
    std::memcpy(record->key, key, ArchiveKeySize);
    SetArchiveTables(record, bytes + header.tableBlockOffset);
    record->heldInMemory = 1;
    record->callersImage = 1;
    record->size = size;
    return 0;
}

int ReadArchiveBytes(void* destination, uint32_t count, const uint8_t key[ArchiveKeySize],
                     uintptr_t stream) {
    if (count == 0) return 0;
    uint32_t position = static_cast<uint32_t>(Win32FileTell(stream));
    if (Win32FileReadAndWait(destination, count, 1, stream) != 1) return -1;
    XorWithArchiveKey(count, destination, position, key);
    return 0;
}

namespace {

// The archive file's size: the position at its end.
uint32_t MeasureArchiveFile(uintptr_t stream) {
    Win32FileSeek(stream, 0, 2);
    uint32_t size = static_cast<uint32_t>(Win32FileTell(stream));
    Win32FileSeek(stream, 0, 0);
    return size;
}

// Steps shared by the two file opens: the header (with the fallback key when
// the derived one does not decode it) and the table block, decoded by their
// file positions. The record receives the header, key and tables.
int ReadArchiveHeaderAndTables(ArchiveRecord* record, uintptr_t stream, uint32_t size,
                               const char* keyText) {
    if (size < ArchiveHeaderSize) return -1;
    // The stored bytes, read as they are (an all-zero key changes nothing),
    // go through the same decoding as an archive in memory.
    const uint8_t noKey[ArchiveKeySize] = {};
    uint8_t stored[ArchiveHeaderSize];
    if (ReadArchiveBytes(stored, ArchiveHeaderSize, noKey, stream) != 0) return -1;
    uint8_t key[ArchiveKeySize];
    ArchiveHeader header;
    if (DecodeArchiveHeader(stored, keyText, key, &header) != 0) return -1;
    if (CheckArchiveHeaderBounds(header, size) != 0) return -1;

    auto* tableBlock = static_cast<uint8_t*>(AllocMemory(header.tableBlockSize, __FILE__, __LINE__));
    if (tableBlock == nullptr) return -1;
    Win32FileSeek(stream, static_cast<int32_t>(header.tableBlockOffset), 0);
    if (ReadArchiveBytes(tableBlock, header.tableBlockSize, key, stream) != 0) {
        FreeMemory(tableBlock);
        return -1;
    }
    record->header = header;
    std::memcpy(record->key, key, ArchiveKeySize);
    SetArchiveTables(record, tableBlock);
    record->size = size;
    return 0;
}

void ClearArchiveTables(ArchiveRecord* record) {
    if (record->tableBlock != nullptr) FreeMemory(record->tableBlock);
    ZeroArchiveRecord(record);
}

}  // namespace

int OpenArchiveFileWhole(ArchiveRecord* record, const char* path, const char* keyText, int noWait) {
    if (record->image != nullptr || record->file != 0) return -1;
    uintptr_t stream = Win32FileOpen(path, 0, 1, 1);
    if (stream == 0) return -1;
    uint32_t size = MeasureArchiveFile(stream);
    uint8_t* image = nullptr;
    if (size >= ArchiveHeaderSize) image = static_cast<uint8_t*>(AllocMemory(size, __FILE__, __LINE__));
    if (image == nullptr || ReadArchiveHeaderAndTables(record, stream, size, keyText) != 0) {
        Win32FileClose(stream);
        if (image != nullptr) FreeMemory(image);
        ClearArchiveTables(record);
        return -1;
    }
    Win32FileSeek(stream, 0, 0);
    Win32FileRead(image, size, 1, stream);
    record->image = image;
    record->wholeReadStream = stream;
    record->wholeReadPending = 1;
    record->heldInMemory = 1;
    record->callersImage = 0;
    if (!noWait) WaitForWholeArchiveRead(record);
    return 0;
}

int OpenArchiveFileOnDisk(ArchiveRecord* record, const char* path, const char* keyText) {
    if (record->image != nullptr || record->file != 0) return -1;
    uintptr_t stream = Win32FileOpen(path, 0, 1, 1);
    if (stream == 0) return -1;
    uint32_t size = MeasureArchiveFile(stream);
    if (ReadArchiveHeaderAndTables(record, stream, size, keyText) != 0) {
        Win32FileClose(stream);
        ClearArchiveTables(record);
        return -1;
    }
    record->file = stream;
    record->heldInMemory = 0;
    record->callersImage = 0;
    return 0;
}
