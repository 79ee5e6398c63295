// The audio renderer that graphs end a decoded sound stream in: it plays
// 16-bit PCM through a DirectSound stream buffer and answers IBasicAudio.
// Private to platform/dshow.
#pragma once

#include "platform/dshow/dshow.h"

namespace platform::dshow {

inline constexpr GUID CLSID_AudioRenderer = KILN_DSHOW_GUID(3);

HRESULT CreateAudioRenderer(REFIID iid, void** object);

}  // namespace platform::dshow
