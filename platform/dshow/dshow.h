// Media streaming through filter graphs: the filter graph manager that
// CoCreateInstance makes (CLSID_FilterGraph) with its builder, control,
// seeking, event, filter and audio interfaces; the interfaces that filters,
// pins, allocators, samples and clocks speak to each other; a system
// reference clock; the Null Renderer (CLSID_NullRenderer); and a registry of
// filters that Connect, Render and RenderFile draw on: a media file source
// that decodes movie and sound files through FFmpeg (libavformat, libavcodec,
// libswscale, libswresample), an MPEG-audio decoder, and an audio renderer
// that plays through the DirectSound stand-in (platform/dsound).
//
// Stands in for the media streaming library the framework calls, with the
// names and numeric values the framework expects. Left out: every interface
// member that neither the framework nor its filters call; the automation
// (dispatch) side of the graph's interfaces; the graph's event queue (only
// completion and abort are kept, for WaitForCompletion); time formats other
// than media time in 100 ns units and rates other than 1; a clock taken from
// a filter (a graph runs on the system clock unless the program chooses
// another or none); worker threads of the graph's own (state changes run on
// the calling thread).
// Built on our kernel (critical sections, events and the waits on them, the
// performance counter for the system clock) and the component-object layer
// (platform/com). Which decoding filters exist is up to the filter registry
// (platform/dshow/filter_registry.h), where they add themselves.
//
// Times are REFERENCE_TIMEs: 100 ns units. A sample's time is stream time,
// counted from the start time the graph hands its filters in Run.
#pragma once

#include "platform/com/com.h"
#include "platform/gdi/gdi.h"
#include "platform/win_types.h"
#include "platform/winmm/winmm.h"

// ---- basic types -----------------------------------------------------------------

// Wide text: filter and pin names, file names given to a graph.
typedef wchar_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

typedef LONGLONG REFERENCE_TIME;
typedef LONG OAFilterState;

// Memory that one side allocates and the other frees: media types handed out
// by enumerators and samples, and their format blocks.
LPVOID WINAPI CoTaskMemAlloc(SIZE_T bytes);
void WINAPI CoTaskMemFree(LPVOID memory);

// ---- results ---------------------------------------------------------------------

// A success that asks for something more: a byte stream's read that starts
// a new, discontinuous stretch of data.
#define OLE_S_FIRST ((HRESULT)0x00040000)

#define E_ABORT ((HRESULT)0x80004004u)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFu)

#define VFW_S_NO_MORE_ITEMS ((HRESULT)0x00040103)
#define VFW_S_DUPLICATE_NAME ((HRESULT)0x0004022D)
#define VFW_S_STATE_INTERMEDIATE ((HRESULT)0x00040237)
#define VFW_S_PARTIAL_RENDER ((HRESULT)0x00040242)
#define VFW_S_NO_STOP_TIME ((HRESULT)0x00040270)

#define VFW_E_INVALIDMEDIATYPE ((HRESULT)0x80040200u)
#define VFW_E_ALREADY_CONNECTED ((HRESULT)0x80040204u)
#define VFW_E_NO_ACCEPTABLE_TYPES ((HRESULT)0x80040207u)
#define VFW_E_INVALID_DIRECTION ((HRESULT)0x80040208u)
#define VFW_E_NOT_CONNECTED ((HRESULT)0x80040209u)
#define VFW_E_NO_ALLOCATOR ((HRESULT)0x8004020Au)
#define VFW_E_RUNTIME_ERROR ((HRESULT)0x8004020Bu)
#define VFW_E_BUFFER_OVERFLOW ((HRESULT)0x8004020Du)
#define VFW_E_BADALIGN ((HRESULT)0x8004020Eu)
#define VFW_E_ALREADY_COMMITTED ((HRESULT)0x8004020Fu)
#define VFW_E_BUFFERS_OUTSTANDING ((HRESULT)0x80040210u)
#define VFW_E_NOT_COMMITTED ((HRESULT)0x80040211u)
#define VFW_E_SIZENOTSET ((HRESULT)0x80040212u)
#define VFW_E_NO_CLOCK ((HRESULT)0x80040213u)
#define VFW_E_NOT_FOUND ((HRESULT)0x80040216u)
#define VFW_E_CANNOT_CONNECT ((HRESULT)0x80040217u)
#define VFW_E_CANNOT_RENDER ((HRESULT)0x80040218u)
#define VFW_E_NOT_STOPPED ((HRESULT)0x80040224u)
#define VFW_E_WRONG_STATE ((HRESULT)0x80040227u)
#define VFW_E_TYPE_NOT_ACCEPTED ((HRESULT)0x8004022Au)
#define VFW_E_SAMPLE_REJECTED_EOS ((HRESULT)0x8004022Cu)
#define VFW_E_TIMEOUT ((HRESULT)0x8004022Eu)
// A filter takes only the kinds of input it was told to take.
#define VFW_E_TYPE_REFUSED ((HRESULT)0x80040248u)
#define VFW_E_SAMPLE_TIME_NOT_SET ((HRESULT)0x80040249u)
#define VFW_E_NOT_IN_GRAPH ((HRESULT)0x8004025Fu)
#define VFW_E_UNSUPPORTED_STREAM ((HRESULT)0x80040265u)

// ---- events ----------------------------------------------------------------------

#define EC_COMPLETE 0x01
#define EC_USERABORT 0x02
#define EC_ERRORABORT 0x03

// ---- identifiers -----------------------------------------------------------------
// Our own values, except the media type of video, whose first word is its
// four-character code "vids".

#define KILN_DSHOW_GUID(n) {0x4B494C00u + (n), 0x4453u, 0x484Fu, {0x57u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, (BYTE)(n)}}

inline constexpr GUID GUID_NULL = {0x00000000u, 0x0000u, 0x0000u, {0, 0, 0, 0, 0, 0, 0, 0}};

inline constexpr GUID CLSID_FilterGraph = KILN_DSHOW_GUID(1);
inline constexpr GUID CLSID_NullRenderer = KILN_DSHOW_GUID(2);

inline constexpr GUID IID_IPersist = KILN_DSHOW_GUID(10);
inline constexpr GUID IID_IMediaFilter = KILN_DSHOW_GUID(11);
inline constexpr GUID IID_IBaseFilter = KILN_DSHOW_GUID(12);
inline constexpr GUID IID_IPin = KILN_DSHOW_GUID(13);
inline constexpr GUID IID_IEnumPins = KILN_DSHOW_GUID(14);
inline constexpr GUID IID_IEnumMediaTypes = KILN_DSHOW_GUID(15);
inline constexpr GUID IID_IMemInputPin = KILN_DSHOW_GUID(16);
inline constexpr GUID IID_IMemAllocator = KILN_DSHOW_GUID(17);
inline constexpr GUID IID_IMediaSample = KILN_DSHOW_GUID(18);
inline constexpr GUID IID_IReferenceClock = KILN_DSHOW_GUID(19);
inline constexpr GUID IID_IFilterGraph = KILN_DSHOW_GUID(20);
inline constexpr GUID IID_IGraphBuilder = KILN_DSHOW_GUID(21);
inline constexpr GUID IID_IEnumFilters = KILN_DSHOW_GUID(22);
inline constexpr GUID IID_IMediaEventSink = KILN_DSHOW_GUID(23);
inline constexpr GUID IID_IMediaControl = KILN_DSHOW_GUID(24);
inline constexpr GUID IID_IMediaEvent = KILN_DSHOW_GUID(25);
inline constexpr GUID IID_IMediaSeeking = KILN_DSHOW_GUID(26);
inline constexpr GUID IID_IBasicAudio = KILN_DSHOW_GUID(27);
inline constexpr GUID IID_IFileSourceFilter = KILN_DSHOW_GUID(28);
inline constexpr GUID IID_IAsyncReader = KILN_DSHOW_GUID(29);

inline constexpr GUID MEDIATYPE_Video = {0x73646976u, 0x0000u, 0x0010u,
                                         {0x80u, 0x00u, 0x00u, 0xAAu, 0x00u, 0x38u, 0x9Bu, 0x71u}};
inline constexpr GUID MEDIASUBTYPE_RGB24 = KILN_DSHOW_GUID(40);
inline constexpr GUID MEDIASUBTYPE_RGB32 = KILN_DSHOW_GUID(41);
inline constexpr GUID FORMAT_VideoInfo = KILN_DSHOW_GUID(60);

// Sound: a stream of bytes not yet split into samples (a file's contents),
// MPEG-1 audio in it, and decoded sound described by a WAVEFORMATEX.
inline constexpr GUID MEDIATYPE_Stream = KILN_DSHOW_GUID(70);
inline constexpr GUID MEDIATYPE_Audio = KILN_DSHOW_GUID(71);
inline constexpr GUID MEDIASUBTYPE_MPEG1Audio = KILN_DSHOW_GUID(72);
inline constexpr GUID MEDIASUBTYPE_PCM = KILN_DSHOW_GUID(73);
inline constexpr GUID FORMAT_WaveFormatEx = KILN_DSHOW_GUID(74);

// ---- media types -----------------------------------------------------------------

typedef struct _AMMediaType {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;  // held with a reference; released with the type
    ULONG cbFormat;
    BYTE* pbFormat;  // CoTaskMemAlloc memory
} AM_MEDIA_TYPE;

// The format block of FORMAT_VideoInfo.
typedef struct tagVIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
} VIDEOINFOHEADER;

// ---- states and directions ---------------------------------------------------------

typedef enum _FilterState { State_Stopped = 0, State_Paused = 1, State_Running = 2 } FILTER_STATE;

typedef enum _PinDirection { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 } PIN_DIRECTION;

// How IMediaSeeking::SetPositions takes each of its two positions.
#define AM_SEEKING_NoPositioning 0x0u
#define AM_SEEKING_AbsolutePositioning 0x1u
#define AM_SEEKING_RelativePositioning 0x2u
#define AM_SEEKING_PositioningBitsMask 0x3u

// ---- clocks, samples and allocators -------------------------------------------------

struct IReferenceClock : IUnknown {
    // The clock's time; it never runs backwards.
    virtual HRESULT WINAPI GetTime(REFERENCE_TIME* time) = 0;
    // Sets `event` once the clock reaches baseTime + streamTime (at once when
    // it already has); the cookie cancels the request.
    virtual HRESULT WINAPI AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HANDLE event,
                                      DWORD_PTR* adviseCookie) = 0;
    // S_FALSE when the request has already fired or never existed.
    virtual HRESULT WINAPI Unadvise(DWORD_PTR adviseCookie) = 0;
};

struct IMediaSample : IUnknown {
    virtual HRESULT WINAPI GetPointer(BYTE** buffer) = 0;
    virtual LONG WINAPI GetSize() = 0;
    // VFW_E_SAMPLE_TIME_NOT_SET without a time; VFW_S_NO_STOP_TIME when only
    // the start is set (the end is then start + 1).
    virtual HRESULT WINAPI GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;
    // A null start clears the time; a null end sets only the start.
    virtual HRESULT WINAPI SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;
    virtual HRESULT WINAPI IsSyncPoint() = 0;
    virtual HRESULT WINAPI SetSyncPoint(BOOL syncPoint) = 0;
    virtual HRESULT WINAPI IsPreroll() = 0;
    virtual HRESULT WINAPI SetPreroll(BOOL preroll) = 0;
    virtual LONG WINAPI GetActualDataLength() = 0;
    virtual HRESULT WINAPI SetActualDataLength(LONG length) = 0;
    // The type the stream changes to with this sample: S_FALSE and null when
    // it does not change. The caller frees what it gets (CoTaskMemFree of the
    // format block and of the type).
    virtual HRESULT WINAPI GetMediaType(AM_MEDIA_TYPE** mediaType) = 0;
    virtual HRESULT WINAPI SetMediaType(AM_MEDIA_TYPE* mediaType) = 0;
    virtual HRESULT WINAPI IsDiscontinuity() = 0;
    virtual HRESULT WINAPI SetDiscontinuity(BOOL discontinuity) = 0;
};

typedef struct _AllocatorProperties {
    LONG cBuffers;
    LONG cbBuffer;
    LONG cbAlign;
    LONG cbPrefix;
} ALLOCATOR_PROPERTIES;

struct IMemAllocator : IUnknown {
    virtual HRESULT WINAPI SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) = 0;
    virtual HRESULT WINAPI GetProperties(ALLOCATOR_PROPERTIES* properties) = 0;
    virtual HRESULT WINAPI Commit() = 0;
    // Wakes every GetBuffer that waits; they fail with VFW_E_NOT_COMMITTED.
    virtual HRESULT WINAPI Decommit() = 0;
    // Waits for a free sample while the allocator is committed.
    virtual HRESULT WINAPI GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                                     DWORD flags) = 0;
    virtual HRESULT WINAPI ReleaseBuffer(IMediaSample* sample) = 0;
};

// ---- pins and filters ------------------------------------------------------------

struct IBaseFilter;
struct IFilterGraph;

typedef struct _PinInfo {
    IBaseFilter* pFilter;  // with a reference
    PIN_DIRECTION dir;
    WCHAR achName[128];
} PIN_INFO;

struct IEnumMediaTypes : IUnknown {
    // The types are the caller's to free (format block, then the type, with
    // CoTaskMemFree). S_FALSE when fewer than asked were left.
    virtual HRESULT WINAPI Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) = 0;
    virtual HRESULT WINAPI Reset() = 0;
};

struct IPin : IUnknown {
    // Called on an output pin: connects it to `receivePin`, with `mediaType`
    // when it is complete, else with a type that matches what it names.
    virtual HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) = 0;
    // Called on an input pin by the output pin that connects to it.
    virtual HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) = 0;
    // Breaks this side of the connection only.
    virtual HRESULT WINAPI Disconnect() = 0;
    virtual HRESULT WINAPI ConnectedTo(IPin** pin) = 0;
    virtual HRESULT WINAPI ConnectionMediaType(AM_MEDIA_TYPE* mediaType) = 0;
    virtual HRESULT WINAPI QueryPinInfo(PIN_INFO* info) = 0;
    virtual HRESULT WINAPI QueryDirection(PIN_DIRECTION* direction) = 0;
    // S_OK when the pin would take the type, S_FALSE when not.
    virtual HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) = 0;
    virtual HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) = 0;
    virtual HRESULT WINAPI EndOfStream() = 0;
    virtual HRESULT WINAPI BeginFlush() = 0;
    virtual HRESULT WINAPI EndFlush() = 0;
    virtual HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;
};

struct IEnumPins : IUnknown {
    virtual HRESULT WINAPI Next(ULONG count, IPin** pins, ULONG* fetched) = 0;
    virtual HRESULT WINAPI Reset() = 0;
};

struct IMemInputPin : IUnknown {
    virtual HRESULT WINAPI GetAllocator(IMemAllocator** allocator) = 0;
    virtual HRESULT WINAPI NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) = 0;
    virtual HRESULT WINAPI GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) = 0;
    // May block until the sample is due (renderers).
    virtual HRESULT WINAPI Receive(IMediaSample* sample) = 0;
};

struct IPersist : IUnknown {
    virtual HRESULT WINAPI GetClassID(CLSID* classId) = 0;
};

struct IMediaFilter : IPersist {
    virtual HRESULT WINAPI Stop() = 0;
    virtual HRESULT WINAPI Pause() = 0;
    virtual HRESULT WINAPI Run(REFERENCE_TIME start) = 0;
    // VFW_S_STATE_INTERMEDIATE while a pause is not complete yet.
    virtual HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) = 0;
    // Null: no clock, samples are rendered as soon as they arrive.
    virtual HRESULT WINAPI SetSyncSource(IReferenceClock* clock) = 0;
    virtual HRESULT WINAPI GetSyncSource(IReferenceClock** clock) = 0;
};

typedef struct _FilterInfo {
    WCHAR achName[128];
    IFilterGraph* pGraph;  // with a reference, or null
} FILTER_INFO;

struct IBaseFilter : IMediaFilter {
    virtual HRESULT WINAPI EnumPins(IEnumPins** enumerator) = 0;
    virtual HRESULT WINAPI FindPin(LPCWSTR id, IPin** pin) = 0;
    virtual HRESULT WINAPI QueryFilterInfo(FILTER_INFO* info) = 0;
    // The graph holds the filter; the filter does not hold the graph.
    virtual HRESULT WINAPI JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) = 0;
};

// What a source that serves a byte stream offers the pin that pulls from it.
// Sample times are byte positions times 10,000,000: a request for a sample
// reads the bytes from its start to its stop time.
struct IAsyncReader : IUnknown {
    // The allocator whose samples the requests fill: `preferred` when it
    // takes the properties with the stream's alignment, else one of the
    // reader's own.
    virtual HRESULT WINAPI RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                                            IMemAllocator** actual) = 0;
    // Queues a read into the sample; WaitForNext hands it back filled.
    virtual HRESULT WINAPI Request(IMediaSample* sample, DWORD_PTR user) = 0;
    // The next completed request, in the order they complete; VFW_E_TIMEOUT
    // when none completed in time, VFW_E_WRONG_STATE during a flush.
    virtual HRESULT WINAPI WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) = 0;
    // Reads into the sample at once.
    virtual HRESULT WINAPI SyncReadAligned(IMediaSample* sample) = 0;
    // Reads `length` bytes at `position` into `buffer` at once; S_FALSE when
    // fewer were there.
    virtual HRESULT WINAPI SyncRead(LONGLONG position, LONG length, BYTE* buffer) = 0;
    virtual HRESULT WINAPI Length(LONGLONG* total, LONGLONG* available) = 0;
    // Hands back every queued request unread and refuses new ones until
    // EndFlush.
    virtual HRESULT WINAPI BeginFlush() = 0;
    virtual HRESULT WINAPI EndFlush() = 0;
};

// A source that reads a file, which RenderFile hands the file's name.
struct IFileSourceFilter : IUnknown {
    virtual HRESULT WINAPI Load(LPCWSTR fileName, const AM_MEDIA_TYPE* mediaType) = 0;
};

// ---- the graph -------------------------------------------------------------------

struct IEnumFilters : IUnknown {
    virtual HRESULT WINAPI Next(ULONG count, IBaseFilter** filters, ULONG* fetched) = 0;
    virtual HRESULT WINAPI Reset() = 0;
};

struct IFilterGraph : IUnknown {
    // A name already in the graph gets a number added (VFW_S_DUPLICATE_NAME).
    virtual HRESULT WINAPI AddFilter(IBaseFilter* filter, LPCWSTR name) = 0;
    virtual HRESULT WINAPI RemoveFilter(IBaseFilter* filter) = 0;
    // The filters in the order they were added.
    virtual HRESULT WINAPI EnumFilters(IEnumFilters** enumerator) = 0;
    virtual HRESULT WINAPI ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* mediaType) = 0;
    virtual HRESULT WINAPI Disconnect(IPin* pin) = 0;
};

struct IGraphBuilder : IFilterGraph {
    // Directly, or through filters of the registry put in between.
    virtual HRESULT WINAPI Connect(IPin* output, IPin* input) = 0;
    // Connects the output pin onward until its stream ends in a renderer.
    virtual HRESULT WINAPI Render(IPin* output) = 0;
    virtual HRESULT WINAPI RenderFile(LPCWSTR file, LPCWSTR playList) = 0;
};

// What filters report to the graph (EC_COMPLETE, EC_ERRORABORT, ...).
struct IMediaEventSink : IUnknown {
    virtual HRESULT WINAPI Notify(LONG eventCode, LONG_PTR param1, LONG_PTR param2) = 0;
};

struct IMediaControl : IUnknown {
    virtual HRESULT WINAPI Run() = 0;
    virtual HRESULT WINAPI Pause() = 0;
    virtual HRESULT WINAPI Stop() = 0;
    virtual HRESULT WINAPI GetState(LONG milliseconds, OAFilterState* state) = 0;
};

struct IMediaEvent : IUnknown {
    // Waits until every renderer has reported the end of its stream
    // (EC_COMPLETE) or a filter has given up (EC_ERRORABORT): S_OK with that
    // code. E_ABORT when the time ran out; VFW_E_WRONG_STATE when the graph
    // is stopped.
    virtual HRESULT WINAPI WaitForCompletion(LONG milliseconds, LONG* eventCode) = 0;
};

struct IMediaSeeking : IUnknown {
    virtual HRESULT WINAPI GetStopPosition(LONGLONG* stop) = 0;
    virtual HRESULT WINAPI GetCurrentPosition(LONGLONG* current) = 0;
    virtual HRESULT WINAPI SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                        DWORD stopFlags) = 0;
};

// Volume in hundredths of a decibel, 0 (full) down to -10000 (silence).
struct IBasicAudio : IUnknown {
    virtual HRESULT WINAPI put_Volume(LONG volume) = 0;
    virtual HRESULT WINAPI get_Volume(LONG* volume) = 0;
};
