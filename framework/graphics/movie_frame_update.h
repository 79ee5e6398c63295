// Bringing the frame a movie graphic shows up to date before it is drawn.
#pragma once

// The movie's latest frame into the graphic that shows it; 0, or -1 when
// there is no frame to take.
int UpdateMovieFrame(int movieHandle, int graphicHandle);
