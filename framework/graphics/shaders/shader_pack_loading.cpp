// Loading the shader pack from the program's data: the packed archive block
// is unpacked into tracked memory and opened, "KilnShaderPack.bin" is
// unpacked from it, and every nonzero entry of the two directories is pointed
// at its byte code. The pack is ours, but its sizes are still checked before
// anything is read through them.
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/shaders/shader_pack.h"
#include "framework/graphics/shaders/shader_pack_data.h"

ShaderPackState ShaderPack = {};
const void* ShaderPackArchiveSource = KilnShaderPackArchiveBlock;

namespace {

constexpr char kPackName[] = "KilnShaderPack.bin";

uint32_t ReadSize(const uint8_t* at) { return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8; }

void ForgetCode(ShaderPackState& pack) {
    std::memset(pack.vertexCode, 0, sizeof(pack.vertexCode));
    std::memset(pack.pixelCode, 0, sizeof(pack.pixelCode));
}

// Points each nonzero entry of `records` directory records at the code
// cursor and moves the cursor past it. False when a size is not a whole
// number of 32-bit tokens or the code would run past the pack.
bool PointEntries(ShaderPackState& pack, uint32_t directoryOffset, int records,
                  const DWORD* (*code)[kPackShaderEntries], uint64_t& cursor) {
    for (int record = 0; record < records; ++record) {
        for (int entry = 0; entry < kPackShaderEntries; ++entry) {
            const uint32_t size =
                ReadSize(pack.pack + directoryOffset + (static_cast<uint32_t>(record) * kPackShaderEntries + entry) * 2);
            if (size == 0) continue;
            if (size % sizeof(DWORD) != 0 || cursor + size > pack.packSize) return false;
            code[record][entry] = reinterpret_cast<const DWORD*>(pack.pack + cursor);
            cursor += size;
        }
    }
    return true;
}

bool IndexPack(ShaderPackState& pack) {
    if (pack.packSize < kPackCodeOffset) return false;
    uint64_t cursor = kPackCodeOffset;
    if (PointEntries(pack, 0, kPackVertexShaderRecords, pack.vertexCode, cursor) &&
        PointEntries(pack, kPackPixelDirectoryOffset, kPackPixelShaderRecords, pack.pixelCode, cursor))
        return true;
    ForgetCode(pack);
    return false;
}

// What an earlier attempt that failed part-way left: a new attempt starts
// from nothing instead of losing it.
void DropArchive(ShaderPackState& pack) {
    if (pack.archiveImage != nullptr) {
        ShutArchive(&pack.archive);
        FreeMemory(pack.archiveImage);
        pack.archiveImage = nullptr;
    }
    ZeroArchiveRecord(&pack.archive);
}

bool UnpackPack(ShaderPackState& pack, uint32_t archiveSize) {
    uint32_t offset = 0;
    uint32_t size = 0;
    if (FindArchiveEntryData(&pack.archive, kPackName, &offset, &size) != 0) return false;
    const uint8_t* data = FinishAsyncArchiveRead(&pack.archive);
    if (data == nullptr || offset > archiveSize || archiveSize - offset < ArchivePackedHeaderSize) return false;
    const uint8_t* packed = data + offset;
    // The packed form's own header must agree with the entry.
    if (UnpackArchiveData(packed, nullptr) != size) return false;
    pack.pack = static_cast<uint8_t*>(AllocMemory(size, __FILE__, __LINE__));
    if (pack.pack == nullptr) return false;
    pack.packSize = size;
    if (UnpackArchiveDataBounded(packed, archiveSize - offset, pack.pack, size) == 0 && IndexPack(pack)) return true;
    FreeMemory(pack.pack);
    pack.pack = nullptr;
    pack.packSize = 0;
    return false;
}

}  // namespace

int LoadShaderPack() {
    ShaderPackState& pack = ShaderPack;
    if (pack.pack != nullptr) return 1;
    DropArchive(pack);
    const uint32_t archiveSize = UnpackArchiveData(ShaderPackArchiveSource, nullptr);
    pack.archiveImage = static_cast<uint8_t*>(AllocMemory(archiveSize, __FILE__, __LINE__));
    if (pack.archiveImage == nullptr) return 0;
    if (UnpackArchiveData(ShaderPackArchiveSource, pack.archiveImage) != archiveSize) return 0;
    if (OpenArchiveInMemory(&pack.archive, pack.archiveImage, archiveSize, nullptr) != 0) return 0;
    return UnpackPack(pack, archiveSize) ? 1 : 0;
}

void CloseShaderPack() {
    ShaderPackState& pack = ShaderPack;
    ReleaseShaderPackShaders();
    DropArchive(pack);
    if (pack.pack != nullptr) FreeMemory(pack.pack);
    pack.pack = nullptr;
    pack.packSize = 0;
    ForgetCode(pack);
}
