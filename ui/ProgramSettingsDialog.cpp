#include "ui/ProgramSettingsDialog.h"

#include "framework/App.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "ui/FileDialogIds.h"
#include "ui/FileSettingsText.h"

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
    SetWindowTextA(hwnd, FileSettingsCaption(path).c_str());

    const App* app = App::Instance();
    const char* section = settings::kExeConfigSection;
    auto key = [this](const char* suffix) { return settings::PerFileKey(path, suffix); };
    option = app->GetProfileString(section, key(settings::kOptionSuffix).c_str(), "");
    startMacro = app->GetProfileString(section, key(settings::kStartSuffix).c_str(), "");
    finishMacro = app->GetProfileString(section, key(settings::kFinishSuffix).c_str(), "");
    mouse = app->GetProfileInt(section, key(settings::kMouseSuffix).c_str(), 0);
    change = app->GetProfileInt(section, key(settings::kChangeSuffix).c_str(), 0);

    UpdateData(FALSE);
    return TRUE;
}

void ProgramSettingsDialog::OnOK() {
    UpdateData(TRUE);

    const App* app = App::Instance();
    const char* section = settings::kExeConfigSection;
    auto key = [this](const char* suffix) { return settings::PerFileKey(path, suffix); };
    app->WriteProfileString(section, key(settings::kOptionSuffix).c_str(), option.c_str());
    app->WriteProfileString(section, key(settings::kStartSuffix).c_str(), startMacro.c_str());
    app->WriteProfileString(section, key(settings::kFinishSuffix).c_str(), finishMacro.c_str());
    app->WriteProfileInt(section, key(settings::kMouseSuffix).c_str(), mouse);
    app->WriteProfileInt(section, key(settings::kChangeSuffix).c_str(), change);

    Dialog::OnOK();
}
