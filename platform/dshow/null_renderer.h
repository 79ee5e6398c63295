// The Null Renderer: a renderer that takes any stream and throws every
// sample away as it comes, clock or none. Private to platform/dshow.
#pragma once

#include "platform/dshow/dshow.h"

namespace platform::dshow {

HRESULT CreateNullRenderer(REFIID iid, void** object);
// The same renderer under another class, taking only streams of
// `majorType`.
HRESULT CreateDiscardingRenderer(REFCLSID clsid, REFGUID majorType, REFIID iid, void** object);

}  // namespace platform::dshow
