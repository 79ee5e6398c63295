// Internal to framework/graphics (and its tests): the choice of the screen,
// Z-buffer and texture formats that a new device offers.
#pragma once

// Reads the screen format from the back buffer and chooses the Z format and
// every entry of the texture format table, logging each choice. -1 when the
// device offers no Z format or none for a texture format the framework
// cannot do without.
int ChooseDeviceFormats();
