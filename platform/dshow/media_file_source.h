// The media file source: a file source that opens a movie or sound file
// through FFmpeg (any container FFmpeg reads from the content, ASF with its
// Windows Media video and audio among them), decodes it on one streaming
// thread and offers the first video stream as 24-bit RGB (VideoInfo, top
// row first) and the first audio stream as 16-bit PCM, each on a pin of its
// own, with time stamps, seeking and the end of the stream. Private to
// platform/dshow; RenderFile finds it through the filter registry.
#pragma once

#include "platform/dshow/dshow.h"

namespace platform::dshow {

inline constexpr GUID CLSID_MediaFileSource = KILN_DSHOW_GUID(5);

HRESULT CreateMediaFileSource(REFIID iid, void** object);

}  // namespace platform::dshow
