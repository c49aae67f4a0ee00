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
    SetWindowTextA(Handle(), FileSettingsCaption(path).c_str());

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
    bool written = true;
    auto write = [&](const char* suffix, const std::string& value) {
        written = app->WriteProfileString(section, key(suffix).c_str(), value.c_str()) && written;
    };
    write(settings::kOptionSuffix, option);
    write(settings::kStartSuffix, startMacro);
    write(settings::kFinishSuffix, finishMacro);
    written = app->WriteProfileInt(section, key(settings::kMouseSuffix).c_str(), mouse) && written;
    written = app->WriteProfileInt(section, key(settings::kChangeSuffix).c_str(), change) && written;

    // Not written: the dialog stays open with what the user typed.
    if (!written) {
        ShowErrorMessage(Handle(), settings::NotSavedMessage(app->ProfileName()).c_str());
        return;
    }
    Dialog::OnOK();
}
