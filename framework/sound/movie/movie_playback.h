// Movie playback as the window side calls it.
#pragma once

// Nothing to do for the movies here, which bring their frames up to date
// as they are drawn. Returns 0.
int RefreshAllMovieFrames();
// Resumes the movies that SystemPauseAllMovies stopped.
int ResumeSystemPausedMovies();
// Pauses every open movie as a system pause. Returns 0.
int SystemPauseAllMovies();
