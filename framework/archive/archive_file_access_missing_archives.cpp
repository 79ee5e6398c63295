// Remembering where the path search found no archive. Every file opened
// through the archive-aware set has an archive looked for in each folder of
// its path, and a candidate that is not there costs a failed open with the
// system's case-insensitive folder scans. The search remembers the
// candidates it found missing and trusts that memory for as long as nothing
// can have changed what the lookup would see.
//
// What the answer for a candidate depends on: C:\GAME\DATA.KPK lies in
// C:\GAME\, and which folder that is depends on the names in C:\ as well (a
// folder "game" and a folder "GAME" are both found for it). So every folder
// from the root down to the candidate's own is watched with a change
// notification on its names, armed before the candidate is looked at; a
// notification that has fired drops what was remembered in its folder and
// in every folder below it. The candidate of the drive alone (C:.KPK) lies
// in the current directory, which the system names exactly as it is: only
// that folder is watched for it. A folder that does not exist needs no
// watch of its own: its coming shows on its parent's.
//
// Only candidates that do not exist are remembered: one that exists but does
// not open as an archive (damaged, another key) is tried again each time,
// and while every slot of the archive cache is taken the search opens as it
// always did, so that the cache's clean-up runs as it would.
#include <cstring>

#include "framework/archive/archive_file_access.h"
#include "framework/base/base_functions.h"
#include "platform/platform.h"

namespace {

constexpr int WatchedFolderLimit = 128;
constexpr int MissingArchiveLimit = 512;
constexpr int BucketCount = 256;
constexpr int None = -1;

enum class FolderKind : int32_t { OnPath, CurrentDirectory };

struct WatchedFolder {
    int32_t inUse;
    FolderKind kind;
    uint32_t hash;
    uint32_t length;
    char path[ArchivePathBufferSize];  // ending in a separator
    // Null when the folder did not exist when it was looked for.
    HANDLE change;
    int32_t nextInBucket;
    int32_t firstMissing;
};

struct MissingArchive {
    int32_t inUse;
    int32_t nextInFolder;
    char name[ArchivePathBufferSize];  // the candidate from its folder on
};

// The last search that found no archive: the same folders against the same
// current directory, with nothing dropped since, have the same records, and
// when the memory answered every candidate of it missing, the same answers.
struct LastSearch {
    bool valid;
    bool allMissing;
    bool everyFolderRecorded;  // else a record made since could be missed
    uint32_t generation;
    ArchiveExtensionText extension;
    uint32_t foldersLength;
    char folders[ArchivePathBufferSize];
    char currentDirectory[MAX_PATH];
    int32_t count;
    int32_t records[ArchiveSearchFolderLimit];
};

struct MissingArchiveMemory {
    WatchedFolder folders[WatchedFolderLimit];
    MissingArchive missing[MissingArchiveLimit];
    int32_t buckets[BucketCount];
    int32_t foldersInUse;
    int32_t missingInUse;
    uint32_t generation;  // counts what was dropped
    LastSearch last;
    bool started;
};

MissingArchiveMemory Memory;

constexpr uint32_t HashStart = 2166136261u;

uint32_t HashOn(uint32_t hash, const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<uint8_t>(text[i])) * 16777619u;
    return hash;
}

void Start() {
    if (Memory.started) return;
    for (int32_t& bucket : Memory.buckets) bucket = None;
    Memory.started = true;
}

int32_t FindFolder(FolderKind kind, const char* path, size_t length, uint32_t hash) {
    Start();
    for (int32_t at = Memory.buckets[hash % BucketCount]; at != None; at = Memory.folders[at].nextInBucket) {
        const WatchedFolder& folder = Memory.folders[at];
        if (folder.hash == hash && folder.kind == kind && folder.length == length &&
            std::memcmp(folder.path, path, length) == 0)
            return at;
    }
    return None;
}

void DropFolder(int32_t at) {
    ++Memory.generation;
    WatchedFolder& folder = Memory.folders[at];
    for (int32_t missing = folder.firstMissing; missing != None;) {
        MissingArchive& entry = Memory.missing[missing];
        entry.inUse = 0;
        --Memory.missingInUse;
        missing = entry.nextInFolder;
    }
    if (folder.change != nullptr) FindCloseChangeNotification(folder.change);
    int32_t* link = &Memory.buckets[folder.hash % BucketCount];
    while (*link != at) link = &Memory.folders[*link].nextInBucket;
    *link = folder.nextInBucket;
    folder.inUse = 0;
    --Memory.foldersInUse;
}

// A folder on the path takes with it every folder on paths below it; the
// current directory's record stands alone.
void DropFolderAndBelow(int32_t at) {
    const WatchedFolder changed = Memory.folders[at];
    DropFolder(at);
    if (changed.kind != FolderKind::OnPath) return;
    for (int32_t other = 0; other < WatchedFolderLimit; ++other) {
        const WatchedFolder& folder = Memory.folders[other];
        if (folder.inUse && folder.kind == FolderKind::OnPath && folder.length > changed.length &&
            std::memcmp(folder.path, changed.path, changed.length) == 0)
            DropFolder(other);
    }
}

// The folder a candidate lies in: the path up to the candidate's own
// component, or the current directory (with a separator added) for the
// candidate of a drive alone. False when it cannot be named.
bool CandidateFolder(const ArchiveSearchContext& context, int candidate, FolderKind* kind, char* path,
                     size_t* length) {
    const size_t componentStart = context.componentStarts[candidate];
    if (componentStart > 0) {
        *kind = FolderKind::OnPath;
        std::memcpy(path, context.full, componentStart);
        *length = componentStart;
        return true;
    }
    const size_t directoryLength = strnlen(context.currentDirectory, ArchivePathBufferSize);
    if (directoryLength == 0 || directoryLength + 1 >= ArchivePathBufferSize) return false;
    *kind = FolderKind::CurrentDirectory;
    std::memcpy(path, context.currentDirectory, directoryLength);
    *length = directoryLength;
    // The root's name already ends in one.
    if (path[directoryLength - 1] != '\\') path[(*length)++] = '\\';
    return true;
}

// The records of the candidates' folders as they stand, into the context;
// each folder's name is hashed on from the one above it.
void FindCandidateFolders(ArchiveSearchContext& context) {
    uint32_t hash = HashStart;
    size_t hashed = 0;
    bool below = false;  // a folder on the path above has no record
    for (int i = 0; i < context.count; ++i) {
        context.folders[i] = None;
        const size_t componentStart = context.componentStarts[i];
        if (componentStart == 0) {
            FolderKind kind;
            char path[ArchivePathBufferSize];
            size_t length;
            if (CandidateFolder(context, i, &kind, path, &length))
                context.folders[i] = FindFolder(kind, path, length, HashOn(HashStart, path, length));
            continue;
        }
        hash = HashOn(hash, context.full + hashed, componentStart - hashed);
        hashed = componentStart;
        // Nothing is remembered below a folder on the path that has no record.
        if (below) continue;
        context.folders[i] = FindFolder(FolderKind::OnPath, context.full, componentStart, hash);
        below = context.folders[i] == None;
    }
}

// A record for a folder not yet watched; None when the folder cannot be
// watched. A folder that is missing (or is a file) gets a
// record without a notification.
int32_t WatchFolder(FolderKind kind, const char* path, size_t length) {
    Start();
    char text[ArchivePathBufferSize];
    std::memcpy(text, path, length);
    text[length] = '\0';
    HANDLE change = FindFirstChangeNotificationA(
        text, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
    if (change == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool absent = error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND || error == ERROR_DIRECTORY;
        // The current directory is a folder that is there: one that cannot
        // be watched leaves its candidate to the plain lookup.
        if (!absent || kind == FolderKind::CurrentDirectory) return None;
        change = nullptr;
    }
    int32_t at = 0;
    while (Memory.folders[at].inUse) ++at;
    WatchedFolder& folder = Memory.folders[at];
    folder.inUse = 1;
    folder.kind = kind;
    folder.hash = HashOn(HashStart, path, length);
    folder.length = static_cast<uint32_t>(length);
    std::memcpy(folder.path, path, length);
    folder.change = change;
    folder.firstMissing = None;
    folder.nextInBucket = Memory.buckets[folder.hash % BucketCount];
    Memory.buckets[folder.hash % BucketCount] = at;
    ++Memory.foldersInUse;
    return at;
}

bool IsRememberedMissing(const WatchedFolder& folder, const char* name) {
    for (int32_t at = folder.firstMissing; at != None; at = Memory.missing[at].nextInFolder)
        if (CompareStrings(Memory.missing[at].name, name) == 0) return true;
    return false;
}

bool RememberMissing(WatchedFolder& folder, const char* name) {
    if (Memory.missingInUse >= MissingArchiveLimit) return false;
    int32_t at = 0;
    while (Memory.missing[at].inUse) ++at;
    MissingArchive& entry = Memory.missing[at];
    entry.inUse = 1;
    CopyString(entry.name, name);
    entry.nextInFolder = folder.firstMissing;
    folder.firstMissing = at;
    ++Memory.missingInUse;
    return true;
}

// Whether the system reports `candidate` as not there at all.
bool IsMissingOnDisk(const char* candidate) {
    if (GetFileAttributesA(candidate) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

void BeginArchiveSearch(ArchiveSearchContext* context, const char* full, const char* currentDirectory,
                        const size_t* componentStarts, int count, size_t foldersLength) {
    context->full = full;
    context->currentDirectory = currentDirectory;
    context->componentStarts = componentStarts;
    context->count = count;
    context->foldersLength = foldersLength;
    context->pathFoldersUsable = true;
    context->answeredFromMemory = true;
    const LastSearch& last = Memory.last;
    const bool sameFolders = last.valid && last.count == count && last.foldersLength == foldersLength &&
                             std::memcmp(last.folders, full, foldersLength) == 0 &&
                             CompareStrings(last.currentDirectory, currentDirectory) == 0 &&
                             std::memcmp(&last.extension, &ArchiveExtension, sizeof(ArchiveExtension)) == 0;
    // Everything remembered for these folders is checked against their
    // notifications at once; each that fired drops its part, until none has.
    for (;;) {
        if (sameFolders && last.everyFolderRecorded && last.generation == Memory.generation)
            std::memcpy(context->folders, last.records, sizeof(int32_t) * static_cast<size_t>(count));
        else
            FindCandidateFolders(*context);
        int32_t owners[ArchiveSearchFolderLimit];
        int watched = 0;
        for (int i = 0; i < count; ++i)
            if (context->folders[i] != None && Memory.folders[context->folders[i]].change != nullptr)
                owners[watched++] = context->folders[i];
        bool dropped = false;
        for (int first = 0; first < watched && !dropped; first += MAXIMUM_WAIT_OBJECTS) {
            HANDLE changes[MAXIMUM_WAIT_OBJECTS];
            const int batch = watched - first < MAXIMUM_WAIT_OBJECTS ? watched - first : MAXIMUM_WAIT_OBJECTS;
            for (int i = 0; i < batch; ++i) changes[i] = Memory.folders[owners[first + i]].change;
            const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(batch), changes, FALSE, 0);
            if (result == WAIT_TIMEOUT) continue;
            if (result >= WAIT_OBJECT_0 + static_cast<DWORD>(batch)) {
                ForgetMissingArchives();
            } else {
                DropFolderAndBelow(owners[first + static_cast<int>(result - WAIT_OBJECT_0)]);
            }
            dropped = true;
        }
        if (!dropped) break;
    }
    context->generation = Memory.generation;
    context->allMissing = sameFolders && last.allMissing && last.generation == Memory.generation &&
                          ArchiveCache.entriesInUse < ArchiveCacheSize;
}

void EndArchiveSearch(const ArchiveSearchContext* context) {
    LastSearch& last = Memory.last;
    // What was dropped during the search may have been in its records.
    last.valid = context->generation == Memory.generation && context->foldersLength < sizeof(last.folders) &&
                 strnlen(context->currentDirectory, MAX_PATH) < sizeof(last.currentDirectory);
    if (!last.valid) return;
    last.allMissing = context->answeredFromMemory;
    last.generation = Memory.generation;
    last.extension = ArchiveExtension;
    last.foldersLength = static_cast<uint32_t>(context->foldersLength);
    std::memcpy(last.folders, context->full, context->foldersLength);
    CopyString(last.currentDirectory, context->currentDirectory);
    last.count = context->count;
    std::memcpy(last.records, context->folders, sizeof(int32_t) * static_cast<size_t>(context->count));
    last.everyFolderRecorded = true;
    for (int i = 0; i < context->count; ++i)
        if (context->folders[i] == None) last.everyFolderRecorded = false;
}

int OpenArchiveCandidate(ArchiveSearchContext* context, int index, const char* candidate) {
    const int cached = FindCachedArchive(candidate);
    if (cached >= 0) {
        context->answeredFromMemory = false;
        return cached;
    }
    const bool onPath = context->componentStarts[index] > 0;
    // Without a folder that can be watched, or with every cache slot taken,
    // the candidate is opened as it always was.
    int32_t at = context->folders[index];
    if (ArchiveCache.entriesInUse >= ArchiveCacheSize || (onPath && !context->pathFoldersUsable)) at = None;
    else if (at == None) {
        FolderKind kind;
        char path[ArchivePathBufferSize];
        size_t length;
        if (CandidateFolder(*context, index, &kind, path, &length)) {
            at = FindFolder(kind, path, length, HashOn(HashStart, path, length));
            if (at == None && Memory.foldersInUse >= WatchedFolderLimit) {
                // Full: everything starts afresh with the next search.
                ForgetMissingArchives();
                context->pathFoldersUsable = false;
            } else if (at == None) {
                at = WatchFolder(kind, path, length);
            }
        }
        context->folders[index] = at;
    }
    if (at == None) {
        // A folder on the path that cannot be watched leaves those below it
        // unwatched too: their answers depend on its names.
        if (onPath) context->pathFoldersUsable = false;
        context->answeredFromMemory = false;
        return OpenCachedArchive(-1, candidate, 0, 0);
    }
    WatchedFolder& folder = Memory.folders[at];
    const char* name = candidate + context->componentStarts[index];
    if (IsRememberedMissing(folder, name)) return -1;
    // A candidate in a folder that is not there is not there either; the
    // folder's notification was armed before the candidate is looked at, so
    // that whatever comes after the look is seen.
    if (folder.change == nullptr || IsMissingOnDisk(candidate)) {
        if (!RememberMissing(folder, name)) {
            // Full: everything starts afresh with the next search.
            ForgetMissingArchives();
            context->pathFoldersUsable = false;
        }
        return -1;
    }
    context->answeredFromMemory = false;
    return OpenCachedArchive(-1, candidate, 0, 0);
}

void ForgetMissingArchives() {
    for (int32_t at = 0; at < WatchedFolderLimit; ++at)
        if (Memory.folders[at].inUse) DropFolder(at);
}
