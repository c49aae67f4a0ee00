// The version dialog: product name and version and the copyright text, read
// from the program file's own version resource, and links to the web site
// and the mail address.
#pragma once

#include "framework/Dialog.h"
#include "ui/LinkLabel.h"

#include <string>

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND parent = nullptr);
    ~AboutDialog() override;

    LinkLabel webLink;
    LinkLabel mailLink;

    // The two text lines from the version resource of the file at path:
    // "<ProductName> version <ProductVersion>" and the LegalCopyright text.
    // False (and both empty) when the file has no version block with a
    // translation entry; a missing string is taken as empty.
    static bool ReadVersionLines(const std::string& path, std::string* productLine,
                                 std::string* copyrightLine);

protected:
    void DoDataExchange(DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    // F1: the manual's page on this dialog.
    BOOL OnHelp() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
