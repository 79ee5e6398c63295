// The base of a video renderer: one input pin; in pause it holds the first
// sample that arrives (the pause is then complete); running, it shows each
// sample when the clock reaches its time, or at once without a clock or a
// time; after the last sample it reports the end of the stream to the graph
// (EC_COMPLETE) once that sample's time is over. A flush or a stop gives up
// the sample it holds.
//
// Samples are shown on the streaming thread that delivers them: Receive
// returns once the sample is shown (or given up), which paces the upstream
// filters. DoRenderSample runs under the renderer lock (RendererLock), which
// a reader of what it renders may hold.
#pragma once

#include "framework/sound/movie/base_filter.h"
#include "framework/sound/movie/base_pin.h"
#include "framework/sound/movie/sync_utilities.h"

class K_CBaseVideoRenderer;

class K_CRendererInputPin : public K_CBaseInputPin {
public:
    K_CRendererInputPin(K_CBaseVideoRenderer* renderer, HRESULT* result, LPCWSTR name);

    HRESULT CheckMediaType(const K_CMediaType* type) override;
    HRESULT SetMediaType(const K_CMediaType* type) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT WINAPI Receive(IMediaSample* sample) override;
    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;

private:
    K_CBaseVideoRenderer* renderer_;
};

class K_CBaseVideoRenderer : public K_CBaseFilter {
public:
    K_CBaseVideoRenderer(REFCLSID clsid, const char* objectName, IUnknown* owner, HRESULT* result);
    ~K_CBaseVideoRenderer() override;

    int GetPinCount() override { return 1; }
    K_CBasePin* GetPin(int n) override;

    HRESULT WINAPI Stop() override;
    HRESULT WINAPI Pause() override;
    HRESULT WINAPI Run(REFERENCE_TIME start) override;
    // Paused: VFW_S_STATE_INTERMEDIATE until a sample or the end of the
    // stream has arrived (at once when the pin is not connected).
    HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT WINAPI SetSyncSource(IReferenceClock* clock) override;

    // What a renderer decides: the types it takes and how it shows a sample.
    virtual HRESULT CheckMediaType(const K_CMediaType* type) = 0;
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;
    // The connection's type, or a change of type that a sample brings.
    virtual HRESULT SetMediaType(const K_CMediaType* type);
    virtual HRESULT CompleteConnect(IPin* receivePin);
    virtual HRESULT BreakConnect();

    // From the input pin, on the streaming thread.
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();

    K_CCritSec* RendererLock() { return &rendererLock_; }

protected:
    // Waits, with the renderer lock held on entry and on return, until a
    // sample due at stream time `due` (any time when `timed` is false) may
    // be shown: true then, false when a flush or a stop gave it up.
    bool WaitForTurn(bool timed, REFERENCE_TIME due);

    K_CCritSec interfaceLock_;  // the filter lock: connections and state changes
    K_CCritSec rendererLock_;   // what the streaming thread shares with them
    K_CRendererInputPin* inputPin_ = nullptr;

private:
    K_CAMEvent wake_{false};  // a state change or flush for the waiting thread
    K_CAMEvent due_{true};    // the clock's advice that a sample's time came
    K_CAMEvent ready_{true};  // set while a pause is complete
    // Guarded by the renderer lock.
    bool flushing_ = false;
    bool endOfStream_ = false;
    bool waiting_ = false;  // a sample or the end of stream waits for its turn
    bool lastEndValid_ = false;
    REFERENCE_TIME lastEnd_ = 0;  // the end time of the last sample shown
};
