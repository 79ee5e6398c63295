// Listing a folder of an archive into FileInfoRecords: "." first, ".." in
// every folder but the root, then the folder's entries in table order, each
// tested against an upper-cased wildcard pattern.
#include <cstring>

#include "framework/archive/archive_reader.h"
#include "framework/archive/archive_reader_parts.h"
#include "framework/base/base_functions.h"
#include "framework/base/format_text.h"
#include "framework/base/tracked_memory.h"

namespace {

bool IsSplitPoint(uint8_t byte) { return byte == '\\' || byte == '/' || byte == ':'; }

// Copies `length` bytes and a zero into a buffer of ArchivePatternLength + 1.
int CopyPart(char* out, const char* start, size_t length) {
    if (out == nullptr) return 0;
    if (length > static_cast<size_t>(ArchivePatternLength)) return -1;
    std::memcpy(out, start, length);
    out[length] = '\0';
    UpperCaseMultiByteString(out);
    return 0;
}

void FillDotRecord(FileInfoRecord* info, const char* name) {
    std::memset(info, 0, sizeof(*info));
    CopyString(info->name, name);
    info->isDirectory = 1;
}

void FillEntryRecord(const ArchiveRecord* record, const ArchiveFileEntry* entry, const uint8_t* nameRecord,
                     uint16_t units, FileInfoRecord* info) {
    // The name as written follows the search form; it is cut at the table
    // block's end and at the record's room, a cut never leaving the lead
    // byte of a two-byte character without its second byte.
    const uint8_t* written = nameRecord + 4 + uint32_t{units} * 4;
    const uint8_t* blockEnd = record->tableBlock + record->header.tableBlockSize;
    size_t length = 0;
    while (written + length < blockEnd && written[length] != 0 && length < sizeof(info->name) - 1) ++length;
    const bool ended = written + length < blockEnd && written[length] == 0;
    if (!ended) length = ShiftJisSafeLength(reinterpret_cast<const char*>(written), length);
    std::memcpy(info->name, written, length);
    info->name[length] = '\0';
    info->isDirectory = (entry->attributes & ArchiveDirectoryAttribute) ? 1 : 0;
    info->sizeLow = entry->size;
    info->sizeHigh = 0;
    FILETIME creation = entry->creationTime;
    FILETIME lastWrite = entry->lastWriteTime;
    FileTimeToDateRecord(&creation, &info->creationTime);
    FileTimeToDateRecord(&lastWrite, &info->lastWriteTime);
}

// The last backslash, slash or colon of the path (the second byte of a
// two-byte character is never one), or null.
const char* FindSplitPoint(const char* path) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(path);
    const uint8_t* split = nullptr;
    for (const uint8_t* p = bytes; *p != 0; ++p) {
        if (IsShiftJisLeadByte(*p) && p[1] != 0) {
            ++p;
        } else if (IsSplitPoint(*p)) {
            split = p;
        }
    }
    return reinterpret_cast<const char*>(split);
}

}  // namespace

int SplitDirectoryAndName(const char* path, char* nameOut, char* directoryOut) {
    const char* split = FindSplitPoint(path);
    if (split == nullptr) {
        if (CopyPart(nameOut, path, std::strlen(path)) != 0) return -1;
        return CopyPart(directoryOut, path, 0);
    }
    const char* name = split + 1;
    if (CopyPart(nameOut, name, std::strlen(name)) != 0) return -1;
    return CopyPart(directoryOut, path, static_cast<size_t>(split - path));
}

uintptr_t FindFirstInArchive(ArchiveRecord* record, const char* path, FileInfoRecord* info) {
    WaitForWholeArchiveRead(record);
    if (record->tableBlock == nullptr) return InvalidFindHandle;
    auto* state = static_cast<ArchiveFindState*>(AllocZeroedMemory(sizeof(ArchiveFindState), __FILE__, __LINE__));
    if (state == nullptr) return InvalidFindHandle;
    state->archive = record;
    state->directory = record->currentDirectory;
    // Only the pattern has a limit: the folder part may be as long as a
    // lookup's path may be.
    const char* split = FindSplitPoint(path);
    const char* pattern = split == nullptr ? path : split + 1;
    if (CopyPart(state->pattern, pattern, std::strlen(pattern)) != 0) {
        FreeMemory(state);
        return InvalidFindHandle;
    }
    const size_t directoryLength = split == nullptr ? 0 : static_cast<size_t>(split - path);
    if (directoryLength > 0) {
        char* directory = static_cast<char*>(AllocMemory(static_cast<uint32_t>(directoryLength + 1), __FILE__, __LINE__));
        if (directory == nullptr) {
            FreeMemory(state);
            return InvalidFindHandle;
        }
        std::memcpy(directory, path, directoryLength);
        directory[directoryLength] = '\0';
        UpperCaseMultiByteString(directory);
        const ArchiveDirectoryRecord* remembered = record->currentDirectory;
        int walked = ChangeArchiveDirectory(record, directory, 0, nullptr);
        FreeMemory(directory);
        state->directory = record->currentDirectory;
        record->currentDirectory = remembered;
        if (walked != 0) {
            FreeMemory(state);
            return InvalidFindHandle;
        }
    }
    state->index = 0;
    if (NextArchiveFindEntry(state, info) != 0) {
        FreeMemory(state);
        return InvalidFindHandle;
    }
    state->index++;
    return reinterpret_cast<uintptr_t>(state);
}

int NextArchiveFindEntry(ArchiveFindState* state, FileInfoRecord* info) {
    const ArchiveRecord* record = state->archive;
    const ArchiveDirectoryRecord* directory = state->directory;
    int32_t dots = IsArchiveRoot(record, directory) ? 1 : 2;
    int32_t count = ArchiveDirectoryEntryCount(record, directory);
    if (count < 0) return -1;
    int64_t positions = int64_t{dots} + count;
    for (int64_t position = state->index < 0 ? 0 : state->index; position < positions; ++position) {
        if (position < dots) {
            const char* name = position == 0 ? "." : "..";
            if (MatchWildcardName(name, state->pattern) != 0) continue;
            state->index = static_cast<int32_t>(position);
            if (info != nullptr) FillDotRecord(info, name);
            return 0;
        }
        const ArchiveFileEntry* entry = ArchiveDirectoryEntry(record, directory, static_cast<int32_t>(position - dots));
        uint16_t units;
        uint16_t parity;
        const uint8_t* nameRecord = ArchiveEntryName(record, entry, &units, &parity);
        if (nameRecord == nullptr) continue;
        // The search form as a string, cut to the room of a search name.
        char form[ArchiveSearchFormSize + 1];
        size_t formLength = uint32_t{units} * 4 < ArchiveSearchFormSize ? uint32_t{units} * 4 : ArchiveSearchFormSize;
        std::memcpy(form, nameRecord + 4, formLength);
        form[formLength] = '\0';
        if (MatchWildcardName(form, state->pattern) != 0) continue;
        state->index = static_cast<int32_t>(position);
        if (info != nullptr) FillEntryRecord(record, entry, nameRecord, units, info);
        return 0;
    }
    state->index = static_cast<int32_t>(positions);
    return -1;
}
