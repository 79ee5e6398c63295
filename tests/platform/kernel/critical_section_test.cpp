#include <atomic>
#include <thread>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

using CriticalSectionTest = testsupport::PlatformTest;

TEST_F(CriticalSectionTest, IsRecursiveForItsOwnerAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));  // the owner again

    BOOL otherGotIt = TRUE;
    std::thread([&] { otherGotIt = TryEnterCriticalSection(&section); }).join();
    EXPECT_FALSE(otherGotIt);

    LeaveCriticalSection(&section);
    std::thread([&] { otherGotIt = TryEnterCriticalSection(&section); }).join();
    EXPECT_FALSE(otherGotIt) << "still held once";

    LeaveCriticalSection(&section);
    std::thread([&] {
        otherGotIt = TryEnterCriticalSection(&section);
        if (otherGotIt) LeaveCriticalSection(&section);
    }).join();
    EXPECT_TRUE(otherGotIt);
    DeleteCriticalSection(&section);
}

TEST_F(CriticalSectionTest, SerialisesIncrementsFromSeveralThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    long total = 0;
    std::thread workers[4];
    for (auto& worker : workers)
        worker = std::thread([&] {
            for (int i = 0; i < 10000; ++i) {
                EnterCriticalSection(&section);
                ++total;
                LeaveCriticalSection(&section);
            }
        });
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(total, 40000);
    DeleteCriticalSection(&section);
}

}  // namespace
