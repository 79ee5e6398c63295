// Graphic handles: allocation, validation and deletion on the graphic table,
// and what a deletion leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "framework/graphics/shaders/shader_handles.h"
#include "framework/startup/framework_startup.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/graphics/graphics_test_support.h"

namespace graphicstest {
namespace {

using GraphicHandleTest = GraphicsTest;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(GraphicHandleTest, TheCheckValueComesBackAfter2048Graphics) {
    GraphicHandleTable.checkCounter = 0;
    std::vector<int> handles;
    for (int i = 0; i < 2049; ++i) {
        handles.push_back(AllocGraphicHandle());
        ASSERT_EQ(DeleteGraphicHandle(handles.back(), 0), 0);
    }
    EXPECT_EQ(handles[0], 0x08000000);  // check 0, slot 0
    EXPECT_EQ(handles[2047], 0x0FFF0000);  // check 2047, the last one used
    EXPECT_EQ(handles[2048], handles[0]);
    EXPECT_EQ(IsValidGraphicHandle(handles[2047]), 0);
}

TEST_F(GraphicHandleTest, ANewRecordIsEmptyApartFromItsHandleAndNoMovie) {
    const int handle = AllocGraphicHandle();
    const GraphicRecord* record = GetGraphicRecord(handle);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->handle, handle);
    EXPECT_EQ(record->check << 16, handle & 0x07FF0000);
    EXPECT_EQ(record->movieHandle, -1);
    EXPECT_EQ(record->image, nullptr);
    EXPECT_EQ(record->sourceFileName, nullptr);
    EXPECT_EQ(record->notifyFlag, nullptr);
    EXPECT_EQ(record->width, 0);
}

TEST_F(GraphicHandleTest, AFreedTopSlotLowersTheHighWaterIndexPastEmptySlots) {
    std::vector<int> handles;
    for (int i = 0; i < 5; ++i) handles.push_back(AllocGraphicHandle());
    DeleteGraphicHandle(handles[1], 0);
    DeleteGraphicHandle(handles[4], 0);
    DeleteGraphicHandle(handles[3], 0);
    EXPECT_EQ(GraphicHandleTable.highWater, 3);
    // Slot 1 is free, yet the slot above the highest record comes first.
    EXPECT_EQ(HandleSlotIndex(AllocGraphicHandle()), 3);
}

TEST_F(GraphicHandleTest, HandlesOfOtherKindsAndStaleHandlesAreRefused) {
    const int live = AllocGraphicHandle();
    const int stale = AllocGraphicHandle();
    DeleteGraphicHandle(stale, 0);
    const int soundLike = (live & ~0x78000000) | 0x10000000;
    for (int handle : {-1, soundLike, 0x08000000 | 0xFFFF, 0x08000000 | 100, stale}) {
        EXPECT_EQ(IsValidGraphicHandle(handle), 0) << std::hex << handle;
        EXPECT_EQ(GetGraphicRecord(handle), nullptr);
        EXPECT_EQ(DeleteGraphicHandle(handle, 0), -1);
        int flag = 5;
        EXPECT_EQ(SetGraphicNotifyFlag(handle, &flag), -1);
        EXPECT_EQ(flag, 5);
    }
    EXPECT_EQ(IsValidGraphicHandle(live), 1);
}

TEST_F(GraphicHandleTest, TheNotifyFlagIsClearedNowAndSetByTheDeletion) {
    const int handle = AllocGraphicHandle();
    int flag = 9;
    EXPECT_EQ(SetGraphicNotifyFlag(handle, &flag), 0);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(DeleteGraphicHandle(handle, 0), 0);
    EXPECT_EQ(flag, 1);
}

TEST_F(GraphicHandleTest, ASharedImageBlockStaysUntilItsLastGraphicGoes) {
    CountingObject texture, surface;
    const int whole = MakeTexturedGraphic(64, 32, &texture, &surface);
    const int part = MakePartGraphic(whole, 16, 8, 16, 16);
    GraphicImage* image = GetGraphicRecord(whole)->image;
    ASSERT_EQ(image->referenceCount, 2);
    EXPECT_EQ(DeleteGraphicHandle(whole, 0), 0);
    EXPECT_EQ(image->referenceCount, 1);
    EXPECT_EQ(texture.releases, 0);
    EXPECT_EQ(image->pieces[0].texture, &texture);
    EXPECT_EQ(DeleteGraphicHandle(part, 0), 0);
    EXPECT_EQ(surface.releases, 1);
    EXPECT_EQ(texture.releases, 1);

    // On the software path the part keeps drawing from the block's pixels.
    const int screen = MakeSoftwareGraphic(8, 8);
    const int corner = MakePartGraphic(screen, 4, 4, 4, 4);
    DeleteGraphicHandle(screen, 0);
    const GraphicRecord* left = GetGraphicRecord(corner);
    EXPECT_EQ(IsMemImgValid(&left->memImg), 1);
    EXPECT_EQ(IsMemImgValid(&left->image->memImg), 1);
    EXPECT_EQ(left->image->referenceCount, 1);
    DeleteGraphicHandle(corner, 0);
}

TEST_F(GraphicHandleTest, GraphicsCutFromOneFileShareItsNameUntilTheLastGoes) {
    const int first = AllocGraphicHandle();
    const int second = AllocGraphicHandle();
    EXPECT_EQ(SetGraphicSourceFileName(first, "picture.png", -1), 0);
    EXPECT_EQ(SetGraphicSourceFileName(second, nullptr, first), 0);
    const GraphicSourceFileName* name = GetGraphicRecord(first)->sourceFileName;
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(GetGraphicRecord(second)->sourceFileName, name);
    EXPECT_EQ(name->referenceCount, 2);
    EXPECT_EQ(std::string(name->path), folder_.windowsPath() + "\\picture.png");
    DeleteGraphicHandle(first, 0);
    EXPECT_EQ(name->referenceCount, 1);
    EXPECT_EQ(std::string(GetGraphicRecord(second)->sourceFileName->path), folder_.windowsPath() + "\\picture.png");
    // Sharing from itself keeps the name; -1 drops it.
    EXPECT_EQ(SetGraphicSourceFileName(second, nullptr, second), 0);
    EXPECT_EQ(GetGraphicRecord(second)->sourceFileName, name);
    EXPECT_EQ(SetGraphicSourceFileName(second, nullptr, -1), 0);
    EXPECT_EQ(GetGraphicRecord(second)->sourceFileName, nullptr);
    EXPECT_EQ(SetGraphicSourceFileName(second, nullptr, first), -1);
}

TEST_F(GraphicHandleTest, ANameThatCannotBeKeptIsLoggedAndTheOldOneStays) {
    const int handle = AllocGraphicHandle();
    ASSERT_EQ(SetGraphicSourceFileName(handle, "a.bmp", -1), 0);
    const GraphicSourceFileName* before = GetGraphicRecord(handle)->sourceFileName;
    const size_t mark = LogText().size();
    platform::Profile().failures.heap.failAllocationNumber = 1;
    EXPECT_EQ(SetGraphicSourceFileName(handle, "b.bmp", -1), -1);
    // The refusing allocator dumps its blocks first; the graphic's line ends the log.
    EXPECT_TRUE(EndsWith(LinesSince(mark), "\r\n転送する画像ファイルのファイル名を保存するメモリ領域の確保に失敗しました\r\n"));
    EXPECT_EQ(GetGraphicRecord(handle)->sourceFileName, before);
    EXPECT_EQ(SetGraphicSourceFileName(handle, std::string(400, 'x').c_str(), -1), -1);
    EXPECT_EQ(GetGraphicRecord(handle)->sourceFileName, before);
}

TEST_F(GraphicHandleTest, DeletingTheDrawTargetGivesWayToTheBackBuffer) {
    const int target = MakeSoftwareGraphic(32, 16);
    ASSERT_EQ(SelectDrawTarget(target), 0);
    EXPECT_EQ(SoftwareDrawTarget, &GetGraphicRecord(target)->memImg);
    EXPECT_EQ(CurrentDrawSettings.drawArea.right, 32);
    EXPECT_EQ(DeleteGraphicHandle(target, 0), 0);
    EXPECT_EQ(GetDrawTarget(), -2);
    EXPECT_EQ(SoftwareDrawTarget, &PrimaryScreenMemImg);
    EXPECT_EQ(CurrentDrawSettings.drawArea.right, 640);
    EXPECT_EQ(CurrentDrawSettings.drawArea.bottom, 480);
}

TEST_F(GraphicHandleTest, DeletingTheBlendGraphicClearsIt) {
    const int blend = MakeSoftwareGraphic(16, 16);
    const int other = MakeSoftwareGraphic(16, 16);
    ASSERT_EQ(SetBlendGraphicAndParams(blend, 10, 20), 0);
    DeleteGraphicHandle(other, 0);
    EXPECT_EQ(CurrentDrawSettings.blendGraphic, blend);
    DeleteGraphicHandle(blend, 0);
    EXPECT_EQ(CurrentDrawSettings.blendGraphic, -1);
    EXPECT_EQ(CurrentDrawSettings.blendImage, nullptr);
}

TEST_F(GraphicHandleTest, DeleteAllWorksOnlyWhileTheGraphicsSystemIsUp) {
    const int first = AllocGraphicHandle();
    const int second = MakeSoftwareGraphic(4, 4);
    GraphicsSystemUp = 0;
    EXPECT_EQ(DeleteAllGraphicHandles(0), 0);
    EXPECT_EQ(IsValidGraphicHandle(first), 1);
    EXPECT_EQ(IsValidGraphicHandle(second), 1);
    GraphicsSystemUp = 1;
    EXPECT_EQ(DeleteAllGraphicHandles(0), 0);
    EXPECT_EQ(GraphicHandleTable.liveCount, 0);
    EXPECT_EQ(GraphicHandleTable.highWater, 0);
}

TEST_F(GraphicHandleTest, TheGraphicsEndDeletesEveryGraphicAndShader) {
    AllocGraphicHandle();
    const int shader = AllocHandleRecord(&ShaderHandleTable, sizeof(ShaderRecord), __FILE__, __LINE__);
    CountingObject object;
    static_cast<ShaderRecord*>(GetHandleRecord(&ShaderHandleTable, shader))->shader = &object;
    TermGraphicsSystem();
    EXPECT_EQ(GraphicHandleTable.liveCount, 0);
    EXPECT_EQ(ShaderHandleTable.liveCount, 0);
    EXPECT_EQ(object.releases, 1);
    EXPECT_EQ(DeleteShaderHandle(shader), -1);
}

class GraphicTableLimitTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        testsupport::InterceptExitProcess();
    }
    // The exit code and the log lines of an allocation that ends the process,
    // or -2 when it returned.
    long long ExitOfAllocation(std::string* lines) {
        const size_t mark = LogText().size();
        long long code = -2;
        try {
            AllocGraphicHandle();
        } catch (const testsupport::ProcessExited& exited) {
            code = exited.exitCode;
        }
        *lines = LinesSince(mark);
        return code;
    }
};

TEST_F(GraphicTableLimitTest, AFullTableReusesAFreedSlotAndThenEndsTheProcess) {
    std::vector<int> handles;
    for (int i = 0; i < kGraphicSlotCount; ++i) handles.push_back(AllocGraphicHandle());
    ASSERT_EQ(GraphicHandleTable.highWater, kGraphicSlotCount);
    DeleteGraphicHandle(handles[5], 0);
    EXPECT_EQ(HandleSlotIndex(AllocGraphicHandle()), 5);

    std::string lines;
    EXPECT_EQ(ExitOfAllocation(&lines), 0xFFFFFFFFll);
    EXPECT_EQ(lines, "グラフィックの数が許容量を越えました終了します\r\n");
    EXPECT_EQ(GraphicHandleTable.liveCount, kGraphicSlotCount);
}

TEST_F(GraphicTableLimitTest, AFailedRecordAllocationEndsTheProcess) {
    platform::Profile().failures.heap.failAllocationNumber = 1;
    std::string lines;
    EXPECT_EQ(ExitOfAllocation(&lines), 0xFFFFFFFFll);
    EXPECT_TRUE(EndsWith(lines, "\r\nメモリの確保に失敗しました\r\n")) << lines;
    EXPECT_EQ(GraphicHandleTable.liveCount, 0);
}

}  // namespace
}  // namespace graphicstest
