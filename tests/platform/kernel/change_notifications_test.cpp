#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

constexpr DWORD kFiles = FILE_NOTIFY_CHANGE_FILE_NAME;
constexpr DWORD kFolders = FILE_NOTIFY_CHANGE_DIR_NAME;
constexpr DWORD kBoth = kFiles | kFolders;

class ChangeNotificationTest : public testsupport::PlatformTest {
public:
    void SetUp() override {
        PlatformTest::SetUp();
        MakeFolder("watched");
    }
    // A folder holding old.txt and the folder sub.
    void MakeFolder(const std::string& name) const {
        ASSERT_EQ(mkdir(Host(name).c_str(), 0755), 0);
        WriteHostFile(name + "/old.txt", "old");
        ASSERT_EQ(mkdir(Host(name + "/sub").c_str(), 0755), 0);
    }
    std::string Host(const std::string& name) const { return folder.hostPath() + "/" + name; }
    std::string Windows(const std::string& name) const { return folder.windowsPath() + "\\" + name; }
    void WriteHostFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(Host(name), std::ios::binary) << bytes;
    }
    static bool Signalled(HANDLE notification) { return WaitForSingleObject(notification, 0) == WAIT_OBJECT_0; }

    testsupport::TemporaryFolder folder;
};

// Each change, made on the host right before the look, against each filter:
// names of files, of folders, or both; contents and attributes never count.
TEST_F(ChangeNotificationTest, NameChangesSignalTheFiltersTheyConcern) {
    using Test = ChangeNotificationTest;
    const struct {
        const char* name;
        std::function<void(const Test&, const std::string&)> change;
        bool file;
        bool folder;
    } cases[] = {
        {"new file", [](const Test& t, const std::string& d) { t.WriteHostFile(d + "/new.txt", "x"); }, true, false},
        {"deleted file", [](const Test& t, const std::string& d) { unlink(t.Host(d + "/old.txt").c_str()); }, true,
         false},
        {"renamed file",
         [](const Test& t, const std::string& d) {
             rename(t.Host(d + "/old.txt").c_str(), t.Host(d + "/OLD.TXT").c_str());
         },
         true, false},
        {"file moved in",
         [](const Test& t, const std::string& d) {
             t.WriteHostFile(d + "-outside.txt", "x");
             rename(t.Host(d + "-outside.txt").c_str(), t.Host(d + "/in.txt").c_str());
         },
         true, false},
        {"new folder", [](const Test& t, const std::string& d) { mkdir(t.Host(d + "/made").c_str(), 0755); }, false,
         true},
        {"deleted folder", [](const Test& t, const std::string& d) { rmdir(t.Host(d + "/sub").c_str()); }, false,
         true},
        {"rewritten file", [](const Test& t, const std::string& d) { t.WriteHostFile(d + "/old.txt", "new"); },
         false, false},
        {"file made read-only", [](const Test& t, const std::string& d) { chmod(t.Host(d + "/old.txt").c_str(), 0444); },
         false, false},
        {"file in a sub-folder", [](const Test& t, const std::string& d) { t.WriteHostFile(d + "/sub/deep.txt", "x"); },
         false, false},
    };
    int made = 0;
    for (const auto& item : cases) {
        for (const DWORD filter : {kFiles, kFolders, kBoth}) {
            SCOPED_TRACE(testing::Message() << item.name << ", filter " << filter);
            const std::string name = "case" + std::to_string(made++);
            MakeFolder(name);
            // Any letter case reaches the folder, as every path does.
            HANDLE notification = FindFirstChangeNotificationA(Windows("CASE" + name.substr(4)).c_str(), FALSE, filter);
            ASSERT_NE(notification, INVALID_HANDLE_VALUE);
            EXPECT_FALSE(Signalled(notification));
            item.change(*this, name);
            const bool expected = ((filter & kFiles) && item.file) || ((filter & kFolders) && item.folder);
            EXPECT_EQ(Signalled(notification), expected);
            EXPECT_TRUE(FindCloseChangeNotification(notification));
        }
    }
}

TEST_F(ChangeNotificationTest, StaysSignalledUntilFindNextAndThenWaitsForTheNextChange) {
    HANDLE notification = FindFirstChangeNotificationA(Windows("watched").c_str(), FALSE, kFiles);
    ASSERT_NE(notification, INVALID_HANDLE_VALUE);
    WriteHostFile("watched/one.txt", "1");
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(FindNextChangeNotification(notification));
    EXPECT_FALSE(Signalled(notification));
    WriteHostFile("watched/two.txt", "2");
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(FindCloseChangeNotification(notification));
}

TEST_F(ChangeNotificationTest, AWaitWakesWhenAnotherThreadChangesTheFolder) {
    HANDLE notification = FindFirstChangeNotificationA(Windows("watched").c_str(), FALSE, kFiles);
    ASSERT_NE(notification, INVALID_HANDLE_VALUE);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread changer([&] {
        Sleep(20);  // the main thread is most likely waiting by now
        WriteHostFile("watched/late.txt", "x");
    });
    const HANDLE both[] = {event, notification};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 60000), WAIT_OBJECT_0 + 1);
    changer.join();
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_TRUE(FindCloseChangeNotification(notification));
}

TEST_F(ChangeNotificationTest, TheFolderGoingAwaySignalsEveryFilter) {
    for (const char* how : {"deleted", "moved"}) {
        SCOPED_TRACE(how);
        ASSERT_EQ(mkdir(Host("short-lived").c_str(), 0755), 0);
        HANDLE notification = FindFirstChangeNotificationA(Windows("short-lived").c_str(), FALSE, kFolders);
        ASSERT_NE(notification, INVALID_HANDLE_VALUE);
        if (std::string(how) == "deleted") {
            ASSERT_EQ(rmdir(Host("short-lived").c_str()), 0);
        } else {
            ASSERT_EQ(rename(Host("short-lived").c_str(), Host("elsewhere").c_str()), 0);
            ASSERT_EQ(rmdir(Host("elsewhere").c_str()), 0);
        }
        EXPECT_TRUE(Signalled(notification));
        EXPECT_TRUE(FindCloseChangeNotification(notification));
    }
}

// Notifications on one folder share the host's watch: each goes on working
// whichever closes first.
TEST_F(ChangeNotificationTest, NotificationsOnOneFolderAreIndependent) {
    HANDLE first = FindFirstChangeNotificationA(Windows("watched").c_str(), FALSE, kFiles);
    HANDLE second = FindFirstChangeNotificationA(Windows("WATCHED").c_str(), FALSE, kBoth);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    mkdir(Host("watched/made").c_str(), 0755);
    EXPECT_FALSE(Signalled(first));
    EXPECT_TRUE(Signalled(second));
    EXPECT_TRUE(FindCloseChangeNotification(second));
    WriteHostFile("watched/after.txt", "x");
    EXPECT_TRUE(Signalled(first));
    EXPECT_TRUE(FindCloseChangeNotification(first));

    // A new one after both closed watches afresh.
    HANDLE third = FindFirstChangeNotificationA(Windows("watched").c_str(), FALSE, kFiles);
    ASSERT_NE(third, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Signalled(third));
    unlink(Host("watched/after.txt").c_str());
    EXPECT_TRUE(Signalled(third));
    EXPECT_TRUE(FindCloseChangeNotification(third));
}

TEST_F(ChangeNotificationTest, RefusesWhatItCannotWatchAndHandlesOfOtherKinds) {
    const struct {
        std::string path;
        BOOL subtree;
        DWORD filter;
        DWORD error;
    } cases[] = {
        {Windows("missing"), FALSE, kFiles, ERROR_PATH_NOT_FOUND},
        {Windows("watched\\old.txt"), FALSE, kFiles, ERROR_DIRECTORY},
        {Windows("watched"), TRUE, kFiles, ERROR_INVALID_PARAMETER},
        {Windows("watched"), FALSE, 0, ERROR_INVALID_PARAMETER},
        {Windows("watched"), FALSE, 0x10, ERROR_INVALID_PARAMETER},
        {std::string(300, 'a'), FALSE, kFiles, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.path);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(FindFirstChangeNotificationA(item.path.c_str(), item.subtree, item.filter), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), item.error);
    }
    EXPECT_EQ(FindFirstChangeNotificationA(nullptr, FALSE, kFiles), INVALID_HANDLE_VALUE);

    HANDLE notification = FindFirstChangeNotificationA(Windows("watched").c_str(), FALSE, kFiles);
    ASSERT_NE(notification, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CloseHandle(notification));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(FindNextChangeNotification(event));
    EXPECT_FALSE(FindCloseChangeNotification(event));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_TRUE(FindCloseChangeNotification(notification));
    EXPECT_FALSE(FindCloseChangeNotification(notification));
    EXPECT_FALSE(FindNextChangeNotification(notification));
}

}  // namespace
