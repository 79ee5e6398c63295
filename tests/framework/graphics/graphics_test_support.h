// What the graphics tests share: a started log and a started graphics system
// on the software path (640 by 480, 16-bit, window mode, the hardware path
// not wanted), graphics made the
// way graphic creation makes them, and a device object that counts its
// releases.
#pragma once

#include <gtest/gtest.h>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/window/main_window_state.h"
#include "platform/com/com.h"
#include "tests/support/started_log_fixture.h"

namespace graphicstest {

class GraphicsTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        testsupport::StartedLogTest::SetUp();
        savedWindowMode_ = MainWindow.settings.windowModeFlag;
        MainWindow.settings.windowModeFlag = 1;
        // The device layer's DirectDraw object is made through COM.
        CoInitialize(nullptr);
        SetUseHardwareAcceleration(0);
        ASSERT_EQ(InitGraphicsSystem(), 0);
    }
    void TearDown() override {
        TermGraphicsSystem();
        SoftwareRenderOnlyFlag = 0;
        RequestedScreenMode = ScreenModeRequest{0, 0, 0, 0};
        CoUninitialize();
        MainWindow.settings.windowModeFlag = savedWindowMode_;
        testsupport::StartedLogTest::TearDown();
    }

private:
    int savedWindowMode_ = 0;
};

// A graphic of its own image block holding a memory image of the screen's
// colour type.
inline int MakeSoftwareGraphic(int width, int height) {
    const int handle = AllocGraphicHandle();
    GraphicRecord* record = GetGraphicRecord(handle);
    auto* image = static_cast<GraphicImage*>(AllocZeroedMemory(sizeof(GraphicImage), __FILE__, __LINE__));
    image->referenceCount = 1;
    image->renderTarget = 1;
    image->width = width;
    image->height = height;
    NewMemImg(&image->memImg, width, height, -1);
    record->image = image;
    record->width = width;
    record->height = height;
    MakeSubMemImg(&record->memImg, &image->memImg, 0, 0, width, height);
    return handle;
}

// A graphic that shows a rectangle of another graphic's block.
inline int MakePartGraphic(int source, int x, int y, int width, int height) {
    const GraphicRecord* from = GetGraphicRecord(source);
    const int handle = AllocGraphicHandle();
    GraphicRecord* record = GetGraphicRecord(handle);
    record->image = from->image;
    ++record->image->referenceCount;
    record->x = from->x + x;
    record->y = from->y + y;
    record->width = width;
    record->height = height;
    if (!record->image->hardware)
        MakeSubMemImg(&record->memImg, &record->image->memImg, record->x, record->y, width, height);
    return handle;
}

// A device object that only counts its releases.
struct CountingObject : IUnknown {
    int releases = 0;
    HRESULT WINAPI QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG WINAPI AddRef() override { return 1; }
    ULONG WINAPI Release() override {
        ++releases;
        return 0;
    }
};

// A graphic of its own hardware image block with one texture piece.
inline int MakeTexturedGraphic(int width, int height, CountingObject* texture, CountingObject* surface) {
    const int handle = AllocGraphicHandle();
    GraphicRecord* record = GetGraphicRecord(handle);
    auto* image = static_cast<GraphicImage*>(AllocZeroedMemory(sizeof(GraphicImage), __FILE__, __LINE__));
    image->referenceCount = 1;
    image->hardware = 1;
    image->width = width;
    image->height = height;
    image->pieceCount = 1;
    image->pieces = static_cast<TexturePiece*>(AllocZeroedMemory(sizeof(TexturePiece), __FILE__, __LINE__));
    image->pieces[0].texture = texture;
    image->pieces[0].surface = surface;
    record->image = image;
    record->width = width;
    record->height = height;
    return handle;
}

}  // namespace graphicstest
