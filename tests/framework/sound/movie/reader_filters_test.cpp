// The memory stream, the asynchronous reader over it and the sample
// grabber: positions and reads at the end, the arrival rate, aligned and
// short reads, flushes, the connection only with a peer that pulls, the
// grabber's accepted types, its type-change flag, its delivery buffer and
// private allocator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "framework/sound/movie/async_reader.h"
#include "framework/sound/movie/memory_reader.h"
#include "framework/sound/movie/memory_stream.h"
#include "framework/sound/movie/sample_grabber.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/sound/movie/probe_filter.h"
#include "tests/support/test_support.h"

namespace {

constexpr LONGLONG kUnits = 10000000;

std::vector<BYTE> Counting(size_t length) {
    std::vector<BYTE> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<BYTE>(i * 13 + 5);
    return bytes;
}

// A memory stream with another alignment, or one that hands out at most a
// few bytes per read.
class ShapedStream final : public K_CMemStream {
public:
    ShapedStream(const BYTE* data, LONGLONG length, DWORD alignment, DWORD mostPerRead)
        : K_CMemStream(data, length, kNoRateLimit), alignment_(alignment), mostPerRead_(mostPerRead) {}
    DWORD Alignment() override { return alignment_; }
    HRESULT Read(BYTE* buffer, DWORD count, BOOL aligned, LPDWORD bytesRead) override {
        return K_CMemStream::Read(buffer, std::min(count, mostPerRead_), aligned, bytesRead);
    }

private:
    DWORD alignment_;
    DWORD mostPerRead_;
};

using StreamTest = testsupport::PlatformTest;

TEST_F(StreamTest, PositionsUpToTheLengthAndReadsAtTheEnd) {
    const std::vector<BYTE> data = Counting(100);
    K_CMemStream* stream = K_CMemStream::Create(data.data(), 100, K_CMemStream::kNoRateLimit);
    ASSERT_NE(stream, nullptr);
    const struct {
        LONGLONG position;
        HRESULT result;
    } positions[] = {{-1, S_FALSE}, {0, S_OK}, {99, S_OK}, {100, S_OK}, {101, S_FALSE}};
    for (const auto& p : positions) EXPECT_EQ(stream->SetPointer(p.position), p.result) << p.position;

    // The last position that was set stands: the length, where nothing is left.
    BYTE buffer[10] = {};
    DWORD read = 77;
    EXPECT_EQ(stream->Read(buffer, 10, FALSE, &read), S_OK);
    EXPECT_EQ(read, 0u);
    // A read over the end is cut to what is left.
    ASSERT_EQ(stream->SetPointer(95), S_OK);
    EXPECT_EQ(stream->Read(buffer, 10, FALSE, &read), S_OK);
    ASSERT_EQ(read, 5u);
    EXPECT_EQ(std::memcmp(buffer, data.data() + 95, 5), 0);
    delete stream;
}

TEST_F(StreamTest, TheRateTellsWhatHasArrived) {
    const std::vector<BYTE> data = Counting(1 << 20);
    platform::Profile().clock.manual = true;
    platform::Profile().clock.timeGetTimeOrigin = 0xFFFFFFF0u;  // the clock wraps on the way
    platform::UseManualClock(true);
    K_CMemStream* unlimited = K_CMemStream::Create(data.data(), 1 << 20, K_CMemStream::kNoRateLimit);
    K_CMemStream* limited = K_CMemStream::Create(data.data(), 1 << 20, 64);
    platform::AdvanceManualClockMilliseconds(100);
    LONGLONG available = 0;
    // Without a limit everything is there, and reading it never waits for
    // the clock, which stands still.
    EXPECT_EQ(unlimited->Size(&available), 1 << 20);
    EXPECT_EQ(available, 1 << 20);
    std::vector<BYTE> all(1 << 20);
    DWORD read = 0;
    EXPECT_EQ(unlimited->Read(all.data(), 1 << 20, FALSE, &read), S_OK);
    EXPECT_EQ(read, 1u << 20);
    // 64 KB per second for 100 ms.
    EXPECT_EQ(limited->Size(&available), 1 << 20);
    EXPECT_EQ(available, 6400);
    platform::AdvanceManualClockMilliseconds(100000);
    limited->Size(&available);
    EXPECT_EQ(available, 1 << 20);
    delete unlimited;
    delete limited;
}

class AsyncReaderTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        data_ = Counting(1000);
        stream_ = K_CMemStream::Create(data_.data(), 1000, K_CMemStream::kNoRateLimit);
        HRESULT result = E_FAIL;
        const K_CMediaType type = probe::Typed(probe::kTypeA);
        reader_ = K_CMemReader::Create(stream_, &type, &result);
        ASSERT_EQ(result, S_OK);
        void* found = nullptr;
        ASSERT_EQ(reader_->GetPin(0)->QueryInterface(IID_IAsyncReader, &found), S_OK);
        async_ = static_cast<IAsyncReader*>(found);
    }
    void TearDown() override {
        async_->Release();
        reader_->Release();
        delete stream_;
        PlatformTest::TearDown();
    }

    // A sample over its own memory for the bytes [from, to).
    K_CMediaSample* Sample(std::vector<BYTE>& memory, LONGLONG from, LONGLONG to) {
        auto* sample = new K_CMediaSample("test", nullptr, nullptr, memory.data(), static_cast<LONG>(memory.size()));
        REFERENCE_TIME start = from * kUnits;
        REFERENCE_TIME stop = to * kUnits;
        sample->SetTime(&start, &stop);
        return sample;
    }

    std::vector<BYTE> data_;
    K_CMemStream* stream_ = nullptr;
    K_CMemReader* reader_ = nullptr;
    IAsyncReader* async_ = nullptr;
};

TEST_F(AsyncReaderTest, QueuedReadsComeBackFilledAndAShortOneAtTheEndSucceeds) {
    struct Case {
        LONGLONG from, to;
        size_t sampleSize;
        HRESULT requested;
        LONG length;
        LONGLONG stopAfter;
    };
    const Case cases[] = {
        {0, 200, 256, S_OK, 200, 200},
        {900, 1400, 512, S_OK, 100, 1000},      // past the end: cut there
        {500, 700, 100, VFW_E_BUFFER_OVERFLOW, 0, 700},  // more than the sample holds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        std::vector<BYTE> memory(c.sampleSize);
        K_CMediaSample* sample = Sample(memory, c.from, c.to);
        ASSERT_EQ(async_->Request(sample, 42), c.requested);
        if (c.requested == S_OK) {
            IMediaSample* back = nullptr;
            DWORD_PTR user = 0;
            EXPECT_EQ(async_->WaitForNext(60000, &back, &user), S_OK);
            EXPECT_EQ(back, sample);
            EXPECT_EQ(user, 42u);
            ASSERT_EQ(sample->GetActualDataLength(), c.length);
            EXPECT_EQ(std::memcmp(memory.data(), data_.data() + c.from, static_cast<size_t>(c.length)), 0);
        }
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        sample->GetTime(&start, &stop);
        EXPECT_EQ(stop, c.stopAfter * kUnits);
        sample->Release();
    }
    // The same at once.
    std::vector<BYTE> memory(64);
    K_CMediaSample* sample = Sample(memory, 980, 1044);
    EXPECT_EQ(async_->SyncReadAligned(sample), S_OK);
    EXPECT_EQ(sample->GetActualDataLength(), 20);
    sample->Release();
    LONGLONG total = 0;
    LONGLONG available = 0;
    EXPECT_EQ(async_->Length(&total, &available), S_OK);
    EXPECT_EQ(total, 1000);
}

TEST_F(AsyncReaderTest, AlignedCallsRefuseUnalignedRequestsAndShortReadsMidwayFail) {
    std::vector<BYTE> memory(64);
    alignas(16) BYTE buffer[64] = {};
    {
        ShapedStream stream(data_.data(), 1000, 4, 1000);
        AsyncIoQueue queue(&stream);
        EXPECT_EQ(queue.Request(2, 8, TRUE, buffer, nullptr, 0), VFW_E_BADALIGN);
        EXPECT_EQ(queue.Request(4, 6, TRUE, buffer, nullptr, 0), VFW_E_BADALIGN);
        EXPECT_EQ(queue.Request(4, 8, TRUE, buffer + 1, nullptr, 0), VFW_E_BADALIGN);
        LONG actual = 0;
        EXPECT_EQ(queue.SyncReadAligned(2, 8, buffer, &actual, nullptr), VFW_E_BADALIGN);
        // Unaligned reads that do not claim alignment are fine.
        EXPECT_EQ(queue.SyncRead(3, 5, buffer + 1), S_OK);
        EXPECT_EQ(std::memcmp(buffer + 1, data_.data() + 3, 5), 0);
    }
    {
        // A read that stops short before the end is a failure.
        ShapedStream stream(data_.data(), 1000, 1, 10);
        AsyncIoQueue queue(&stream);
        ASSERT_EQ(queue.Request(0, 50, TRUE, buffer, nullptr, 7), S_OK);
        void* context = nullptr;
        DWORD_PTR user = 0;
        LONG actual = 0;
        EXPECT_EQ(queue.WaitForNext(60000, &context, &user, &actual), E_FAIL);
        EXPECT_EQ(actual, 10);
        EXPECT_EQ(user, 7u);
    }
}

TEST_F(AsyncReaderTest, BeginFlushHandsBackQueuedRequestsAndRefusesNewOnes) {
    std::vector<std::vector<BYTE>> memory(4, std::vector<BYTE>(100));
    std::vector<K_CMediaSample*> samples;
    // The worker cannot read while the stream is held, so the requests wait.
    stream_->Lock();
    for (int i = 0; i < 4; ++i) {
        samples.push_back(Sample(memory[i], i * 100, i * 100 + 100));
        ASSERT_EQ(async_->Request(samples.back(), static_cast<DWORD_PTR>(i)), S_OK);
    }
    std::thread flusher([this] { EXPECT_EQ(async_->BeginFlush(), S_OK); });
    stream_->Unlock();
    flusher.join();

    std::vector<IMediaSample*> back;
    for (int i = 0; i < 4; ++i) {
        IMediaSample* sample = nullptr;
        DWORD_PTR user = 0;
        async_->WaitForNext(60000, &sample, &user);
        back.push_back(sample);
    }
    EXPECT_TRUE(std::is_permutation(back.begin(), back.end(), samples.begin()));
    IMediaSample* none = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(async_->WaitForNext(60000, &none, &user), VFW_E_WRONG_STATE);
    EXPECT_EQ(async_->Request(samples[0], 0), VFW_E_WRONG_STATE);

    ASSERT_EQ(async_->EndFlush(), S_OK);
    ASSERT_EQ(async_->Request(samples[1], 9), S_OK);
    EXPECT_EQ(async_->WaitForNext(60000, &none, &user), S_OK);
    EXPECT_EQ(user, 9u);
    for (K_CMediaSample* sample : samples) sample->Release();
}

TEST_F(AsyncReaderTest, APeerThatDoesNotPullIsRefused) {
    // A reader nobody has asked for IAsyncReader yet.
    HRESULT result = E_FAIL;
    const K_CMediaType type = probe::Typed(probe::kTypeA);
    K_CMemReader* fresh = K_CMemReader::Create(stream_, &type, &result);
    ASSERT_EQ(result, S_OK);
    probe::Settings settings;
    settings.accepted = {probe::kTypeA};
    auto* input = new probe::ProbeFilter(PINDIR_INPUT, settings);
    EXPECT_EQ(fresh->GetPin(0)->Connect(input->Pin(), nullptr), E_FAIL);
    EXPECT_FALSE(fresh->GetPin(0)->IsConnected());
    EXPECT_FALSE(input->Pin()->IsConnected());
    input->Release();
    fresh->Release();

    // What the reader offers, and what it takes.
    K_CMediaType offered;
    EXPECT_EQ(reader_->GetPin(0)->GetMediaType(1, &offered), VFW_S_NO_MORE_ITEMS);
    EXPECT_EQ(reader_->GetPin(0)->GetMediaType(-1, &offered), E_INVALIDARG);
    ASSERT_EQ(reader_->GetPin(0)->GetMediaType(0, &offered), S_OK);
    EXPECT_TRUE(offered == type);
    const K_CMediaType other = probe::Typed(probe::kTypeB);
    EXPECT_EQ(reader_->GetPin(0)->QueryAccept(&other), S_FALSE);
}

class SampleGrabberTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        HRESULT result = E_FAIL;
        grabber_ = K_CSampleGrabber::Create(nullptr, &result);
        ASSERT_EQ(result, S_OK);
        input_ = grabber_->GetPin(0);
    }
    void TearDown() override {
        if (source_ != nullptr) {
            source_->Stop();
            grabber_->Stop();
            source_->Pin()->Disconnect();
            input_->Disconnect();
            source_->Release();
        }
        grabber_->Release();
        PlatformTest::TearDown();
    }

    static K_CMediaType Audio(const GUID& subtype, const GUID& format) {
        K_CMediaType type;
        type.SetType(&MEDIATYPE_Audio);
        type.SetSubtype(&subtype);
        type.SetFormatType(&format);
        return type;
    }

    K_CSampleGrabber* grabber_ = nullptr;
    K_CBasePin* input_ = nullptr;
    probe::ProbeFilter* source_ = nullptr;
};

TEST_F(SampleGrabberTest, TakesWhatItsAcceptedTypeAllows) {
    const K_CMediaType pcm = Audio(MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    const K_CMediaType mpeg = Audio(MEDIASUBTYPE_MPEG1Audio, FORMAT_WaveFormatEx);
    const K_CMediaType video = probe::Typed(probe::kTypeA);
    // Empty: anything goes.
    for (const K_CMediaType* type : {&pcm, &mpeg, &video}) EXPECT_EQ(input_->QueryAccept(type), S_OK);
    const K_CMediaType audioPcm = Audio(MEDIASUBTYPE_PCM, GUID_NULL);
    ASSERT_EQ(grabber_->SetAcceptedMediaType(&audioPcm), S_OK);
    EXPECT_EQ(input_->QueryAccept(&pcm), S_OK);
    EXPECT_EQ(grabber_->CheckInputType(&mpeg), VFW_E_TYPE_REFUSED);
    EXPECT_EQ(input_->QueryAccept(&video), S_FALSE);
    // The input offers the accepted type, and only it.
    K_CMediaType offered;
    ASSERT_EQ(input_->GetMediaType(0, &offered), S_OK);
    EXPECT_TRUE(offered == audioPcm);
    EXPECT_EQ(input_->GetMediaType(1, &offered), VFW_S_NO_MORE_ITEMS);
    ASSERT_EQ(grabber_->SetAcceptedMediaType(nullptr), S_OK);
    EXPECT_EQ(input_->QueryAccept(&video), S_OK);
    AM_MEDIA_TYPE connected{};
    EXPECT_EQ(grabber_->GetConnectedMediaType(&connected), VFW_E_NOT_CONNECTED);
}

struct Calls {
    std::vector<BOOL> changed;
    std::vector<REFERENCE_TIME> starts;
};

HRESULT Record(IMediaSample*, REFERENCE_TIME start, REFERENCE_TIME, BOOL typeChanged, void* user) {
    auto* calls = static_cast<Calls*>(user);
    calls->changed.push_back(typeChanged);
    calls->starts.push_back(start);
    return S_OK;
}

TEST_F(SampleGrabberTest, ATypeChangeReachesOneCallback) {
    probe::Settings settings;
    settings.offered = {probe::kTypeA};
    settings.accepted = {probe::kTypeA};
    source_ = new probe::ProbeFilter(PINDIR_OUTPUT, settings);
    ASSERT_EQ(source_->Pin()->Connect(input_, nullptr), S_OK);
    AM_MEDIA_TYPE connected{};
    ASSERT_EQ(grabber_->GetConnectedMediaType(&connected), S_OK);
    EXPECT_TRUE(IsEqualGUID(connected.subtype, probe::kTypeA));
    K_FreeMediaType(connected);
    // The delivery buffer is set only while nothing is connected.
    BYTE buffer[64] = {};
    EXPECT_EQ(grabber_->SetDeliveryBuffer(ALLOCATOR_PROPERTIES{1, 64, 1, 0}, buffer), E_INVALIDARG);

    Calls calls;
    ASSERT_EQ(grabber_->SetCallback(Record, &calls), S_OK);
    ASSERT_EQ(grabber_->Pause(), S_OK);
    input_->NewSegment(1000, 2000000, 1.0);
    BYTE bytes[8] = {};
    for (int i = 0; i < 4; ++i) {
        K_CMediaSample sample("test", nullptr, nullptr, bytes, 8);
        REFERENCE_TIME start = i * 10;
        REFERENCE_TIME stop = start + 10;
        sample.SetTime(&start, &stop);
        K_CMediaType changed = probe::Typed(probe::kTypeB);
        if (i == 2) sample.SetMediaType(&changed);
        EXPECT_EQ(static_cast<IMemInputPin*>(grabber_->InputPin())->Receive(&sample), S_OK);
    }
    // The connection counts as the first change.
    EXPECT_EQ(calls.changed, (std::vector<BOOL>{TRUE, FALSE, TRUE, FALSE}));
    EXPECT_EQ(calls.starts, (std::vector<REFERENCE_TIME>{1000, 1010, 1020, 1030}));
}

TEST_F(SampleGrabberTest, TheDeliveryBufferAndItsAllocator) {
    alignas(64) static BYTE buffer[4096];
    const ALLOCATOR_PROPERTIES properties{1, 1000, 16, 32};
    EXPECT_EQ(grabber_->SetDeliveryBuffer(ALLOCATOR_PROPERTIES{2, 1000, 16, 32}, buffer), E_INVALIDARG);
    EXPECT_EQ(grabber_->SetDeliveryBuffer(properties, nullptr), E_POINTER);
    ASSERT_EQ(grabber_->SetDeliveryBuffer(properties, buffer), S_OK);

    auto* pin = static_cast<IMemInputPin*>(grabber_->InputPin());
    ALLOCATOR_PROPERTIES required{};
    ASSERT_EQ(pin->GetAllocatorRequirements(&required), S_OK);
    EXPECT_EQ(std::memcmp(&required, &properties, sizeof required), 0);
    IMemAllocator* allocator = nullptr;
    ASSERT_EQ(pin->GetAllocator(&allocator), S_OK);
    HRESULT result = S_OK;
    auto* other = new K_CMemAllocator("other", nullptr, &result);
    EXPECT_EQ(pin->NotifyAllocator(other, FALSE), E_FAIL);
    EXPECT_EQ(pin->NotifyAllocator(allocator, TRUE), E_FAIL);
    EXPECT_EQ(pin->NotifyAllocator(allocator, FALSE), S_OK);
    other->Release();

    struct Case {
        ALLOCATOR_PROPERTIES request;
        HRESULT result;
    };
    const Case cases[] = {
        {{1, 1000, 8, 32}, VFW_E_BADALIGN},
        {{1, 1000, 16, 0}, VFW_E_BADALIGN},
        {{2, 1000, 16, 32}, E_FAIL},
        {{1, 1001, 16, 32}, E_FAIL},
        {{1, 500, 16, 32}, S_OK},
    };
    for (const Case& c : cases) {
        ALLOCATOR_PROPERTIES request = c.request;
        ALLOCATOR_PROPERTIES actual{};
        EXPECT_EQ(allocator->SetProperties(&request, &actual), c.result) << c.request.cbBuffer;
        if (c.result == S_OK) {
            EXPECT_EQ(std::memcmp(&actual, &properties, sizeof actual), 0);
        }
    }
    // The one sample lies in the program's buffer, behind the prefix.
    ASSERT_EQ(allocator->Commit(), S_OK);
    IMediaSample* sample = nullptr;
    ASSERT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
    BYTE* at = nullptr;
    sample->GetPointer(&at);
    EXPECT_EQ(at, buffer + 32);
    EXPECT_EQ(sample->GetSize(), 1000);
    sample->Release();
    allocator->Decommit();
    allocator->Release();
}

}  // namespace
