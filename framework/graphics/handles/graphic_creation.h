// Making graphics: the image block of a new graphic (its format, texture
// pieces and textures, or its memory image), graphics made empty, from pixel
// images, from image files and from movie files, graphics that show a part
// of another, and refilling a graphic's pixels.
#pragma once

#include "platform/win_types.h"

struct GraphicImage;
struct PixelImage;

// Sets up the image storage of a fresh graphic of width x height: its
// description from the arguments and the options for new graphics of the
// draw settings, its texture pieces with empty textures (hardware path) or
// its memory image (software path), and its draw information. `mipLevels`
// -1 asks for one level. 0, or -1 (logged) after the handle was deleted.
int SetupGraphicImage(int handle, int width, int height, int alpha, int oneBytePerPixel, int compressedKind,
                      int mipLevels);
// A new graphic of that size with the new-graphic alpha flag, uncompressed,
// with one mip level; waits while the window is inactive. The handle or -1.
int MakeEmptyGraphic(int width, int height);
// A new graphic showing the rectangle (x, y, width, height) of the source
// graphic, sharing its image block and its source file name. Width and height
// are cut at the source's right and bottom edges. -1 for a bad source or a
// corner outside it.
int DerivePartGraphic(int x, int y, int width, int height, int sourceHandle);
// Makes `handle` show the rectangle (x, y, width, height) of the source
// graphic's block: the block shared, the name shared, the transfer flags
// taken, the place offset by (x, y), the draw information built. The transfer
// position is the source's less (x, y), so that the source's image, put
// there again, lands where it lay. 0, or -1 for a bad handle.
int SetupDerivedGraphic(int handle, int sourceHandle, int x, int y, int width, int height);

// A graphic set up for the image's size (and alpha image, which must have it
// too): alpha when the image has an alpha channel or an alpha image is given,
// one byte a pixel when the image has one and neither, the image's compressed
// kind and mip count. No pixels are transferred. The handle or -1.
int CreateGraphicFromImage(const PixelImage* image, const PixelImage* alphaImage, int unused);
// Puts the image (with the alpha image, or null) into the graphic, from the
// image's `sourceOrigin` (null: 0, 0) to its end, at `destination` (null:
// 0, 0) inside the graphic. Records the file name (null: none), the transfer
// position (destination less origin) and the flags (the mirror flag to load
// the file with again). 0, or -1 for a bad handle, graphics down or a failed
// transfer.
int TransferImageToGraphic(PixelImage* image, PixelImage* alphaImage, const POINT* destination,
                           const POINT* sourceOrigin, int handle, int flags, const char* fileName);
// The image put into the graphic at (x, y), without a file name.
int FillGraphicFromImage(PixelImage* image, PixelImage* alphaImage, int x, int y, int handle, int flags);
// A new graphic holding the image: spare masks refreshed, both images
// mirrored for the transfer when both mirror flags are 1 (and back after),
// transferred at (0, 0) with the mirror flag as transfer flags. The handle,
// or -1 (a graphic whose transfer failed is deleted).
int MakeGraphFromPixelImage(PixelImage* image, PixelImage* alphaImage, int unused, int mirror, int mirrorHere);
// Puts images of the graphic's own size into it again, mirrored as above.
// 0, or -1 for a size that differs or a failed transfer.
int RefillGraphFromPixelImage(PixelImage* image, PixelImage* alphaImage, int handle, int unused, int mirror,
                              int mirrorHere);
// Decodes a colour file and an optional alpha file held in memory (mirrored
// when asked) and refills the graphic with them. The refill's result, or -1
// when the colour image does not decode.
int RefillGraphFromMemory(const void* colorData, int colorSize, int handle, const void* alphaData, int alphaSize,
                          int unused, int mirror);

// Loads an image file (with its "_a" alpha file when there is one) into a new
// graphic that remembers the file's full path; a file that no loader reads
// is opened as a movie shown through a new graphic. The handle or -1.
int LoadGraphicFile(const char* fileName, int unused, int mirror, int movieOpenFlag);
// LoadGraphicFile(fileName, flag == 0 ? 1 : 0, 0, 0).
int LoadGraphFile(const char* fileName, int flag);

// 1 while graphics made now keep one texture per axis whatever the screen's
// size (set while a movie's graphic is made).
extern int NoTextureDivisionFlag;
