// The animation after every cleared stage: the robot flies in over the
// Earth, the words mission-clear appear, the picture fades out.
#pragma once

// 0 when the animation has ended, -1 when the program must end or a file
// fails to load.
int RunStageClearScene();
