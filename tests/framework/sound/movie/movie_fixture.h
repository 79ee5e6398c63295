// What the movie handle tests share: the archive-aware file access in a test
// folder (with its check that nothing is left allocated), graphs on a step
// clock, sound to the virtual output, the WMV fixture copied in, and every
// movie closed at the end.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/sound/movie/movie_handles.h"
#include "framework/sound/movie/movie_record.h"
#include "tests/support/archive_file_access_fixture.h"
#include "tests/support/step_clock.h"

namespace movietest {

// The fixture: ten 32x24 frames at 10 a second, frame N a flat grey
// brighter than frame N - 1, with a second of sound.
inline constexpr const char* kMovieFixture = "grey_ramp_32x24_10fps.wmv";
inline constexpr REFERENCE_TIME kFrameTime = 1000000;

std::string FixtureBytes(const char* name);

class MovieTest : public archiveaccesstest::ArchiveFileAccessTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the WMV fixture into the folder under `name`.
    void PutMovie(const std::string& name);
    // The frames the callback saw, as the grey of their first pixel.
    static int Remember(MovieRecord* movie, int argument);
    // Moves the graphs' clock on.
    void Advance(REFERENCE_TIME by) { clock_->Advance(by); }
    // Runs UpdateMovieFrame until `condition` holds; false when it never
    // does.
    bool UpdateUntil(int movie, const std::function<bool()>& condition);

    static std::vector<int> seen_;
    testsupport::StepClock* clock_ = nullptr;
};

}  // namespace movietest
