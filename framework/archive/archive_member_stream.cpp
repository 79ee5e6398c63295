// Reading one file inside an archive as a stream. Stored files are read
// straight from the image or the archive file; packed files are unpacked
// whole at open (from disk possibly asynchronously). Asynchronous reads from
// disk return at once; the bytes are decoded once the poll sees them done,
// and every other operation on the stream waits for that first.
#include <cstring>

#include "framework/archive/archive_reader.h"
#include "framework/archive/archive_reader_parts.h"
#include "framework/files/plain_file_stream.h"
#include "framework/base/tracked_memory.h"
#include "platform/platform.h"

namespace {

// The most one packed byte can give: a four-byte token copies up to 8195
// bytes. A contents size beyond that bound cannot come from the packed data,
// and is refused before anything is allocated for it.
constexpr uint64_t LargestExpansion = 2049;

uint32_t MemberArchivePosition(const ArchiveFileStream* stream, uint32_t offset) {
    return stream->archive->header.dataAreaOffset + stream->entry->dataOffset + offset;
}

void FreeMemberBuffers(ArchiveFileStream* stream) {
    if (stream->unpackedData != nullptr) FreeMemory(stream->unpackedData);
    if (stream->packedBuffer != nullptr) FreeMemory(stream->packedBuffer);
    stream->unpackedData = nullptr;
    stream->packedBuffer = nullptr;
}

// Unpacks the packed bytes of the member into its unpacked data.
int UnpackMember(ArchiveFileStream* stream, const uint8_t* packed) {
    return UnpackArchiveDataBounded(packed, stream->entry->packedSize, stream->unpackedData, stream->entry->size);
}

}  // namespace

int OpenArchiveMember(ArchiveFileStream* stream, ArchiveRecord* record, const char* path, int asyncFlag) {
    WaitForWholeArchiveRead(record);
    const ArchiveFileEntry* entry = FindArchiveFileEntry(record, path);
    if (entry == nullptr || ArchiveEntryStoredLength(record, entry) < 0) return -1;
    std::memset(stream, 0, sizeof(*stream));
    stream->archive = record;
    stream->entry = entry;
    stream->asyncFlag = asyncFlag;
    if (!IsArchiveEntryPacked(record, entry)) return 0;

    uint32_t packedSize = entry->packedSize;
    if (entry->size > (packedSize - ArchivePackedHeaderSize) * LargestExpansion) return -1;
    stream->unpackedData = static_cast<uint8_t*>(AllocMemory(entry->size, __FILE__, __LINE__));
    if (stream->unpackedData == nullptr) return -1;
    uint32_t position = MemberArchivePosition(stream, 0);
    if (record->heldInMemory) {
        if (UnpackMember(stream, record->image + position) != 0) {
            FreeMemberBuffers(stream);
            return -1;
        }
        return 0;
    }
    stream->packedBuffer = static_cast<uint8_t*>(AllocMemory(packedSize, __FILE__, __LINE__));
    if (stream->packedBuffer == nullptr) {
        FreeMemberBuffers(stream);
        return -1;
    }
    Win32FileSeek(record->file, static_cast<int32_t>(position), 0);
    if (asyncFlag) {
        if (Win32FileRead(stream->packedBuffer, packedSize, 1, record->file) != 1) {
            FreeMemberBuffers(stream);
            return -1;
        }
        stream->pendingArchivePosition = position;
        stream->pendingState = 1;
        return 0;
    }
    if (ReadArchiveBytes(stream->packedBuffer, packedSize, record->key, record->file) != 0 ||
        UnpackMember(stream, stream->packedBuffer) != 0) {
        FreeMemberBuffers(stream);
        return -1;
    }
    FreeMemory(stream->packedBuffer);
    stream->packedBuffer = nullptr;
    return 0;
}

int PollArchiveMemberRead(ArchiveFileStream* stream) {
    if (!stream->asyncFlag || stream->pendingState == 0) return 1;
    ArchiveRecord* record = stream->archive;
    if (!Win32FileIdleCheck(record->file)) return 0;
    if (stream->pendingState == 1) {
        XorWithArchiveKey(stream->entry->packedSize, stream->packedBuffer, stream->pendingArchivePosition,
                          record->key);
        // Damaged packed data leaves the stream failed: reads deliver nothing.
        if (UnpackMember(stream, stream->packedBuffer) != 0) stream->failed = 1;
        FreeMemory(stream->packedBuffer);
        stream->packedBuffer = nullptr;
    } else {
        XorWithArchiveKey(stream->pendingLength, stream->pendingDestination, stream->pendingArchivePosition,
                          record->key);
    }
    stream->pendingState = 0;
    return 1;
}

void WaitForArchiveMemberRead(ArchiveFileStream* stream) {
    if (!stream->asyncFlag || stream->pendingState == 0) return;
    Win32FileWaitUntilIdle(stream->archive->file);
    PollArchiveMemberRead(stream);
}

uint32_t ReadArchiveMember(ArchiveFileStream* stream, void* destination, uint32_t count) {
    WaitForArchiveMemberRead(stream);
    if (stream->failed) {
        stream->endFlag = 1;
        return 0;
    }
    if (stream->endFlag) return 0;
    uint32_t size = stream->entry->size;
    if (stream->position >= size) {
        stream->endFlag = 1;
        return 0;
    }
    uint32_t n = count < size - stream->position ? count : size - stream->position;
    ArchiveRecord* record = stream->archive;
    if (stream->unpackedData != nullptr) {
        std::memcpy(destination, stream->unpackedData + stream->position, n);
    } else if (record->heldInMemory) {
        std::memcpy(destination, record->image + MemberArchivePosition(stream, stream->position), n);
    } else {
        uint32_t position = MemberArchivePosition(stream, stream->position);
        if (static_cast<uint32_t>(Win32FileTell(record->file)) != position)
            Win32FileSeek(record->file, static_cast<int32_t>(position), 0);
        if (stream->asyncFlag) {
            if (Win32FileRead(destination, n, 1, record->file) != 1) {
                stream->failed = 1;
                stream->endFlag = 1;
                return 0;
            }
            stream->pendingDestination = static_cast<uint8_t*>(destination);
            stream->pendingLength = n;
            stream->pendingArchivePosition = position;
            stream->pendingState = 2;
        } else if (ReadArchiveBytes(destination, n, record->key, record->file) != 0) {
            stream->failed = 1;
            stream->endFlag = 1;
            return 0;
        }
    }
    stream->position += n;
    stream->endFlag = 0;
    return n;
}

int SeekArchiveMember(ArchiveFileStream* stream, int32_t offset, int origin) {
    WaitForArchiveMemberRead(stream);
    // A member whose data turned out unreadable has nothing to read: its
    // end is at 0, as its reads say.
    int64_t size = stream->failed ? 0 : stream->entry->size;
    int64_t target = offset;
    if (origin == 1) target += stream->position;
    if (origin == 2) target += size;
    if (target > size) target = size;
    if (target < 0) target = 0;
    stream->position = static_cast<uint32_t>(target);
    stream->endFlag = 0;
    return 0;
}

int32_t TellArchiveMember(ArchiveFileStream* stream) {
    WaitForArchiveMemberRead(stream);
    return static_cast<int32_t>(stream->position);
}

int ArchiveMemberEof(ArchiveFileStream* stream) {
    WaitForArchiveMemberRead(stream);
    return stream->endFlag ? -1 : 0;
}

int CloseArchiveMember(ArchiveFileStream* stream) {
    WaitForArchiveMemberRead(stream);
    FreeMemberBuffers(stream);
    std::memset(stream, 0, sizeof(*stream));
    return 0;
}
