// Bringing a movie's frame up to date: the renderer's newest frame handed to
// the frame callback, and the end of the movie seen from its position, where
// a looping movie starts again from the top.
#include "framework/sound/movie/movie_handles.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/movie_renderer_filter.h"
#include "framework/sound/movie/theora_movie.h"

int UpdateMovieFrame(int handle, int flag) {
    MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr) return 0;
    if (movie->isTheora) return UpdateTheoraMovieFrame(movie);
    MovieRendererFilter* renderer = movie->renderer;
    if (renderer != nullptr && renderer->newFrame.load() != 0) {
        // The streaming thread copies the next frame in under the renderer
        // lock: holding it while the callback reads keeps each frame whole.
        K_CAutoLock hold(renderer->RendererLock());
        renderer->newFrame.store(0);
        if (movie->frameCallback != nullptr) {
            PixelImage& image = movie->frameImage;
            UseRgb24Format(&image.format);
            image.width = renderer->frameWidth;
            image.height = renderer->frameHeight;
            image.pitch = renderer->framePitch;
            image.pixels = renderer->frameBuffer;
            movie->currentImage = &image;
            movie->frameCallback(movie, static_cast<int>(movie->callbackArg));
        }
    }
    if (movie->mediaSeeking == nullptr || movie->mediaControl == nullptr) return 0;
    LONGLONG current = 0;
    movie->mediaSeeking->GetCurrentPosition(&current);
    if (current < movie->stopPosition) return 0;
    if ((movie->playType & kLoopPlayBit) != 0) {
        LONGLONG top = 0;
        movie->mediaSeeking->SetPositions(&top, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        movie->mediaControl->Run();
    } else {
        movie->playState = 0;
        movie->paused = 1;
    }
    return 0;
}

int SetMovieFrameCallback(int handle, MovieFrameCallback callback, int argument) {
    MovieRecord* movie = GetMovieRecord(handle);
    if (movie == nullptr) return -1;
    movie->frameCallback = callback;
    movie->callbackArg = static_cast<uint32_t>(argument);
    return 0;
}

PixelImage* GetMovieFrameImage(MovieRecord* movie) {
    // A Theora frame is converted from the decoder's stock when it is asked for.
    if (movie != nullptr && movie->isTheora && ConvertTheoraFrameToRgb(movie->theora, 1, 0) == 0) return nullptr;
    if (movie == nullptr || movie->currentImage == nullptr || movie->currentImage->pixels == nullptr) return nullptr;
    return movie->currentImage;
}
