// Building graphs: Connect directly or through a decoder of the registry,
// Render into filters already in the graph before the registry, RenderFile
// through the first file source that loads the file, and failed attempts
// that leave the graph as it was.
#include <gtest/gtest.h>

#include "tests/platform/dshow/graph_fixture.h"

namespace {

using dshowtest::GraphTest;
using testsupport::SyntheticStream;

SyntheticStream Packed() {
    SyntheticStream stream;
    stream.subtype = testsupport::kPackedFramesSubtype;
    return stream;
}

using Names = std::vector<std::wstring>;

class GraphBuildingTest : public GraphTest {};

TEST_F(GraphBuildingTest, ConnectsDirectlyWhenTheTypesMeet) {
    testsupport::RegisterSyntheticFilters();
    testsupport::SyntheticSource* source = AddSource(SyntheticStream{});
    IBaseFilter* renderer = AddNullRenderer();
    ASSERT_EQ(graph_->Connect(source->Output(), InputOf(renderer)), S_OK);
    EXPECT_EQ(FilterNames(), (Names{L"Source", L"Null Renderer"}));
    EXPECT_TRUE(IsEqualGUID(ConnectedSubtype(InputOf(renderer)), MEDIASUBTYPE_RGB24));
    EXPECT_EQ(graph_->Connect(source->Output(), InputOf(renderer)), VFW_E_ALREADY_CONNECTED);
}

TEST_F(GraphBuildingTest, ConnectPutsARegisteredDecoderBetween) {
    testsupport::RegisterSyntheticFilters();
    testsupport::SyntheticSource* source = AddSource(Packed());
    MovieRendererFilter* renderer = AddMovieRenderer();
    ASSERT_EQ(graph_->Connect(source->Output(), renderer->GetPin(0)), S_OK);
    EXPECT_EQ(FilterNames(), (Names{L"Source", L"MovieRenderer", L"Synthetic Decoder"}));
    // The decoder offers 32-bit RGB first, which the renderer refuses.
    EXPECT_TRUE(IsEqualGUID(ConnectedSubtype(renderer->GetPin(0)), MEDIASUBTYPE_RGB24));
}

TEST_F(GraphBuildingTest, ConnectWithoutAFittingFilterLeavesTheGraphAsItWas) {
    testsupport::SyntheticSource* source = AddSource(Packed());
    MovieRendererFilter* renderer = AddMovieRenderer();
    IBaseFilter* outsider = testsupport::SyntheticSource::Make(SyntheticStream{});

    EXPECT_EQ(graph_->Connect(source->Output(), renderer->GetPin(0)), VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(FilterNames(), (Names{L"Source", L"MovieRenderer"}));
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    EXPECT_EQ(graph_->Connect(renderer->GetPin(0), source->Output()), VFW_E_INVALID_DIRECTION);
    EXPECT_EQ(graph_->Connect(static_cast<testsupport::SyntheticSource*>(outsider)->Output(), renderer->GetPin(0)),
              VFW_E_NOT_IN_GRAPH);
    outsider->Release();
}

TEST_F(GraphBuildingTest, RenderTakesAFilterInTheGraphBeforeTheRegistry) {
    testsupport::RegisterSyntheticFilters();
    testsupport::SyntheticSource* source = AddSource(Packed());
    IBaseFilter* renderer = AddNullRenderer();
    ASSERT_EQ(graph_->Render(source->Output()), S_OK);
    // The Null Renderer takes the packed frames as they are.
    EXPECT_EQ(FilterNames(), (Names{L"Source", L"Null Renderer"}));
    EXPECT_TRUE(IsEqualGUID(ConnectedSubtype(InputOf(renderer)), testsupport::kPackedFramesSubtype));
}

TEST_F(GraphBuildingTest, RenderFindsADecoderByMediaTypeUntilTheStreamEndsInARenderer) {
    testsupport::RegisterSyntheticFilters();
    testsupport::SyntheticSource* source = AddSource(Packed());
    MovieRendererFilter* renderer = AddMovieRenderer();
    ASSERT_EQ(graph_->Render(source->Output()), S_OK);
    EXPECT_EQ(FilterNames(), (Names{L"Source", L"MovieRenderer", L"Synthetic Decoder"}));
    EXPECT_TRUE(renderer->GetPin(0)->IsConnected());
}

TEST_F(GraphBuildingTest, RenderThatEndsNowhereLeavesTheGraphAsItWas) {
    testsupport::RegisterSyntheticFilters();
    testsupport::SyntheticSource* source = AddSource(Packed());
    // The decoder goes in, finds nothing to feed, and goes again.
    EXPECT_EQ(graph_->Render(source->Output()), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(FilterNames(), (Names{L"Source"}));
    EXPECT_FALSE(source->OutputPin()->IsConnected());

    IBaseFilter* renderer = AddNullRenderer();
    EXPECT_EQ(graph_->Render(InputOf(renderer)), VFW_E_INVALID_DIRECTION);
    ASSERT_EQ(graph_->Render(source->Output()), S_OK);
    EXPECT_EQ(graph_->Render(source->Output()), VFW_E_ALREADY_CONNECTED);
}

TEST_F(GraphBuildingTest, RenderFileGoesThroughTheFirstFileSourceThatLoadsTheFile) {
    const wchar_t* movie = L"C:\\movies\\clip.synthetic";
    // The platform's own source finds no such file.
    EXPECT_EQ(graph_->RenderFile(movie, nullptr), static_cast<HRESULT>(0x80070002u));
    testsupport::RegisterSyntheticFilters();
    testsupport::SyntheticSource::SetRegisteredStream(Packed());
    EXPECT_EQ(graph_->RenderFile(L"C:\\movies\\clip.avi", nullptr), static_cast<HRESULT>(0x80070002u));
    EXPECT_EQ(graph_->RenderFile(movie, nullptr), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(FilterNames(), Names{});
    EXPECT_EQ(graph_->RenderFile(nullptr, nullptr), E_POINTER);

    MovieRendererFilter* renderer = AddMovieRenderer();
    ASSERT_EQ(graph_->RenderFile(movie, nullptr), S_OK);
    EXPECT_EQ(FilterNames(), (Names{L"MovieRenderer", movie, L"Synthetic Decoder"}));
    EXPECT_TRUE(renderer->GetPin(0)->IsConnected());
    LONGLONG stop = 0;
    EXPECT_EQ(seeking_->GetStopPosition(&stop), S_OK);
    EXPECT_EQ(stop, 3 * SyntheticStream{}.frameDuration);

    ASSERT_EQ(control_->Run(), S_OK);
    EXPECT_EQ(graph_->RenderFile(movie, nullptr), VFW_E_NOT_STOPPED);
}

}  // namespace
