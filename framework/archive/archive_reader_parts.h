// Internal to framework/archive (and its tests): nothing outside the folder includes it.
// What the archive reader's own files share: the fallback key, the header
// checks, waiting for a whole-file read, and the bounds-checked views of the
// table block through which every directory, entry and name is reached.
#pragma once

#include <cstdint>

#include "framework/archive/archive_reader.h"

void MakeFallbackArchiveKey(uint8_t key[ArchiveKeySize]);

// Decodes the 24 stored header bytes with the key of `keyText`, then with the
// fallback key; the key that gave "KP" goes to `key`. -1 when neither does or
// the version is too new.
int DecodeArchiveHeader(const uint8_t stored[ArchiveHeaderSize], const char* keyText,
                        uint8_t key[ArchiveKeySize], ArchiveHeader* header);
// -1 unless the table block lies inside an archive of `size` bytes, the data
// area starts inside it and the root directory record lies in the block.
int CheckArchiveHeaderBounds(const ArchiveHeader& header, uint64_t size);
// Points the table pointers into `tableBlock` and makes the root current.
void SetArchiveTables(ArchiveRecord* record, uint8_t* tableBlock);

// Completes a finished whole-file read; 1 when none is pending any more.
int CompleteWholeArchiveRead(ArchiveRecord* record);
// Waits for and completes a pending whole-file read.
void WaitForWholeArchiveRead(ArchiveRecord* record);

// The directory record at `offset` in the directory table, or null when it
// does not lie wholly inside the table block.
const ArchiveDirectoryRecord* ArchiveDirectoryAt(const ArchiveRecord* record, uint32_t offset);
// The root is the first directory record, whatever its parent field says.
inline bool IsArchiveRoot(const ArchiveRecord* record, const ArchiveDirectoryRecord* directory) {
    return reinterpret_cast<const uint8_t*>(directory) == record->directoryTable;
}
// The number of entries of `directory` that may be read: 0 when it is empty,
// -1 when its entries run outside the table block.
int32_t ArchiveDirectoryEntryCount(const ArchiveRecord* record,
                                   const ArchiveDirectoryRecord* directory);
// Entry `index` of a directory whose count ArchiveDirectoryEntryCount passed.
const ArchiveFileEntry* ArchiveDirectoryEntry(const ArchiveRecord* record,
                                              const ArchiveDirectoryRecord* directory,
                                              int32_t index);
uint32_t ArchiveEntrySize(const ArchiveRecord* record);
bool IsArchiveEntryPacked(const ArchiveRecord* record, const ArchiveFileEntry* entry);
// The name record of an entry, when its fixed part and search form lie in
// the table block: its unit count and search form go out.
const uint8_t* ArchiveEntryName(const ArchiveRecord* record, const ArchiveFileEntry* entry,
                                uint16_t* unitCount, uint16_t* parity);
// 1 when the entry's name record equals the search form.
int ArchiveEntryNameMatches(const ArchiveRecord* record, const ArchiveFileEntry* entry,
                            const ArchiveSearchName* name);
// The first entry of the current directory, in table order, with (wantFolder
// true) or without the folder attribute whose name equals `name`; or null.
const ArchiveFileEntry* FindArchiveEntryByName(const ArchiveRecord* record,
                                               const ArchiveSearchName* name, bool wantFolder);
// The number of bytes the entry keeps in the data area (its packed size when
// packed), or -1 when they do not lie inside the archive.
int64_t ArchiveEntryStoredLength(const ArchiveRecord* record, const ArchiveFileEntry* entry);
