// The primitive objects and their manager: ids, text lines, positions, the
// blend and brightness of a screen object's draw, and the shutdown check.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"

namespace {

using Manager::CPrimitive2DObjectManager;

class ObjectTreeTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        ASSERT_TRUE(StartFramework());
        WritePicture("sheet.png", 64, 64, 0xFF0000);
        objects_ = CPrimitive2DObjectManager::GetInstance();
        objects_->CheckUnreleased();
    }

    CPrimitive2DObjectManager* objects_ = nullptr;
};

TEST_F(ObjectTreeTest, IdsGrowWithoutReuse) {
    const int first = objects_->CreateScreenObject();
    objects_->Release(first);
    const int second = objects_->CreateFontObject();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(objects_->Get(first), nullptr);
    EXPECT_NE(dynamic_cast<Object::C2DFontObject*>(objects_->Get(second)), nullptr);
    // Ids it never gave out are refused.
    EXPECT_EQ(objects_->Get(-1), nullptr);
    EXPECT_EQ(objects_->Get(2), nullptr);
    objects_->Release(-1);
    objects_->Release(2);
    objects_->Release(first);
    EXPECT_EQ(objects_->objects.size(), 2u);
}

TEST_F(ObjectTreeTest, TextSplitsAtRunsOfLineBreaks) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\n\r\nb", {"a", "b"}},
        {"\nab", {"", "ab"}},
        {"one", {"one"}},
        {"", {}},
        {"a\rb\nc\r\n", {"a", "b", "c"}},
        {"\r\n\r\n", {""}},
        {"行一\n行二", {"行一", "行二"}},
    };
    Object::C2DFontObject font;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        font.SetText(c.text);
        EXPECT_EQ(font.lines, c.lines);
        EXPECT_STREQ(font.GetText(), c.text);
    }
    // A null text empties the stored text and keeps the lines.
    font.SetText("x\ny");
    font.SetText(nullptr);
    EXPECT_STREQ(font.GetText(), "");
    EXPECT_EQ(font.lines, (std::vector<std::string>{"x", "y"}));
}

TEST_F(ObjectTreeTest, PositionsNarrowToFloatThenTruncateTowardZero) {
    struct Case {
        double x, y;
        int expectX, expectY;
    };
    // A position beyond int's range is held at its end (2147483647 itself
    // narrows to 2^31), and one that is not a number is 0.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {{1.9, -1.9, 1, -1},
                          {2.99999999, -2.99999999, 3, -3},
                          {-0.5, 0.5, 0, 0},
                          {3000000000.0, -3000000000.0, INT_MAX, INT_MIN},
                          {1e20, -1e300, INT_MAX, INT_MIN},
                          {2147483647.0, -2147483648.0, INT_MAX, INT_MIN},
                          {2147483520.0, -2147483520.0, 2147483520, -2147483520},
                          {nan, infinity, 0, INT_MAX}};
    Object::C2DScreenObject object;
    for (const Case& c : cases) {
        object.SetPosition(c.x, c.y);
        EXPECT_EQ(object.x, c.expectX) << c.x;
        EXPECT_EQ(object.y, c.expectY) << c.y;
    }
}

TEST_F(ObjectTreeTest, FontObjectsTakeTheirLineHeightFromTheFont) {
    Object::C2DFontObject font;
    ASSERT_TRUE(font.CreateFont("ＭＳ ゴシック", 20, 3));
    EXPECT_EQ(font.lineHeight, 20);
    EXPECT_EQ(font.fontKey, AddAtomA("ＭＳ ゴシック200303"));
    Object::C2DFontObject same;
    ASSERT_TRUE(same.CreateFont("ＭＳ ゴシック", 20, 3));
    EXPECT_EQ(Manager::C2DFontManager::GetInstance()->handles.size(), 1u);
    EXPECT_EQ(font.colour, MakeScreenColorCode(255, 255, 255));
    // A face that does not fit the manager's 64-byte buffer is refused.
    Object::C2DFontObject tooLong;
    EXPECT_FALSE(tooLong.CreateFont(std::string(64, 'f').c_str(), 20, 3));
    EXPECT_EQ(tooLong.fontKey, 0);
    EXPECT_EQ(Manager::C2DFontManager::GetInstance()->handles.size(), 1u);
}

// Lines that would start beyond int's range are not drawn, rather than
// overflowing their position.
TEST_F(ObjectTreeTest, FontObjectLinesPastTheIntRangeAreLeftOut) {
    Object::C2DFontObject font;
    ASSERT_TRUE(font.CreateFont("ＭＳ ゴシック", 20, 3));
    font.SetText("a\nb\nc\nd");
    // The fourth line would start at 3,000,000,000.
    font.lineHeight = 1000000000;
    font.Draw();
    int width = 0;
    const std::vector<uint32_t> pixels = CaptureFrame(&width);
    ASSERT_EQ(width, 640);
    // Only the first line is on the screen.
    int lit = 0, litBelow = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        lit += pixels[i] != 0;
        litBelow += pixels[i] != 0 && i >= 20 * 640;
    }
    EXPECT_GT(lit, 0);
    EXPECT_EQ(litBelow, 0);
}

// What each frame of a screen object's draw shows, and the settings it
// leaves behind.
TEST_F(ObjectTreeTest, ScreenObjectsDrawWithTheirBlendAndBrightness) {
    struct Case {
        const char* name;
        unsigned char alpha;
        bool additive;
        std::vector<std::string> draws;
        int modeAfter, paramAfter;
    };
    const std::string at = "DrawGraphicPart sheet.png 10,20 part 4,8,16,12 trans 1 ";
    const Case cases[] = {
        {"Opaque", 255, false, {at + "blend 0/0 bright 255,255,255"}, 0, 0},
        {"Translucent", 128, false, {at + "blend 1/128 bright 255,255,255"}, 0, 128},
        {"TranslucentAdditive", 128, true, {at + "blend 2/128 bright 40,50,60"}, 0, 255},
        {"OpaqueAdditive", 255, true, {at + "blend 2/255 bright 40,50,60"}, 0, 255},
        {"Invisible", 0, false, {}, 0, 0},
        {"InvisibleAdditive", 0, true, {}, 0, 255},
    };
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    ASSERT_TRUE(textures->Load("sheet.png", nullptr, nullptr));
    Object::C2DScreenObject object;
    object.textureKey = AddAtomA("sheet.png");
    object.SetPosition(10, 20);
    object.sourceX = 4;
    object.sourceY = 8;
    object.width = 16;
    object.height = 12;
    object.r = 40;
    object.g = 50;
    object.b = 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetBlendModeAndParam(0, 0);
        object.alpha = c.alpha;
        object.additive = c.additive;
        const size_t before = OpenFrameDraws().size();
        object.Draw();
        std::vector<std::string> seen;
        for (size_t i = before; i < OpenFrameDraws().size(); ++i)
            seen.push_back(gametest::Describe(OpenFrameDraws()[i]));
        EXPECT_EQ(seen, c.draws);
        EXPECT_EQ(CurrentDrawSettings.blendMode, c.modeAfter);
        EXPECT_EQ(CurrentDrawSettings.blendParam, c.paramAfter);
        EXPECT_EQ(CurrentDrawSettings.brightColor, 0x00FFFFFFu);
        EXPECT_EQ(object.IsTranslucent(), c.alpha < 255);
    }
    object.textureKey = 0;
}

TEST_F(ObjectTreeTest, AScreenObjectDrawsWithItsHandleOverrideAndShowsOnTheFrame) {
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    ASSERT_TRUE(textures->Load("sheet.png", nullptr, nullptr));
    Object::C2DScreenObject object;
    object.handleOverride = textures->GetHandle("sheet.png");
    object.SetPosition(100, 50);
    object.width = 8;
    object.height = 8;
    object.Draw();
    ASSERT_EQ(OpenFrameDraws().size(), 1u);
    EXPECT_EQ(OpenFrameDraws()[0].picture, "sheet.png");
    int width = 0;
    const std::vector<uint32_t> pixels = CaptureFrame(&width);
    ASSERT_EQ(width, 640);
    EXPECT_EQ(pixels[50 * 640 + 100], 0xFF0000u);
    EXPECT_EQ(pixels[57 * 640 + 107], 0xFF0000u);
    EXPECT_EQ(pixels[58 * 640 + 108], 0u);
}

// Each object gives its texture key back once, however it ends: another
// owner's reference is never taken.
TEST_F(ObjectTreeTest, ObjectsReleaseTheirTextureKeyOnce) {
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    const ATOM key = AddAtomA("sheet.png");
    auto count = [&] { return textures->entries.count(key) ? textures->entries[key].referenceCount : 0; };
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(textures->Load("sheet.png", nullptr, nullptr));

    const int released = objects_->CreateScreenObject();
    static_cast<Object::C2DScreenObject*>(objects_->Get(released))->textureKey = key;
    objects_->Release(released);
    EXPECT_EQ(count(), 3);

    const int releasedFirst = objects_->CreateScreenObject();
    auto* object = static_cast<Object::C2DScreenObject*>(objects_->Get(releasedFirst));
    object->textureKey = key;
    object->Release();
    objects_->Release(releasedFirst);
    EXPECT_EQ(count(), 2);

    const int forgotten = objects_->CreateScreenObject();
    static_cast<Object::C2DScreenObject*>(objects_->Get(forgotten))->textureKey = key;
    objects_->CreateFontObject();
    platform::ClearDebugOutput();
    objects_->CheckUnreleased();
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(platform::DebugOutputText(), "Unreleased a Unloadable ObjectUnreleased a Unloadable Object");
    EXPECT_TRUE(objects_->objects.empty());
}

}  // namespace
