// The DirectDraw 7 object: made through CoCreateInstance while DirectDraw is
// installed, initialised once, and its vertical blank on the 60 Hz clock
// that follows the manual clock.
#include "platform/com/com.h"
#include "platform/d3d9/ddraw.h"
#include "platform/kernel/manual_clock.h"
#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

class DirectDrawTest : public d3d9test::Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override {
        if (directDraw != nullptr) directDraw->Release();
        CoUninitialize();
        Direct3DTest::TearDown();
    }
    HRESULT Make() {
        return CoCreateInstance(CLSID_DirectDraw7, nullptr, CLSCTX_ALL, IID_IDirectDraw7,
                                reinterpret_cast<void**>(&directDraw));
    }
    IDirectDraw7* directDraw = nullptr;
};

TEST_F(DirectDrawTest, IsMadeOnlyWhileInstalledAndWorksOnlyOnceInitialised) {
    platform::Profile().direct3d.directDraw = false;
    EXPECT_EQ(Make(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(directDraw, nullptr);
    platform::Profile().direct3d.directDraw = true;
    ASSERT_EQ(Make(), S_OK);

    BOOL inBlank = FALSE;
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DDERR_NOTINITIALIZED);
    EXPECT_EQ(directDraw->GetVerticalBlankStatus(&inBlank), DDERR_NOTINITIALIZED);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DDERR_NOTINITIALIZED);

    platform::Profile().failures.direct3d.initializeDirectDraw = true;
    EXPECT_EQ(directDraw->Initialize(nullptr), DDERR_GENERIC);
    platform::Profile().failures.direct3d.initializeDirectDraw = false;
    ASSERT_EQ(directDraw->Initialize(nullptr), DD_OK);
    EXPECT_EQ(directDraw->Initialize(nullptr), DDERR_ALREADYINITIALIZED);

    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FPUPRESERVE), DD_OK);
    EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_FPUPRESERVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->SetCooperativeLevel(reinterpret_cast<HWND>(0x1234), DDSCL_NORMAL), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDrawTest, TheVerticalBlankTakesTheStartOfEachSixtiethOfASecondAndWaitsStepTheManualClock) {
    ASSERT_EQ(Make(), S_OK);
    ASSERT_EQ(directDraw->Initialize(nullptr), DD_OK);
    constexpr uint64_t kFrame = 16666667;     // the second frame starts here, rounded up
    constexpr uint64_t kBlank = 1428571;      // 45 of the frame's 525 lines
    struct Case {
        uint64_t at;
        BOOL inBlank;
    };
    for (const Case& c : {Case{0, TRUE}, Case{kBlank - 1, TRUE}, Case{kBlank + 1, FALSE}, Case{kFrame - 1, FALSE},
                          Case{kFrame, TRUE}}) {
        SCOPED_TRACE(c.at);
        platform::AdvanceManualClockNanoseconds(c.at - platform::ManualClockNanoseconds());
        BOOL inBlank = -1;
        ASSERT_EQ(directDraw->GetVerticalBlankStatus(&inBlank), DD_OK);
        EXPECT_EQ(inBlank, c.inBlank);
    }
    // In a blank, a wait for the next one's beginning takes a whole frame;
    // a wait for the end only the rest of this one.
    ASSERT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKEND, nullptr), DD_OK);
    EXPECT_EQ(platform::ManualClockNanoseconds(), kFrame + kBlank);
    ASSERT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    EXPECT_EQ(platform::ManualClockNanoseconds(), 33333334u);
    ASSERT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    EXPECT_EQ(platform::ManualClockNanoseconds(), 50000000u);

    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGINEVENT, nullptr), DDERR_UNSUPPORTED);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, reinterpret_cast<HANDLE>(1)), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->GetVerticalBlankStatus(nullptr), DDERR_INVALIDPARAMS);
}

}  // namespace
