// Benchmark of a saver session under Wine, printed as figures (never a
// pass/fail test). Where a floor exists, a figure is also given as a ratio to
// the floor measured in the same run: the median of the ratios of runs made
// one right after the other, so that a moment when the shared machine is
// slow weighs on both. Times are medians of kRuns.
// - start-up of `tolvarin.scr /s` with an empty list (the cover): to its first
//   full-screen window, and to the cover's picture on the screen, against the
//   same for a minimal program that puts up the same kind of picture (the
//   floor, tests/bench/fullscreen_floor.cpp);
// - start-up to a screen saver entry's picture (the fixture saver's white),
//   against that saver started by itself;
// - input to desktop: from a click over the cover to the session's last
//   full-screen window gone (and to the process's end);
// - switch: from the switch timer's tick to the next entry's picture, from
//   cover to cover (two entries that cannot be shown) and from one saver to
//   another;
// - the working set of a session on its cover and of one playing a video, and
//   the CPU time a session on its cover uses per minute;
// - the size of each built tolvarin.scr, with and without the manual's bytes.
#include "players/WindowIds.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int kRuns = 11;

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

bool IsFullScreen(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return IsWindowVisible(window) && rect.left <= 0 && rect.top <= 0 && rect.right >= ScreenWidth() &&
           rect.bottom >= ScreenHeight();
}

bool AllPixels(const RECT& rect, COLORREF colour) {
    std::vector<COLORREF> pixels = test::CaptureScreen(rect);
    return !pixels.empty() && std::all_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c == colour; });
}

// The colour of the picture that the cover and the floor show (black, one
// large glyph in one colour in the middle) when the screen shows it, else
// CLR_INVALID: the top left corner black, and one colour other than black
// on at least 500 pixels of the glyph's square.
COLORREF GlyphColour() {
    if (!AllPixels({0, 0, 32, 32}, RGB(0, 0, 0))) return CLR_INVALID;
    const int w = ScreenWidth(), h = ScreenHeight();
    std::map<COLORREF, int> counts;
    for (COLORREF c : test::CaptureScreen({w / 2 - h / 4, h / 4, w / 2 + h / 4, h * 3 / 4})) {
        if (c != RGB(0, 0, 0)) ++counts[c];
    }
    auto most = std::max_element(counts.begin(), counts.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    return most != counts.end() && most->second >= 500 ? most->first : CLR_INVALID;
}
bool ShowsGlyph() { return GlyphColour() != CLR_INVALID; }

// The fixture saver's picture: its window colour over the top left corner.
bool ShowsSaver() { return AllPixels({0, 0, 32, 32}, GetSysColor(COLOR_WINDOW)); }

HWND SaverWindow() {
    HWND saver = FindWindowA("TolvarinTestProgram", "test_saver");
    return saver && IsWindowVisible(saver) ? saver : nullptr;
}

double Median(std::vector<double> values) {
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}

// Milliseconds from begin until condition holds (polled every millisecond),
// or -1 after 20 s.
double Until(double begin, const std::function<bool()>& condition) {
    return test::WaitUntil(condition, 20000, 1) ? Now() - begin : -1;
}

struct StartTimes {
    double window = -1;   // a visible full-screen window of the process
    double picture = -1;  // the picture on the screen
};

// Starts the process and times its first full-screen window and picture.
StartTimes TimeStart(const std::function<test::StartedProcess()>& start, const std::function<bool()>& picture) {
    StartTimes times;
    const double begin = Now();
    const test::StartedProcess started = start();
    if (!started.process) return times;
    Until(begin, [&] {
        if (times.window < 0 && test::FindWindowOf(started.id, IsFullScreen)) times.window = Now() - begin;
        if (times.picture < 0 && picture()) times.picture = Now() - begin;
        return times.window >= 0 && times.picture >= 0;
    });
    return times;
}

// Ends a process that the benchmark started by itself.
void End(const test::StartedProcess& started) {
    if (!started.process) return;
    TerminateProcess(started.process, 0);
    WaitForSingleObject(started.process, 5000);
    CloseHandle(started.process);
}

// A click over whatever covers the screen.
void Click() {
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

struct Memory {
    double workingSet = -1, peak = -1;  // MB
};
Memory MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return {};
    return {counters.WorkingSetSize / 1048576.0, counters.PeakWorkingSetSize / 1048576.0};
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

// Times kRuns switches of the session: each posts the switch timer's tick to
// its host and waits until shown() holds (which may look at what was on the
// screen before, noted by before()).
std::vector<double> TimeSwitches(const test::ProductProcess& product, const std::function<void()>& before,
                                 const std::function<bool()>& shown) {
    std::vector<double> times;
    HWND host = product.WaitForWindow([](HWND w) { return test::TextOf(w) == TOLVARIN_NAME; });
    for (int i = 0; host && i < kRuns; ++i) {
        before();
        const double begin = Now();
        PostMessageA(host, WM_TIMER, kSwitchTimerId, 0);
        times.push_back(Until(begin, shown));
    }
    return times;
}

BOOL CALLBACK AddResourceSize(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR sum) {
    *reinterpret_cast<DWORD*>(sum) += SizeofResource(module, FindResourceA(module, name, type));
    return TRUE;
}

// The median of times, and the median of their ratios to the floor's times
// of the same runs when floor is given.
void Print(const char* what, const std::vector<double>& times, const std::vector<double>* floor = nullptr) {
    std::printf("  %-40s %8.1f ms", what, Median(times));
    std::vector<double> ratios;
    for (size_t i = 0; floor && i < times.size() && i < floor->size(); ++i) {
        if (times[i] >= 0 && (*floor)[i] > 0) ratios.push_back(times[i] / (*floor)[i]);
    }
    if (!ratios.empty()) std::printf("  (%.2f x floor)", Median(ratios));
    std::printf("\n");
}

}  // namespace

int main() {
    std::vector<double> floorWindow, floorPicture, coverWindow, coverPicture, toDesktop, toExit;
    std::vector<double> saverAlone, saverSession;
    for (int i = 0; i < kRuns; ++i) {
        // Each pair runs in turns first, so that neither always starts right
        // after the other. The floor:
        const auto floorRun = [&] {
            const std::string floorPath = test::FixturePath("fullscreen_floor.exe");
            test::StartedProcess floor;
            StartTimes times =
                TimeStart([&] { return floor = test::StartProcess("\"" + floorPath + "\""); }, ShowsGlyph);
            floorWindow.push_back(times.window);
            floorPicture.push_back(times.picture);
            End(floor);
            test::WaitUntil([] { return !ShowsGlyph(); }, 5000, 1);
        };
        // A session on its cover, then the user's click.
        const auto coverRun = [&] {
            test::ProductProcess product;
            product.WriteIni("[LIST]\r\nentry=-1\r\n");
            StartTimes times = TimeStart([&] {
                product.Start("/s");
                return test::StartedProcess{product.Handle(), product.Id()};
            }, ShowsGlyph);
            coverWindow.push_back(times.window);
            coverPicture.push_back(times.picture);
            const double begin = Now();
            Click();
            toDesktop.push_back(Until(begin, [&] { return !test::FindWindowOf(product.Id(), IsFullScreen); }));
            toExit.push_back(Until(begin, [&] { return !product.Running(); }));
            test::WaitUntil([] { return !ShowsGlyph(); }, 5000, 1);
        };
        // The fixture saver by itself, and as the entry of a session.
        const auto saverRun = [&] {
            test::TempFolder folder;
            const std::string saver = folder.PlaceFixture("test_saver.scr", "a.scr");
            test::StartedProcess alone;
            saverAlone.push_back(
                TimeStart([&] { return alone = test::StartProcess("\"" + saver + "\" /s"); }, ShowsSaver).picture);
            End(alone);
            test::WaitUntil([] { return !ShowsSaver(); }, 5000, 1);
        };
        const auto saverSessionRun = [&] {
            test::ProductProcess product;
            product.WriteIni("[LIST]\r\nentry=0\r\nList0=○" + product.PlaceFixture("test_saver.scr", "a.scr") + "\r\n");
            saverSession.push_back(TimeStart([&] {
                product.Start("/s");
                return test::StartedProcess{product.Handle(), product.Id()};
            }, ShowsSaver).picture);
            Click();
            product.WaitForExit(20000);
            test::WaitUntil([] { return !ShowsSaver(); }, 5000, 1);
        };
        for (const auto& run : i % 2 ? std::vector<std::function<void()>>{coverRun, floorRun, saverSessionRun, saverRun}
                                     : std::vector<std::function<void()>>{floorRun, coverRun, saverRun, saverSessionRun}) {
            run();
        }
    }

    // Switches from cover to cover: each closes one cover window and opens
    // the next, whose glyph has a colour of its own.
    std::vector<double> coverSwitches, saverSwitches;
    const char* switching = "[OTHER]\r\nOrder=1\r\n[TIMER]\r\nON/OFF=1\r\nTime=5\r\n";
    {
        test::ProductProcess product;
        product.WriteIni(std::string("[LIST]\r\nentry=1\r\nList0=○C:\\missing\\a.scr\r\nList1=○C:\\missing\\b.scr\r\n") +
                         switching);
        product.Start("/s");
        test::WaitUntil(ShowsGlyph, 20000, 1);
        HWND previous = nullptr;
        COLORREF colour = CLR_INVALID;
        coverSwitches = TimeSwitches(product, [&] {
            previous = test::FindWindowOf(product.Id(), IsFullScreen);
            colour = GlyphColour();
        }, [&] {
            HWND cover = test::FindWindowOf(product.Id(), IsFullScreen);
            if (!cover || cover == previous) return false;
            const COLORREF now = GlyphColour();
            return now != CLR_INVALID && now != colour;
        });
    }
    // CPU and memory while the cover window is up, over ten seconds.
    double cpuPerMinute = -1;
    Memory coverMemory, movieMemory;
    {
        test::ProductProcess product;
        product.WriteIni("[LIST]\r\nentry=-1\r\n");
        product.Start("/s");
        if (test::WaitUntil(ShowsGlyph, 20000, 1)) {
            const double cpu0 = CpuMs(product.Handle()), t0 = Now();
            test::WaitUntil([] { return false; }, 10000, 100);
            cpuPerMinute = (CpuMs(product.Handle()) - cpu0) * 60000.0 / (Now() - t0);
            coverMemory = MemoryOf(product.Handle());
        }
    }
    // Switches from one saver to the other: the first one ends, the start
    // cover shows, the next one's window comes up.
    {
        test::ProductProcess product;
        product.WriteIni("[LIST]\r\nentry=1\r\nList0=○" + product.PlaceFixture("test_saver.scr", "a.scr") +
                         "\r\nList1=○" + product.PlaceFixture("test_saver.scr", "b.scr") + "\r\n" + switching);
        product.Start("/s");
        test::WaitUntil([] { return SaverWindow() && ShowsSaver(); }, 20000, 1);
        HWND previous = nullptr;
        saverSwitches = TimeSwitches(product, [&] { previous = SaverWindow(); }, [&] {
            HWND saver = SaverWindow();
            return saver && saver != previous && !IsWindowVisible(previous) && ShowsSaver();
        });
    }
    // A session playing a video: its memory two seconds into the playing.
    {
        test::ProductProcess product;
        product.WriteIni("[LIST]\r\nentry=0\r\nList0=○" + test::FixturePath("clips\\clip.mp4") + "\r\n");
        product.Start("/s");
        if (product.WaitForWindow([](HWND w) { return IsFullScreen(w) && test::TextOf(w) == TOLVARIN_PLAYER_CAPTION; },
                                  20000)) {
            test::WaitUntil([] { return false; }, 2000, 100);
            movieMemory = MemoryOf(product.Handle());
        }
    }

    std::printf("start-up, tolvarin.scr /s with an empty list (median of %d):\n", kRuns);
    Print("floor: first full-screen window", floorWindow);
    Print("floor: its picture", floorPicture);
    Print("session: first full-screen window", coverWindow, &floorWindow);
    Print("session: the cover's picture", coverPicture, &floorPicture);
    std::printf("start-up to a screen saver entry's picture (median of %d):\n", kRuns);
    Print("floor: the saver started by itself", saverAlone);
    Print("session: the saver as its entry", saverSession, &saverAlone);
    std::printf("input to desktop, a session on its cover (median of %d):\n", kRuns);
    Print("click to the last full-screen window gone", toDesktop);
    Print("click to the process's end", toExit);
    std::printf("switch to the next entry's picture (median of %d):\n", kRuns);
    Print("cover to cover", coverSwitches);
    Print("saver to saver", saverSwitches);
    std::printf("a session on its cover: working set %.1f MB (peak %.1f MB), CPU per minute %.1f ms\n",
                coverMemory.workingSet, coverMemory.peak, cpuPerMinute);
    std::printf("a session playing clip.mp4: working set %.1f MB (peak %.1f MB)\n", movieMemory.workingSet,
                movieMemory.peak);

    // The built files: the manual is carried as RT_HTML resources.
    std::string builds = test::BuildFolder();
    builds.erase(builds.find_last_of('\\'));
    std::printf("built files (the 32-bit one is what users run):\n");
    for (const char* arch : {"i686", "x86_64"}) {
        const std::string path = builds + "\\" + arch + "\\tolvarin.scr";
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        HMODULE file = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!file || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) continue;
        DWORD manual = 0;
        EnumResourceNamesA(file, RT_HTML, AddResourceSize, reinterpret_cast<LONG_PTR>(&manual));
        FreeLibrary(file);
        std::printf("  %-6s tolvarin.scr %8.1f KB, without the manual's %.1f KB: %8.1f KB\n", arch,
                    data.nFileSizeLow / 1024.0, manual / 1024.0, (data.nFileSizeLow - manual) / 1024.0);
    }
    return 0;
}
