// A movie on the system's media control interface (MCI). The file goes to
// the device that the system assigns to its extension (the AVI device for
// ".avi", the DirectShow device MPEGVideo for ".mpg" or ".wmv"), and when
// there is none or it cannot read the file, to MPEGVideo named explicitly,
// which plays whatever the installed DirectShow filters decode. No registry
// setting is read or changed for this.
//
// Opening a file can take seconds (DirectShow builds its graph then), so the
// device lives on a thread of its own from its opening to its closing: every
// command goes to it there, and the devices' own windows belong to it. The
// window thread only posts commands to that thread's window and reads what
// the thread last noted; the thread posts the playback's events. Closing
// never waits either: the screen window is taken out of our windows at once
// (so that destroying them never waits for the device thread's windows in
// it) and destroyed once the device has closed.
//
// winmm.dll is loaded from the system folder on first use.
#include "players/MoviePlayback.h"

#include "framework/SystemLibrary.h"
#include "framework/Thread.h"
#include "players/WindowIds.h"

#include <mmsystem.h>

#include <digitalv.h>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

// How often the device thread notes where the movie stands.
constexpr UINT kPositionPeriodMs = 250;

enum Command : WPARAM { kPlace, kStart, kRewind, kClose };

// What the window thread and the device thread share; either may be the
// last to let go of it.
struct DeviceState {
    std::string path;
    HWND screen = nullptr;
    HWND notify = nullptr;
    LPARAM cookie = 0;
    bool muted = false;
    // The thread's window for commands, once it exists.
    std::atomic<HWND> commands{nullptr};
    std::atomic<bool> closing{false};
    // Noted by the thread: written before Opened is posted, or as it plays.
    std::atomic<LONG> width{0};
    std::atomic<LONG> height{0};
    std::atomic<DWORD> lengthMs{0};
    std::atomic<DWORD> positionMs{0};

    void Post(MovieEvent event) const {
        if (!closing) PostMessageA(notify, kMovieEventMessage, static_cast<WPARAM>(event), cookie);
    }
};

MCIERROR Send(MCIDEVICEID device, UINT command, DWORD flags, void* parameters) {
    static const auto send =
        SystemFunction<decltype(&mciSendCommandA)>("winmm.dll", "mciSendCommandA");
    if (!send) return MCIERR_DEVICE_NOT_INSTALLED;
    return send(device, command, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

// Devices are opened and closed one at a time in the process: DirectShow
// graphs built on two threads at once fail now and then (seen under Wine).
std::mutex& OpenAndClose() {
    static std::mutex oneAtATime;
    return oneAtATime;
}

void CloseDevice(MCIDEVICEID device) {
    std::lock_guard<std::mutex> lock(OpenAndClose());
    MCI_GENERIC_PARMS close = {};
    Send(device, MCI_CLOSE, MCI_WAIT, &close);
}

// Opens path on the device of type (null: the one the system assigns to the
// extension) under an alias of its own, so that a file can be open twice;
// 0 when it does not open.
MCIDEVICEID OpenOn(const std::string& path, char* type) {
    static std::atomic<unsigned> opened{0};
    char alias[32];
    std::snprintf(alias, sizeof alias, "tolvarin%u", ++opened);
    MCI_OPEN_PARMSA open = {};
    open.lpstrElementName = path.c_str();
    open.lpstrDeviceType = type;
    open.lpstrAlias = alias;
    DWORD flags = MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS | MCI_WAIT | (type ? MCI_OPEN_TYPE : 0);
    return Send(0, MCI_OPEN, flags, &open) == 0 ? open.wDeviceID : 0;
}

// Makes the open device draw into the screen window and notes its size and
// length; false when it has no picture to show there (a sound alone).
bool Prepare(MCIDEVICEID device, DeviceState& state) {
    MCI_DGV_WINDOW_PARMSA window = {};
    window.hWnd = state.screen;
    if (Send(device, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &window) != 0) return false;
    // The device's rectangles read as left, top, width, height.
    MCI_DGV_RECT_PARMS where = {};
    if (Send(device, MCI_WHERE, MCI_DGV_WHERE_SOURCE | MCI_WAIT, &where) != 0 || where.rc.right <= 0 ||
        where.rc.bottom <= 0) {
        return false;
    }
    state.width = where.rc.right;
    state.height = where.rc.bottom;
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_LENGTH;
    if (Send(device, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set) == 0 &&
        Send(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0) {
        state.lengthMs = static_cast<DWORD>(status.dwReturn);
    }
    if (state.muted) {
        // Devices take one or the other.
        MCI_DGV_SETAUDIO_PARMSA volume = {};
        volume.dwItem = MCI_DGV_SETAUDIO_VOLUME;
        Send(device, MCI_SETAUDIO, MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT, &volume);
        MCI_SET_PARMS off = {};
        off.dwAudio = MCI_SET_AUDIO_ALL;
        Send(device, MCI_SET, MCI_SET_AUDIO | MCI_SET_OFF | MCI_WAIT, &off);
    }
    return true;
}

// The extension's device first, so that a file keeps the device the system
// chose for it; then the DirectShow device by name, which needs no mapping
// of the extension. 0 when neither shows it.
MCIDEVICEID OpenDevice(DeviceState& state) {
    if (GetFileAttributesA(state.path.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
    char directShow[] = "mpegvideo";
    for (char* type : {static_cast<char*>(nullptr), directShow}) {
        MCIDEVICEID device = 0;
        {
            std::lock_guard<std::mutex> lock(OpenAndClose());
            device = OpenOn(state.path, type);
        }
        if (!device) continue;
        if (Prepare(device, state)) return device;
        CloseDevice(device);
    }
    return 0;
}

// Runs one command; false for the close. held: the device waits at its
// start, ready to play at once.
bool RunCommand(MCIDEVICEID device, DeviceState& state, HWND commands, WPARAM command, LPARAM lParam,
                bool& held) {
    switch (command) {
    case kPlace: {
        MCI_DGV_PUT_PARMS put = {};
        put.rc = {0, 0, LOWORD(lParam), HIWORD(lParam)};
        Send(device, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT, &put);
        return true;
    }
    case kStart: {
        // From the start: where it is held, else back there first (a device
        // that has played to its end stands there, or at its start).
        if (lParam == 0 && !held) {
            MCI_SEEK_PARMS seek = {};
            Send(device, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek);
        }
        held = false;
        state.positionMs = static_cast<DWORD>(lParam);
        // The device posts MM_MCINOTIFY to the thread's window when it has
        // played to its end by itself.
        MCI_PLAY_PARMS play = {};
        play.dwCallback = reinterpret_cast<DWORD_PTR>(commands);
        play.dwFrom = static_cast<DWORD>(lParam);
        bool playing = Send(device, MCI_PLAY, MCI_NOTIFY | (lParam ? MCI_FROM : 0), &play) == 0;
        state.Post(playing ? MovieEvent::Playing : MovieEvent::Failed);
        SetTimer(commands, kPositionTimerId, kPositionPeriodMs, nullptr);
        return true;
    }
    case kRewind: {
        // Seeking readies what plays next. (Paused as well, DirectShow would
        // have the first picture up, but a device paused for as long as a
        // short clip lasts may then report its end as soon as it plays.)
        MCI_SEEK_PARMS seek = {};
        Send(device, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek);
        held = true;
        state.positionMs = 0;
        return true;
    }
    default:
        return false;
    }
}

BOOL CALLBACK HideWindow(HWND window, LPARAM) {
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

unsigned __stdcall DeviceThread(void* argument) {
    auto* shared = static_cast<std::shared_ptr<DeviceState>*>(argument);
    std::shared_ptr<DeviceState> state = *shared;
    delete shared;
    HWND commands = CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    state->commands = commands;
    MCIDEVICEID device = commands && !state->closing ? OpenDevice(*state) : 0;
    state->Post(device ? MovieEvent::Opened : MovieEvent::Failed);
    MSG message;
    bool held = false;
    while (device && !state->closing && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd != commands) {
            // The device's own windows.
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else if (message.message == kMovieCommandMessage) {
            if (!RunCommand(device, *state, commands, message.wParam, message.lParam, held)) break;
        } else if (message.message == MM_MCINOTIFY) {
            // The thread's one device (whose id in lParam the DirectShow
            // device does not always give). Not when it was stopped or
            // replaced by a command of ours.
            if (message.wParam == MCI_NOTIFY_SUCCESSFUL) state->Post(MovieEvent::Ended);
            if (message.wParam == MCI_NOTIFY_FAILURE) state->Post(MovieEvent::Failed);
        } else if (message.message == WM_TIMER) {
            MCI_STATUS_PARMS status = {};
            status.dwItem = MCI_STATUS_POSITION;
            if (Send(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0) {
                state->positionMs = static_cast<DWORD>(status.dwReturn);
            }
        }
    }
    if (device) {
        // What the device shows in the screen is hidden first: DirectShow
        // takes its window out of ours as it closes, which would otherwise
        // show on its own for a moment.
        EnumChildWindows(state->screen, &HideWindow, 0);
        CloseDevice(device);
    }
    if (commands) DestroyWindow(commands);
    // Nothing of the device is left in the screen: the window thread may
    // destroy it now.
    PostMessageA(state->screen, WM_CLOSE, 0, 0);
    return 0;
}

class MciPlayback : public MoviePlayback {
public:
    ~MciPlayback() override { Close(); }

    bool Open(const std::string& path, HWND screen, HWND notify, LPARAM cookie, bool muted) override {
        auto opening = std::make_shared<DeviceState>();
        opening->path = path;
        opening->screen = screen;
        opening->notify = notify;
        opening->cookie = cookie;
        opening->muted = muted;
        auto* argument = new std::shared_ptr<DeviceState>(opening);
        HANDLE thread = StartWorkerThread(&DeviceThread, argument);
        if (!thread) {
            delete argument;
            return false;
        }
        KeepUntilExit(thread);
        CloseHandle(thread);
        state = opening;
        return true;
    }
    SIZE NaturalSize() const override { return state ? SIZE{state->width, state->height} : SIZE{0, 0}; }
    DWORD LengthMs() const override { return state ? state->lengthMs.load() : 0; }
    DWORD PositionMs() const override { return state ? state->positionMs.load() : 0; }
    void Place(int width, int height) override { Command(kPlace, MAKELPARAM(width, height)); }
    void Start(DWORD fromMs) override { Command(kStart, static_cast<LPARAM>(fromMs)); }
    void Rewind() override { Command(kRewind, 0); }
    void Close() override {
        if (!state) return;
        HWND screen = state->screen;
        if (IsWindow(screen)) {
            ShowWindow(screen, SW_HIDE);
            SetParent(screen, HWND_MESSAGE);
        }
        state->closing = true;
        Command(kClose, 0);
        state.reset();
    }

private:
    void Command(WPARAM command, LPARAM lParam) const {
        HWND commands = state ? state->commands.load() : nullptr;
        if (commands) PostMessageA(commands, kMovieCommandMessage, command, lParam);
    }

    std::shared_ptr<DeviceState> state;
};

}  // namespace

std::unique_ptr<MoviePlayback> MakeMciPlayback() { return std::make_unique<MciPlayback>(); }
