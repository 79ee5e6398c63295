// Direct3D 9: the adapter object that Direct3DCreate9 makes ("d3d9.dll",
// looked up by name), its device with scenes, clears, presents and the swap
// chain, surfaces and render targets, depth surfaces, textures with mipmap
// levels, vertex and index buffers, vertex declarations, vertex and pixel
// shaders with their constants, the render, texture-stage and sampler states,
// transforms, the material and lights, the viewport and scissor rectangle,
// drawing from memory (DrawPrimitiveUP, DrawIndexedPrimitiveUP), the copies
// between surfaces (StretchRect, UpdateSurface, GetRenderTargetData,
// ColorFill) and device loss.
//
// Stands in for the Direct3D 9 runtime the framework calls. Left out: more
// than one adapter, the reference and software device types, Reset (a lost
// device is released and made anew), cube and volume textures, stream
// sources and drawing from vertex and index buffers, queries, state blocks,
// multisampling, more than one render target, patches, the getters the
// framework never calls, and executing shaders (their byte code is checked
// and kept; no draw of this system sets one).
// Built on our own COM base (platform/com). Every surface, texture level and
// buffer keeps its bytes in memory in the layout and pitch given here, so
// locks return pointers into them. What the adapter offers (formats, caps,
// shader versions, failures, device loss) is the machine profile's direct3d
// part; the display modes are the display's (platform/user). Drawing,
// clearing, copies between surfaces and presenting go through a renderer
// (platform/d3d9/renderer.h): OpenGL through a context of the device's
// window (platform/d3d9/opengl_renderer.h), or, for tests, one that records
// the calls; the device's own logic knows nothing of the host.
//
// Identifiers (GUIDs) are our own values: the framework names them and never
// looks inside.
#pragma once

#include "platform/com/com.h"
#include "platform/win_types.h"

// ---- results ---------------------------------------------------------------------

#define D3D_OK S_OK
#define D3DERR_OUTOFVIDEOMEMORY ((HRESULT)0x8876017Cu)
#define D3DERR_DEVICELOST ((HRESULT)0x88760868u)
#define D3DERR_DEVICENOTRESET ((HRESULT)0x88760869u)
#define D3DERR_NOTAVAILABLE ((HRESULT)0x8876086Au)
#define D3DERR_INVALIDCALL ((HRESULT)0x8876086Cu)

// ---- identifiers -----------------------------------------------------------------

#define KILN_D3D9_GUID(n) {0x4B494C00u + (n), 0x4433u, 0x4439u, {0x00u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, (BYTE)(n)}}

inline constexpr GUID IID_IDirect3D9 = KILN_D3D9_GUID(1);
inline constexpr GUID IID_IDirect3DDevice9 = KILN_D3D9_GUID(2);
inline constexpr GUID IID_IDirect3DSwapChain9 = KILN_D3D9_GUID(3);
inline constexpr GUID IID_IDirect3DSurface9 = KILN_D3D9_GUID(4);
inline constexpr GUID IID_IDirect3DTexture9 = KILN_D3D9_GUID(5);
inline constexpr GUID IID_IDirect3DVertexBuffer9 = KILN_D3D9_GUID(6);
inline constexpr GUID IID_IDirect3DIndexBuffer9 = KILN_D3D9_GUID(7);
inline constexpr GUID IID_IDirect3DVertexDeclaration9 = KILN_D3D9_GUID(8);
inline constexpr GUID IID_IDirect3DVertexShader9 = KILN_D3D9_GUID(9);
inline constexpr GUID IID_IDirect3DPixelShader9 = KILN_D3D9_GUID(10);

// The version a program asks Direct3DCreate9 for.
#define D3D_SDK_VERSION 32u

#define D3DADAPTER_DEFAULT 0u

#ifndef MAKEFOURCC
#define MAKEFOURCC(a, b, c, d) \
    ((DWORD)(BYTE)(a) | ((DWORD)(BYTE)(b) << 8) | ((DWORD)(BYTE)(c) << 16) | ((DWORD)(BYTE)(d) << 24))
#endif

// ---- formats, pools, usages, locks ----------------------------------------------------

enum D3DFORMAT : DWORD {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_R3G3B2 = 27,
    D3DFMT_A8R3G3B2 = 29,
    D3DFMT_X4R4G4B4 = 30,
    D3DFMT_A2B10G10R10 = 31,
    D3DFMT_A8B8G8R8 = 32,
    D3DFMT_X8B8G8R8 = 33,
    D3DFMT_A2R10G10B10 = 35,
    D3DFMT_D32 = 71,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D16 = 80,
    D3DFMT_VERTEXDATA = 100,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
    D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
    D3DFMT_DXT2 = MAKEFOURCC('D', 'X', 'T', '2'),
    D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
    D3DFMT_DXT4 = MAKEFOURCC('D', 'X', 'T', '4'),
    D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
    D3DFMT_YUY2 = MAKEFOURCC('Y', 'U', 'Y', '2'),
    D3DFMT_UYVY = MAKEFOURCC('U', 'Y', 'V', 'Y'),
    D3DFMT_YV12 = MAKEFOURCC('Y', 'V', '1', '2'),
};

enum D3DPOOL : DWORD {
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
    D3DPOOL_SYSTEMMEM = 2,
};

#define D3DUSAGE_RENDERTARGET 0x00000001u
#define D3DUSAGE_DEPTHSTENCIL 0x00000002u
#define D3DUSAGE_WRITEONLY 0x00000008u
#define D3DUSAGE_DYNAMIC 0x00000200u

// Lock flags are hints: every lock gives the resource's own bytes.
#define D3DLOCK_READONLY 0x00000010u
#define D3DLOCK_DISCARD 0x00002000u

enum D3DRESOURCETYPE : DWORD {
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_TEXTURE = 3,
    D3DRTYPE_VERTEXBUFFER = 6,
    D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DMULTISAMPLE_TYPE : DWORD {
    D3DMULTISAMPLE_NONE = 0,
};

enum D3DDEVTYPE : DWORD {
    D3DDEVTYPE_HAL = 1,
    D3DDEVTYPE_REF = 2,
};

enum D3DBACKBUFFER_TYPE : DWORD {
    D3DBACKBUFFER_TYPE_MONO = 0,
};

enum D3DTEXTUREFILTERTYPE : DWORD {
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
    D3DTEXF_ANISOTROPIC = 3,
};

typedef DWORD D3DCOLOR;

typedef struct _D3DSURFACE_DESC {
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    UINT Width;
    UINT Height;
} D3DSURFACE_DESC;

typedef struct _D3DLOCKED_RECT {
    INT Pitch;
    void* pBits;
} D3DLOCKED_RECT;

typedef struct _D3DRECT {
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
} D3DRECT;

// ---- the adapter ------------------------------------------------------------------------

typedef struct _D3DDISPLAYMODE {
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
} D3DDISPLAYMODE;

typedef struct _D3DADAPTER_IDENTIFIER9 {
    char Driver[512];
    char Description[512];
} D3DADAPTER_IDENTIFIER9;

// Shader versions: the version token of the byte code, and how the caps give
// the highest version the device takes.
#define D3DVS_VERSION(major, minor) (0xFFFE0000u | ((DWORD)(major) << 8) | (DWORD)(minor))
#define D3DPS_VERSION(major, minor) (0xFFFF0000u | ((DWORD)(major) << 8) | (DWORD)(minor))
#define D3DSHADER_VERSION_MAJOR(version) (((version) >> 8) & 0xFFu)
#define D3DSHADER_VERSION_MINOR(version) ((version) & 0xFFu)

#define D3DDEVCAPS_HWTRANSFORMANDLIGHT 0x00010000u
#define D3DPMISCCAPS_BLENDOP 0x00000800u
#define D3DPTEXTURECAPS_SQUAREONLY 0x00000020u

// The capabilities the framework reads, and those the device checks calls
// against.
typedef struct _D3DCAPS9 {
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD PresentationIntervals;
    DWORD DevCaps;
    DWORD PrimitiveMiscCaps;
    DWORD TextureCaps;
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
    DWORD MaxAnisotropy;
    DWORD MaxTextureBlendStages;
    DWORD MaxSimultaneousTextures;
    DWORD MaxActiveLights;
    DWORD MaxPrimitiveCount;
    DWORD NumSimultaneousRTs;
    DWORD VertexShaderVersion;
    DWORD MaxVertexShaderConst;
    DWORD PixelShaderVersion;
} D3DCAPS9;

// ---- device creation ----------------------------------------------------------------------

#define D3DCREATE_FPU_PRESERVE 0x00000002u
#define D3DCREATE_MULTITHREADED 0x00000004u
#define D3DCREATE_PUREDEVICE 0x00000010u
#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020u
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040u
#define D3DCREATE_MIXED_VERTEXPROCESSING 0x00000080u

enum D3DSWAPEFFECT : DWORD {
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3,
};

#define D3DPRESENTFLAG_LOCKABLE_BACKBUFFER 0x00000001u

#define D3DPRESENT_INTERVAL_DEFAULT 0x00000000u
#define D3DPRESENT_INTERVAL_ONE 0x00000001u
#define D3DPRESENT_INTERVAL_IMMEDIATE 0x80000000u

typedef struct _D3DPRESENT_PARAMETERS_ {
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
} D3DPRESENT_PARAMETERS;

// ---- states --------------------------------------------------------------------------------

enum D3DRENDERSTATETYPE : DWORD {
    D3DRS_ZENABLE = 7,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_FOGCOLOR = 34,
    D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37,
    D3DRS_FOGDENSITY = 38,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FOGVERTEXMODE = 140,
    D3DRS_DIFFUSEMATERIALSOURCE = 145,
    D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_BLENDOP = 171,
    D3DRS_DEPTHBIAS = 195,
};

enum D3DZBUFFERTYPE : DWORD { D3DZB_FALSE = 0, D3DZB_TRUE = 1 };
enum D3DSHADEMODE : DWORD { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DFOGMODE : DWORD { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };
enum D3DMATERIALCOLORSOURCE : DWORD { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };

enum D3DCMPFUNC : DWORD {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
};

enum D3DBLEND : DWORD {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
    D3DBLEND_SRCALPHASAT = 11,
    D3DBLEND_BOTHSRCALPHA = 12,     // source alpha, and its inverse for the destination
    D3DBLEND_BOTHINVSRCALPHA = 13,  // the inverse of source alpha, and source alpha for the destination
};

enum D3DBLENDOP : DWORD {
    D3DBLENDOP_ADD = 1,
    D3DBLENDOP_SUBTRACT = 2,
    D3DBLENDOP_REVSUBTRACT = 3,
    D3DBLENDOP_MIN = 4,
    D3DBLENDOP_MAX = 5,
};

enum D3DTEXTURESTAGESTATETYPE : DWORD {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_TEXTURETRANSFORMFLAGS = 24,
};

enum D3DTEXTUREOP : DWORD {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
    D3DTOP_ADDSIGNED = 8,
    D3DTOP_ADDSIGNED2X = 9,
    D3DTOP_SUBTRACT = 10,
    D3DTOP_ADDSMOOTH = 11,
    D3DTOP_BLENDDIFFUSEALPHA = 12,
    D3DTOP_BLENDTEXTUREALPHA = 13,
    D3DTOP_BLENDFACTORALPHA = 14,
    D3DTOP_BLENDTEXTUREALPHAPM = 15,
    D3DTOP_BLENDCURRENTALPHA = 16,
    D3DTOP_PREMODULATE = 17,
    D3DTOP_MODULATEALPHA_ADDCOLOR = 18,
    D3DTOP_MODULATECOLOR_ADDALPHA = 19,
    D3DTOP_MODULATEINVALPHA_ADDCOLOR = 20,
    D3DTOP_MODULATEINVCOLOR_ADDALPHA = 21,
    D3DTOP_BUMPENVMAP = 22,
    D3DTOP_BUMPENVMAPLUMINANCE = 23,
    D3DTOP_DOTPRODUCT3 = 24,
    D3DTOP_MULTIPLYADD = 25,
    D3DTOP_LERP = 26,
};

// Texture-stage arguments, with the modifier bits.
#define D3DTA_DIFFUSE 0x00000000u
#define D3DTA_CURRENT 0x00000001u
#define D3DTA_TEXTURE 0x00000002u
#define D3DTA_TFACTOR 0x00000003u
#define D3DTA_SPECULAR 0x00000004u
#define D3DTA_TEMP 0x00000005u
#define D3DTA_CONSTANT 0x00000006u
#define D3DTA_SELECTMASK 0x0000000Fu
#define D3DTA_COMPLEMENT 0x00000010u
#define D3DTA_ALPHAREPLICATE 0x00000020u

enum D3DTEXTURETRANSFORMFLAGS : DWORD {
    D3DTTFF_DISABLE = 0,
    D3DTTFF_COUNT1 = 1,
    D3DTTFF_COUNT2 = 2,
    D3DTTFF_COUNT3 = 3,
    D3DTTFF_COUNT4 = 4,
    D3DTTFF_PROJECTED = 256,
};

enum D3DSAMPLERSTATETYPE : DWORD {
    D3DSAMP_ADDRESSU = 1,
    D3DSAMP_ADDRESSV = 2,
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
    D3DSAMP_MAXANISOTROPY = 10,
};

enum D3DTEXTUREADDRESS : DWORD {
    D3DTADDRESS_WRAP = 1,
    D3DTADDRESS_MIRROR = 2,
    D3DTADDRESS_CLAMP = 3,
    D3DTADDRESS_BORDER = 4,
    D3DTADDRESS_MIRRORONCE = 5,
};

// ---- transforms, material, lights, viewport ------------------------------------------------

typedef struct _D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
} D3DMATRIX;

enum D3DTRANSFORMSTATETYPE : DWORD {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_TEXTURE0 = 16,
    D3DTS_TEXTURE1 = 17,
    D3DTS_TEXTURE2 = 18,
    D3DTS_TEXTURE3 = 19,
    D3DTS_TEXTURE4 = 20,
    D3DTS_TEXTURE5 = 21,
    D3DTS_TEXTURE6 = 22,
    D3DTS_TEXTURE7 = 23,
    D3DTS_WORLD = 256,
};

typedef struct _D3DVIEWPORT9 {
    DWORD X;
    DWORD Y;
    DWORD Width;
    DWORD Height;
    float MinZ;
    float MaxZ;
} D3DVIEWPORT9;

typedef struct _D3DCOLORVALUE {
    float r;
    float g;
    float b;
    float a;
} D3DCOLORVALUE;

typedef struct _D3DVECTOR {
    float x;
    float y;
    float z;
} D3DVECTOR;

typedef struct _D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
} D3DMATERIAL9;

enum D3DLIGHTTYPE : DWORD {
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3,
};

typedef struct _D3DLIGHT9 {
    D3DLIGHTTYPE Type;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range;
    float Falloff;
    float Attenuation0;
    float Attenuation1;
    float Attenuation2;
    float Theta;
    float Phi;
} D3DLIGHT9;

// ---- clearing and drawing ---------------------------------------------------------------------

#define D3DCLEAR_TARGET 0x00000001u
#define D3DCLEAR_ZBUFFER 0x00000002u
#define D3DCLEAR_STENCIL 0x00000004u

enum D3DPRIMITIVETYPE : DWORD {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

// Flexible vertex formats: the parts of a vertex, in this order in memory.
#define D3DFVF_XYZ 0x002u
#define D3DFVF_XYZRHW 0x004u
#define D3DFVF_NORMAL 0x010u
#define D3DFVF_DIFFUSE 0x040u
#define D3DFVF_SPECULAR 0x080u
#define D3DFVF_TEXCOUNT_SHIFT 8
#define D3DFVF_TEX0 0x000u
#define D3DFVF_TEX1 0x100u
#define D3DFVF_TEX2 0x200u
#define D3DFVF_TEX3 0x300u
#define D3DFVF_TEX4 0x400u
#define D3DFVF_TEX5 0x500u
#define D3DFVF_TEX6 0x600u
#define D3DFVF_TEX7 0x700u
#define D3DFVF_TEX8 0x800u
// How many floats texture coordinate set `set` has (two when not given).
#define D3DFVF_TEXCOORDSIZE1(set) (3u << ((set) * 2 + 16))
#define D3DFVF_TEXCOORDSIZE2(set) (0u)
#define D3DFVF_TEXCOORDSIZE3(set) (1u << ((set) * 2 + 16))
#define D3DFVF_TEXCOORDSIZE4(set) (2u << ((set) * 2 + 16))

// ---- vertex declarations ------------------------------------------------------------------------

typedef struct _D3DVERTEXELEMENT9 {
    WORD Stream;
    WORD Offset;
    BYTE Type;
    BYTE Method;
    BYTE Usage;
    BYTE UsageIndex;
} D3DVERTEXELEMENT9;

enum D3DDECLTYPE : BYTE {
    D3DDECLTYPE_FLOAT1 = 0,
    D3DDECLTYPE_FLOAT2 = 1,
    D3DDECLTYPE_FLOAT3 = 2,
    D3DDECLTYPE_FLOAT4 = 3,
    D3DDECLTYPE_D3DCOLOR = 4,
    D3DDECLTYPE_UBYTE4 = 5,
    D3DDECLTYPE_SHORT2 = 6,
    D3DDECLTYPE_SHORT4 = 7,
    D3DDECLTYPE_UBYTE4N = 8,
    D3DDECLTYPE_SHORT2N = 9,
    D3DDECLTYPE_SHORT4N = 10,
    D3DDECLTYPE_USHORT2N = 11,
    D3DDECLTYPE_USHORT4N = 12,
    D3DDECLTYPE_UDEC3 = 13,
    D3DDECLTYPE_DEC3N = 14,
    D3DDECLTYPE_FLOAT16_2 = 15,
    D3DDECLTYPE_FLOAT16_4 = 16,
    D3DDECLTYPE_UNUSED = 17,
};

enum D3DDECLMETHOD : BYTE { D3DDECLMETHOD_DEFAULT = 0 };

enum D3DDECLUSAGE : BYTE {
    D3DDECLUSAGE_POSITION = 0,
    D3DDECLUSAGE_BLENDWEIGHT = 1,
    D3DDECLUSAGE_BLENDINDICES = 2,
    D3DDECLUSAGE_NORMAL = 3,
    D3DDECLUSAGE_PSIZE = 4,
    D3DDECLUSAGE_TEXCOORD = 5,
    D3DDECLUSAGE_TANGENT = 6,
    D3DDECLUSAGE_BINORMAL = 7,
    D3DDECLUSAGE_TESSFACTOR = 8,
    D3DDECLUSAGE_POSITIONT = 9,
    D3DDECLUSAGE_COLOR = 10,
    D3DDECLUSAGE_FOG = 11,
    D3DDECLUSAGE_DEPTH = 12,
    D3DDECLUSAGE_SAMPLE = 13,
};

// The element that ends a declaration.
#define D3DDECL_END() {0xFF, 0, D3DDECLTYPE_UNUSED, 0, 0, 0}

// ---- interfaces ----------------------------------------------------------------------------------

struct IDirect3DDevice9;

// What every resource the device makes is.
struct IDirect3DResource9 : IUnknown {};

struct IDirect3DSurface9 : IDirect3DResource9 {
    virtual HRESULT WINAPI GetDesc(D3DSURFACE_DESC* description) = 0;
    // Locks the whole surface (rect null) or a rectangle of it; the bits
    // point at the rectangle's first pixel (or block) in the surface's own
    // memory. A surface is locked at most once at a time.
    virtual HRESULT WINAPI LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT WINAPI UnlockRect() = 0;
};

struct IDirect3DBaseTexture9 : IDirect3DResource9 {};

// A texture's levels halve in each direction down to 1; a level's surface
// shares the texture's reference count.
struct IDirect3DTexture9 : IDirect3DBaseTexture9 {
    virtual HRESULT WINAPI GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
    virtual HRESULT WINAPI LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT WINAPI UnlockRect(UINT level) = 0;
};

// Buffers may be locked again while locked; each lock needs its unlock.
struct IDirect3DVertexBuffer9 : IDirect3DResource9 {
    // A size of 0 locks from the offset to the end.
    virtual HRESULT WINAPI Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
    virtual HRESULT WINAPI Unlock() = 0;
};

struct IDirect3DIndexBuffer9 : IDirect3DResource9 {
    virtual HRESULT WINAPI Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
    virtual HRESULT WINAPI Unlock() = 0;
};

struct IDirect3DVertexDeclaration9 : IUnknown {};

// Shaders keep the byte code they were made from. GetFunction with null data
// gives the size in bytes; with data, copies the code when `size` is enough.
struct IDirect3DVertexShader9 : IUnknown {
    virtual HRESULT WINAPI GetFunction(void* data, UINT* size) = 0;
};

struct IDirect3DPixelShader9 : IUnknown {
    virtual HRESULT WINAPI GetFunction(void* data, UINT* size) = 0;
};

// The device's one swap chain. The dirty region is not supported and must
// be null.
struct IDirect3DSwapChain9 : IUnknown {
    virtual HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                   const void* dirtyRegion, DWORD flags) = 0;
    virtual HRESULT WINAPI GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) = 0;
};

struct IDirect3DDevice9 : IUnknown {
    virtual HRESULT WINAPI TestCooperativeLevel() = 0;
    virtual HRESULT WINAPI GetDeviceCaps(D3DCAPS9* caps) = 0;
    virtual HRESULT WINAPI GetSwapChain(UINT swapChain, IDirect3DSwapChain9** chain) = 0;
    virtual HRESULT WINAPI GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                         IDirect3DSurface9** surface) = 0;
    virtual HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                   const void* dirtyRegion) = 0;
    virtual HRESULT WINAPI SetDialogBoxMode(BOOL enable) = 0;

    virtual HRESULT WINAPI CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                         D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                              IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                             IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                              BOOL lockable, IDirect3DSurface9** surface, HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                     D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                                     BOOL discard, IDirect3DSurface9** surface,
                                                     HANDLE* sharedHandle) = 0;
    virtual HRESULT WINAPI CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                       IDirect3DSurface9** surface, HANDLE* sharedHandle) = 0;

    virtual HRESULT WINAPI UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect,
                                         IDirect3DSurface9* destination, const POINT* destPoint) = 0;
    virtual HRESULT WINAPI GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) = 0;
    virtual HRESULT WINAPI StretchRect(IDirect3DSurface9* source, const RECT* sourceRect,
                                       IDirect3DSurface9* destination, const RECT* destRect,
                                       D3DTEXTUREFILTERTYPE filter) = 0;
    virtual HRESULT WINAPI ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) = 0;

    virtual HRESULT WINAPI SetRenderTarget(DWORD index, IDirect3DSurface9* surface) = 0;
    virtual HRESULT WINAPI SetDepthStencilSurface(IDirect3DSurface9* surface) = 0;

    virtual HRESULT WINAPI BeginScene() = 0;
    virtual HRESULT WINAPI EndScene() = 0;
    virtual HRESULT WINAPI Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                 DWORD stencil) = 0;

    virtual HRESULT WINAPI SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT WINAPI SetViewport(const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT WINAPI SetMaterial(const D3DMATERIAL9* material) = 0;
    virtual HRESULT WINAPI SetLight(DWORD index, const D3DLIGHT9* light) = 0;
    virtual HRESULT WINAPI LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT WINAPI SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT WINAPI SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT WINAPI SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
    virtual HRESULT WINAPI SetScissorRect(const RECT* rect) = 0;

    virtual HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                           UINT stride) = 0;
    virtual HRESULT WINAPI DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT vertexCount,
                                                  UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                                  const void* vertices, UINT stride) = 0;

    virtual HRESULT WINAPI CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                                   IDirect3DVertexDeclaration9** declaration) = 0;
    virtual HRESULT WINAPI SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) = 0;
    virtual HRESULT WINAPI SetFVF(DWORD fvf) = 0;

    virtual HRESULT WINAPI CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) = 0;
    virtual HRESULT WINAPI SetVertexShader(IDirect3DVertexShader9* shader) = 0;
    virtual HRESULT WINAPI SetVertexShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) = 0;
    virtual HRESULT WINAPI SetVertexShaderConstantB(UINT startRegister, const BOOL* data, UINT boolCount) = 0;
    virtual HRESULT WINAPI CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) = 0;
    virtual HRESULT WINAPI SetPixelShader(IDirect3DPixelShader9* shader) = 0;
    virtual HRESULT WINAPI SetPixelShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) = 0;
};

struct IDirect3D9 : IUnknown {
    virtual HRESULT WINAPI GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) = 0;
    // The display modes of a format, for full-screen devices.
    virtual UINT WINAPI GetAdapterModeCount(UINT adapter, D3DFORMAT format) = 0;
    virtual HRESULT WINAPI EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT WINAPI GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) = 0;
    // D3D_OK when the adapter makes resources of `checkFormat` for `usage` on
    // a display in `adapterFormat`, else D3DERR_NOTAVAILABLE.
    virtual HRESULT WINAPI CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                             DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT WINAPI CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                                  D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) = 0;
    virtual HRESULT WINAPI GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) = 0;
    // Fills in the parameters it takes defaults for (a zero size, an unknown
    // format, no back-buffer count), as the runtime does.
    virtual HRESULT WINAPI CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                        D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) = 0;
};

typedef IDirect3D9* LPDIRECT3D9;
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;
typedef IDirect3DSwapChain9* LPDIRECT3DSWAPCHAIN9;
typedef IDirect3DSurface9* LPDIRECT3DSURFACE9;
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;
typedef IDirect3DBaseTexture9* LPDIRECT3DBASETEXTURE9;
typedef IDirect3DVertexBuffer9* LPDIRECT3DVERTEXBUFFER9;
typedef IDirect3DIndexBuffer9* LPDIRECT3DINDEXBUFFER9;
typedef IDirect3DVertexDeclaration9* LPDIRECT3DVERTEXDECLARATION9;
typedef IDirect3DVertexShader9* LPDIRECT3DVERTEXSHADER9;
typedef IDirect3DPixelShader9* LPDIRECT3DPIXELSHADER9;

// The export of "d3d9.dll" that programs look up by name: the adapter
// object, or null when the SDK version is not D3D_SDK_VERSION or the machine
// has no Direct3D 9.
typedef IDirect3D9*(WINAPI* LPDIRECT3DCREATE9)(UINT sdkVersion);
IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion);
