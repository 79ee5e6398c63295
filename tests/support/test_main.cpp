// The entry point of every test program: no display and no sound card unless
// the caller's environment asks for one, then every test.
#include <gtest/gtest.h>

#include <cstdlib>

// fontconfig keeps two small blocks of its configuration parse unreachable
// for the life of the process; they are the library's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
