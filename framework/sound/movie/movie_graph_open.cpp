// A movie opened through a filter graph that ends in the movie renderer:
// the graph and its interfaces, the file rendered by name, and, when the
// graph cannot open the name (a file inside an archive), a temporary copy
// made through the framework's file routines and rendered instead. Closing
// lets go of the graph before the frame buffer the renderer filled.
#include <cstdio>
#include <cstring>
#include <string>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/files/file_access_table.h"
#include "framework/files/temp_file.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/movie_renderer_filter.h"
#include "platform/com/com.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/shift_jis.h"

namespace {

constexpr uint32_t kCopyPiece = 0x100000;
constexpr size_t kMessageSize = 512;

template <class Interface>
void ReleaseInterface(Interface*& held) {
    if (held != nullptr) held->Release();
    held = nullptr;
}

// The system's file name as the wide name the graph takes (at most 260
// characters); false when it is no Shift-JIS text.
bool ToWideName(const char* fileName, std::wstring& wide) {
    std::string utf8;
    if (!platform::ShiftJisToUtf8(fileName, utf8)) return false;
    wide.clear();
    // The conversion gave well-formed UTF-8: each lead byte says how many
    // continuation bytes follow.
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const size_t extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        if (i + extra >= utf8.size()) return false;
        uint32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
        for (size_t k = 1; k <= extra; ++k) code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        wide += static_cast<wchar_t>(code);
        i += extra + 1;
    }
    if (wide.size() > MAX_PATH) wide.resize(MAX_PATH);
    return true;
}

HRESULT RenderName(IGraphBuilder* graph, const char* fileName) {
    std::wstring wide;
    if (!ToWideName(fileName, wide)) return E_INVALIDARG;
    return graph->RenderFile(wide.c_str(), nullptr);
}

// Copies the file into a new temporary file whose path goes to the
// record's fileName; false when the file, the buffer or the temporary file
// cannot be had, or the copy comes out short (the copy is then deleted).
bool CopyToTemporaryFile(MovieRecord* movie, const char* fileName) {
    const uintptr_t file = FileStreamOpen(fileName, 0, 1, 0);
    if (file == 0) return false;
    FileStreamSeek(file, 0, 2);
    const int32_t size = FileStreamTell(file);
    FileStreamSeek(file, 0, 0);
    uint8_t* buffer = static_cast<uint8_t*>(AllocMemory(kCopyPiece, __FILE__, __LINE__));
    if (buffer == nullptr || size < 0) {
        FreeMemory(buffer);
        FileStreamClose(file);
        return false;
    }
    char path[MAX_PATH + 1] = {};
    const HANDLE copy = CreateTempFile(path);
    if (copy == nullptr || copy == INVALID_HANDLE_VALUE) {
        FreeMemory(buffer);
        FileStreamClose(file);
        return false;
    }
    const size_t nameLength = strnlen(path, sizeof movie->fileName - 1);
    std::memcpy(movie->fileName, path, nameLength);
    movie->fileName[nameLength] = '\0';
    movie->tempFile = 1;
    uint32_t left = static_cast<uint32_t>(size);
    bool whole = true;
    while (left > 0) {
        const uint32_t piece = left < kCopyPiece ? left : kCopyPiece;
        // A short read is a short copy too, never bytes left over from the
        // piece before.
        const uint32_t read = FileStreamRead(buffer, 1, piece, file);
        DWORD written = 0;
        if (read != piece || !WriteFile(copy, buffer, piece, &written, nullptr) || written != piece) {
            whole = false;
            break;
        }
        left -= piece;
    }
    CloseHandle(copy);
    FileStreamClose(file);
    FreeMemory(buffer);
    if (!whole) {
        DeleteFileA(movie->fileName);
        movie->tempFile = 0;
    }
    return whole;
}

void Fail(MovieRecord* movie, const char* message) {
    ReleaseMovieGraph(movie);
    WriteLogLine(message);
}

}  // namespace

void ReleaseMovieGraph(MovieRecord* movie) {
    // The streaming threads end before anything they write into goes.
    if (movie->mediaControl != nullptr) movie->mediaControl->Stop();
    uint8_t* frames = movie->renderer != nullptr ? movie->renderer->frameBuffer : nullptr;
    ReleaseInterface(movie->basicAudio);
    ReleaseInterface(movie->mediaSeeking);
    ReleaseInterface(movie->mediaControl);
    if (movie->renderer != nullptr) movie->renderer->Release();
    movie->renderer = nullptr;
    ReleaseInterface(movie->graphBuilder);
    FreeMemory(frames);
    movie->frameImage.pixels = nullptr;
}

int OpenMovieWithDirectShow(MovieRecord* movie, const char* fileName, int* width, int* height) {
    char message[kMessageSize];
    movie->frameUpdated = 0;
    movie->frameImage.pixels = nullptr;

    void* made = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                IID_IGraphBuilder, &made)) ||
        made == nullptr) {
        Fail(movie, "CLSID_FilterGraph の作成に失敗しました\n");
        return -1;
    }
    movie->graphBuilder = static_cast<IGraphBuilder*>(made);

    HRESULT result = S_OK;
    movie->renderer = MovieRendererFilter::Create(nullptr, &result);
    if (movie->renderer == nullptr || FAILED(result) ||
        FAILED(movie->graphBuilder->AddFilter(movie->renderer, L"MovieRenderer"))) {
        Fail(movie, "Could not add renderer filter to graph!\n");
        return -1;
    }

    struct Wanted {
        const GUID& iid;
        void** into;
        const char* failure;
    };
    const Wanted wanted[] = {
        {IID_IBasicAudio, reinterpret_cast<void**>(&movie->basicAudio),
         "BasicAudio インターフェースの取得に失敗しました\n"},
        {IID_IMediaControl, reinterpret_cast<void**>(&movie->mediaControl),
         "IID_IMediaControlインターフェイスの取得に失敗しました\n"},
        {IID_IMediaSeeking, reinterpret_cast<void**>(&movie->mediaSeeking),
         "IID_IMediaSeekingインターフェイスの取得に失敗しました\n"},
    };
    for (const Wanted& one : wanted) {
        if (FAILED(movie->graphBuilder->QueryInterface(one.iid, one.into)) || *one.into == nullptr) {
            Fail(movie, one.failure);
            return -1;
        }
    }

    std::strncpy(movie->fileName, fileName, sizeof movie->fileName - 1);
    movie->fileName[sizeof movie->fileName - 1] = '\0';
    result = RenderName(movie->graphBuilder, movie->fileName);
    std::snprintf(message, sizeof message, "ファイル:%s が開けませんでした\n", fileName);
    if (FAILED(result)) {
        if (movie->tempFile == 1 || !CopyToTemporaryFile(movie, fileName)) {
            Fail(movie, message);
            return -1;
        }
        result = RenderName(movie->graphBuilder, movie->fileName);
        if (FAILED(result)) {
            ReleaseMovieGraph(movie);
            DeleteFileA(movie->fileName);
            movie->tempFile = 0;
            WriteLogLine(message);
            return -1;
        }
    }
    // A file whose picture never reached the renderer (sound only) is no
    // movie.
    if (movie->renderer->frameWidth <= 0 || movie->renderer->frameHeight <= 0) {
        ReleaseMovieGraph(movie);
        if (movie->tempFile == 1) DeleteFileA(movie->fileName);
        movie->tempFile = 0;
        WriteLogLine(message);
        return -1;
    }

    LONGLONG stop = 0;
    movie->mediaSeeking->GetStopPosition(&stop);
    movie->stopPosition = stop;
    if (width != nullptr) *width = movie->renderer->frameWidth;
    if (height != nullptr) *height = movie->renderer->frameHeight;
    return 0;
}
