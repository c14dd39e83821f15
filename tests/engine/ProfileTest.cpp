#include "engine/profile.h"

#include "engine/Log.h"
#include "engine/Timer.h"
#include "platform/os/Clock.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClockSource(&clock);
        FrameTimer.SetRate(60.0);
        ProfileReset();
    }
    void TearDown() override {
        ProfileReset();
        SetClockSource(nullptr);
    }

    // Runs a tag for the given seconds of the manual clock.
    void Spend(const char* tag, double seconds) {
        ProfileStart(tag);
        clock.AdvanceSeconds(seconds);
        ProfileStop(tag);
    }

    ManualClock clock;
    LogCapture log;
};

} // namespace

TEST_F(ProfileTest, PrintsTagsByDescendingTotal) {
    Spend("main_update", 1.0);
    Spend("main_render", 3.0);
    Spend("main_update", 1.0);
    clock.AdvanceSeconds(3.0);
    ProfilePrint();
    EXPECT_EQ(log.Text(), "Profiler results (descending by percentage):\n\n"
                          "< calls:    1, total:    3.00, share: 37.5% > - \"main_render\"\n"
                          "< calls:    2, total:    2.00, share: 25.0% > - \"main_update\"\n");
}

TEST_F(ProfileTest, HundredthTagIsRefused) {
    for (int i = 0; i < 99; ++i) {
        Spend(("tag" + std::to_string(i)).c_str(), 0.0);
    }
    EXPECT_EQ(log.Text(), "");
    ProfileStart("one_too_many");
    EXPECT_EQ(log.Text(),
              "WARNING in ProfileStart: no more space to store the tag "
              "(\"one_too_many\"). Increase NUM_TAGS in \"profile\". Call is denied.\n");
}

TEST_F(ProfileTest, NestedStartOfTheSameTagIsRefused) {
    ProfileStart("CreateObject");
    clock.AdvanceSeconds(1.0);
    ProfileStart("CreateObject");
    clock.AdvanceSeconds(1.0);
    ProfileStop("CreateObject");
    EXPECT_EQ(log.Text(), "ERROR in ProfileStart: nesting of equal tags not allowed "
                          "(\"CreateObject\"). Call is denied.\n");
    ProfilePrint();
    EXPECT_NE(log.Text().find("< calls:    1, total:    2.00, share: 100.0% >"), std::string::npos)
        << log.Text();
}

TEST_F(ProfileTest, MisusedStopsAreIgnored) {
    ProfileStop("never_started");
    EXPECT_EQ(log.Text(),
              "WARNING in ProfileStop: tag \"never_started\" was never started. Call is denied.\n");
    Spend("DrawImage", 1.0);
    clock.AdvanceSeconds(100.0);
    ProfileStop("DrawImage"); // not running: must not add the clock to the total
    ProfileStop("");
    ProfileStart("");
    ProfilePrint();
    EXPECT_NE(log.Text().find("total:    1.00, share:  1.0% > - \"DrawImage\""), std::string::npos)
        << log.Text();
    EXPECT_NE(log.Text().find("ERROR in ProfileStop: a tag may not be \"\". Call is denied."),
              std::string::npos);
    EXPECT_NE(log.Text().find("ERROR in ProfileStart: a tag may not be \"\". Call is denied."),
              std::string::npos);
}

TEST_F(ProfileTest, UnstoppedTagIsClosedAtPrint) {
    ProfileStart("main_render_present");
    clock.AdvanceSeconds(0.5);
    ProfilePrint();
    const std::string text = log.Text();
    EXPECT_NE(text.find("Warning: \"main_render_present\" started but not stopped. (Done now, but "
                        "result may be over-expensive!)\n"),
              std::string::npos);
    EXPECT_NE(text.find("total:    0.50, share: 100.0%"), std::string::npos) << text;
}

TEST_F(ProfileTest, ZeroElapsedTimePrintsAShareOfZero) {
    Spend("instant", 0.0);
    ProfilePrint();
    const std::string text = log.Text();
    EXPECT_NE(text.find("Warning: nothing to show because timer ran for less than 1 clock-tick."),
              std::string::npos);
    EXPECT_NE(text.find("< calls:    1, total:    0.00, share:  0.0% > - \"instant\""),
              std::string::npos)
        << text;
}

TEST_F(ProfileTest, NothingToPrintWithoutTags) {
    ProfilePrint();
    EXPECT_EQ(log.Text(), "ProfilePrint: nothing to print.\n");
}

// Without the log nothing the profiler keeps can be seen, so it keeps nothing then; a tag started
// while the log was on still stops when it has gone off.
TEST_F(ProfileTest, WithTheLogOffNothingIsKeptAndARunningTagStillStops) {
    LogEnabled = false;
    Spend("DrawImage", 1.0);
    LogEnabled = true;
    ProfilePrint();
    EXPECT_EQ(log.Text(), "ProfilePrint: nothing to print.\n");

    ProfileStart("main_render");
    clock.AdvanceSeconds(2.0);
    LogEnabled = false;
    ProfileStop("main_render");
    LogEnabled = true;
    ProfileStart("main_render"); // no nesting error: it was stopped
    ProfileStop("main_render");
    clock.AdvanceSeconds(2.0);
    ProfilePrint();
    EXPECT_EQ(log.Text(), "ProfilePrint: nothing to print.\n"
                          "Profiler results (descending by percentage):\n\n"
                          "< calls:    2, total:    2.00, share: 50.0% > - \"main_render\"\n");
}
