// A library the tests load with dlopen for its one thread-local block of 24
// bytes: glibc allocates such a block on the heap the first time each thread
// touches it, as it does for LLVM's under Mesa's llvmpipe.
namespace {

struct Slot {
    void* words[3];
};

thread_local Slot slot;

}  // namespace

// The calling thread's block (the slot is all of it).
extern "C" __attribute__((visibility("default"))) void* KilnTouchDynamicTls() { return &slot; }
