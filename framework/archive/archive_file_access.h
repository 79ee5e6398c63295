// The archive-aware file access: the default set of the file-access table.
// Every file opened by path is looked for first inside a .kpk archive that
// stands on its path (DATA\IMG\A.PNG is read from DATA.KPK as IMG\A.PNG when
// DATA.KPK lies beside the folder DATA); only where no archive stands is the
// plain file opened through the plain file stream. Archives found on paths
// stay open in a cache with use counts, so the many files of one archive cost
// one open and one table read; the last archive found is remembered, so a
// path under its folder skips the search; and the places where no archive
// stands are remembered for as long as their folders stay unchanged.
//
// File handles are an open-file slot with the top four bits set; a handle
// without them, or with a slot out of range or empty, is refused. Find
// handles are the address of the listing's record. Paths whose full form
// does not fit ArchivePathBufferSize bytes are refused.
#pragma once

#include <cstdint>

#include "framework/archive/archive_reader.h"
#include "framework/files/file_access_table.h"
#include "framework/files/plain_directory.h"

// Full paths, folder paths and archive paths, terminator included.
constexpr int ArchivePathBufferSize = 256;
constexpr int ArchiveCacheSize = 512;
constexpr int ArchiveOpenFileLimit = 512;
constexpr uintptr_t ArcFileHandleMarker = 0xF0000000;
constexpr uintptr_t ArcFileHandleSlotMask = 0x0FFFFFFF;

// One archive of the cache, opened on disk.
struct ArchiveCacheEntry {
    int32_t useCount;
    ArchiveRecord record;
    char path[ArchivePathBufferSize];  // as it was looked for (full, upper-cased)
};

// 512 slots, each null or an entry, and the count of entries in use.
struct ArchiveCacheState {
    ArchiveCacheEntry* slots[ArchiveCacheSize];
    int32_t entriesInUse;
};
extern ArchiveCacheState ArchiveCache;

// One file open through this set.
struct ArcStreamRecord {
    int32_t inArchive;  // 0 plain file, 1 file inside an archive
    uintptr_t plainStream;
    int32_t cacheSlot;
    ArchiveFileStream archiveStream;
};

struct ArcOpenFileTable {
    ArcStreamRecord* slots[ArchiveOpenFileLimit];
    int32_t filesOpen;
};
extern ArcOpenFileTable ArcOpenFiles;

// One listing; its address is the find handle.
struct ArcFindRecord {
    int32_t inArchive;
    int32_t cacheSlot;
    // The ArchiveFindState inside an archive, the plain find handle otherwise.
    uintptr_t find;
};

// The last archive the path search found. folderLength is the length of the
// folder path in front of the archive's extension; 0 while nothing is
// remembered.
struct RememberedArchiveState {
    int32_t cacheSlot;
    char path[ArchivePathBufferSize];
    int32_t folderLength;
};
extern RememberedArchiveState RememberedArchive;

// The archives' extension; "KPK" while the length is 0. Nothing sets it.
struct ArchiveExtensionText {
    char text[64];
    int32_t length;
};
extern ArchiveExtensionText ArchiveExtension;

// The twelve routines, in the table's slot order.
uintptr_t ArcStreamOpen(const char* path, int cacheFlag, int unused, int asyncFlag);
// 0; -1 for a handle that is not an open file of this set.
int ArcStreamClose(uintptr_t file);
int32_t ArcStreamTell(uintptr_t file);
int ArcStreamSeek(uintptr_t file, int32_t offset, int origin);
// Inside an archive the bytes delivered; for a plain file the elements
// delivered; -1 for a handle that is not an open file of this set.
uint32_t ArcStreamRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t file);
// -1 at the end, else 0.
int ArcStreamEof(uintptr_t file);
// 1 when no asynchronous read is pending, 0 while one runs.
int ArcStreamIdle(uintptr_t file);
// Blocks until ArcStreamIdle would give 1 (nothing for a handle that is not
// an open file of this set).
void ArcStreamWaitUntilIdle(uintptr_t file);
// The process's current directory only; archives are always searched from
// their root. Both give 0.
int ArcStreamChDir(const char* path);
int ArcStreamGetDir(char* buffer);
uintptr_t ArcStreamFindFirst(const char* pattern, FileInfoRecord* info);
int ArcStreamFindNext(uintptr_t find, FileInfoRecord* info);
int ArcStreamFindClose(uintptr_t find);

inline constexpr FileAccessTable ArchiveFileAccessSet = {
    ArcStreamOpen,  ArcStreamClose,     ArcStreamTell,     ArcStreamSeek,
    ArcStreamRead,  ArcStreamEof,       ArcStreamIdle,     ArcStreamChDir,
    ArcStreamGetDir, ArcStreamFindFirst, ArcStreamFindNext, ArcStreamFindClose,
};

// The full, upper-cased form of a path (null: the current directory) into a
// buffer of ArchivePathBufferSize bytes. 0, or -1 when it does not fit
// (result empty).
int ToUpperFullPath(const char* path, char* result);
// The current directory as the system gives it into a buffer of MAX_PATH
// bytes: 0, or -1 when it cannot be had (the buffer is then empty).
int ReadCurrentDirectory(char* buffer);
// ToUpperFullPath against `currentDirectory` (as ReadCurrentDirectory gives
// it) instead of asking for it again.
int ToUpperFullPathFrom(const char* path, const char* currentDirectory, char* result);

constexpr int ArchiveSearchRefused = -2;
// 0 when an archive stands on the path: its cache slot (whose use count the
// search raised; the caller gives it back), its path and the path inside it
// (each ArchivePathBufferSize bytes, when given). -1 when none does;
// ArchiveSearchRefused when the path is too long to be searched.
int LocateArchiveForPath(const char* path, int32_t* cacheSlot, char* archivePath, char* innerPath);

// One search of the folders of a full path for their archives: its path, the
// current directory it was made against, where each candidate's component
// starts (its folder ends there; 0 names the candidate of the drive alone,
// which lies in the current directory), what is remembered of each
// candidate's folder, and whether the folders on the path met so far could
// be watched.
constexpr int ArchiveSearchFolderLimit = ArchivePathBufferSize / 2;
struct ArchiveSearchContext {
    const char* full;
    const char* currentDirectory;
    const size_t* componentStarts;
    int count;
    size_t foldersLength;
    int32_t folders[ArchiveSearchFolderLimit];
    bool pathFoldersUsable;
    // Every candidate so far was answered missing by the memory.
    bool answeredFromMemory;
    // The memory answers every candidate missing: no archive stands on the path.
    bool allMissing;
    uint32_t generation;
};
// Starts a search of the `count` candidates of `full`, whose folders take
// its first `foldersLength` bytes: what is remembered of their folders is
// checked, and what may no longer hold is dropped.
void BeginArchiveSearch(ArchiveSearchContext* context, const char* full, const char* currentDirectory,
                        const size_t* componentStarts, int count, size_t foldersLength);
// Ends a search in which no candidate was an archive.
void EndArchiveSearch(const ArchiveSearchContext* context);
// The cache slot of the archive `candidate` (number `index` of the search:
// full up to its folder, a dot and the extension), with its use count
// raised, or -1: as OpenCachedArchive(-1, candidate, 0, 0) gives it, without
// trying again what was found missing while nothing has changed since.
int OpenArchiveCandidate(ArchiveSearchContext* context, int index, const char* candidate);
// Forgets every candidate found missing, with the notifications that
// watched their folders.
void ForgetMissingArchives();

// The cache slot of the archive at `archivePath` when it is cached, with its
// use count raised; -1 when it is not.
int FindCachedArchive(const char* archivePath);
// The cache slot of the archive at `archivePath`, opened when it is not yet
// cached, with its use count raised; -1 when it cannot be had. `hint` (or -1)
// is tried first.
int OpenCachedArchive(int hint, const char* archivePath, int wholeFile, int noWait);
// Gives back one use of a cached archive; the archive stays cached.
void ReleaseCachedArchive(int32_t cacheSlot);
// Closes every cached archive whose use count is 0.
void CloseUnusedArchives();
// Closes every unused archive (archives that open files still use stay) and
// forgets where archives were found missing; returns 0.
int ShutAllArchives();
