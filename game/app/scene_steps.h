// The small steps every title and story scene takes: a button pressed this
// frame, the end of a drawn frame, a failed load, the fade brightness.
#pragma once

// The button (an input-manager bit) went down in this frame.
bool ButtonJustPressed(int button);

// Presents the drawn frame and ends it; false once the program must end.
bool PresentAndEndFrame();

// Tells the player what failed to load and ends the program with exit code 1.
void ShowLoadFailure(const char* text);

// The same brightness for red, green and blue.
void SetBrightness(int brightness);
