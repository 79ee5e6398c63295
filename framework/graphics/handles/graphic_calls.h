// What a program calls on a graphic by its handle besides drawing it: deleting
// it or all of them, the notice of its deletion, and the movie it shows.
#pragma once

// Deletes the graphic: its movie, its draw information, its memory image
// view, its reference to the image block (the last one releases the block
// with its textures or memory image), its source file name and its record;
// writes 1 through the notify flag pointer.
// A graphic that is the draw target gives way to the back buffer, and one that
// is the blend graphic stops being it. `flag` has no effect. 0, or -1 for a
// bad handle.
int DeleteGraphicHandle(int handle, int flag);
// Deletes every graphic while the graphics system is up; returns 0.
int DeleteAllGraphicHandles(int flag);
// Keeps the pointer in the record and writes 0 into the int (a null pointer
// asks for no notice); -1 for a bad handle.
int SetGraphicNotifyFlag(int handle, int* flag);

// Play, pause and the play state of the movie a graphic shows: the movie
// call's result, 0 for a graphic without a movie, -1 for a bad handle.
int PlayGraphicMovie(int handle, int playType, int resumeOnly);
int PauseGraphicMovie(int handle, int keepPlayState);
int GetGraphicMovieState(int handle);
