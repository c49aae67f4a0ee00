// The players' window-free logic: where a movie goes on the screen, and how
// a stored mouse macro reads, where its clicks land and when its steps run.
#include "players/MouseMacro.h"
#include "players/MovieFit.h"

#include <gtest/gtest.h>

namespace {

struct FitCase {
    int mw, mh, W, H;
    RECT expected;
};

void ExpectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST(MovieFitTest, KeepsTheMovieRatioAndCentresIt) {
    const FitCase cases[] = {
        // The screen's own ratio fills it exactly, smaller or larger.
        {320, 240, 1024, 768, {0, 0, 1024, 768}},
        {2048, 1536, 1024, 768, {0, 0, 1024, 768}},
        // 4:3 on a 16:10 screen: full height, bars left and right.
        {640, 480, 1280, 800, {107, 0, 107 + 1066, 800}},
        // 16:9 on a 4:3 screen: full width, bars above and below.
        {1280, 720, 1024, 768, {0, 96, 1024, 96 + 576}},
        // Odd sizes truncate toward zero.
        {3, 2, 10, 10, {0, 2, 10, 2 + 6}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mw << "x" << c.mh << " on " << c.W << "x" << c.H);
        ExpectRect(FitMovie(c.mw, c.mh, c.W, c.H), c.expected);
    }
}

TEST(MovieFitTest, EmptyOrHugeSidesNeitherDivideByZeroNorOverflow) {
    ExpectRect(FitMovie(0, 0, 1024, 768), {0, 0, 1024, 768});
    ExpectRect(FitMovie(0, 240, 1024, 768), {512, 0, 512, 768});
    ExpectRect(FitMovie(320, 0, 1024, 768), {0, 384, 1024, 384});
    ExpectRect(FitMovie(-5, 0, 1024, 768), {0, 0, 1024, 768});
    ExpectRect(FitMovie(320, 240, 0, 0), {0, 0, 0, 0});
    // 32-bit products of these would wrap around.
    ExpectRect(FitMovie(3000000, 1000000, 1024, 768), {0, 213, 1024, 213 + 341});
}

TEST(MouseMacroTest, ReadsClicksAndReloadsInStoredOrder) {
    auto steps = ParseMouseMacro("5,0,50,1,50,1 8,1 2,0,-7,0,+9x,3");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].time, 5);
    EXPECT_EQ(steps[0].action, MacroStep::kClick);
    EXPECT_EQ(steps[0].x, 50);
    EXPECT_EQ(steps[0].xUnit, 1);
    EXPECT_EQ(steps[0].y, 50);
    EXPECT_EQ(steps[0].yUnit, 1);
    EXPECT_EQ(steps[1].time, 8);
    EXPECT_EQ(steps[1].action, MacroStep::kReload);
    // Out of order stays as stored; fields read as atoi reads them.
    EXPECT_EQ(steps[2].time, 2);
    EXPECT_EQ(steps[2].x, -7);
    EXPECT_EQ(steps[2].y, 9);
    EXPECT_EQ(steps[2].yUnit, 3);
}

TEST(MouseMacroTest, APieceWithoutACommaEndsTheMacro) {
    EXPECT_TRUE(ParseMouseMacro("").empty());
    EXPECT_TRUE(ParseMouseMacro("5").empty());
    EXPECT_EQ(ParseMouseMacro("1,0,5,0,5,0 2,1 3").size(), 2u);
    EXPECT_EQ(ParseMouseMacro("1,0,5,0,5,0 2,1  3,1").size(), 2u);  // two spaces
    EXPECT_EQ(ParseMouseMacro(" 1,1").size(), 0u);
    EXPECT_EQ(ParseMouseMacro("1,1 ").size(), 1u);
}

TEST(MouseMacroTest, MissingFieldsReadAsZeroAndExtraOnesAreIgnored) {
    auto steps = ParseMouseMacro("4,0,30 6, 7,0,1,1,2,1,99,98");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].time, 4);
    EXPECT_EQ(steps[0].x, 30);
    EXPECT_EQ(steps[0].xUnit, 0);
    EXPECT_EQ(steps[0].y, 0);
    EXPECT_EQ(steps[0].yUnit, 0);
    EXPECT_EQ(steps[1].time, 6);
    EXPECT_EQ(steps[1].action, MacroStep::kClick);  // empty field: 0
    EXPECT_EQ(steps[2].yUnit, 1);
}

TEST(MouseMacroTest, ClickPointsInPixelsOrPercent) {
    MacroStep step;
    step.x = 10;
    step.xUnit = 1;
    step.y = 50;
    step.yUnit = 1;
    POINT p = MacroClickPoint(step, 1024, 768);
    EXPECT_EQ(p.x, 102);
    EXPECT_EQ(p.y, 384);
    step.xUnit = 0;
    step.yUnit = 2;  // anything but 1 is pixels
    p = MacroClickPoint(step, 1024, 768);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 50);
    step.x = -33;
    step.xUnit = 1;
    EXPECT_EQ(MacroClickPoint(step, 1000, 768).x, -330);
    step.x = 5000000;  // 32-bit product would wrap
    EXPECT_EQ(MacroClickPoint(step, 1000, 768).x, 50000000);
}

TEST(MouseMacroTest, StepPeriodsNeverGoNegative) {
    EXPECT_EQ(MacroStepPeriodMs(5, 0), 5000u);
    EXPECT_EQ(MacroStepPeriodMs(8, 5), 3000u);
    EXPECT_EQ(MacroStepPeriodMs(3, 5), static_cast<UINT>(USER_TIMER_MINIMUM));
    EXPECT_EQ(MacroStepPeriodMs(0, 0), static_cast<UINT>(USER_TIMER_MINIMUM));
    EXPECT_EQ(MacroStepPeriodMs(2147483647, -2147483647 - 1),
              static_cast<UINT>(USER_TIMER_MAXIMUM));
}

}  // namespace
