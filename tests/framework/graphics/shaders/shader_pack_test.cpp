#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/shaders/vertex_declarations.h"
#include "tests/framework/graphics/device_test_support.h"
#include "tools/archive_writer.h"

namespace graphicstest {
namespace {

using ShaderPackTest = DeviceLayerTest;

constexpr const char* kShadersOn = "プログラマブルシェーダーを使用します\r\n";
constexpr const char* kShadersOff = "プログラマブルシェーダーを使用しません\r\n";
constexpr const char* kNoPack = "シェーダーコードを展開するメモリ領域の確保に失敗しました\r\n";

// Shader byte code of our own: vs_2_0 "mov oPos, v0" after declaring v0 as
// the position, and ps_2_0 "mov oC0, c0".
const std::vector<uint32_t> kVertexCode = {0xFFFE0200u, 0x0200001Fu, 0x80000000u, 0x900F0000u,
                                           0x02000001u, 0xC00F0000u, 0x90E40000u, 0x0000FFFFu};
const std::vector<uint32_t> kPixelCode = {0xFFFF0200u, 0x02000001u, 0x800F0800u, 0xA0E40000u, 0x0000FFFFu};

void PutSize(std::string& pack, size_t at, uint32_t size) {
    pack[at] = static_cast<char>(size & 0xFF);
    pack[at + 1] = static_cast<char>(size >> 8);
}

void PutCode(std::string& pack, const std::vector<uint32_t>& code) {
    for (uint32_t token : code)
        for (int shift = 0; shift < 32; shift += 8) pack.push_back(static_cast<char>(token >> shift & 0xFF));
}

size_t VertexSizeAt(int record, int entry) { return (size_t{static_cast<size_t>(record)} * kPackShaderEntries + entry) * 2; }
size_t PixelSizeAt(int record, int entry) { return kPackPixelDirectoryOffset + VertexSizeAt(record, entry); }

// A pack holding `vertex` at the test vertex entry and `pixel` at the test
// pixel entry, plus a shader in the first vertex entry so that the cursor
// has to move past it.
std::string MakePack(const std::vector<uint32_t>& vertex, const std::vector<uint32_t>& pixel) {
    std::string pack(kPackCodeOffset, '\0');
    PutSize(pack, VertexSizeAt(0, 0), static_cast<uint32_t>(kPixelCode.size() * 4));
    PutSize(pack, VertexSizeAt(kTestVertexShaderRecord, kTestVertexShaderEntry), static_cast<uint32_t>(vertex.size() * 4));
    PutSize(pack, PixelSizeAt(kTestPixelShaderRecord, kTestPixelShaderEntry), static_cast<uint32_t>(pixel.size() * 4));
    PutCode(pack, kPixelCode);
    PutCode(pack, vertex);
    PutCode(pack, pixel);
    return pack;
}

std::string MakeBlock(const std::string& pack, const char* name = "KilnShaderPack.bin", bool packed = true) {
    archivetest::ArchiveWriter writer;
    writer.AddFile(name, pack, packed);
    return archivetest::PackData(writer.Build(nullptr));
}

class ShaderPackBlockTest : public ShaderPackTest {
protected:
    // Makes `block` the program's shader pack until the test ends.
    void UseBlock(const std::string& block) {
        block_ = block;
        ShaderPackArchiveSource = block_.data();
    }
    // The tracked blocks still allocated, as the allocation dump counts them.
    int LiveBlocks() {
        const size_t mark = LogText().size();
        DumpMemoryAllocations();
        const std::string dump = LogSince(mark);
        const size_t at = dump.rfind("Alloc num:");
        return at == std::string::npos ? -1 : std::atoi(dump.c_str() + at + 10);
    }

private:
    std::string block_;
};

TEST_F(ShaderPackTest, OnShaderModel2ThePackLoadsAndTheDeviceTakesItsTestShaders) {
    MakeWindow(1);
    const size_t mark = LogText().size();
    ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
    EXPECT_TRUE(LinesSince(mark).ends_with(std::string("Ｚバッファを作成します.... 成功\r\n") + kShadersOn));
    EXPECT_EQ(ProgrammableShadersOn, 1);
    ASSERT_NE(ShaderPack.pack, nullptr);
    IDirect3DVertexShader9* vertexShader = ShaderPack.vertexShaders[kTestVertexShaderRecord][kTestVertexShaderEntry];
    ASSERT_NE(vertexShader, nullptr);
    ASSERT_NE(ShaderPack.pixelShaders[kTestPixelShaderRecord][kTestPixelShaderEntry], nullptr);
    UINT size = 0;
    ASSERT_EQ(vertexShader->GetFunction(nullptr, &size), D3D_OK);
    EXPECT_EQ(size, 32u);
    int codeEntries = 0;
    for (const auto& record : ShaderPack.vertexCode)
        for (const DWORD* code : record) codeEntries += code != nullptr ? 1 : 0;
    for (const auto& record : ShaderPack.pixelCode)
        for (const DWORD* code : record) codeEntries += code != nullptr ? 1 : 0;
    EXPECT_EQ(codeEntries, 2);
    EXPECT_EQ(ShaderPack.vertexCode[kTestVertexShaderRecord][kTestVertexShaderEntry],
              reinterpret_cast<const DWORD*>(ShaderPack.pack + kPackCodeOffset));

    const std::vector<std::string> calls = platform::d3d9::CallTexts(Calls());
    const auto made = std::find(calls.begin(), calls.end(), "CreateVertexShader(8, object)");
    ASSERT_NE(made, calls.end());
    EXPECT_EQ(*(made + 1), "CreatePixelShader(5, object)");
    EXPECT_EQ(*(made + 2), "SetVertexShaderConstantF(0, 1, 0, 1, 0, 0)");
    EXPECT_EQ(*(made + 3), "SetPixelShaderConstantF(0, 1, 0, 0.5, 1, 2)");
    // The declarations follow, since the shaders came out on.
    EXPECT_EQ(*(made + 4), "SetVertexShader(null)");
    EXPECT_EQ((made + 6)->rfind("CreateVertexDeclaration(", 0), 0u);
}

TEST_F(ShaderPackTest, BelowShaderModel2ThePackIsNeverLoaded) {
    struct Case {
        uint32_t vertexVersion;
        uint32_t pixelVersion;
    };
    const Case cases[] = {{0xFFFE0200u, 0xFFFF0104u}, {0xFFFE0101u, 0xFFFF0200u}, {0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.vertexVersion << " " << c.pixelVersion);
        TermGraphicsDevice();
        DestroyMainWindow();
        ResetWindowSide();
        platform::Profile().direct3d.vertexShaderVersion = c.vertexVersion;
        platform::Profile().direct3d.pixelShaderVersion = c.pixelVersion;
        MakeWindow(1);
        const size_t mark = LogText().size();
        ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
        EXPECT_TRUE(LinesSince(mark).ends_with(std::string("Ｚバッファを作成します.... 成功\r\n") + kShadersOff));
        EXPECT_EQ(ProgrammableShadersOn, 0);
        EXPECT_EQ(ShaderPack.pack, nullptr);
        EXPECT_EQ(ShaderVertexDeclarations[0][0], nullptr);
    }
}

TEST_F(ShaderPackTest, ASecondDeviceMakesItsTestShadersAgainWithoutUnpacking) {
    StartWindowed();
    const uint8_t* pack = ShaderPack.pack;
    ASSERT_NE(pack, nullptr);
    IDirect3DVertexShader9* first = ShaderPack.vertexShaders[kTestVertexShaderRecord][kTestVertexShaderEntry];
    first->AddRef();
    TermGraphicsDevice();
    // The shader objects went with their device; the pack stays.
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(ShaderPack.pack, pack);

    // Nothing can be allocated now: unpacking again could not succeed.
    platform::Profile().failures.heap.failAllocationNumber = 1;
    platform::Profile().failures.heap.failEveryAllocationFromThere = true;
    const size_t mark = LogText().size();
    const int result = ChangeScreenModeDirect3D9();
    platform::Profile().failures.heap = platform::HeapFailures{};
    ASSERT_EQ(result, 0);
    EXPECT_TRUE(LinesSince(mark).ends_with(kShadersOn));
    EXPECT_EQ(ProgrammableShadersOn, 1);
    EXPECT_EQ(ShaderPack.pack, pack);
    EXPECT_NE(ShaderPack.vertexShaders[kTestVertexShaderRecord][kTestVertexShaderEntry], nullptr);
}

TEST_F(ShaderPackBlockTest, APackThatCannotBeReadLeavesTheShadersOff) {
    std::string tooLong = MakePack(kVertexCode, kPixelCode);
    PutSize(tooLong, PixelSizeAt(kTestPixelShaderRecord, kTestPixelShaderEntry), 0xFFFC);
    std::string partToken = MakePack(kVertexCode, kPixelCode);
    PutSize(partToken, VertexSizeAt(1, 3), 6);
    struct Case {
        const char* name;
        std::string block;
        bool loads;
        bool shadersOn;
    };
    const Case cases[] = {
        {"our own pack", MakeBlock(MakePack(kVertexCode, kPixelCode)), true, true},
        {"code running past the pack", MakeBlock(tooLong), false, false},
        {"a size that is no whole number of tokens", MakeBlock(partToken), false, false},
        {"a pack shorter than its directories", MakeBlock(std::string(1000, '\0')), false, false},
        {"an archive without the pack", MakeBlock(MakePack(kVertexCode, kPixelCode), "Other.bin"), false, false},
        {"the pack stored unpacked", MakeBlock(MakePack(kVertexCode, kPixelCode), "KilnShaderPack.bin", false), false,
         false},
        {"a block that is no archive", archivetest::PackData(std::string(400, 'x')), false, false},
        {"a test entry the device refuses", MakeBlock(MakePack(kPixelCode, kPixelCode)), true, false},
        {"a test entry that is empty", MakeBlock(MakePack({}, kPixelCode)), true, false},
    };
    StartWindowed();
    CloseShaderPack();
    const int before = LiveBlocks();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CloseShaderPack();
        UseBlock(c.block);
        const size_t mark = LogText().size();
        EXPECT_EQ(SetupProgrammableShaders(), 0);
        EXPECT_EQ(LinesSince(mark), std::string(c.loads ? "" : kNoPack) + (c.shadersOn ? kShadersOn : kShadersOff));
        EXPECT_EQ(ShaderPack.pack != nullptr, c.loads);
        EXPECT_EQ(ProgrammableShadersOn, c.shadersOn ? 1 : 0);
        EXPECT_EQ(LoadShaderPack(), c.loads ? 1 : 0);
    }
    CloseShaderPack();
    EXPECT_EQ(LiveBlocks(), before);
}

TEST_F(ShaderPackBlockTest, ALoadRetriedAfterAFailureKeepsNothingOfTheFailedOne) {
    StartWindowed();
    CloseShaderPack();
    const int before = LiveBlocks();
    UseBlock(MakeBlock(MakePack(kVertexCode, kPixelCode), "Other.bin"));
    EXPECT_EQ(LoadShaderPack(), 0);
    EXPECT_EQ(LoadShaderPack(), 0);
    EXPECT_EQ(LiveBlocks(), before + 1);  // the opened archive, kept for the next attempt
    UseBlock(MakeBlock(MakePack(kVertexCode, kPixelCode)));
    EXPECT_EQ(LoadShaderPack(), 1);
    EXPECT_EQ(LiveBlocks(), before + 2);  // the archive and the pack
    CloseShaderPack();
    EXPECT_EQ(LiveBlocks(), before);
}

}  // namespace
}  // namespace graphicstest
