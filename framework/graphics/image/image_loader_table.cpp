// The loader table: every decoder sees the stream from offset 0 and a cleared
// record, so one that declines half way leaves nothing for the next.
#include "framework/base/base_functions.h"
#include "framework/graphics/image/image_loaders.h"

ImageLoader UserImageLoaders[kUserImageLoaderLimit] = {};
int UserImageLoaderCount = 0;

const ImageLoader BuiltinImageLoaders[] = {
    DecodeBmp, DecodeJpeg, DecodePng, DecodeBgraRaw, DecodeTga, DecodeDds, nullptr,
};

namespace {

bool TryLoader(ImageLoader loader, const StreamSource* source, PixelImage* image) {
    if (source->functions.seek(source->stream, 0, 0) != 0) return false;
    FillMemoryBytes(image, 0, sizeof *image);
    return loader(source, image) == 0;
}

}  // namespace

int DecodeImageStream(const StreamSource* source, PixelImage* image) {
    FillMemoryBytes(image, 0, sizeof *image);
    const int userCount = UserImageLoaderCount < 0                       ? 0
                          : UserImageLoaderCount > kUserImageLoaderLimit ? kUserImageLoaderLimit
                                                                         : UserImageLoaderCount;
    for (int i = 0; i < userCount; ++i) {
        if (UserImageLoaders[i] != nullptr && TryLoader(UserImageLoaders[i], source, image)) return 0;
    }
    for (const ImageLoader* loader = BuiltinImageLoaders; *loader != nullptr; ++loader) {
        if (TryLoader(*loader, source, image)) return 0;
    }
    FillMemoryBytes(image, 0, sizeof *image);
    return -1;
}
