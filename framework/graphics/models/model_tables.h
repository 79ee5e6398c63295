// Internal to framework/graphics (and its tests): the records and tables of
// the model system. Model base data is the shared, loaded form of a model
// file; a model is one instance of a base data. An entry of the value 1 in
// either table is a reserved slot without a record.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"

constexpr int kModelBaseDataKind = 0x08000000;
constexpr int kModelBaseDataIndexMask = 0x1FFFF;
constexpr int kModelHandleKind = 0x68000000;
constexpr int kModelMeshKindCount = 3;
// A chunk takes no further mesh once it holds this many indices or vertices.
constexpr int kModelChunkIndexLimit = 0xC0000;
constexpr int kModelChunkVertexLimit = 0x60000;

// A texture of a material or of a model, with the files it is loaded from.
struct ModelTexture {
    int inUse;
    int graphic;      // graphic handle, or -1
    char* colorFile;  // framework allocator, or null
    char* alphaFile;
    int bump;
    float bumpScale;
};

struct ModelMesh {
    int kind;           // 0 to 2
    int flag;           // the kind's second switch
    int texCoordSets;   // 0 to 8
    int vertexCount;
    int vertexStride;   // bytes of one vertex as the chunk holds it
    uint8_t* vertices;  // vertexCount x vertexStride bytes, framework allocator
    int indexCount;
    uint16_t* indices;  // framework allocator
    int chunk;          // the chunk it went into, or -1
    int firstVertex;
    int firstIndex;
};

struct ModelBufferChunk {
    int kind;
    int flag;
    int texCoordSets;
    int vertexStride;
    int vertexCount;
    int indexCount;
    IDirect3DVertexBuffer9* vertexBuffer;
    IDirect3DIndexBuffer9* indexBuffer;
};

struct ModelBaseData {
    int referenceCount;  // models and users that share it
    int modelCount;
    int firstModel;  // model handles of its list of models, or -1
    int lastModel;
    int meshCount;
    ModelMesh* meshes;  // framework allocator
    int textureCount;
    ModelTexture* textures;  // framework allocator
    int chunkCount;
    ModelBufferChunk* chunks;  // framework allocator
    int buffersBuilt;
};

struct ModelRecord {
    int check;
    int baseData;  // base data handle
    int previousModel;  // neighbours in the base data's list, or -1
    int nextModel;
    int meshWorkCount;
    void** meshWork;  // per-mesh work buffers
    void* modelWork[2];
    void* frameWork[2];
    int textureCount;
    ModelTexture* textures;
    IDirect3DVertexBuffer9* vertexBuffer;  // the model's own buffers, or null
    IDirect3DIndexBuffer9* indexBuffer;
};

// A growable table of record pointers.
struct ModelTable {
    void** entries;
    int size;
    int liveCount;
};
extern ModelTable ModelBaseDataTable;
extern ModelTable ModelRecordTable;
extern uint8_t ModelSystemStarted;

// A record owned by the framework allocator goes into the first free entry;
// its handle, or -1 when the table cannot grow.
int AddModelBaseData(ModelBaseData* record);
int AddModel(ModelRecord* record);
// The record of a handle; null for an invalid, empty or reserved entry.
ModelBaseData* GetModelBaseData(int handle);
ModelRecord* GetModelRecord(int handle);
// Releases a texture's graphic and frees its names.
void FreeModelTexture(ModelTexture* texture);
