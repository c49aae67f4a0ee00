// The configuration program: the saver list with its commands, the
// switching and view options, and the backup of the settings file that
// lets the dialog be left without saving.
#pragma once

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "players/LaunchRecord.h"
#include "players/ProgramWatchDialog.h"
#include "settings/SettingsBackup.h"
#include "ui/SaverListModel.h"

#include <string>

class SettingsDialog : public Dialog {
public:
    explicit SettingsDialog(HWND parent);
    ~SettingsDialog() override;

    // Inserts a row of text at index (-1 appends) for path; the text's first
    // two bytes are the row's mark.
    void InsertRow(int index, const std::string& text, const std::string& path);
    // The first row whose path equals path, ASCII letters folded; -1 if none.
    int FindRow(const std::string& path) const;
    // The name a row shows for path under the current view options.
    std::string GetDisplayName(std::string path) const;
    // Writes the dialog's whole state to the settings file; false when any
    // write failed.
    bool SaveSettings();
    // Lets the list scroll sideways as far as its widest row.
    void UpdateHorizontalExtent();

    // The rows' texts and paths (for the commands and for observers).
    int RowCount() const;
    std::string RowText(int index) const;
    std::string RowPath(int index) const;

    // The size of the open-file dialog's buffer for the chosen names: room
    // for several hundred full paths in one choice. A choice that still does
    // not fit is reported rather than dropped.
    static constexpr size_t kFileNameBufferSize = 65536;

    // The text Cancel shows when the settings file could not be put back.
    static const char* const kNotRestoredMessage;
    // The text shown when the chosen file names do not fit the buffer.
    static const char* const kTooManyFilesMessage;
    // The address that the web-site command opens.
    static const char* const kWebSiteAddress;
    // The text shown when a command could not start what it opens.
    static const char* const kCannotStartMessage;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(int id, int code, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;
    void DoDataExchange(DataExchange& exchange) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnAdd();
    void OnDelete();
    void OnToggleOnOff();
    void OnMoveUp();
    void OnMoveDown();
    void OnTimerCheck();
    void OnMinutesKillFocus();
    void OnShowExtension();
    void OnShowSaverName();
    void OnWebSite();
    void OnPaint();
    void OnDestroy();
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragArm();
    // The selected entry's own settings: its configuration for a screen
    // saver, the program or Flash settings dialog, else the file's
    // property sheet.
    void OnFileSettings();
    void StartSaverConfiguration(const std::string& path);
    void ShowPropertySheet(const std::string& path);
    // Runs the selected entry now, the way a saver session would.
    void OnPreview();
    void OnListDoubleClick();
    // The start notice of a saver or program preview: a program that shows
    // gets its macro and watch, and the dialog is disabled until its window
    // goes or it ends; one that shows nothing cannot start.
    LRESULT OnPreviewStarted(WPARAM wParam, LPARAM lParam);
    // The end notice of a preview: ends a previewed program's watch and
    // brings the dialog to the front, when the notice is that of the latest
    // preview.
    LRESULT OnPreviewEnded(LPARAM lParam);
    void OnAbout();
    void RefreshRowTexts();

    // Replaces row from by a row of text at to, keeping its path; false
    // (and nothing moved) when the list box refused the new row.
    bool MoveRow(int from, int to, const std::string& text);
    int Selection() const;
    void Select(int index) const;
    void SetMenuCheck(UINT id, int checked) const;
    // UpdateData(TRUE), with the check of the minutes edit on losing the
    // focus held back meanwhile (its own message box takes the focus away).
    BOOL ReadControls();
    // Tells the user that the settings file could not be written.
    void ReportNotSaved() const;

    Window spin;
    Window listBox;
    // The rows' marks and paths, index for index with the list box's rows.
    SaverListModel rows;
    int timerOn = 0;
    int allMonitors = 0;
    int minutes = 0;
    int order = -1;
    UniqueIcon smallIcon;
    HICON bigIcon = nullptr;
    int dragIndex = -1;
    // Set by a double-click: the drag arming its second press posted undoes itself.
    bool doubleClickPending = false;
    int showSaverName = 1;
    int showExtension = 1;
    UniqueGdiObject<HFONT> listFont;
    std::string dir;
    std::string backupPath;
    SettingsBackup backup;
    bool readingControls = false;
    // Set once the dialog has been told to end.
    bool closing = false;
    // The launch of the latest screen-saver or program preview; its path
    // is that of the latest preview of any kind.
    LaunchRecord launch;
    ProgramWatchDialog watchDialog;
    // The tag of the latest preview, which its notices carry.
    LPARAM previewTag = 0;
    // The latest movie preview's window: hidden while the movie opens.
    HWND moviePreview = nullptr;
};
