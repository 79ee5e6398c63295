// The lookup tables of movie playback's YUV-to-RGB conversion.
#pragma once

#include <cstdint>

// Fills the tables. Returns 0.
int InitYuvToRgbTables();
// The clamp table: entry v (-512 to 767) is v limited to 0 to 255.
uint8_t ClampYuvComponent(int value);
