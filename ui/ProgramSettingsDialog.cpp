#include "ui/ProgramSettingsDialog.h"

#include "framework/App.h"
#include "res/resource.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsFile.h"
#include "ui/FileDialogIds.h"
#include "ui/FileSettingsText.h"
#include "ui/Manual.h"

ProgramSettingsDialog::ProgramSettingsDialog(HWND parent)
    : Dialog(IDD_PROGRAM_SETTINGS, parent) {}

ProgramSettingsDialog::~ProgramSettingsDialog() = default;

void ProgramSettingsDialog::DoDataExchange(DataExchange& exchange) {
    exchange.Check(IDC_PROGRAM_CHANGE, change);
    exchange.Check(IDC_PROGRAM_MOUSE, mouse);
    exchange.Text(IDC_PROGRAM_FINISH_MACRO, finishMacro);
    exchange.Text(IDC_PROGRAM_OPTION, option);
    exchange.Text(IDC_PROGRAM_START_MACRO, startMacro);
}

BOOL ProgramSettingsDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowTextA(Handle(), FileSettingsCaption(path).c_str());

    ProgramValues values = AppSettings().ReadProgram(path);
    option = values.option;
    startMacro = values.startMacro;
    finishMacro = values.finishMacro;
    mouse = values.mouse;
    change = values.change;

    UpdateData(FALSE);
    return TRUE;
}

void ProgramSettingsDialog::OnOK() {
    UpdateData(TRUE);

    ProgramValues values;
    values.option = option;
    values.startMacro = startMacro;
    values.finishMacro = finishMacro;
    values.mouse = mouse;
    values.change = change;

    // Not written: the dialog stays open with what the user typed.
    if (!AppSettings().WriteProgram(path, values)) {
        ShowErrorMessage(Handle(), settings::NotSavedMessage(App::Instance()->ProfileName()).c_str());
        return;
    }
    Dialog::OnOK();
}

BOOL ProgramSettingsDialog::OnHelp() {
    manual::Show(Handle(), manual::kProgramPage);
    return TRUE;
}
