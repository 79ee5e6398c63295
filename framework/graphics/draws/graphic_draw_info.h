// What a draw of a graphic reads besides the graphic's size: on the hardware
// path the part of each texture piece the graphic shows, with its corners
// and texture coordinates; on the software path the graphic's own view of
// the block's memory image.
#pragma once

struct GraphicRecord;

// Builds the draw information of a graphic whose block, place and size are
// set. 0, or -1 (logged) when the pieces' room cannot be had.
int BuildGraphicDrawInfo(int handle);
// Frees the draw pieces of a record.
void ReleaseGraphicDrawInfo(GraphicRecord* record);
