// Dialogs from resource templates, modal or modeless, with hooks for OK,
// Cancel, commands and notifications, and a small data exchange that moves
// values between controls and fields.
//
// A modal dialog runs in the application's own message loop (App::PumpMessage),
// so that every queued message still passes our windows' PreTranslateMessage
// while it is up: players shown from a modal dialog and the dialog's own
// controls depend on that.
#pragma once

#include "framework/Window.h"

#include <string>

class Dialog;

// Moves values between a dialog's controls and its fields. In the saving
// direction a value that cannot be taken (text that is no whole number) is
// reported to the user, the focus goes back to its control, and every later
// exchange of the same pass is skipped.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saving) : dialog(dialog), saving(saving) {}

    bool Saving() const { return saving; }
    bool Failed() const { return failed; }

    void Check(int id, int& value);
    void Int(int id, int& value);
    void Text(int id, std::string& value);
    void ComboIndex(int id, int& value);
    // Attaches control id to a window object (once).
    void Control(int id, Window& control);
    // Refuses the value of control id the way a text that is no whole number
    // is refused: message is shown, the focus goes back to the control, and
    // every later exchange of the pass is skipped.
    void Fail(int id, const char* message);

    // The message shown when an integer edit holds no whole number.
    static const char* const kNotANumberMessage;

private:
    Dialog& dialog;
    bool saving;
    bool failed = false;
};

class Dialog : public Window {
public:
    Dialog(UINT templateId, HWND parent) : templateId(templateId), parent(parent) {}

    // Runs the dialog modally: its owner (the parent given, otherwise the
    // application's main window) is disabled meanwhile. Returns the value
    // passed to EndDialog, or -1 when the dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog as a modeless window owned by owner.
    BOOL CreateModeless(HWND owner);
    // Ends a modal run with result; hides a modeless dialog.
    void EndDialog(int result);

    // FALSE when a value was refused (the fields keep what they held).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text) const;

    BOOL PreTranslateMessage(MSG* message) override;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // WM_COMMAND other than IDOK and IDCANCEL; TRUE when handled.
    virtual BOOL OnCommand(int id, int code, HWND control);
    // WM_NOTIFY; TRUE when handled, with the result in *result.
    virtual BOOL OnNotify(NMHDR* header, LRESULT* result);
    // WM_HELP (F1 in the dialog); TRUE when handled.
    virtual BOOL OnHelp();
    // WM_CTLCOLOR*: by default the control's own object may answer for it
    // (see ColorReflecting below); otherwise the default brush.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
    virtual void DoDataExchange(DataExchange& exchange);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT templateId;
    HWND parent;

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND, UINT, WPARAM, LPARAM);
    BOOL CreateFromTemplate(HWND owner);

    bool inModalLoop = false;
    int modalResult = -1;
};

// A window object that draws a dialog control of its own can supply its
// colours: the dialog hands the control's WM_CTLCOLOR* to it first.
class ColorReflecting {
public:
    virtual ~ColorReflecting() = default;
    // Returns a brush to use, or null to leave the colours to the dialog.
    virtual HBRUSH OnReflectedCtlColor(HDC dc, UINT message) = 0;
};

// The program's error box: title "エラー", an OK button and no icon.
void ShowErrorMessage(HWND owner, const char* text);
// The same for a text that may hold characters beyond the system code page.
void ShowErrorMessage(HWND owner, const wchar_t* text);
