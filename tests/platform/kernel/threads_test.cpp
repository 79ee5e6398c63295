#include <atomic>
#include <set>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

using ThreadsTest = testsupport::PlatformTest;

struct Gate {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> idSeen{0};
    ~Gate() { CloseHandle(go); }
};

DWORD WINAPI WaitForGateThenExit(LPVOID parameter) {
    auto* gate = static_cast<Gate*>(parameter);
    gate->idSeen = GetCurrentThreadId();
    WaitForSingleObject(gate->go, INFINITE);
    return 42;
}

TEST_F(ThreadsTest, ExitCodeIsStillActiveUntilTheThreadEnds) {
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitForGateThenExit, &gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    SetEvent(gate.go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(gate.idSeen.load(), id);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
    EXPECT_TRUE(CloseHandle(thread));
}

TEST_F(ThreadsTest, SuspendedThreadRunsOnlyAfterResume) {
    Gate gate;
    SetEvent(gate.go);
    HANDLE thread = CreateThread(nullptr, 0, WaitForGateThenExit, &gate, CREATE_SUSPENDED, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30), WAIT_TIMEOUT);
    EXPECT_EQ(gate.idSeen.load(), 0u);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ResumeThread(thread), 0u);
    CloseHandle(thread);
}

DWORD WINAPI ReportIdAndLastError(LPVOID parameter) {
    SetLastError(ERROR_ACCESS_DENIED);
    *static_cast<DWORD*>(parameter) = GetCurrentThreadId();
    return GetLastError();
}

TEST_F(ThreadsTest, IdsAreDistinctStableAndValidAndLastErrorIsPerThread) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    std::set<DWORD> ids = {GetCurrentThreadId()};
    EXPECT_EQ(GetCurrentThreadId(), *ids.begin());
    for (int i = 0; i < 4; ++i) {
        DWORD seen = 0;
        HANDLE thread = CreateThread(nullptr, 0, ReportIdAndLastError, &seen, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, ERROR_ACCESS_DENIED);
        CloseHandle(thread);
        EXPECT_NE(seen, 0u);
        EXPECT_NE(seen, 0xFFFFFFFFu);
        EXPECT_TRUE(ids.insert(seen).second) << "id " << seen << " given twice";
    }
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(GetCurrentProcessId(), 0u);
}

TEST_F(ThreadsTest, PriorityIsRecordedAndInvalidOnesRefused) {
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_HIGHEST);
    EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 7));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
}

}  // namespace
