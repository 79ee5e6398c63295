// The MPEG-audio decoder: a filter that pulls an MPEG-1 audio byte stream
// from a source that serves IAsyncReader, decodes it through FFmpeg on a
// streaming thread of its own and delivers 16-bit PCM. Private to
// platform/dshow; graphs find it through the filter registry.
#pragma once

#include "platform/dshow/dshow.h"

namespace platform::dshow {

inline constexpr GUID CLSID_MpegAudioDecoder = KILN_DSHOW_GUID(4);

HRESULT CreateMpegAudioDecoder(REFIID iid, void** object);

}  // namespace platform::dshow
