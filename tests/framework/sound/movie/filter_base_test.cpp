// The filter base classes under the movie renderer: media types and the
// sample pool.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "framework/sound/movie/media_type.h"
#include "framework/sound/movie/memory_allocator.h"
#include "tests/support/synthetic_filters.h"
#include "tests/support/test_support.h"
#include "tests/support/thread_activity.h"

namespace {

using testsupport::VideoType;

constexpr GUID kTypeA = {0x50524F42u, 1, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
constexpr HRESULT kNotYet = static_cast<HRESULT>(0x7FFFFFFF);

K_CMediaType Typed(const GUID& subtype) {
    K_CMediaType type;
    type.SetType(&MEDIATYPE_Video);
    type.SetSubtype(&subtype);
    type.SetFormatType(&FORMAT_VideoInfo);
    type.SetSampleSize(16);
    return type;
}

// ---- media types ------------------------------------------------------------------

TEST(MediaTypeTest, CopiesOwnTheirFormatBlock) {
    K_CMediaType original = VideoType(MEDIASUBTYPE_RGB24, 4, 3, true, 24);
    K_CMediaType copy = original;
    ASSERT_NE(copy.Format(), original.Format());
    EXPECT_TRUE(copy == original);
    copy.Format()[0] ^= 0xFF;
    EXPECT_FALSE(copy == original);

    AM_MEDIA_TYPE* handed = K_CreateMediaType(&original);
    ASSERT_NE(handed, nullptr);
    EXPECT_TRUE(K_CMediaType(*handed) == original);
    K_DeleteMediaType(handed);
}

TEST(MediaTypeTest, MatchesWhatAPartialTypeLeavesOpen) {
    const K_CMediaType full = VideoType(MEDIASUBTYPE_RGB24, 4, 3, true, 24);
    K_CMediaType anyVideo;
    anyVideo.SetType(&MEDIATYPE_Video);
    K_CMediaType rgb24 = anyVideo;
    rgb24.SetSubtype(&MEDIASUBTYPE_RGB24);
    K_CMediaType rgb32 = anyVideo;
    rgb32.SetSubtype(&MEDIASUBTYPE_RGB32);
    K_CMediaType otherSize = VideoType(MEDIASUBTYPE_RGB24, 8, 3, true, 24);
    const struct {
        const char* what;
        const K_CMediaType* partial;
        bool matches;
    } cases[] = {
        {"no proposal", nullptr, true},  {"any video", &anyVideo, true},
        {"video RGB24", &rgb24, true},   {"video RGB32", &rgb32, false},
        {"the same format", &full, true}, {"another format block", &otherSize, false},
    };
    for (const auto& c : cases) EXPECT_EQ(full.MatchesPartial(c.partial), c.matches) << c.what;
    EXPECT_TRUE(anyVideo.IsPartiallySpecified());
    EXPECT_FALSE(full.IsPartiallySpecified());
}

// ---- the sample pool --------------------------------------------------------------

class AllocatorTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        HRESULT result = S_OK;
        allocator_ = new K_CMemAllocator("test allocator", nullptr, &result);
        ASSERT_EQ(result, S_OK);
    }
    void TearDown() override {
        allocator_->Release();
        PlatformTest::TearDown();
    }
    HRESULT Set(LONG count, LONG size, LONG align, LONG prefix) {
        ALLOCATOR_PROPERTIES request{count, size, align, prefix};
        ALLOCATOR_PROPERTIES actual{};
        return allocator_->SetProperties(&request, &actual);
    }

    K_CMemAllocator* allocator_ = nullptr;
};

TEST_F(AllocatorTest, RefusesPropertiesItCannotKeep) {
    IMediaSample* sample = nullptr;
    EXPECT_EQ(allocator_->Commit(), VFW_E_SIZENOTSET);
    EXPECT_EQ(allocator_->GetBuffer(&sample, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
    const struct {
        LONG count, size, align, prefix;
        HRESULT expected;
    } cases[] = {
        {1, 16, 0, 0, VFW_E_BADALIGN}, {1, 16, 3, 0, VFW_E_BADALIGN},  {0, 16, 1, 0, E_INVALIDARG},
        {1, 0, 1, 0, E_INVALIDARG},    {1, 16, 1, -1, E_INVALIDARG},  {2, 16, 4, 0, S_OK},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Set(c.count, c.size, c.align, c.prefix), c.expected) << c.count << " " << c.size << " " << c.align;

    ASSERT_EQ(allocator_->Commit(), S_OK);
    EXPECT_EQ(Set(2, 16, 4, 0), VFW_E_ALREADY_COMMITTED);
    ASSERT_EQ(allocator_->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
    ASSERT_EQ(allocator_->Decommit(), S_OK);
    EXPECT_EQ(Set(2, 16, 4, 0), VFW_E_BUFFERS_OUTSTANDING);
    sample->Release();
    EXPECT_EQ(Set(2, 16, 4, 0), S_OK);
}

TEST_F(AllocatorTest, BuffersAreAlignedApartAndForgetWhatTheyCarried) {
    ASSERT_EQ(Set(3, 100, 64, 8), S_OK);
    ASSERT_EQ(allocator_->Commit(), S_OK);
    IMediaSample* samples[3] = {};
    std::vector<BYTE*> buffers;
    for (IMediaSample*& sample : samples) {
        ASSERT_EQ(allocator_->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer) % 64, 0u);
        EXPECT_EQ(sample->GetSize(), 100);
        // Each buffer and the prefix before it belong to the sample alone.
        std::memset(buffer - 8, 0x5A, 108);
        buffers.push_back(buffer);
    }
    REFERENCE_TIME start = 10;
    REFERENCE_TIME end = 20;
    samples[0]->SetTime(&start, &end);
    samples[0]->SetDiscontinuity(TRUE);
    K_CMediaType type = Typed(kTypeA);
    samples[0]->SetMediaType(&type);
    samples[0]->SetActualDataLength(5);
    for (IMediaSample* sample : samples) sample->Release();

    IMediaSample* again = nullptr;
    ASSERT_EQ(allocator_->GetBuffer(&again, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(again->GetTime(&start, &end), VFW_E_SAMPLE_TIME_NOT_SET);
    EXPECT_EQ(again->IsDiscontinuity(), S_FALSE);
    AM_MEDIA_TYPE* carried = nullptr;
    EXPECT_EQ(again->GetMediaType(&carried), S_FALSE);
    EXPECT_EQ(again->GetActualDataLength(), 100);
    again->Release();
}

TEST_F(AllocatorTest, WaitingForABufferEndsWithOneComingBackOrTheDecommit) {
    ASSERT_EQ(Set(1, 16, 1, 0), S_OK);
    ASSERT_EQ(allocator_->Commit(), S_OK);
    IMediaSample* held = nullptr;
    ASSERT_EQ(allocator_->GetBuffer(&held, nullptr, nullptr, 0), S_OK);

    std::atomic<long> waiterId{0};
    std::atomic<HRESULT> got{kNotYet};
    IMediaSample* second = nullptr;
    std::thread waiter([&] {
        waiterId = testsupport::HostThreadId();
        got = allocator_->GetBuffer(&second, nullptr, nullptr, 0);
    });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return waiterId.load() != 0; }));
    EXPECT_TRUE(testsupport::WaitUntilHostThreadSleeps(waiterId.load()));
    EXPECT_EQ(got.load(), kNotYet);
    held->Release();
    waiter.join();
    ASSERT_EQ(got.load(), S_OK);

    std::atomic<HRESULT> refused{kNotYet};
    std::thread late([&] {
        IMediaSample* none = nullptr;
        refused = allocator_->GetBuffer(&none, nullptr, nullptr, 0);
    });
    ASSERT_EQ(allocator_->Decommit(), S_OK);
    late.join();
    EXPECT_EQ(refused.load(), VFW_E_NOT_COMMITTED);
    // A sample still out keeps its buffer until it comes back.
    BYTE* buffer = nullptr;
    second->GetPointer(&buffer);
    std::memset(buffer, 0x77, 16);
    second->Release();
}

}  // namespace
