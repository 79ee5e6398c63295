// Movie playback as the window side calls it.
#pragma once

// Copies every ready frame into its movie's graphic. Returns 0.
int RefreshAllMovieFrames();
// Resumes the movies that SystemPauseAllMovies stopped.
int ResumeSystemPausedMovies();
// Pauses every open movie as a system pause. Returns 0.
int SystemPauseAllMovies();
