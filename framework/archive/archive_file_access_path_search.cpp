// Finding the archive that stands on a path: for D:\GAME\DATA\IMG\A.PNG the
// archives D:.KPK, D:\GAME.KPK, D:\GAME\DATA.KPK and D:\GAME\DATA\IMG.KPK are
// tried in this order, and the first that opens holds the file under the
// path that follows its folder. The last component is a file name and never
// names an archive. The archive found last is remembered, so that the next
// path under its folder costs one prefix compare and one cache look-up; and
// the candidates found missing are remembered while their folders stay as
// they were (archive_file_access_missing_archives.cpp).
#include "framework/archive/archive_file_access.h"

#include "framework/base/base_functions.h"
#include "platform/platform.h"

RememberedArchiveState RememberedArchive = {-1, {}, 0};
ArchiveExtensionText ArchiveExtension = {};

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t CharacterLength(const char* text) {
    return IsShiftJisLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

// `folder` bytes of the full path, a dot and the extension; false when that
// does not fit an archive path.
bool MakeCandidate(const char* full, size_t folder, char* candidate) {
    const char* extension = ArchiveExtension.length != 0 ? ArchiveExtension.text : "KPK";
    size_t extensionLength = 0;
    while (extensionLength < sizeof(ArchiveExtension.text) && extension[extensionLength] != '\0')
        ++extensionLength;
    if (folder + 1 + extensionLength >= static_cast<size_t>(ArchivePathBufferSize)) return false;
    CopyMemoryBytes(candidate, full, static_cast<uint32_t>(folder));
    candidate[folder] = '.';
    CopyMemoryBytes(candidate + folder + 1, extension, static_cast<uint32_t>(extensionLength));
    candidate[folder + 1 + extensionLength] = '\0';
    return true;
}

// Walks the folders of the full path from the root. The full path's
// separators are all backslashes, so each folder path is a prefix of it.
int SearchFolders(const char* full, const char* currentDirectory, int32_t* slotOut, size_t* folderOut) {
    // Where each folder's component starts and ends, from the root down; the
    // last component is the file name, and an empty one ends the search.
    size_t starts[ArchiveSearchFolderLimit];
    size_t ends[ArchiveSearchFolderLimit];
    int count = 0;
    // Each folder takes two bytes at least, so a full path has room for
    // fewer than ArchiveSearchFolderLimit of them.
    for (size_t index = full[0] == '\\' && full[1] == '\\' ? 2 : 0;
         full[index] != '\0' && count < ArchiveSearchFolderLimit; ++index) {
        const size_t start = index;
        while (full[index] != '\0' && !IsSeparator(full[index])) index += CharacterLength(full + index);
        if (full[index] == '\0' || index == start) break;
        starts[count] = start;
        ends[count++] = index;
    }
    ArchiveSearchContext context;
    BeginArchiveSearch(&context, full, currentDirectory, starts, count, count > 0 ? ends[count - 1] : 0);
    if (context.allMissing) return -1;
    char candidate[ArchivePathBufferSize];
    for (int folder = 0; folder < count; ++folder) {
        if (!MakeCandidate(full, ends[folder], candidate)) return ArchiveSearchRefused;
        const int slot = OpenArchiveCandidate(&context, folder, candidate);
        if (slot >= 0) {
            CopyString(RememberedArchive.path, candidate);
            RememberedArchive.folderLength = static_cast<int32_t>(ends[folder]);
            RememberedArchive.cacheSlot = slot;
            *slotOut = slot;
            *folderOut = ends[folder];
            return 0;
        }
    }
    EndArchiveSearch(&context);
    return -1;
}

}  // namespace

int LocateArchiveForPath(const char* path, int32_t* cacheSlot, char* archivePath, char* innerPath) {
    char currentDirectory[MAX_PATH];
    ReadCurrentDirectory(currentDirectory);
    char full[ArchivePathBufferSize];
    if (ToUpperFullPathFrom(path, currentDirectory, full) != 0) return ArchiveSearchRefused;

    int32_t slot = -1;
    size_t folder = 0;
    const int32_t remembered = RememberedArchive.folderLength;
    if (remembered > 0 && remembered < ArchivePathBufferSize &&
        CompareStringPrefix(full, RememberedArchive.path, remembered) == 0 &&
        IsSeparator(full[remembered])) {
        slot = OpenCachedArchive(RememberedArchive.cacheSlot, RememberedArchive.path, 0, 0);
        if (slot < 0) return -1;
        // The entry may have been closed and reopened elsewhere meanwhile.
        RememberedArchive.cacheSlot = slot;
        folder = static_cast<size_t>(remembered);
    } else {
        const int searched = SearchFolders(full, currentDirectory, &slot, &folder);
        if (searched != 0) return searched;
    }

    if (cacheSlot != nullptr) *cacheSlot = slot;
    if (archivePath != nullptr) CopyString(archivePath, RememberedArchive.path);
    if (innerPath != nullptr) CopyString(innerPath, full + folder + 1);
    return 0;
}
