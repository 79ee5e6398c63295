// The filters in a graph: the interfaces the graph answers, unique names,
// the order of EnumFilters, removal with the connections, connecting pins by
// hand, and a graph let go while it runs.
#include <gtest/gtest.h>

#include "tests/platform/dshow/graph_fixture.h"
#include "tests/support/thread_activity.h"

namespace {

using dshowtest::GraphTest;
using testsupport::SyntheticStream;

class GraphMembershipTest : public GraphTest {};

TEST_F(GraphMembershipTest, AnswersEveryInterfaceAsOneObject) {
    void* identity = nullptr;
    ASSERT_EQ(graph_->QueryInterface(IID_IUnknown, &identity), S_OK);
    for (const GUID* iid : {&IID_IGraphBuilder, &IID_IFilterGraph, &IID_IMediaControl, &IID_IMediaSeeking,
                            &IID_IMediaEvent, &IID_IMediaFilter, &IID_IPersist, &IID_IBasicAudio,
                            &IID_IMediaEventSink}) {
        void* found = nullptr;
        ASSERT_EQ(graph_->QueryInterface(*iid, &found), S_OK);
        void* again = nullptr;
        ASSERT_EQ(static_cast<IUnknown*>(found)->QueryInterface(IID_IUnknown, &again), S_OK);
        EXPECT_EQ(again, identity);
        static_cast<IUnknown*>(again)->Release();
        static_cast<IUnknown*>(found)->Release();
    }
    static_cast<IUnknown*>(identity)->Release();
    CLSID id{};
    EXPECT_EQ(filter_->GetClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, CLSID_FilterGraph));
}

TEST_F(GraphMembershipTest, NamesAreMadeUniqueAndKeptToWhatFilterInfoHolds) {
    const std::wstring longName(200, L'x');
    const struct {
        const wchar_t* asked;
        HRESULT result;
        std::wstring given;
    } cases[] = {
        {L"MovieRenderer", S_OK, L"MovieRenderer"},
        {L"MovieRenderer", VFW_S_DUPLICATE_NAME, L"MovieRenderer 0001"},
        {L"MovieRenderer", VFW_S_DUPLICATE_NAME, L"MovieRenderer 0002"},
        {nullptr, S_OK, L""},
        {L"", VFW_S_DUPLICATE_NAME, L" 0001"},
        {longName.c_str(), S_OK, longName.substr(0, 127)},
        {longName.c_str(), VFW_S_DUPLICATE_NAME, longName.substr(0, 122) + L" 0001"},
    };
    std::vector<std::wstring> expected;
    for (const auto& c : cases) {
        void* made = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, &made), S_OK);
        auto* renderer = static_cast<IBaseFilter*>(made);
        EXPECT_EQ(graph_->AddFilter(renderer, c.asked), c.result);
        FILTER_INFO info{};
        ASSERT_EQ(renderer->QueryFilterInfo(&info), S_OK);
        EXPECT_EQ(std::wstring(info.achName), c.given);
        EXPECT_TRUE(info.pGraph != nullptr);
        info.pGraph->Release();
        renderer->Release();
        expected.push_back(c.given);
    }
    EXPECT_EQ(FilterNames(), expected);
}

TEST_F(GraphMembershipTest, RefusesWhatIsNoFilterOrAlreadyIn) {
    IBaseFilter* renderer = AddNullRenderer();
    EXPECT_EQ(graph_->AddFilter(nullptr, L"none"), E_POINTER);
    EXPECT_EQ(graph_->AddFilter(renderer, L"again"), E_INVALIDARG);
    EXPECT_EQ(FilterNames().size(), 1u);
}

TEST_F(GraphMembershipTest, RemovingAFilterUndoesItsConnections) {
    testsupport::SyntheticSource* source = AddSource(SyntheticStream{});
    source->AddRef();
    IBaseFilter* renderer = AddNullRenderer();
    renderer->AddRef();
    ASSERT_EQ(graph_->ConnectDirect(source->Output(), InputOf(renderer), nullptr), S_OK);

    ASSERT_EQ(control_->Pause(), S_OK);
    EXPECT_EQ(graph_->RemoveFilter(renderer), VFW_E_NOT_STOPPED);
    ASSERT_EQ(control_->Stop(), S_OK);
    ASSERT_EQ(graph_->RemoveFilter(renderer), S_OK);
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    IPin* peer = nullptr;
    EXPECT_EQ(InputOf(renderer)->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    FILTER_INFO info{};
    renderer->QueryFilterInfo(&info);
    EXPECT_EQ(info.pGraph, nullptr);
    EXPECT_EQ(FilterNames(), std::vector<std::wstring>{L"Source"});
    EXPECT_EQ(graph_->RemoveFilter(renderer), VFW_E_NOT_FOUND);
    renderer->Release();
    source->Release();
}

TEST_F(GraphMembershipTest, ConnectsPinsByHandOnlyInsideTheGraphAndWhileStopped) {
    testsupport::SyntheticSource* source = AddSource(SyntheticStream{});
    IBaseFilter* renderer = AddNullRenderer();
    void* made = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, &made), S_OK);
    auto* outsider = static_cast<IBaseFilter*>(made);

    EXPECT_EQ(graph_->ConnectDirect(source->Output(), InputOf(outsider), nullptr), VFW_E_NOT_IN_GRAPH);
    EXPECT_EQ(graph_->ConnectDirect(InputOf(renderer), source->Output(), nullptr), VFW_E_INVALID_DIRECTION);
    EXPECT_EQ(graph_->ConnectDirect(nullptr, InputOf(renderer), nullptr), E_POINTER);
    const K_CMediaType rgb32 = testsupport::VideoType(MEDIASUBTYPE_RGB32, 4, 3, true, 32);
    EXPECT_TRUE(FAILED(graph_->ConnectDirect(source->Output(), InputOf(renderer), &rgb32)));
    EXPECT_EQ(graph_->ConnectDirect(source->Output(), InputOf(renderer), nullptr), S_OK);
    EXPECT_TRUE(IsEqualGUID(ConnectedSubtype(InputOf(renderer)), MEDIASUBTYPE_RGB24));

    ASSERT_EQ(control_->Pause(), S_OK);
    EXPECT_EQ(graph_->Disconnect(InputOf(renderer)), VFW_E_NOT_STOPPED);
    ASSERT_EQ(control_->Stop(), S_OK);
    EXPECT_EQ(graph_->Disconnect(InputOf(renderer)), S_OK);
    EXPECT_EQ(graph_->Disconnect(source->Output()), S_OK);
    EXPECT_EQ(graph_->Disconnect(source->Output()), S_FALSE);
    outsider->Release();
}

// The graph stops its filters, and so ends their streaming threads, before
// it lets them go.
TEST_F(GraphMembershipTest, LettingARunningGraphGoStopsItsStreamsFirst) {
    SyntheticStream endless;
    endless.frames = -1;
    testsupport::SyntheticSource* source = AddSource(endless);
    source->AddRef();
    AddNullRenderer();
    ASSERT_EQ(graph_->Render(source->Output()), S_OK);
    ASSERT_EQ(filter_->SetSyncSource(nullptr), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return source->Delivered() > 10; }));

    ReleaseGraph();
    EXPECT_TRUE(source->IsStopped());
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    FILTER_INFO info{};
    source->QueryFilterInfo(&info);
    EXPECT_EQ(info.pGraph, nullptr);
    source->Release();
}

}  // namespace
