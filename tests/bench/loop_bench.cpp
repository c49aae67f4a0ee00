// Benchmark of the movies' loop under Wine, printed as figures (never a
// pass/fail test): for every kind of video, a session of `tolvarin.scr /s`
// plays the build's one-second clip, and a strip of the screen across the
// clip's moving colour band is read every few milliseconds (little, so that
// the reading leaves the machine to the player); the longest time the
// picture stands still there, once
// the start is past, is the stand-still at the loop point (the clips' own
// frames change every 40 ms). make bench runs it twice: as the system is,
// where Media Foundation's player is tried first, and with Wine told not to
// load that player (WINEDLLOVERRIDES), where MCI plays everything.
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartMs = 1500;    // after the first picture: the start is past
constexpr DWORD kWatchMs = 6000;    // some five loops of the one-second clips
constexpr int kHeight = 4;          // the strip's height, at 13/16 of the screen's

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A digest of the strip.
unsigned Sample(HDC screen, HDC memory, const void* bits) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    BitBlt(memory, 0, 0, width, kHeight, screen, 0, GetSystemMetrics(SM_CYSCREEN) * 13 / 16, SRCCOPY);
    GdiFlush();
    unsigned digest = 2166136261u;
    const auto* pixel = static_cast<const unsigned*>(bits);
    for (int i = 0; i < width * kHeight; ++i) digest = (digest ^ pixel[i]) * 16777619u;
    return digest;
}

// The longest stand-still of the clip's picture in a session, in
// milliseconds; -1 when it never showed.
double LongestStill(const std::string& clip) {
    test::ProductProcess product;
    product.WriteIni("[LIST]\r\nentry=0\r\nList0=\x81\x9B" + clip + "\r\n");
    if (!product.Start("/s")) return -1;
    HWND player = product.WaitForWindow(
        [](HWND w) { return IsWindowVisible(w) && test::TextOf(w) == TOLVARIN_PLAYER_CAPTION; }, 20000);
    if (!player) return -1;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), GetSystemMetrics(SM_CXSCREEN), -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const double shown = Now();
    double changed = 0, longest = 0;
    unsigned last = 0;
    for (double now = Now(); now - shown < kStartMs + kWatchMs; now = Now()) {
        unsigned digest = Sample(screen, memory, bits);
        if (digest != last) {
            if (changed > 0 && changed - shown > kStartMs && now - changed > longest) longest = now - changed;
            last = digest;
            changed = now;
        }
        Sleep(10);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return changed > 0 ? longest : -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> kinds = {"avi", "mpg", "mpeg", "wmv", "mp4", "m4v", "mov", "mkv"};
    if (argc > 1) kinds.assign(argv + 1, argv + argc);
    // The program started from here has what this process has (Wine's DLL
    // overrides are read from the environment at a process's start).
    const bool mediaFoundation = LoadLibraryA("mfplay.dll") != nullptr;
    std::printf("longest stand-still of the picture at the loop (one-second clips, %u s each), %s:\n",
                static_cast<unsigned>(kWatchMs / 1000),
                mediaFoundation ? "as the system is" : "without Media Foundation's player");
    for (const char* kind : kinds) {
        std::printf("  .%-5s %6.0f ms\n", kind, LongestStill(test::FixturePath(std::string("clips\\clip.") + kind)));
    }
    return 0;
}
