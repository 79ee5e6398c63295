// The three resource managers: reference counts, keys shared by names that
// differ only in letter case, the font key text, and releases of what was
// never loaded.
#include <gtest/gtest.h>

#include <string>

#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "game/framework/resource_managers.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"

namespace {

using Manager::C2DFontManager;
using Manager::CSoundManager;
using Manager::CTextureManager;

class ResourceManagerTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        ASSERT_TRUE(StartFramework());
        WritePicture("pic\\red.png", 8, 8, 0xFF0000);
        WriteTone("se\\beep.wav", 200);
    }
};

// The count each manager keeps for a name loaded twice: one release leaves
// it, the second deletes the handle.
TEST_F(ResourceManagerTest, TwoLoadsNeedTwoReleasesForTexturesAndSounds) {
    struct Case {
        Manager::IObjectManager<int>* manager;
        const char* name;
        int (*isLive)(int handle);
    };
    const Case cases[] = {
        {CTextureManager::GetInstance(), "pic\\red.png", IsValidGraphicHandle},
        {CSoundManager::GetInstance(), "se\\beep.wav", [](int h) { return GetSoundRecord(h) != nullptr ? 1 : 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.manager->Load(c.name, nullptr, nullptr));
        ASSERT_TRUE(c.manager->Load(c.name, nullptr, nullptr));
        const int handle = c.manager->GetHandle(c.name);
        ASSERT_GE(handle, 0);
        c.manager->Release(c.name);
        EXPECT_EQ(c.manager->GetHandle(c.name), handle);
        EXPECT_EQ(c.isLive(handle), 1);
        c.manager->Release(c.name);
        EXPECT_EQ(c.manager->GetHandle(c.name), -1);
        EXPECT_EQ(c.isLive(handle), 0);
        // More releases than loads change nothing, and the name loads afresh.
        c.manager->Release(c.name);
        ASSERT_TRUE(c.manager->Load(c.name, nullptr, nullptr));
        c.manager->Release(c.name);
        EXPECT_EQ(c.manager->GetHandle(c.name), -1);
    }
}

TEST_F(ResourceManagerTest, NamesDifferingOnlyInCaseAreOneEntry) {
    CTextureManager* textures = CTextureManager::GetInstance();
    char key[Manager::kResourceKeyTextSize] = {};
    ASSERT_TRUE(textures->Load("pic\\red.png", key, nullptr));
    EXPECT_STREQ(key, "pic\\red.png");
    ASSERT_TRUE(textures->Load("PIC\\Red.PNG", key, nullptr));
    EXPECT_STREQ(key, "PIC\\Red.PNG");
    ASSERT_EQ(textures->entries.size(), 1u);
    EXPECT_EQ(textures->entries.begin()->second.referenceCount, 2);
    EXPECT_EQ(textures->GetHandle("Pic\\RED.png"), textures->GetHandle("pic\\red.png"));

    CSoundManager* sounds = CSoundManager::GetInstance();
    ASSERT_TRUE(sounds->Load("se\\beep.wav", nullptr, nullptr));
    ASSERT_TRUE(sounds->Load("SE\\BEEP.WAV", nullptr, nullptr));
    ASSERT_EQ(sounds->entries.size(), 1u);
    EXPECT_EQ(sounds->entries.begin()->second.referenceCount, 2);
}

TEST_F(ResourceManagerTest, ReleasesOfUnknownNamesAndKeysDoNothing) {
    CTextureManager* textures = CTextureManager::GetInstance();
    ASSERT_TRUE(textures->Load("pic\\red.png", nullptr, nullptr));
    textures->Release("never\\loaded.png");
    textures->Release(nullptr);
    textures->ReleaseByAtom(0);
    textures->ReleaseByAtom(0xBEEF);
    CSoundManager::GetInstance()->Release("never.wav");
    C2DFontManager::GetInstance()->Release("never");
    C2DFontManager::GetInstance()->ReleaseByAtom(0xBEEF);
    ASSERT_EQ(textures->entries.size(), 1u);
    EXPECT_EQ(textures->entries.begin()->second.referenceCount, 1);
}

TEST_F(ResourceManagerTest, FailedOrRefusedLoadsStoreNothing) {
    CTextureManager* textures = CTextureManager::GetInstance();
    CSoundManager* sounds = CSoundManager::GetInstance();
    EXPECT_FALSE(textures->Load(nullptr, nullptr, nullptr));
    EXPECT_FALSE(textures->Load("pic\\missing.png", nullptr, nullptr));
    EXPECT_FALSE(sounds->Load(nullptr, nullptr, nullptr));
    EXPECT_FALSE(sounds->Load("se\\missing.wav", nullptr, nullptr));
    // A name too long for a key buffer is refused before anything is copied.
    const std::string longName(Manager::kResourceKeyTextSize, 'a');
    char key[Manager::kResourceKeyTextSize] = "untouched";
    EXPECT_FALSE(textures->Load(longName.c_str(), key, nullptr));
    EXPECT_FALSE(sounds->Load(longName.c_str(), key, nullptr));
    EXPECT_STREQ(key, "untouched");
    EXPECT_TRUE(textures->entries.empty());
    EXPECT_TRUE(sounds->entries.empty());
}

TEST_F(ResourceManagerTest, FontKeyTextNamesFaceSizeThicknessAndType) {
    C2DFontManager* fonts = C2DFontManager::GetInstance();
    std::snprintf(fonts->faceName, sizeof(fonts->faceName), "%s", "ＭＳ 明朝");
    fonts->size = 42;
    fonts->thickness = 6;
    fonts->fontType = 3;
    char key[Manager::kResourceKeyTextSize] = {};
    ASSERT_TRUE(fonts->Load("ignored", key, nullptr));
    EXPECT_STREQ(key, "ＭＳ 明朝420603");
    const int handle = fonts->GetHandle(key);
    ASSERT_GE(handle, 0);
    int size = 0;
    ASSERT_EQ(GetFontHandleInfo(nullptr, &size, nullptr, handle), 0);
    EXPECT_EQ(size, 42);

    // The same request again creates no second font.
    ASSERT_TRUE(fonts->Load(nullptr, nullptr, nullptr));
    EXPECT_EQ(fonts->handles.size(), 1u);
    EXPECT_EQ(fonts->GetHandle(key), handle);

    // A release by key deletes the font; the next request makes it again.
    fonts->ReleaseByAtom(AddAtomA(key));
    EXPECT_TRUE(fonts->handles.empty());
    EXPECT_EQ(DeleteFontHandle(handle), -1);
    ASSERT_TRUE(fonts->Load(nullptr, nullptr, nullptr));
    EXPECT_GE(fonts->GetHandle(key), 0);

    fonts->size = 8;
    ASSERT_TRUE(fonts->Load(nullptr, key, nullptr));
    EXPECT_STREQ(key, "ＭＳ 明朝080603");
    EXPECT_EQ(fonts->handles.size(), 2u);
}

TEST_F(ResourceManagerTest, SoundPlaybackByKeyIgnoresUnknownKeysAndTogglesPause) {
    CSoundManager* sounds = CSoundManager::GetInstance();
    sounds->Play(0xBEEF, -1);
    sounds->Stop(0xBEEF);
    sounds->TogglePause(0xBEEF);
    ASSERT_TRUE(sounds->Load("se\\beep.wav", nullptr, nullptr));
    const ATOM key = AddAtomA("se\\beep.wav");
    const int handle = sounds->GetHandleByAtom(key);
    sounds->Play(key, -1);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 1);
    sounds->TogglePause(key);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
    sounds->TogglePause(key);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 1);
    sounds->Stop(key);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
}

// A play that is not a loop waits for the sound's end, which comes after the
// sound's own length of virtual time.
TEST_F(ResourceManagerTest, APlayThatWaitsLastsTheSoundsLength) {
    CSoundManager* sounds = CSoundManager::GetInstance();
    ASSERT_TRUE(sounds->Load("se\\beep.wav", nullptr, nullptr));
    const ATOM key = AddAtomA("se\\beep.wav");
    const uint64_t before = MixedMilliseconds();
    sounds->Play(key, 0);
    const uint64_t waited = MixedMilliseconds() - before;
    EXPECT_GE(waited, 200u);
    EXPECT_LT(waited, 300u);
    EXPECT_TRUE(TakeAudibleMix());
    EXPECT_EQ(CheckSoundHandlePlaying(sounds->GetHandleByAtom(key)), 0);
}

}  // namespace
