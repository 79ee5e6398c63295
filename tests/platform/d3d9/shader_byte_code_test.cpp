// Shader creation takes well-formed byte code of shader models 1.x to 3.0 of
// the kind and up to the version the caps allow, and keeps it; anything else
// is refused.
#include <vector>

#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Held;

class ShaderByteCodeTest : public d3d9test::Direct3DTest {
protected:
    void MakeDeviceWithShaders(DWORD vertexVersion, DWORD pixelVersion) {
        platform::Profile().direct3d.vertexShaderVersion = vertexVersion;
        platform::Profile().direct3d.pixelShaderVersion = pixelVersion;
        MakeDevice();
    }
};

constexpr DWORD kEnd = 0x0000FFFF;

// dcl_position v0; m4x4 oPos, v0, c0
const std::vector<DWORD> kVertex20 = {D3DVS_VERSION(2, 0), 0x0200001F, 0x80000000, 0x900F0000,
                                      0x03000014,          0xC00F0000, 0x90E40000, 0xA0E40000, kEnd};
// def c0, 1, -1, 0, 1 (a value with bit 31 set); a comment of two tokens; mov oC0, c0
const std::vector<DWORD> kPixel20 = {D3DPS_VERSION(2, 0), 0x05000051, 0xA00F0000, 0x3F800000, 0xBF800000,
                                     0x00000000,          0x3F800000, 0x0002FFFE, 0x12345678, 0x9ABCDEF0,
                                     0x02000001,          0x800F0800, 0xA0E40000, kEnd};
// vs_1_1 without lengths: def c0 with a negative value; mov oPos, v0
const std::vector<DWORD> kVertex11 = {D3DVS_VERSION(1, 1), 0x00000051, 0xA00F0000, 0xBF800000, 0x00000000,
                                      0x00000000,          0x3F800000, 0x00000001, 0xC00F0000, 0x90E40000, kEnd};
// ps_1_4: texld r0, t0; phase; mov r0, r0
const std::vector<DWORD> kPixel14 = {D3DPS_VERSION(1, 4), 0x00000042, 0x800F0000, 0xB0E40000, 0x0000FFFD,
                                     0x00000001,          0x800F0000, 0x80E40000, kEnd};

TEST_F(ShaderByteCodeTest, WellFormedCodeIsTakenAndKeptWordForWord) {
    MakeDeviceWithShaders(D3DVS_VERSION(2, 0), D3DPS_VERSION(2, 0));
    for (const std::vector<DWORD>* code : {&kVertex20, &kVertex11}) {
        Held<IDirect3DVertexShader9> shader;
        ASSERT_EQ(device->CreateVertexShader(code->data(), &shader), D3D_OK);
        UINT size = 0;
        ASSERT_EQ(shader->GetFunction(nullptr, &size), D3D_OK);
        ASSERT_EQ(size, code->size() * sizeof(DWORD));
        std::vector<DWORD> kept(code->size());
        ASSERT_EQ(shader->GetFunction(kept.data(), &size), D3D_OK);
        EXPECT_EQ(kept, *code);
        size -= 4;
        EXPECT_EQ(shader->GetFunction(kept.data(), &size), D3DERR_INVALIDCALL);
    }
    for (const std::vector<DWORD>* code : {&kPixel20, &kPixel14}) {
        Held<IDirect3DPixelShader9> shader;
        ASSERT_EQ(device->CreatePixelShader(code->data(), &shader), D3D_OK);
        UINT size = 0;
        ASSERT_EQ(shader->GetFunction(nullptr, &size), D3D_OK);
        EXPECT_EQ(size, code->size() * sizeof(DWORD));
    }
}

TEST_F(ShaderByteCodeTest, MalformedCodeOrCodeTheCapsDoNotAllowIsRefused) {
    MakeDeviceWithShaders(D3DVS_VERSION(2, 0), D3DPS_VERSION(2, 0));
    struct Case {
        const char* name;
        bool vertex;
        std::vector<DWORD> code;
    };
    const Case cases[] = {
        {"pixel code for a vertex shader", true, kPixel20},
        {"vertex code for a pixel shader", false, kVertex20},
        {"a version above the caps", true, {D3DVS_VERSION(3, 0), kEnd}},
        {"shader model 2.x on a 2.0 device", false, {D3DPS_VERSION(2, 1), kEnd}},
        {"no such version", true, {D3DVS_VERSION(1, 0), kEnd}},
        {"not a version token", true, {0x12345678, kEnd}},
        {"a parameter with no instruction", true, {D3DVS_VERSION(2, 0), 0x800F0000, kEnd}},
        {"an unknown opcode", true, {D3DVS_VERSION(2, 0), 0x00000031, kEnd}},
        {"a length beyond the parameters", true, {D3DVS_VERSION(2, 0), 0x03000001, 0xC00F0000, 0x90E40000, kEnd}},
        {"a phase outside ps_1_4", false, {D3DPS_VERSION(1, 3), 0x0000FFFD, kEnd}},
        {"a def without its destination", true, {D3DVS_VERSION(1, 1), 0x00000051, 0x3F800000, 0, 0, 0, 0, kEnd}},
        {"a def of another length", false, {D3DPS_VERSION(2, 0), 0x0F000051, 0xA00F0000, kEnd}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.vertex) {
            Held<IDirect3DVertexShader9> shader;
            EXPECT_EQ(device->CreateVertexShader(c.code.data(), &shader), D3DERR_INVALIDCALL);
            EXPECT_EQ(shader.object, nullptr);
        } else {
            Held<IDirect3DPixelShader9> shader;
            EXPECT_EQ(device->CreatePixelShader(c.code.data(), &shader), D3DERR_INVALIDCALL);
            EXPECT_EQ(shader.object, nullptr);
        }
    }
    Held<IDirect3DVertexShader9> shader;
    EXPECT_EQ(device->CreateVertexShader(nullptr, &shader), D3DERR_INVALIDCALL);
}

TEST_F(ShaderByteCodeTest, AnAdapterWithoutPixelShadersTakesNoneAndBelowTwoTakesNoShaderModelTwo) {
    MakeDeviceWithShaders(D3DVS_VERSION(1, 1), 0);
    Held<IDirect3DPixelShader9> pixel;
    EXPECT_EQ(device->CreatePixelShader(kPixel14.data(), &pixel), D3DERR_INVALIDCALL);
    Held<IDirect3DVertexShader9> vertex, older;
    EXPECT_EQ(device->CreateVertexShader(kVertex20.data(), &vertex), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexShader(kVertex11.data(), &older), D3D_OK);
    // No pixel shader constants either.
    const float constant[4] = {};
    EXPECT_EQ(device->SetPixelShaderConstantF(0, constant, 1), D3DERR_INVALIDCALL);
}

TEST_F(ShaderByteCodeTest, ConstantsMustFitTheRegistersOfTheShaderModel) {
    MakeDeviceWithShaders(D3DVS_VERSION(2, 0), D3DPS_VERSION(2, 0));
    const std::vector<float> values(4 * 256, 0.5f);
    const BOOL flags[16] = {TRUE};
    EXPECT_EQ(device->SetVertexShaderConstantF(0, values.data(), 256), D3D_OK);
    EXPECT_EQ(device->SetVertexShaderConstantF(255, values.data(), 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShaderConstantF(31, values.data(), 1), D3D_OK);
    EXPECT_EQ(device->SetPixelShaderConstantF(31, values.data(), 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShaderConstantB(4, flags, 12), D3D_OK);
    EXPECT_EQ(device->SetVertexShaderConstantB(4, flags, 13), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShaderConstantF(0, nullptr, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShaderConstantF(0xFFFFFFFFu, values.data(), 2), D3DERR_INVALIDCALL);
}

}  // namespace
