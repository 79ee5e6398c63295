// The inactive picture: drawn over the screen and shown once, then the screen
// as it was is drawn back into the back buffer, so that the next frame starts
// from the game's own picture.
#include "framework/window/inactive_picture.h"

#include "framework/window/main_window_state.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_image_access.h"
#include "framework/graphics/screen/screen_mode.h"

InactivePictureRecord InactivePicture = {};

namespace {

constexpr int BackBufferTarget = -2;

}  // namespace

int DrawInactivePicture() {
    if (MainWindow.closeState == 1) return 0;
    if (!InactivePicture.set) return -1;

    // The draws below must not wait for the window to become active.
    int& runWhenInactive = MainWindow.settings.runWhenInactive;
    const int savedRunWhenInactive = runWhenInactive;
    runWhenInactive = 1;
    if (!IsValidGraphicHandle(InactivePicture.graphicHandle)) {
        const int made = MakeGraphFromPixelImage(&InactivePicture.image, nullptr, 1, 0, 0);
        if (made < 0) {
            runWhenInactive = savedRunWhenInactive;
            return -1;
        }
        InactivePicture.graphicHandle = made;
    }

    const int savedTarget = GetDrawTarget();
    const int savedFilter = GetTextureFilterMode();
    const int savedWait = GetWaitVSyncFlag();
    SelectDrawTarget(BackBufferTarget);
    SetTextureFilterMode(1);
    SetWaitVSyncFlag(0);

    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    const int screenCopy = MakeEmptyGraphic(width, height);
    CaptureScreenImage(0, 0, width, height, screenCopy, 1);
    int pictureWidth = 0, pictureHeight = 0;
    GetGraphicSize(InactivePicture.graphicHandle, &pictureWidth, &pictureHeight);
    if (pictureWidth == width && pictureHeight == height)
        DrawGraphicAtPoint(0, 0, InactivePicture.graphicHandle, 0);
    else
        DrawGraphicStretched(0, 0, width, height, InactivePicture.graphicHandle, 0);
    RepaintBackBuffer();
    DrawGraphicAtPoint(0, 0, screenCopy, 0);
    DeleteGraphicHandle(screenCopy, 0);

    SelectDrawTarget(savedTarget);
    SetTextureFilterMode(savedFilter);
    SetWaitVSyncFlag(savedWait);
    runWhenInactive = savedRunWhenInactive;
    return 0;
}
