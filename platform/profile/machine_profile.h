// The machine profile: every fact about the simulated Windows machine, one
// part per interface, in one place that tests can set. Only the platform and
// tests include this header; framework code never does.
//
// It holds settings only. What a subsystem makes of them while the program
// runs (the display mode in force, the heap's allocation count, the time on
// the manual clock) is that subsystem's own state, with its test accessors
// next to it.
//
// The defaults describe this machine honestly: the real processor answers,
// the real clocks, the host's desktop and memory, a Japanese system (OEM code
// page 932), both DirectInput versions with the joysticks SDL2 finds,
// Direct3D 9 and DirectDraw with an adapter such as a renderer on OpenGL 2.1
// makes, sound mixed in software and played on the host's audio device, no
// injected failures. Tests change fields and call ResetMachine() afterwards
// (the test fixtures do it for them).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// ---- windows ---------------------------------------------------------------------

struct WindowsVersionProfile {
    uint32_t platformId = 2;  // NT
    uint32_t major = 6;
    uint32_t minor = 1;
    uint32_t build = 7601;
    std::string servicePack = "Service Pack 1";
};

// ---- cpu -------------------------------------------------------------------------

struct CpuProfile {
    // When false, the real processor answers (CPUID and RDTSC on x86).
    bool overridden = false;
    // What the overridden processor answers.
    bool identificationAvailable = true;
    uint32_t leaf0[4] = {};           // EAX EBX ECX EDX of leaf 0 (highest leaf, vendor)
    uint32_t leaf1[4] = {};           // EAX EBX ECX EDX of leaf 1 (features)
    uint32_t extendedLeaf0[4] = {};   // leaf 0x80000000 (highest extended leaf)
    uint32_t nameLeaves[3][4] = {};   // leaves 0x80000002 to 0x80000004
    // Ticks of the time-stamp counter per second. On the manual clock the
    // counter advances at this rate (0: at the real processor's rate, measured
    // once); on the real clock an overridden processor with a rate ticks at it,
    // otherwise the real counter answers.
    uint64_t timeStampTicksPerSecond = 0;
};

// ---- clock -----------------------------------------------------------------------

struct ClockProfile {
    // The manual clock: nothing moves until a test advances it (see
    // platform/kernel/manual_clock.h), and then timeGetTime, the performance
    // counter and the time-stamp counter step together. The wall clock
    // (GetSystemTime, GetLocalTime) then stands at 2000-01-01 00:00:00 UTC
    // plus the manual time.
    bool manual = false;
    // Every read of a manual-clock source (timeGetTime, the performance
    // counter, the time-stamp counter) first advances the manual clock by this
    // much, so that code spinning on a clock ends without a second thread.
    uint64_t advanceNanosecondsPerRead = 0;
    uint32_t timeGetTimeOrigin = 0;   // timeGetTime() at manual time 0
    uint64_t performanceCounterOrigin = 0;
    uint64_t timeStampCounterOrigin = 0;
    // Counts per second reported by QueryPerformanceFrequency; 0 means the
    // machine has no performance counter (QueryPerformanceFrequency then
    // reports 0 and fails).
    uint64_t performanceFrequency = 1000000000;
    // Minutes that local time is ahead of universal time (a zone without
    // daylight saving). When `useHostZone` is true the host's zone is used.
    bool useHostZone = true;
    int32_t localOffsetMinutes = 0;
    // Timer resolution that timeGetDevCaps reports.
    uint32_t periodMin = 1;
    uint32_t periodMax = 1000000;
};

// ---- desktop and display ---------------------------------------------------------

enum class HostDisplayUse {
    Automatic,  // SDL2 windows when SDL2's video starts, else records only
    Off,        // records only: nothing reaches SDL2
};

// The sizes AdjustWindowRectEx and GetSystemMetrics work with, in pixels
// (the classic window look).
struct FrameMetrics {
    int32_t caption = 19;       // SM_CYCAPTION
    int32_t smallCaption = 15;  // SM_CYSMCAPTION (tool windows)
    int32_t menuBar = 19;       // SM_CYMENU
    int32_t border = 1;         // SM_CXBORDER, SM_CYBORDER
    int32_t fixedFrame = 3;     // SM_CXDLGFRAME, SM_CYDLGFRAME
    int32_t sizingFrame = 4;    // SM_CXFRAME, SM_CYFRAME
    int32_t edge = 2;           // SM_CXEDGE, SM_CYEDGE
};

struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t frequency = 60;
};

struct DisplayProfile {
    // An SDL2 window for every top-level window when the host has a display.
    HostDisplayUse host = HostDisplayUse::Automatic;
    // The desktop in pixels; 0 takes the host display's desktop, or 1920 by
    // 1080 when there is no display.
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    int32_t desktopBitsPerPixel = 32;
    FrameMetrics frame;
    // The modes that EnumDisplaySettingsA lists, exactly. Empty: the
    // display's own modes and the usual sizes a program asks for (up to the
    // desktop's, and 640 by 480 always), each size at 16 and 32 bits per
    // pixel; a size the display lacks is shown full screen on the desktop's
    // mode, the picture scaled to fit with its aspect kept.
    std::vector<DisplayMode> displayModes;
    // The display's own modes, in place of those the host's display reports
    // (a display of a single mode, as many panels are). Empty: the host
    // display's own when there is a display and the desktop size is left to
    // it, else the desktop's mode.
    std::vector<DisplayMode> ownModes;
    uint32_t oemCodePage = 932;
    // Physical memory in bytes; 0 takes the host's.
    uint64_t totalPhysicalMemory = 0;
    uint64_t availablePhysicalMemory = 0;
    // Where the per-user class locks that let FindWindowA see the windows of
    // other processes live; empty takes $XDG_RUNTIME_DIR, else
    // /tmp/kiln-<uid>. Tests point it at a folder of their own so that test
    // programs running side by side do not see each other's windows.
    std::string classLockDirectory;
};

// ---- input -----------------------------------------------------------------------

// A joypad that exists only for the program: an SDL2 virtual joystick,
// attached when input is first used after the profile is set, and moved
// through platform/host/virtual_pads.h. Axes are numbered as DirectInput's
// X, Y, Z, Rz, Rx, Ry, then the two sliders (the joystick calls' X, Y, Z, R,
// U, V).
struct VirtualPad {
    std::string name = "Virtual Pad";
    int axes = 4;     // 0 to 8
    int buttons = 12;  // 0 to 32
    int hats = 1;     // 0 to 4
    bool forceFeedback = true;
};

constexpr int MaxVirtualPads = 17;

struct InputProfile {
    bool directInput7 = true;  // CLSID_DirectInput is registered
    bool directInput8 = true;  // CLSID_DirectInput8 is registered
    // The joysticks attached to the host. Tests switch them off so that a
    // pad plugged into the machine running them changes nothing.
    bool hostPads = true;
    // Attached after the host's pads; at most MaxVirtualPads are attached.
    std::vector<VirtualPad> virtualPads;
};

// ---- sound -----------------------------------------------------------------------

// Where the DirectSound stand-in's mix goes.
enum class SoundOutputUse {
    Device,   // the host's audio device through SDL2; the null output when none opens
    Null,     // no device: the mix is consumed at the wall clock's rate and dropped
    Virtual,  // no thread: tests advance it and read the mix (platform/dsound/virtual_output.h)
};

// A device as DirectSoundEnumerateA lists it.
struct SoundDevice {
    std::string description;
    std::string module;
};

// What IDirectSound::GetCaps reports; the buffers accept only the formats
// it names. Its rates bound only the primary buffer: the secondary ones are
// mixed in software at any rate from 100 to 200000 Hz.
struct SoundCaps {
    bool primaryMono = true;
    bool primaryStereo = true;
    bool primary8Bit = true;
    bool primary16Bit = true;
    bool secondaryMono = true;
    bool secondaryStereo = true;
    bool secondary8Bit = true;
    bool secondary16Bit = true;
    uint32_t minSecondaryRate = 100;
    uint32_t maxSecondaryRate = 200000;
    // Every buffer is mixed in software: no sound memory on a card.
    uint32_t totalHardwareMemory = 0;
    uint32_t freeHardwareMemory = 0;
};

struct SoundProfile {
    bool directSound = true;  // CLSID_DirectSound is registered
    SoundOutputUse output = SoundOutputUse::Device;
    // The first is the device that Initialize(null) opens; with none,
    // Initialize finds no driver.
    std::vector<SoundDevice> devices = {{"Primary Sound Driver", ""}, {"Host audio output (SDL2)", "sdl2"}};
    SoundCaps caps;
};

// ---- media streaming -------------------------------------------------------------

struct DirectShowProfile {
    bool filterGraph = true;   // CLSID_FilterGraph is registered
    bool nullRenderer = true;  // CLSID_NullRenderer is registered
    // The MPEG-audio decoder describes its 16-bit PCM with an extensible
    // wave format (tag 0xFFFE) instead of the plain one (tag 1).
    bool mpegAudioExtensibleFormat = false;
};

// ---- fonts -----------------------------------------------------------------------

struct FontProfile {
    // Glyphs come from a fixed test source instead of the installed faces:
    // for a font of cell height h, ascent h - h / 4 and descent h / 4; a
    // one-byte character advances h / 2 with a black box of h / 2 - 1 by
    // ascent - 1, a two-byte one advances h with a box of h - 2 by h - 2,
    // both with the box's top-left corner at x 1 and at ascent - 1 above
    // the baseline. Pixel (x, y) of code c has grey level
    // (x + 2 * y + c) % 17, and is set in a 1-bit bitmap when that level is
    // 8 or more. The space (0x20 and 0x8140) has an empty box.
    bool testGlyphSource = false;
    // The next this many CreateFontA calls fail.
    int createFontFailures = 0;
};

// ---- direct3d --------------------------------------------------------------------

// A FourCC format number (the block-compressed and video formats).
constexpr uint32_t FourCc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

// What a Direct3D 9 device draws, clears, copies and presents through.
enum class Direct3DRenderer {
    // Keeps every device call with its arguments and makes no pixels.
    Recording,
    // Keeps the calls too, and makes in memory the copies between surfaces
    // that are exact by definition: UpdateSurface, ColorFill, StretchRect
    // between surfaces of one format without filtering, GetRenderTargetData.
    Cpu,
    // Draws real pixels through an OpenGL context of the device's window
    // (SDL's offscreen driver gives one without a display). Where no context
    // can be had, Direct3DCreate9 gives null, or CreateDevice fails, as on a
    // machine without Direct3D 9.
    OpenGL,
};

// The Direct3D 9 adapter and DirectDraw. Formats are D3DFORMAT numbers. The
// adapter's display modes and its desktop are the display part's (as
// EnumDisplaySettingsA gives them): 32-bit modes in X8R8G8B8, 16-bit modes
// in `sixteenBitDisplayFormat`. The defaults describe what a renderer on
// OpenGL 2.1 offers: the packed RGB formats it samples directly, S3TC
// compression without the premultiplied kinds (DXT2, DXT4), no video (YUV)
// surfaces, shader model 2.0, separate blend operations, textures of any size
// up to 4096. With the OpenGL renderer the adapter offers only the formats
// that the context can hold (no block compression without S3TC).
struct Direct3DProfile {
    bool direct3d9 = true;   // Direct3DCreate9 gives an adapter object
    bool directDraw = true;  // CLSID_DirectDraw7 is registered
    Direct3DRenderer renderer = Direct3DRenderer::OpenGL;
    // The OpenGL renderer keeps every device call as the recording renderer
    // does (the recording and CPU renderers always keep them).
    bool keepCalls = false;
    uint32_t sixteenBitDisplayFormat = 23;  // D3DFMT_R5G6B5
    // CheckDeviceFormat: textures and off-screen surfaces (usage 0), render
    // targets (D3DUSAGE_RENDERTARGET), depth surfaces (D3DUSAGE_DEPTHSTENCIL;
    // also what CheckDepthStencilMatch accepts), and formats only off-screen
    // plain surfaces take.
    std::vector<uint32_t> textureFormats = {21, 22, 23, 24, 25, 26, 30, 31, 32, 33, 35,
                                            FourCc('D', 'X', 'T', '1'), FourCc('D', 'X', 'T', '3'),
                                            FourCc('D', 'X', 'T', '5')};
    std::vector<uint32_t> renderTargetFormats = {21, 22, 23, 24, 25, 26};
    std::vector<uint32_t> depthStencilFormats = {80, 77, 75};  // D16, D24X8, D24S8
    // Video formats (YV12, YUY2, UYVY) listed here are offered with every
    // renderer; StretchRect converts them into colour surfaces (BT.601).
    std::vector<uint32_t> plainSurfaceFormats;
    // Caps: the highest shader versions (0 for none), separate blend
    // operations (D3DPMISCCAPS_BLENDOP), the largest texture, square
    // textures only, and hardware vertex processing (without it a device
    // asks for software vertex processing).
    uint32_t vertexShaderVersion = 0xFFFE0200u;  // vs_2_0
    uint32_t pixelShaderVersion = 0xFFFF0200u;   // ps_2_0
    bool blendOperation = true;
    uint32_t maxTextureWidth = 4096;
    uint32_t maxTextureHeight = 4096;
    bool squareOnlyTextures = false;
    bool hardwareVertexProcessing = true;
    // What GetAdapterIdentifier reports.
    std::string driver = "kiln_gl21";
    std::string description = "Kiln OpenGL 2.1 adapter";
    // Another program holds the display: every device is lost from its next
    // call on (a device once lost stays lost until it is released), and no
    // device can be made.
    bool deviceLost = false;
};

// ---- failures --------------------------------------------------------------------
//
// Every failure a test can inject lives in this one part, a group per
// interface, for the calls whose failure a behaviour depends on.

struct HeapFailures {
    // The heap refuses its Nth allocation from now (1 = the next one; 0 =
    // never), counting from the moment the value is set. HeapAlloc and
    // HeapReAlloc both count. A single failure, once it has happened, sets
    // this back to 0.
    uint64_t failAllocationNumber = 0;
    // When true, every allocation from the count above on fails, not only one.
    bool failEveryAllocationFromThere = false;
};

// Each flag makes that DirectInput call fail for as long as it is set: with
// DIERR_UNSUPPORTED, except that a refused device creation reports
// DIERR_DEVICENOTREG and a refused keyboard acquisition DIERR_OTHERAPPHASPRIO.
struct InputFailures {
    bool initialize7 = false;
    bool initialize8 = false;
    bool createMouse = false;
    bool mouseDataFormat = false;
    bool mouseCooperativeLevel = false;
    bool createKeyboard = false;
    bool keyboardDataFormat = false;
    bool keyboardCooperativeLevel = false;
    bool keyboardEventNotification = false;
    bool keyboardAcquire = false;
};

// Each flag makes that DirectSound call fail for as long as it is set; each
// count makes that many of the next such calls fail, and counts down as they
// do. Initialize reports DSERR_NODRIVER, a refused creation or duplicate
// DSERR_OUTOFMEMORY, the others DSERR_GENERIC.
struct SoundFailures {
    bool initialize = false;
    bool cooperativeLevel = false;
    bool createPrimaryBuffer = false;
    bool primaryFormat = false;  // SetFormat on the primary buffer
    uint32_t createBuffers = 0;  // CreateSoundBuffer of secondary buffers
    uint32_t duplicates = 0;     // DuplicateSoundBuffer
    uint32_t locks = 0;
    uint32_t unlocks = 0;
};

// Each flag makes that call of the filter graph fail for as long as it is
// set: Render with VFW_E_CANNOT_RENDER, Connect with VFW_E_CANNOT_CONNECT;
// `addFilter` makes each graph refuse its Nth AddFilter (1 = its first) with
// E_OUTOFMEMORY. `mpegAudioReads` makes the MPEG-audio decoder's reads from
// its source fail, so that it gives up on its stream (EC_ERRORABORT).
struct DirectShowFailures {
    bool render = false;
    bool connect = false;
    uint32_t addFilter = 0;
    bool mpegAudioReads = false;
};

// Each flag makes that Direct3D 9 or DirectDraw call fail for as long as it
// is set: Direct3DCreate9 gives null, IDirectDraw7::Initialize DDERR_GENERIC,
// CreateDevice D3DERR_NOTAVAILABLE, the surface, texture and buffer makers
// D3DERR_OUTOFVIDEOMEMORY, the declaration and shader makers E_OUTOFMEMORY.
struct Direct3DFailures {
    bool createDirect3D = false;
    bool initializeDirectDraw = false;
    bool createDevice = false;
    bool createTexture = false;
    bool createRenderTarget = false;
    bool createDepthStencilSurface = false;
    bool createOffscreenPlainSurface = false;
    bool createVertexBuffer = false;
    bool createIndexBuffer = false;
    bool createVertexDeclaration = false;
    bool createVertexShader = false;
    bool createPixelShader = false;
};

// Each flag makes that compression manager call fail for as long as it is
// set; each count makes that many of the next such calls fail, and counts
// down as they do. acmMetrics reports MMSYSERR_NOTSUPPORTED, acmFormatSuggest
// ACMERR_NOTPOSSIBLE, a refused stream MMSYSERR_NOMEM, the others
// MMSYSERR_ERROR.
struct AcmFailures {
    bool metrics = false;
    bool formatSuggest = false;
    uint32_t streamOpens = 0;
    bool streamSize = false;
    uint32_t prepareHeaders = 0;
    uint32_t converts = 0;
};

struct FailureProfile {
    HeapFailures heap;
    InputFailures input;
    SoundFailures sound;
    DirectShowFailures directShow;
    Direct3DFailures direct3d;
    AcmFailures acm;
};

// ---- the profile -----------------------------------------------------------------

struct MachineProfile {
    WindowsVersionProfile windows;
    CpuProfile cpu;
    ClockProfile clock;
    DisplayProfile display;
    InputProfile input;
    SoundProfile sound;
    DirectShowProfile directShow;
    Direct3DProfile direct3d;
    FailureProfile failures;
    FontProfile fonts;
};

// The profile in force. Change fields directly.
MachineProfile& Profile();

// Puts the simulated machine back to its start: runs every reset hook (each
// subsystem's own state, such as its windows, input contexts, drops, pads,
// the manual time, the debug-output sink and the exit handler), then
// restores every default of the profile. A test fixture needs only this call.
void ResetMachine();

// Each subsystem with state of its own hands ResetMachine() the function that
// puts it back to its start, by a ResetHook in the file that holds the state,
// so that every program that has the state also has its reset. Hooks run in
// the order they were added, while the profile still holds the settings the
// state was made under; none may depend on another having run.
void AddResetHook(void (*reset)());

struct ResetHook {
    explicit ResetHook(void (*reset)()) { AddResetHook(reset); }
};

}  // namespace platform
