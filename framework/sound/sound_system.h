// Starting and ending the sound system.
#pragma once

// Starts sound output; start-up does not look at the result (0).
int InitSoundSystem();
// -1 when sound is not started; else stops it, logs its end and returns 0.
int TermSoundSystem();
