#include <gtest/gtest.h>

#include <thread>

#include "platform/com/com.h"
#include "tests/support/test_support.h"

namespace {

using ComInitTest = testsupport::PlatformTest;

TEST_F(ComInitTest, EachThreadCountsItsOwnInitialisations) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_TRUE(CoIsInitialisedOnThisThread());

    bool otherThreadSawIt = true;
    HRESULT otherFirst = E_FAIL;
    std::thread other([&] {
        otherThreadSawIt = CoIsInitialisedOnThisThread();
        otherFirst = CoInitialize(nullptr);
        CoUninitialize();
    });
    other.join();
    EXPECT_FALSE(otherThreadSawIt);
    EXPECT_EQ(otherFirst, S_OK);

    CoUninitialize();
    EXPECT_TRUE(CoIsInitialisedOnThisThread());
    CoUninitialize();
    EXPECT_FALSE(CoIsInitialisedOnThisThread());
    // An unbalanced call does not drive the count below zero.
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

TEST_F(ComInitTest, GuidsCompareByEveryField) {
    GUID other = IID_IUnknown;
    EXPECT_TRUE(IsEqualGUID(other, IID_IUnknown));
    other.Data4[7] ^= 1;
    EXPECT_FALSE(IsEqualIID(other, IID_IUnknown));
}

}  // namespace
