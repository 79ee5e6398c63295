// Which adapter is in force: chosen at the first use after a stop, kept until
// the next stop.
#include <mutex>

#include "platform/host/adapters.h"
#include "platform/host/video_adapter_override.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace platform {
namespace {

template <typename Adapter>
struct Choice {
    std::mutex lock;
    Adapter* chosen = nullptr;
};

struct VideoChoice : Choice<VideoAdapter> {
    DWORD thread = 0;
    uint64_t session = 0;
    bool overridden = false;  // a test's own adapter
};

// All outlive threads still running at exit.
VideoChoice& TheVideoChoice() {
    static VideoChoice* choice = new VideoChoice;
    return *choice;
}

Choice<InputAdapter>& TheInputChoice() {
    static Choice<InputAdapter>* choice = new Choice<InputAdapter>;
    return *choice;
}

Choice<AudioAdapter>& TheAudioChoice() {
    static Choice<AudioAdapter>* choice = new Choice<AudioAdapter>;
    return *choice;
}

bool DisplayOff() { return Profile().display.host == HostDisplayUse::Off; }

}  // namespace

VideoAdapter& HostVideo() {
    if (DisplayOff()) return host::NullVideo();
    VideoChoice& video = TheVideoChoice();
    std::lock_guard<std::mutex> guard(video.lock);
    if (video.chosen == nullptr) {
        video.chosen = host::StartSdlVideo();
        if (video.chosen == nullptr) video.chosen = &host::NullVideo();
        video.thread = GetCurrentThreadId();
        ++video.session;
    }
    return *video.chosen;
}

uint64_t HostVideoSession() {
    VideoChoice& video = TheVideoChoice();
    std::lock_guard<std::mutex> guard(video.lock);
    return video.session;
}

bool OnHostVideoThread() {
    VideoChoice& video = TheVideoChoice();
    std::lock_guard<std::mutex> guard(video.lock);
    return video.chosen != nullptr && video.chosen->ShowsWindows() && video.thread == GetCurrentThreadId() &&
           !DisplayOff();
}

void StopHostVideo() {
    VideoChoice& video = TheVideoChoice();
    std::lock_guard<std::mutex> guard(video.lock);
    if (video.chosen != nullptr && video.chosen != &host::NullVideo() && !video.overridden) host::StopSdlVideo();
    video.chosen = nullptr;
    video.thread = 0;
    video.overridden = false;
}

void OverrideHostVideo(VideoAdapter* adapter) {
    VideoChoice& video = TheVideoChoice();
    std::lock_guard<std::mutex> guard(video.lock);
    if (video.chosen != nullptr && video.chosen != &host::NullVideo() && !video.overridden) host::StopSdlVideo();
    video.chosen = adapter;
    video.thread = adapter != nullptr ? GetCurrentThreadId() : 0;
    video.overridden = adapter != nullptr;
    ++video.session;
}

InputAdapter& HostInput() {
    Choice<InputAdapter>& input = TheInputChoice();
    std::lock_guard<std::mutex> guard(input.lock);
    if (input.chosen == nullptr) {
        input.chosen = host::StartSdlInput();
        if (input.chosen == nullptr) input.chosen = &host::NullInput();
    }
    return *input.chosen;
}

void StopHostInput() {
    Choice<InputAdapter>& input = TheInputChoice();
    std::lock_guard<std::mutex> guard(input.lock);
    if (input.chosen != nullptr && input.chosen != &host::NullInput()) host::StopSdlInput();
    input.chosen = nullptr;
}

// The machine's reset stops input, so that the profile's pads are attached
// anew when input is next used.
const ResetHook kInputReset(StopHostInput);

AudioAdapter& HostAudio() {
    Choice<AudioAdapter>& audio = TheAudioChoice();
    std::lock_guard<std::mutex> guard(audio.lock);
    if (audio.chosen == nullptr) {
        audio.chosen = host::StartSdlAudio();
        if (audio.chosen == nullptr) audio.chosen = &host::NullAudio();
    }
    return *audio.chosen;
}

void StopHostAudio() {
    Choice<AudioAdapter>& audio = TheAudioChoice();
    std::lock_guard<std::mutex> guard(audio.lock);
    if (audio.chosen != nullptr && audio.chosen != &host::NullAudio()) host::StopSdlAudio();
    audio.chosen = nullptr;
}

}  // namespace platform
