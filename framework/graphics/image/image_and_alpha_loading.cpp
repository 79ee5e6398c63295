// Loading a colour image with its alpha image.
#include "framework/base/base_functions.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/image_file_loading.h"

char* BuildAlphaFileName(const char* fileName) {
    // The last "." of the file name itself: a dot in a folder's name is no
    // extension. Trail bytes of two-byte characters are never separators.
    const char* dot = nullptr;
    const char* end = fileName;
    while (*end != '\0') {
        const auto byte = static_cast<unsigned char>(*end);
        if (IsShiftJisLeadByte(byte) && end[1] != '\0') {
            end += 2;
            continue;
        }
        if (byte == '.') dot = end;
        if (byte == '\\' || byte == '/') dot = nullptr;
        ++end;
    }
    const char* split = dot != nullptr ? dot : end;
    const size_t stem = static_cast<size_t>(split - fileName);
    const size_t tail = static_cast<size_t>(end - split);
    auto* name = static_cast<char*>(AllocMemory(stem + 2 + tail + 1, __FILE__, __LINE__));
    if (name == nullptr) return nullptr;
    CopyMemoryBytes(name, fileName, static_cast<uint32_t>(stem));
    name[stem] = '_';
    name[stem + 1] = 'a';
    CopyMemoryBytes(name + stem + 2, split, static_cast<uint32_t>(tail));
    name[stem + 2 + tail] = '\0';
    return name;
}

int LoadImageAndAlphaFiles(const char* fileName, const void* data, int dataSize, int fromMemory,
                           const void* alphaData, int alphaDataSize, int alphaFromMemory, PixelImage* outImage,
                           PixelImage* outAlphaImage, int mirror) {
    if (LoadPixelImage(fileName, data, dataSize, fromMemory, outImage, mirror) != 0) return -1;
    if (outAlphaImage == nullptr) return 1;
    FillMemoryBytes(outAlphaImage, 0, sizeof *outAlphaImage);
    if ((alphaFromMemory == 1 && alphaData == nullptr) || (alphaFromMemory != 0 && alphaFromMemory != 1)) {
        return 1;
    }
    if (alphaFromMemory == 1) {
        return LoadPixelImage(nullptr, alphaData, alphaDataSize, 1, outAlphaImage, mirror) == 0 ? 0 : 1;
    }
    if (fileName == nullptr) return 1;
    char* alphaName = BuildAlphaFileName(fileName);
    if (alphaName == nullptr) return 1;
    const int loaded = LoadPixelImage(alphaName, nullptr, 0, 0, outAlphaImage, mirror);
    FreeMemory(alphaName);
    return loaded == 0 ? 0 : 1;
}
