// The base video renderer: pre-roll in pause, samples shown at their time on
// the clock, the end of the stream after the last sample, flushes and stops
// that give up the held sample.
#include "framework/sound/movie/video_renderer_base.h"

#include <new>

K_CRendererInputPin::K_CRendererInputPin(K_CBaseVideoRenderer* renderer, HRESULT* result, LPCWSTR name)
    : K_CBaseInputPin("K_CRendererInputPin", renderer, renderer->FilterLock(), result, name), renderer_(renderer) {}

HRESULT K_CRendererInputPin::CheckMediaType(const K_CMediaType* type) { return renderer_->CheckMediaType(type); }

HRESULT K_CRendererInputPin::SetMediaType(const K_CMediaType* type) {
    const HRESULT result = renderer_->SetMediaType(type);
    if (FAILED(result)) return result;
    return K_CBaseInputPin::SetMediaType(type);
}

HRESULT K_CRendererInputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT result = renderer_->CompleteConnect(receivePin);
    if (FAILED(result)) return result;
    return K_CBaseInputPin::CompleteConnect(receivePin);
}

HRESULT K_CRendererInputPin::BreakConnect() {
    renderer_->BreakConnect();
    return K_CBaseInputPin::BreakConnect();
}

HRESULT WINAPI K_CRendererInputPin::Receive(IMediaSample* sample) {
    const HRESULT result = K_CBaseInputPin::Receive(sample);
    if (result != S_OK) return result;
    return renderer_->Receive(sample);
}

HRESULT WINAPI K_CRendererInputPin::EndOfStream() {
    const HRESULT result = CheckStreaming();
    if (result != S_OK) return result;
    return renderer_->EndOfStream();
}

HRESULT WINAPI K_CRendererInputPin::BeginFlush() {
    K_CBaseInputPin::BeginFlush();
    return renderer_->BeginFlush();
}

HRESULT WINAPI K_CRendererInputPin::EndFlush() {
    renderer_->EndFlush();
    return K_CBaseInputPin::EndFlush();
}

K_CBaseVideoRenderer::K_CBaseVideoRenderer(REFCLSID clsid, const char* objectName, IUnknown* owner,
                                           HRESULT* result)
    : K_CBaseFilter(objectName, owner, &interfaceLock_, clsid) {
    inputPin_ = new (std::nothrow) K_CRendererInputPin(this, result, L"In");
    const bool eventsMade = wake_.Handle() != nullptr && due_.Handle() != nullptr && ready_.Handle() != nullptr;
    if ((inputPin_ == nullptr || !eventsMade) && result != nullptr) *result = E_OUTOFMEMORY;
}

K_CBaseVideoRenderer::~K_CBaseVideoRenderer() { delete inputPin_; }

K_CBasePin* K_CBaseVideoRenderer::GetPin(int n) { return n == 0 ? inputPin_ : nullptr; }

HRESULT WINAPI K_CBaseVideoRenderer::Stop() {
    K_CAutoLock filterLock(&interfaceLock_);
    K_CAutoLock streamLock(&rendererLock_);
    const HRESULT result = K_CBaseFilter::Stop();
    flushing_ = false;
    endOfStream_ = false;
    lastEndValid_ = false;
    ready_.Reset();
    wake_.Set();
    return result;
}

HRESULT WINAPI K_CBaseVideoRenderer::Pause() {
    K_CAutoLock filterLock(&interfaceLock_);
    K_CAutoLock streamLock(&rendererLock_);
    const bool fromStopped = IsStopped();
    const HRESULT result = K_CBaseFilter::Pause();
    if (FAILED(result)) return result;
    if (fromStopped) {
        flushing_ = false;
        endOfStream_ = false;
        lastEndValid_ = false;
    }
    // Nothing to wait for without a connection; a sample that waits, or the
    // end of the stream, completes the pause.
    if (inputPin_ == nullptr || !inputPin_->IsConnected() || endOfStream_ || waiting_)
        ready_.Set();
    else
        ready_.Reset();
    wake_.Set();
    return S_OK;
}

HRESULT WINAPI K_CBaseVideoRenderer::Run(REFERENCE_TIME start) {
    K_CAutoLock filterLock(&interfaceLock_);
    K_CAutoLock streamLock(&rendererLock_);
    const HRESULT result = K_CBaseFilter::Run(start);
    if (FAILED(result)) return result;
    ready_.Set();
    wake_.Set();
    return S_OK;
}

HRESULT WINAPI K_CBaseVideoRenderer::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (state == nullptr) return E_POINTER;
    *state = State();
    if (*state == State_Paused && !ready_.Wait(milliseconds)) return VFW_S_STATE_INTERMEDIATE;
    return S_OK;
}

HRESULT WINAPI K_CBaseVideoRenderer::SetSyncSource(IReferenceClock* clock) {
    K_CAutoLock filterLock(&interfaceLock_);
    K_CAutoLock streamLock(&rendererLock_);
    return K_CBaseFilter::SetSyncSource(clock);
}

HRESULT K_CBaseVideoRenderer::SetMediaType(const K_CMediaType* type) { return S_OK; }

HRESULT K_CBaseVideoRenderer::CompleteConnect(IPin* receivePin) { return S_OK; }

HRESULT K_CBaseVideoRenderer::BreakConnect() { return S_OK; }

bool K_CBaseVideoRenderer::WaitForTurn(bool timed, REFERENCE_TIME due) {
    waiting_ = true;
    for (;;) {
        if (flushing_ || IsStopped()) {
            waiting_ = false;
            return false;
        }
        IReferenceClock* clock = nullptr;
        DWORD_PTR cookie = 0;
        if (State() == State_Paused) {
            // Held until the graph runs: the pause is complete.
            ready_.Set();
        } else {
            if (!timed || clock_ == nullptr) break;
            REFERENCE_TIME now = 0;
            if (FAILED(clock_->GetTime(&now)) || now >= start_ + due) break;
            due_.Reset();
            if (FAILED(clock_->AdviseTime(start_, due, due_.Handle(), &cookie))) break;
            clock = clock_;
            clock->AddRef();
        }
        // The lock is taken once by Receive or EndOfStream, so this lets go
        // of it while the thread sleeps.
        rendererLock_.Unlock();
        const HANDLE wakeUps[2] = {wake_.Handle(), due_.Handle()};
        WaitForMultipleObjects(clock != nullptr ? 2 : 1, wakeUps, FALSE, INFINITE);
        rendererLock_.Lock();
        if (clock != nullptr) {
            clock->Unadvise(cookie);
            clock->Release();
        }
    }
    waiting_ = false;
    return true;
}

HRESULT K_CBaseVideoRenderer::Receive(IMediaSample* sample) {
    K_CAutoLock streamLock(&rendererLock_);
    if (flushing_) return S_FALSE;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (endOfStream_) return VFW_E_SAMPLE_REJECTED_EOS;

    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    const HRESULT timing = sample->GetTime(&start, &end);
    const bool timed = SUCCEEDED(timing);
    if (!WaitForTurn(timed, start)) return flushing_ ? S_FALSE : VFW_E_WRONG_STATE;

    const HRESULT result = DoRenderSample(sample);
    if (timed) {
        lastEnd_ = timing == S_OK ? end : start;
        lastEndValid_ = true;
    }
    // A sample the renderer chose not to show does not stop the stream.
    return FAILED(result) ? result : S_OK;
}

HRESULT K_CBaseVideoRenderer::EndOfStream() {
    K_CAutoLock streamLock(&rendererLock_);
    if (flushing_) return S_OK;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (endOfStream_) return S_OK;
    endOfStream_ = true;
    ready_.Set();
    if (WaitForTurn(lastEndValid_, lastEnd_)) NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

HRESULT K_CBaseVideoRenderer::BeginFlush() {
    {
        K_CAutoLock streamLock(&rendererLock_);
        flushing_ = true;
        endOfStream_ = false;
        lastEndValid_ = false;
    }
    wake_.Set();
    return S_OK;
}

HRESULT K_CBaseVideoRenderer::EndFlush() {
    K_CAutoLock streamLock(&rendererLock_);
    flushing_ = false;
    // A paused renderer waits for the first sample after the flush.
    if (State() == State_Paused && !waiting_ && inputPin_->IsConnected()) ready_.Reset();
    return S_OK;
}
