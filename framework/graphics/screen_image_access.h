// What the layered window and the inactive picture use of the graphics
// subsystem beyond the screen mode, the flip and the draw target: graphics
// made from pixel images and from the screen, drawing them, the texture filter,
// and the transparent colour of the draw settings.
#pragma once

#include <cstdint>

struct PixelImage;

// 1 for a live graphic handle, else 0.
int IsValidGraphicHandle(int handle);
// A new graphic holding the image (and the alpha image, or null); negative on
// failure.
int MakeGraphFromPixelImage(const PixelImage* image, const PixelImage* alphaImage, int option1, int option2,
                            int option3);
// A graphic holding an empty image of that size, or -1.
int MakeEmptyGraphic(int width, int height);
// Copies the screen's rectangle into the graphic.
int CaptureScreenImage(int x1, int y1, int x2, int y2, int handle, int option);
// The graphic's size (either pointer may be null); -1 for a bad handle.
int GetGraphicSize(int handle, int* width, int* height);
int DrawGraphicAtPoint(int x, int y, int handle, int transparent);
int DrawGraphicStretched(int x1, int y1, int x2, int y2, int handle, int transparent);
// -2 the back buffer, -4 the front screen, or a graphic handle; -1 while the
// graphics system is not up.
int SelectDrawTarget(int target);
int GetTextureFilterMode();
int SetTextureFilterMode(int mode);

// The draw settings' transparent colour, 0x00RRGGBB.
uint32_t GetDrawTransparentColor();
int SetDrawTransparentColor(uint32_t color);

// The colour (0 to 255 each) in the current screen's pixel format.
uint32_t MakeScreenColorCode(int red, int green, int blue);
