// The ids the COM object base answers to for the streaming interfaces.
// Private to the platform (and to tests that make objects on that base).
#pragma once

#include "platform/com/object_base.h"
#include "platform/dshow/dshow.h"

#define KILN_DSHOW_INTERFACE_ID(Interface)                            \
    template <>                                                       \
    struct InterfaceId<Interface> {                                   \
        static constexpr const GUID& value = IID_##Interface;         \
    };

namespace platform::com {
KILN_DSHOW_INTERFACE_ID(IReferenceClock)
KILN_DSHOW_INTERFACE_ID(IBaseFilter)
KILN_DSHOW_INTERFACE_ID(IEnumPins)
KILN_DSHOW_INTERFACE_ID(IEnumMediaTypes)
KILN_DSHOW_INTERFACE_ID(IMemAllocator)
KILN_DSHOW_INTERFACE_ID(IEnumFilters)
KILN_DSHOW_INTERFACE_ID(IGraphBuilder)
KILN_DSHOW_INTERFACE_ID(IMediaControl)
KILN_DSHOW_INTERFACE_ID(IMediaSeeking)
KILN_DSHOW_INTERFACE_ID(IMediaEvent)
KILN_DSHOW_INTERFACE_ID(IMediaFilter)
KILN_DSHOW_INTERFACE_ID(IBasicAudio)
KILN_DSHOW_INTERFACE_ID(IMediaEventSink)
KILN_DSHOW_INTERFACE_ID(IFileSourceFilter)
}  // namespace platform::com

#undef KILN_DSHOW_INTERFACE_ID
