// The formats of a new device: the screen's as the back buffer has it, the
// first Z format that goes with it, and for each texture format index the
// first candidate the device accepts, each choice logged.
#include "framework/graphics/device/device_formats.h"

#include "framework/base/log.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/screen/screen_mode.h"

namespace {

struct NamedFormat {
    D3DFORMAT format;
    const char* name;
};

// What a row of the table comes to when the device accepts none of its
// candidates.
enum class WhenMissing {
    FailsDevice,  // the missing line is logged and the device is refused
    TakesEntry,   // the row takes the format of another entry
    StaysEmpty,   // the missing line is logged and the entry stays 0
};

struct FormatRow {
    const char* chosenLine;  // with the name of the choice
    DWORD usage;
    NamedFormat candidates[3];
    WhenMissing whenMissing;
    int otherEntry;           // TakesEntry
    const char* missingText;  // a whole line, or for TakesEntry the name logged (null: the other entry's)
};

constexpr DWORD kTexture = 0;
constexpr DWORD kRenderTarget = D3DUSAGE_RENDERTARGET;

// Every text of the choice, as the log shows it; the names differ in their
// prefixes from row to row.
constexpr NamedFormat kScreenFormats[] = {
    {D3DFMT_X8R8G8B8, "D3DFMT_X8R8G8B8"},
    {D3DFMT_R5G6B5, "D3DFMT_R5G6B5"},
    {D3DFMT_X1R5G5B5, "D3DFMT_X1R5G5B5"},
};
constexpr const char* kScreenFormatLine = "画面のフォーマットは %s です";
constexpr const char* kUnknownScreenFormatLine = "バックバッファが対応していないフォーマット %d です";

constexpr NamedFormat kZFormats[] = {
    {D3DFMT_D16, "D3DFMT_D16"},
    {D3DFMT_D24X8, "D3DFMT_D24X8"},
    {D3DFMT_D32, "D3DFMT_D32"},
};
constexpr const char* kZFormatLine = "Ｚバッファのフォーマットは %s です";
constexpr const char* kNoZFormatText = "使用できる Zバッファフォーマットが見つかりませんでした\n";

constexpr FormatRow kTextureFormatRows[kTextureFormatCount] = {
    {"16bit カラーフォーマットは %s です", kTexture,
     {{D3DFMT_R5G6B5, "K_D3DFMT_R5G6B5"}, {D3DFMT_X1R5G5B5, "K_D3DFMT_X1R5G5B5"}},
     WhenMissing::FailsDevice, 0, "使用できる 16bit カラーフォーマットが見つかりませんでした\n"},
    {"32bit カラーフォーマットは %s です", kTexture, {{D3DFMT_X8R8G8B8, "K_D3DFMT_X8R8G8B8"}},
     WhenMissing::TakesEntry, kTextureFormat16, nullptr},
    {"アルファ付き 16bit カラーフォーマットは %s です", kTexture,
     {{D3DFMT_A4R4G4B4, "K_D3DFMT_A4R4G4B4"}, {D3DFMT_A8R8G8B8, "K_D3DFMT_A8R8G8B8"}},
     WhenMissing::FailsDevice, 0, "使用できるアルファ付き 16bit カラーフォーマットが見つかりませんでした\n"},
    {"アルファ付き 32bit カラーフォーマットは %s です", kTexture,
     {{D3DFMT_A8R8G8B8, "K_D3DFMT_A8R8G8B8"}, {D3DFMT_A4R4G4B4, "K_D3DFMT_A4R4G4B4"}},
     WhenMissing::FailsDevice, 0, "使用できるアルファ付き 32bit カラーフォーマットが見つかりませんでした\n"},
    {"アルファテスト用 16bit カラーフォーマットは %s です", kTexture,
     {{D3DFMT_A1R5G5B5, "K_D3DFMT_A1R5G5B5"}, {D3DFMT_A8R8G8B8, "K_D3DFMT_A8R8G8B8"},
      {D3DFMT_A4R4G4B4, "K_D3DFMT_A4R4G4B4"}},
     WhenMissing::FailsDevice, 0, "使用できるアルファテスト用 16bit カラーフォーマットが見つかりませんでした\n"},
    {"アルファテスト用 32bit カラーフォーマットは %s です", kTexture,
     {{D3DFMT_A8R8G8B8, "K_D3DFMT_A8R8G8B8"}, {D3DFMT_A1R5G5B5, "K_D3DFMT_A1R5G5B5"},
      {D3DFMT_A4R4G4B4, "K_D3DFMT_A4R4G4B4"}},
     WhenMissing::FailsDevice, 0, "使用できるアルファテスト用 32bit カラーフォーマットが見つかりませんでした\n"},
    {"ＤＸＴ１テクスチャフォーマットは%s", kTexture, {{D3DFMT_DXT1, " K_D3DFMT_DXT1 です"}},
     WhenMissing::TakesEntry, kTextureFormatAlphaTest16, "使えません"},
    {"ＤＸＴ２テクスチャフォーマットは%s", kTexture, {{D3DFMT_DXT2, " K_D3DFMT_DXT2 です"}},
     WhenMissing::TakesEntry, kTextureFormatAlpha32, "使えません"},
    {"ＤＸＴ３テクスチャフォーマットは%s", kTexture, {{D3DFMT_DXT3, " K_D3DFMT_DXT3 です"}},
     WhenMissing::TakesEntry, kTextureFormatAlpha32, "使えません"},
    {"ＤＸＴ４テクスチャフォーマットは%s", kTexture, {{D3DFMT_DXT4, " K_D3DFMT_DXT4 です"}},
     WhenMissing::TakesEntry, kTextureFormatAlpha32, "使えません"},
    {"ＤＸＴ５テクスチャフォーマットは%s", kTexture, {{D3DFMT_DXT5, " K_D3DFMT_DXT5 です"}},
     WhenMissing::TakesEntry, kTextureFormatAlpha32, "使えません"},
    // On a screen that is not R5G6B5; kDrawTarget16OnR5G6B5 below otherwise.
    {"描画用 16bit カラーフォーマットは %s です", kRenderTarget,
     {{D3DFMT_X1R5G5B5, "K_D3DFMT_R5G5B5"}, {D3DFMT_R5G6B5, "K_D3DFMT_R5G6B5"},
      {D3DFMT_X8R8G8B8, "K_D3DFMT_X8R8G8B8"}},
     WhenMissing::StaysEmpty, 0, "使用できる描画用 16bit カラーフォーマットがありませんでした\n"},
    {"描画用 32bit カラーフォーマットは %s です", kRenderTarget,
     {{D3DFMT_X8R8G8B8, "K_D3DFMT_X8R8G8B8"}, {D3DFMT_R5G6B5, "D3DFMT_R5G6B5"}, {D3DFMT_X1R5G5B5, "D3DFMT_R5G5B5"}},
     WhenMissing::StaysEmpty, 0, "使用できる描画用 32bit カラーフォーマットがありませんでした\n"},
    {"描画用アルファ付き 32bit カラーフォーマットは %s です", kRenderTarget,
     {{D3DFMT_A8R8G8B8, "K_D3DFMT_A8R8G8B8"}, {D3DFMT_A4R4G4B4, "D3DFMT_A4R4G4B4"}},
     WhenMissing::StaysEmpty, 0, "使用できる描画用アルファ付き 32bit カラーフォーマットがありませんでした\n"},
};
// A 16-bit render target prefers the screen's own 16-bit layout.
constexpr FormatRow kDrawTarget16OnR5G6B5 = {
    "描画用 16bit カラーフォーマットは %s です", kRenderTarget,
    {{D3DFMT_R5G6B5, "D3DFMT_R5G6B5"}, {D3DFMT_X1R5G5B5, "D3DFMT_R5G5B5"}, {D3DFMT_X8R8G8B8, "K_D3DFMT_X8R8G8B8"}},
    WhenMissing::StaysEmpty, 0, "使用できる描画用 16bit カラーフォーマットがありませんでした\n"};

bool DeviceTakes(const Direct3DDeviceState& state, DWORD usage, D3DFORMAT format) {
    return state.direct3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, state.screenFormat, usage,
                                             D3DRTYPE_TEXTURE, format) == D3D_OK;
}

void ReadScreenFormat(Direct3DDeviceState& state) {
    D3DSURFACE_DESC description{};
    state.backBuffer->GetDesc(&description);
    state.screenFormat = description.Format;
    for (const NamedFormat& known : kScreenFormats) {
        if (known.format == state.screenFormat) {
            WriteLogFormat(kScreenFormatLine, known.name);
            return;
        }
    }
    WriteLogFormat(kUnknownScreenFormatLine, static_cast<int>(state.screenFormat));
}

bool ChooseZFormat(Direct3DDeviceState& state) {
    for (const NamedFormat& candidate : kZFormats) {
        if (state.direct3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, state.screenFormat,
                                                   state.screenFormat, candidate.format) == D3D_OK) {
            state.zFormat = candidate.format;
            WriteLogFormat(kZFormatLine, candidate.name);
            return true;
        }
    }
    WriteLogLine(kNoZFormatText);
    return false;
}

bool ChooseTextureFormats(Direct3DDeviceState& state) {
    const char* chosenNames[kTextureFormatCount] = {};
    for (int entry = 0; entry < kTextureFormatCount; ++entry) {
        const FormatRow& row = entry == kTextureFormatDrawTarget16 && state.screenFormat == D3DFMT_R5G6B5
                                   ? kDrawTarget16OnR5G6B5
                                   : kTextureFormatRows[entry];
        state.textureFormats[entry] = D3DFMT_UNKNOWN;
        for (const NamedFormat& candidate : row.candidates) {
            if (candidate.name == nullptr) break;
            if (DeviceTakes(state, row.usage, candidate.format)) {
                state.textureFormats[entry] = candidate.format;
                chosenNames[entry] = candidate.name;
                break;
            }
        }
        if (chosenNames[entry] != nullptr) {
            WriteLogFormat(row.chosenLine, chosenNames[entry]);
            continue;
        }
        switch (row.whenMissing) {
            case WhenMissing::FailsDevice: WriteLogLine(row.missingText); return false;
            case WhenMissing::StaysEmpty: WriteLogLine(row.missingText); break;
            case WhenMissing::TakesEntry:
                state.textureFormats[entry] = state.textureFormats[row.otherEntry];
                chosenNames[entry] = row.missingText != nullptr ? row.missingText : chosenNames[row.otherEntry];
                WriteLogFormat(row.chosenLine, chosenNames[entry]);
                break;
        }
    }
    return true;
}

}  // namespace

int ChooseDeviceFormats() {
    Direct3DDeviceState& state = Direct3DDevice;
    ReadScreenFormat(state);
    if (!ChooseZFormat(state) || !ChooseTextureFormats(state)) return -1;
    const bool thirtyTwoBits = GetScreenColorBitDepth() == 32;
    state.screenDrawTargetFormat =
        state.textureFormats[thirtyTwoBits ? kTextureFormatDrawTarget32 : kTextureFormatDrawTarget16];
    state.screenAlphaTestFormat =
        state.textureFormats[thirtyTwoBits ? kTextureFormatAlphaTest32 : kTextureFormatAlphaTest16];
    return 0;
}
