// The model system's tables, its start and end, and the removal of models and
// base data.
#include "framework/graphics/models/model_system.h"

#include <cstring>

#include "framework/base/handle_table.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/models/model_tables.h"

ModelTable ModelBaseDataTable{};
ModelTable ModelRecordTable{};
uint8_t ModelSystemStarted = 0;

namespace {

constexpr uintptr_t kReservedEntry = 1;
int NextModelCheck = 1;

bool IsReserved(const void* entry) { return reinterpret_cast<uintptr_t>(entry) == kReservedEntry; }

int AddToTable(ModelTable& table, void* record) {
    int slot = 0;
    while (slot < table.size && table.entries[slot] != nullptr) ++slot;
    if (slot == table.size) {
        const int grown = table.size == 0 ? 16 : table.size * 2;
        auto* entries = static_cast<void**>(AllocMemory(sizeof(void*) * static_cast<size_t>(grown), __FILE__, __LINE__));
        if (entries == nullptr) return -1;
        std::memset(entries, 0, sizeof(void*) * static_cast<size_t>(grown));
        if (table.entries != nullptr) {
            std::memcpy(entries, table.entries, sizeof(void*) * static_cast<size_t>(table.size));
            FreeMemory(table.entries);
        }
        table.entries = entries;
        table.size = grown;
    }
    table.entries[slot] = record;
    ++table.liveCount;
    return slot;
}

void FreeTable(ModelTable& table) {
    if (table.entries != nullptr) FreeMemory(table.entries);
    table = ModelTable{};
}

void FreeIfSet(void* block) {
    if (block != nullptr) FreeMemory(block);
}

int BaseDataSlot(int handle) {
    if (handle < 0 || (handle & ~kModelBaseDataIndexMask) != kModelBaseDataKind) return -1;
    const int slot = handle & kModelBaseDataIndexMask;
    if (slot >= ModelBaseDataTable.size || ModelBaseDataTable.entries[slot] == nullptr) return -1;
    return slot;
}

int ModelSlot(int handle) {
    if (handle < 0 || (handle & 0x78000000) != kModelHandleKind) return -1;
    const int slot = handle & 0xFFFF;
    if (slot >= ModelRecordTable.size || ModelRecordTable.entries[slot] == nullptr) return -1;
    return slot;
}

void ReleaseModelOwnBuffers(ModelRecord& model) {
    if (model.vertexBuffer != nullptr) model.vertexBuffer->Release();
    if (model.indexBuffer != nullptr) model.indexBuffer->Release();
    model.vertexBuffer = nullptr;
    model.indexBuffer = nullptr;
}

void UnlinkFromBaseData(ModelRecord& model) {
    ModelBaseData* base = GetModelBaseData(model.baseData);
    if (base == nullptr) return;
    if (ModelRecord* previous = GetModelRecord(model.previousModel)) previous->nextModel = model.nextModel;
    else base->firstModel = model.nextModel;
    if (ModelRecord* next = GetModelRecord(model.nextModel)) next->previousModel = model.previousModel;
    else base->lastModel = model.previousModel;
    --base->modelCount;
}

}  // namespace

int AddModelBaseData(ModelBaseData* record) {
    const int slot = AddToTable(ModelBaseDataTable, record);
    return slot < 0 ? -1 : (kModelBaseDataKind | slot);
}

int AddModel(ModelRecord* record) {
    record->check = NextModelCheck;
    NextModelCheck = NextModelCheck % 0x7FF + 1;
    const int slot = AddToTable(ModelRecordTable, record);
    return slot < 0 ? -1 : MakeHandleValue(kModelHandleKind, record->check, slot);
}

ModelBaseData* GetModelBaseData(int handle) {
    const int slot = BaseDataSlot(handle);
    if (slot < 0 || IsReserved(ModelBaseDataTable.entries[slot])) return nullptr;
    return static_cast<ModelBaseData*>(ModelBaseDataTable.entries[slot]);
}

ModelRecord* GetModelRecord(int handle) {
    const int slot = ModelSlot(handle);
    if (slot < 0 || IsReserved(ModelRecordTable.entries[slot])) return nullptr;
    auto* model = static_cast<ModelRecord*>(ModelRecordTable.entries[slot]);
    return MakeHandleValue(kModelHandleKind, model->check, slot) == handle ? model : nullptr;
}

void FreeModelTexture(ModelTexture* texture) {
    if (!texture->inUse) return;
    FreeIfSet(texture->colorFile);
    FreeIfSet(texture->alphaFile);
    if (texture->graphic != -1) DeleteGraphicHandle(texture->graphic, 0);
    *texture = ModelTexture{};
}

int StartModelSystem() {
    if (ModelSystemStarted || !IsDirect3DPathInUse()) return 0;
    FreeTable(ModelBaseDataTable);
    FreeTable(ModelRecordTable);
    ModelSystemStarted = 1;
    return 0;
}

int RemoveModel(int handle) {
    const int slot = ModelSlot(handle);
    if (slot < 0) return -1;
    void*& entry = ModelRecordTable.entries[slot];
    if (IsReserved(entry)) {
        entry = nullptr;
        --ModelRecordTable.liveCount;
        return 0;
    }
    auto* model = static_cast<ModelRecord*>(entry);
    if (MakeHandleValue(kModelHandleKind, model->check, slot) != handle) return -1;

    for (int mesh = 0; mesh < model->meshWorkCount; ++mesh) FreeIfSet(model->meshWork[mesh]);
    FreeIfSet(model->meshWork);
    ReleaseModelOwnBuffers(*model);
    for (void* work : model->modelWork) FreeIfSet(work);
    for (void* work : model->frameWork) FreeIfSet(work);
    for (int texture = 0; texture < model->textureCount; ++texture) FreeModelTexture(&model->textures[texture]);
    FreeIfSet(model->textures);
    UnlinkFromBaseData(*model);
    RemoveModelBaseData(model->baseData);

    FreeMemory(model);
    entry = nullptr;
    --ModelRecordTable.liveCount;
    return 0;
}

int RemoveModelBaseData(int handle) {
    const int slot = BaseDataSlot(handle);
    if (slot < 0) return -1;
    void*& entry = ModelBaseDataTable.entries[slot];
    if (IsReserved(entry)) {
        entry = nullptr;
        --ModelBaseDataTable.liveCount;
        return 0;
    }
    auto* base = static_cast<ModelBaseData*>(entry);
    if (--base->referenceCount > 0) return 0;

    DropModelBuffers(handle);
    for (int texture = 0; texture < base->textureCount; ++texture) FreeModelTexture(&base->textures[texture]);
    FreeIfSet(base->textures);
    for (int mesh = 0; mesh < base->meshCount; ++mesh) {
        FreeIfSet(base->meshes[mesh].vertices);
        FreeIfSet(base->meshes[mesh].indices);
    }
    FreeIfSet(base->meshes);
    FreeMemory(base);
    entry = nullptr;
    --ModelBaseDataTable.liveCount;
    return 0;
}

int RemoveAllModels() {
    if (!ModelSystemStarted) return 0;
    for (int slot = 0; slot < ModelRecordTable.size; ++slot) {
        void* entry = ModelRecordTable.entries[slot];
        if (entry == nullptr) continue;
        const int check = IsReserved(entry) ? 0 : static_cast<ModelRecord*>(entry)->check;
        RemoveModel(MakeHandleValue(kModelHandleKind, check, slot));
    }
    // Base data that users still hold goes too.
    for (int slot = 0; slot < ModelBaseDataTable.size; ++slot) {
        while (ModelBaseDataTable.entries[slot] != nullptr) RemoveModelBaseData(kModelBaseDataKind | slot);
    }
    FreeTable(ModelBaseDataTable);
    FreeTable(ModelRecordTable);
    ModelSystemStarted = 0;
    return 0;
}
