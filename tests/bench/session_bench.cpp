// Benchmark of a saver session under Wine, printed as figures (never a
// pass/fail test):
// - start-up: from starting `tolvarin.scr /s` to its first full-screen
//   window on the screen, against the same measure for a minimal
//   full-screen Win32 program (the floor);
// - switch: from the switch timer's tick to the next entry's window;
// - CPU time the session uses per minute while the cover window is up.
#include "players/WindowIds.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 7;

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool IsFullScreen(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return IsWindowVisible(window) && rect.left <= 0 && rect.top <= 0 &&
           rect.right >= GetSystemMetrics(SM_CXSCREEN) && rect.bottom >= GetSystemMetrics(SM_CYSCREEN);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Milliseconds from start to a visible full-screen window of the process.
double TimeToFullScreen(const std::function<test::StartedProcess()>& start, HANDLE* process) {
    double begin = Now();
    test::StartedProcess started = start();
    if (!started.process) return -1;
    *process = started.process;
    HWND found = nullptr;
    test::WaitUntil([&] { return (found = test::FindWindowOf(started.id, IsFullScreen)) != nullptr; },
                    20000, 1);
    return found ? Now() - begin : -1;
}

double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
        ULARGE_INTEGER v;
        v.LowPart = t.dwLowDateTime;
        v.HighPart = t.dwHighDateTime;
        return static_cast<double>(v.QuadPart) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

}  // namespace

int main() {
    std::vector<double> floor, session, switches;
    for (int i = 0; i < kRuns; ++i) {
        HANDLE process = nullptr;
        std::string floorPath = test::FixturePath("fullscreen_floor.exe");
        floor.push_back(TimeToFullScreen([&] { return test::StartProcess("\"" + floorPath + "\""); }, &process));
        if (process) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }

        test::ProductProcess product;
        product.WriteIni("[LIST]\r\nentry=-1\r\n");
        session.push_back(TimeToFullScreen(
            [&] {
                product.Start("/s");
                return test::StartedProcess{product.Handle(), product.Id()};
            },
            &process));
    }

    // Switching between two entries that cannot be shown: each switch
    // closes one cover window and opens the next.
    test::ProductProcess product;
    product.WriteIni("[LIST]\r\nentry=1\r\nList0=○C:\\missing\\a.scr\r\nList1=○C:\\missing\\b.scr\r\n"
                     "[OTHER]\r\nOrder=1\r\n[TIMER]\r\nON/OFF=1\r\nTime=5\r\n");
    product.Start("/s");
    HWND host = product.WaitForWindow([](HWND w) { return test::TextOf(w) == TOLVARIN_NAME; });
    HWND cover = nullptr;
    test::WaitUntil([&] { return (cover = test::FindWindowOf(product.Id(), IsFullScreen)) != nullptr; }, 20000, 1);
    for (int i = 0; host && cover && i < kRuns; ++i) {
        HWND previous = cover;
        double begin = Now();
        PostMessageA(host, WM_TIMER, kSwitchTimerId, 0);
        test::WaitUntil([&] {
            cover = test::FindWindowOf(product.Id(), IsFullScreen);
            return cover && cover != previous;
        }, 20000, 1);
        switches.push_back(Now() - begin);
    }

    // CPU while the cover window is up, over ten seconds.
    double cpuPerMinute = -1;
    if (cover) {
        double cpu0 = CpuMs(product.Handle()), t0 = Now();
        test::WaitUntil([] { return false; }, 10000, 100);
        cpuPerMinute = (CpuMs(product.Handle()) - cpu0) * 60000.0 / (Now() - t0);
    }

    double floorMs = Median(floor), sessionMs = Median(session);
    std::printf("start-up to first full-screen window (median of %d):\n", kRuns);
    std::printf("  floor (minimal Win32 program)   %8.1f ms\n", floorMs);
    std::printf("  tolvarin.scr /s (cover window)  %8.1f ms  (%.2f x floor)\n", sessionMs,
                floorMs > 0 ? sessionMs / floorMs : 0.0);
    std::printf("switch to the next entry's window (median of %zu): %8.1f ms (%.2f x floor)\n",
                switches.size(), Median(switches), floorMs > 0 ? Median(switches) / floorMs : 0.0);
    std::printf("CPU time per minute with the cover window up: %8.1f ms\n", cpuPerMinute);
    return 0;
}
