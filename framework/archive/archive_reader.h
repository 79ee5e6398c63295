// The .kpk archive reader. An archive is one file holding a tree of folders
// and files; every byte of it is XOR-keyed by its file position with a 12-byte
// key made from a key text, and each file is stored as it is or packed with
// the archive's own LZ scheme. An ArchiveRecord opens an archive held in
// memory, an archive file read whole into memory, or an archive file that
// stays on disk (only its header and table block are read at open).
//
// Archive contents are untrusted: every offset and count is checked against
// the file, the table block and the data area before it is used, and a
// malformed archive fails its open, its lookup or its read.
//
// Results are 0 for success and -1 for failure unless said otherwise.
#pragma once

#include <cstdint>

#include "framework/files/plain_directory.h"
#include "platform/win_types.h"

constexpr int ArchiveKeySize = 12;
constexpr uint32_t ArchiveHeaderSize = 24;
constexpr uint16_t ArchiveMagic = 0x504B;  // "KP"
constexpr uint16_t ArchiveNewestVersion = 3;
// Versions from this one on keep a packed size in each file entry.
constexpr uint16_t ArchivePackedVersion = 2;
constexpr uint32_t ArchiveDirectoryAttribute = 0x10;
constexpr uint32_t ArchiveNoParent = 0xFFFFFFFF;
constexpr uint32_t ArchiveStoredMark = 0xFFFFFFFF;  // packed size of a stored file
constexpr uint32_t ArchivePackedHeaderSize = 9;
constexpr int ArchiveSearchFormSize = 1024;
constexpr int ArchivePatternLength = 260;

// The archive header as decoded (little-endian in the file).
struct ArchiveHeader {
    uint16_t magic;
    uint16_t version;
    uint32_t tableBlockSize;
    uint32_t dataAreaOffset;
    uint32_t tableBlockOffset;
    uint32_t fileTableOffset;       // from the start of the table block
    uint32_t directoryTableOffset;  // from the start of the table block
};
static_assert(sizeof(ArchiveHeader) == ArchiveHeaderSize);

// One file entry as it lies in the table block: 40 bytes in versions 0 and 1
// (without packedSize), 44 bytes from version 2 on. Packed, as the table
// block gives no alignment.
struct __attribute__((packed)) ArchiveFileEntry {
    uint32_t nameOffset;  // of its name record, from the name table's start
    uint32_t attributes;  // 0x10: a folder
    FILETIME creationTime;
    FILETIME lastAccessTime;
    FILETIME lastWriteTime;
    // A file: its data, from the data area's start. A folder: its directory
    // record, from the directory table's start.
    uint32_t dataOffset;
    uint32_t size;        // the contents size (unpacked)
    uint32_t packedSize;  // from version 2 on: ArchiveStoredMark or the packed size
};

// One directory record (16 bytes) of the directory table.
struct __attribute__((packed)) ArchiveDirectoryRecord {
    uint32_t unused;
    uint32_t parentOffset;  // ArchiveNoParent for the root
    int32_t entryCount;     // 0 or less: empty
    uint32_t firstEntryOffset;  // from the file table's start
};

// One open archive; the all-zero record is the closed state.
struct ArchiveRecord {
    ArchiveHeader header;
    uint8_t* image;    // the decoded archive when it is held in memory, else null
    uintptr_t file;    // the Win32FileStream of an archive kept on disk, else 0
    uint8_t* tableBlock;  // inside the image when opened from memory
    const uint8_t* fileTable;
    const uint8_t* directoryTable;
    const uint8_t* nameTable;
    const ArchiveDirectoryRecord* currentDirectory;
    uint8_t key[ArchiveKeySize];
    int32_t heldInMemory;
    int32_t callersImage;
    uint32_t size;
    int32_t wholeReadPending;
    uintptr_t wholeReadStream;
};

// The search form of one path element: the name with a to z upper-cased,
// zero-padded to whole 4-byte units, its byte sum and its unit count.
struct ArchiveSearchName {
    uint8_t searchForm[ArchiveSearchFormSize];
    uint16_t parity;
    uint16_t unitCount;
};

// One directory listing. The owner frees it with FreeMemory.
struct ArchiveFindState {
    ArchiveRecord* archive;
    char pattern[ArchivePatternLength + 1];  // upper-cased
    const ArchiveDirectoryRecord* directory;
    int32_t index;  // next position to examine
};

// One file opened inside an archive.
struct ArchiveFileStream {
    ArchiveRecord* archive;
    const ArchiveFileEntry* entry;
    uint8_t* unpackedData;  // the whole contents of a packed file, else null
    uint8_t* packedBuffer;  // packed bytes while they are read from disk, else null
    int32_t endFlag;
    uint32_t position;
    int32_t asyncFlag;
    // 0 nothing pending; 1 the packed data is being read; 2 stored data is
    // being read into the caller's buffer.
    int32_t pendingState;
    uint32_t pendingArchivePosition;
    uint8_t* pendingDestination;
    uint32_t pendingLength;
    // 1 when the member's data turned out malformed or could not be read;
    // reads then deliver nothing and set the end flag.
    int32_t failed;
};

// The key text handed to archive opens while `isSet` is 1.
struct ArchiveKeyTextState {
    int32_t isSet;
    char text[ArchiveKeySize + 1];
};
extern ArchiveKeyTextState ArchiveKeyText;

// Key.
// Null clears the flag; otherwise keeps the first 12 characters. Returns 0.
int SetArchiveKeyText(const char* text);
// Null or an empty text gives the key of no key text.
void DeriveArchiveKey(const char* keyText, uint8_t key[ArchiveKeySize]);
// XORs `count` bytes whose first byte lies at file position `filePosition`.
void XorWithArchiveKey(uint32_t count, void* buffer, uint32_t filePosition,
                       const uint8_t key[ArchiveKeySize]);

// Records.
int ZeroArchiveRecord(ArchiveRecord* record);
// The caller keeps the image alive until the record is shut; the image is
// decoded in place while open and holds its stored form again afterwards. A
// refused image is left exactly as given.
int OpenArchiveInMemory(ArchiveRecord* record, void* image, uint32_t size, const char* keyText);
int OpenArchiveFileWhole(ArchiveRecord* record, const char* path, const char* keyText, int noWait);
int OpenArchiveFileOnDisk(ArchiveRecord* record, const char* path, const char* keyText);
// 1 when no whole-file read is pending (completing one that has finished), 0
// while it still runs.
int CheckArchiveLoadDone(ArchiveRecord* record);
// Waits for a pending whole-file read; the image when held in memory, else null.
uint8_t* FinishAsyncArchiveRead(ArchiveRecord* record);
int ReleaseArchiveRecord(ArchiveRecord* record);
int ShutArchive(ArchiveRecord* record);
// Reads `count` bytes at the stream's position, waits for them and undoes the
// key. -1 when the stream could not deliver them.
int ReadArchiveBytes(void* destination, uint32_t count, const uint8_t key[ArchiveKeySize],
                     uintptr_t stream);

// Lookup.
// The element runs to the first backslash, slash or zero. -1 (and unit count
// 0, which matches no name) when it does not fit the search form.
int MakeArchiveSearchName(const char* element, ArchiveSearchName* out, int* lengthOut);
int EnterArchiveDirectory(ArchiveRecord* record, const ArchiveSearchName* name);
int ChangeArchiveDirectory(ArchiveRecord* record, const char* path, int restore,
                           ArchiveSearchName* nameOut);
// The file entry, or null (also for a path naming a folder).
const ArchiveFileEntry* FindArchiveFileEntry(ArchiveRecord* record, const char* path);
// The offset of the file's data as stored, from the archive's start, and its
// contents size.
int FindArchiveEntryData(ArchiveRecord* record, const char* path, uint32_t* dataOffsetOut,
                         uint32_t* sizeOut);

// Listing.
// Each output holds ArchivePatternLength characters and a zero; -1 when a
// part is longer.
int SplitDirectoryAndName(const char* path, char* nameOut, char* directoryOut);
// 0 on a match, -1 otherwise.
int MatchWildcardName(const char* name, const char* pattern);
// The address of a new ArchiveFindState, or InvalidFindHandle.
uintptr_t FindFirstInArchive(ArchiveRecord* record, const char* path, FileInfoRecord* info);
// 0 when a matching position was found (the state's index points at it; the
// caller advances it), -1 when none is left.
int NextArchiveFindEntry(ArchiveFindState* state, FileInfoRecord* info);

// Compression.
// The unpacked size from the packed header. With a destination (which must
// hold that size) also unpacks; a token stream that breaks its own header's
// bounds is refused and gives 0.
uint32_t UnpackArchiveData(const void* packed, void* destination);
// Unpacks from at most `available` input bytes into exactly `capacity`
// output bytes: 0, or -1 when the packed data is malformed or its sizes
// disagree with the bounds.
int UnpackArchiveDataBounded(const uint8_t* packed, uint64_t available, uint8_t* destination,
                             uint32_t capacity);

// Files inside an archive.
int OpenArchiveMember(ArchiveFileStream* stream, ArchiveRecord* record, const char* path,
                      int asyncFlag);
// Bytes delivered.
uint32_t ReadArchiveMember(ArchiveFileStream* stream, void* destination, uint32_t count);
int SeekArchiveMember(ArchiveFileStream* stream, int32_t offset, int origin);
int32_t TellArchiveMember(ArchiveFileStream* stream);
int ArchiveMemberEof(ArchiveFileStream* stream);
int PollArchiveMemberRead(ArchiveFileStream* stream);
// Blocks until PollArchiveMemberRead would give 1, and completes the read.
void WaitForArchiveMemberRead(ArchiveFileStream* stream);
int CloseArchiveMember(ArchiveFileStream* stream);
