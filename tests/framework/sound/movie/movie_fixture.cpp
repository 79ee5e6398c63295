// The movie handle tests' fixture.
#include "tests/framework/sound/movie/movie_fixture.h"

#include <fstream>
#include <iterator>

#include "platform/com/com.h"
#include "platform/dshow/reference_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/thread_activity.h"

namespace movietest {

std::vector<int> MovieTest::seen_;

std::string FixtureBytes(const char* name) {
    std::ifstream file(std::string(KILN_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void MovieTest::SetUp() {
    ArchiveFileAccessTest::SetUp();
    CoInitialize(nullptr);
    platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
    clock_ = testsupport::StepClock::Make(0);
    platform::dshow::SetDefaultReferenceClock(clock_);
    seen_.clear();
}

void MovieTest::TearDown() {
    HandleTable& table = MovieTable();
    for (int slot = 0; slot < table.slotCount; ++slot) {
        const MovieRecord* movie = static_cast<const MovieRecord*>(table.slots[slot]);
        if (movie != nullptr) CloseMovie(MakeHandleValue(kMovieHandleKind, static_cast<int>(movie->check), slot));
    }
    platform::dshow::SetDefaultReferenceClock(nullptr);
    clock_->Release();
    CoUninitialize();
    ArchiveFileAccessTest::TearDown();
}

void MovieTest::PutMovie(const std::string& name) {
    const std::string bytes = FixtureBytes(kMovieFixture);
    ASSERT_FALSE(bytes.empty());
    WriteFile(name, bytes);
}

int MovieTest::Remember(MovieRecord* movie, int argument) {
    const PixelImage* frame = GetMovieFrameImage(movie);
    if (frame != nullptr) seen_.push_back(frame->pixels[0]);
    return 0;
}

bool MovieTest::UpdateUntil(int movie, const std::function<bool()>& condition) {
    return testsupport::WaitUntil([&] {
        UpdateMovieFrame(movie, 0);
        return condition();
    });
}

}  // namespace movietest
