// The classes CoCreateInstance makes (the filter graph manager and the Null
// Renderer), and the platform's own filters in the registry that graphs are
// built from.
#include "platform/dshow/audio_renderer.h"
#include "platform/dshow/filter_graph.h"
#include "platform/dshow/filter_registry.h"
#include "platform/dshow/media_file_source.h"
#include "platform/dshow/mpeg_audio_decoder.h"
#include "platform/dshow/null_renderer.h"
#include "platform/profile/machine_profile.h"
#include "platform/registrations.h"

namespace platform::dshow {

void Register(Registrations& registrations) {
    registrations.AddClass(CLSID_FilterGraph, CreateFilterGraph, [] { return Profile().directShow.filterGraph; });
    registrations.AddClass(CLSID_NullRenderer, CreateNullRenderer, [] { return Profile().directShow.nullRenderer; });
}

const std::vector<RegisteredFilter>& BuiltInFilters() {
    // The Null Renderer is made only on request: a graph never ends a
    // stream in it by itself.
    static const std::vector<RegisteredFilter> filters = {
        {CLSID_MediaFileSource, L"Media File Source", 0x00400000u, CreateMediaFileSource, true, {}},
        {CLSID_MpegAudioDecoder, L"MPEG Audio Decoder", 0x00600000u, CreateMpegAudioDecoder, false,
         {{MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Audio}}},
        {CLSID_AudioRenderer, L"Audio Renderer", 0x00200000u, CreateAudioRenderer, false,
         {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}}},
    };
    return filters;
}

}  // namespace platform::dshow
