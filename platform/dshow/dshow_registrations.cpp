// The classes CoCreateInstance makes (the filter graph manager and the Null
// Renderer), and the platform's own filters in the registry that graphs are
// built from.
#include "platform/dshow/filter_graph.h"
#include "platform/dshow/filter_registry.h"
#include "platform/dshow/null_renderer.h"
#include "platform/registrations.h"

namespace platform::dshow {

void Register(Registrations& registrations) {
    registrations.AddClass(CLSID_FilterGraph, CreateFilterGraph);
    registrations.AddClass(CLSID_NullRenderer, CreateNullRenderer);
}

const std::vector<RegisteredFilter>& BuiltInFilters() {
    // The Null Renderer is made only on request: a graph never ends a
    // stream in it by itself. The decoding filters join this list.
    static const std::vector<RegisteredFilter> filters;
    return filters;
}

}  // namespace platform::dshow
