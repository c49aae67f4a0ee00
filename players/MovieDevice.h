// One movie opened on the system's media control interface (MCI), drawn
// into a window of ours. The system's own media support decodes it: the
// device that the system assigns to the file's extension (the AVI device
// for ".avi", the DirectShow device MPEGVideo for ".mpg" or ".wmv"), and
// when there is none or it cannot read the file, MPEGVideo named
// explicitly, which plays whatever the installed DirectShow filters decode
// (".mp4", ".mkv" and the like, that the system often maps to no device).
// No registry setting is read or changed for this.
//
// winmm.dll is loaded from the system folder on first use.
#pragma once

#include <windows.h>

#include <mmsystem.h>

class MovieDevice {
public:
    MovieDevice() = default;
    ~MovieDevice() { Close(); }
    MovieDevice(const MovieDevice&) = delete;
    MovieDevice& operator=(const MovieDevice&) = delete;

    // Opens the file and has the device draw into screen. False: nothing is
    // open (a missing file is not handed to any device).
    bool Open(const char* path, HWND screen);
    bool IsOpen() const { return device != 0; }
    MCIDEVICEID Id() const { return device; }

    // The movie's own size in pixels; 0 × 0 when the device does not say.
    SIZE NaturalSize() const;
    // Stretches the picture over width × height of the screen window.
    void Stretch(int width, int height) const;
    // Plays from where the movie stands; when it has played to its end by
    // itself, the device posts MM_MCINOTIFY with MCI_NOTIFY_SUCCESSFUL to
    // notify. False when the device refuses.
    bool Play(HWND notify) const;
    // Back to the start, then Play.
    bool StartOver(HWND notify) const;
    // Stops and closes the device; nothing is drawn afterwards.
    void Close();

private:
    MCIDEVICEID device = 0;
};
