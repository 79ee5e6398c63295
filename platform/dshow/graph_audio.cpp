// The graph's volume: that of the filters in it that play sound.
#include "platform/dshow/filter_graph.h"

namespace platform::dshow {

HRESULT WINAPI FilterGraph::put_Volume(LONG volume) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    HRESULT outcome = E_NOTIMPL;
    for (const Member& member : members_) {
        const Ref<IBasicAudio> audio = Ref<IBasicAudio>::Query(member.filter.get(), IID_IBasicAudio);
        if (!audio) continue;
        const HRESULT result = audio->put_Volume(volume);
        if (outcome == E_NOTIMPL || FAILED(result)) outcome = result;
    }
    return outcome;
}

HRESULT WINAPI FilterGraph::get_Volume(LONG* volume) {
    if (volume == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (const Member& member : members_) {
        const Ref<IBasicAudio> audio = Ref<IBasicAudio>::Query(member.filter.get(), IID_IBasicAudio);
        if (audio) return audio->get_Volume(volume);
    }
    return E_NOTIMPL;
}

}  // namespace platform::dshow
