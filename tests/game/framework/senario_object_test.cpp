// The scenario player: its XML configuration and load errors, the script's
// text steps, markers and commands frame by frame, fades, the draw order,
// the blocking effect and releasing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/sound/sound_playback.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/framework/senario_object.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"

namespace {

using Manager::CPrimitive2DObjectManager;
using Object::C2DFontObject;
using Object::C2DScreenObject;
using Object::CSenarioObject;

constexpr int ATTACK = 1;
constexpr int CHANGE = 4;

const char kWindow[] =
    R"(<window id="0" file="pic\window.png" dir="pic" size_x="64" size_y="32" lefttop_x="2" lefttop_y="4"/>)";
const char kPictures[] =
    R"(<stand_picture id="1" file="pic\face.png" dir="pic" size_x="16" size_y="24" lefttop_x="0" lefttop_y="0")"
    R"( rightbottom_x="16" rightbottom_y="24"/>)"
    R"(<stand_picture id="3" file="pic\body.png" dir="pic" size_x="8" size_y="8" lefttop_x="1" lefttop_y="1")"
    R"( rightbottom_x="9" rightbottom_y="9"/>)";
const char kSounds[] = R"(<BGM file="bgm\theme.wav" dir="bgm"/><SE id="1" file="se\beep.wav" dir="se"/>)";

std::string Config(int speed, const std::string& items = std::string(kWindow) + kPictures + kSounds) {
    return R"(<config><font size="16" thinck="3"/><speed char_frame_speed=")" + std::to_string(speed) + R"("/>)" +
           items + "</config>";
}

// The player's own messages, without the framework's log lines (which end
// in CR LF) about the files it could not open.
std::string OwnDebugOutput() {
    const std::string text = platform::DebugOutputText();
    const size_t cut = text.rfind('\n');
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

const char kSenario[] = R"(<senario file="senario\test.txt" dir="senario" name="test scene"/>)";

class SenarioTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        ASSERT_TRUE(StartFramework());
        WritePicture("pic\\window.png", 64, 64, 0x0000FF);
        WritePicture("pic\\face.png", 32, 32, 0x00FF00);
        WritePicture("pic\\body.png", 16, 16, 0xFF0000);
        WriteTone("se\\beep.wav", 200);
        WriteTone("bgm\\theme.wav", 500);
        objects_ = CPrimitive2DObjectManager::GetInstance();
        objects_->CheckUnreleased();
        platform::ClearDebugOutput();
    }

    void TearDown() override {
        delete senario_;
        senario_ = nullptr;
        GameTest::TearDown();
    }

    // Writes the scenario and its script, and creates the player.
    CSenarioObject* Create(const std::string& script, int speed = 0, const std::string& config = std::string()) {
        WriteFile("senario\\test.xml", (config.empty() ? Config(speed) : config) + kSenario);
        WriteFile("senario\\test.txt", script);
        delete senario_;
        senario_ = CreateSenarioObject("senario\\test.xml");
        return senario_;
    }

    C2DFontObject* Font() { return dynamic_cast<C2DFontObject*>(objects_->Get(senario_->fontObjectId)); }
    C2DScreenObject* Picture(int id) {
        return dynamic_cast<C2DScreenObject*>(objects_->Get(senario_->pictures.at(id)));
    }
    int LiveObjects() const {
        int count = 0;
        for (Object::IObject* object : objects_->objects) count += object != nullptr;
        return count;
    }

    CPrimitive2DObjectManager* objects_ = nullptr;
    CSenarioObject* senario_ = nullptr;
};

TEST_F(SenarioTest, TheConfigurationMakesTheFontWindowsPortraitsAndSounds) {
    ASSERT_NE(Create("a", 3), nullptr);
    EXPECT_STREQ(senario_->senarioName, "test scene");
    EXPECT_EQ(senario_->senarioAtom, AddAtomA("test scene"));
    EXPECT_EQ(senario_->charSpeed, 3);
    EXPECT_EQ(senario_->charCounter, 3);
    EXPECT_EQ(senario_->scriptLength, 1u);
    // The face the element leaves out is the player's default one.
    EXPECT_EQ(Font()->fontKey, AddAtomA("ＭＳ 明朝160303"));
    ASSERT_EQ(senario_->windows.size(), 1u);
    auto* window = dynamic_cast<C2DScreenObject*>(objects_->Get(senario_->windows.at(0)));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->textureKey, AddAtomA("pic\\window.png"));
    EXPECT_EQ(window->width, 64);
    EXPECT_EQ(window->height, 32);
    EXPECT_EQ(window->sourceX, 2);
    EXPECT_EQ(window->sourceY, 4);
    EXPECT_EQ(window->alpha, 0);
    ASSERT_EQ(senario_->pictures.size(), 2u);
    EXPECT_EQ(Picture(3)->alpha, 0);
    EXPECT_EQ(senario_->musicKey, AddAtomA("bgm\\theme.wav"));
    EXPECT_EQ(senario_->effects.at(1), AddAtomA("se\\beep.wav"));
    EXPECT_EQ(platform::DebugOutputText(), "");
}

// Each case is a script and, frame by frame, the buttons held, whether the
// scenario goes on and the text and flags it leaves.
TEST_F(SenarioTest, ScriptsPlayFrameByFrame) {
    struct Frame {
        int held;
        bool goesOn;
        std::string text;
        bool pageEnd;
        bool waitForInput;
    };
    struct Case {
        const char* name;
        int speed;
        std::string script;
        std::vector<Frame> frames;
        const char* debugOutput;
    };
    const Case cases[] = {
        {"SpeedTwoShowsOneCharacterAFrame", 2, "あいう%\r\nえ",
         {{0, true, "あ", false, false},
          {0, true, "あい", false, false},
          {0, true, "あいう", false, false},
          {0, true, "あいう", true, false},
          {0, true, "あいう", true, false},
          {ATTACK, true, "え", false, false},
          {ATTACK, false, "え", false, false}},
         ""},
        {"SpeedZeroShowsThePageAtOnce", 0, "あいう%\r\nえ",
         {{0, true, "あいう", true, false}, {0, true, "あいう", true, false}, {ATTACK, true, "え", false, false},
          {0, false, "え", false, false}},
         ""},
        {"AttackCompletesThePageThenClearsIt", 2, "あいう%\r\nえお",
         {{0, true, "あ", false, false},
          {ATTACK, true, "あいう", true, false},
          {ATTACK, true, "あいう", true, false},
          {0, true, "あいう", true, false},
          {ATTACK, true, "え", false, false},
          {0, true, "えお", false, false},
          {0, false, "えお", false, false}},
         ""},
        {"ChangeFastForwardsThroughPageEndsAndWaits", 2, "あいうえおか%\r\nき@く",
         {{CHANGE, true, "あいうえ", false, false},
          {CHANGE, true, "あいうえおか", true, false},
          {CHANGE, true, "き", false, true},
          {CHANGE, true, "きく", false, false},
          {CHANGE, false, "きく", false, false}},
         ""},
        {"WaitForInputHoldsUntilANewPress", 0, "あ@い",
         {{ATTACK, true, "あ", false, true}, {ATTACK, true, "あ", false, true}, {0, true, "あ", false, true},
          {ATTACK, true, "あい", false, false}},
         ""},
        {"WaitCountsFramesAndFourAFrameWhileFastForwarding", 0, "*wait 3\r\nあ*wait 8\r\nい",
         {{0, true, "", false, false},
          {0, true, "", false, false},
          {0, true, "", false, false},
          {0, true, "", false, false},
          {0, true, "あ", false, false},
          {CHANGE, true, "あ", false, false},
          {CHANGE, true, "あ", false, false},
          {CHANGE, true, "あい", false, false}},
         ""},
        {"CommentsAndCommandsCostNoStep", 2, "; a comment\r\nあ;x\r\n*wait 0\r\nい",
         {{0, true, "あ", false, false}, {0, true, "あい", false, false}, {0, false, "あい", false, false}},
         ""},
        {"SpacesPauseAndLineBreakRunsAreOneBreak", 2, "あ い\r\n\r\nう",
         {{0, true, "あ", false, false},
          {0, true, "あ", false, false},
          {0, true, "あい", false, false},
          {0, true, "あい\n", false, false},
          {0, true, "あい\nう", false, false}},
         ""},
        {"AnUnknownCommandEndsTheScenario", 0, "あ\r\n*jump 3\r\nい", {{0, false, "あ\n", false, false}},
         "Unknown command:jump"},
        {"ALoneLeadByteEndsAtOnce", 0, "\x82", {{0, false, "", false, false}}, ""},
        // Mended: only a lead byte starts a two-byte character, so one-byte
        // characters keep the rest of the script in step.
        {"OneByteCharactersAreOneCharacterEach", 2, "Aｱい",
         {{0, true, "A", false, false}, {0, true, "Aｱ", false, false}, {0, true, "Aｱい", false, false},
          {0, false, "Aｱい", false, false}},
         ""},
        {"AOneByteScriptShowsItsCharacterAndEnds", 0, "A",
         {{0, true, "A", false, false}, {0, false, "A", false, false}}, ""},
        // Mended: a page end takes at most one CR and one LF with it.
        {"APageEndBeforeALoneLineFeed", 0, "あ%\nい%い",
         {{0, true, "あ", true, false}, {ATTACK, true, "い", true, false}, {0, true, "い", true, false},
          {ATTACK, true, "い", false, false}, {0, false, "い", false, false}},
         ""},
        {"AFinalPageEnd", 0, "あ%", {{0, true, "あ", true, false}, {0, false, "あ", true, false}}, ""},
        // Mended: a negative wait is no wait, not one that never ends.
        {"ANegativeWaitIsNone", 0, "*wait -5\r\nあ", {{0, true, "あ", false, false}, {0, false, "あ", false, false}},
         ""},
        {"AMissingArgumentEndsTheScenario", 0, "あ*wait\r\nい", {{0, false, "あ", false, false}},
         "Unknown command:wait"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(Create(c.script, c.speed), nullptr);
        platform::ClearDebugOutput();
        int frame = 0;
        for (const Frame& expected : c.frames) {
            SCOPED_TRACE("frame " + std::to_string(++frame));
            EXPECT_EQ(senario_->Update(expected.held), expected.goesOn);
            EXPECT_EQ(std::string(Font()->GetText()), expected.text);
            EXPECT_EQ(senario_->pageEnd, expected.pageEnd);
            EXPECT_EQ(senario_->waitForInput, expected.waitForInput);
        }
        EXPECT_EQ(platform::DebugOutputText(), c.debugOutput);
    }
}

// A command line that cannot be run ends the scenario on its frame, with its
// reason in the debugger output; nothing is read past a missing word.
TEST_F(SenarioTest, CommandErrorsEndTheScenarioWithTheirReason) {
    struct Case {
        const char* line;
        const char* debugOutput;
    };
    const Case cases[] = {
        {"*jump", "Unknown command:jump"},
        {"*", "Unknown command:"},
        {"*set colour 1 2", "Unknown command:set colour"},
        {"*fade up 1 4", "Unknown command:fade up"},
        {"*fade in 9 4", "Unknown id:fade 9"},
        {"*set", "Unknown command:set"},
        {"*set window 0 10", "Unknown command:set window 0 10"},
        {"*set picture 1 10", "Unknown command:set picture 1 10"},
        {"*set strpos 10", "Unknown command:set strpos 10"},
        {"*fade", "Unknown command:fade"},
        {"*fade in 1", "Unknown command:fade in 1"},
        {"*bgm", "Unknown command:bgm"},
        {"*se", "Unknown command:se"},
        {"*se play", "Unknown command:se play"},
        // Numbers beyond their field's range.
        {"*set window 0 3000000000 1", "Number out of range:set window 0 3000000000 1"},
        {"*set window 4294967296 0 0", "Number out of range:set window 4294967296 0 0"},
        {"*set picture 1 1e20 0", "Number out of range:set picture 1 1e20 0"},
        {"*set picture 1 0 -16777217", "Number out of range:set picture 1 0 -16777217"},
        {"*set picture 1 nan 0", "Number out of range:set picture 1 nan 0"},
        {"*set strpos 1 -inf", "Number out of range:set strpos 1 -inf"},
        {"*wait 99999999999", "Number out of range:wait 99999999999"},
        {"*fade in 1 4294967297", "Number out of range:fade in 1 4294967297"},
        {"*se play -3000000000", "Number out of range:se play -3000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_NE(Create(std::string(c.line) + "\r\nあ"), nullptr);
        platform::ClearDebugOutput();
        EXPECT_FALSE(senario_->Update(0));
        EXPECT_EQ(platform::DebugOutputText(), c.debugOutput);
        EXPECT_STREQ(Font()->GetText(), "");
    }
    // Words it does not know after bgm and se, and ids it has no object or
    // sound for, do nothing.
    ASSERT_NE(Create("*bgm louder\r\n*se ring 1\r\n*se play 7\r\n*set window 5 1 1\r\n*set picture 9 1 1\r\nあ"),
              nullptr);
    platform::ClearDebugOutput();
    EXPECT_TRUE(senario_->Update(0));
    EXPECT_STREQ(Font()->GetText(), "あ");
    EXPECT_EQ(platform::DebugOutputText(), "");
}

// Numbers at the ends of their ranges are kept; colour channels are held to
// 0..255.
TEST_F(SenarioTest, NumbersAtTheEndsOfTheirRangesAreKept) {
    ASSERT_NE(Create("*set picture 1 16777216 -16777216 99999999999 -99999999999 300 -1 add\r\n"
                     "*set strpos -16777216 16777216\r\n*wait 2147483647\r\n"),
              nullptr);
    EXPECT_TRUE(senario_->Update(0));
    EXPECT_EQ(Picture(1)->x, 16777216);
    EXPECT_EQ(Picture(1)->y, -16777216);
    EXPECT_EQ(Picture(1)->alpha, 255);
    EXPECT_EQ(Picture(1)->r, 0);
    EXPECT_EQ(Picture(1)->g, 255);
    EXPECT_EQ(Picture(1)->b, 0);
    EXPECT_EQ(Font()->x, -16777216);
    EXPECT_EQ(Font()->y, 16777216);
    EXPECT_EQ(senario_->waitCounter, 2147483647);
    EXPECT_EQ(platform::DebugOutputText(), "");
}

TEST_F(SenarioTest, AFadeInOfSixteenReachesFullAlphaInSixteenFrames) {
    ASSERT_NE(Create("*set picture 3 10 20 0\r\n*fade in 3 16\r\n*wait 40\r\n*fade out 3 100\r\n*wait 5\r\n"), nullptr);
    EXPECT_TRUE(senario_->Update(0));
    EXPECT_EQ(Picture(3)->alpha, 0);
    for (int frame = 1; frame <= 16; ++frame) {
        EXPECT_TRUE(senario_->Update(0));
        EXPECT_EQ(Picture(3)->alpha, frame < 16 ? 16 * frame : 255) << frame;
        EXPECT_EQ(senario_->fades.size(), frame < 16 ? 1u : 0u) << frame;
    }
    for (int frame = 17; frame <= 40; ++frame) senario_->Update(0);
    EXPECT_EQ(Picture(3)->alpha, 255);
    // Out by 100, from the frame after the command: 155, 55, then 0 and done.
    const int outs[] = {255, 255, 155, 55, 0};
    for (int expected : outs) {
        EXPECT_EQ(Picture(3)->alpha, expected);
        senario_->Update(0);
    }
    EXPECT_TRUE(senario_->fades.empty());
}

// Translucent portraits first, then opaque ones, each in id order, then the
// windows; "add" turns additive drawing on and a later set keeps it on.
TEST_F(SenarioTest, PicturesAndWindowsDrawInTheirOrder) {
    ASSERT_NE(Create("*set picture 1 100 50 128 10 20 30 add\r\n*set picture 3 7 8\r\n*set window 0 300.9 "
                     "400\r\n@*set picture 1 5 6\r\n*set picture 3 9 9 200\r\n@"),
              nullptr);
    // The pictures' draws (the text is drawn by the font layer).
    auto drawn = [this] {
        const size_t before = OpenFrameDraws().size();
        senario_->Draw();
        std::vector<std::string> seen;
        for (size_t i = before; i < OpenFrameDraws().size(); ++i)
            if (OpenFrameDraws()[i].picture.find(".png") != std::string::npos)
                seen.push_back(gametest::Describe(OpenFrameDraws()[i]));
        return seen;
    };
    EXPECT_TRUE(senario_->Update(0));
    EXPECT_EQ(drawn(), (std::vector<std::string>{
                        "DrawGraphicPart face.png 100,50 part 0,0,16,24 trans 1 blend 2/128 bright 10,20,30",
                        "DrawGraphicPart body.png 7,8 part 1,1,8,8 trans 1 blend 0/255 bright 255,255,255",
                        "DrawGraphicPart window.png 300,400 part 2,4,64,32 trans 1 blend 0/255 bright 255,255,255",
                    }));
    EXPECT_TRUE(senario_->Update(ATTACK));
    EXPECT_EQ(drawn(), (std::vector<std::string>{
                        "DrawGraphicPart body.png 9,9 part 1,1,8,8 trans 1 blend 1/200 bright 255,255,255",
                        "DrawGraphicPart face.png 5,6 part 0,0,16,24 trans 1 blend 2/255 bright 255,255,255",
                        "DrawGraphicPart window.png 300,400 part 2,4,64,32 trans 1 blend 0/255 bright 255,255,255",
                    }));
}

TEST_F(SenarioTest, AnEffectPlayBlocksTheFrameForTheEffectsLength) {
    ASSERT_NE(Create("あ*se play 1\r\nい"), nullptr);
    const uint64_t before = MixedMilliseconds();
    EXPECT_TRUE(senario_->Update(0));
    const uint64_t waited = MixedMilliseconds() - before;
    EXPECT_GE(waited, 200u);
    EXPECT_LT(waited, 300u);
    EXPECT_TRUE(TakeAudibleMix());
    EXPECT_STREQ(Font()->GetText(), "あい");
}

TEST_F(SenarioTest, MusicCommandsPlayToggleAndStop) {
    ASSERT_NE(Create("*bgm play\r\n@*bgm pause\r\n@*bgm resume\r\n@*bgm stop\r\n@"), nullptr);
    const int music = Manager::CSoundManager::GetInstance()->GetHandleByAtom(senario_->musicKey);
    const int playing[] = {1, 0, 1, 0};
    for (int expected : playing) {
        EXPECT_TRUE(senario_->Update(ATTACK));
        EXPECT_EQ(CheckSoundHandlePlaying(music), expected);
        senario_->Update(0);
    }
    // Without music every bgm command does nothing.
    ASSERT_NE(Create("*bgm play\r\nあ", 0, Config(0, kWindow)), nullptr);
    EXPECT_TRUE(senario_->Update(0));
    EXPECT_STREQ(Font()->GetText(), "あ");
}

// Every load error names its reason in the debugger output and leaves
// nothing behind: no object, texture or sound stays loaded.
TEST_F(SenarioTest, LoadErrorsNameTheirReasonAndGiveEverythingBack) {
    struct Case {
        const char* name;
        std::string xml;
        const char* debugOutput;
    };
    const std::string sounds = kSounds;
    const Case cases[] = {
        {"NoFont", std::string("<config>") + kWindow + "</config>" + kSenario, "Failed to load Font."},
        {"MissingTexture",
         Config(0, std::string(kPictures) + R"(<window id="2" file="pic\none.png" dir="" size_x="1" size_y="1"/>)") +
             kSenario,
         "Failed to load texture."},
        {"MissingEffect", Config(0, std::string(kWindow) + R"(<SE id="2" file="se\none.wav" dir=""/>)") + kSenario,
         "Failed to load senario sound"},
        {"MissingMusic", Config(0, std::string(kWindow) + R"(<BGM file="bgm\none.wav" dir=""/>)") + kSenario,
         "Failed to load senario sound"},
        {"MissingScript", Config(0) + R"(<senario file="senario\none.txt" dir="" name="x"/>)",
         "Failed to load senario file."},
        {"NotXml", "just text", "Failed to load Font."},
        {"FontSizeOutOfRange", R"(<config><font size="99999999999" thinck="3"/></config>)" + std::string(kSenario),
         "Number out of range in senario file."},
        {"FontThicknessOutOfRange",
         R"(<config><font size="16" thinck="-2147483648"/></config>)" + std::string(kSenario),
         "Number out of range in senario file."},
        {"SpeedOutOfRange", Config(0) + R"(<config><speed char_frame_speed="2147483648"/></config>)" + kSenario,
         "Number out of range in senario file."},
        {"WindowSizeOutOfRange",
         Config(0, std::string(kPictures) + R"(<window id="2" file="pic\window.png" size_x="2147483647"/>)") +
             kSenario,
         "Number out of range in senario file."},
        {"PictureIdOutOfRange",
         Config(0, R"(<stand_picture id="-3000000000" file="pic\face.png" size_x="1" size_y="1"/>)") + kSenario,
         "Number out of range in senario file."},
        {"EffectIdOutOfRange", Config(0, sounds + R"(<SE id="99999999999" file="se\beep.wav"/>)") + kSenario,
         "Number out of range in senario file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("senario\\bad.xml", c.xml);
        WriteFile("senario\\test.txt", "あ");
        platform::ClearDebugOutput();
        EXPECT_EQ(CreateSenarioObject("senario\\bad.xml"), nullptr);
        EXPECT_EQ(OwnDebugOutput(), c.debugOutput);
        EXPECT_EQ(LiveObjects(), 0);
        EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.empty());
        EXPECT_TRUE(Manager::CSoundManager::GetInstance()->entries.empty());
    }
    platform::ClearDebugOutput();
    EXPECT_EQ(CreateSenarioObject("senario\\absent.xml"), nullptr);
    EXPECT_EQ(OwnDebugOutput(), "");
}

// Release gives back every object and sound once, however often it runs;
// another owner's references stay.
TEST_F(SenarioTest, ReleaseGivesEverythingBackOnce) {
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    Manager::CSoundManager* sounds = Manager::CSoundManager::GetInstance();
    ASSERT_TRUE(textures->Load("pic\\face.png", nullptr));
    ASSERT_TRUE(sounds->Load("se\\beep.wav", nullptr));
    ASSERT_NE(Create("*bgm play\r\nあ"), nullptr);
    EXPECT_TRUE(senario_->Update(0));
    const int music = sounds->GetHandleByAtom(senario_->musicKey);
    EXPECT_EQ(CheckSoundHandlePlaying(music), 1);
    senario_->Release();
    senario_->Release();
    EXPECT_EQ(LiveObjects(), 0);
    EXPECT_EQ(senario_->fontObjectId, -1);
    EXPECT_EQ(textures->entries.size(), 1u);
    EXPECT_EQ(textures->entries[AddAtomA("pic\\face.png")].referenceCount, 1);
    EXPECT_EQ(sounds->entries.size(), 1u);
    EXPECT_EQ(sounds->entries[AddAtomA("se\\beep.wav")].referenceCount, 1);
    EXPECT_FALSE(senario_->Update(0));
    // A clone has loaded nothing.
    CSenarioObject fresh;
    Object::IClonableObject* clone = fresh.Clone();
    ASSERT_NE(dynamic_cast<CSenarioObject*>(clone), nullptr);
    EXPECT_FALSE(static_cast<CSenarioObject*>(clone)->Update(0));
    delete clone;
}

// The guide boxes replay their scenario after rewinding it.
TEST_F(SenarioTest, ClearingTheTextRewindsTheScript) {
    ASSERT_NE(Create("あ@い", 2), nullptr);
    EXPECT_TRUE(senario_->Update(ATTACK));
    EXPECT_TRUE(senario_->Update(ATTACK));
    EXPECT_TRUE(senario_->waitForInput);
    senario_->ClearFontObjectText();
    EXPECT_STREQ(Font()->GetText(), "");
    EXPECT_FALSE(senario_->waitForInput);
    EXPECT_EQ(senario_->readPosition, 0u);
    EXPECT_EQ(senario_->charCounter, 2);
    // The held button is a new press again, so the page completes at once.
    EXPECT_TRUE(senario_->Update(ATTACK));
    EXPECT_STREQ(Font()->GetText(), "あ");
    EXPECT_TRUE(senario_->waitForInput);
}

}  // namespace
