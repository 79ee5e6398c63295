// Sound handles: slot choice and check values of the table, the full table
// and a refused record, refusing bad handles, and the load type.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"
#include "platform/profile/machine_profile.h"
#include "framework/sound/sound_system.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

class SoundHandleTest : public soundtest::SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(StartSound());
    }
};

int Handle(int check, int slot) { return ((check | 0x1000) << 16) | slot; }

// The stream thread takes the sound lock every 30 ms for a moment, so one
// refused try proves nothing; a lock this thread still held would refuse
// every try for two seconds and more.
bool SoundLockFreeForOtherThreads() {
    bool taken = false;
    std::thread other([&taken] {
        for (int tries = 0; !taken && tries < 2000; ++tries) {
            taken = TryEnterCriticalSection(&SoundLock) != FALSE;
            if (taken) {
                LeaveCriticalSection(&SoundLock);
            } else {
                Sleep(1);
            }
        }
    });
    other.join();
    return taken;
}

TEST_F(SoundHandleTest, SlotsComeFromTheHighWaterIndexAndItComesDown) {
    std::vector<int> handles;
    for (int i = 0; i < 4; ++i) handles.push_back(AddSoundData(-1));
    // Check values run on from wherever the counter stands.
    const int c = (handles[0] >> 16) & 0x7FF;
    auto check = [c](int n) { return (c + n) % 2048; };
    EXPECT_EQ(handles, (std::vector<int>{Handle(c, 0), Handle(check(1), 1), Handle(check(2), 2), Handle(check(3), 3)}));

    // A free slot below the high-water index is not taken while it is below
    // the slot count.
    ASSERT_EQ(DeleteSoundHandle(handles[1], 0), 0);
    EXPECT_EQ(AddSoundData(-1), Handle(check(4), 4));
    // Deleting the top slots lowers the index past the free slot 1.
    ASSERT_EQ(DeleteSoundHandle(Handle(check(4), 4), 0), 0);
    ASSERT_EQ(DeleteSoundHandle(handles[3], 0), 0);
    ASSERT_EQ(DeleteSoundHandle(handles[2], 0), 0);
    EXPECT_EQ(SoundHandleTable.highWater, 1);
    EXPECT_EQ(AddSoundData(-1), Handle(check(5), 1));
    EXPECT_EQ(DeleteAllSoundHandles(0), 0);
    EXPECT_EQ(SoundHandleTable.highWater, 0);
    EXPECT_EQ(SoundHandleTable.liveCount, 0);

    // The stale handle of a reused slot is refused.
    EXPECT_EQ(DeleteSoundHandle(handles[0], 0), -1);
}

TEST_F(SoundHandleTest, The2049thHandleHasTheFirstsCheckValueAgain) {
    int first = AddSoundData(-1);
    EXPECT_EQ(first & 0xFFFF, 0);
    DeleteSoundHandle(first, 0);
    for (int i = 1; i < 2048; ++i) DeleteSoundHandle(AddSoundData(-1), 0);
    EXPECT_EQ(AddSoundData(-1), first);
}

TEST_F(SoundHandleTest, AFullTableAndARefusedRecordAreLogged) {
    const size_t mark = LogText().size();
    const int live = SoundHandleTable.liveCount;
    SoundHandleTable.liveCount = kSoundSlotCount;
    EXPECT_EQ(AddSoundData(-1), -1);
    SoundHandleTable.liveCount = live;
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(AddSoundData(-1), -1);
    const std::string lines = LinesSince(mark);
    EXPECT_EQ(lines.find("サウンドの数が許容量を越えました\r\n"), 0u);
    EXPECT_NE(lines.find("メモリ領域の確保に失敗しました in AddSoundData\r\n"), std::string::npos);
    EXPECT_EQ(SoundHandleTable.liveCount, 0);
}

TEST_F(SoundHandleTest, EveryFunctionRefusesABadHandleWithoutALogLine) {
    const int live = AddSoundData(-1);
    const int stale = AddSoundData(-1);
    ASSERT_EQ(DeleteSoundHandle(stale, 0), 0);
    const std::vector<std::pair<const char*, std::function<int(int)>>> calls = {
        {"delete", [](int h) { return DeleteSoundHandle(h, 0); }},
        {"play", [](int h) { return PlaySoundHandle(h, 1, 1); }},
        {"check", [](int h) { return CheckSoundHandlePlaying(h); }},
        {"stop", [](int h) { return StopSoundHandle(h); }},
        {"volume", [](int h) { return SetSoundHandleVolume(100, h); }},
        {"samples", [](int h) { return GetSoundHandleTotalSamples(h); }},
        {"time", [](int h) { return GetSoundHandleTotalTimeMs(h); }},
        {"position", [](int h) { return GetSoundHandlePosition(h); }},
        {"byte position", [](int h) { return GetSoundHandleBytePosition(h); }},
        {"play time", [](int h) { return GetSoundHandlePlayTimeMs(h); }},
        {"prepare stream", [](int h) { return PrepareStreamSound(h); }},
        {"play stream", [](int h) { return PlayStreamSoundHandle(h, 1, 1); }},
        {"stop stream", [](int h) { return StopStreamSound(h); }},
        {"check stream", [](int h) { return CheckStreamSoundPlaying(h); }},
        {"refill stream", [](int h) { return ProcessStreamSound(h); }},
        {"stream cursor", [](int h) { return UpdateStreamPlayedPosition(h, -1); }},
        {"stream played bytes", [](int h) { return GetStreamSoundPlayedBytes(h); }},
        {"stream play time", [](int h) { return GetStreamSoundPlayTimeMs(h); }},
    };
    const int otherKind = (live & ~kHandleKindMask) | 0x08000000;
    const size_t mark = LogText().size();
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        for (int bad : {-1, stale, otherKind, live | 0x7FFF, 0x10000000 | 40000}) {
            EXPECT_EQ(call(bad), -1) << bad;
            // The refusal left the sound lock: another thread takes it.
            EXPECT_TRUE(SoundLockFreeForOtherThreads()) << bad;
        }
    }
    EXPECT_EQ(LogText().size(), mark);
    EXPECT_EQ(DeleteSoundHandle(live, 0), 0);
}

TEST_F(SoundHandleTest, LoadTypes) {
    EXPECT_EQ(GetSoundLoadType(), 0);
    struct Case {
        int set;
        int result;
        int after;
    };
    const Case cases[] = {{2, 0, 2}, {1, 0, 0}, {3, 0, 3}, {4, -1, 3}, {-1, -1, 3}, {0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        EXPECT_EQ(SetSoundLoadType(c.set), c.result);
        EXPECT_EQ(GetSoundLoadType(), c.after);
    }
    // Start-up sets it back to 0.
    SetSoundLoadType(2);
    TermSoundSystem();
    ASSERT_TRUE(StartSound());
    EXPECT_EQ(GetSoundLoadType(), 0);
}

}  // namespace
