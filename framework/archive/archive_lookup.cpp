// Finding folders and files inside an archive by path: search forms, entering
// a folder, walking a path, and looking a file up. Names match without regard
// to the case of a to z; Shift-JIS two-byte characters match exactly.
#include <cstring>

#include "framework/archive/archive_reader.h"
#include "framework/archive/archive_reader_parts.h"
#include "framework/base/base_functions.h"

namespace {

bool IsSeparator(uint8_t byte) { return byte == '\\' || byte == '/'; }

bool HasSeparator(const char* path) {
    return FindCharInMultiByteString(path, '\\') != nullptr || FindCharInMultiByteString(path, '/') != nullptr;
}

void CopySearchName(ArchiveSearchName* out, const ArchiveSearchName& name) {
    if (out != nullptr) std::memcpy(out, &name, sizeof(name));
}

const ArchiveDirectoryRecord* RootDirectory(const ArchiveRecord* record) {
    return reinterpret_cast<const ArchiveDirectoryRecord*>(record->directoryTable);
}

// The walk of ChangeArchiveDirectory over a path with separators. On failure
// `failedElement` points at the element that could not be entered.
int WalkArchivePath(ArchiveRecord* record, const char* path, int restore, ArchiveSearchName* nameOut,
                    const char** failedElement) {
    const ArchiveDirectoryRecord* remembered = record->currentDirectory;
    ArchiveSearchName name;
    const char* element = path;
    for (;;) {
        int length = 0;
        int built = MakeArchiveSearchName(element, &name, &length);
        if (built == 0 && length == 0) {
            record->currentDirectory = RootDirectory(record);
        } else if (built != 0 || EnterArchiveDirectory(record, &name) != 0) {
            if (restore == 1) record->currentDirectory = remembered;
            CopySearchName(nameOut, name);
            if (failedElement != nullptr) *failedElement = element;
            return -1;
        }
        element += length;
        if (*element == '\0' || element[1] == '\0') break;
        ++element;
    }
    CopySearchName(nameOut, name);
    return 0;
}

// True when nothing but one separator follows the element at `element`.
bool IsLastElement(const char* element) {
    ArchiveSearchName scratch;
    int length = 0;
    MakeArchiveSearchName(element, &scratch, &length);
    const char* rest = element + length;
    return *rest == '\0' || rest[1] == '\0';
}

}  // namespace

int MakeArchiveSearchName(const char* element, ArchiveSearchName* out, int* lengthOut) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(element);
    uint32_t length = 0;
    uint16_t parity = 0;
    while (bytes[length] != 0 && !IsSeparator(bytes[length])) {
        // A lead byte takes its trail byte along (which may look like a
        // backslash); a lead byte at the very end stands alone.
        uint32_t width = IsShiftJisLeadByte(bytes[length]) && bytes[length + 1] != 0 ? 2 : 1;
        // At least one zero byte must follow the name inside the form.
        if (length + width >= ArchiveSearchFormSize) {
            out->unitCount = 0;
            out->parity = 0;
            if (lengthOut != nullptr) *lengthOut = static_cast<int>(length);
            return -1;
        }
        for (uint32_t i = 0; i < width; ++i) {
            uint8_t byte = bytes[length];
            if (width == 1 && byte >= 'a' && byte <= 'z') byte = static_cast<uint8_t>(byte - 'a' + 'A');
            out->searchForm[length++] = byte;
            parity = static_cast<uint16_t>(parity + byte);
        }
    }
    uint32_t units = (length + 4) / 4;
    std::memset(out->searchForm + length, 0, units * 4 - length);
    out->parity = parity;
    out->unitCount = static_cast<uint16_t>(units);
    if (lengthOut != nullptr) *lengthOut = static_cast<int>(length);
    return 0;
}

int EnterArchiveDirectory(ArchiveRecord* record, const ArchiveSearchName* name) {
    if (record->tableBlock == nullptr) return -1;
    const ArchiveFileEntry* entry = FindArchiveEntryByName(record, name, true);
    if (entry == nullptr) return -1;
    const ArchiveDirectoryRecord* directory = ArchiveDirectoryAt(record, entry->dataOffset);
    if (directory == nullptr) return -1;
    record->currentDirectory = directory;
    return 0;
}

int ChangeArchiveDirectory(ArchiveRecord* record, const char* path, int restore,
                           ArchiveSearchName* nameOut) {
    WaitForWholeArchiveRead(record);
    if (record->tableBlock == nullptr) return -1;
    if (std::strcmp(path, ".") == 0) return 0;
    if (std::strcmp(path, "\\") == 0 || std::strcmp(path, "/") == 0) {
        record->currentDirectory = RootDirectory(record);
        return 0;
    }
    if (std::strcmp(path, "..") == 0) {
        // A parent field of ArchiveNoParent lies outside every table.
        if (IsArchiveRoot(record, record->currentDirectory)) return -1;
        const ArchiveDirectoryRecord* directory = ArchiveDirectoryAt(record, record->currentDirectory->parentOffset);
        if (directory == nullptr) return -1;
        record->currentDirectory = directory;
        return 0;
    }
    if (!HasSeparator(path)) {
        ArchiveSearchName name;
        int result = MakeArchiveSearchName(path, &name, nullptr);
        if (result == 0) result = EnterArchiveDirectory(record, &name);
        CopySearchName(nameOut, name);
        return result;
    }
    return WalkArchivePath(record, path, restore, nameOut, nullptr);
}

const ArchiveFileEntry* FindArchiveFileEntry(ArchiveRecord* record, const char* path) {
    WaitForWholeArchiveRead(record);
    if (record->tableBlock == nullptr) return nullptr;
    const ArchiveDirectoryRecord* remembered = record->currentDirectory;
    const ArchiveFileEntry* entry = nullptr;
    ArchiveSearchName name;
    if (!HasSeparator(path)) {
        if (MakeArchiveSearchName(path, &name, nullptr) == 0) entry = FindArchiveEntryByName(record, &name, false);
    } else {
        const char* failedElement = nullptr;
        // Only the path's last element may name the file: a walk that stops
        // at a folder in the middle of the path finds nothing.
        if (WalkArchivePath(record, path, 0, &name, &failedElement) != 0 && name.unitCount != 0 &&
            IsLastElement(failedElement))
            entry = FindArchiveEntryByName(record, &name, false);
    }
    record->currentDirectory = remembered;
    return entry;
}

int FindArchiveEntryData(ArchiveRecord* record, const char* path, uint32_t* dataOffsetOut,
                         uint32_t* sizeOut) {
    const ArchiveFileEntry* entry = FindArchiveFileEntry(record, path);
    if (entry == nullptr || ArchiveEntryStoredLength(record, entry) < 0) return -1;
    if (dataOffsetOut != nullptr) *dataOffsetOut = record->header.dataAreaOffset + entry->dataOffset;
    if (sizeOut != nullptr) *sizeOut = entry->size;
    return 0;
}
