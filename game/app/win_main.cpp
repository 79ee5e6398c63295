// The program's start, its top scene loop over the logo, the opening and
// the main menu, and its shutdown.
#include "game/app/win_main.h"

#include "framework/archive/archive_reader.h"
#include "framework/base/log.h"
#include "framework/files/file_access_table.h"
#include "framework/graphics/graphics.h"
#include "framework/sound/music.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "framework/startup/framework_startup.h"
#include "framework/window/main_window.h"
#include "framework/window/window_mode.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/game_mode.h"
#include "game/app/options_scene.h"
#include "game/app/play_time.h"
#include "game/app/title_scenes.h"
#include "game/framework/game_config.h"
#include "game/framework/input_manager.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"

const SoundListEntry TitleSoundList[3] = {
    {"resource\\sound\\SE\\se_title_select.wav", 1},
    {"resource\\sound\\SE\\se_title_enter.wav", 1},
    {"resource\\sound\\BGM\\bgm_title.ogg", 0},
};

namespace {

constexpr int kIconResource = 101;

// Windows 6 and later can switch desktop composition off for the program's
// run; elsewhere, or without the library, nothing changes.
void SwitchOffDesktopComposition() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion < 6)
        return;
    HMODULE library = LoadLibraryA("Dwmapi.dll");
    if (library == nullptr) return;
    typedef HRESULT(WINAPI * EnableComposition)(UINT);
    if (auto enable = reinterpret_cast<EnableComposition>(
            reinterpret_cast<void*>(GetProcAddress(library, "DwmEnableComposition"))))
        enable(0);
    FreeLibrary(library);
}

void SetWindowIcon(HINSTANCE instance) {
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    HWND window = GetMainWindowHandle();
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// Every resource goes in a fixed order before the framework ends.
int ShutDown() {
    Manager::CPrimitive2DObjectManager::GetInstance()->CheckUnreleased();
    Manager::C2DFontManager::GetInstance()->ReleaseAll();
    Manager::CTextureManager::GetInstance()->ReleaseAll();
    Manager::CSoundManager::GetInstance()->ReleaseAll();
    DeleteAllGraphicHandles(0);
    DeleteAllSoundHandles(0);
    DeleteAllMusicHandles();
    EndFramework();
    PostQuitMessage(0);
    return 0;
}

// The logo, the opening and the main menu, and the scenes the menu leads
// to, until a scene ends the program.
void RunTitleLoop(int* titleSounds) {
    SceneCode result = 10;
    bool skipOpening = false;
    for (;;) {
        if (result == 10 && !RunCircleLogoScene()) return;
        SetActiveStateCallback(OnActiveChangeBgm, SoundHandleArgument(titleSounds[2]));
        if (CheckSoundHandlePlaying(titleSounds[2]) == 0) PlaySoundHandle(titleSounds[2], kPlayTypeLoop, 1);
        CNowLoadingDrawer::GetInstance()->visible = false;
        if (!skipOpening && RunOpeningScene() == -1) {
            // The title music's handle goes with the shutdown: no focus
            // change may reach it after that.
            SetActiveStateCallback(nullptr, nullptr);
            return;
        }

        CNowLoadingDrawer::GetInstance()->visible = true;
        result = RunMainMenuScene(titleSounds);
        skipOpening = false;
        switch (result) {
        case 11:
            result = RunGameMode(titleSounds);
            if (result == 0) skipOpening = true;
            break;
        case 12:
            skipOpening = true;
            result = RunHowToScene(titleSounds);
            break;
        case 13:
            skipOpening = true;
            result = RunConfigScene(TitleSoundList, titleSounds);
            break;
        case 14:
            result = 9;
            break;
        default:
            break;
        }
        SetActiveStateCallback(nullptr, nullptr);
        if (PumpMessagesLocked() < 0 || result == 9 || result == -1) return;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    File::Manager::GetInstance();
    UseArchiveFiles(1);
    SetArchiveKeyText("Quillon_Ferro_Oak");
    const GameConfig* config = GetGameConfig();
    bool windowed = true;
    bool joypadEnabled = true;
    int joypadId = 0;
    JoypadPair joypadPairs[10] = {};
    Manager::CInputManager::LoadKeyConfig("./config_ver_1.xml", &windowed, &joypadEnabled, &joypadId, joypadPairs);
    ChangeWindowMode(config->fullScreen ? 0 : 1);
    SetMainWindowTitle("ブラッケンフォールド　～戦え！グラヴォイドロボ！～ Ver.1.00");
    SetLogFileOutput(1);
    if (InitFramework() == -1) return -1;

    SetWindowIcon(instance);
    FillBestTimeRecordList();
    if (!LoadGameData()) GameProgress = 0;
    SelectDrawTarget(-2);
    if (config->noDesktopComposition) SwitchOffDesktopComposition();

    int titleSounds[3] = {-1, -1, -1};
    if (!LoadSoundsWithProgress(TitleSoundList, titleSounds, 3)) {
        MessageBoxA(nullptr, "Failed to load Title Sound. This program will quit.", nullptr, MB_ICONHAND);
        PostQuitMessage(1);
        return 0;
    }
    Manager::CInputManager* input = Manager::CInputManager::GetInstance();
    input->joypadEnabled = joypadEnabled;
    for (int i = 0; i < 10; ++i) input->joypad[i] = joypadPairs[i];

    RunTitleLoop(titleSounds);
    return ShutDown();
}
