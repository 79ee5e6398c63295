#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

constexpr DWORD R = GENERIC_READ;
constexpr DWORD W = GENERIC_WRITE;
constexpr DWORD RW = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD SR = FILE_SHARE_READ;
constexpr DWORD SW = FILE_SHARE_WRITE;
constexpr DWORD SD = FILE_SHARE_DELETE;

class ShareModesTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        std::ofstream(folder.hostPath() + "/Data.bin", std::ios::binary) << "contents";
    }
    std::string Name(const std::string& name = "Data.bin") const {
        return folder.windowsPath() + "\\" + name;
    }
    HANDLE Open(DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING,
                const std::string& name = "Data.bin") const {
        return CreateFileA(Name(name).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }

    testsupport::TemporaryFolder folder;
};

struct ShareCase {
    DWORD firstAccess, firstShare;
    DWORD secondAccess, secondShare;
    bool secondOpens;
};

// Both directions count: the new open must be allowed by the open one's share
// mode, and it must itself share what the open one already does.
TEST_F(ShareModesTest, SecondOpenIsCheckedAgainstTheFirstInBothDirections) {
    const ShareCase cases[] = {
        {R, SR, R, SR, true},          // two readers that share reading
        {R, 0, R, SR, false},          // an exclusive reader (the read thread) keeps others out
        {R, SR, R, 0, false},          // a newcomer that will not share is refused too
        {R, SR, W, SR | SW, false},    // reading shared, writing not
        {R, SR | SW, W, SR | SW, true},
        {R, SR | SW, W, SW, false},    // the writer would not share the reader's access
        {W, SR, R, SR | SW, true},     // a writer that shares reading lets a reader in...
        {W, SR, R, SR, false},         // ...only when the reader shares writing
        {W, SW, W, SW, true},
        {RW, SR | SW, RW, SR | SW, true},
        {RW, SR, R, SR | SW, true},
        {RW, SR, RW, SR | SW, false},
        {R, SR | SD, R, SR, true},     // sharing deletion does not stand in for reading
        {0, 0, RW, 0, true},           // an open for neither takes no part
        {RW, 0, 0, 0, true},
    };
    for (const ShareCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "first " << c.firstAccess << "/" << c.firstShare
                                          << ", second " << c.secondAccess << "/" << c.secondShare);
        HANDLE first = Open(c.firstAccess, c.firstShare);
        ASSERT_NE(first, INVALID_HANDLE_VALUE);
        SetLastError(ERROR_SUCCESS);
        HANDLE second = Open(c.secondAccess, c.secondShare);
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.secondOpens);
        if (second != INVALID_HANDLE_VALUE) {
            CloseHandle(second);
        } else {
            EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        }
        CloseHandle(first);
    }
}

TEST_F(ShareModesTest, EveryOpenHandleCountsAndClosingReleasesIt) {
    HANDLE a = Open(R, SR);
    HANDLE b = Open(R, SR | SW);
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    ASSERT_NE(b, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(W, SR | SW), INVALID_HANDLE_VALUE) << "a still refuses writers";
    CloseHandle(a);
    HANDLE writer = Open(W, SR | SW);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "b alone allows one";
    CloseHandle(writer);
    CloseHandle(b);

    HANDLE exclusive = Open(R, 0);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
    HANDLE again = Open(R, 0);
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "nothing is left over from the closed exclusive open";
    CloseHandle(again);
}

TEST_F(ShareModesTest, TheFileIsTheSameWhateverNameLeadsToIt) {
    ASSERT_EQ(link((folder.hostPath() + "/Data.bin").c_str(), (folder.hostPath() + "/other.bin").c_str()), 0);
    HANDLE first = Open(R, 0);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(R, SR, OPEN_EXISTING, "DATA.BIN"), INVALID_HANDLE_VALUE) << "another letter case";
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Open(R, SR, OPEN_EXISTING, "other.bin"), INVALID_HANDLE_VALUE) << "a hard link";
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    HANDLE unrelated = Open(RW, 0, CREATE_NEW, "new.bin");
    EXPECT_NE(unrelated, INVALID_HANDLE_VALUE) << "other files are not affected";
    CloseHandle(unrelated);
    CloseHandle(first);
}

TEST_F(ShareModesTest, ARefusedOverwriteLeavesTheFileAsItWas) {
    HANDLE reader = Open(R, SR);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    for (DWORD disposition : {DWORD{CREATE_ALWAYS}, DWORD{TRUNCATE_EXISTING}}) {
        EXPECT_EQ(Open(W, SR | SW, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
        EXPECT_EQ(folder.readFile("Data.bin"), "contents");
    }
    CloseHandle(reader);
    HANDLE writer = Open(W, 0, CREATE_ALWAYS);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(writer);
    EXPECT_EQ(folder.readFile("Data.bin"), "") << "allowed, it overwrites";
}

TEST_F(ShareModesTest, DeletingNeedsEveryOpenToShareDeletion) {
    struct stat info;
    const std::string host = folder.hostPath() + "/Data.bin";
    HANDLE a = Open(R, SR | SW | SD);
    HANDLE b = Open(R, SR | SW);
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    ASSERT_NE(b, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileA(Name("data.BIN").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(stat(host.c_str(), &info), 0);
    CloseHandle(b);
    EXPECT_TRUE(DeleteFileA(Name().c_str())) << "the remaining open shares deletion";
    EXPECT_NE(stat(host.c_str(), &info), 0);
    char byte = 0;
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(a, &byte, 1, &got, nullptr)) << "the open handle still reads";
    EXPECT_EQ(byte, 'c');
    CloseHandle(a);

    std::ofstream(host, std::ios::binary) << "again";
    HANDLE exclusive = Open(R, 0);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileA(Name().c_str()));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(exclusive);
    EXPECT_TRUE(DeleteFileA(Name().c_str())) << "closing released it";
}

}  // namespace
