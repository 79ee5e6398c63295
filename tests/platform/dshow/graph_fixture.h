// A filter graph made through CoCreateInstance with its interfaces, and the
// filters the graph tests put into it: synthetic sources and the platform's
// Null Renderer.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/sound/movie/movie_renderer_filter.h"
#include "platform/com/com.h"
#include "platform/dshow/dshow.h"
#include "tests/support/synthetic_filters.h"
#include "tests/support/test_support.h"

namespace dshowtest {

constexpr LONG kGenerous = 20000;

class GraphTest : public testsupport::PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lets go of the graph and its interfaces.
    void ReleaseGraph();
    // A new Null Renderer in the graph under `name`, held by the graph only.
    IBaseFilter* AddNullRenderer(const wchar_t* name = L"Null Renderer");
    // The framework's movie renderer in the graph: a renderer that takes
    // 24-bit RGB only. The fixture frees its frame buffer.
    MovieRendererFilter* AddMovieRenderer();
    // A new synthetic source in the graph, held by the graph only.
    testsupport::SyntheticSource* AddSource(const testsupport::SyntheticStream& stream,
                                            const wchar_t* name = L"Source");
    // The names of the filters in the graph, in its order.
    std::vector<std::wstring> FilterNames();
    // The filter of that name in the graph, with a reference; null when
    // there is none.
    IBaseFilter* FindFilter(const wchar_t* name);
    // The filter's only input pin.
    static IPin* InputOf(IBaseFilter* filter);
    static GUID ConnectedSubtype(IPin* pin);

    IGraphBuilder* graph_ = nullptr;
    IMediaControl* control_ = nullptr;
    IMediaSeeking* seeking_ = nullptr;
    IMediaEvent* events_ = nullptr;
    IMediaFilter* filter_ = nullptr;

private:
    // Calls `visit` with each filter in the graph and its name, in its order.
    void EachFilter(const std::function<void(IBaseFilter*, const std::wstring&)>& visit);

    MovieRendererFilter* movieRenderer_ = nullptr;
};

// The bytes of a file of the tests' data.
std::string Fixture(const char* name);
// Writes `bytes` into `folder` under `name`; the file's wide Windows path.
std::wstring PutFile(const testsupport::TemporaryFolder& folder, const std::string& name, const std::string& bytes);

}  // namespace dshowtest
