// The model system: its paths over empty tables, reserved entries, a base
// data shared by two models, the buffers of a base data around a lost
// device, the normal map of a height map and the default textures' files.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/base/handle_table.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/image/image_file_loading.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/graphics/models/model_default_textures.h"
#include "framework/graphics/models/model_system.h"
#include "framework/graphics/models/model_tables.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

template <class T>
T* NewRecord() {
    auto* record = static_cast<T*>(AllocMemory(sizeof(T), __FILE__, __LINE__));
    std::memset(record, 0, sizeof(T));
    return record;
}

// A base data of `meshCount` meshes of the first kind with one set of
// texture coordinates, three vertices and three indices each.
int AddBaseData(int meshCount, int references) {
    auto* base = NewRecord<ModelBaseData>();
    base->referenceCount = references;
    base->firstModel = base->lastModel = -1;
    base->meshCount = meshCount;
    base->meshes = static_cast<ModelMesh*>(AllocMemory(sizeof(ModelMesh) * meshCount, __FILE__, __LINE__));
    for (int index = 0; index < meshCount; ++index) {
        ModelMesh& mesh = base->meshes[index];
        mesh = ModelMesh{};
        mesh.texCoordSets = 1;
        mesh.vertexCount = 3;
        mesh.vertexStride = 48;
        mesh.vertices = static_cast<uint8_t*>(AllocMemory(3 * 48, __FILE__, __LINE__));
        std::memset(mesh.vertices, index + 1, 3 * 48);
        mesh.indexCount = 3;
        mesh.indices = static_cast<uint16_t*>(AllocMemory(3 * 2, __FILE__, __LINE__));
        for (int i = 0; i < 3; ++i) mesh.indices[i] = static_cast<uint16_t>(2 - i);
        mesh.chunk = -1;
    }
    return AddModelBaseData(base);
}

int AddModelOf(int baseHandle) {
    ModelBaseData* base = GetModelBaseData(baseHandle);
    auto* model = NewRecord<ModelRecord>();
    model->baseData = baseHandle;
    model->previousModel = base->lastModel;
    model->nextModel = -1;
    model->modelWork[0] = AllocMemory(32, __FILE__, __LINE__);
    const int handle = AddModel(model);
    if (ModelRecord* last = GetModelRecord(base->lastModel)) last->nextModel = handle;
    else base->firstModel = handle;
    base->lastModel = handle;
    ++base->modelCount;
    return handle;
}

class ModelSystemTest : public HardwareGraphicsTest {
protected:
    void SetUp() override {
        HardwareGraphicsTest::SetUp();
        StartGraphics(32);
        ASSERT_EQ(StartModelSystem(), 0);
        ASSERT_EQ(ModelSystemStarted, 1);
    }
    void TearDown() override {
        RemoveAllModels();
        HardwareGraphicsTest::TearDown();
    }
};

TEST_F(ModelSystemTest, EveryPathOverEmptyTablesReturnsZero) {
    EXPECT_EQ(DropAllModelBuffers(), 0);
    EXPECT_EQ(BuildAllModelBuffers(), 0);
    EXPECT_EQ(ReloadModelTextures(), 0);
    EXPECT_EQ(RemoveModel(MakeHandleValue(kModelHandleKind, 1, 0)), -1);
    EXPECT_EQ(RemoveModelBaseData(kModelBaseDataKind | 0), -1);
    EXPECT_EQ(BuildModelBuffers(kModelBaseDataKind | 0), -1);
    EXPECT_EQ(RemoveAllModels(), 0);
    EXPECT_EQ(ModelSystemStarted, 0);
    EXPECT_EQ(ModelRecordTable.entries, nullptr);
}

TEST_F(ModelSystemTest, ReservedEntriesAreNeverReadAndRemovalClearsThem) {
    const int base = AddModelBaseData(reinterpret_cast<ModelBaseData*>(uintptr_t{1}));
    const int model = AddModel(NewRecord<ModelRecord>());
    FreeMemory(ModelRecordTable.entries[model & 0xFFFF]);
    ModelRecordTable.entries[model & 0xFFFF] = reinterpret_cast<void*>(uintptr_t{1});
    EXPECT_EQ(BuildModelBuffers(base), -1);
    EXPECT_EQ(DropModelBuffers(base), -1);
    EXPECT_EQ(BuildAllModelBuffers(), 0);
    EXPECT_EQ(ReloadModelTextures(), 0);
    EXPECT_EQ(RemoveModel(model), 0);
    EXPECT_EQ(ModelRecordTable.liveCount, 0);
    EXPECT_EQ(RemoveModelBaseData(base), 0);
    EXPECT_EQ(ModelBaseDataTable.liveCount, 0);
}

TEST_F(ModelSystemTest, ASharedBaseDataSurvivesTheFirstModelsRemoval) {
    const int base = AddBaseData(1, 2);
    const int first = AddModelOf(base);
    const int second = AddModelOf(base);
    EXPECT_EQ(RemoveModel(first ^ 0x10000), -1);  // another check value
    ASSERT_EQ(RemoveModel(first), 0);
    ModelBaseData* kept = GetModelBaseData(base);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->referenceCount, 1);
    EXPECT_EQ(kept->modelCount, 1);
    EXPECT_EQ(kept->firstModel, second);
    EXPECT_EQ(GetModelRecord(second)->previousModel, -1);
    EXPECT_EQ(RemoveModel(first), -1);
    ASSERT_EQ(RemoveModel(second), 0);
    EXPECT_EQ(GetModelBaseData(base), nullptr);
    EXPECT_EQ(ModelBaseDataTable.liveCount, 0);
    EXPECT_EQ(ModelRecordTable.liveCount, 0);
}

TEST_F(ModelSystemTest, BuffersAreMadePerChunkDroppedWithTheDeviceAndLeftNoneOnFailure) {
    const int base = AddBaseData(2, 1);
    ASSERT_EQ(BuildModelBuffers(base), 0);
    ModelBaseData* record = GetModelBaseData(base);
    ASSERT_EQ(record->chunkCount, 1);
    EXPECT_EQ(record->buffersBuilt, 1);
    EXPECT_EQ(record->meshes[1].firstVertex, 3);
    EXPECT_EQ(record->meshes[1].firstIndex, 3);
    IDirect3DIndexBuffer9* indices = record->chunks[0].indexBuffer;
    ASSERT_NE(indices, nullptr);
    void* data = nullptr;
    ASSERT_EQ(indices->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const uint16_t expected[6] = {2, 1, 0, 5, 4, 3};
    EXPECT_EQ(std::memcmp(data, expected, sizeof(expected)), 0);
    indices->Unlock();

    ASSERT_EQ(DropAllModelBuffers(), 0);
    EXPECT_EQ(record->chunkCount, 0);
    EXPECT_EQ(record->buffersBuilt, 0);
    EXPECT_EQ(record->meshes[0].chunk, -1);

    platform::Profile().failures.direct3d.createIndexBuffer = true;
    EXPECT_EQ(BuildModelBuffers(base), -1);
    EXPECT_EQ(record->chunkCount, 0);
    EXPECT_EQ(record->chunks, nullptr);
    platform::Profile().failures.direct3d.createIndexBuffer = false;
    EXPECT_EQ(BuildAllModelBuffers(), 0);
    EXPECT_EQ(record->buffersBuilt, 1);
}

TEST(ModelTextureTest, AFlatHeightMapGivesAnUpwardNormalEverywhere) {
    for (float scale : {1.0f, 0.0f, 4.0f}) {
        TestImage image;
        MakeImage32(image, 4, 2, true, [](int, int) { return 0xFF606060u; });
        ConvertHeightMapToNormalMap(image.get(), scale);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                int r = 0, g = 0, b = 0, a = 0;
                ReadPixelRgba(image.get(), x, y, &r, &g, &b, &a);
                EXPECT_EQ(r, 127);
                EXPECT_EQ(g, 127);
                EXPECT_EQ(b, 255);
                EXPECT_EQ(a, 0);
            }
    }
}

TEST(ModelTextureTest, TheDefaultTexturesDecodeThroughTheTgaLoader) {
    struct Case {
        int index;
        size_t size;
        int width;
    } cases[] = {{0, 84, 8}, {1, 172, 256}, {2, 172, 256}};
    for (const Case& c : cases) {
        size_t size = 0;
        const uint8_t* file = ModelDefaultTextureFile(c.index, &size);
        ASSERT_EQ(size, c.size);
        EXPECT_EQ(std::memcmp(file + size - 18, "TRUEVISION-XFILE.", 18), 0);
        TestImage image;
        ASSERT_EQ(LoadPixelImage(nullptr, file, static_cast<int>(size), 1, image.get(), 0), 0) << c.index;
        ASSERT_EQ(image->width, c.width);
        ASSERT_EQ(image->height, 8);
        for (int y : {0, 7})
            for (int x = 0; x < c.width; ++x) {
                int r = 0, g = 0, b = 0, a = 0;
                ReadPixelRgba(image.get(), x, y, &r, &g, &b, &a);
                const int grey = c.index == 0 ? 255 : (x / 64) * 85;
                ASSERT_EQ(r, grey) << c.index << " at " << x;
                ASSERT_EQ(g, grey);
                ASSERT_EQ(b, grey);
                if (c.index == 0) {
                    ASSERT_EQ(a, 255);
                }
            }
    }
}

}  // namespace
}  // namespace graphicstest
