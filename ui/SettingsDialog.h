// The configuration program's dialog. (A first, plain form with OK and
// Cancel; the saver list and its commands come with the dialog itself.)
#pragma once

#include "framework/Dialog.h"

class SettingsDialog : public Dialog {
public:
    explicit SettingsDialog(HWND parent);
};
