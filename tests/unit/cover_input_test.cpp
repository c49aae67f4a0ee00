// What input over a cover of another monitor ends, by what is on the
// primary monitor at that moment.
#include "session/SaverInput.h"

#include <gtest/gtest.h>

namespace {

struct CoverInputCase {
    const char* what;
    bool hasWindow, launchRunning, program, watched;
    UINT message;
    CoverInputAction expected;
};

TEST(CoverInputTest, EndsWhatTheSameInputOnThePrimaryWouldEnd) {
    using A = CoverInputAction;
    const CoverInputCase cases[] = {
        {"player or cover window", true, false, false, false, WM_MOUSEMOVE, A::CloseWindow},
        {"launched saver", false, true, false, false, WM_MOUSEMOVE, A::StopLaunch},
        {"launched saver, left button", false, true, false, false, WM_LBUTTONDOWN, A::StopLaunch},
        {"watched program", false, true, true, true, WM_KEYDOWN, A::StopLaunch},
        {"watched program, right button", false, true, true, true, WM_RBUTTONDOWN, A::StopLaunch},
        {"the watch's own press", false, true, true, true, WM_LBUTTONDOWN, A::Ignore},
        {"program with @mouse 0", false, true, true, false, WM_MOUSEMOVE, A::Ignore},
        {"launch already over", false, false, false, false, WM_MOUSEMOVE, A::Ignore},
    };
    for (const CoverInputCase& c : cases) {
        EXPECT_EQ(ChooseCoverInputAction(c.hasWindow, c.launchRunning, c.program, c.watched, c.message),
                  c.expected)
            << c.what;
    }
}

}  // namespace
