// The device buffers of model base data: meshes grouped by kind, flag and
// texture-coordinate sets into chunks of one vertex and one index buffer,
// made on a new device and released before the device goes.
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/device/device_resource_locks.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/models/model_system.h"
#include "framework/graphics/models/model_tables.h"
#include "framework/graphics/shaders/shader_pack.h"

namespace {

constexpr int kGroupCount = kModelMeshKindCount * 2 * 9;

int GroupOf(const ModelMesh& mesh) { return (mesh.kind * 2 + (mesh.flag ? 1 : 0)) * 9 + mesh.texCoordSets; }

DWORD FixedFunctionFvf(int texCoordSets) {
    DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                (static_cast<DWORD>(texCoordSets) << D3DFVF_TEXCOUNT_SHIFT);
    for (int set = 0; set < texCoordSets; ++set) fvf |= D3DFVF_TEXCOORDSIZE4(set);
    return fvf;
}

void ReleaseChunks(ModelBaseData& base) {
    for (int index = 0; index < base.chunkCount; ++index) {
        ModelBufferChunk& chunk = base.chunks[index];
        if (chunk.vertexBuffer != nullptr) chunk.vertexBuffer->Release();
        if (chunk.indexBuffer != nullptr) chunk.indexBuffer->Release();
    }
    if (base.chunks != nullptr) FreeMemory(base.chunks);
    base.chunks = nullptr;
    base.chunkCount = 0;
    for (int mesh = 0; mesh < base.meshCount; ++mesh) base.meshes[mesh].chunk = -1;
    base.buffersBuilt = 0;
}

// Puts every mesh into its group's current chunk; a chunk that has reached a
// limit takes no further mesh. Chunks that end up empty are left out.
bool AssignChunks(ModelBaseData& base) {
    // At most one chunk per mesh.
    const size_t room = static_cast<size_t>(base.meshCount > 0 ? base.meshCount : 1);
    auto* chunks = static_cast<ModelBufferChunk*>(AllocMemory(sizeof(ModelBufferChunk) * room, __FILE__, __LINE__));
    if (chunks == nullptr) return false;
    std::memset(chunks, 0, sizeof(ModelBufferChunk) * room);
    int current[kGroupCount];
    for (int& chunk : current) chunk = -1;
    int count = 0;
    for (int index = 0; index < base.meshCount; ++index) {
        ModelMesh& mesh = base.meshes[index];
        if (mesh.vertexCount == 0 && mesh.indexCount == 0) {
            mesh.chunk = -1;
            continue;
        }
        const int group = GroupOf(mesh);
        if (current[group] == -1) {
            current[group] = count++;
            chunks[current[group]] = ModelBufferChunk{mesh.kind, mesh.flag, mesh.texCoordSets, mesh.vertexStride, 0, 0,
                                                      nullptr, nullptr};
        }
        ModelBufferChunk& chunk = chunks[current[group]];
        mesh.chunk = current[group];
        mesh.firstVertex = chunk.vertexCount;
        mesh.firstIndex = chunk.indexCount;
        chunk.vertexCount += mesh.vertexCount;
        chunk.indexCount += mesh.indexCount;
        if (chunk.indexCount >= kModelChunkIndexLimit || chunk.vertexCount >= kModelChunkVertexLimit)
            current[group] = -1;
    }
    base.chunks = chunks;
    base.chunkCount = count;
    return true;
}

bool FillChunk(const ModelBaseData& base, int chunkIndex) {
    ModelBufferChunk& chunk = base.chunks[chunkIndex];
    const bool fixedFunction = chunk.kind == 0 && !chunk.flag;
    if (!fixedFunction && !ProgrammableShadersOn) return true;
    const UINT vertexBytes = static_cast<UINT>(chunk.vertexCount * chunk.vertexStride);
    const UINT indexBytes = static_cast<UINT>(chunk.indexCount * 2);
    chunk.vertexBuffer = CreateDeviceVertexBuffer(vertexBytes > 0 ? vertexBytes : 1, D3DUSAGE_WRITEONLY,
                                                  fixedFunction ? FixedFunctionFvf(chunk.texCoordSets) : 0,
                                                  D3DPOOL_MANAGED);
    if (chunk.vertexBuffer == nullptr) return false;
    chunk.indexBuffer = CreateDeviceIndexBuffer(indexBytes > 0 ? indexBytes : 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                D3DPOOL_MANAGED);
    if (chunk.indexBuffer == nullptr) return false;
    const LockedBuffer<IDirect3DVertexBuffer9> lockedVertices(chunk.vertexBuffer);
    if (!lockedVertices.held()) return false;
    const LockedBuffer<IDirect3DIndexBuffer9> lockedIndices(chunk.indexBuffer);
    if (!lockedIndices.held()) return false;
    void* vertices = lockedVertices.data();
    void* indices = lockedIndices.data();
    for (int index = 0; index < base.meshCount; ++index) {
        const ModelMesh& mesh = base.meshes[index];
        if (mesh.chunk != chunkIndex) continue;
        std::memcpy(static_cast<uint8_t*>(vertices) + static_cast<size_t>(mesh.firstVertex) * chunk.vertexStride,
                    mesh.vertices, static_cast<size_t>(mesh.vertexCount) * mesh.vertexStride);
        // Indices point into the whole chunk.
        auto* to = static_cast<uint16_t*>(indices) + mesh.firstIndex;
        for (int i = 0; i < mesh.indexCount; ++i) to[i] = static_cast<uint16_t>(mesh.indices[i] + mesh.firstVertex);
    }
    return true;
}

}  // namespace

int BuildModelBuffers(int handle) {
    ModelBaseData* base = GetModelBaseData(handle);
    if (base == nullptr) return -1;
    if (!HardwarePathFlag || Direct3DDevice.device == nullptr || !Direct3DDevice.shader2Capable) return 0;
    if (base->buffersBuilt) return 0;
    if (!AssignChunks(*base)) return -1;
    for (int chunk = 0; chunk < base->chunkCount; ++chunk) {
        if (!FillChunk(*base, chunk)) {
            ReleaseChunks(*base);
            return -1;
        }
    }
    base->buffersBuilt = 1;
    return 0;
}

int BuildAllModelBuffers() {
    for (int slot = 0; slot < ModelBaseDataTable.size; ++slot)
        if (GetModelBaseData(kModelBaseDataKind | slot) != nullptr) BuildModelBuffers(kModelBaseDataKind | slot);
    return 0;
}

int DropModelBuffers(int handle) {
    ModelBaseData* base = GetModelBaseData(handle);
    if (base == nullptr) return -1;
    ReleaseChunks(*base);
    for (int slot = 0; slot < ModelRecordTable.size; ++slot) {
        void* entry = ModelRecordTable.entries[slot];
        if (entry == nullptr || reinterpret_cast<uintptr_t>(entry) == 1) continue;
        auto* model = static_cast<ModelRecord*>(entry);
        if (model->baseData != handle) continue;
        if (model->vertexBuffer != nullptr) model->vertexBuffer->Release();
        if (model->indexBuffer != nullptr) model->indexBuffer->Release();
        model->vertexBuffer = nullptr;
        model->indexBuffer = nullptr;
    }
    return 0;
}

int DropAllModelBuffers() {
    for (int slot = 0; slot < ModelBaseDataTable.size; ++slot)
        if (GetModelBaseData(kModelBaseDataKind | slot) != nullptr) DropModelBuffers(kModelBaseDataKind | slot);
    return 0;
}
