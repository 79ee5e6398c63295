// The filters that the graph builder may put into a graph by itself:
// decoders and converters that Connect and Render place between two pins,
// renderers that Render ends a stream in, and file sources that RenderFile
// offers a file to. Private to the platform (and to tests, which add
// filters of their own; the machine's reset takes them out again).
#pragma once

#include <string>
#include <vector>

#include "platform/dshow/dshow.h"
#include "platform/registrations.h"

namespace platform::dshow {

// A kind of stream an input pin takes; GUID_NULL matches any.
struct RegisteredMediaType {
    GUID majorType;
    GUID subtype;
};

struct RegisteredFilter {
    CLSID clsid;
    // The name the filter gets in the graph.
    std::wstring name;
    // Higher first; filters of equal merit in the order they were added.
    DWORD merit;
    // Makes a new filter with one reference (its IBaseFilter, or as asked).
    ClassFactory create;
    // A file source (IFileSourceFilter): RenderFile only.
    bool fileSource = false;
    // What its input pins take; empty: it is offered any stream.
    std::vector<RegisteredMediaType> inputTypes;
};

// The platform's own filters (platform/dshow/dshow_registrations.cpp).
const std::vector<RegisteredFilter>& BuiltInFilters();

// Adds a filter for as long as the machine is not reset.
void AddRegisteredFilter(const RegisteredFilter& filter);

// Every filter, highest merit first.
std::vector<RegisteredFilter> RegisteredFilters();

// Whether a filter that takes `inputTypes` may take a stream of any of
// `offered` (an empty list: the pin did not say, so any filter may).
bool TakesAnyOf(const std::vector<RegisteredMediaType>& inputTypes,
                const std::vector<RegisteredMediaType>& offered);

}  // namespace platform::dshow
