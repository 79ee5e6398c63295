// Stand-in until the program's start and shutdown are built.
#include "framework/base/log.h"
#include "framework/graphics/draw_target.h"
#include "framework/graphics/graphic_handles.h"
#include "framework/sound/music.h"
#include "framework/sound/sound_handles.h"
#include "framework/startup/framework_startup.h"
#include "framework/window/window_mode.h"
#include "game/framework/game_config.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    File::Manager::GetInstance();
    const GameConfig* config = GetGameConfig();
    ChangeWindowMode(config->fullScreen ? 0 : 1);
    SetMainWindowTitle("ブラッケンフォールド　～戦え！グラヴォイドロボ！～ Ver.1.00");
    SetLogFileOutput(1);
    if (InitFramework() == -1) return -1;
    SelectDrawTarget(-2);

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
