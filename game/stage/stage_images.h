// Every stage part draws from one long list of image files, one list per
// stage; the drawing code names an image by its position in that list.
#pragma once

constexpr int kStageImageListLength = 745;
// Stage 5's list is longer: it adds the stone snake's second entrance.
constexpr int kStage5ImageListLength = 760;
// The size of a stage's handle table: room for the longest list.
constexpr int kStageImageTableSize = kStage5ImageListLength;

// Positions of images that the drawing code uses but no other table places;
// chosen once among the positions that no stage list uses otherwise.
namespace StageImage {
constexpr int kEnemyDeathFirst = 74;     // 10 frames: an enemy's first death animation
constexpr int kEnemyDeathSecond = 222;   // 10 frames: the second death animation
constexpr int kFenwa = 380;              // 10 frames: Fenwa's look
constexpr int kBlockBreak = 548;         // 12 frames: a falling block breaking
constexpr int kDestructionFront = 560;   // 12 frames: stage 302's destruction front
constexpr int kWhiteFlash = 572;         // the spells' white flash
constexpr int kBlack = 573;              // the bombardment's darkened view
constexpr int kAttackLevelItem2 = 574;   // the attack-level item's second and
constexpr int kAttackLevelItem3 = 575;   // third images (its first is 344)
constexpr int kElevator = 576;           // an up-down elevator
constexpr int kSinkingFloor = 577;       // a sinking floor
constexpr int kCrumblingBlock = 578;     // a block of the first gimmick table
constexpr int kTamselDownSpin = 579;     // the second image of character 3's down
}  // namespace StageImage

// A code's names by position (null = empty), length in *countOut; null, 0 without a list.
const char* const* StageImageList(int stageCode, int* countOut);

// Loads the code's list into handles (kStageImageTableSize entries, all set
// to -1 first). 0 when loaded; -1 when the code has no list (no message) or
// a file failed ("Failed to load Image. This program will quit." and a quit
// message with exit code 1).
int LoadStageImages(int* handles, int stageCode);
// Releases count names from position first of the code's list; -1 without
// releasing when the code has no list, first is negative or first + count is
// not below the list's length (the last name is never part of a release).
int ReleaseStageImages(int stageCode, int first, int count);
// The handle at a position of a table that LoadStageImages filled, or -1 for
// a position outside the table.
int StageImageAt(const int* handles, int position);
