// The sound mixer side by side with what a program would otherwise mix
// with: SDL2's SDL_MixAudioFormat, with an SDL_AudioStream per voice for the
// rate and channel conversion of every voice that is not already 44.1 kHz
// stereo.
//
// Every row mixes one second of 44.1 kHz 16-bit stereo output from 8, 32 or
// 128 looping 16-bit voices, mono and stereo in turn, at rates from 8 kHz to
// 48 kHz, each at its own volume. Ours plays them as DirectSound buffers
// and mixes through the virtual output; SDL2's side puts one second of each
// voice's data through its stream and mixes what comes out into the same
// output. Both resample (ours linearly, SDL2 with its own filter), scale and
// sum with saturation.
//
// The program ends with a table: the milliseconds each side takes for one
// second of output, and SDL2's time over ours (above 1: ours is faster).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/dsound/dsound.h"
#include "platform/dsound/virtual_output.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"

namespace {

constexpr int kOutputRate = 44100;
constexpr int kVoiceCounts[] = {8, 32, 128};
constexpr int kRates[] = {44100, 22050, 48000, 11025, 32000, 8000, 24000, 16000};

struct BenchVoice {
    int rate;
    int channels;
    LONG volume;  // hundredths of a decibel
    std::vector<int16_t> samples;  // two seconds, interleaved
};

std::vector<BenchVoice> Voices(int count) {
    std::vector<BenchVoice> voices;
    uint32_t seed = 2024;
    for (int i = 0; i < count; ++i) {
        BenchVoice voice;
        voice.rate = kRates[i % std::size(kRates)];
        voice.channels = i % 2 == 0 ? 2 : 1;
        voice.volume = -(i * 37 % 1200);
        voice.samples.resize(size_t{2} * voice.rate * voice.channels);
        for (int16_t& sample : voice.samples) {
            seed = seed * 1664525u + 1013904223u;
            sample = static_cast<int16_t>(static_cast<int32_t>(seed >> 16) / 8 - 4096);
        }
        voices.push_back(std::move(voice));
    }
    return voices;
}

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Our side: a sound object on the virtual output, every voice a looping
// buffer.
void RunOurs(benchmark::State& state, int count) {
    platform::Profile().display.host = platform::HostDisplayUse::Off;
    platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
    CoInitialize(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PlainProcedure;
    windowClass.lpszClassName = "SoundMixBenchmark";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "SoundMixBenchmark", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
    void* made = nullptr;
    CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &made);
    IDirectSound* sound = static_cast<IDirectSound*>(made);
    sound->Initialize(nullptr);
    sound->SetCooperativeLevel(window, DSSCL_PRIORITY);
    DSBUFFERDESC primaryDescription{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
    IDirectSoundBuffer* primary = nullptr;
    sound->CreateSoundBuffer(&primaryDescription, &primary, nullptr);
    WAVEFORMATEX output{WAVE_FORMAT_PCM, 2, kOutputRate, kOutputRate * 4, 4, 16, 0};
    primary->SetFormat(&output);
    primary->Release();

    std::vector<IDirectSoundBuffer*> buffers;
    for (const BenchVoice& voice : Voices(count)) {
        const WORD align = static_cast<WORD>(2 * voice.channels);
        WAVEFORMATEX format{WAVE_FORMAT_PCM, static_cast<WORD>(voice.channels), static_cast<DWORD>(voice.rate),
                            static_cast<DWORD>(voice.rate) * align, align, 16, 0};
        const DWORD bytes = static_cast<DWORD>(voice.samples.size() * 2);
        DSBUFFERDESC description{sizeof(DSBUFFERDESC), 0x80E2, bytes, 0, &format, {}};
        IDirectSoundBuffer* buffer = nullptr;
        if (sound->CreateSoundBuffer(&description, &buffer, nullptr) != DS_OK) {
            state.SkipWithError("the buffer could not be made");
            return;
        }
        void* part = nullptr;
        DWORD size = 0;
        buffer->Lock(0, bytes, &part, &size, nullptr, nullptr, 0);
        std::memcpy(part, voice.samples.data(), size);
        buffer->Unlock(part, size, nullptr, 0);
        buffer->SetVolume(voice.volume);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        buffers.push_back(buffer);
    }
    for (auto _ : state) {
        platform::dsound::AdvanceVirtualOutput(kOutputRate);
        benchmark::DoNotOptimize(platform::dsound::TakeVirtualOutput().samples.data());
    }
    for (IDirectSoundBuffer* buffer : buffers) buffer->Release();
    sound->Release();
    DestroyWindow(window);
    CoUninitialize();
    platform::ResetMachine();
}

// SDL2's side: one stream per voice that needs converting, and
// SDL_MixAudioFormat into the output at the voice's volume (of 128).
void RunSdl(benchmark::State& state, int count) {
    const std::vector<BenchVoice> voices = Voices(count);
    std::vector<SDL_AudioStream*> streams;
    for (const BenchVoice& voice : voices) {
        const bool same = voice.rate == kOutputRate && voice.channels == 2;
        streams.push_back(same ? nullptr
                               : SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(voice.channels), voice.rate,
                                                    AUDIO_S16SYS, 2, kOutputRate));
    }
    std::vector<int16_t> mix(2 * kOutputRate);
    std::vector<int16_t> converted(2 * kOutputRate + 4096);
    for (auto _ : state) {
        std::fill(mix.begin(), mix.end(), int16_t{0});
        for (size_t i = 0; i < voices.size(); ++i) {
            const BenchVoice& voice = voices[i];
            const int volume = static_cast<int>(std::lround(128 * std::pow(10.0, voice.volume / 2000.0)));
            const Uint8* source = reinterpret_cast<const Uint8*>(voice.samples.data());
            int bytes = 4 * kOutputRate;
            if (streams[i] != nullptr) {
                SDL_AudioStreamPut(streams[i], voice.samples.data(), 2 * voice.rate * voice.channels);
                bytes = SDL_AudioStreamGet(streams[i], converted.data(), 4 * kOutputRate);
                source = reinterpret_cast<const Uint8*>(converted.data());
            }
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(mix.data()), source, AUDIO_S16SYS,
                               static_cast<Uint32>(std::max(bytes, 0)), volume);
        }
        benchmark::DoNotOptimize(mix.data());
    }
    for (SDL_AudioStream* stream : streams)
        if (stream != nullptr) SDL_FreeAudioStream(stream);
}

std::string RowName(int count, const char* side) { return "mix_1s/" + std::to_string(count) + "_voices/" + side; }

// Collects each run's time per iteration for the closing table; with
// repetitions, the best of them.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double milliseconds = run.GetAdjustedRealTime() * 1000.0 /
                                        benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string name = run.run_name.str();
            const auto found = times_.find(name);
            times_[name] = found == times_.end() ? milliseconds : std::min(found->second, milliseconds);
        }
        ConsoleReporter::ReportRuns(reports);
    }
    double Time(const std::string& name) const {
        const auto found = times_.find(name);
        return found == times_.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> times_;
};

void PrintTable(const TableReporter& reporter) {
    std::printf("\nMilliseconds to mix one second of 44.1 kHz stereo, best of the repetitions\n");
    std::printf("%-8s %10s %10s %10s\n", "voices", "ours", "sdl2", "sdl2/ours");
    for (const int count : kVoiceCounts) {
        const double ours = reporter.Time(RowName(count, "ours"));
        const double sdl = reporter.Time(RowName(count, "sdl2"));
        char ratio[16] = "-";
        if (ours > 0 && sdl > 0) std::snprintf(ratio, sizeof ratio, "%.2f", sdl / ours);
        std::printf("%-8d %10.2f %10.2f %10s\n", count, ours, sdl, ratio);
    }
}

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    for (const int count : kVoiceCounts) {
        benchmark::RegisterBenchmark(RowName(count, "ours").c_str(),
                                     [count](benchmark::State& state) { RunOurs(state, count); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(RowName(count, "sdl2").c_str(),
                                     [count](benchmark::State& state) { RunSdl(state, count); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter);
    benchmark::Shutdown();
    return 0;
}
