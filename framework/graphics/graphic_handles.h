// Graphic handles as the window side uses them.
#pragma once

// Deletes the graphic with its textures or memory image; -1 for a bad handle.
int DeleteGraphicHandle(int handle, int flag);
