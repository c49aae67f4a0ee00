#include "framework/Window.h"

#include "framework/App.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace {

// Windows and objects of the user-interface thread. Only that thread creates
// and drives windows, so no lock is needed.
std::map<HWND, Window*>& Registry() {
    static std::map<HWND, Window*> registry;
    return registry;
}

thread_local Window* pendingWindow = nullptr;
thread_local HHOOK creationHook = nullptr;

// The system may create its input-method window in the middle of ours; it is
// never the window being waited for.
bool IsImeWindow(HWND handle) {
    if (GetClassLongPtrA(handle, GCL_STYLE) & CS_IME) return true;
    char name[8] = {};
    GetClassNameA(handle, name, sizeof name);
    return lstrcmpiA(name, "ime") == 0;
}

}  // namespace

Window::~Window() {
    if (hwnd) Detach();
}

Window* Window::FromHandle(HWND handle) {
    if (!handle) return nullptr;
    auto it = Registry().find(handle);
    return it == Registry().end() ? nullptr : it->second;
}

void Window::Attach(HWND handle) {
    hwnd = handle;
    Registry()[handle] = this;
    if (App* app = App::Instance(); app && app->MainWindow() == this) app->NoteMainWindow();
    previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWindowProc)));
}

BOOL Window::Subclass(HWND handle) {
    if (!handle || FromHandle(handle)) return FALSE;
    Attach(handle);
    return TRUE;
}

HWND Window::Detach() {
    HWND handle = hwnd;
    if (!handle) return nullptr;
    if (IsWindow(handle) && previousProc &&
        GetWindowLongPtrA(handle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWindowProc)) {
        SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
    }
    Registry().erase(handle);
    hwnd = nullptr;
    return handle;
}

LRESULT CALLBACK Window::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = creationHook;
    if (code == HCBT_CREATEWND && pendingWindow && !IsImeWindow(reinterpret_cast<HWND>(wParam))) {
        Window* window = pendingWindow;
        pendingWindow = nullptr;
        UnhookWindowsHookEx(creationHook);
        creationHook = nullptr;
        window->Attach(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

bool Window::BeginCreationHook() {
    if (creationHook) return false;
    pendingWindow = this;
    creationHook = SetWindowsHookExA(WH_CBT, &CreationHook, nullptr, GetCurrentThreadId());
    if (!creationHook) {
        pendingWindow = nullptr;
        return false;
    }
    return true;
}

bool Window::EndCreationHook() {
    bool attached = pendingWindow != this;
    if (creationHook && pendingWindow == this) {
        UnhookWindowsHookEx(creationHook);
        creationHook = nullptr;
    }
    if (pendingWindow == this) pendingWindow = nullptr;
    return attached;
}

BOOL Window::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                      int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                      void* param) {
    if (hwnd || !BeginCreationHook()) return FailCreation();
    HINSTANCE instance = App::Instance() ? App::Instance()->Handle() : GetModuleHandleA(nullptr);
    HWND created = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                   parent, menuOrId, instance, param);
    bool attached = EndCreationHook();
    if (!created) {
        // A window that got as far as WM_NCDESTROY has run PostNcDestroy
        // already; one that never existed gets it here.
        return attached ? FALSE : FailCreation();
    }
    return TRUE;
}

BOOL Window::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                      const RECT& rect, HWND parent, UINT id, void* param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL Window::DestroyWindow() {
    return hwnd ? ::DestroyWindow(hwnd) : FALSE;
}

BOOL Window::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (previousProc) return CallWindowProcA(previousProc, hwnd, message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Window::PostNcDestroy() {}

BOOL Window::FailCreation() {
    PostNcDestroy();
    return FALSE;
}

LRESULT CALLBACK Window::StaticWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(handle);
    if (!window) return DefWindowProcA(handle, message, wParam, lParam);
    if (message == WM_ENDSESSION && wParam) {
        if (App* app = App::Instance()) app->OnEndSession();
    }
    if (message != WM_NCDESTROY) return window->WindowProc(message, wParam, lParam);

    LRESULT result = window->WindowProc(message, wParam, lParam);
    window->Detach();
    App* app = App::Instance();
    if (app && app->MainWindow() == window) {
        app->SetMainWindow(nullptr);
        PostQuitMessage(0);
    }
    window->PostNcDestroy();
    return result;
}

const char* Window::RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::set<std::string> names;
    HINSTANCE instance = App::Instance() ? App::Instance()->Handle() : GetModuleHandleA(nullptr);
    // One class for each combination: the handles' values and the style.
    std::string name = "Tolvarin";
    for (const void* part : {static_cast<const void*>(instance), static_cast<const void*>(cursor),
                             static_cast<const void*>(background), static_cast<const void*>(icon)}) {
        name += ':' + std::to_string(reinterpret_cast<uintptr_t>(part));
    }
    name += ':' + std::to_string(style);
    auto it = names.find(name);
    if (it != names.end()) return it->c_str();

    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, name.c_str(), &wc)) {
        wc.style = style;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name.c_str();
        if (!RegisterClassA(&wc)) return nullptr;
    }
    return names.insert(name).first->c_str();
}
