// The settings of one program entry (".exe"): the option text put on its
// command line, the key macros run after its start and before its close,
// whether input ends it, and whether timed switching applies while it runs.
// OK writes the five values to section EXE_CONFIG at once (a text that the
// settings file cannot keep, and a write that fails, is reported and keeps
// the dialog open); Cancel writes nothing.
#pragma once

#include "framework/Dialog.h"

#include <string>

class ProgramSettingsDialog : public Dialog {
public:
    explicit ProgramSettingsDialog(HWND parent = nullptr);
    ~ProgramSettingsDialog() override;

    // Full path of the entry, set before DoModal: the prefix of every key.
    std::string path;

    int change = 0;
    int mouse = 0;
    std::string finishMacro;
    std::string option;
    std::string startMacro;

    // Shown when a text holds a line break, which the settings file cannot keep.
    static const char* const kLineBreakMessage;

protected:
    void DoDataExchange(DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    // F1: the manual's page on this dialog.
    BOOL OnHelp() override;
};
