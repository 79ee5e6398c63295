// Bringing graphics back after the device lost its textures: every graphic
// loaded from a file is loaded from it again, once per run of graphics that
// share a file and its flags, and transferred to where it was.
#include <cstring>

#include "framework/base/log.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "framework/graphics/image/image_file_loading.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/screen/screen_mode_change.h"

namespace {

constexpr size_t kPathSize = 1024;

struct LoadedFile {
    char path[kPathSize] = {};
    int flags = -1;
    int loaded = -1;  // as LoadImageAndAlphaFiles gave it; -1 nothing held
    PixelImage image = {};
    PixelImage alphaImage = {};

    void Free() {
        if (loaded >= 0) {
            FreePixelImage(&image);
            FreePixelImage(&alphaImage);
        }
        loaded = -1;
        image = PixelImage{};
        alphaImage = PixelImage{};
    }
};

}  // namespace

int RestoreGraphics() {
    WriteLogLine("グラフィックを復帰します\n");
    LoadedFile file;
    const HandleTable& table = GraphicHandleTable;
    for (int slot = 0; slot < table.highWater; ++slot) {
        auto* record = static_cast<GraphicRecord*>(table.slots[slot]);
        if (record == nullptr || record->sourceFileName == nullptr) continue;
        // The name block is replaced by the transfer below: work from a copy.
        const char* name = record->sourceFileName->path;
        if (std::strlen(name) >= kPathSize) continue;
        if (std::strcmp(name, file.path) != 0 || record->transferFlags != file.flags) {
            file.Free();
            std::strcpy(file.path, name);
            file.flags = record->transferFlags;
            file.loaded = LoadImageAndAlphaFiles(file.path, nullptr, 0, 0, nullptr, 0, 0, &file.image,
                                                 &file.alphaImage, file.flags);
        }
        if (file.loaded < 0) continue;
        const POINT at = {record->transferX, record->transferY};
        TransferImageToGraphic(&file.image, file.loaded == 0 ? &file.alphaImage : nullptr, &at, nullptr,
                               record->handle, file.flags, file.path);
    }
    file.Free();
    return 0;
}
