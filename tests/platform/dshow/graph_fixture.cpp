#include "tests/platform/dshow/graph_fixture.h"

#include <fstream>
#include <iterator>

#include "framework/base/tracked_memory.h"

namespace dshowtest {

void GraphTest::SetUp() {
    PlatformTest::SetUp();
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    void* made = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, &made), S_OK);
    graph_ = static_cast<IGraphBuilder*>(made);
    ASSERT_EQ(graph_->QueryInterface(IID_IMediaControl, &made), S_OK);
    control_ = static_cast<IMediaControl*>(made);
    ASSERT_EQ(graph_->QueryInterface(IID_IMediaSeeking, &made), S_OK);
    seeking_ = static_cast<IMediaSeeking*>(made);
    ASSERT_EQ(graph_->QueryInterface(IID_IMediaEvent, &made), S_OK);
    events_ = static_cast<IMediaEvent*>(made);
    ASSERT_EQ(graph_->QueryInterface(IID_IMediaFilter, &made), S_OK);
    filter_ = static_cast<IMediaFilter*>(made);
}

void GraphTest::TearDown() {
    ReleaseGraph();
    if (movieRenderer_ != nullptr) {
        uint8_t* buffer = movieRenderer_->frameBuffer;
        movieRenderer_->Release();
        FreeMemory(buffer);
    }
    CoUninitialize();
    PlatformTest::TearDown();
}

namespace {

template <class Interface>
void LetGo(Interface*& held) {
    if (held != nullptr) held->Release();
    held = nullptr;
}

}  // namespace

void GraphTest::ReleaseGraph() {
    LetGo(filter_);
    LetGo(events_);
    LetGo(seeking_);
    LetGo(control_);
    LetGo(graph_);
}

IBaseFilter* GraphTest::AddNullRenderer(const wchar_t* name) {
    void* made = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, &made), S_OK);
    auto* renderer = static_cast<IBaseFilter*>(made);
    EXPECT_TRUE(SUCCEEDED(graph_->AddFilter(renderer, name)));
    renderer->Release();
    return renderer;
}

MovieRendererFilter* GraphTest::AddMovieRenderer() {
    HRESULT result = S_OK;
    movieRenderer_ = MovieRendererFilter::Create(nullptr, &result);
    EXPECT_EQ(graph_->AddFilter(movieRenderer_, L"MovieRenderer"), S_OK);
    return movieRenderer_;
}

testsupport::SyntheticSource* GraphTest::AddSource(const testsupport::SyntheticStream& stream, const wchar_t* name) {
    testsupport::SyntheticSource* source = testsupport::SyntheticSource::Make(stream);
    EXPECT_TRUE(SUCCEEDED(graph_->AddFilter(source, name)));
    source->Release();
    return source;
}

void GraphTest::EachFilter(const std::function<void(IBaseFilter*, const std::wstring&)>& visit) {
    IEnumFilters* filters = nullptr;
    EXPECT_EQ(graph_->EnumFilters(&filters), S_OK);
    IBaseFilter* filter = nullptr;
    ULONG fetched = 0;
    while (filters->Next(1, &filter, &fetched) == S_OK) {
        FILTER_INFO info{};
        filter->QueryFilterInfo(&info);
        if (info.pGraph != nullptr) info.pGraph->Release();
        visit(filter, info.achName);
        filter->Release();
    }
    filters->Release();
}

std::vector<std::wstring> GraphTest::FilterNames() {
    std::vector<std::wstring> names;
    EachFilter([&](IBaseFilter*, const std::wstring& name) { names.push_back(name); });
    return names;
}

IBaseFilter* GraphTest::FindFilter(const wchar_t* name) {
    IBaseFilter* found = nullptr;
    EachFilter([&](IBaseFilter* filter, const std::wstring& itsName) {
        if (found != nullptr || itsName != name) return;
        filter->AddRef();
        found = filter;
    });
    return found;
}

IPin* GraphTest::InputOf(IBaseFilter* filter) {
    IEnumPins* pins = nullptr;
    EXPECT_EQ(filter->EnumPins(&pins), S_OK);
    IPin* pin = nullptr;
    ULONG fetched = 0;
    IPin* input = nullptr;
    while (input == nullptr && pins->Next(1, &pin, &fetched) == S_OK) {
        PIN_DIRECTION direction = PINDIR_OUTPUT;
        pin->QueryDirection(&direction);
        if (direction == PINDIR_INPUT) input = pin;
        // The filter holds its pins for as long as it lives.
        pin->Release();
    }
    pins->Release();
    return input;
}

GUID GraphTest::ConnectedSubtype(IPin* pin) {
    AM_MEDIA_TYPE type{};
    if (pin->ConnectionMediaType(&type) != S_OK) return GUID_NULL;
    const GUID subtype = type.subtype;
    CoTaskMemFree(type.pbFormat);
    if (type.pUnk != nullptr) type.pUnk->Release();
    return subtype;
}

std::string Fixture(const char* name) {
    std::ifstream file(std::string(KILN_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::wstring PutFile(const testsupport::TemporaryFolder& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder.hostPath() + "/" + name, std::ios::binary) << bytes;
    const std::string path = folder.windowsPath() + "\\" + name;
    return std::wstring(path.begin(), path.end());
}

}  // namespace dshowtest
