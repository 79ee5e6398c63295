// The two constant sets of stream routines handed to decoders.
#include "framework/core/file_access_table.h"
#include "framework/core/stream_functions.h"

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
