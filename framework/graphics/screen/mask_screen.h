// The mask screen: drawing reaches the draw target only where a screen-sized
// mask lets it. While masking is in effect draws go into the mask screen, and
// the hooks around each draw copy the target in and the drawn rectangle back
// out through the mask. Also the mask handle table, of which the graphics
// system deletes entries.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct MEMIMG;

constexpr int kMaskHandleKind = 0x40000000;
constexpr int kMaskSlotCount = 512;

struct MaskRecord {
    int check;
    uint8_t* imageMemory;  // owned, freed with the record (framework allocator)
    int imageWidth;
    int imageHeight;
    int imagePitch;
    int inUse;  // 1 while the slot holds a mask
    int reserved;
};
// The records live in the table itself.
extern MaskRecord MaskTable[kMaskSlotCount];
// The handle of a slot with its check value.
int MakeMaskHandle(int check, int slot);

// 0, or -1 for an invalid handle or a slot not in use.
int DeleteMask(int handle);
// Deletes every mask in use. Returns 0.
int DeleteAllMasks();

// 0 = drawn pixels pass where the mask byte is 0; 1 = where it is not 0.
extern int MaskReverseFlag;
// One byte per screen pixel, rows of MaskMemoryPitch bytes; null until made.
extern uint8_t* MaskMemory;
extern int MaskMemoryPitch;
// 1 while the caller wants drawing to go through the mask screen.
extern int MaskScreenUseFlag;
// The use flag while the mask screen exists: what every draw tests.
extern int MaskScreenEffectiveFlag;
// Hardware path: the size of the mask textures.
extern int MaskTextureWidth;
extern int MaskTextureHeight;

// Makes the mask memory and the mask screen of the path in use when `create`
// is not 0. Ends the process when a texture format is missing or a buffer
// cannot be made. Returns 0.
int CreateMaskScreenBuffers(int create);
// Frees the mask memory, the mask memory image and the textures. Returns 0.
int ReleaseMaskScreenBuffers();
int GetMaskScreenUse();
// -1 (nothing changed) without mask memory, else 0: the use flag is set and
// draws go to the mask screen while masking is in effect, else to the target.
int SetMaskScreenUse(int use);
// After a device rebuild: the buffers again when they had been made, and the
// use flag applied again. Returns 0.
int RestoreMaskScreen();
// The graphics system's end. Returns 0.
int TerminateMaskScreen();

// The hooks around each draw, with the rectangle the draw covers: before it
// the target's pixels there go into the mask screen, after it the mask
// screen's go back onto the target where the mask lets them. Return 0.
int BeginMaskedDraw(RECT rect);
int EndMaskedDraw(RECT rect);

// The mask screen's memory image (software path), or null.
MEMIMG* GetMaskScreenMemImg();
