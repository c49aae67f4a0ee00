#include "ui/SettingsDialog.h"

#include "res/resource.h"

SettingsDialog::SettingsDialog(HWND parent) : Dialog(IDD_SETTINGS, parent) {}
