#include "players/MouseMacro.h"

#include "players/SplitString.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kMaxFields = 6;
}

std::vector<MacroStep> ParseMouseMacro(const std::string& text) {
    std::vector<MacroStep> steps;
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');

    int spaces = static_cast<int>(std::count(text.begin(), text.end(), ' '));
    std::vector<char*> pieces(static_cast<size_t>(spaces) + 1, nullptr);
    SplitString(buffer.data(), " ", pieces.data(), spaces + 1);

    for (char* piece : pieces) {
        if (!piece) break;
        char* fields[kMaxFields] = {};
        int commas = SplitString(piece, ",", fields, kMaxFields);
        if (commas == 0) break;
        // Fields past the last comma were never recorded: they read as 0.
        auto field = [&](int index) { return fields[index] ? std::atoi(fields[index]) : 0; };
        MacroStep step;
        step.time = field(0);
        step.action = field(1);
        if (step.action != MacroStep::kReload) {
            step.x = field(2);
            step.xUnit = field(3);
            step.y = field(4);
            step.yUnit = field(5);
        }
        steps.push_back(step);
    }
    return steps;
}

POINT MacroClickPoint(const MacroStep& step, int screenWidth, int screenHeight) {
    // 64-bit products: a large percentage must not wrap around.
    auto scale = [](int side, int value) {
        return static_cast<LONG>(static_cast<long long>(side) * value / 100);
    };
    POINT point;
    point.x = step.xUnit == MacroStep::kPercent ? scale(screenWidth, step.x) : step.x;
    point.y = step.yUnit == MacroStep::kPercent ? scale(screenHeight, step.y) : step.y;
    return point;
}

UINT MacroStepPeriodMs(int stepTime, int previousTime) {
    long long seconds = static_cast<long long>(stepTime) - previousTime;
    long long period = seconds * 1000;
    if (period < USER_TIMER_MINIMUM) return USER_TIMER_MINIMUM;
    if (period > USER_TIMER_MAXIMUM) return USER_TIMER_MAXIMUM;
    return static_cast<UINT>(period);
}
