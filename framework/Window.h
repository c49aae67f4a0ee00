// The window base: a C++ object tied to one window handle, with a virtual
// window procedure whose unhandled messages go to the window's own default
// processing (its class procedure, or the procedure it had before it was
// subclassed).
//
// Life: the object is attached from the very first message of its window
// (CreateEx and Dialog install a creation hook for it). After WM_NCDESTROY
// the object is detached and PostNcDestroy runs; self-owning windows delete
// themselves there. When the main window of the application is destroyed,
// the main-window pointer is cleared and the message loop is told to end.
// When the user's session ends, WM_ENDSESSION (wParam TRUE) to any of our
// windows first tells the application object (App::OnEndSession).
//
// A CreateEx that fails has always run PostNcDestroy by the time it returns
// (through WM_NCDESTROY when the window got that far, through FailCreation
// otherwise), so the caller of a self-deleting window never deletes it after
// a failure. A window that gives up before calling CreateEx uses FailCreation
// too: there is no other way for a failed creation to end.
#pragma once

#include <windows.h>

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The window this object is attached to, or null. Only attaching and
    // detaching change it.
    HWND Handle() const { return hwnd; }

    // The object attached to a window of this thread, or null.
    static Window* FromHandle(HWND handle);

    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                  void* param = nullptr);
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, HWND parent, UINT id, void* param = nullptr);

    // Attaches an existing window (a dialog control, say): its messages come
    // here first and its previous procedure is the default processing.
    BOOL Subclass(HWND handle);
    // Undoes Subclass or creation: restores the previous procedure.
    HWND Detach();

    BOOL DestroyWindow();

    // Offered every queued message meant for this window or its children
    // before it is dispatched; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* message);

    // Registers (once) and returns a class of our own, named after its
    // attributes the way the platform framework names such classes.
    static const char* RegisterWindowClass(UINT style, HCURSOR cursor = nullptr,
                                           HBRUSH background = nullptr, HICON icon = nullptr);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's own processing of a message, as if we had not handled it.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs once the window is gone and the object detached.
    virtual void PostNcDestroy();
    // Ends a creation that failed before any window existed: runs
    // PostNcDestroy (which may delete this object) and returns FALSE.
    BOOL FailCreation();

    // Common messages a derived class may want to override through WindowProc.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(hwnd, message, wParam, lParam);
    }
    BOOL Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return PostMessageA(hwnd, message, wParam, lParam);
    }

    // Prepares the creation hook that attaches this object to the next window
    // this thread creates; returns false if it could not be installed.
    bool BeginCreationHook();
    // Removes the hook if it never fired; returns whether the object was attached.
    bool EndCreationHook();

private:
    void Attach(HWND handle);
    static LRESULT CALLBACK StaticWindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    WNDPROC previousProc = nullptr;
};
