// The sound object: what it answers before and after Initialize, the device
// list through the sound library, the capabilities and the primary buffer's
// format as the profile sets them, and the injected failures of the calls
// that make and lock buffers.
#include <string>
#include <utility>

#include "tests/platform/dsound/sound_fixture.h"

namespace {

using soundtest::PcmFormat;

class SoundObjectTest : public soundtest::SoundTest {
protected:
    IDirectSoundBuffer* Primary() {
        DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
        IDirectSoundBuffer* primary = nullptr;
        EXPECT_EQ(sound_->CreateSoundBuffer(&description, &primary, nullptr), DS_OK);
        if (primary != nullptr) buffers_.push_back(primary);
        return primary;
    }
};

TEST_F(SoundObjectTest, TheClassIsThereOnlyWhileTheProfileSaysSo) {
    platform::Profile().sound.directSound = false;
    void* made = &made;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &made),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(made, nullptr);
}

TEST_F(SoundObjectTest, EveryCallWaitsForInitialize) {
    sound_ = MakeSound();
    DSCAPS caps{sizeof(DSCAPS)};
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(sound_->GetCaps(&caps), DSERR_UNINITIALIZED);
    EXPECT_EQ(sound_->SetCooperativeLevel(window_, DSSCL_PRIORITY), DSERR_UNINITIALIZED);
    EXPECT_EQ(sound_->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_UNINITIALIZED);
    EXPECT_EQ(sound_->DuplicateSoundBuffer(buffer, &buffer), DSERR_UNINITIALIZED);
    EXPECT_FALSE(platform::dsound::AdvanceVirtualOutput(1));  // nothing holds the output yet
    EXPECT_EQ(sound_->Initialize(nullptr), DS_OK);
    EXPECT_EQ(sound_->Initialize(nullptr), DSERR_ALREADYINITIALIZED);
    EXPECT_TRUE(platform::dsound::AdvanceVirtualOutput(1));
    // The output closes with the last sound object.
    sound_->Release();
    sound_ = nullptr;
    EXPECT_FALSE(platform::dsound::AdvanceVirtualOutput(1));
}

struct ListedDevice {
    GUID guid;
    std::string description;
    std::string module;
};

BOOL CALLBACK CollectDevice(GUID* guid, LPCSTR description, LPCSTR module, LPVOID context) {
    auto* devices = static_cast<std::vector<ListedDevice>*>(context);
    devices->push_back({*guid, description, module});
    return devices->size() < 2;
}

TEST_F(SoundObjectTest, TheLibraryListsTheProfilesDevicesAndInitializeTakesTheirGuids) {
    platform::Profile().sound.devices = {{"Primary Sound Driver", ""}, {"Speakers", "card0"}, {"Phones", "card1"}};
    HMODULE library = LoadLibraryA("DSOUND.DLL");
    ASSERT_NE(library, nullptr);
    using Enumerate = HRESULT(WINAPI*)(LPDSENUMCALLBACKA, LPVOID);
    auto enumerate = reinterpret_cast<Enumerate>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "DirectSoundEnumerateA")));
    ASSERT_NE(enumerate, nullptr);
    std::vector<ListedDevice> devices;
    EXPECT_EQ(enumerate(CollectDevice, &devices), DS_OK);
    ASSERT_EQ(devices.size(), 2u);  // the callback stopped the list
    EXPECT_EQ(devices[0].description, "Primary Sound Driver");
    EXPECT_EQ(devices[1].description, "Speakers");
    EXPECT_EQ(devices[1].module, "card0");
    EXPECT_FALSE(IsEqualGUID(devices[0].guid, devices[1].guid));
    EXPECT_EQ(enumerate(nullptr, nullptr), DSERR_INVALIDPARAM);
    FreeLibrary(library);

    sound_ = MakeSound();
    GUID unknown = devices[1].guid;
    unknown.Data1 ^= 1;
    EXPECT_EQ(sound_->Initialize(&unknown), DSERR_NODRIVER);
    EXPECT_EQ(sound_->Initialize(&devices[1].guid), DS_OK);
}

TEST_F(SoundObjectTest, InitializeFindsNoDriverWithoutADeviceOrWhenRefused) {
    platform::Profile().sound.devices.clear();
    sound_ = MakeSound();
    EXPECT_EQ(sound_->Initialize(nullptr), DSERR_NODRIVER);
    platform::Profile().sound.devices = {{"Speakers", "card0"}};
    platform::Profile().failures.sound.initialize = true;
    EXPECT_EQ(sound_->Initialize(nullptr), DSERR_NODRIVER);
    platform::Profile().failures.sound.initialize = false;
    EXPECT_EQ(sound_->Initialize(nullptr), DS_OK);
}

TEST_F(SoundObjectTest, TheCapabilitiesAreTheProfiles) {
    platform::SoundCaps& profile = platform::Profile().sound.caps;
    profile.primaryStereo = false;
    profile.secondary8Bit = false;
    profile.maxSecondaryRate = 48000;
    profile.minSecondaryRate = 4000;
    profile.totalHardwareMemory = 65536;
    profile.freeHardwareMemory = 1024;
    Start(44100, 1);
    DSCAPS caps{sizeof(DSCAPS)};
    ASSERT_EQ(sound_->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwFlags, DSCAPS_PRIMARYMONO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT | DSCAPS_CONTINUOUSRATE |
                                DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY16BIT);
    EXPECT_EQ(caps.dwMinSecondarySampleRate, 4000u);
    EXPECT_EQ(caps.dwMaxSecondarySampleRate, 48000u);
    EXPECT_EQ(caps.dwTotalHwMemBytes, 65536u);
    EXPECT_EQ(caps.dwFreeHwMemBytes, 1024u);
    DSCAPS wrongSize{sizeof(DSCAPS) + 1};
    EXPECT_EQ(sound_->GetCaps(&wrongSize), DSERR_INVALIDPARAM);
    // What the capabilities leave out cannot be had. Their rate range bounds
    // the output's format; a secondary buffer is mixed in software, at rates
    // outside it too.
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(TryMake(8, 1, 22050, 100, 0, &buffer), DSERR_BADFORMAT);
    EXPECT_EQ(TryMake(16, 1, 3999, 100, 0, &buffer), DS_OK);
    EXPECT_EQ(TryMake(16, 1, 96000, 100, 0, &buffer), DS_OK);
    const WAVEFORMATEX stereo = PcmFormat(16, 2, 44100);
    EXPECT_EQ(Primary()->SetFormat(&stereo), DSERR_BADFORMAT);
    for (const DWORD rate : {3999u, 48001u}) {
        const WAVEFORMATEX mono = PcmFormat(16, 1, rate);
        EXPECT_EQ(Primary()->SetFormat(&mono), DSERR_BADFORMAT) << rate;
    }
}

TEST_F(SoundObjectTest, ThePrimaryBufferSetsTheOutputsFormatFromThePriorityLevelOn) {
    sound_ = MakeSound();
    ASSERT_EQ(sound_->Initialize(nullptr), DS_OK);
    IDirectSoundBuffer* primary = Primary();
    // Before any is set, the output plays 22050 Hz stereo.
    WAVEFORMATEX format{};
    DWORD written = 0;
    ASSERT_EQ(primary->GetFormat(&format, sizeof(format), &written), DS_OK);
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
    EXPECT_EQ(format.nChannels, 2);
    ASSERT_TRUE(platform::dsound::AdvanceVirtualOutput(1));
    EXPECT_EQ(platform::dsound::TakeVirtualOutput().frequency, 22050u);

    const WAVEFORMATEX mono = PcmFormat(16, 1, 44100);
    EXPECT_EQ(primary->SetFormat(&mono), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(sound_->SetCooperativeLevel(window_, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(primary->SetFormat(&mono), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(sound_->SetCooperativeLevel(window_, DSSCL_PRIORITY), DS_OK);
    platform::Profile().failures.sound.primaryFormat = true;
    EXPECT_EQ(primary->SetFormat(&mono), DSERR_GENERIC);
    platform::Profile().failures.sound.primaryFormat = false;
    ASSERT_EQ(primary->SetFormat(&mono), DS_OK);
    ASSERT_EQ(primary->GetFormat(&format, sizeof(format), &written), DS_OK);
    EXPECT_EQ(std::memcmp(&format, &mono, sizeof(format)), 0);

    // A stereo buffer in a mono output: the mean of its two channels.
    const std::vector<int16_t> samples = {1000, 3000, -1000, -2000};
    IDirectSoundBuffer* buffer = Make16(2, 44100, samples);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    ASSERT_TRUE(platform::dsound::AdvanceVirtualOutput(2));
    const platform::dsound::VirtualMix mixed = platform::dsound::TakeVirtualOutput();
    EXPECT_EQ(mixed.frequency, 44100u);
    EXPECT_EQ(mixed.channels, 1);
    EXPECT_EQ(mixed.samples, (std::vector<int16_t>{2000, -1500}));
}

TEST_F(SoundObjectTest, ThePrimaryBufferOffersItsFormatAndPlayOnly) {
    Start();
    IDirectSoundBuffer* primary = Primary();
    DSBCAPS caps{sizeof(DSBCAPS)};
    ASSERT_EQ(primary->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwFlags, DSBCAPS_PRIMARYBUFFER);
    EXPECT_EQ(Status(primary), 0u);
    EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(Status(primary), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    ASSERT_EQ(primary->Stop(), DS_OK);
    EXPECT_EQ(Status(primary), 0u);
    void* part = nullptr;
    DWORD size = 0;
    DWORD cursor = 0;
    EXPECT_EQ(primary->Lock(0, 4, &part, &size, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(primary->GetCurrentPosition(&cursor, nullptr), DSERR_INVALIDCALL);
    EXPECT_EQ(primary->SetVolume(0), DSERR_CONTROLUNAVAIL);
    IDirectSoundBuffer* duplicate = nullptr;
    EXPECT_EQ(sound_->DuplicateSoundBuffer(primary, &duplicate), DSERR_INVALIDCALL);
    EXPECT_EQ(duplicate, nullptr);
    // A primary buffer has no size, no format and no controls of its own.
    WAVEFORMATEX format = PcmFormat(16, 2, 44100);
    DSBUFFERDESC sized{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 400, 0, nullptr, {}};
    DSBUFFERDESC formatted{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, &format, {}};
    DSBUFFERDESC controlled{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME, 0, 0, nullptr, {}};
    for (const DSBUFFERDESC* description : {&sized, &formatted, &controlled}) {
        IDirectSoundBuffer* made = nullptr;
        EXPECT_EQ(sound_->CreateSoundBuffer(description, &made, nullptr), DSERR_INVALIDPARAM);
    }
}

TEST_F(SoundObjectTest, InjectedFailuresRefuseTheCallsTheyCount) {
    Start();
    platform::SoundFailures& failures = platform::Profile().failures.sound;
    IDirectSoundBuffer* original = Make(16, 2, 44100, 400);
    IDirectSoundBuffer* buffer = nullptr;
    failures.createBuffers = 2;
    EXPECT_EQ(TryMake(16, 2, 44100, 400, 0, &buffer), DSERR_OUTOFMEMORY);
    EXPECT_EQ(TryMake(16, 2, 44100, 400, 0, &buffer), DSERR_OUTOFMEMORY);
    EXPECT_EQ(TryMake(16, 2, 44100, 400, 0, &buffer), DS_OK);
    EXPECT_EQ(failures.createBuffers, 0u);

    failures.duplicates = 1;
    IDirectSoundBuffer* duplicate = nullptr;
    EXPECT_EQ(sound_->DuplicateSoundBuffer(original, &duplicate), DSERR_OUTOFMEMORY);
    EXPECT_EQ(duplicate, nullptr);
    EXPECT_NE(Duplicate(original), nullptr);

    failures.locks = 1;
    void* part = nullptr;
    DWORD size = 0;
    EXPECT_EQ(original->Lock(0, 400, &part, &size, nullptr, nullptr, 0), DSERR_GENERIC);
    ASSERT_EQ(original->Lock(0, 400, &part, &size, nullptr, nullptr, 0), DS_OK);
    failures.unlocks = 1;
    EXPECT_EQ(original->Unlock(part, size, nullptr, 0), DSERR_GENERIC);
    EXPECT_EQ(original->Unlock(part, size, nullptr, 0), DS_OK);

    failures.cooperativeLevel = true;
    EXPECT_EQ(sound_->SetCooperativeLevel(window_, DSSCL_PRIORITY), DSERR_GENERIC);
    failures.cooperativeLevel = false;
    EXPECT_EQ(sound_->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
    EXPECT_EQ(sound_->SetCooperativeLevel(window_, 7), DSERR_INVALIDPARAM);
    failures.createPrimaryBuffer = true;
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
    IDirectSoundBuffer* primary = nullptr;
    EXPECT_EQ(sound_->CreateSoundBuffer(&description, &primary, nullptr), DSERR_OUTOFMEMORY);
    EXPECT_EQ(primary, nullptr);
}

}  // namespace
