// The two constant sets of stream routines handed to decoders.
#include "framework/files/file_access_table.h"
#include "framework/files/stream_functions.h"

namespace {

const StreamFunctions FileStreamSet = {
    FileStreamTell, FileStreamSeek, FileStreamRead, FileStreamEof, FileStreamIdleCheck, FileStreamClose,
};

const StreamFunctions MemoryStreamSet = {
    MemStreamTell, MemStreamSeek, MemStreamRead, MemStreamEof, MemStreamIdleCheck, CloseMemoryStream,
};

}  // namespace

const StreamFunctions* GetFileStreamFunctions() { return &FileStreamSet; }

const StreamFunctions* GetMemoryStreamFunctions() { return &MemoryStreamSet; }
