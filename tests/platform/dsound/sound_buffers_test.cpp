// Secondary buffers on the virtual output: cursors that play once, loop,
// stop and resume, duplicates over shared memory, rate, volume and pan,
// locks across the end, writes heard from their unlock on (from another
// thread too), and the mix of their samples.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "tests/platform/dsound/sound_fixture.h"

namespace {

using soundtest::kAllControls;
using soundtest::StereoRamp;

class SoundBufferTest : public soundtest::SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        Start();
    }
};

// Frames [first, first + count) of interleaved stereo samples.
std::vector<int16_t> Frames(const std::vector<int16_t>& samples, size_t first, size_t count) {
    return std::vector<int16_t>(samples.begin() + 2 * first, samples.begin() + 2 * (first + count));
}

TEST_F(SoundBufferTest, APlayedOnceBufferStopsAtItsEndWithItsCursorBackAtTheStart) {
    const std::vector<int16_t> ramp = StereoRamp(100);
    IDirectSoundBuffer* buffer = Make16(2, 44100, ramp);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING);
    std::vector<int16_t> first = Mix(60);
    EXPECT_EQ(Cursor(buffer), 60u * 4);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING);
    const std::vector<int16_t> second = Mix(60);
    EXPECT_EQ(Status(buffer), 0u);
    EXPECT_EQ(Cursor(buffer), 0u);
    first.insert(first.end(), second.begin(), second.end());
    EXPECT_EQ(Frames(first, 0, 100), ramp);
    EXPECT_EQ(Frames(first, 100, 20), std::vector<int16_t>(40, 0));
    // Played again, it starts from the top.
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Mix(10), Frames(ramp, 0, 10));
}

TEST_F(SoundBufferTest, ALoopingBufferWrapsToItsStart) {
    const std::vector<int16_t> ramp = StereoRamp(100);
    IDirectSoundBuffer* buffer = Make16(2, 44100, ramp);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const std::vector<int16_t> mixed = Mix(250);
    EXPECT_EQ(Status(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(Cursor(buffer), 50u * 4);
    EXPECT_EQ(Frames(mixed, 100, 100), ramp);
    EXPECT_EQ(Frames(mixed, 200, 50), Frames(ramp, 0, 50));
}

TEST_F(SoundBufferTest, StopKeepsTheCursorAndPlayResumesThere) {
    const std::vector<int16_t> ramp = StereoRamp(100);
    IDirectSoundBuffer* buffer = Make16(2, 44100, ramp);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    Mix(30);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_EQ(Status(buffer), 0u);
    EXPECT_EQ(Mix(10), std::vector<int16_t>(20, 0));
    EXPECT_EQ(Cursor(buffer), 30u * 4);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Mix(10), Frames(ramp, 30, 10));
    // A position is a whole block.
    ASSERT_EQ(buffer->SetCurrentPosition(4 * 7 + 3), DS_OK);
    EXPECT_EQ(Cursor(buffer), 4u * 7);
}

TEST_F(SoundBufferTest, ADuplicateSharesTheMemoryWithACursorOfItsOwn) {
    const std::vector<int16_t> ramp = StereoRamp(100);
    IDirectSoundBuffer* original = Make16(2, 44100, ramp);
    ASSERT_EQ(original->SetVolume(-300), DS_OK);
    IDirectSoundBuffer* duplicate = Duplicate(original);
    ASSERT_NE(duplicate, nullptr);
    LONG volume = 0;
    EXPECT_EQ(duplicate->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -300);
    ASSERT_EQ(duplicate->SetVolume(0), DS_OK);
    // Bytes written through the original are what the duplicate plays.
    const std::vector<int16_t> written(2 * 10, 1234);
    Write(original, written.data(), written.size() * 2, 4 * 5);
    ASSERT_EQ(original->SetCurrentPosition(4 * 50), DS_OK);
    ASSERT_EQ(duplicate->Play(0, 0, 0), DS_OK);
    const std::vector<int16_t> mixed = Mix(20);
    EXPECT_EQ(Frames(mixed, 0, 5), Frames(ramp, 0, 5));
    EXPECT_EQ(Frames(mixed, 5, 10), written);
    EXPECT_EQ(Cursor(duplicate), 20u * 4);
    EXPECT_EQ(Cursor(original), 50u * 4);
    EXPECT_EQ(Status(original), 0u);
    // The memory lives on with the duplicate.
    original->Release();
    buffers_.erase(buffers_.begin());
    EXPECT_EQ(Mix(5), Frames(ramp, 20, 5));
}

TEST_F(SoundBufferTest, TheCursorMovesAtTheBuffersFrequency) {
    struct Case {
        DWORD ownRate;
        DWORD setFrequency;  // 0: the data's own rate
        uint32_t outputFrames;
        DWORD cursorFrames;
    } cases[] = {
        {44100, 22050, 1000, 500},   // half the rate, half the speed
        {44100, 0, 1000, 1000},      // back to the data's own
        {22050, 0, 1000, 500},       // data at half the output's rate
        {22050, 44100, 1000, 1000},  // raised to the output's
        {11025, 0, 1000, 250},
        {48000, 0, 441, 480},
        // Outside the card's own range: mixed in software all the same.
        {96000, 0, 441, 960},
        {192000, 0, 441, 1920},
        {4000, 0, 441, 40},
        {44100, 96000, 441, 960},
        {44100, 200000, 441, 2000},
        {96000, 100, 441, 1},
    };
    platform::Profile().sound.caps.minSecondaryRate = 8000;
    platform::Profile().sound.caps.maxSecondaryRate = 48000;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ownRate << " Hz at " << c.setFrequency);
        IDirectSoundBuffer* buffer = Make(16, 2, c.ownRate, 4 * 4000);
        ASSERT_NE(buffer, nullptr);
        ASSERT_EQ(buffer->SetFrequency(44100 / 2), DS_OK);
        ASSERT_EQ(buffer->SetFrequency(c.setFrequency), DS_OK);
        DWORD frequency = 0;
        EXPECT_EQ(buffer->GetFrequency(&frequency), DS_OK);
        EXPECT_EQ(frequency, c.setFrequency == 0 ? c.ownRate : c.setFrequency);
        ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
        Mix(c.outputFrames);
        EXPECT_EQ(Cursor(buffer), c.cursorFrames * 4);
        buffer->Stop();
    }
}

TEST_F(SoundBufferTest, VolumeAndPanScaleEachChannel) {
    struct Case {
        LONG volume;
        LONG pan;
        double left;
        double right;
    } cases[] = {
        {0, 0, 1.0, 1.0},
        {DSBVOLUME_MIN, 0, 0.0, 0.0},
        {-600, 0, 0.501, 0.501},
        {0, DSBPAN_LEFT, 1.0, 0.0},
        {0, DSBPAN_RIGHT, 0.0, 1.0},
        {0, 600, 0.501, 1.0},
        {-600, -600, 0.501, 0.251},  // a pan to the left takes off the right
    };
    const std::vector<int16_t> ramp = StereoRamp(200);
    IDirectSoundBuffer* buffer = Make16(2, 44100, ramp);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << c.volume << " pan " << c.pan);
        ASSERT_EQ(buffer->SetVolume(c.volume), DS_OK);
        ASSERT_EQ(buffer->SetPan(c.pan), DS_OK);
        ASSERT_EQ(buffer->SetCurrentPosition(0), DS_OK);
        ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
        const std::vector<int16_t> mixed = Mix(200);
        for (size_t i = 0; i < mixed.size(); ++i) {
            const double factor = i % 2 == 0 ? c.left : c.right;
            const double expected = ramp[i] * factor;
            // Full volume and silence are exact.
            const double tolerance = factor == 0.0 || factor == 1.0 ? 0.0 : 1.0 + std::abs(expected) * 0.002;
            ASSERT_NEAR(mixed[i], expected, tolerance) << "sample " << i;
        }
    }
}

TEST_F(SoundBufferTest, TheMixOfOneBufferAtFullVolumeIsItsOwnSamples) {
    struct Case {
        WORD bits;
        WORD channels;
        std::vector<uint8_t> bytes;
        std::vector<int16_t> expected;  // stereo output
    } cases[] = {
        {16, 2, {0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F, 0xFE, 0xFF}, {0x1234, -32768, 32767, -2}},
        {16, 1, {0x34, 0x12, 0x00, 0x80}, {0x1234, 0x1234, -32768, -32768}},
        {8, 2, {0x80, 0x00, 0xFF, 0x81}, {0, -32768, 127 * 256, 256}},
        {8, 1, {0x00, 0xFF, 0x80, 0x7F}, {-32768, -32768, 127 * 256, 127 * 256, 0, 0, -256, -256}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.channels << " channels");
        IDirectSoundBuffer* buffer = Make(c.bits, c.channels, 44100, static_cast<DWORD>(c.bytes.size()));
        // A new buffer holds silence.
        const uint32_t frames = static_cast<uint32_t>(c.expected.size() / 2);
        ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
        EXPECT_EQ(Mix(frames), std::vector<int16_t>(c.expected.size(), 0));
        Write(buffer, c.bytes.data(), c.bytes.size());
        ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
        EXPECT_EQ(Mix(frames), c.expected);
    }
}

TEST_F(SoundBufferTest, SumsSaturate) {
    const std::vector<int16_t> loud(2 * 10, 30000);
    const std::vector<int16_t> quiet(2 * 10, -30000);
    IDirectSoundBuffer* first = Make16(2, 44100, loud);
    IDirectSoundBuffer* second = Make16(2, 44100, loud);
    first->Play(0, 0, 0);
    second->Play(0, 0, 0);
    EXPECT_EQ(Mix(10), std::vector<int16_t>(20, 32767));
    Write(first, quiet.data(), quiet.size() * 2);
    Write(second, quiet.data(), quiet.size() * 2);
    first->Play(0, 0, 0);
    second->Play(0, 0, 0);
    EXPECT_EQ(Mix(10), std::vector<int16_t>(20, -32768));
}

TEST_F(SoundBufferTest, ALockAcrossTheEndGivesTwoPieces) {
    IDirectSoundBuffer* buffer = Make(16, 2, 44100, 400);
    void* base = nullptr;
    DWORD whole = 0;
    ASSERT_EQ(buffer->Lock(0, 400, &base, &whole, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(whole, 400u);
    ASSERT_EQ(buffer->Unlock(base, whole, nullptr, 0), DS_OK);
    struct Case {
        DWORD offset;
        DWORD bytes;
        HRESULT result;
        DWORD offset1;
        DWORD size1;
        DWORD size2;  // the second piece starts at the buffer's start
    } cases[] = {
        {300, 200, DS_OK, 300, 100, 100}, {300, 100, DS_OK, 300, 100, 0}, {0, 400, DS_OK, 0, 400, 0},
        {399, 400, DS_OK, 399, 1, 399},   {400, 1, DSERR_INVALIDPARAM},   {0, 401, DSERR_INVALIDPARAM},
        {0, 0, DSERR_INVALIDPARAM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bytes << " at " << c.offset);
        void* part1 = &whole;
        void* part2 = &whole;
        DWORD size1 = 7;
        DWORD size2 = 7;
        ASSERT_EQ(buffer->Lock(c.offset, c.bytes, &part1, &size1, &part2, &size2, 0), c.result);
        if (c.result != DS_OK) {
            EXPECT_EQ(part1, nullptr);
            EXPECT_EQ(size1 + size2, 0u);
            continue;
        }
        EXPECT_EQ(part1, static_cast<uint8_t*>(base) + c.offset1);
        EXPECT_EQ(size1, c.size1);
        EXPECT_EQ(part2, c.size2 != 0 ? base : nullptr);
        EXPECT_EQ(size2, c.size2);
        EXPECT_EQ(buffer->Unlock(part1, size1, part2, size2), DS_OK);
    }
    // A range past the end needs somewhere to put the second piece.
    void* part1 = nullptr;
    DWORD size1 = 0;
    EXPECT_EQ(buffer->Lock(300, 200, &part1, &size1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    // Pieces that are not the buffer's own are refused.
    uint8_t elsewhere[8];
    EXPECT_EQ(buffer->Unlock(elsewhere, 8, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(static_cast<uint8_t*>(base) + 300, 101, nullptr, 0), DSERR_INVALIDPARAM);
}

TEST_F(SoundBufferTest, WhatIsWrittenUnderALockIsHeardFromItsUnlockOn) {
    IDirectSoundBuffer* buffer = Make(16, 2, 44100, 4 * 100);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    // 50 frames across the end: the last 25 and the first 25.
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD size1 = 0;
    DWORD size2 = 0;
    ASSERT_EQ(buffer->Lock(4 * 75, 4 * 50, &part1, &size1, &part2, &size2, 0), DS_OK);
    ASSERT_NE(part2, nullptr);
    std::fill_n(static_cast<int16_t*>(part1), size1 / 2, int16_t{1234});
    std::fill_n(static_cast<int16_t*>(part2), size2 / 2, int16_t{-567});
    EXPECT_EQ(Mix(100), std::vector<int16_t>(2 * 100, 0));
    ASSERT_EQ(buffer->Unlock(part1, size1, part2, size2), DS_OK);
    std::vector<int16_t> expected(2 * 100, 0);
    std::fill_n(expected.begin(), 2 * 25, int16_t{-567});
    std::fill_n(expected.begin() + 2 * 75, 2 * 25, int16_t{1234});
    EXPECT_EQ(Mix(100), expected);
}

// The mix on one thread while another writes the buffer it plays: each chunk
// mixed under one hold of the lock holds one whole write, never a write in
// progress, and the writes are heard in their order. Under the thread
// checker the writer's bytes must not be read before its unlock.
TEST_F(SoundBufferTest, AWriterOnAnotherThreadIsHeardWholeFromItsUnlock) {
    constexpr DWORD kFrames = 256;
    constexpr int kRounds = 50;
    IDirectSoundBuffer* buffer = Make(16, 2, 44100, 4 * kFrames);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    // Relaxed on purpose: the count tells the writer that the mixer has run,
    // and orders none of the writer's bytes before a mix; only the buffer may.
    std::atomic<int> mixes{0};
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int round = 1; round <= kRounds; ++round) {
            void* part1 = nullptr;
            void* part2 = nullptr;
            DWORD size1 = 0;
            DWORD size2 = 0;
            if (buffer->Lock(0, 4 * kFrames, &part1, &size1, &part2, &size2, 0) != DS_OK) break;
            std::fill_n(static_cast<int16_t*>(part1), size1 / 2, static_cast<int16_t>(round * 100));
            // The mixer runs twice while the bytes are written and still locked.
            const int seen = mixes.load(std::memory_order_relaxed);
            while (mixes.load(std::memory_order_relaxed) < seen + 2) std::this_thread::yield();
            buffer->Unlock(part1, size1, part2, size2);
        }
        done.store(true, std::memory_order_release);
    });
    int16_t heard = 0;
    while (!done.load(std::memory_order_acquire)) {
        // Less than one chunk: one hold of the mixer's lock.
        const std::vector<int16_t> chunk = Mix(64);
        mixes.fetch_add(1, std::memory_order_relaxed);
        EXPECT_EQ(chunk.size(), 2u * 64);
        if (chunk.empty()) continue;
        EXPECT_EQ(chunk, std::vector<int16_t>(chunk.size(), chunk[0]));
        EXPECT_EQ(chunk[0] % 100, 0);
        EXPECT_GE(chunk[0], heard);
        heard = chunk[0];
    }
    writer.join();
    EXPECT_EQ(Mix(64), std::vector<int16_t>(2 * 64, kRounds * 100));
}

TEST_F(SoundBufferTest, CallsOutsideWhatTheBufferOffersAreRefused) {
    IDirectSoundBuffer* plain = Make(16, 2, 44100, 400, DSBCAPS_STATIC);
    IDirectSoundBuffer* controlled = Make(16, 2, 44100, 400);
    LONG volume = 0;
    DWORD frequency = 0;
    const WAVEFORMATEX format = soundtest::PcmFormat(16, 2, 44100);
    struct Case {
        const char* call;
        HRESULT result;
        HRESULT expected;
    } cases[] = {
        {"SetVolume without the control", plain->SetVolume(-100), DSERR_CONTROLUNAVAIL},
        {"GetVolume without the control", plain->GetVolume(&volume), DSERR_CONTROLUNAVAIL},
        {"SetPan without the control", plain->SetPan(100), DSERR_CONTROLUNAVAIL},
        {"SetFrequency without the control", plain->SetFrequency(22050), DSERR_CONTROLUNAVAIL},
        {"GetFrequency without the control", plain->GetFrequency(&frequency), DSERR_CONTROLUNAVAIL},
        {"volume above 0", controlled->SetVolume(1), DSERR_INVALIDPARAM},
        {"volume below the minimum", controlled->SetVolume(-10001), DSERR_INVALIDPARAM},
        {"pan past the right", controlled->SetPan(10001), DSERR_INVALIDPARAM},
        {"frequency below the range", controlled->SetFrequency(99), DSERR_INVALIDPARAM},
        {"frequency above the range", controlled->SetFrequency(200001), DSERR_INVALIDPARAM},
        {"position at the end", controlled->SetCurrentPosition(400), DSERR_INVALIDPARAM},
        {"unknown play flag", controlled->Play(0, 0, 2), DSERR_INVALIDPARAM},
        {"format of a secondary buffer", controlled->SetFormat(&format), DSERR_INVALIDCALL},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.call;
    EXPECT_EQ(Status(plain), 0u);
    EXPECT_EQ(Status(controlled), 0u);
}

TEST_F(SoundBufferTest, BuffersAreMadeOnlyFromFormatsAndSizesTheDeviceTakes) {
    struct Case {
        const char* what;
        WAVEFORMATEX format;
        DWORD bytes;
        DWORD flags;
        HRESULT expected;
        DWORD madeBytes;
    } cases[] = {
        {"16-bit stereo", soundtest::PcmFormat(16, 2, 44100), 400, 0, DS_OK, 400},
        {"8-bit mono at the lowest rate", soundtest::PcmFormat(8, 1, 100), 4, 0, DS_OK, 4},
        {"a size cut to whole blocks", soundtest::PcmFormat(16, 2, 22050), 403, 0, DS_OK, 400},
        {"a size below the least", soundtest::PcmFormat(16, 1, 22050), 2, 0, DSERR_INVALIDPARAM, 0},
        {"24-bit samples", soundtest::PcmFormat(24, 2, 44100), 600, 0, DSERR_BADFORMAT, 0},
        {"three channels", soundtest::PcmFormat(16, 3, 44100), 600, 0, DSERR_BADFORMAT, 0},
        {"a rate below the range", soundtest::PcmFormat(16, 2, 99), 400, 0, DSERR_BADFORMAT, 0},
        {"a rate above the range", soundtest::PcmFormat(16, 2, 200001), 400, 0, DSERR_BADFORMAT, 0},
        {"3D sound", soundtest::PcmFormat(16, 1, 44100), 400, 0x10, DSERR_INVALIDPARAM, 0},
    };
    WAVEFORMATEX compressed = soundtest::PcmFormat(16, 2, 44100);
    compressed.wFormatTag = 2;
    WAVEFORMATEX misaligned = soundtest::PcmFormat(16, 2, 44100);
    misaligned.nBlockAlign = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WAVEFORMATEX format = c.format;
        DSBUFFERDESC description{sizeof(DSBUFFERDESC), c.flags, c.bytes, 0, &format, {}};
        IDirectSoundBuffer* buffer = nullptr;
        ASSERT_EQ(sound_->CreateSoundBuffer(&description, &buffer, nullptr), c.expected);
        if (c.expected != DS_OK) {
            EXPECT_EQ(buffer, nullptr);
            continue;
        }
        DSBCAPS caps{sizeof(DSBCAPS)};
        EXPECT_EQ(buffer->GetCaps(&caps), DS_OK);
        EXPECT_EQ(caps.dwBufferBytes, c.madeBytes);
        WAVEFORMATEX reported{};
        DWORD written = 0;
        EXPECT_EQ(buffer->GetFormat(&reported, sizeof(reported), &written), DS_OK);
        EXPECT_EQ(written, sizeof(WAVEFORMATEX));
        EXPECT_EQ(std::memcmp(&reported, &format, sizeof(format)), 0);
        buffer->Release();
    }
    for (WAVEFORMATEX* format : {&compressed, &misaligned}) {
        DSBUFFERDESC description{sizeof(DSBUFFERDESC), 0, 400, 0, format, {}};
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(sound_->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_BADFORMAT);
    }
    DSBUFFERDESC noFormat{sizeof(DSBUFFERDESC), 0, 400, 0, nullptr, {}};
    DSBUFFERDESC wrongSize{sizeof(DSBUFFERDESC) - 4, 0, 400, 0, &compressed, {}};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(sound_->CreateSoundBuffer(&noFormat, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(sound_->CreateSoundBuffer(&wrongSize, &buffer, nullptr), DSERR_INVALIDPARAM);
}

}  // namespace
