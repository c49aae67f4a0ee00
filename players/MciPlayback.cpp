// A movie on the system's media control interface (MCI). The file goes to
// the device that the system assigns to its extension (the AVI device for
// ".avi", the DirectShow device MPEGVideo for ".mpg" or ".wmv"), and when
// there is none or it cannot read the file, to MPEGVideo named explicitly,
// which plays whatever the installed DirectShow filters decode. No registry
// setting is read or changed for this.
//
// Opening a file can take seconds (DirectShow builds its graph then), so
// every device of the process lives on one thread of its own, the MCI
// thread, from its opening to its closing: the window thread only queues
// orders for it and reads what it last noted, and it posts the playbacks'
// events. One thread for all keeps the devices' openings and closings in
// order, one after the other: DirectShow graphs built or torn down on two
// threads at once fail now and then (seen under Wine), and a device that
// closes while the next movie is already on the screen may take the
// activation away from it. The thread ends when it has no device left, and
// the process waits for it at its end. Closing never waits either: the
// screen window is taken out of our windows at once (so that destroying them
// never waits for the devices' windows in it) and destroyed once the device
// has closed.
//
// winmm.dll is loaded from the system folder on first use.
#include "players/MoviePlayback.h"

#include "framework/Handles.h"
#include "framework/SystemLibrary.h"
#include "framework/Thread.h"
#include "players/WindowIds.h"

#include <mmsystem.h>

#include <digitalv.h>

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace {

// How often the MCI thread notes where the long movies stand, the ones that
// go on next time where they stopped (MoviePlayback.h): only those, since asking
// holds some devices' picture up for a moment.
constexpr UINT kPositionPeriodMs = 1000;

enum class Command { Open, Place, Start, Close };

// One playback's device, shared by the window thread and the MCI thread;
// either may be the last to let go of it.
struct DeviceState {
    // Given before the opening.
    std::string path;
    HWND screen = nullptr;
    HWND notify = nullptr;
    LPARAM cookie = 0;
    bool muted = false;
    // The MCI thread's alone: the device, and the window its notifications
    // come to.
    MCIDEVICEID device = 0;
    HWND callback = nullptr;
    // Both threads'.
    std::atomic<bool> closing{false};
    std::atomic<LONG> width{0};
    std::atomic<LONG> height{0};
    std::atomic<DWORD> lengthMs{0};
    std::atomic<DWORD> positionMs{0};

    void Post(MovieEvent event) const {
        if (!closing) PostMessageA(notify, kMovieEventMessage, static_cast<WPARAM>(event), cookie);
    }
};
using Device = std::shared_ptr<DeviceState>;

struct Order {
    Command command;
    Device device;
    LPARAM value;
};

// The MCI thread's orders, and whether the thread runs.
struct Orders {
    std::mutex mutex;
    std::deque<Order> waiting;
    UniqueHandle wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    bool running = false;
};

// Never destroyed: an MCI thread still closing a device when the process
// ends (after its bounded wait) keeps using them.
Orders& TheOrders() {
    static Orders& orders = *new Orders;
    return orders;
}

MCIERROR Send(MCIDEVICEID device, UINT command, DWORD flags, void* parameters) {
    static const auto send =
        SystemFunction<decltype(&mciSendCommandA)>("winmm.dll", "mciSendCommandA");
    if (!send) return MCIERR_DEVICE_NOT_INSTALLED;
    return send(device, command, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

void CloseDevice(MCIDEVICEID device) {
    MCI_GENERIC_PARMS close = {};
    Send(device, MCI_CLOSE, MCI_WAIT, &close);
}

// Opens path on the device of type (null: the one the system assigns to the
// extension) under an alias of its own, so that a file can be open twice;
// 0 when it does not open.
MCIDEVICEID OpenOn(const std::string& path, char* type) {
    static unsigned opened = 0;
    const std::string alias = "tolvarin" + std::to_string(++opened);
    MCI_OPEN_PARMSA open = {};
    open.lpstrElementName = path.c_str();
    open.lpstrDeviceType = type;
    open.lpstrAlias = alias.c_str();
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
        MCIDEVICEID device = OpenOn(state.path, type);
        if (!device) continue;
        if (Prepare(device, state)) return device;
        CloseDevice(device);
    }
    return 0;
}

BOOL CALLBACK HideWindow(HWND window, LPARAM) {
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

// Runs one order on the MCI thread; open holds the thread's open devices.
void Run(const Order& order, std::vector<Device>& open) {
    DeviceState& state = *order.device;
    switch (order.command) {
    case Command::Open:
        if (state.closing) return;
        state.device = OpenDevice(state);
        if (state.device) {
            // The thread's own window, for the device's notices; it goes when
            // the device closes, here too.
            state.callback =
                CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
            open.push_back(order.device);
        }
        state.Post(state.device ? MovieEvent::Opened : MovieEvent::Failed);
        return;
    case Command::Place: {
        MCI_DGV_PUT_PARMS put = {};
        put.rc = {0, 0, LOWORD(order.value), HIWORD(order.value)};
        if (state.device) Send(state.device, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT, &put);
        return;
    }
    case Command::Start: {
        if (!state.device) return;
        // From the start: back there first (a device that has played to its
        // end stands on its last frame, or at its start).
        if (order.value == 0) {
            MCI_SEEK_PARMS seek = {};
            Send(state.device, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek);
        }
        state.positionMs = static_cast<DWORD>(order.value);
        // The device posts MM_MCINOTIFY to the callback window when it has
        // played to its end by itself.
        MCI_PLAY_PARMS play = {};
        play.dwCallback = reinterpret_cast<DWORD_PTR>(state.callback);
        play.dwFrom = static_cast<DWORD>(order.value);
        bool playing = Send(state.device, MCI_PLAY, MCI_NOTIFY | (order.value ? MCI_FROM : 0), &play) == 0;
        state.Post(playing ? MovieEvent::Playing : MovieEvent::Failed);
        return;
    }
    case Command::Close:
        if (state.device) {
            // What the device shows in the screen is hidden first: DirectShow
            // takes its window out of ours as it closes, which would otherwise
            // show on its own for a moment.
            EnumChildWindows(state.screen, &HideWindow, 0);
            CloseDevice(state.device);
            state.device = 0;
        }
        if (state.callback) DestroyWindow(state.callback);
        state.callback = nullptr;
        for (size_t i = open.size(); i-- > 0;) {
            if (open[i] == order.device) open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
        }
        // Nothing of the device is left in the screen: the window thread
        // may destroy it now.
        PostMessageA(state.screen, WM_CLOSE, 0, 0);
        return;
    }
}

// What the MCI thread gets besides orders: the devices' notifications, its
// timer, and the messages of the devices' own windows.
void HandleMessages(const std::vector<Device>& open) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == MM_MCINOTIFY) {
            // The device whose window it came to (the DirectShow device does
            // not always give its id in lParam). Not when it was stopped or
            // replaced by a command of ours.
            for (const Device& device : open) {
                if (device->callback != message.hwnd) continue;
                if (message.wParam == MCI_NOTIFY_SUCCESSFUL) device->Post(MovieEvent::Ended);
                if (message.wParam == MCI_NOTIFY_FAILURE) device->Post(MovieEvent::Failed);
            }
        } else if (message.message == WM_TIMER && !message.hwnd) {
            for (const Device& device : open) {
                MCI_STATUS_PARMS status = {};
                status.dwItem = MCI_STATUS_POSITION;
                if (device->lengthMs > kResumeMinLengthMs &&
                    Send(device->device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0) {
                    device->positionMs = static_cast<DWORD>(status.dwReturn);
                }
            }
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

unsigned __stdcall MciThread(void*) {
    Orders& orders = TheOrders();
    std::vector<Device> open;
    UINT_PTR timer = SetTimer(nullptr, 0, kPositionPeriodMs, nullptr);
    for (;;) {
        Order order = {Command::Close, nullptr, 0};
        {
            std::lock_guard<std::mutex> lock(orders.mutex);
            if (!orders.waiting.empty()) {
                order = orders.waiting.front();
                orders.waiting.pop_front();
            } else if (open.empty()) {
                // Nothing left to do: the next order starts a thread again.
                orders.running = false;
                break;
            }
        }
        if (order.device) {
            Run(order, open);
            continue;
        }
        HANDLE wake = orders.wake.get();
        MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
        HandleMessages(open);
    }
    KillTimer(nullptr, timer);
    return 0;
}

// Queues an order for the MCI thread, starting the thread where it does not
// run. Called on the window thread.
bool Submit(Command command, const Device& device, LPARAM value = 0) {
    Orders& orders = TheOrders();
    std::lock_guard<std::mutex> lock(orders.mutex);
    if (!orders.running) {
        HANDLE thread = orders.wake ? StartWorkerThread(&MciThread, nullptr) : nullptr;
        if (!thread) return false;
        KeepUntilExit(thread);
        CloseHandle(thread);
        orders.running = true;
    }
    orders.waiting.push_back({command, device, value});
    SetEvent(orders.wake.get());
    return true;
}

// Not HeldReady: a second device started at the end of the first takes as
// long to show its picture as the first takes to start over (DirectShow
// builds up its stream at every start; measured under Wine), and a device
// held paused at its start for as long as a short clip lasts may report its
// end as soon as it plays. A loop starts over in place.
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
        if (!Submit(Command::Open, opening)) return false;
        state = opening;
        return true;
    }
    SIZE NaturalSize() const override { return state ? SIZE{state->width, state->height} : SIZE{0, 0}; }
    DWORD LengthMs() const override { return state ? state->lengthMs.load() : 0; }
    DWORD PositionMs() const override { return state ? state->positionMs.load() : 0; }
    void Place(int width, int height) override { Queue(Command::Place, MAKELPARAM(width, height)); }
    void Start(DWORD fromMs) override { Queue(Command::Start, static_cast<LPARAM>(fromMs)); }
    void Close() override {
        if (!state) return;
        HWND screen = state->screen;
        if (IsWindow(screen)) {
            ShowWindow(screen, SW_HIDE);
            SetParent(screen, HWND_MESSAGE);
        }
        state->closing = true;
        // Where not even that can be queued, no device draws in the screen.
        if (!Submit(Command::Close, state)) DestroyWindow(screen);
        state.reset();
    }

private:
    void Queue(Command command, LPARAM value) const {
        if (state) Submit(command, state, value);
    }

    Device state;
};

}  // namespace

std::unique_ptr<MoviePlayback> MakeMciPlayback() { return std::make_unique<MciPlayback>(); }
