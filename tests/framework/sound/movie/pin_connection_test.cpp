// The connection agreement of the base pins: which type two pins settle on,
// and how a refused or failed connection leaves both of them.
#include <gtest/gtest.h>

#include "tests/framework/sound/movie/probe_filter.h"
#include "tests/support/test_support.h"

namespace {

using probe::kTypeA;
using probe::kTypeB;
using probe::kTypeC;
using probe::ProbeFilter;
using probe::Settings;

class PinConnectionTest : public testsupport::PlatformTest {};

GUID ConnectedSubtype(IPin* pin) {
    AM_MEDIA_TYPE type{};
    if (pin->ConnectionMediaType(&type) != S_OK) return GUID_NULL;
    const GUID subtype = type.subtype;
    K_FreeMediaType(type);
    return subtype;
}

TEST_F(PinConnectionTest, SettlesOnTheProposalThenTheReceiversTypesThenItsOwn) {
    K_CMediaType proposeB = probe::Typed(kTypeB);
    K_CMediaType proposeC = probe::Typed(kTypeC);
    K_CMediaType anyC = probe::Typed(kTypeC);
    anyC.SetFormatType(&GUID_NULL);
    const struct {
        const char* what;
        Settings output;
        Settings input;
        const K_CMediaType* proposal;
        bool connects;
        GUID subtype;
    } cases[] = {
        {"the receiver's type first", {{kTypeB, kTypeA}, {kTypeA, kTypeB}}, {{kTypeA}, {kTypeA, kTypeB}}, nullptr,
         true, kTypeA},
        {"our own once the receiver's are refused", {{kTypeB}, {kTypeA, kTypeB}}, {{kTypeA}, {kTypeB}}, nullptr,
         true, kTypeB},
        {"a complete proposal alone", {{kTypeA, kTypeB}, {kTypeA, kTypeB}}, {{kTypeA}, {kTypeA, kTypeB}}, &proposeB,
         true, kTypeB},
        {"a complete proposal the receiver refuses",
         {{kTypeA, kTypeC}, {kTypeA, kTypeC}},
         {{kTypeA}, {kTypeA}},
         &proposeC,
         false,
         GUID_NULL},
        {"a partial proposal picks among both lists",
         {{kTypeA, kTypeC}, {kTypeA, kTypeC}},
         {{kTypeA}, {kTypeA, kTypeC}},
         &anyC,
         true,
         kTypeC},
        {"nothing both take", {{kTypeA}, {kTypeA}}, {{kTypeB}, {kTypeB}}, nullptr, false, GUID_NULL},
    };
    for (const auto& c : cases) {
        auto* output = new ProbeFilter(PINDIR_OUTPUT, c.output);
        auto* input = new ProbeFilter(PINDIR_INPUT, c.input);
        const HRESULT result = output->Pin()->Connect(input->Pin(), c.proposal);
        EXPECT_EQ(SUCCEEDED(result), c.connects) << c.what;
        EXPECT_EQ(output->Pin()->IsConnected(), c.connects) << c.what;
        EXPECT_EQ(input->Pin()->IsConnected(), c.connects) << c.what;
        EXPECT_TRUE(IsEqualGUID(ConnectedSubtype(output->Pin()), c.subtype)) << c.what;
        EXPECT_TRUE(IsEqualGUID(ConnectedSubtype(input->Pin()), c.subtype)) << c.what;
        input->Pin()->Disconnect();
        output->Pin()->Disconnect();
        input->Release();
        output->Release();
    }
}

TEST_F(PinConnectionTest, RefusesWhatCannotBeConnectedAndBreaksAFailedOne) {
    const Settings plain{{kTypeA}, {kTypeA}};
    auto* output = new ProbeFilter(PINDIR_OUTPUT, plain);
    auto* otherOutput = new ProbeFilter(PINDIR_OUTPUT, plain);
    auto* input = new ProbeFilter(PINDIR_INPUT, plain);
    Settings failing = plain;
    failing.failComplete = true;
    auto* failingInput = new ProbeFilter(PINDIR_INPUT, failing);

    EXPECT_EQ(output->Pin()->Connect(otherOutput->Pin(), nullptr), VFW_E_INVALID_DIRECTION);

    // The receiver's completion fails: neither side stays connected, and
    // ours undid what its checks had set up.
    const int breaksBefore = output->breaks;
    EXPECT_EQ(output->Pin()->Connect(failingInput->Pin(), nullptr), E_FAIL);
    EXPECT_FALSE(output->Pin()->IsConnected());
    EXPECT_FALSE(failingInput->Pin()->IsConnected());
    EXPECT_GT(output->breaks, breaksBefore);

    ASSERT_EQ(output->Pause(), S_OK);
    EXPECT_EQ(output->Pin()->Connect(input->Pin(), nullptr), VFW_E_NOT_STOPPED);
    ASSERT_EQ(output->Stop(), S_OK);
    ASSERT_EQ(output->Pin()->Connect(input->Pin(), nullptr), S_OK);
    EXPECT_EQ(output->Pin()->Connect(input->Pin(), nullptr), VFW_E_ALREADY_CONNECTED);
    EXPECT_EQ(otherOutput->Pin()->Connect(input->Pin(), nullptr), VFW_E_ALREADY_CONNECTED);

    ASSERT_EQ(input->Pause(), S_OK);
    EXPECT_EQ(input->Pin()->Disconnect(), VFW_E_NOT_STOPPED);
    ASSERT_EQ(input->Stop(), S_OK);
    EXPECT_EQ(input->Pin()->Disconnect(), S_OK);
    EXPECT_EQ(input->Pin()->Disconnect(), S_FALSE);
    EXPECT_EQ(output->Pin()->Disconnect(), S_OK);

    for (ProbeFilter* filter : {output, otherOutput, input, failingInput}) filter->Release();
}

}  // namespace
