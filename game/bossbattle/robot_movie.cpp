// Playing the robot movie until it ends or a button is newly pressed.
#include "game/bossbattle/robot_movie.h"

#include "framework/graphics/graphics.h"
#include "game/bossbattle/battle_assets.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"

namespace {

// A button held now that was not held in the frame before.
bool KeyNewlyPressed(const Manager::CInputManager* input) {
    return (input->heldButtons & ~input->previousButtons) != 0;
}

}  // namespace

int PlayRobotMovie(int bossId, const int* images) {
    const int movie = BossBattleImage(images, bossId == 1000 ? 202 : 201);
    Manager::CInputManager* input = Manager::CInputManager::GetInstance();
    Manager::CFPSManager* frames = Manager::CFPSManager::GetInstance();
    PlayGraphicMovie(movie, 1, 0);
    while (GetGraphicMovieState(movie) == 1 && !KeyNewlyPressed(input)) {
        ClearTargetScreen();
        DrawGraphicAtPoint(0, 0, movie, 0);
        if (!frames->Update()) {
            PauseGraphicMovie(movie, 0);
            return -1;
        }
        PresentBackBuffer();
    }
    PauseGraphicMovie(movie, 0);
    return 0;
}
