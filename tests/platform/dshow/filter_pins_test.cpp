// The platform's own filters answer alike where their pins do the same
// thing: an output pin with no type the peer could take, a new segment on
// any pin, and a renderer's input pin asked to take a sample or the end of
// the stream while the filter stops, pauses, runs and flushes.
#include <gtest/gtest.h>

#include <string>

#include "platform/dshow/media_file_source.h"
#include "platform/dshow/mpeg_audio_decoder.h"
#include "platform/dshow/null_renderer.h"
#include "platform/dshow/sample_pool.h"
#include "platform/profile/machine_profile.h"
#include "tests/platform/dshow/graph_fixture.h"

namespace dshowtest {
namespace {

class FilterPinsTest : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
    }
    void TearDown() override {
        for (IUnknown* object : held_) object->Release();
        GraphTest::TearDown();
    }

    // A filter outside any graph, held until the test ends.
    IBaseFilter* Make(HRESULT (*create)(REFIID, void**)) {
        void* made = nullptr;
        EXPECT_EQ(create(IID_IBaseFilter, &made), S_OK);
        return Hold(static_cast<IBaseFilter*>(made));
    }
    // The media file source with `fixture` loaded.
    IBaseFilter* Loaded(const char* fixture) {
        IBaseFilter* source = Make(platform::dshow::CreateMediaFileSource);
        void* loader = nullptr;
        EXPECT_EQ(source->QueryInterface(IID_IFileSourceFilter, &loader), S_OK);
        const std::wstring file = PutFile(folder_, "loaded.tmp", Fixture(fixture));
        EXPECT_EQ(Hold(static_cast<IFileSourceFilter*>(loader))->Load(file.c_str(), nullptr), S_OK);
        return source;
    }
    IPin* PinOf(IBaseFilter* filter, const wchar_t* name) {
        IPin* pin = nullptr;
        EXPECT_EQ(filter->FindPin(name, &pin), S_OK);
        return Hold(pin);
    }
    template <class Interface>
    Interface* Hold(Interface* object) {
        if (object != nullptr) held_.push_back(object);
        return object;
    }

    testsupport::TemporaryFolder folder_;

private:
    std::vector<IUnknown*> held_;
};

TEST_F(FilterPinsTest, AnOutputPinWithNoTypeThePeerCouldTakeRefusesForWantOfOne) {
    IPin* input = PinOf(Make(platform::dshow::CreateNullRenderer), L"In");
    AM_MEDIA_TYPE video{};
    video.majortype = MEDIATYPE_Video;
    const struct {
        const char* what;
        IPin* output;
        const AM_MEDIA_TYPE* proposal;
    } cases[] = {
        // Nothing decoded to offer while its input is not connected.
        {"decoder", PinOf(Make(platform::dshow::CreateMpegAudioDecoder), L"Output"), nullptr},
        {"sound asked for video", PinOf(Loaded("tone_44100_stereo_128k.mp3"), L"Audio"), &video},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.output->Connect(input, c.proposal), VFW_E_NO_ACCEPTABLE_TYPES) << c.what;
        IPin* peer = nullptr;
        EXPECT_EQ(c.output->ConnectedTo(&peer), VFW_E_NOT_CONNECTED) << c.what;
        EXPECT_EQ(input->ConnectedTo(&peer), VFW_E_NOT_CONNECTED) << c.what;
    }
}

TEST_F(FilterPinsTest, EveryPinTakesANewSegment) {
    IBaseFilter* source = Loaded("grey_ramp_32x24_10fps.wmv");
    IBaseFilter* decoder = Make(platform::dshow::CreateMpegAudioDecoder);
    const struct {
        IBaseFilter* filter;
        const wchar_t* pin;
    } pins[] = {{source, L"Video"},
                {source, L"Audio"},
                {decoder, L"Input"},
                {decoder, L"Output"},
                {Make(platform::dshow::CreateNullRenderer), L"In"}};
    for (const auto& p : pins) EXPECT_EQ(PinOf(p.filter, p.pin)->NewSegment(0, 10000000, 1.0), S_OK) << p.pin;
}

// A renderer of the platform's in a graph, fed by a source whose stream
// ends at once (or is refused by the first flush).
struct Renderer {
    const char* name;
    bool audio;  // else the Null Renderer
};

void PrintTo(const Renderer& renderer, std::ostream* out) { *out << renderer.name; }

class RendererPinTest : public FilterPinsTest, public ::testing::WithParamInterface<Renderer> {
protected:
    void SetUp() override {
        FilterPinsTest::SetUp();
        if (GetParam().audio) {
            const std::wstring file = PutFile(folder_, "tone.tmp", Fixture("tone_44100_stereo_128k.mp3"));
            ASSERT_EQ(graph_->RenderFile(file.c_str(), nullptr), S_OK);
            IBaseFilter* renderer = Hold(FindFilter(L"Audio Renderer"));
            ASSERT_NE(renderer, nullptr);
            input_ = InputOf(renderer);
        } else {
            testsupport::SyntheticStream empty;
            empty.frames = 0;
            testsupport::SyntheticSource* source = AddSource(empty);
            input_ = InputOf(AddNullRenderer());
            ASSERT_EQ(graph_->Connect(source->Output(), input_), S_OK);
        }
        ASSERT_NE(input_, nullptr);
        void* found = nullptr;
        ASSERT_EQ(input_->QueryInterface(IID_IMemInputPin, &found), S_OK);
        samples_ = Hold(static_cast<IMemInputPin*>(found));
        ASSERT_EQ(platform::dshow::CreateSamplePool(&pool_), S_OK);
        ALLOCATOR_PROPERTIES wanted{1, 16, 1, 0};
        ALLOCATOR_PROPERTIES actual{};
        ASSERT_EQ(pool_->SetProperties(&wanted, &actual), S_OK);
        ASSERT_EQ(pool_->Commit(), S_OK);
        ASSERT_EQ(pool_->GetBuffer(&empty_, nullptr, nullptr, 0), S_OK);
        empty_->SetActualDataLength(0);
    }
    void TearDown() override {
        if (control_ != nullptr) control_->Stop();
        if (empty_ != nullptr) empty_->Release();
        if (pool_ != nullptr) {
            pool_->Decommit();
            pool_->Release();
        }
        FilterPinsTest::TearDown();
    }

    IPin* input_ = nullptr;
    IMemInputPin* samples_ = nullptr;
    IMemAllocator* pool_ = nullptr;
    IMediaSample* empty_ = nullptr;
};

TEST_P(RendererPinTest, SamplesAndTheEndAreRefusedWhileStoppedThenWhileFlushing) {
    EXPECT_EQ(samples_->Receive(empty_), VFW_E_WRONG_STATE);
    EXPECT_EQ(input_->EndOfStream(), VFW_E_WRONG_STATE);
    // Stopped says more than flushing.
    ASSERT_EQ(input_->BeginFlush(), S_OK);
    EXPECT_EQ(samples_->Receive(empty_), VFW_E_WRONG_STATE);
    EXPECT_EQ(input_->EndOfStream(), VFW_E_WRONG_STATE);
    ASSERT_EQ(input_->EndFlush(), S_OK);

    ASSERT_EQ(control_->Pause(), S_OK);
    ASSERT_EQ(input_->BeginFlush(), S_OK);
    EXPECT_EQ(samples_->Receive(empty_), S_FALSE);
    EXPECT_EQ(input_->EndOfStream(), S_FALSE);
    ASSERT_EQ(input_->EndFlush(), S_OK);
    EXPECT_EQ(samples_->Receive(empty_), S_OK);
}

TEST_P(RendererPinTest, AFlushTakesBackAnEndNotReportedYet) {
    ASSERT_EQ(control_->Pause(), S_OK);
    ASSERT_EQ(input_->EndOfStream(), S_OK);
    ASSERT_EQ(input_->BeginFlush(), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    LONG code = 0;
    EXPECT_EQ(events_->WaitForCompletion(0, &code), E_ABORT);
    ASSERT_EQ(input_->EndFlush(), S_OK);

    // An end after the flush is reported at once while running.
    ASSERT_EQ(input_->EndOfStream(), S_OK);
    EXPECT_EQ(events_->WaitForCompletion(kGenerous, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
}

INSTANTIATE_TEST_SUITE_P(Renderers, RendererPinTest,
                         ::testing::Values(Renderer{"Null", false}, Renderer{"Audio", true}),
                         [](const ::testing::TestParamInfo<Renderer>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dshowtest
