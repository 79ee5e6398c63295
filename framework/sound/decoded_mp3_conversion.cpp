// MP3 through a DirectShow graph: the data read into memory and served by
// the memory reader, the graph built around it with the sample grabber as
// the tap, the renderer exchanged for the Null Renderer, the graph run
// without a clock and the decoded PCM gathered until it completes.
#include "framework/sound/decoded_mp3_conversion.h"

#include <cstring>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/sound/movie/memory_reader.h"
#include "framework/sound/movie/memory_stream.h"
#include "framework/sound/movie/sample_grabber.h"
#include "framework/sound/sound_converter_kinds.h"
#include "framework/window/main_window.h"

namespace {

constexpr uint64_t kGrowthStep = 0x100000;
// The decoded block starts at this many times the MP3 data's size.
constexpr uint64_t kFirstCapacityFactor = 10;
constexpr LONG kCompletionWaitMilliseconds = 100;

// Everything the conversion holds while it works.
struct Mp3Graph {
    uint8_t* mp3 = nullptr;
    K_CMemStream* stream = nullptr;
    K_CMemReader* reader = nullptr;
    IBaseFilter* nullRenderer = nullptr;
    IGraphBuilder* graph = nullptr;
    K_CSampleGrabber* grabber = nullptr;
    IMediaFilter* mediaFilter = nullptr;
    IMediaControl* control = nullptr;
    IMediaEvent* event = nullptr;
};

template <class Interface>
void ReleaseInterface(Interface*& held) {
    if (held != nullptr) held->Release();
    held = nullptr;
}

// The graph is stopped first, so that its streaming threads have ended
// before anything they use goes; the filters go before the stream the
// reader reads, and the stream before the data it serves.
void ReleaseGraph(Mp3Graph& held) {
    if (held.control == nullptr && held.graph != nullptr)
        held.graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&held.control));
    if (held.control != nullptr) held.control->Stop();
    if (held.grabber != nullptr) held.grabber->SetCallback(nullptr, nullptr);
    ReleaseInterface(held.event);
    ReleaseInterface(held.control);
    ReleaseInterface(held.mediaFilter);
    ReleaseInterface(held.graph);
    ReleaseInterface(held.grabber);
    ReleaseInterface(held.reader);
    ReleaseInterface(held.nullRenderer);
    delete held.stream;
    held.stream = nullptr;
    FreeMemory(held.mp3);
    held.mp3 = nullptr;
}

void FreeDecodedPcm(SoundConverter* converter) {
    FreeMemory(converter->decodedPcm);
    converter->decodedPcm = nullptr;
    converter->decodedCapacity = 0;
    converter->decodedBytes = 0;
    converter->decodedPosition = 0;
}

int Fail(Mp3Graph& held, SoundConverter* converter, const char* text) {
    if (text != nullptr) WriteLogLine(text);
    ReleaseGraph(held);
    FreeDecodedPcm(converter);
    return -1;
}

// The whole stream into a new block; its size in `size`.
uint8_t* ReadWholeStream(const StreamSource& source, uint32_t* size) {
    if (SeekStream(source, 0, 2) != 0) return nullptr;
    const int32_t length = TellStream(source);
    if (length <= 0 || SeekStream(source, 0, 0) != 0) return nullptr;
    auto* data = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(length), __FILE__, __LINE__));
    if (data == nullptr) return nullptr;
    if (ReadStreamBytes(source, data, static_cast<uint32_t>(length)) != static_cast<uint32_t>(length)) {
        FreeMemory(data);
        return nullptr;
    }
    *size = static_cast<uint32_t>(length);
    return data;
}

// Puts the Null Renderer where the graph's renderer was: the first filter
// whose only pins are a connected input.
HRESULT ExchangeRenderer(IGraphBuilder* graph, IBaseFilter* nullRenderer) {
    IEnumFilters* filters = nullptr;
    if (FAILED(graph->EnumFilters(&filters)) || filters == nullptr) return E_FAIL;
    IPin* upstream = nullptr;
    IBaseFilter* filter = nullptr;
    ULONG fetched = 0;
    while (upstream == nullptr && filters->Next(1, &filter, &fetched) == S_OK && fetched == 1) {
        IPin* input = FindFilterPin(filter, PINDIR_INPUT);
        IPin* output = FindFilterPin(filter, PINDIR_OUTPUT);
        IPin* peer = nullptr;
        if (input != nullptr && output == nullptr && input->ConnectedTo(&peer) == S_OK && peer != nullptr) {
            graph->Disconnect(peer);
            graph->Disconnect(input);
            upstream = peer;
        }
        ReleaseInterface(input);
        ReleaseInterface(output);
        ReleaseInterface(filter);
    }
    filters->Release();
    if (upstream == nullptr) return E_FAIL;
    IPin* nullInput = FindFilterPin(nullRenderer, PINDIR_INPUT);
    const HRESULT result = nullInput != nullptr ? graph->Connect(upstream, nullInput) : E_FAIL;
    ReleaseInterface(nullInput);
    upstream->Release();
    return result;
}

}  // namespace

IPin* FindFilterPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    IEnumPins* pins = nullptr;
    if (filter == nullptr || FAILED(filter->EnumPins(&pins)) || pins == nullptr) return nullptr;
    IPin* found = nullptr;
    IPin* pin = nullptr;
    ULONG fetched = 0;
    while (found == nullptr && pins->Next(1, &pin, &fetched) == S_OK && fetched == 1) {
        PIN_DIRECTION its = PINDIR_INPUT;
        if (SUCCEEDED(pin->QueryDirection(&its)) && its == direction)
            found = pin;
        else
            pin->Release();
    }
    pins->Release();
    return found;
}

HRESULT AppendGrabbedPcm(IMediaSample* sample, REFERENCE_TIME start, REFERENCE_TIME stop, BOOL typeChanged,
                         void* user) {
    auto* converter = static_cast<SoundConverter*>(user);
    if (converter == nullptr || converter->decodedPcm == nullptr || sample == nullptr) return S_OK;
    BYTE* data = nullptr;
    const LONG length = sample->GetActualDataLength();
    if (FAILED(sample->GetPointer(&data)) || data == nullptr || length <= 0) return S_OK;

    const uint64_t needed = uint64_t(converter->decodedBytes) + uint64_t(length);
    if (needed > converter->decodedCapacity) {
        // The block grows by whole steps of a megabyte, and by at least half
        // of what it holds, so that a long sound is copied only a few times.
        uint64_t capacity = converter->decodedCapacity;
        while (capacity < needed) {
            uint64_t step = (capacity / 2 + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
            if (step < kGrowthStep) step = kGrowthStep;
            capacity += step;
        }
        void* grown = capacity <= MaxTrackedBlockSize
                          ? ReallocMemory(converter->decodedPcm, static_cast<size_t>(capacity), __FILE__, __LINE__)
                          : nullptr;
        if (grown == nullptr) {
            // Lost: the conversion ends with the re-allocation failure.
            FreeMemory(converter->decodedPcm);
            converter->decodedPcm = nullptr;
            converter->decodedCapacity = 0;
            return S_OK;
        }
        converter->decodedPcm = static_cast<uint8_t*>(grown);
        converter->decodedCapacity = static_cast<uint32_t>(capacity);
    }
    std::memcpy(converter->decodedPcm + converter->decodedBytes, data, static_cast<size_t>(length));
    converter->decodedBytes += static_cast<uint32_t>(length);
    return S_OK;
}

int ConvertMp3ToPcm(SoundConverter* converter) {
    converter->decodedPcm = nullptr;
    converter->decodedCapacity = 0;
    converter->decodedBytes = 0;
    converter->decodedPosition = 0;

    Mp3Graph held;
    uint32_t size = 0;
    held.mp3 = ReadWholeStream(converter->source, &size);
    if (held.mp3 == nullptr) return Fail(held, converter, nullptr);

    held.stream = K_CMemStream::Create(held.mp3, size, K_CMemStream::kNoRateLimit);
    if (held.stream == nullptr) return Fail(held, converter, "MP3変換用 K_CMemStream の作成に失敗しました\n");

    K_CMediaType streamType;
    streamType.SetType(&MEDIATYPE_Stream);
    streamType.SetSubtype(&MEDIASUBTYPE_MPEG1Audio);
    HRESULT result = S_OK;
    held.reader = K_CMemReader::Create(held.stream, &streamType, &result);
    if (held.reader == nullptr) return Fail(held, converter, "MP3変換用 K_CMemReader の作成に失敗しました\n");

    if (FAILED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&held.nullRenderer))))
        return Fail(held, converter, "MP3変換用 NullRender の作成に失敗しました\n");
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                IID_IGraphBuilder, reinterpret_cast<void**>(&held.graph))))
        return Fail(held, converter, "MP3変換用 IGraphBuilder の作成に失敗しました\n");

    held.grabber = K_CSampleGrabber::Create(nullptr, &result);
    if (held.grabber == nullptr) return Fail(held, converter, "MP3変換用 K_CSampleGrabber の作成に失敗しました\n");
    K_CMediaType pcmType;
    pcmType.SetType(&MEDIATYPE_Audio);
    pcmType.SetSubtype(&MEDIASUBTYPE_PCM);
    if (FAILED(held.grabber->SetAcceptedMediaType(&pcmType)))
        return Fail(held, converter, "サンプルグラバフィルタのメディアタイプの設定に失敗しました\n");

    if (FAILED(held.graph->AddFilter(held.grabber, L"SampleGrabber")))
        return Fail(held, converter, "サンプルグラバフィルタのグラフへの追加に失敗しました\n");
    if (FAILED(held.graph->AddFilter(held.reader, L"MemFile")))
        return Fail(held, converter, "メモリファイルフィルタのグラフへの追加に失敗しました\n");
    if (FAILED(held.graph->Render(held.reader->GetPin(0)))) return Fail(held, converter, "グラフの構築に失敗しました\n");
    if (FAILED(held.graph->AddFilter(held.nullRenderer, L"File Renderer")))
        return Fail(held, converter, "ヌルレンダラーフィルタのグラフへの追加に失敗しました\n");
    if (ExchangeRenderer(held.graph, held.nullRenderer) != S_OK)
        return Fail(held, converter, "既存レンダラーをNullレンダラーと交換する処理が失敗しました\n");

    AM_MEDIA_TYPE connected{};
    if (FAILED(held.grabber->GetConnectedMediaType(&connected)))
        return Fail(held, converter, "音声が含まれていないか、オーディオフォーマットの取得に失敗しました。\n");
    WAVEFORMATEX wave{};
    const bool waveFormat = IsEqualGUID(connected.formattype, FORMAT_WaveFormatEx) &&
                            connected.pbFormat != nullptr && connected.cbFormat >= sizeof(WAVEFORMATEX) - 2;
    if (waveFormat) std::memcpy(&wave, connected.pbFormat, sizeof(WAVEFORMATEX) - 2);
    K_FreeMediaType(connected);
    if (!waveFormat) return Fail(held, converter, "サポート外のストリームフォーマットです。\n");
    // A format without channels or sample size describes no PCM we can use.
    if (wave.wFormatTag != WAVE_FORMAT_PCM || wave.nChannels == 0 || wave.nBlockAlign == 0 ||
        wave.nSamplesPerSec == 0)
        return Fail(held, converter, "サポート外のオーディオフォーマットです。\n");

    WAVEFORMATEX& format = converter->format;
    format = WAVEFORMATEX{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = wave.nChannels;
    format.nSamplesPerSec = wave.nSamplesPerSec;
    format.nBlockAlign = wave.nBlockAlign;
    format.nAvgBytesPerSec = wave.nBlockAlign * wave.nSamplesPerSec;
    format.wBitsPerSample = static_cast<WORD>(wave.nBlockAlign * 8 / wave.nChannels);
    format.cbSize = 0;

    if (FAILED(held.grabber->SetCallback(AppendGrabbedPcm, converter)))
        return Fail(held, converter, "コールバック関数を設定できません\n");

    const uint64_t capacity = uint64_t(size) * kFirstCapacityFactor;
    if (capacity <= MaxTrackedBlockSize)
        converter->decodedPcm = static_cast<uint8_t*>(AllocMemory(static_cast<size_t>(capacity), __FILE__, __LINE__));
    if (converter->decodedPcm == nullptr)
        return Fail(held, converter, "PCMデータを格納するメモリ領域の確保に失敗しました\n");
    converter->decodedCapacity = static_cast<uint32_t>(capacity);
    converter->decodedBytes = 0;

    if (FAILED(held.graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&held.mediaFilter))))
        return Fail(held, converter, "IMediaFilter の取得に失敗しました\n");
    held.mediaFilter->SetSyncSource(nullptr);
    if (FAILED(held.graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&held.control))))
        return Fail(held, converter, "IMediaControl の取得に失敗しました\n");
    if (FAILED(held.graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&held.event))))
        return Fail(held, converter, "IMediaEvent の取得に失敗しました\n");

    // A graph that does not start would never complete either.
    if (FAILED(held.control->Run())) return Fail(held, converter, "MP3変換の途中でエラーが発生しました\n");
    for (;;) {
        if (ProcessWindowMessages() != 0)
            return Fail(held, converter, "MP3変換の途中でソフトが終了しました\n");
        LONG code = 0;
        const HRESULT waited = held.event->WaitForCompletion(kCompletionWaitMilliseconds, &code);
        if (waited == E_ABORT) continue;
        if (FAILED(waited) || code == EC_ERRORABORT || code == EC_USERABORT)
            return Fail(held, converter, "MP3変換の途中でエラーが発生しました\n");
        if (code == EC_COMPLETE) break;
    }
    if (converter->decodedPcm == nullptr)
        return Fail(held, converter, "PCMデータを格納するメモリ領域の再確保に失敗しました\n");

    ReleaseGraph(held);
    converter->decodedPosition = 0;
    converter->kind = kSoundConverterDecodedPcm;
    converter->bufferSize = format.nAvgBytesPerSec;
    return 0;
}

int OpenDecodedMp3(SoundConverter* converter) { return ConvertMp3ToPcm(converter); }
