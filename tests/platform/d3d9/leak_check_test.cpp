// The leak check with a library's thread-local block on the heap, as the
// OpenGL tests leave one on the thread that draws (LLVM's, under Mesa's
// llvmpipe): the check must run, and find nothing, whichever address the
// allocator gave the block. A block that starts 16 bytes past a page boundary
// is the one the sanitizer runtime misreads; a thread steers its own
// allocations so that the block lands there and stays alive while the check
// runs.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr uintptr_t kPage = 4096;
constexpr size_t kBlockBytes = 24;  // the probe's thread-local block

bool StartsPastAPage(uintptr_t address) { return address % kPage == 16; }

// A thread that touches the probe's block after steering the allocator, then
// keeps it until released.
class BlockHolder {
public:
    explicit BlockHolder(void* (*touch)()) : thread_([this, touch] { Hold(touch); }) {
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait(guard, [this] { return touched_; });
    }

    ~BlockHolder() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            released_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    uintptr_t block() const { return block_; }

private:
    void Hold(void* (*touch)()) {
        // Blocks of the same size come one after another at a steady stride
        // while the thread's cache lasts: stop where the next would start 16
        // bytes past a page, for the block glibc allocates next.
        std::vector<void*> steering;
        uintptr_t last = 0;
        for (int i = 0; i < 4096; ++i) {
            void* taken = std::malloc(kBlockBytes);
            steering.push_back(taken);
            const uintptr_t address = reinterpret_cast<uintptr_t>(taken);
            if (last != 0 && address > last && StartsPastAPage(address + (address - last))) break;
            last = address;
        }
        const uintptr_t block = reinterpret_cast<uintptr_t>(touch());
        for (void* taken : steering) std::free(taken);
        std::unique_lock<std::mutex> guard(lock_);
        block_ = block;
        touched_ = true;
        changed_.notify_all();
        changed_.wait(guard, [this] { return released_; });
    }

    std::mutex lock_;
    std::condition_variable changed_;
    bool touched_ = false;
    bool released_ = false;
    uintptr_t block_ = 0;
    std::thread thread_;
};

TEST(LeakCheckTest, RunsWhileAThreadHoldsALibrarysThreadLocalBlockStartingPastAPage) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "The leak check comes with AddressSanitizer";
#else
    void* library = dlopen(KILN_DYNAMIC_TLS_PROBE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto touch = reinterpret_cast<void* (*)()>(dlsym(library, "KilnTouchDynamicTls"));
    ASSERT_NE(touch, nullptr);
    // A thread's cache may run out in the middle of the steering: another
    // thread starts afresh.
    bool placed = false;
    for (int attempt = 0; attempt < 50 && !placed; ++attempt) {
        BlockHolder holder(touch);
        if (!StartsPastAPage(holder.block())) continue;
        placed = true;
        EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
    }
    EXPECT_TRUE(placed) << "no thread's block could be steered to 16 bytes past a page";
    dlclose(library);
#endif
}

}  // namespace
