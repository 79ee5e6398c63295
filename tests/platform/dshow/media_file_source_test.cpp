// The platform's media file source and audio renderer in a graph built by
// RenderFile: a WMV found by its content under any name, its picture offered
// as 24-bit RGB to the movie renderer and its sound ended in the audio
// renderer, played to the end, and files that hold nothing to decode.
#include <gtest/gtest.h>

#include <string>

#include "platform/profile/machine_profile.h"
#include "tests/platform/dshow/graph_fixture.h"

namespace dshowtest {
namespace {

using Names = std::vector<std::wstring>;

class MediaFileSourceTest : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
    }

    std::wstring Put(const std::string& name, const std::string& bytes) { return PutFile(folder_, name, bytes); }

    testsupport::TemporaryFolder folder_;
};

TEST_F(MediaFileSourceTest, RendersAWmvFoundByItsContentIntoTheMovieAndAudioRenderers) {
    MovieRendererFilter* renderer = AddMovieRenderer();
    // A temporary copy has no movie extension.
    const std::wstring file = Put("copy.tmp", Fixture("grey_ramp_32x24_10fps.wmv"));
    ASSERT_EQ(graph_->RenderFile(file.c_str(), nullptr), S_OK);
    EXPECT_EQ(FilterNames(), (Names{L"MovieRenderer", file, L"Audio Renderer"}));
    EXPECT_TRUE(IsEqualGUID(ConnectedSubtype(renderer->GetPin(0)), MEDIASUBTYPE_RGB24));
    EXPECT_EQ(renderer->frameWidth, 32);
    EXPECT_EQ(renderer->frameHeight, 24);
    EXPECT_EQ(renderer->bottomUp, 0u);
    LONGLONG stop = 0;
    ASSERT_EQ(seeking_->GetStopPosition(&stop), S_OK);
    EXPECT_GE(stop, 10000000);
    EXPECT_LE(stop, 12000000);

    // One input pin and no output.
    IBaseFilter* audio = FindFilter(L"Audio Renderer");
    ASSERT_NE(audio, nullptr);
    IEnumPins* pins = nullptr;
    ASSERT_EQ(audio->EnumPins(&pins), S_OK);
    IPin* pin[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(pins->Next(2, pin, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    pin[0]->QueryDirection(&direction);
    EXPECT_EQ(direction, PINDIR_INPUT);
    pin[0]->Release();
    pins->Release();

    // The volume is the audio renderer's.
    void* made = nullptr;
    ASSERT_EQ(audio->QueryInterface(IID_IBasicAudio, &made), S_OK);
    auto* basicAudio = static_cast<IBasicAudio*>(made);
    EXPECT_EQ(basicAudio->put_Volume(-1200), S_OK);
    EXPECT_EQ(basicAudio->put_Volume(1), E_INVALIDARG);
    LONG volume = 0;
    EXPECT_EQ(basicAudio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -1200);
    basicAudio->Release();
    audio->Release();

    // Without a clock every frame is shown at once, the last one brightest.
    ASSERT_EQ(filter_->SetSyncSource(nullptr), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    LONG code = 0;
    ASSERT_EQ(events_->WaitForCompletion(kGenerous, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    ASSERT_NE(renderer->frameBuffer, nullptr);
    EXPECT_GT(renderer->frameBuffer[0], 190);
    EXPECT_EQ(control_->Stop(), S_OK);
}

TEST_F(MediaFileSourceTest, AFileWithNothingToDecodeOrNoFileIsRefused) {
    const std::wstring text = Put("notes.wmv", "these are not the frames you are looking for\n");
    EXPECT_EQ(graph_->RenderFile(text.c_str(), nullptr), VFW_E_UNSUPPORTED_STREAM);
    const std::string missing = folder_.windowsPath() + "\\missing.wmv";
    EXPECT_EQ(graph_->RenderFile(std::wstring(missing.begin(), missing.end()).c_str(), nullptr),
              static_cast<HRESULT>(0x80070002u));
    EXPECT_EQ(FilterNames(), Names{});
}

TEST_F(MediaFileSourceTest, ASoundFileEndsInTheAudioRendererAlone) {
    AddMovieRenderer();
    const std::wstring file = Put("tone.bin", Fixture("tone_44100_stereo_128k.mp3"));
    ASSERT_EQ(graph_->RenderFile(file.c_str(), nullptr), S_OK);
    EXPECT_EQ(FilterNames(), (Names{L"MovieRenderer", file, L"Audio Renderer"}));
}

}  // namespace
}  // namespace dshowtest
