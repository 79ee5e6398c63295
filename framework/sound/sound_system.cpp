// The sound system's start and end.
#include "framework/sound/sound_system.h"

#include <cstring>

#include "framework/base/log.h"
#include "framework/sound/music.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"
#include "platform/platform.h"

namespace {

constexpr DWORD kSilentBufferFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_STATIC;
constexpr DWORD kSilentBufferBytes = 400;
constexpr DWORD kHighestPrimaryRate = 44100;

const char* YesNo(DWORD flags, DWORD flag) { return (flags & flag) != 0 ? "OK" : "NO"; }

// Releases what a failed start made: the object and the lock.
int FailStart() {
    if (PrimarySoundBuffer != nullptr) {
        PrimarySoundBuffer->Release();
        PrimarySoundBuffer = nullptr;
    }
    DirectSoundObject->Release();
    DirectSoundObject = nullptr;
    DeleteCriticalSection(&SoundLock);
    return -1;
}

void SetPrimaryFormat() {
    DSCAPS caps{};
    caps.dwSize = sizeof caps;
    DirectSoundObject->GetCaps(&caps);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (caps.dwFlags & DSCAPS_PRIMARYSTEREO) ? 2 : 1;
    format.wBitsPerSample = (caps.dwFlags & DSCAPS_PRIMARY16BIT) ? 16 : 8;
    format.nSamplesPerSec =
        caps.dwMaxSecondarySampleRate < kHighestPrimaryRate ? caps.dwMaxSecondarySampleRate : kHighestPrimaryRate;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    if (FAILED(PrimarySoundBuffer->SetFormat(&format)))
        WriteLogLine("DirectSoundのプライマリサウンドバッファのフォーマット設定に失敗しました\n");
}

// A buffer of silence that loops from start to end.
void StartSilentBuffer() {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), kSilentBufferFlags, kSilentBufferBytes, 0, &format, {}};
    if (FAILED(DirectSoundObject->CreateSoundBuffer(&description, &SilentSoundBuffer, nullptr))) {
        SilentSoundBuffer = nullptr;
        WriteLogLine("無音バッファの作成に失敗しました\n");
        return;
    }
    void* part1 = nullptr;
    DWORD size1 = 0;
    void* part2 = nullptr;
    DWORD size2 = 0;
    if (FAILED(SilentSoundBuffer->Lock(0, kSilentBufferBytes, &part1, &size1, &part2, &size2, 0))) {
        WriteLogLine("無音バッファのロックに失敗しました\n");
        SilentSoundBuffer->Release();
        SilentSoundBuffer = nullptr;
        return;
    }
    std::memset(part1, 0, size1);
    if (part2 != nullptr) std::memset(part2, 0, size2);
    SilentSoundBuffer->Unlock(part1, size1, part2, size2);
    SilentSoundBuffer->Play(0, 0, DSBPLAY_LOOPING);
}

void LogDevices() {
    IncreaseLogDepth();
    DSCAPS caps{};
    caps.dwSize = sizeof caps;
    DirectSoundObject->GetCaps(&caps);
    WriteLogLine("DirectSound デバイスを列挙します\n");
    IncreaseLogDepth();
    HMODULE library = LoadLibraryA("DSOUND.DLL");
    if (library == nullptr) {
        WriteLogLine("DSOUND.DLL のロードに失敗しました\n");
        DecreaseLogDepth();
        DecreaseLogDepth();
        return;
    }
    auto enumerate = reinterpret_cast<HRESULT(WINAPI*)(LPDSENUMCALLBACKA, LPVOID)>(
        reinterpret_cast<void*>(GetProcAddress(library, "DirectSoundEnumerateA")));
    if (enumerate == nullptr) {
        FreeLibrary(library);
        WriteLogLine("DirectSound デバイスの列挙用関数のポインタ取得に失敗しました\n");
        DecreaseLogDepth();
        DecreaseLogDepth();
        return;
    }
    enumerate(EnumSoundDeviceCallback, nullptr);
    DecreaseLogDepth();

    const DWORD flags = caps.dwFlags;
    WriteLogFormat("最大サンプリングレート:%.2fKHz 最小サンプリングレート:%.2fKHz",
                   caps.dwMaxSecondarySampleRate / 1000.0, caps.dwMinSecondarySampleRate / 1000.0);
    WriteLogFormat("総サウンドメモリ領域:%.2fKB 空きサウンドメモリ領域:%.2fKB", caps.dwTotalHwMemBytes / 1024.0,
                   caps.dwFreeHwMemBytes / 1024.0);
    WriteLogLine("利用可能サンプリング精度\n");
    WriteLogFormat(" プライマリ １６bit = %s  ８bit = %s ", YesNo(flags, DSCAPS_PRIMARY16BIT),
                   YesNo(flags, DSCAPS_PRIMARY8BIT));
    WriteLogFormat(" セカンダリ １６bit = %s  ８bit = %s ", YesNo(flags, DSCAPS_SECONDARY16BIT),
                   YesNo(flags, DSCAPS_SECONDARY8BIT));
    WriteLogLine("利用可能チャンネル\n");
    WriteLogFormat(" プライマリ MONO = %s  STEREO = %s ", YesNo(flags, DSCAPS_PRIMARYMONO),
                   YesNo(flags, DSCAPS_PRIMARYSTEREO));
    WriteLogFormat(" セカンダリ MONO = %s  STEREO = %s ", YesNo(flags, DSCAPS_SECONDARYMONO),
                   YesNo(flags, DSCAPS_SECONDARYSTEREO));
    DecreaseLogDepth();
    FreeLibrary(library);
}

void StartStreamThread() {
    SoundStreamThreadTerminate.store(0);
    SoundStreamThread = CreateThread(nullptr, 0, SoundStreamThreadProc, nullptr, CREATE_SUSPENDED,
                                     &SoundStreamThreadId);
    if (SoundStreamThread == nullptr) return;
    SetThreadPriority(SoundStreamThread, THREAD_PRIORITY_TIME_CRITICAL);
    ResumeThread(SoundStreamThread);
}

// Asks the stream thread to stop and waits until it has ended, whatever the
// message loop reports: the thread may be inside a refill, and what it uses
// is released right after. It ends within one turn of its loop and touches
// no window, so no messages need handling meanwhile.
void StopStreamThread() {
    if (SoundStreamThread == nullptr) return;
    SoundStreamThreadTerminate.store(1);
    // An end reached from the thread itself cannot wait for it.
    if (GetCurrentThreadId() != SoundStreamThreadId) WaitForSingleObject(SoundStreamThread, INFINITE);
    CloseHandle(SoundStreamThread);
    SoundStreamThread = nullptr;
    SoundStreamThreadId = 0;
}

}  // namespace

BOOL CALLBACK EnumSoundDeviceCallback(GUID*, LPCSTR description, LPCSTR module, LPVOID) {
    WriteLogFormat("モジュール名:%15s  ドライバ記述:%s", module, description);
    return TRUE;
}

int InitSoundSystem() {
    if (SoundSystemStarted()) return -1;
    InitializeCriticalSection(&SoundLock);

    WriteLogLine("DirectSound の初期化を行います\n");
    WriteLogLine("DirectSound インターフェースの取得を行います....  ");
    void* made = nullptr;
    // The class is in-process: the only kind of server there is here.
    if (FAILED(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_ALL, IID_IDirectSound, &made))) {
        DeleteCriticalSection(&SoundLock);
        return WriteLogLine("DirectSoundインターフェースの作成に失敗しました\n");
    }
    DirectSoundObject = static_cast<IDirectSound*>(made);
    WriteLogLine("成功\n");

    WriteLogLine("引き続きインターフェースの初期化処理...  ");
    if (FAILED(DirectSoundObject->Initialize(nullptr))) {
        WriteLogLine("初期化に失敗しました\n");
        return FailStart();
    }
    WriteLogLine("成功\n");

    if (FAILED(DirectSoundObject->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY))) {
        WriteLogLine("DirectSoundの協調レベルの設定に失敗しました\n");
        return FailStart();
    }
    DSBUFFERDESC primary{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
    if (FAILED(DirectSoundObject->CreateSoundBuffer(&primary, &PrimarySoundBuffer, nullptr))) {
        PrimarySoundBuffer = nullptr;
        WriteLogLine("DirectSoundのプライマリサウンドバッファの作成に失敗しました\n");
        return FailStart();
    }
    SetPrimaryFormat();
    StartSilentBuffer();

    ResetSoundLoadType();
    OggVorbisBytesPerSample = 2;
    ListInit(&StreamListHead, &StreamListTail);

    LogDevices();
    DeleteAllSoundHandles(0);
    StartStreamThread();
    WriteLogLine("DirectSound の初期化は正常に終了しました\n");
    return 0;
}

int TermSoundSystem() {
    if (!SoundSystemStarted()) return -1;
    StopStreamThread();

    DeleteAllSoundHandles(0);
    DeleteAllMusicHandles();
    DeleteCriticalSection(&SoundLock);

    if (PrimarySoundBuffer != nullptr) {
        PrimarySoundBuffer->Stop();
        PrimarySoundBuffer->Release();
        PrimarySoundBuffer = nullptr;
    }
    if (SilentSoundBuffer != nullptr) {
        SilentSoundBuffer->Stop();
        SilentSoundBuffer->Release();
        SilentSoundBuffer = nullptr;
    }
    DirectSoundObject->Release();
    DirectSoundObject = nullptr;
    WriteLogLine("DirectSound の終了処理は正常に終了しました\n");
    return 0;
}
