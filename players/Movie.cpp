#include "players/Movie.h"

#include "framework/App.h"
#include "framework/Window.h"

DWORD ResumePoint(DWORD positionMs, DWORD lengthMs) {
    if (lengthMs <= kResumeMinLengthMs || positionMs <= kResumeBackMs) return 0;
    return positionMs - kResumeBackMs;
}

DWORD ResumeStart(int noted, DWORD lengthMs) {
    if (lengthMs <= kResumeMinLengthMs || noted <= 0 || static_cast<DWORD>(noted) >= lengthMs) return 0;
    return static_cast<DWORD>(noted);
}

bool Movie::Open(const std::string& file, HWND parentWindow, HWND notifyWindow, bool mute) {
    Close();
    path = file;
    parent = parentWindow;
    notify = notifyWindow;
    muted = mute;
    active = 0;
    usePreferred = true;
    shown = standbyTried = takingOver = false;
    return OpenInstance(active);
}

bool Movie::OpenInstance(int slot) {
    Instance& instance = instances[slot];
    App* app = App::Instance();
    const char* screenClass =
        Window::RegisterWindowClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (!screenClass) return false;
    // The standby's is hidden until it takes over.
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | (slot == active ? WS_VISIBLE : 0);
    instance.screen = CreateWindowExA(0, screenClass, nullptr, style, 0, 0, width, height, parent, nullptr,
                                      app ? app->Handle() : GetModuleHandleA(nullptr), nullptr);
    if (!instance.screen) return false;
    instance.cookie = (++opened << 1) | slot;
    std::unique_ptr<MoviePlayback> playback = usePreferred ? preferred() : nullptr;
    if (!playback || !playback->Open(path, instance.screen, notify, instance.cookie, muted)) {
        // No Media Foundation here (or it cannot even begin): this file goes
        // to MCI from now on.
        usePreferred = false;
        playback = fallback();
        if (!playback->Open(path, instance.screen, notify, instance.cookie, muted)) {
            DestroyWindow(instance.screen);
            instance.screen = nullptr;
            return false;
        }
    }
    instance.playback = std::move(playback);
    instance.ready = false;
    return true;
}

void Movie::CloseInstance(int slot) {
    Instance& instance = instances[slot];
    // The playback disposes of its screen.
    if (instance.playback) instance.playback->Close();
    instance.playback.reset();
    instance.screen = nullptr;
    instance.ready = false;
}

void Movie::TakeOver(int slot) {
    Instance& previous = instances[active];
    ShowWindow(instances[slot].screen, SW_SHOWNA);
    ShowWindow(previous.screen, SW_HIDE);
    previous.playback->Rewind();
    active = slot;
    takingOver = false;
}

Movie::News Movie::OnEvent(WPARAM event, LPARAM cookie) {
    const int slot = static_cast<int>(cookie & 1);
    Instance& instance = instances[slot];
    // A late event of a playback closed meanwhile.
    if (!instance.playback || instance.cookie != cookie) return News::None;
    Instance& other = instances[1 - slot];
    const bool isActive = slot == active;
    switch (instance.playback->OnPosted(static_cast<MovieEvent>(event))) {
    case MovieEvent::Opened:
        instance.ready = true;
        if (isActive) return News::Opened;
        if (width > 0) instance.playback->Place(width, height);
        instance.playback->Rewind();
        return News::None;
    case MovieEvent::Playing:
        if (!isActive) {
            TakeOver(slot);
            return News::None;
        }
        // A standby is opened once the first picture is up, so that it
        // never slows the start.
        if (!standbyTried && instance.playback->HeldReady()) {
            standbyTried = true;
            OpenInstance(1 - slot);
        }
        if (shown) return News::None;
        shown = true;
        return News::Showing;
    case MovieEvent::Ended:
        if (!isActive || takingOver) return News::None;
        if (other.ready) {
            takingOver = true;
            other.playback->Start(0);
        } else {
            instance.playback->Start(0);
        }
        return News::Looped;
    case MovieEvent::Failed:
        if (!isActive) {
            CloseInstance(slot);
            // It was to take over at the end: the movie starts over in place.
            if (takingOver) {
                takingOver = false;
                other.playback->Start(0);
            }
            return News::None;
        }
        CloseInstance(0);
        CloseInstance(1);
        takingOver = standbyTried = false;
        if (usePreferred) {
            usePreferred = false;
            if (OpenInstance(active)) return News::None;
        }
        return News::Failed;
    default:
        return News::None;
    }
}

SIZE Movie::NaturalSize() const {
    const auto& playback = instances[active].playback;
    return playback ? playback->NaturalSize() : SIZE{0, 0};
}

DWORD Movie::LengthMs() const {
    const auto& playback = instances[active].playback;
    return playback ? playback->LengthMs() : 0;
}

DWORD Movie::PositionMs() const {
    const auto& playback = instances[active].playback;
    return playback ? playback->PositionMs() : 0;
}

void Movie::Place(int placedWidth, int placedHeight) {
    width = placedWidth;
    height = placedHeight;
    for (Instance& instance : instances) {
        if (!instance.screen) continue;
        SetWindowPos(instance.screen, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (instance.ready) instance.playback->Place(width, height);
    }
}

void Movie::Start(DWORD fromMs) {
    if (instances[active].playback) instances[active].playback->Start(fromMs);
}

void Movie::Close() {
    CloseInstance(0);
    CloseInstance(1);
}
