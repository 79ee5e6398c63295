// The file-access table in force, the built-in sets it can hold, and the
// forwarding routines over it.
#include "framework/files/file_access_table.h"

#include "framework/archive/archive_file_access.h"
#include "framework/archive/archive_reader.h"
#include "framework/files/plain_file_stream.h"
#include "platform/platform.h"

constexpr FileAccessTable PlainFileAccessSet = {
    Win32FileOpen,      Win32FileClose,     Win32FileTell,  Win32FileSeek,
    Win32FileRead,      Win32FileEof,       Win32FileIdleCheck,
    Win32SetCurrentDir, Win32GetCurrentDir, Win32FindFirst, Win32FindNext,
    Win32FindClose,
};

// The one place that chooses a built-in set: archives first unless archive
// use is switched off.
static constexpr const FileAccessTable& BuiltInFileAccessSet(int plainFiles) {
    return plainFiles ? PlainFileAccessSet : ArchiveFileAccessSet;
}

static bool SameRoutines(const FileAccessTable& a, const FileAccessTable& b) {
    return a.open == b.open && a.close == b.close && a.tell == b.tell && a.seek == b.seek &&
           a.read == b.read && a.endOfFile == b.endOfFile && a.idleCheck == b.idleCheck &&
           a.changeDirectory == b.changeDirectory && a.getDirectory == b.getDirectory &&
           a.findFirst == b.findFirst && a.findNext == b.findNext && a.findClose == b.findClose;
}

// Holds the default set from the start, before start-up installs one.
constinit FileAccessTable FileAccessTableInForce = BuiltInFileAccessSet(0);

int PlainFilesFlag = 0;

int SetFileAccessTable(const FileAccessTable* table) {
    if (table == nullptr) table = &BuiltInFileAccessSet(PlainFilesFlag == 1);
    FileAccessTableInForce = *table;
    return 0;
}

int IsDefaultFileAccessTable() {
    return SameRoutines(FileAccessTableInForce, BuiltInFileAccessSet(PlainFilesFlag == 1)) ? 1 : 0;
}

int UseArchiveFiles(int flag) {
    const int plainFiles = flag == 0 ? 1 : 0;
    // A change starts the archive cache afresh: archives no file uses are
    // closed (those still in use stay until their files are closed).
    if (plainFiles != PlainFilesFlag) ShutAllArchives();
    PlainFilesFlag = plainFiles;
    return 0;
}

int SetArchiveKeyForwarder(const char* keyText) { return SetArchiveKeyText(keyText); }

uintptr_t FileStreamOpen(const char* path, int cacheFlag, int unused, int asyncFlag) {
    return FileAccessTableInForce.open(path, cacheFlag, unused, asyncFlag);
}

int FileStreamClose(uintptr_t file) { return FileAccessTableInForce.close(file); }

int32_t FileStreamTell(uintptr_t file) { return FileAccessTableInForce.tell(file); }

int FileStreamSeek(uintptr_t file, int32_t offset, int origin) {
    return FileAccessTableInForce.seek(file, offset, origin);
}

uint32_t FileStreamRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t file) {
    return FileAccessTableInForce.read(buffer, elementSize, count, file);
}

int FileStreamEof(uintptr_t file) { return FileAccessTableInForce.endOfFile(file); }

int FileStreamIdleCheck(uintptr_t file) { return FileAccessTableInForce.idleCheck(file); }

void FileStreamWaitUntilIdle(uintptr_t file) {
    const auto idleCheck = FileAccessTableInForce.idleCheck;
    if (idleCheck == Win32FileIdleCheck) {
        Win32FileWaitUntilIdle(file);
    } else if (idleCheck == ArcStreamIdle) {
        ArcStreamWaitUntilIdle(file);
    } else {
        while (idleCheck(file) == 0) Sleep(0);
    }
}
