// The settings of one Flash entry (".swf"): its mouse macro, a list of timed
// clicks and reloads that the Flash player performs while the movie runs.
// The list view holds the working copy, always in ascending order of time;
// OK writes it to section SWF_CONFIG (a write that fails is reported and
// keeps the dialog open), Cancel writes nothing.
#pragma once

#include "framework/Dialog.h"

#include <string>
#include <vector>

struct MacroRow;

class FlashSettingsDialog : public Dialog {
public:
    explicit FlashSettingsDialog(HWND parent = nullptr);
    ~FlashSettingsDialog() override;

    // Full path of the ".swf" file as the saver list stores it; set before
    // DoModal.
    std::string path;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(int id, int code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;
    // F1: the manual's page on this dialog.
    BOOL OnHelp() override;

private:
    // Inserts a row for time after every row whose time is not greater, with
    // its time column filled in; returns its index.
    int InsertTimeSorted(int time);
    // Enables "追加" (and "変更" when a row is selected) once the fields
    // describe a complete action; disables both otherwise.
    void Validate();
    // The coordinate fields apply to every action but a reload.
    void ActionChanged();
    void Add();
    void Change();
    void Delete();
    // Fills the fields from the selected row (or empties them).
    void RowClicked();

    HWND List() const;
    int SelectedRow() const;
    void DeleteSelectedRow();
    std::string RowText(int row, int column) const;
    void SetRowText(int row, int column, const std::string& text);
    void AddRow(const MacroRow& row);
    std::vector<MacroRow> Rows() const;
    void EnableCoordinates(bool enable);
    void Enable(int id, bool enable) { EnableWindow(Item(id), enable ? TRUE : FALSE); }

    // 1 while the fields are filled from a row: Validate does nothing then.
    int updating = 0;
};
