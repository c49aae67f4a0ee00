#include "ui/AboutDialog.h"

#include "framework/App.h"
#include "framework/SystemLibrary.h"
#include "res/resource.h"
#include "ui/FileDialogIds.h"
#include "ui/Manual.h"

#include <vector>

AboutDialog::AboutDialog(HWND parent) : Dialog(IDD_ABOUT, parent) {}

AboutDialog::~AboutDialog() = default;

void AboutDialog::DoDataExchange(DataExchange& exchange) {
    exchange.Control(IDC_ABOUT_WEB_LINK, webLink);
    exchange.Control(IDC_ABOUT_MAIL_LINK, mailLink);
}

bool AboutDialog::ReadVersionLines(const std::string& path, std::string* productLine,
                                   std::string* copyrightLine) {
    productLine->clear();
    copyrightLine->clear();
    // The version functions come from the system folder at run time: the
    // library is not one that Windows always takes from there.
    static const auto GetFileVersionInfoSizeA =
        SystemFunction<decltype(&::GetFileVersionInfoSizeA)>("version.dll", "GetFileVersionInfoSizeA");
    static const auto GetFileVersionInfoA =
        SystemFunction<decltype(&::GetFileVersionInfoA)>("version.dll", "GetFileVersionInfoA");
    static const auto VerQueryValueA =
        SystemFunction<decltype(&::VerQueryValueA)>("version.dll", "VerQueryValueA");
    if (!GetFileVersionInfoSizeA || !GetFileVersionInfoA || !VerQueryValueA) return false;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<char> block(static_cast<size_t>(size) + 1, '\0');
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return false;

    void* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation, &length) ||
        length < sizeof(DWORD)) {
        return false;
    }
    const WORD* languageAndCodePage = static_cast<const WORD*>(translation);
    char prefix[64];
    wsprintfA(prefix, "\\StringFileInfo\\%04x%04x\\", languageAndCodePage[0], languageAndCodePage[1]);

    auto query = [&](const char* name) {
        std::string subBlock = std::string(prefix) + name;
        void* value = nullptr;
        UINT valueLength = 0;
        if (!VerQueryValueA(block.data(), subBlock.c_str(), &value, &valueLength) || !value ||
            valueLength == 0) {
            return std::string();
        }
        // The length given is in characters, not bytes: the zero that ends
        // every string value is what counts.
        return std::string(static_cast<const char*>(value));
    };
    std::string name = query("ProductName");
    std::string version = query("ProductVersion");
    if (!name.empty() || !version.empty()) *productLine = name + " version " + version;
    *copyrightLine = query("LegalCopyright");
    return true;
}

BOOL AboutDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // The module's own path: a first command-line argument may lack the
    // folder or the extension.
    std::string productLine, copyrightLine;
    if (ReadVersionLines(App::Instance()->ModulePath(), &productLine, &copyrightLine)) {
        SetItemText(IDC_ABOUT_VERSION, productLine);
        SetItemText(IDC_ABOUT_COPYRIGHT, copyrightLine);
    }
    return TRUE;
}

LRESULT AboutDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        // A click on the dialog itself takes the focus from a link.
        SetFocus(Item(IDOK));
        break;
    case WM_MOUSEACTIVATE:
        // The click that activates the dialog is passed on once more, so
        // that it also reaches the control under the mouse.
        if (HIWORD(lParam) == WM_LBUTTONDOWN) mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        break;
    default:
        break;
    }
    return Dialog::WindowProc(message, wParam, lParam);
}

BOOL AboutDialog::OnHelp() {
    manual::Show(Handle(), manual::kAboutPage);
    return TRUE;
}
