// How game code is tested: the game headless (headless_game.h: the real
// framework on the manual clock, scripted keys and pad, the virtual sound
// output, the message boxes in a list and every public graphic draw seen
// frame by frame) in a fresh folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/game/headless_game.h"
#include "tests/support/started_log_fixture.h"

namespace gametest {

// The headless game (see headless_game.h) in the test's folder; a scene
// still running at the frame limit fails the test.
class GameTest : public testsupport::StartedLogTest, protected HeadlessGame {
protected:
    void SetUp() override;
    void TearDown() override;
    void FrameLimitReached(int frame) override;

    // ---- files in the test folder (Windows-style relative names) ---------------
    void WriteFile(const std::string& relativePath, const std::string& bytes);
    // An opaque picture of one colour (0xRRGGBB).
    void WritePicture(const std::string& relativePath, int width, int height, uint32_t colour);
    // A 16-bit mono PCM wave of a 440 Hz tone at 22050 Hz.
    void WriteTone(const std::string& relativePath, int milliseconds);
    // The loading animation's sheet, 1024 by 512.
    void WriteLoadingSheet();
};

#ifdef BRACKENFOLD_RESOURCE_DIR
// The generated resource tree's folder as the framework spells an absolute
// path, for SetCurrentDirectoryA: the game opens "resource\..." relative to
// the folder it runs in.
inline std::string GeneratedTreeFolder() {
    std::string path = std::string("C:") + BRACKENFOLD_RESOURCE_DIR;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
#endif

}  // namespace gametest
