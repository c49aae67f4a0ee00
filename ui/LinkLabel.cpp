#include "ui/LinkLabel.h"

#include "framework/SystemLibrary.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kHelpViewerCursorId = 106;
constexpr UINT kWindowsFolderRoom = 247;  // leaves room for "\winhlp32.exe"

// The hand cursor of the help viewer, as a copy of our own; else the system's
// hand; else the arrow. *owned tells whether the caller must destroy it.
HCURSOR LoadHandCursor(bool* owned) {
    *owned = false;
    char path[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(path, kWindowsFolderRoom);
    if (length > 0 && length < kWindowsFolderRoom) {
        std::strcat(path, "\\winhlp32.exe");
        // Only its resources are wanted: no code of it runs.
        HMODULE viewer = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (viewer) {
            HCURSOR cursor = LoadCursorA(viewer, MAKEINTRESOURCEA(kHelpViewerCursorId));
            HCURSOR copy = cursor ? static_cast<HCURSOR>(CopyIcon(cursor)) : nullptr;
            FreeLibrary(viewer);
            if (copy) {
                *owned = true;
                return copy;
            }
        }
    }
    if (HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))) return hand;  // IDC_HAND
    return LoadCursorA(nullptr, IDC_ARROW);
}

}  // namespace

LinkLabel::LinkLabel() {
    handCursor = LoadHandCursor(&ownsCursor);
    backgroundBrush.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
}

LinkLabel::~LinkLabel() {
    if (Handle()) Detach();
    if (ownsCursor) DestroyCursor(handCursor);
}

std::string LinkLabel::AddressOf(const std::string& text) {
    // ':' is ASCII and never the trail byte of a double-byte character.
    if (text.find(':') != std::string::npos) return text;
    return "mailto:" + text;
}

std::string LinkLabel::Text() const {
    int length = GetWindowTextLengthA(Handle());
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(Handle(), text.data(), length + 1);
    return text.data();
}

HBRUSH LinkLabel::OnReflectedCtlColor(HDC dc, UINT) {
    SetTextColor(dc, textColor);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return backgroundBrush.get();
}

BOOL LinkLabel::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN) {
        // While the button is held on the label every key is swallowed.
        if (pressed) return TRUE;
        if (message->wParam == VK_RETURN) {
            Open();
            return TRUE;
        }
    }
    return Window::PreTranslateMessage(message);
}

LRESULT LinkLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT position = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(handCursor);
        return TRUE;
    case WM_MOUSEMOVE:
        HoverMove(position);
        break;
    case WM_LBUTTONDOWN:
        pressed = true;
        SetFocus(Handle());
        DrawFrame();
        break;
    case WM_LBUTTONUP:
        Release(position);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        CancelPress();
        break;
    case WM_SETFOCUS: {
        LRESULT result = DefaultProc(message, wParam, lParam);
        DrawFrame();
        if (GetCapture() != Handle()) NormalLook();
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = DefaultProc(message, wParam, lParam);
        // A press in progress ends here: with the capture gone its release
        // may never reach the label, which would otherwise keep swallowing
        // keys and holding the hover look after the mouse has left.
        pressed = false;
        ReleaseOwnCapture();
        NormalLook();
        return result;
    }
    case WM_PAINT:
        Paint();
        return 0;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

void LinkLabel::ReleaseOwnCapture() {
    if (GetCapture() == Handle()) ReleaseCapture();
}

void LinkLabel::ApplyFont() {
    // Until the first paint the control keeps the dialog's font; the copy of
    // its description is only taken then.
    if (!font) return;
    HFONT rebuilt = CreateFontIndirectA(&logFont);
    if (!rebuilt) return;
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(rebuilt), TRUE);
    font.reset(rebuilt);
}

void LinkLabel::NormalLook() {
    logFont.lfUnderline = 0;
    ApplyFont();
    textColor = GetFocus() == Handle() ? kFocusColor : kNormalColor;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void LinkLabel::HoverLook() {
    logFont.lfUnderline = 1;
    ApplyFont();
    textColor = kHoverColor;
    InvalidateRect(Handle(), nullptr, FALSE);
    // With the capture held the label learns when the mouse leaves it.
    SetCapture(Handle());
}

void LinkLabel::HoverMove(POINT position) {
    if (GetCapture() == nullptr) HoverLook();
    RECT client;
    GetClientRect(Handle(), &client);
    // While the button is held the capture and the look stay, so that the
    // release is still seen.
    if (!PtInRect(&client, position) && !pressed) {
        NormalLook();
        ReleaseOwnCapture();
    }
}

void LinkLabel::Release(POINT position) {
    if (!pressed) return;
    ReleaseOwnCapture();
    RECT client;
    GetClientRect(Handle(), &client);
    if (PtInRect(&client, position)) {
        Open();
        POINT cursor = {};
        RECT window = {};
        GetCursorPos(&cursor);
        GetWindowRect(Handle(), &window);
        if (!PtInRect(&window, cursor)) NormalLook();
    } else {
        NormalLook();
    }
    pressed = false;
}

void LinkLabel::CancelPress() {
    ReleaseOwnCapture();
    NormalLook();
    pressed = false;
}

void LinkLabel::Open() { OpenAddress(GetParent(Handle()), AddressOf(Text()).c_str()); }

void LinkLabel::OpenAddress(HWND owner, const char* address) {
    static const auto execute = SystemFunction<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    if (execute) execute(owner, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void LinkLabel::DrawFrame() {
    RECT client;
    GetClientRect(Handle(), &client);
    HDC dc = GetDC(Handle());
    if (!dc) return;
    FrameRect(dc, &client, backgroundBrush.get());
    if (GetFocus() == Handle()) DrawFocusRect(dc, &client);
    ReleaseDC(Handle(), dc);
}

void LinkLabel::Paint() {
    // The static control draws its own text, asking the dialog (and so this
    // object) for its colours.
    DefaultProc(WM_PAINT, 0, 0);
    DrawFrame();
    if (!font) FitToText();
}

void LinkLabel::FitToText() {
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    if (!current) current = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    if (GetObjectA(current, sizeof logFont, &logFont) == 0) return;

    std::string text = Text();
    SIZE extent = {};
    HDC dc = GetDC(Handle());
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, current);
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);

    // The frame line goes round the text: one pixel more on every side, the
    // left edge kept where it is.
    RECT area = {0, 0, extent.cx, extent.cy};
    MapWindowPoints(Handle(), GetParent(Handle()), reinterpret_cast<POINT*>(&area), 2);
    area.top -= 1;
    area.bottom += 1;
    area.right += 2;
    MoveWindow(Handle(), area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);

    font.reset(CreateFontIndirectA(&logFont));
    if (font) SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    NormalLook();
}
