// The robot movie shown before a battle, played through the graphic that the
// battle's image table opened from the movie file.
#pragma once

// Plays the movie of the battle (entry 201 of the image table, 202 for the
// first boss-rush battle) until it ends or a key is newly pressed: one held
// since before the movie does not skip it. 0 when the movie ended or was
// skipped, -1 when the window closed.
int PlayRobotMovie(int bossId, const int* images);
