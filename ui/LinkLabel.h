// A static text control that looks and behaves like a hyperlink: blue text
// (red while it has the focus), orange and underlined while the mouse is over
// it, a hand cursor, and a click or Enter opens its text with the shell. A
// text with a ":" is opened as it is (a web address), any other text as
// "mailto:" followed by the text.
//
// It is attached to an existing static control that has SS_NOTIFY (so that
// it gets mouse messages) and gets its colours from the dialog, which hands
// the control's WM_CTLCOLORSTATIC to it.
#pragma once

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/Window.h"

#include <string>

class LinkLabel : public Window, public ColorReflecting {
public:
    LinkLabel();
    ~LinkLabel() override;

    // Colours of the text (COLORREF, 0x00BBGGRR).
    static constexpr COLORREF kNormalColor = RGB(0, 0, 255);
    static constexpr COLORREF kFocusColor = RGB(255, 0, 0);
    static constexpr COLORREF kHoverColor = RGB(255, 128, 0);

    COLORREF TextColor() const { return textColor; }
    bool Underlined() const { return font && logFont.lfUnderline != 0; }
    HCURSOR Cursor() const { return handCursor; }

    // What Open hands to the shell for a label text.
    static std::string AddressOf(const std::string& text);
    // Hands address to the shell, which opens it with the user's browser
    // (or mail program).
    static void OpenAddress(HWND owner, const char* address);

    BOOL PreTranslateMessage(MSG* message) override;
    HBRUSH OnReflectedCtlColor(HDC dc, UINT message) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void NormalLook();
    void HoverLook();
    // Rebuilds the font from logFont and gives it to the control.
    void ApplyFont();
    void HoverMove(POINT position);
    void Release(POINT position);
    void CancelPress();
    void Open();
    // Wipes the frame line with the background and, while focused, draws the
    // focus rectangle on it.
    void DrawFrame();
    void Paint();
    void FitToText();
    void ReleaseOwnCapture();
    std::string Text() const;

    LOGFONTA logFont = {};
    bool pressed = false;
    HCURSOR handCursor = nullptr;
    bool ownsCursor = false;
    UniqueGdiObject<HFONT> font;
    COLORREF textColor = kNormalColor;
    UniqueGdiObject<HBRUSH> backgroundBrush;
};
