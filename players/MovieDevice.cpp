#include "players/MovieDevice.h"

#include "framework/SystemLibrary.h"

#include <digitalv.h>

namespace {

MCIERROR Send(MCIDEVICEID device, UINT command, DWORD flags, void* parameters) {
    static const auto send =
        SystemFunction<decltype(&mciSendCommandA)>("winmm.dll", "mciSendCommandA");
    if (!send) return MCIERR_DEVICE_NOT_INSTALLED;
    return send(device, command, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

// Opens path on the device of type (null: the one the system assigns to the
// extension); 0 when it does not open.
MCIDEVICEID OpenOn(const char* path, char* type) {
    MCI_OPEN_PARMSA open = {};
    open.lpstrElementName = const_cast<char*>(path);
    open.lpstrDeviceType = type;
    DWORD flags = MCI_OPEN_ELEMENT | MCI_WAIT | (type ? MCI_OPEN_TYPE : 0);
    return Send(0, MCI_OPEN, flags, &open) == 0 ? open.wDeviceID : 0;
}

}  // namespace

bool MovieDevice::Open(const char* path, HWND screen) {
    Close();
    if (!path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return false;
    // The extension's device first, so that a file keeps the device the
    // system chose for it; then the DirectShow device by name, which needs
    // no mapping of the extension.
    char directShow[] = "mpegvideo";
    char* const types[] = {nullptr, directShow};
    for (char* type : types) {
        device = OpenOn(path, type);
        if (!device) continue;
        MCI_DGV_WINDOW_PARMSA window = {};
        window.hWnd = screen;
        if (Send(device, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &window) == 0) return true;
        // Opened, but with no picture to show.
        Close();
    }
    return false;
}

SIZE MovieDevice::NaturalSize() const {
    MCI_DGV_RECT_PARMS where = {};
    SIZE size = {0, 0};
    // The device's rectangles read as left, top, width, height.
    if (device && Send(device, MCI_WHERE, MCI_DGV_WHERE_SOURCE | MCI_WAIT, &where) == 0) {
        size.cx = where.rc.right;
        size.cy = where.rc.bottom;
    }
    return size;
}

void MovieDevice::Stretch(int width, int height) const {
    if (!device) return;
    MCI_DGV_PUT_PARMS put = {};
    put.rc = {0, 0, width, height};
    Send(device, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT, &put);
}

bool MovieDevice::Play(HWND notify) const {
    if (!device) return false;
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(notify);
    return Send(device, MCI_PLAY, MCI_NOTIFY, &play) == 0;
}

bool MovieDevice::StartOver(HWND notify) const {
    if (!device) return false;
    // Seeking stops the device first and waits until it has: a device that
    // has just reported its end may still be winding down its playback.
    MCI_SEEK_PARMS seek = {};
    Send(device, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek);
    return Play(notify);
}

void MovieDevice::Close() {
    if (!device) return;
    MCI_GENERIC_PARMS close = {};
    Send(device, MCI_CLOSE, MCI_WAIT, &close);
    device = 0;
}
