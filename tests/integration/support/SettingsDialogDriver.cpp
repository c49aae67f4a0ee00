#include "tests/integration/support/SettingsDialogDriver.h"

#include "framework/App.h"
#include "tests/support/TestSupport.h"

#include <commdlg.h>
#include <dlgs.h>

namespace sd {



namespace {

HWND FindOwnDialog(const std::string& caption) {
    HWND found = FindWindowA("#32770", caption.c_str());
    if (!found || !IsWindowVisible(found)) return nullptr;
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    return owner == GetCurrentProcessId() ? found : nullptr;
}

// The file dialog's name field: the edit of its name combo box, or its
// plain name edit.
HWND NameField(HWND dialog) {
    HWND combo = GetDlgItem(dialog, cmb13);
    if (combo) {
        HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
        if (edit) return edit;
        return combo;
    }
    return GetDlgItem(dialog, edt1);
}

}  // namespace

FileDialogAnswer::FileDialogAnswer(std::string names, std::string caption)
    : names(std::move(names)), caption(std::move(caption)) {
    thread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
}

FileDialogAnswer::~FileDialogAnswer() { Wait(); }

bool FileDialogAnswer::Wait() {
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    return done;
}

DWORD WINAPI FileDialogAnswer::Run(void* self) {
    auto* answer = static_cast<FileDialogAnswer*>(self);
    HWND dialog = nullptr;
    HWND field = nullptr;
    if (!test::WaitUntil([&] {
            dialog = FindOwnDialog(answer->caption);
            return dialog && (field = NameField(dialog)) != nullptr;
        }, 15000)) {
        return 0;
    }
    char folder[MAX_PATH] = {};
    SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    answer->initialFolder = folder;
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer->names.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    answer->done = test::WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    return 0;
}

ErrorBoxes::ErrorBoxes(std::string caption) : caption(std::move(caption)) {
    stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
}

ErrorBoxes::~ErrorBoxes() {
    Stop();
    CloseHandle(stop);
}

std::vector<std::string> ErrorBoxes::Stop() {
    if (thread) {
        SetEvent(stop);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    std::lock_guard<std::mutex> guard(lock);
    return texts;
}

DWORD WINAPI ErrorBoxes::Run(void* self) {
    auto* boxes = static_cast<ErrorBoxes*>(self);
    while (WaitForSingleObject(boxes->stop, 10) == WAIT_TIMEOUT) {
        HWND box = FindOwnDialog(boxes->caption);
        if (!box) continue;
        {
            std::lock_guard<std::mutex> guard(boxes->lock);
            boxes->texts.push_back(test::MessageBoxText(box));
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        test::WaitUntil([&] { return !IsWindow(box); }, 5000);
    }
    return 0;
}

}  // namespace sd
