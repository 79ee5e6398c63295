// The framework's current drawing state: what every draw reads to decide how
// it combines with its target and where it may draw, the 3D transform, fog
// and material state of the hardware path, and the options for graphics made
// from now on.
//
// The settings begin with what the software draws read, their blend mode,
// blend parameter, packed bright colour and draw area (MemImgDrawSettings),
// which every software draw is handed.
#pragma once

#include <cstdint>

#include "framework/graphics/models/matrix_math.h"
#include "framework/softrender/memimg.h"
#include "platform/win_types.h"

struct GraphicRecord;

struct FLOAT4 {
    float x;
    float y;
    float z;
    float w;
};

// Z enable, Z write, the Z comparison (4: less or equal) and the depth bias.
struct DepthSettings {
    int enable;
    int write;
    int function;
    int bias;
};

// How the projection is made: 0 perspective by field of view, 1 orthographic,
// 2 the matrix as given.
struct ProjectionSettings {
    int mode;
    float nearZ;
    float farZ;
    float aspectScale;
    float fieldOfView;  // radians
    float orthoHeight;  // height of the orthographic view
    MATRIX matrix;
};

struct MaterialSettings {
    FLOAT4 diffuse;
    FLOAT4 ambient;
    FLOAT4 specular;
    FLOAT4 emissive;
    float power;
};

constexpr int kSamplerStageCount = 8;
// D3DTADDRESS_CLAMP.
constexpr int kTextureAddressClamp = 3;
// D3DCMP_LESSEQUAL.
constexpr int kDepthLessEqual = 4;

// The blend modes, the values of DrawSettings::blendMode that the framework
// and the game name. The software draws draw in modes 0 to 4, 10 and 11 and
// draw nothing in the others; the hardware path has a row of device states
// for each of 0 to 12.
constexpr int kBlendModeNone = 0;      // no blending: the source is copied
constexpr int kBlendModeAlpha = 1;     // towards the source by the parameter
constexpr int kBlendModeAdd = 2;       // the source scaled by the parameter added, saturating
constexpr int kBlendModeSubtract = 3;  // the source scaled by the parameter taken off, saturating
constexpr int kBlendModeMultiply = 4;  // the target multiplied by the source
// Hardware path only: the source added by its alpha. The emulated subtract
// draws its middle step in it.
constexpr int kBlendModeDeviceAdd = 5;
// Hardware path only: the target's colour stays; the alpha test and the Z
// buffer still act.
constexpr int kBlendModeKeepTarget = 8;
constexpr int kBlendModeInverted = 10;  // towards the inverted source by the parameter
constexpr int kBlendModeProduct = 11;   // towards the product of source and target by the parameter

// Begins with the blend mode, the blend parameter, the packed bright colour
// (which always equals the three bytes below) and the draw area (empty until
// a draw target sets it).
struct DrawSettings : MemImgDrawSettings {
    uint8_t brightRed = 255;
    uint8_t brightGreen = 255;
    uint8_t brightBlue = 255;
    // The colour and alpha that the hardware path gives every vertex:
    // GetDrawDiffuseColor's value, kept up to date by the setters.
    uint32_t diffuseColor = 0xFFFFFFFF;

    // The blend graphic (-1: none), its two parameters (the border parameter
    // and the border range, 0 to 255) and, on the software path, the memory
    // image of its image block.
    int blendGraphic = -1;
    int blendGraphicParam1 = 0;
    int blendGraphicParam2 = 0;
    const MEMIMG* blendImage = nullptr;
    // Hardware path: the size of the first texture of the blend graphic's
    // image block, and its reciprocals, which turn pixels into blend texture
    // coordinates.
    float blendTextureWidth = 0.0f;
    float blendTextureHeight = 0.0f;
    float blendTextureReciprocalWidth = 0.0f;
    float blendTextureReciprocalHeight = 0.0f;

    // The draw area again as floats (left, top, right, bottom), the rectangle
    // as last given before ordering and clamping, and 1 while the area has no
    // width or no height: draws then draw nothing.
    float drawAreaFloat[4] = {0, 0, 0, 0};
    RECT requestedDrawArea = {0, 0, 0, 0};
    int drawAreaEmpty = 0;

    // A screen code (-2 the back buffer, -4 the front screen) or a graphic.
    int drawTarget = -2;

    int filterMode = 0;  // 0 nearest, 1 linear, 2 anisotropic
    float depth2D = 0.2f;  // z of every vertex of a 2D draw on the hardware path
    DepthSettings depthSet2D = {0, 0, kDepthLessEqual};
    DepthSettings depthSet3D = {0, 0, kDepthLessEqual};
    // Texture address modes U and V of each sampler stage.
    int textureAddressU[kSamplerStageCount] = {kTextureAddressClamp, kTextureAddressClamp, kTextureAddressClamp,
                                               kTextureAddressClamp, kTextureAddressClamp, kTextureAddressClamp,
                                               kTextureAddressClamp, kTextureAddressClamp};
    int textureAddressV[kSamplerStageCount] = {kTextureAddressClamp, kTextureAddressClamp, kTextureAddressClamp,
                                               kTextureAddressClamp, kTextureAddressClamp, kTextureAddressClamp,
                                               kTextureAddressClamp, kTextureAddressClamp};
    int pipelineSwitch = 1;
    // What the hardware draw pipeline takes besides: lighting and specular
    // highlights held off even where a draw asks for them, the blend
    // parameter acting in blend mode 0 too, fog on, the samplers' maximum
    // anisotropy and the cull mode (0 none, 1 counter-clockwise, 2 clockwise).
    int lightingOff = 0;
    int specularOff = 0;
    int blendParamInMode0 = 0;
    int fogEnable = 0;
    int maxAnisotropy = 1;
    int cullMode = 0;

    int fogMode = 3;
    uint32_t fogColor = 0xFFFFFFFF;
    float fogStart = 0.0f;
    float fogEnd = 1500.0f;

    // Set for each draw target when it is selected.
    MATRIX worldMatrix = {};
    MATRIX viewMatrix = {};
    MATRIX projectionMatrix = {};
    MATRIX postProjectionMatrix = {};  // projected coordinates to the target
    MATRIX drawAreaMatrix = {};        // projected coordinates into the draw area

    ProjectionSettings projection = {0, 10.0f, 10000.0f, 1.0f, 1.0471976f, 1.0f,
                                     {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}};
    MaterialSettings material = {{0.8f, 0.8f, 0.8f, 1.0f}, {0, 0, 0, 0}, {0.8f, 0.8f, 0.8f, 0.0f}, {0, 0, 0, 0}, 20.0f};
    // 1 until the hardware path has sent the material with a draw.
    int materialChanged = 1;

    // Options for graphics made from now on.
    int newGraphColorDepth = 0;     // 0 the screen's depth, else 16 or 32
    int newGraphDrawTarget = 0;     // 1: new graphics are render targets
    int newGraphTransFlag = 1;      // new graphics use the transparent colour
    int newGraphAlphaFlag = 0;      // new graphics get an alpha channel
    int newGraphUnmanaged = 0;      // textures live in the device's default pool
    uint32_t transparentColor = 0;  // colour key of new graphics, 0xRRGGBB
};

extern DrawSettings CurrentDrawSettings;
// Set while the screen is drawn at 640 by 480 and shown as 320 by 240; the
// settings reset keeps it.
extern int Screen320x240Flag;

// Puts every setting back to its default (the wait-for-vertical-blank setting,
// the 320x240 flag and the restore routine are kept), selects the front
// screen and makes its whole area the draw area. Returns 0.
int ResetGraphicsSettings();

// Both values are clamped to 0-255 for the parameter (256 and above become
// 255, negatives 0). Returns 0.
int SetBlendModeAndParam(int mode, int param);
// Each channel clamped to 0-255. Returns 0.
int SetDrawBrightnessRGB(int red, int green, int blue);
// The low 24 bits of 0xRRGGBB become the bright colour.
void SetDrawBrightnessColor(uint32_t color);
// The bright colour as 0x00RRGGBB.
uint32_t GetDrawBrightColor();
// (alpha << 24) | (R << 16) | (G << 8) | B, where alpha is the blend
// parameter when the blend mode is not 0, else 255.
uint32_t GetDrawDiffuseColor();

// -1 clears the blend graphic; any other value must be a live graphic. Both
// parameters are clamped to 0-255. 0, or -1 for a bad graphic.
int SetBlendGraphicAndParams(int handle, int param1, int param2);
// 0 when the blend graphic is at least as wide and as high as the graphic;
// -1 when it is smaller either way or no live blend graphic is set.
int CheckBlendGraphicCovers(const GraphicRecord* record);
// Stops a graphic from being the blend graphic, as when it is deleted.
void ReleaseBlendGraphic(int handle);

// Keeps the rectangle as given, orders its corners and clamps them to the draw
// target's size, and makes it the draw area; an area without width or height
// sets the empty-area flag. 0, or -1 when the draw target is a graphic that
// no longer exists.
int SetDrawAreaRect(int x1, int y1, int x2, int y2);
// Sets the draw area again from the rectangle last given, clipped anew.
int ReapplyDrawAreaRect();

// Texture filtering of draws: 0 nearest, 1 linear, 2 anisotropic. Returns 0.
int SetTextureFilterMode(int mode);
int GetTextureFilterMode();

int SetFogMode(int mode);
// The fog colour becomes 0xFF000000 | r << 16 | g << 8 | b.
int SetFogColor(int red, int green, int blue);
int SetFogStartEnd(float start, float end);
int SetWorldMatrix(const MATRIX* matrix);
int SetViewMatrix(const MATRIX* matrix);
int SetProjectionMatrix(const MATRIX* matrix);
int SetPostProjectionMatrix(const MATRIX* matrix);
// Fills the vector and returns it.
FLOAT4* MakeFloat4(FLOAT4* vector, float x, float y, float z, float w);

// A colour (0 to 255 each) as a pixel value of the screen: each channel cut
// to its width and put at its place, plus the format's alpha mask.
uint32_t MakeScreenColorCode(int red, int green, int blue);
// A pixel value of the screen split into 0 to 255 channels. Returns 0.
int SplitScreenColorCode(uint32_t color, int* red, int* green, int* blue);

int SetNewGraphColorDepth(int depth);
int GetNewGraphColorDepth();
int SetNewGraphDrawTargetFlag(int flag);
int GetNewGraphDrawTargetFlag();
int SetNewGraphTransFlag(int flag);
int GetNewGraphTransFlag();
int SetNewGraphAlphaFlag(int flag);
int GetNewGraphAlphaFlag();
int SetNewGraphUnmanagedFlag(int flag);
int GetNewGraphUnmanagedFlag();
// The transparent colour of new graphics, 0x00RRGGBB.
uint32_t GetDrawTransparentColor();
int SetDrawTransparentColor(uint32_t color);

int SetScreen320x240Flag(int flag);
