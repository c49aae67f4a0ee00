#include "session/SaverHostWindow.h"

BOOL SaverHostWindow::CreateHostWindow() {
    const char* className = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);
    if (!className) {
        PostNcDestroy();
        return FALSE;
    }
    return CreateEx(WS_EX_TOPMOST, className, "トルヴァリン君", WS_POPUP, 0, 0,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr);
}
