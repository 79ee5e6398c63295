// Loading a graphic from a file: an image with its alpha file, or a movie
// whose frames a graphic shows.
#include <cstdint>

#include "framework/base/log.h"
#include "framework/files/file_access_table.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/image_file_loading.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/handles/movie_entries.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/textures/texture_upload.h"
#include "framework/window/main_window.h"

int NoTextureDivisionFlag = 0;

namespace {

// The options for new graphics that a movie's graphic overrides.
struct NewGraphicOptions {
    int colorDepth;
    int transFlag;
    int unmanaged;
    int drawTarget;
    int noDivision;

    static NewGraphicOptions Current() {
        const DrawSettings& settings = CurrentDrawSettings;
        return {settings.newGraphColorDepth, settings.newGraphTransFlag, settings.newGraphUnmanaged,
                settings.newGraphDrawTarget, NoTextureDivisionFlag};
    }
    void Apply() const {
        DrawSettings& settings = CurrentDrawSettings;
        settings.newGraphColorDepth = colorDepth;
        settings.newGraphTransFlag = transFlag;
        settings.newGraphUnmanaged = unmanaged;
        settings.newGraphDrawTarget = drawTarget;
        NoTextureDivisionFlag = noDivision;
    }
};

int LoadMovieGraphic(const char* fileName, int movieOpenFlag) {
    const NewGraphicOptions saved = NewGraphicOptions::Current();
    int width = 0;
    int height = 0;
    const int movie = OpenMovie(fileName, &width, &height, movieOpenFlag);
    if (movie < 0) {
        WriteLogFormat("右記のグラフィックファイルのロードに失敗しました：%s \n", fileName);
        return -1;
    }
    // A movie's frames are drawn into its graphic as a render target, whole.
    NewGraphicOptions{GetScreenColorBitDepth(), 0, 1, 1, 1}.Apply();
    int handle = AllocGraphicHandle();
    // No movie carries an alpha channel.
    if (SetupGraphicImage(handle, width, height, 0, 0, 0, -1) != 0) {
        WriteLogFormat("右記のグラフィックファイルの格納用グラフィック領域の作成に失敗しました：%s", fileName);
        handle = -1;
    }
    saved.Apply();
    if (handle < 0) {
        CloseMovie(movie);
        return -1;
    }
    GetGraphicRecord(handle)->movieHandle = movie;
    SetMovieFrameCallback(movie, TransferMovieFrameToGraphic, handle);
    return handle;
}

}  // namespace

int LoadGraphicFile(const char* fileName, int unused, int mirror, int movieOpenFlag) {
    if (!GraphicsSystemUp || fileName == nullptr) return -1;
    WaitWhileInactive();
    PixelImage image{};
    PixelImage alphaImage{};
    const int loaded =
        LoadImageAndAlphaFiles(fileName, nullptr, 0, 0, nullptr, 0, 0, &image, &alphaImage, mirror);
    if (loaded >= 0) {
        const int handle = MakeGraphFromPixelImage(&image, loaded == 0 ? &alphaImage : nullptr, unused, mirror, 0);
        if (handle >= 0) SetGraphicSourceFileName(handle, fileName, -1);
        FreePixelImage(&image);
        FreePixelImage(&alphaImage);
        return handle;
    }
    const uintptr_t file = FileStreamOpen(fileName, 0, 1, 0);
    if (file == 0) {
        WriteLogFormat("グラフィックファイル %s がありません", fileName);
        return -1;
    }
    FileStreamClose(file);
    return LoadMovieGraphic(fileName, movieOpenFlag);
}

int LoadGraphFile(const char* fileName, int flag) { return LoadGraphicFile(fileName, flag == 0 ? 1 : 0, 0, 0); }
