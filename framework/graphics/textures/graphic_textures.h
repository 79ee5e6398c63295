// The textures of image blocks: making a block's textures, and taking every
// block's textures down before the device goes and making them again (empty)
// on the new device.
#pragma once

struct GraphicImage;

// Makes the texture and level-0 surface of each piece that has none: render
// targets in the default pool, cleared to 0; managed uncompressed textures
// with every level zero-filled. 0, or -1 (logged) without a device, without
// a device format for the block or when the device refuses.
int CreateGraphicTexture(GraphicImage* image);
// Releases the textures of every graphic's block, then every user shader's
// object. Returns 0.
int ReleaseAllGraphicTextures();
// Makes the missing textures of every graphic's block again, empty, and every
// user shader's object again from its byte code. Returns 0.
int RecreateAllGraphicTextures();
