// The entry point of every test program: no display and no sound card unless
// the caller's environment asks for one, then every test.
#include <gtest/gtest.h>

#include <cstdlib>

// fontconfig keeps two small blocks of its configuration parse unreachable
// for the life of the process; they are the library's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// The leak check also scans the blocks that __tls_get_addr hands out for the
// thread-local variables of libraries loaded later (LLVM's, under Mesa's
// llvmpipe, on the thread that draws). To size a block that starts 16 bytes
// past a page boundary, this sanitizer runtime reads the 16 bytes before it as
// the header of an old glibc layout; they are the heap's own chunk header, so
// the check scans from a small address and its tracer dies with SIGSEGV after
// every test has passed. LLVM's 24-byte block starts there whenever the
// allocator gives it the one slot in 256 of its size that begins a page.
// Without the tracking the blocks are still scanned: the dynamic linker
// allocates them, and the leak check holds all it allocates reachable.
extern "C" const char* __lsan_default_options() { return "intercept_tls_get_addr=0"; }

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
#if defined(__SANITIZE_THREAD__)
    // The software OpenGL driver hands its drawing to worker threads and
    // writes compiled shaders to a disk cache from another, synchronised by
    // means the thread checker does not see: it reports races wholly inside
    // the driver, more often once the cache is warm from an earlier run. With
    // no worker threads and no cache the driver runs on the calling thread
    // alone, the same on every run, and every report left touches our code.
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
