// Releasing what an image block holds.
#include "framework/graphics/handles/graphic_image.h"

#include "framework/base/tracked_memory.h"
#include "platform/com/com.h"

namespace {

void ReleaseObject(IUnknown** object) {
    if (*object == nullptr) return;
    (*object)->Release();
    *object = nullptr;
}

}  // namespace

int ReleaseGraphicTextures(GraphicImage* image) {
    if (!image->hardware || image->pieces == nullptr) return 0;
    for (int i = 0; i < image->pieceCount; ++i) {
        ReleaseObject(&image->pieces[i].surface);
        ReleaseObject(&image->pieces[i].texture);
    }
    return 0;
}

int ReleaseRenderTargetObjects(GraphicImage* image) {
    if (!image->renderTarget) return 0;
    if (!image->hardware) {
        FreeMemImg(&image->renderTargetMemImg);
        return 0;
    }
    if (image->pieces == nullptr) return 0;
    for (int i = 0; i < image->pieceCount; ++i) ReleaseObject(&image->pieces[i].renderTargetObject);
    return 0;
}

void ReleaseGraphicImage(GraphicImage* image) {
    if (image == nullptr || --image->referenceCount > 0) return;
    ReleaseRenderTargetObjects(image);
    if (image->hardware) {
        ReleaseGraphicTextures(image);
        FreeMemory(image->pieces);
    } else {
        FreeMemImg(&image->memImg);
    }
    FreeMemory(image);
}
