#include "players/ProgramWatchDialog.h"

#include "framework/App.h"
#include "players/KeyMacro.h"
#include "players/LaunchRecord.h"
#include "players/SaverInput.h"
#include "res/resource.h"
#include "settings/SaverSettings.h"
#include "settings/SettingsFile.h"

#include <cstdint>

namespace {

constexpr int kMovesToIgnore = 4;

bool EndsWithExe(const std::string& path) {
    return path.size() >= 4 && lstrcmpiA(path.c_str() + path.size() - 4, ".exe") == 0;
}

}  // namespace

ProgramWatchDialog::ProgramWatchDialog() : Dialog(IDD_PROGRAM_WATCH, nullptr) {}

ProgramWatchDialog::~ProgramWatchDialog() {
    if (Handle()) ::DestroyWindow(Handle());
}

void ProgramWatchDialog::DoDataExchange(DataExchange&) {}

std::string ProgramWatchDialog::EntryValue(const char* suffix) const {
    if (!App::Instance() || !record) return std::string();
    return AppSettings().ProgramMacro(record->path, suffix);
}

BOOL ProgramWatchDialog::RunProgram(LPARAM tag) {
    if (!record || !App::Instance()) return FALSE;
    const std::string path = record->path;
    mouseWatch = 0;
    std::string options = EntryValue(settings::kOptionSuffix);
    return record->Start(path, options, tag) ? TRUE : FALSE;
}

BOOL ProgramWatchDialog::OnProgramShown() {
    HWND program = record ? record->ProgramWindow() : nullptr;
    if (!program) return FALSE;
    DWORD processId = 0;
    GetWindowThreadProcessId(program, &processId);
    // The start macro goes to whatever has the keyboard: the program.
    if (HWND shown = FindProcessWindow(processId, true)) SetForegroundWindow(shown);
    std::string start = EntryValue(settings::kStartSuffix);
    RunKeyMacro(start.c_str());

    if (!AppSettings().ProgramTakesMouse(record->path)) return TRUE;
    if (!CreateModeless(program)) {
        // Unwatched, nothing would end it: a failed start.
        record->Stop();
        return FALSE;
    }
    mouseWatch = 1;
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetWindowPos(Handle(), HWND_TOP, cursor.x, cursor.y, 1, 1, SWP_SHOWWINDOW);
    ArmMouseWatch();
    ShowCursor(FALSE);
    return TRUE;
}

void ProgramWatchDialog::ArmMouseWatch() {
    captureArmed = 1;
    moveState = -kMovesToIgnore;
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
}

void ProgramWatchDialog::EndWatch() {
    App* app = App::Instance();
    if (HWND main = app ? app->MainWindowHandle() : nullptr) EnableWindow(main, TRUE);
    if (mouseWatch) {
        EndMouseWatch();
        if (Handle()) ::DestroyWindow(Handle());
    }
}

void ProgramWatchDialog::StopProgram(bool notifyEnd) {
    EndWatch();
    if (!record || !record->Running()) return;
    if (record->Stopping()) {
        // Closed once already; more input must not take the keyboard away
        // from what its close shows (a question its finish macro answers).
        record->Stop(notifyEnd);
        return;
    }

    // The window is 0 until the program has shown one, and again once the
    // launch thread has seen the process end; a post to window 0 would land
    // in this thread's own queue.
    HWND program = record->ProgramWindow();
    if (program) {
        SetForegroundWindow(program);
        PostMessageA(program, WM_CLOSE, 0, 0);
    }
    if (EndsWithExe(record->path) && IsWindowVisible(program)) {
        std::string finish = EntryValue(settings::kFinishSuffix);
        RunKeyMacro(finish.c_str());
    }
    record->Stop(notifyEnd, program != nullptr);
}

BOOL ProgramWatchDialog::PreTranslateMessage(MSG* message) {
    if ((message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) && !IsOwnInput()) {
        // Every key of the user's ends the program. Consumed, so that the dialog manager
        // never makes OK, Cancel or a move of the focus of it.
        StopProgram();
        return TRUE;
    }
    return Dialog::PreTranslateMessage(message);
}

void ProgramWatchDialog::EndMouseWatch() {
    if (!mouseWatch) return;
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ReleaseCapture();
    ShowCursor(TRUE);
    mouseWatch = 0;
}

void ProgramWatchDialog::OnWatchedInput() {
    if (captureArmed) {
        SetCapture(Handle());
        captureArmed = 0;
    } else {
        StopProgram();
    }
}

void ProgramWatchDialog::OnLeftButtonUp() {
    // The release ends the injected press: press again from this window's
    // corner, so that the capture is taken anew, and put the cursor back.
    POINT remembered = {};
    GetCursorPos(&remembered);
    RECT rect = {};
    GetWindowRect(Handle(), &rect);
    SetCursorPos(rect.left, rect.top);
    ArmMouseWatch();
    SetCursorPos(remembered.x, remembered.y);
}

LRESULT ProgramWatchDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        StopProgram();
        if (!Handle()) return 0;
    } else if (mouseWatch) {
        switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (!IsOwnInput()) StopProgram();
            break;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            StopProgram();
            break;
        case WM_LBUTTONDOWN:
            OnWatchedInput();
            break;
        case WM_MOUSEMOVE: {
            int position = static_cast<int>(static_cast<int32_t>(lParam));
            if (moveState >= -kMovesToIgnore && moveState <= -1) {
                if (++moveState == 0) moveState = position;
            } else if (position != moveState) {
                OnWatchedInput();
            }
            break;
        }
        case WM_LBUTTONUP:
            OnLeftButtonUp();
            break;
        case WM_DESTROY:
            // Destroyed with the program's window when the program ended by
            // itself: nothing else would release the injected press and
            // show the cursor again.
            EndMouseWatch();
            break;
        default:
            break;
        }
        // StopProgram may have destroyed the window meanwhile.
        if (!Handle()) return 0;
    }
    return Dialog::WindowProc(message, wParam, lParam);
}
