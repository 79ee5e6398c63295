// CoCreateInstance over the class table: the refusals come before any
// object is made, and a class the machine profile leaves out is not there.
#include <gtest/gtest.h>

#include "platform/com/com.h"
#include "platform/dinput/dinput.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class ComObjectsTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        CoInitialize(nullptr);
    }
    void TearDown() override {
        CoUninitialize();
        PlatformTest::TearDown();
    }
};

TEST_F(ComObjectsTest, RefusalsLeaveNoObject) {
    const GUID unknownClass = {0x12345678u, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(unknownClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    int outer = 0;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectInput, &outer, CLSCTX_INPROC_SERVER, IID_IDirectInput7A, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A, nullptr),
              E_POINTER);
    platform::Profile().input.directInput7 = false;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A, &object),
              REGDB_E_CLASSNOTREG);
}

TEST_F(ComObjectsTest, AThreadThatDidNotInitialiseCannotCreate) {
    CoUninitialize();
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A, &object),
              CO_E_NOTINITIALIZED);
    CoInitialize(nullptr);
}

TEST_F(ComObjectsTest, ARegisteredClassGivesAnObjectWithOneReference) {
    void* object = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A, &object), S_OK);
    IDirectInput8A* directInput = static_cast<IDirectInput8A*>(object);
    void* again = nullptr;
    ASSERT_EQ(directInput->QueryInterface(IID_IUnknown, &again), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(again)->Release(), 1u);
    EXPECT_EQ(directInput->Release(), 0u);
}

}  // namespace
