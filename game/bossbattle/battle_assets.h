// The boss battle's pictures: one table of 417 graphic handles through which
// every picture of the battle is drawn, filled from a list of 417 file names
// that is the same for every battle except the boss's own positions.
#pragma once

inline constexpr int kBossBattleImageCount = 417;

// The pause menu's four 384 x 64 parts, from y 128 down: resume selected,
// resume plain, quit selected, quit plain. A picture of the battle's own, for
// the stage and the game-over menus cut the same rows of their shared menu
// picture the other way round (plain above selected).
inline constexpr const char* kBattlePauseMenuPicture = "resource\\picture\\selection\\battle_select_menus.png";

// The three robot movies, which the framework opens as graphics.
extern const char* RobotMovieNames[3];

// True for the story bosses 1, 2, 3, 5, 6 and the boss-rush ids 1000, 2000,
// 3000, 5000, 6000.
bool IsBossBattleId(int bossId);

// The file at a position of the boss's list ("resource\..."), or null for an
// empty position, a position outside the list or an unknown id.
const char* BossBattleImageName(int bossId, int position);

// Fills images (417 ints) with -1, then loads the boss's list through the
// texture manager with the loading screen shown. 0 on success and for an
// unknown id (nothing loaded); -1 after a failure, which is reported and
// ends the program through the quit message.
int LoadBossBattleAssets(int bossId, int* images);

// Gives the three robot movies back to the texture manager by name.
void ReleaseRobotMovies();

// The handle at a position of a loaded table, or -1 for a position outside
// it, so that a draw by position never reads beyond the table.
int BossBattleImage(const int* images, int position);
