#include "players/WindowIds.h"
#include "session/SaverBaseWindow.h"

#include "framework/Handles.h"

#include <cstdlib>

BOOL SaverBaseWindow::CreateSaverWindow(DWORD exStyle, DWORD style, const RECT& rect, HWND parent,
                                        const char* name) {
    if (!windowClassName) {
        windowClassName = RegisterWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT);
        if (!windowClassName) return FailCreation();
    }
    return CreateEx(exStyle, windowClassName, name, style, rect, parent, 0);
}

void SaverBaseWindow::ShowPicture(bool show) {
    if (picture == show) return;
    picture = show;
    if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

void SaverBaseWindow::Draw(HDC dc) {
    UniqueGdiObject<HFONT> font(CreateFontA(halfHeight, 0, 0, 0, 900, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, 0,
                             "ＭＳ 明朝"));
    HGDIOBJ previous = font ? SelectObject(dc, font.get()) : nullptr;
    // Blue, green, red from three draws in that order.
    int blue = std::rand() % 256;
    int green = std::rand() % 256;
    int red = std::rand() % 256;
    SetTextColor(dc, RGB(red, green, blue));
    // The background mode stays opaque: the glyph's cell is painted black too.
    SetBkColor(dc, RGB(0, 0, 0));
    static const char kGlyph[] = "？";
    TextOutA(dc, halfWidth - halfHeight / 2, halfHeight / 2, kGlyph, sizeof kGlyph - 1);
    if (font) SelectObject(dc, previous);
}

LRESULT SaverBaseWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (DefaultProc(message, wParam, lParam) == -1) return -1;
        SetTimer(Handle(), kColourTimerId, kColourPeriodMs, nullptr);
        return 0;
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(Handle(), &rect);
        halfWidth = rect.right / 2;
        halfHeight = rect.bottom / 2;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(0, 0, 0));
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        if (dc) {
            if (picture) Draw(dc);
            EndPaint(Handle(), &paint);
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kColourTimerId && picture) {
            HDC dc = GetDC(Handle());
            if (dc) {
                Draw(dc);
                ReleaseDC(Handle(), dc);
            }
        }
        return DefaultProc(message, wParam, lParam);
    case WM_DESTROY:
        KillTimer(Handle(), kColourTimerId);
        return DefaultProc(message, wParam, lParam);
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}
