// Stand-in until the audio renderer that plays through DirectSound is built.
// It takes any audio stream and discards it as the Null Renderer does, so
// that a graph that renders sound is complete and runs to its end.
#include "platform/dshow/audio_renderer.h"

#include "platform/dshow/null_renderer.h"

namespace platform::dshow {

HRESULT CreateAudioRenderer(REFIID iid, void** object) {
    return CreateDiscardingRenderer(CLSID_AudioRenderer, MEDIATYPE_Audio, iid, object);
}

}  // namespace platform::dshow
