// Sound buffer voices: the valid flag decides whether a call is made, each
// operation makes its one call with the arguments it stands for, and on the
// platform's DirectSound a voice's buffer is made, duplicated, played and
// released.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/sound/sound_buffer_voice.h"
#include "framework/sound/sound_system_state.h"
#include "platform/dsound/virtual_output.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace {

// Interfaces that write down each call and give one answer to all.
struct CallLog {
    std::vector<std::string> calls;
    HRESULT answer = DS_OK;

    HRESULT Note(std::string call) {
        calls.push_back(std::move(call));
        return answer;
    }
};

class FakeBuffer final : public IDirectSoundBuffer {
public:
    explicit FakeBuffer(CallLog& log) : log_(log) {}
    HRESULT WINAPI QueryInterface(REFIID, void**) override { return log_.Note("QueryInterface"); }
    ULONG WINAPI AddRef() override { return log_.Note("AddRef"), 1; }
    ULONG WINAPI Release() override { return log_.Note("Release"), 0; }
    HRESULT WINAPI GetCaps(LPDSBCAPS) override { return log_.Note("GetCaps"); }
    HRESULT WINAPI GetCurrentPosition(LPDWORD, LPDWORD) override { return log_.Note("GetCurrentPosition"); }
    HRESULT WINAPI GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return log_.Note("GetFormat"); }
    HRESULT WINAPI GetVolume(LONG*) override { return log_.Note("GetVolume"); }
    HRESULT WINAPI GetFrequency(LPDWORD) override { return log_.Note("GetFrequency"); }
    HRESULT WINAPI GetStatus(LPDWORD) override { return log_.Note("GetStatus"); }
    HRESULT WINAPI Lock(DWORD offset, DWORD bytes, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD flags) override {
        return log_.Note("Lock " + std::to_string(offset) + " " + std::to_string(bytes) + " " + std::to_string(flags));
    }
    HRESULT WINAPI Play(DWORD reserved, DWORD priority, DWORD flags) override {
        return log_.Note("Play " + std::to_string(reserved) + " " + std::to_string(priority) + " " +
                         std::to_string(flags));
    }
    HRESULT WINAPI SetCurrentPosition(DWORD position) override {
        return log_.Note("SetCurrentPosition " + std::to_string(position));
    }
    HRESULT WINAPI SetFormat(LPCWAVEFORMATEX) override { return log_.Note("SetFormat"); }
    HRESULT WINAPI SetVolume(LONG volume) override { return log_.Note("SetVolume " + std::to_string(volume)); }
    HRESULT WINAPI SetPan(LONG pan) override { return log_.Note("SetPan " + std::to_string(pan)); }
    HRESULT WINAPI SetFrequency(DWORD hz) override { return log_.Note("SetFrequency " + std::to_string(hz)); }
    HRESULT WINAPI Stop() override { return log_.Note("Stop"); }
    HRESULT WINAPI Unlock(LPVOID, DWORD size1, LPVOID, DWORD size2) override {
        return log_.Note("Unlock " + std::to_string(size1) + " " + std::to_string(size2));
    }

private:
    CallLog& log_;
};

class FakeSound final : public IDirectSound {
public:
    explicit FakeSound(CallLog& log) : log_(log) {}
    HRESULT WINAPI QueryInterface(REFIID, void**) override { return log_.Note("QueryInterface"); }
    ULONG WINAPI AddRef() override { return log_.Note("AddRef"), 1; }
    ULONG WINAPI Release() override { return log_.Note("Release"), 0; }
    HRESULT WINAPI CreateSoundBuffer(LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER*, LPUNKNOWN) override {
        return log_.Note("CreateSoundBuffer");
    }
    HRESULT WINAPI GetCaps(LPDSCAPS) override { return log_.Note("GetCaps"); }
    HRESULT WINAPI DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPDIRECTSOUNDBUFFER*) override {
        return log_.Note("DuplicateSoundBuffer");
    }
    HRESULT WINAPI SetCooperativeLevel(HWND, DWORD) override { return log_.Note("SetCooperativeLevel"); }
    HRESULT WINAPI Initialize(const GUID*) override { return log_.Note("Initialize"); }

private:
    CallLog& log_;
};

struct Operation {
    const char* name;
    std::function<int(SoundBufferVoice*)> run;
    std::string call;       // what a valid voice calls
    int resultOnFailure;    // the result when the call fails
};

std::vector<Operation> Operations() {
    return {
        {"release", [](SoundBufferVoice* v) { return ReleaseSoundBufferVoice(v); }, "Release", 0},
        {"play once", [](SoundBufferVoice* v) { return PlaySoundBufferVoice(v, 0); }, "Play 0 0 0",
         static_cast<int>(DSERR_GENERIC)},
        {"play looping", [](SoundBufferVoice* v) { return PlaySoundBufferVoice(v, 7); }, "Play 0 0 1",
         static_cast<int>(DSERR_GENERIC)},
        {"stop", [](SoundBufferVoice* v) { return StopSoundBufferVoice(v); }, "Stop", 0},
        {"status",
         [](SoundBufferVoice* v) {
             uint32_t status = 0;
             return GetSoundBufferVoiceStatus(v, &status);
         },
         "GetStatus", -1},
        {"lock",
         [](SoundBufferVoice* v) {
             void* part1 = nullptr;
             void* part2 = nullptr;
             uint32_t size1 = 0;
             uint32_t size2 = 0;
             return LockSoundBufferVoice(v, 300, 200, &part1, &size1, &part2, &size2);
         },
         "Lock 300 200 0", -1},
        {"unlock", [](SoundBufferVoice* v) { return UnlockSoundBufferVoice(v, nullptr, 100, nullptr, 50); },
         "Unlock 100 50", -1},
        {"frequency", [](SoundBufferVoice* v) { return SetSoundBufferVoiceFrequency(v, 22050); },
         "SetFrequency 22050", 0},
        {"pan", [](SoundBufferVoice* v) { return SetSoundBufferVoicePan(v, -300); }, "SetPan -300", 0},
        {"volume", [](SoundBufferVoice* v) { return SetSoundBufferVoiceVolume(v, -10000); }, "SetVolume -10000", 0},
        {"position", [](SoundBufferVoice* v) { return SetSoundBufferVoicePosition(v, 96); }, "SetCurrentPosition 96",
         0},
    };
}

class SoundBufferVoiceTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        DirectSoundObject = nullptr;
        PlatformTest::TearDown();
    }
};

TEST_F(SoundBufferVoiceTest, EachOperationMakesItsOneCallOnlyOnAValidVoice) {
    for (const Operation& operation : Operations()) {
        SCOPED_TRACE(operation.name);
        for (HRESULT answer : {DS_OK, DSERR_GENERIC}) {
            CallLog log;
            log.answer = answer;
            FakeBuffer buffer(log);
            SoundBufferVoice invalid{0, &buffer};
            EXPECT_EQ(operation.run(&invalid), -1);
            EXPECT_EQ(operation.run(nullptr), -1);
            EXPECT_TRUE(log.calls.empty());
            EXPECT_EQ(invalid.buffer, &buffer);

            SoundBufferVoice valid{1, &buffer};
            EXPECT_EQ(operation.run(&valid), answer == DS_OK ? 0 : operation.resultOnFailure);
            EXPECT_EQ(log.calls, std::vector<std::string>{operation.call});
        }
    }
}

TEST_F(SoundBufferVoiceTest, ReleasingClearsTheVoice) {
    CallLog log;
    FakeBuffer buffer(log);
    SoundBufferVoice voice{1, &buffer};
    ASSERT_EQ(ReleaseSoundBufferVoice(&voice), 0);
    EXPECT_EQ(voice.valid, 0);
    EXPECT_EQ(voice.buffer, nullptr);
}

TEST_F(SoundBufferVoiceTest, CreatingIntoAValidVoiceFailsAndKeepsItsBuffer) {
    CallLog soundLog;
    CallLog bufferLog;
    FakeSound sound(soundLog);
    FakeBuffer buffer(bufferLog);
    DirectSoundObject = &sound;
    SoundBufferVoice voice{1, &buffer};
    SoundBufferVoice source{1, &buffer};
    SoundBufferVoice invalidSource{0, &buffer};
    SoundBufferVoice empty{0, nullptr};
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), 0x80E2, 400, 0, nullptr, {}};
    EXPECT_EQ(CreateSoundBufferVoice(&voice, &description), -1);
    EXPECT_EQ(DuplicateSoundBufferVoice(&voice, &source), -1);
    EXPECT_EQ(DuplicateSoundBufferVoice(&empty, &invalidSource), -1);
    EXPECT_EQ(voice.valid, 1);
    EXPECT_EQ(voice.buffer, &buffer);
    EXPECT_EQ(empty.valid, 0);
    EXPECT_TRUE(soundLog.calls.empty());
    EXPECT_TRUE(bufferLog.calls.empty());
    // Without a started sound system nothing can be made.
    DirectSoundObject = nullptr;
    EXPECT_EQ(CreateSoundBufferVoice(&empty, &description), -1);
    EXPECT_EQ(DuplicateSoundBufferVoice(&empty, &source), -1);
    EXPECT_EQ(empty.valid, 0);
}

TEST_F(SoundBufferVoiceTest, VoicesOnThePlatformsDirectSound) {
    platform::Profile().display.host = platform::HostDisplayUse::Off;
    platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
    CoInitialize(nullptr);
    void* made = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &made), S_OK);
    IDirectSound* sound = static_cast<IDirectSound*>(made);
    ASSERT_EQ(sound->Initialize(nullptr), DS_OK);
    DirectSoundObject = sound;

    // At the output's own rate (the primary format is not set: 22050 Hz).
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), 0x80E2, 8, 0, &format, {}};
    SoundBufferVoice voice{};
    platform::Profile().failures.sound.createBuffers = 1;
    EXPECT_EQ(CreateSoundBufferVoice(&voice, &description), -1);
    EXPECT_EQ(voice.valid, 0);
    EXPECT_EQ(voice.buffer, nullptr);
    ASSERT_EQ(CreateSoundBufferVoice(&voice, &description), 0);
    EXPECT_EQ(voice.valid, 1);

    // Four frames, written across the end in two pieces.
    const int16_t samples[4] = {100, 200, 300, 400};
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t size1 = 0;
    uint32_t size2 = 0;
    ASSERT_EQ(LockSoundBufferVoice(&voice, 4, 8, &part1, &size1, &part2, &size2), 0);
    ASSERT_EQ(size1, 4u);
    ASSERT_EQ(size2, 4u);
    std::memcpy(part1, samples + 2, 4);
    std::memcpy(part2, samples, 4);
    ASSERT_EQ(UnlockSoundBufferVoice(&voice, part1, size1, part2, size2), 0);

    SoundBufferVoice copy{};
    ASSERT_EQ(DuplicateSoundBufferVoice(&copy, &voice), 0);
    EXPECT_EQ(SetSoundBufferVoiceVolume(&copy, -10000), 0);
    EXPECT_EQ(SetSoundBufferVoicePosition(&voice, 2), 0);
    ASSERT_EQ(PlaySoundBufferVoice(&voice, 1), 0);
    ASSERT_EQ(PlaySoundBufferVoice(&copy, 0), 0);
    uint32_t status = 0;
    ASSERT_EQ(GetSoundBufferVoiceStatus(&voice, &status), 0);
    EXPECT_EQ(status & DSBSTATUS_PLAYING, DSBSTATUS_PLAYING);
    ASSERT_TRUE(platform::dsound::AdvanceVirtualOutput(5));
    // From frame 1, looping; the silenced copy adds nothing.
    EXPECT_EQ(platform::dsound::TakeVirtualOutput().samples,
              (std::vector<int16_t>{200, 200, 300, 300, 400, 400, 100, 100, 200, 200}));
    EXPECT_EQ(StopSoundBufferVoice(&voice), 0);
    ASSERT_EQ(GetSoundBufferVoiceStatus(&voice, &status), 0);
    EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u);

    EXPECT_EQ(ReleaseSoundBufferVoice(&copy), 0);
    EXPECT_EQ(ReleaseSoundBufferVoice(&voice), 0);
    EXPECT_EQ(voice.buffer, nullptr);
    DirectSoundObject = nullptr;
    sound->Release();
    CoUninitialize();
}

}  // namespace
