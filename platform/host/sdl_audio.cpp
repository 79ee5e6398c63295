// SDL2's audio adapter: one SDL2 audio device that calls back for each
// period.
#include <SDL.h>

#include <mutex>

#include "platform/host/adapters.h"
#include "platform/host/library_logs.h"

namespace platform::host {
namespace {

class SdlAudio final : public AudioAdapter {
public:
    bool Open(const AudioFormat& format, AudioCallback callback) override {
        std::lock_guard<std::mutex> guard(lock_);
        if (device_ != 0 || !callback || format.channels <= 0) return false;
        callback_ = std::move(callback);
        frameBytes_ = format.channels * static_cast<int>(sizeof(int16_t));
        SDL_AudioSpec wanted{};
        wanted.freq = format.frequency;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = static_cast<Uint8>(format.channels);
        wanted.samples = static_cast<Uint16>(format.framesPerPeriod);
        wanted.callback = Fill;
        wanted.userdata = this;
        // No changes allowed: SDL2 converts whatever the device plays.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (device_ == 0) {
            callback_ = nullptr;
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void Close() override {
        std::lock_guard<std::mutex> guard(lock_);
        if (device_ == 0) return;
        SDL_CloseAudioDevice(device_);  // waits for a call under way
        device_ = 0;
        callback_ = nullptr;
    }

private:
    static void SDLCALL Fill(void* userdata, Uint8* stream, int bytes) {
        SdlAudio* self = static_cast<SdlAudio*>(userdata);
        self->callback_(reinterpret_cast<int16_t*>(stream), bytes / self->frameBytes_);
    }

    std::mutex lock_;
    SDL_AudioDeviceID device_ = 0;
    AudioCallback callback_;
    int frameBytes_ = 4;
};

SdlAudio& TheSdlAudio() {
    static SdlAudio* adapter = new SdlAudio;  // outlives threads still running at exit
    return *adapter;
}

}  // namespace

AudioAdapter* StartSdlAudio() {
    // SDL2 probes ALSA, which complains of every card it does not find.
    QuietHostLibraryLogs();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 ? &TheSdlAudio() : nullptr;
}

void StopSdlAudio() {
    TheSdlAudio().Close();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform::host
