#include "ui/ProgramSettingsDialog.h"

#include "framework/App.h"
#include "res/resource.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsFile.h"
#include "ui/FileDialogIds.h"
#include "ui/FileSettingsText.h"
#include "ui/Manual.h"

#include <utility>

const char* const ProgramSettingsDialog::kLineBreakMessage =
    "改行を含む設定は保存できません。\n改行を取り除いてください。";

ProgramSettingsDialog::ProgramSettingsDialog(HWND parent)
    : Dialog(IDD_PROGRAM_SETTINGS, parent) {}

ProgramSettingsDialog::~ProgramSettingsDialog() = default;

void ProgramSettingsDialog::DoDataExchange(DataExchange& exchange) {
    exchange.Check(IDC_PROGRAM_CHANGE, change);
    exchange.Check(IDC_PROGRAM_MOUSE, mouse);
    const std::pair<int, std::string*> texts[] = {{IDC_PROGRAM_FINISH_MACRO, &finishMacro},
                                                  {IDC_PROGRAM_OPTION, &option},
                                                  {IDC_PROGRAM_START_MACRO, &startMacro}};
    // Refused before anything is written: the user keeps what they typed.
    for (const auto& text : texts) {
        exchange.Text(text.first, *text.second);
        if (exchange.Saving() && !settings::CanStoreText(*text.second)) exchange.Fail(text.first, kLineBreakMessage);
    }
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
    if (!UpdateData(TRUE)) return;

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
