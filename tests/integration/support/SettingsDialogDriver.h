// Driving the settings dialog in-process: a message pump that gives our
// windows their PreTranslateMessage look (so Enter and Escape work as in the
// program), the open-file dialog answered from a thread of its own by typing
// into its name field, and every error box collected and answered.
#pragma once

#include "tests/integration/support/AppPump.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace sd {

// Handles this thread's messages through App::PreTranslate until condition
// holds or timeoutMs pass.
inline bool Pump(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
    return test::PumpAppUntil(condition, timeoutMs);
}
inline void PumpPending() { test::PumpQueued(); }

// Answers the next open-file dialog of this process with caption caption:
// types names into its name field and presses its OK button. Keeps the
// folder the dialog opened in.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(std::string names, std::string caption = "ファイルを追加する");
    ~FileDialogAnswer();
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

    // Waits for the thread; true when a dialog was found, filled in and closed.
    bool Wait();
    const std::string& InitialFolder() const { return initialFolder; }

private:
    static DWORD WINAPI Run(void* self);
    std::string names;
    std::string caption;
    std::string initialFolder;
    bool done = false;
    HANDLE thread = nullptr;
};

// Answers every message box with the given caption that this process shows
// until it is stopped, and keeps their texts in order.
class ErrorBoxes {
public:
    explicit ErrorBoxes(std::string caption = "エラー");
    ~ErrorBoxes();
    ErrorBoxes(const ErrorBoxes&) = delete;
    ErrorBoxes& operator=(const ErrorBoxes&) = delete;

    // Stops the thread (after answering a box it is answering) and returns
    // the texts seen.
    std::vector<std::string> Stop();

private:
    static DWORD WINAPI Run(void* self);
    std::string caption;
    std::mutex lock;
    std::vector<std::string> texts;
    HANDLE stop = nullptr;
    HANDLE thread = nullptr;
};

}  // namespace sd
